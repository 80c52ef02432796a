// Simulated machine: code pages (through the host's iconv) and the machine's ANSI and OEM code pages.
#include <iconv.h>

#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/error.h"
#include "platform/nls.h"
#include "platform/sim/machine.h"
#include "platform/sim/objects.h"
#include "platform/sim/unicode.h"

namespace sim {

namespace {

// One code page: a byte table for single-byte code pages, a lead-byte test for double-byte ones,
// with conversions looked up through iconv once and kept.
class CodePage {
 public:
  static const CodePage* Get(win::UINT cp) {
    static std::mutex lock;
    static std::map<win::UINT, std::unique_ptr<CodePage>> pages;
    std::lock_guard<std::mutex> guard(lock);
    auto it = pages.find(cp);
    if (it != pages.end()) return it->second.get();
    auto page = std::unique_ptr<CodePage>(new CodePage(cp));
    if (!page->m_ok) page.reset();
    return (pages[cp] = std::move(page)).get();
  }

  bool IsLeadByte(unsigned char b) const {
    switch (m_cp) {
      case 932: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
      case 936: case 949: case 950: return b >= 0x81 && b <= 0xFE;
      default: return false;
    }
  }

  // One character from 1 or 2 bytes; nullopt when the code page does not define it.
  std::optional<wchar_t> Decode(const char* bytes, std::size_t n) const {
    std::lock_guard<std::mutex> guard(m_lock);
    const unsigned key = n == 1 ? static_cast<unsigned char>(bytes[0])
                                : (static_cast<unsigned>(static_cast<unsigned char>(bytes[0])) << 8) |
                                      static_cast<unsigned char>(bytes[1]);
    auto it = m_decoded.find(key);
    if (it != m_decoded.end()) return it->second;
    std::optional<wchar_t> result;
    char in[2] = {bytes[0], n > 1 ? bytes[1] : '\0'};
    char out[8];
    char* ip = in;
    char* op = out;
    std::size_t il = n, ol = sizeof out;
    iconv(m_to, nullptr, nullptr, nullptr, nullptr);
    if (iconv(m_to, &ip, &il, &op, &ol) != static_cast<std::size_t>(-1) && il == 0 && op - out == 2) {
      const auto u = static_cast<wchar_t>(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
      result = u;
    } else if (n == 1 && !IsLeadByte(static_cast<unsigned char>(bytes[0])) && m_cp >= 1250 && m_cp <= 1258) {
      // Windows maps the undefined bytes of its single-byte code pages to the C1 controls.
      result = static_cast<wchar_t>(static_cast<unsigned char>(bytes[0]));
    }
    m_decoded[key] = result;
    return result;
  }

  // The bytes of one character (a UTF-16 unit or a surrogate pair); empty when the code page lacks it.
  std::string Encode(char32_t cp) const {
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = m_encoded.find(cp);
    if (it != m_encoded.end()) return it->second;
    char in[4] = {static_cast<char>(cp & 0xFF), static_cast<char>((cp >> 8) & 0xFF), static_cast<char>((cp >> 16) & 0xFF),
                  static_cast<char>((cp >> 24) & 0xFF)};
    char out[8];
    char* ip = in;
    char* op = out;
    std::size_t il = 4, ol = sizeof out;
    iconv(m_from, nullptr, nullptr, nullptr, nullptr);
    std::string result;
    if (iconv(m_from, &ip, &il, &op, &ol) != static_cast<std::size_t>(-1) && il == 0) result.assign(out, op);
    if (result.empty() && cp >= 0x80 && cp <= 0x9F && m_cp >= 1250 && m_cp <= 1258) {
      // The reverse of the C1 mapping above, where the byte is undefined in the code page.
      const char b = static_cast<char>(cp);
      if (!DecodeDefinedLocked(b)) result.assign(1, b);
    }
    m_encoded[cp] = result;
    return result;
  }

  win::UINT Number() const { return m_cp; }

  ~CodePage() {
    if (m_to != reinterpret_cast<iconv_t>(-1)) iconv_close(m_to);
    if (m_from != reinterpret_cast<iconv_t>(-1)) iconv_close(m_from);
  }
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

 private:
  explicit CodePage(win::UINT cp) : m_cp(cp) {
    const std::string name = "CP" + std::to_string(cp);
    m_to = iconv_open("UTF-16LE", name.c_str());
    m_from = iconv_open(name.c_str(), "UTF-32LE");
    m_ok = m_to != reinterpret_cast<iconv_t>(-1) && m_from != reinterpret_cast<iconv_t>(-1);
  }

  bool DecodeDefinedLocked(char b) const {
    char in[1] = {b};
    char out[8];
    char* ip = in;
    char* op = out;
    std::size_t il = 1, ol = sizeof out;
    iconv(m_to, nullptr, nullptr, nullptr, nullptr);
    return iconv(m_to, &ip, &il, &op, &ol) != static_cast<std::size_t>(-1);
  }

  win::UINT m_cp;
  iconv_t m_to = reinterpret_cast<iconv_t>(-1);
  iconv_t m_from = reinterpret_cast<iconv_t>(-1);
  bool m_ok = false;
  mutable std::mutex m_lock;
  mutable std::map<unsigned, std::optional<wchar_t>> m_decoded;
  mutable std::map<char32_t, std::string> m_encoded;
};

}  // namespace

// The units a call works on: `count`, or up to and including the terminator for -1.
std::size_t UnitCount(const wchar_t* src, int count) {
  if (count != -1) return static_cast<std::size_t>(count);
  std::size_t n = 0;
  while (src[n]) ++n;
  return n + 1;
}

namespace {

win::UINT Resolve(win::UINT cp) {
  if (cp == win::CP_ACP) return Current().Desc().locale.ansiCodePage;
  if (cp == win::CP_OEMCP) return Current().Desc().locale.oemCodePage;
  return cp;
}

}  // namespace

}  // namespace sim

namespace win {

UINT GetACP() { return sim::Current().Desc().locale.ansiCodePage; }
UINT GetOEMCP() { return sim::Current().Desc().locale.oemCodePage; }

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcLen, LPWSTR dst, int dstLen) {
  if (!src || srcLen == 0 || srcLen < -1 || dstLen < 0 || (dstLen > 0 && !dst)) {
    return sim::Fail(ERROR_INVALID_PARAMETER, 0);
  }
  const std::size_t n = srcLen == -1 ? std::strlen(src) + 1 : static_cast<std::size_t>(srcLen);
  const UINT cp = sim::Resolve(codePage);
  const bool strict = (flags & MB_ERR_INVALID_CHARS) != 0;
  std::wstring out;
  if (cp == CP_UTF8) {
    const std::string_view bytes(src, n);
    out = sim::FromUtf8(bytes);
    if (strict && out.find(L'\xFFFD') != std::wstring::npos && bytes.find("\xEF\xBF\xBD") == std::string_view::npos) {
      return sim::Fail(ERROR_NO_UNICODE_TRANSLATION, 0);
    }
  } else {
    const sim::CodePage* page = sim::CodePage::Get(cp);
    if (!page) return sim::Fail(ERROR_INVALID_PARAMETER, 0);
    for (std::size_t i = 0; i < n;) {
      const auto b = static_cast<unsigned char>(src[i]);
      std::size_t len = (page->IsLeadByte(b) && i + 1 < n) ? 2 : 1;
      std::optional<wchar_t> c;
      if (b < 0x80) {
        c = static_cast<wchar_t>(b);
      } else if (page->IsLeadByte(b) && i + 1 >= n) {
        c = std::nullopt;  // a lead byte without its trail byte
      } else {
        c = page->Decode(src + i, len);
      }
      if (!c) {
        if (strict) return sim::Fail(ERROR_NO_UNICODE_TRANSLATION, 0);
        c = L'?';
        if (len == 2 && static_cast<unsigned char>(src[i + 1]) < 0x40) len = 1;  // keep an ASCII trail byte
      }
      out += *c;
      i += len;
    }
  }
  if (dstLen == 0) return static_cast<int>(out.size());
  if (out.size() > static_cast<std::size_t>(dstLen)) return sim::Fail(ERROR_INSUFFICIENT_BUFFER, 0);
  std::copy(out.begin(), out.end(), dst);
  return static_cast<int>(out.size());
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcLen, LPSTR dst, int dstLen,
                        LPCSTR defaultChar, BOOL* usedDefaultChar) {
  (void)flags;
  if (!src || srcLen == 0 || srcLen < -1 || dstLen < 0 || (dstLen > 0 && !dst)) {
    return sim::Fail(ERROR_INVALID_PARAMETER, 0);
  }
  const UINT cp = sim::Resolve(codePage);
  if (cp == CP_UTF8 && (defaultChar || usedDefaultChar)) return sim::Fail(ERROR_INVALID_PARAMETER, 0);
  const std::size_t n = sim::UnitCount(src, srcLen);
  const std::wstring_view units(src, n);
  std::string out;
  if (usedDefaultChar) *usedDefaultChar = FALSE;
  if (cp == CP_UTF8) {
    out = sim::ToUtf8(units);
  } else {
    const sim::CodePage* page = sim::CodePage::Get(cp);
    if (!page) return sim::Fail(ERROR_INVALID_PARAMETER, 0);
    for (std::size_t i = 0; i < units.size(); ++i) {
      char32_t c = static_cast<char32_t>(units[i]) & 0xFFFF;
      if (c < 0x80) {
        out += static_cast<char>(c);
        continue;
      }
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size()) {
        const char32_t l = static_cast<char32_t>(units[i + 1]) & 0xFFFF;
        if (l >= 0xDC00 && l <= 0xDFFF) {
          c = 0x10000 + ((c - 0xD800) << 10) + (l - 0xDC00);
          ++i;
        }
      }
      std::string bytes = (c >= 0xD800 && c <= 0xDFFF) ? std::string() : page->Encode(c);
      if (bytes.empty()) {
        bytes = defaultChar ? std::string(defaultChar, 1) : std::string("?");
        if (usedDefaultChar) *usedDefaultChar = TRUE;
      }
      out += bytes;
    }
  }
  if (dstLen == 0) return static_cast<int>(out.size());
  if (out.size() > static_cast<std::size_t>(dstLen)) return sim::Fail(ERROR_INSUFFICIENT_BUFFER, 0);
  std::copy(out.begin(), out.end(), dst);
  return static_cast<int>(out.size());
}

}  // namespace win

