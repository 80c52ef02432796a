// Simulated machine: INF file reading and the SetupAPI INF calls.
#include "platform/sim/inf.h"

#include <map>
#include <memory>

#include "platform/error.h"
#include "platform/inf.h"
#include "platform/nls.h"
#include "platform/sim/fs.h"
#include "platform/sim/machine.h"
#include "platform/sim/objects.h"
#include "platform/sim/unicode.h"

namespace sim {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == 0x1A; }

std::wstring TrimBlanks(const std::wstring& s) {
  std::size_t a = 0, b = s.size();
  while (a < b && IsBlank(s[a])) ++a;
  while (b > a && IsBlank(s[b - 1])) --b;
  return s.substr(a, b - a);
}

// One raw piece of a line: its text and whether any of it was quoted (quoted text keeps its blanks).
struct Token {
  std::wstring text;
  bool separator = false;  // ',' or '='
  wchar_t which = 0;
};

// Splits a logical line (comment already cut) at '=' and ',' outside quotes; quotes go, "" is one ".
std::vector<Token> Tokenize(const std::wstring& line) {
  std::vector<Token> tokens(1);
  std::wstring pendingBlanks;
  bool quoted = false;
  bool started = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const wchar_t c = line[i];
    if (quoted) {
      if (c == L'"') {
        if (i + 1 < line.size() && line[i + 1] == L'"') {
          tokens.back().text += L'"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        tokens.back().text += c;
      }
      continue;
    }
    if (c == L'"') {
      if (started) tokens.back().text += pendingBlanks;
      pendingBlanks.clear();
      quoted = true;
      started = true;
    } else if (c == L',' || (c == L'=' && tokens.size() == 1)) {
      tokens.push_back({std::wstring(), true, c});
      tokens.push_back({});
      pendingBlanks.clear();
      started = false;
    } else if (IsBlank(c)) {
      if (started) pendingBlanks += c;
    } else {
      tokens.back().text += pendingBlanks;
      pendingBlanks.clear();
      tokens.back().text += c;
      started = true;
    }
  }
  return tokens;
}

std::wstring Substitute(const std::wstring& text, const std::map<std::wstring, std::wstring>& strings) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'%') {
      out += text[i];
      continue;
    }
    const std::size_t end = text.find(L'%', i + 1);
    if (end == std::wstring::npos) {
      out += text.substr(i);
      break;
    }
    if (end == i + 1) {
      out += L'%';  // %% stands for one %
    } else {
      const std::wstring name = text.substr(i + 1, end - i - 1);
      auto it = strings.find(Downcase(name));
      out += it != strings.end() ? it->second : text.substr(i, end - i + 1);
    }
    i = end;
  }
  return out;
}

struct RawLine {
  std::wstring text;
  win::UINT number;
};

}  // namespace

const InfSection* InfFile::Section(const std::wstring& name) const {
  for (const auto& s : sections) {
    if (EqualNoCase(s.name, name)) return &s;
  }
  return nullptr;
}

std::wstring InfFile::Value(const std::wstring& section, const std::wstring& key) const {
  const InfSection* s = Section(section);
  if (!s) return {};
  for (const auto& l : s->lines) {
    if (l.hasKey && EqualNoCase(l.key, key)) return l.fields.empty() ? std::wstring() : l.fields[0];
  }
  return {};
}

