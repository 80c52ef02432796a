// Windows-style wide printf formatting.
#include "env/wformat.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

class Output {
 public:
  Output(wchar_t* buffer, std::size_t capacity) : m_buffer(buffer), m_capacity(capacity) {}

  void Put(wchar_t c) {
    if (m_count + 1 < m_capacity) {
      m_buffer[m_count++] = c;
    } else {
      m_cut = true;
    }
  }

  void Finish() {
    if (m_capacity > 0) m_buffer[m_count] = L'\0';
  }

  int Result() const { return m_cut ? -1 : static_cast<int>(m_count); }

 private:
  wchar_t* m_buffer;
  std::size_t m_capacity;
  std::size_t m_count = 0;
  bool m_cut = false;
};

struct Spec {
  bool left = false, plus = false, space = false, alt = false, zero = false;
  int width = 0;
  int precision = -1;
  enum Size { Default, Short, Long, LongLong, Size_t } size = Default;
  bool wideSize = false;  // l or w given for s / c
};

void Pad(Output& out, int count, wchar_t c) {
  for (int i = 0; i < count; ++i) out.Put(c);
}

void PutField(Output& out, const Spec& spec, const std::wstring& body) {
  const int padding = spec.width > static_cast<int>(body.size()) ? spec.width - static_cast<int>(body.size()) : 0;
  if (!spec.left) Pad(out, padding, L' ');
  for (wchar_t c : body) out.Put(c);
  if (spec.left) Pad(out, padding, L' ');
}

std::wstring Widen(const char* s, std::size_t n) {
  std::wstring w;
  for (std::size_t i = 0; i < n; ++i) w += static_cast<wchar_t>(static_cast<unsigned char>(s[i]));
  return w;
}

void PutInteger(Output& out, const Spec& spec, wchar_t conv, std::uint64_t magnitude, bool negative) {
  std::wstring digits;
  const unsigned base = (conv == L'x' || conv == L'X') ? 16 : conv == L'o' ? 8 : 10;
  const wchar_t* alphabet = conv == L'X' ? L"0123456789ABCDEF" : L"0123456789abcdef";
  while (magnitude) {
    digits.insert(digits.begin(), alphabet[magnitude % base]);
    magnitude /= base;
  }
  if (spec.precision < 0 && digits.empty()) digits = L"0";
  while (spec.precision >= 0 && static_cast<int>(digits.size()) < spec.precision) digits.insert(digits.begin(), L'0');
  std::wstring prefix;
  if (negative) prefix = L"-";
  else if (spec.plus && (conv == L'd' || conv == L'i')) prefix = L"+";
  else if (spec.space && (conv == L'd' || conv == L'i')) prefix = L" ";
  if (spec.alt && base == 16 && !digits.empty() && digits != L"0") prefix += conv == L'X' ? L"0X" : L"0x";
  if (spec.alt && base == 8 && (digits.empty() || digits[0] != L'0')) digits.insert(digits.begin(), L'0');
  if (spec.zero && !spec.left && spec.precision < 0) {
    while (static_cast<int>(prefix.size() + digits.size()) < spec.width) digits.insert(digits.begin(), L'0');
  }
  PutField(out, spec, prefix + digits);
}

}  // namespace