namespace win {

LANGID GetUserDefaultUILanguage() { return sim::Current().Desc().locale.uiLanguage; }

BOOL GetStringTypeW(DWORD infoType, LPCWSTR src, int count, WORD* types) {
  if (infoType != CT_CTYPE1 || !src || !types || count == 0 || count < -1) {
    return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  }
  const std::size_t n = sim::UnitCount(src, count);
  for (std::size_t i = 0; i < n; ++i) types[i] = sim::CharType1(src[i]);
  return TRUE;
}

int LCMapStringW(LCID locale, DWORD flags, LPCWSTR src, int srcLen, LPWSTR dst, int dstLen) {
  (void)locale;
  if (!src || srcLen == 0 || srcLen < -1 || dstLen < 0 || (dstLen > 0 && !dst) ||
      (flags != LCMAP_LOWERCASE && flags != LCMAP_UPPERCASE)) {
    return sim::Fail(ERROR_INVALID_PARAMETER, 0);
  }
  const std::size_t n = sim::UnitCount(src, srcLen);
  if (dstLen == 0) return static_cast<int>(n);
  if (n > static_cast<std::size_t>(dstLen)) return sim::Fail(ERROR_INSUFFICIENT_BUFFER, 0);
  for (std::size_t i = 0; i < n; ++i) dst[i] = flags == LCMAP_LOWERCASE ? sim::DowncaseUnit(src[i]) : sim::UpcaseUnit(src[i]);
  return static_cast<int>(n);
}

}  // namespace win