win::DWORD ParseInf(const std::string& bytes, InfFile& out, win::UINT* errorLine) {
  std::wstring text;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
  } else if (!bytes.empty()) {
    const int n = win::MultiByteToWideChar(win::CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) win::MultiByteToWideChar(win::CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), w.data(), n);
    text = w;
  }

  // Logical lines: comments cut, a trailing backslash joins the next line.
  std::vector<RawLine> lines;
  win::UINT number = 0;
  std::size_t pos = 0;
  std::wstring joined;
  win::UINT joinedStart = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find(L'\n', pos);
    if (nl == std::wstring::npos) nl = text.size();
    std::wstring line = text.substr(pos, nl - pos);
    pos = nl + 1;
    ++number;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == L'"') quoted = !quoted;
      if (line[i] == L';' && !quoted) {
        line.resize(i);
        break;
      }
    }
    line = TrimBlanks(line);
    if (joined.empty()) joinedStart = number;
    if (!line.empty() && line.back() == L'\\') {
      line.pop_back();
      joined += line;
      continue;
    }
    joined += line;
    if (!joined.empty()) lines.push_back({joined, joinedStart});
    joined.clear();
  }
  if (!joined.empty()) lines.push_back({joined, joinedStart});

  // First the sections and raw tokens, then [Strings] substitution.
  struct Pending {
    std::size_t section;
    std::vector<Token> tokens;
  };
  std::vector<Pending> pending;
  InfFile file;
  std::map<std::wstring, std::size_t> byName;
  std::size_t current = static_cast<std::size_t>(-1);
  for (const RawLine& l : lines) {
    if (l.text[0] == L'[') {
      const std::size_t close = l.text.find(L']');
      if (close == std::wstring::npos) {
        if (errorLine) *errorLine = l.number;
        return ERROR_BAD_SECTION_NAME_LINE;
      }
      const std::wstring name = TrimBlanks(l.text.substr(1, close - 1));
      auto it = byName.find(Downcase(name));
      if (it == byName.end()) {
        it = byName.emplace(Downcase(name), file.sections.size()).first;
        file.sections.push_back({name, {}});
      }
      current = it->second;
      continue;
    }
    if (current == static_cast<std::size_t>(-1)) {
      if (errorLine) *errorLine = l.number;
      return ERROR_EXPECTED_SECTION_NAME;
    }
    pending.push_back({current, Tokenize(l.text)});
  }
  std::map<std::wstring, std::wstring> strings;
  for (const Pending& p : pending) {
    if (!EqualNoCase(file.sections[p.section].name, L"Strings")) continue;
    if (p.tokens.size() >= 3 && p.tokens[1].which == L'=') strings[Downcase(p.tokens[0].text)] = p.tokens[2].text;
  }
  for (const Pending& p : pending) {
    InfLine line;
    const bool isStrings = EqualNoCase(file.sections[p.section].name, L"Strings");
    std::size_t first = 0;
    if (p.tokens.size() >= 2 && p.tokens[1].which == L'=') {
      line.hasKey = true;
      line.key = isStrings ? p.tokens[0].text : Substitute(p.tokens[0].text, strings);
      first = 2;
    }
    for (std::size_t i = first; i < p.tokens.size(); ++i) {
      if (p.tokens[i].separator) continue;
      line.fields.push_back(isStrings ? p.tokens[i].text : Substitute(p.tokens[i].text, strings));
    }
    file.sections[p.section].lines.push_back(std::move(line));
  }
  out = std::move(file);
  return 0;
}

win::DWORD ReadInfFile(const std::wstring& path, InfFile& out, win::UINT* errorLine) {
  Machine& machine = Current();
  std::lock_guard<std::recursive_mutex> guard(machine.Lock());
  WinPath wp;
  if (MakeFullPath(machine, path, false, wp) != PathStatus::Ok) return win::ERROR_INVALID_NAME;
  if (!ResolveDirectory(machine, wp, wp.parts.empty() ? 0 : wp.parts.size() - 1)) return win::ERROR_PATH_NOT_FOUND;
  const auto host = ResolveExisting(machine, wp);
  if (!host) return win::ERROR_FILE_NOT_FOUND;
  std::error_code ec;
  if (std::filesystem::is_directory(*host, ec)) return win::ERROR_ACCESS_DENIED;
  const auto bytes = ReadHostFile(*host);
  if (!bytes) return win::ERROR_ACCESS_DENIED;
  InfFile file;
  if (const win::DWORD e = ParseInf(*bytes, file, errorLine)) return e;
  const std::wstring signature = Downcase(file.Value(L"Version", L"Signature"));
  if (signature != L"$windows nt$" && signature != L"$chicago$" && signature != L"$windows 95$") {
    return win::ERROR_WRONG_INF_STYLE;
  }
  out = std::move(file);
  return 0;
}

