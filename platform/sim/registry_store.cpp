// Simulated machine: the registry store and its .reg file form.
#include "platform/sim/registry_store.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/sim/machine.h"
#include "platform/sim/unicode.h"

namespace sim {

namespace {

const wchar_t* const kRoots[] = {L"HKEY_LOCAL_MACHINE", L"HKEY_CURRENT_USER", L"HKEY_USERS", L"HKEY_CLASSES_ROOT"};

// "HKLM\a\b" -> "HKEY_LOCAL_MACHINE\a\b", trailing and doubled backslashes dropped; empty when the
// root is unknown.
std::wstring Normalize(std::wstring_view path) {
  std::wstring out;
  std::size_t start = 0;
  bool first = true;
  while (start <= path.size()) {
    std::size_t end = path.find(L'\\', start);
    if (end == std::wstring_view::npos) end = path.size();
    const std::wstring_view part = path.substr(start, end - start);
    if (!part.empty()) {
      if (first) {
        out = Registry::CanonicalRoot(part);
        if (out.empty()) return {};
        first = false;
      } else {
        out += L'\\';
        out += part;
      }
    }
    start = end + 1;
  }
  return out;
}

std::wstring Parent(const std::wstring& path) {
  const auto sep = path.rfind(L'\\');
  return sep == std::wstring::npos ? std::wstring() : path.substr(0, sep);
}

bool IsRoot(const std::wstring& normalized) { return normalized.find(L'\\') == std::wstring::npos; }

std::string EscapeQuoted(const std::wstring& text) {
  std::string out;
  for (char ch : ToUtf8(text)) {
    if (ch == '\\' || ch == '"') out += '\\';
    out += ch;
  }
  return out;
}

}  // namespace

std::wstring RegLower(std::wstring_view text) { return Downcase(text); }

std::vector<win::BYTE> RegMultiTextBytes(const std::vector<std::wstring>& items) {
  std::vector<win::BYTE> out;
  auto put = [&](wchar_t unit) {
    out.push_back(static_cast<win::BYTE>(unit & 0xFF));
    out.push_back(static_cast<win::BYTE>((unit >> 8) & 0xFF));
  };
  for (const auto& item : items) {
    for (wchar_t unit : item) put(unit);
    put(L'\0');
  }
  put(L'\0');
  return out;
}

std::vector<win::BYTE> RegTextBytes(std::wstring_view text) {
  std::vector<win::BYTE> out = RegMultiTextBytes({std::wstring(text)});
  out.resize(out.size() - 2);  // one terminator only
  return out;
}

std::wstring Registry::CanonicalRoot(std::wstring_view name) {
  const std::wstring lower = RegLower(name);
  static const std::pair<const wchar_t*, const wchar_t*> kAbbreviations[] = {
      {L"hklm", L"HKEY_LOCAL_MACHINE"}, {L"hkcu", L"HKEY_CURRENT_USER"}, {L"hku", L"HKEY_USERS"}, {L"hkcr", L"HKEY_CLASSES_ROOT"}};
  for (const auto& [abbr, full] : kAbbreviations) {
    if (lower == abbr || lower == RegLower(full)) return full;
  }
  return {};
}

RegKey* Registry::Find(std::wstring_view path) {
  return const_cast<RegKey*>(static_cast<const Registry*>(this)->Find(path));
}

const RegKey* Registry::Find(std::wstring_view path) const {
  const std::wstring n = Normalize(path);
  if (n.empty()) return nullptr;
  auto it = m_keys.find(RegLower(n));
  if (it != m_keys.end()) return &it->second;
  if (IsRoot(n)) {
    // Roots exist without being stored; hand out a stable empty key for them.
    static RegKey roots[4];
    for (std::size_t i = 0; i < 4; ++i) {
      if (n == kRoots[i]) {
        roots[i].path = kRoots[i];
        roots[i].values.clear();
        return &roots[i];
      }
    }
  }
  return nullptr;
}

RegKey& Registry::Create(std::wstring_view path, bool* created) {
  const std::wstring n = Normalize(path);
  if (n.empty()) throw std::invalid_argument("a registry path must start at a root key");
  if (created) *created = false;
  auto it = m_keys.find(RegLower(n));
  if (it != m_keys.end()) return it->second;
  if (IsRoot(n)) return *Find(n);  // the roots always exist and are not stored
  Create(Parent(n));
  if (created) *created = true;
  RegKey& key = m_keys[RegLower(n)];
  key.path = n;
  return key;
}

bool Registry::RemoveTree(std::wstring_view path) {
  const std::wstring lower = RegLower(Normalize(path));
  if (lower.empty()) return false;
  bool any = false;
  for (auto it = m_keys.begin(); it != m_keys.end();) {
    if (it->first == lower || it->first.starts_with(lower + L'\\')) {
      it = m_keys.erase(it);
      any = true;
    } else {
      ++it;
    }
  }
  return any;
}

std::vector<std::wstring> Registry::Subkeys(std::wstring_view path) const {
  const std::wstring n = Normalize(path);
  std::vector<std::wstring> names;
  if (n.empty()) return names;
  const std::wstring prefix = RegLower(n) + L'\\';
  for (const auto& [lower, key] : m_keys) {
    if (lower.starts_with(prefix) && lower.find(L'\\', prefix.size()) == std::wstring::npos) {
      names.push_back(key.path.substr(prefix.size()));
    }
  }
  return names;
}

void Registry::SetString(std::wstring_view path, std::wstring_view name, std::wstring_view value, win::DWORD type) {
  Create(path).values[RegLower(name)] = RegValue{std::wstring(name), type, RegTextBytes(value)};
}

void Registry::SetDword(std::wstring_view path, std::wstring_view name, win::DWORD value) {
  RegValue v{std::wstring(name), 4, {}};
  for (int i = 0; i < 4; ++i) v.data.push_back(static_cast<win::BYTE>(value >> (8 * i)));
  Create(path).values[RegLower(name)] = std::move(v);
}

void Registry::SetBinary(std::wstring_view path, std::wstring_view name, const std::vector<win::BYTE>& bytes) {
  Create(path).values[RegLower(name)] = RegValue{std::wstring(name), 3, bytes};
}

const RegValue* Registry::GetValue(std::wstring_view path, std::wstring_view name) const {
  const RegKey* key = Find(path);
  if (!key) return nullptr;
  auto it = key->values.find(RegLower(name));
  return it == key->values.end() ? nullptr : &it->second;
}

std::wstring Registry::GetString(std::wstring_view path, std::wstring_view name) const {
  const RegValue* v = GetValue(path, name);
  if (!v || (v->type != 1 && v->type != 2)) return {};
  std::wstring text;
  for (std::size_t i = 0; i + 1 < v->data.size(); i += 2) {
    const wchar_t unit = static_cast<wchar_t>(v->data[i] | (v->data[i + 1] << 8));
    if (unit == L'\0') break;
    text += unit;
  }
  return text;
}

std::string Registry::Format() const {
  std::string out = "Windows Registry Editor Version 5.00\r\n";
  for (const auto& [lower, key] : m_keys) {
    out += "\r\n[" + ToUtf8(key.path) + "]\r\n";
    for (const auto& [vlower, v] : key.values) {
      out += v.name.empty() ? std::string("@") : "\"" + EscapeQuoted(v.name) + "\"";
      out += '=';
      if (v.type == 1 && !v.data.empty() && v.data.size() % 2 == 0 && v.data[v.data.size() - 1] == 0 &&
          v.data[v.data.size() - 2] == 0) {
        std::wstring text;
        bool clean = true;
        for (std::size_t i = 0; i + 2 < v.data.size(); i += 2) {
          const wchar_t unit = static_cast<wchar_t>(v.data[i] | (v.data[i + 1] << 8));
          if (unit == L'\0' || unit == L'\r' || unit == L'\n') clean = false;
          text += unit;
        }
        if (clean) {
          out += "\"" + EscapeQuoted(text) + "\"\r\n";
          continue;
        }
      }
      if (v.type == 4 && v.data.size() == 4) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) |
                                                      (static_cast<unsigned>(v.data[3]) << 24));
        out += buf;
        out += "\r\n";
        continue;
      }
      char head[24];
      if (v.type == 3) std::snprintf(head, sizeof head, "hex:");
      else std::snprintf(head, sizeof head, "hex(%x):", static_cast<unsigned>(v.type));
      out += head;
      for (std::size_t i = 0; i < v.data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i ? ",%02x" : "%02x", v.data[i]);
        out += byte;
      }
      out += "\r\n";
    }
  }
  return out;
}

