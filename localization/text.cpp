// Text helpers.
#include "localization/text.h"

#include <climits>

#include "platform/nls.h"

std::wstring LowerCase(const std::wstring& text) {
  if (text.empty()) return text;
  std::wstring out(text.size(), L'\0');
  const int n = win::LCMapStringW(win::LOCALE_USER_DEFAULT, win::LCMAP_LOWERCASE, text.data(),
                                  static_cast<int>(text.size()), out.data(), static_cast<int>(out.size()));
  if (n <= 0) {
    // Only A-Z then; never leave a name unchanged in case.
    out = text;
    for (auto& c : out) {
      if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    }
    return out;
  }
  out.resize(static_cast<std::size_t>(n));
  return out;
}

bool IsTrimSpace(wchar_t c) {
  const unsigned u = static_cast<unsigned>(c) & 0xFFFF;
  if ((u >= 0x09 && u <= 0x0D) || u == 0x20 || u == 0xA0) return true;
  if (u <= 0xFF) return false;
  win::WORD type = 0;
  return win::GetStringTypeW(win::CT_CTYPE1, &c, 1, &type) && (type & win::C1_SPACE) != 0;
}

std::wstring TrimSpaces(const std::wstring& text) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && IsTrimSpace(text[b])) ++b;
  while (e > b && IsTrimSpace(text[e - 1])) --e;
  return text.substr(b, e - b);
}

namespace {

bool IsScanfSpace(wchar_t c) { return c == L' ' || (c >= 0x09 && c <= 0x0D); }

}  // namespace

long ReadDecimal(const std::wstring& text) {
  std::size_t i = 0;
  while (i < text.size() && IsScanfSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  unsigned long long value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + static_cast<unsigned>(text[i] - L'0');
    if (value > static_cast<unsigned long long>(LONG_MAX)) value = static_cast<unsigned long long>(LONG_MAX) + 1;
  }
  if (negative) return value > static_cast<unsigned long long>(LONG_MAX) ? LONG_MIN : -static_cast<long>(value);
  return value > static_cast<unsigned long long>(LONG_MAX) ? LONG_MAX : static_cast<long>(value);
}

unsigned long ReadHexadecimal(const std::wstring& text) {
  std::size_t i = 0;
  while (i < text.size() && IsScanfSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  if (i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) i += 2;
  unsigned long value = 0;
  for (; i < text.size(); ++i) {
    const wchar_t c = text[i];
    unsigned digit;
    if (c >= L'0' && c <= L'9') digit = static_cast<unsigned>(c - L'0');
    else if (c >= L'a' && c <= L'f') digit = static_cast<unsigned>(c - L'a' + 10);
    else if (c >= L'A' && c <= L'F') digit = static_cast<unsigned>(c - L'A' + 10);
    else break;
    value = (value << 4) | digit;  // only the low bits are kept, as the callers store 16 of them
  }
  return negative ? 0 - value : value;
}