int FormatWide(wchar_t* buffer, std::size_t capacity, const wchar_t* format, va_list args) {
  Output out(buffer, capacity);
  if (!format) {
    out.Finish();
    return 0;
  }
  va_list ap;
  va_copy(ap, args);
  for (const wchar_t* p = format; *p;) {
    if (*p != L'%') {
      out.Put(*p++);
      continue;
    }
    const wchar_t* start = p++;
    Spec spec;
    for (;; ++p) {
      if (*p == L'-') spec.left = true;
      else if (*p == L'+') spec.plus = true;
      else if (*p == L' ') spec.space = true;
      else if (*p == L'#') spec.alt = true;
      else if (*p == L'0') spec.zero = true;
      else break;
    }
    if (*p == L'*') {
      spec.width = va_arg(ap, int);
      if (spec.width < 0) {
        spec.left = true;
        spec.width = -spec.width;
      }
      ++p;
    } else {
      while (*p >= L'0' && *p <= L'9') spec.width = spec.width * 10 + (*p++ - L'0');
    }
    if (*p == L'.') {
      ++p;
      spec.precision = 0;
      if (*p == L'*') {
        spec.precision = va_arg(ap, int);
        if (spec.precision < 0) spec.precision = -1;
        ++p;
      } else {
        while (*p >= L'0' && *p <= L'9') spec.precision = spec.precision * 10 + (*p++ - L'0');
      }
    }
    bool narrow = false;
    if (*p == L'h') {
      spec.size = Spec::Short;
      narrow = true;
      ++p;
      if (*p == L'h') ++p;
    } else if (*p == L'l') {
      spec.size = Spec::Long;
      spec.wideSize = true;
      ++p;
      if (*p == L'l') {
        spec.size = Spec::LongLong;
        ++p;
      }
    } else if (*p == L'w') {
      spec.wideSize = true;
      ++p;
    } else if (*p == L'L') {
      ++p;
    } else if (*p == L'I') {
      if (p[1] == L'6' && p[2] == L'4') {
        spec.size = Spec::LongLong;
        p += 3;
      } else if (p[1] == L'3' && p[2] == L'2') {
        spec.size = Spec::Default;
        p += 3;
      } else {
        spec.size = Spec::Size_t;
        ++p;
      }
    } else if (*p == L'z') {
      spec.size = Spec::Size_t;
      ++p;
    }
    const wchar_t conv = *p;
    if (!conv) {
      // An incomplete directive at the end is written as it stands.
      for (const wchar_t* q = start; q < p; ++q) out.Put(*q);
      break;
    }
    ++p;
    switch (conv) {
      case L'%':
        out.Put(L'%');
        break;
      case L'c':
      case L'C': {
        const int v = va_arg(ap, int);
        const bool isNarrow = conv == L'C' ? !spec.wideSize : narrow;
        const wchar_t ch = isNarrow ? static_cast<wchar_t>(static_cast<unsigned char>(v)) : static_cast<wchar_t>(v & 0xFFFF);
        PutField(out, spec, std::wstring(1, ch));
        break;
      }
      case L's':
      case L'S': {
        const bool isNarrow = conv == L'S' ? !spec.wideSize : narrow;
        std::wstring body;
        if (isNarrow) {
          const char* s = va_arg(ap, const char*);
          if (!s) s = "(null)";
          std::size_t n = std::strlen(s);
          if (spec.precision >= 0 && n > static_cast<std::size_t>(spec.precision)) n = static_cast<std::size_t>(spec.precision);
          body = Widen(s, n);
        } else {
          const wchar_t* s = va_arg(ap, const wchar_t*);
          if (!s) s = L"(null)";
          std::size_t n = 0;
          while (s[n] && (spec.precision < 0 || n < static_cast<std::size_t>(spec.precision))) ++n;
          body.assign(s, n);
        }
        PutField(out, spec, body);
        break;
      }
      case L'd':
      case L'i': {
        std::int64_t v;
        switch (spec.size) {
          case Spec::LongLong: v = va_arg(ap, long long); break;
          case Spec::Size_t: v = va_arg(ap, std::intptr_t); break;
          case Spec::Short: v = static_cast<short>(va_arg(ap, int)); break;
          case Spec::Long: v = static_cast<std::int32_t>(va_arg(ap, long)); break;  // long is 32 bits on Windows
          default: v = va_arg(ap, int); break;
        }
        const bool negative = v < 0;
        const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
        PutInteger(out, spec, conv, magnitude, negative);
        break;
      }
      case L'u':
      case L'x':
      case L'X':
      case L'o': {
        std::uint64_t v;
        switch (spec.size) {
          case Spec::LongLong: v = va_arg(ap, unsigned long long); break;
          case Spec::Size_t: v = va_arg(ap, std::uintptr_t); break;
          case Spec::Short: v = static_cast<unsigned short>(va_arg(ap, unsigned)); break;
          case Spec::Long: v = static_cast<std::uint32_t>(va_arg(ap, unsigned long)); break;
          default: v = va_arg(ap, unsigned); break;
        }
        PutInteger(out, spec, conv, v, false);
        break;
      }
      case L'p': {
        const auto v = reinterpret_cast<std::uintptr_t>(va_arg(ap, void*));
        Spec ps = spec;
        ps.precision = static_cast<int>(sizeof(void*) * 2);
        PutInteger(out, ps, L'X', v, false);
        break;
      }
      case L'e': case L'E': case L'f': case L'F': case L'g': case L'G': case L'a': case L'A': {
        const double v = va_arg(ap, double);
        std::string f = "%";
        if (spec.left) f += '-';
        if (spec.plus) f += '+';
        if (spec.space) f += ' ';
        if (spec.alt) f += '#';
        if (spec.zero) f += '0';
        if (spec.width) f += std::to_string(spec.width);
        if (spec.precision >= 0) f += "." + std::to_string(spec.precision);
        f += static_cast<char>(conv);
        char tmp[512];
        const int n = std::snprintf(tmp, sizeof tmp, f.c_str(), v);
        const std::size_t len = n < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), sizeof tmp - 1);
        for (std::size_t i = 0; i < len; ++i) out.Put(static_cast<wchar_t>(tmp[i]));
        break;
      }
      case L'n':
        (void)va_arg(ap, void*);  // not supported, as in current Windows runtimes; nothing is stored
        break;
      default:
        // An unknown conversion is written as it stands.
        for (const wchar_t* q = start; q < p; ++q) out.Put(*q);
        break;
    }
  }
  va_end(ap);
  out.Finish();
  return out.Result();
}