Registry Registry::Parse(std::string_view text, const std::string& file) {
  Registry reg;
  // Logical lines: a line ending in a backslash goes on in the next (hex lists are cut so).
  std::vector<std::pair<std::string, int>> lines;
  int lineNo = 0;
  std::size_t pos = 0;
  std::string pending;
  int pendingLine = 0;
  while (pos < text.size()) {
    auto nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    std::string line(text.substr(pos, nl - pos));
    pos = nl + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (lineNo == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    std::size_t lead = line.find_first_not_of(" \t");
    line = lead == std::string::npos ? std::string() : line.substr(lead);
    if (pending.empty()) pendingLine = lineNo;
    if (!line.empty() && line.back() == '\\' && line[0] != '[') {
      line.pop_back();
      pending += line;
      continue;
    }
    lines.emplace_back(pending + line, pendingLine);
    pending.clear();
  }
  if (!pending.empty()) lines.emplace_back(pending, pendingLine);

  auto fail = [&](int line, const std::string& fault) { throw MachineError(file, line, fault); };
  RegKey* current = nullptr;
  bool header = false;
  for (const auto& [line, no] : lines) {
    if (line.empty() || line[0] == ';') continue;
    if (!header) {
      if (line != "Windows Registry Editor Version 5.00" && line != "REGEDIT4")
        fail(no, "a registry file starts with \"Windows Registry Editor Version 5.00\"");
      header = true;
      continue;
    }
    if (line[0] == '[') {
      const auto close = line.rfind(']');
      if (close == std::string::npos) fail(no, "a key line must end with ]");
      std::string path = line.substr(1, close - 1);
      if (path.starts_with("-")) fail(no, "key deletions ([-...]) are not taken");
      if (Normalize(FromUtf8(path)).empty()) fail(no, "unknown root key in [" + path + "]");
      current = &reg.Create(FromUtf8(path));
      continue;
    }
    if (!current) fail(no, "a value stands before any [key]");
    std::string name;
    std::size_t at = 0;
    if (line[0] == '@') {
      at = 1;
    } else if (line[0] == '"') {
      at = 1;
      bool closed = false;
      while (at < line.size()) {
        if (line[at] == '\\' && at + 1 < line.size()) {
          name += line[at + 1];
          at += 2;
        } else if (line[at] == '"') {
          ++at;
          closed = true;
          break;
        } else {
          name += line[at++];
        }
      }
      if (!closed) fail(no, "the value name's quotes are not closed");
    } else {
      fail(no, "expected [key], \"name\"=value or @=value");
    }
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    if (at >= line.size() || line[at] != '=') fail(no, "expected = after the value name");
    std::string data = line.substr(at + 1);
    while (!data.empty() && (data[0] == ' ' || data[0] == '\t')) data.erase(0, 1);
    while (!data.empty() && (data.back() == ' ' || data.back() == '\t')) data.pop_back();
    const std::wstring wname = FromUtf8(name);
    RegValue v{wname, 1, {}};
    if (!data.empty() && data[0] == '"') {
      if (data.size() < 2 || data.back() != '"') fail(no, "the string value's quotes are not closed");
      std::string s;
      for (std::size_t i = 1; i + 1 < data.size(); ++i) {
        if (data[i] == '\\' && i + 2 < data.size()) ++i;
        s += data[i];
      }
      v.data = RegTextBytes(FromUtf8(s));
    } else if (data.starts_with("dword:")) {
      const std::string digits = data.substr(6);
      if (digits.empty() || digits.size() > 8 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        fail(no, "a dword value is written dword:0000000a");
      const unsigned long n = std::strtoul(digits.c_str(), nullptr, 16);
      v.type = 4;
      for (int i = 0; i < 4; ++i) v.data.push_back(static_cast<win::BYTE>(n >> (8 * i)));
    } else if (data.starts_with("hex")) {
      std::size_t colon = data.find(':');
      if (colon == std::string::npos) fail(no, "a hex value is written hex:01,02 or hex(7):...");
      const std::string kind = data.substr(0, colon);
      if (kind == "hex") {
        v.type = 3;
      } else if (kind.size() > 5 && kind.starts_with("hex(") && kind.back() == ')') {
        const std::string t = kind.substr(4, kind.size() - 5);
        if (t.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) fail(no, "bad value type in " + kind);
        v.type = static_cast<win::DWORD>(std::strtoul(t.c_str(), nullptr, 16));
      } else {
        fail(no, "a hex value is written hex:01,02 or hex(7):...");
      }
      std::string bytes = data.substr(colon + 1);
      std::size_t i = 0;
      while (i < bytes.size()) {
        while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == ',')) ++i;
        if (i >= bytes.size()) break;
        std::size_t j = i;
        while (j < bytes.size() && std::isxdigit(static_cast<unsigned char>(bytes[j]))) ++j;
        if (j == i || j - i > 2) fail(no, "hex bytes are written as two digits separated by commas");
        v.data.push_back(static_cast<win::BYTE>(std::strtoul(bytes.substr(i, j - i).c_str(), nullptr, 16)));
        i = j;
        if (i < bytes.size() && bytes[i] != ',' && bytes[i] != ' ' && bytes[i] != '\t')
          fail(no, "hex bytes are written as two digits separated by commas");
      }
    } else if (data == "-") {
      fail(no, "value deletions (=-) are not taken");
    } else {
      fail(no, "a value is \"text\", dword:..., hex:... or hex(N):...");
    }
    current->values[RegLower(wname)] = std::move(v);
  }
  return reg;
}

}  // namespace sim
