// UTF-16 / UTF-8 conversion and case folding for the simulated machine.
#include "platform/sim/unicode.h"

#include <clocale>
#include <cwctype>

#include <locale.h>

namespace sim {

namespace {

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUtf16(std::wstring& out, char32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (cp >> 10));
    out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
  } else {
    out += static_cast<wchar_t>(cp);
  }
}

locale_t Utf8Locale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return l;
  }();
  return loc;
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t u = static_cast<char32_t>(text[i]) & 0xFFFF;
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size()) {
      const char32_t l = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
      if (l >= 0xDC00 && l <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (l - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
  }
  return out;
}

std::wstring FromUtf8(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    int extra = 0;
    char32_t cp = 0;
    if (b < 0x80) {
      cp = b;
    } else if ((b & 0xE0) == 0xC0) {
      cp = b & 0x1F;
      extra = 1;
    } else if ((b & 0xF0) == 0xE0) {
      cp = b & 0x0F;
      extra = 2;
    } else if ((b & 0xF8) == 0xF0) {
      cp = b & 0x07;
      extra = 3;
    } else {
      AppendUtf16(out, 0xFFFD);
      ++i;
      continue;
    }
    if (i + static_cast<std::size_t>(extra) >= text.size()) {
      AppendUtf16(out, 0xFFFD);
      ++i;
      continue;
    }
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      const unsigned char c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      AppendUtf16(out, 0xFFFD);
      ++i;
      continue;
    }
    AppendUtf16(out, cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

wchar_t UpcaseUnit(wchar_t unit) {
  const wchar_t u = unit & 0xFFFF;
  if (u < 0x80) return (u >= L'a' && u <= L'z') ? static_cast<wchar_t>(u - 32) : u;
  if (u >= 0xD800 && u <= 0xDFFF) return u;
  const locale_t loc = Utf8Locale();
  if (loc == static_cast<locale_t>(nullptr)) return u;
  const wint_t up = towupper_l(static_cast<wint_t>(u), loc);
  return up <= 0xFFFF ? static_cast<wchar_t>(up) : u;
}

wchar_t DowncaseUnit(wchar_t unit) {
  const wchar_t u = unit & 0xFFFF;
  if (u < 0x80) return (u >= L'A' && u <= L'Z') ? static_cast<wchar_t>(u + 32) : u;
  if (u >= 0xD800 && u <= 0xDFFF) return u;
  const locale_t loc = Utf8Locale();
  if (loc == static_cast<locale_t>(nullptr)) return u;
  const wint_t low = towlower_l(static_cast<wint_t>(u), loc);
  return low <= 0xFFFF ? static_cast<wchar_t>(low) : u;
}

unsigned short CharType1(wchar_t unit) {
  const wint_t u = static_cast<wint_t>(unit & 0xFFFF);
  if (u >= 0xD800 && u <= 0xDFFF) return 0;
  const locale_t loc = Utf8Locale();
  unsigned short t = 0;
  if (iswupper_l(u, loc)) t |= 0x0001;
  if (iswlower_l(u, loc)) t |= 0x0002;
  if (iswdigit_l(u, loc)) t |= 0x0004;
  // Windows counts the no-break space as a space and a blank, as it counts U+3000.
  if (iswspace_l(u, loc) || u == 0x00A0 || u == 0x2007 || u == 0x202F) t |= 0x0008;
  if (iswpunct_l(u, loc)) t |= 0x0010;
  if (iswcntrl_l(u, loc)) t |= 0x0020;
  if (iswblank_l(u, loc) || u == 0x00A0) t |= 0x0040;
  if (iswxdigit_l(u, loc)) t |= 0x0080;
  if (iswalpha_l(u, loc)) t |= 0x0100;
  if (t != 0 || iswprint_l(u, loc)) t |= 0x0200;
  return t;
}

bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpcaseUnit(a[i]) != UpcaseUnit(b[i])) return false;
  }
  return true;
}

std::wstring Downcase(std::wstring_view text) {
  std::wstring out(text);
  for (auto& c : out) c = DowncaseUnit(c);
  return out;
}

std::wstring Upcase(std::wstring_view text) {
  std::wstring out(text);
  for (auto& c : out) c = UpcaseUnit(c);
  return out;
}

}  // namespace sim