namespace {

struct InfObject : Object {
  InfFile file;
};

const InfLine* LineOf(const win::INFCONTEXT* context, std::shared_ptr<InfObject>* keep = nullptr) {
  if (!context) return nullptr;
  auto inf = Handles().Get<InfObject>(context->Inf);
  if (!inf || context->Section >= inf->file.sections.size()) return nullptr;
  const auto& lines = inf->file.sections[context->Section].lines;
  if (context->Line >= lines.size()) return nullptr;
  if (keep) *keep = inf;
  return &lines[context->Line];
}

}  // namespace

}  // namespace sim

namespace win {

HINF SetupOpenInfFileW(LPCWSTR name, LPCWSTR infClass, DWORD style, UINT* errorLine) {
  if (!name || infClass || !(style & INF_STYLE_WIN4)) return sim::Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  auto object = std::make_shared<sim::InfObject>();
  if (const DWORD e = sim::ReadInfFile(name, object->file, errorLine)) return sim::Fail(e, INVALID_HANDLE_VALUE);
  SetLastError(ERROR_SUCCESS);
  return sim::Handles().Add(object);
}

void SetupCloseInfFile(HINF inf) {
  if (sim::Handles().Holds<sim::InfObject>(inf)) sim::Handles().Close(inf);
}

BOOL SetupFindFirstLineW(HINF inf, LPCWSTR section, LPCWSTR key, INFCONTEXT* context) {
  auto object = sim::Handles().Get<sim::InfObject>(inf);
  if (!object) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  if (!section || !context) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  const auto& sections = object->file.sections;
  for (std::size_t s = 0; s < sections.size(); ++s) {
    if (!sim::EqualNoCase(sections[s].name, section)) continue;
    for (std::size_t l = 0; l < sections[s].lines.size(); ++l) {
      const sim::InfLine& line = sections[s].lines[l];
      if (key && !(line.hasKey && sim::EqualNoCase(line.key, key))) continue;
      *context = {inf, inf, static_cast<UINT>(s), static_cast<UINT>(l)};
      SetLastError(ERROR_SUCCESS);
      return TRUE;
    }
    return sim::Fail(ERROR_LINE_NOT_FOUND, FALSE);
  }
  return sim::Fail(ERROR_SECTION_NOT_FOUND, FALSE);
}

BOOL SetupFindNextLine(const INFCONTEXT* in, INFCONTEXT* out) {
  std::shared_ptr<sim::InfObject> inf;
  if (!sim::LineOf(in, &inf) || !out) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (in->Line + 1 >= inf->file.sections[in->Section].lines.size()) return sim::Fail(ERROR_LINE_NOT_FOUND, FALSE);
  *out = *in;
  ++out->Line;
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

DWORD SetupGetFieldCount(const INFCONTEXT* context) {
  const sim::InfLine* line = sim::LineOf(context);
  if (!line) return sim::Fail(ERROR_INVALID_PARAMETER, DWORD{0});
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(line->fields.size());
}

BOOL SetupGetStringFieldW(const INFCONTEXT* context, DWORD index, LPWSTR buffer, DWORD size, DWORD* required) {
  const sim::InfLine* line = sim::LineOf(context);
  if (!line) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  const std::wstring* field = nullptr;
  if (index == 0) {
    if (!line->hasKey) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
    field = &line->key;
  } else if (index <= line->fields.size()) {
    field = &line->fields[index - 1];
  } else {
    return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  }
  const DWORD need = static_cast<DWORD>(field->size() + 1);
  if (required) *required = need;
  if (!buffer) {
    SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  if (size < need) return sim::Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
  std::copy(field->begin(), field->end(), buffer);
  buffer[field->size()] = L'\0';
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

}  // namespace win
