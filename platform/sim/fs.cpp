// Windows path rules on the simulated machine's drive folders.
#include "platform/sim/fs.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/sim/unicode.h"

namespace fs = std::filesystem;

namespace sim {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsInvalidNameChar(wchar_t c, bool allowWildcards) {
  if (c < 32) return true;
  switch (c) {
    case L'<': case L'>': case L':': case L'"': case L'|': return true;
    case L'*': case L'?': return !allowWildcards;
    default: return false;
  }
}

void Split(std::wstring_view text, std::vector<std::wstring>& parts) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = start;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    if (end > start) parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
}

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

std::wstring CurrentDirectory(const Machine& machine) {
  const auto& p = machine.Desc().process;
  if (!p.currentDirectory.empty()) return p.currentDirectory;
  const auto sep = p.image.rfind(L'\\');
  return sep == std::wstring::npos ? p.image : p.image.substr(0, sep == 2 ? 3 : sep);
}

PathStatus MakeFullPath(const Machine& machine, std::wstring_view path, bool allowWildcards, WinPath& out) {
  out = WinPath{};
  if (path.empty()) return PathStatus::InvalidName;
  // The device namespace (\\.\ and \\?\) and network shares are not files of the drive folders.
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return PathStatus::InvalidName;

  std::vector<std::wstring> raw;
  std::wstring_view rest = path;
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':') {
    out.drive = UpcaseUnit(path[0]);
    rest = path.substr(2);
    if (rest.empty() || !IsSeparator(rest[0])) {
      // Drive-relative: against the current directory when it is on that drive, else the root.
      const std::wstring cd = CurrentDirectory(machine);
      if (UpcaseUnit(cd[0]) == out.drive) Split(std::wstring_view(cd).substr(2), raw);
    }
  } else if (IsSeparator(path[0])) {
    out.drive = UpcaseUnit(CurrentDirectory(machine)[0]);
  } else {
    const std::wstring cd = CurrentDirectory(machine);
    out.drive = UpcaseUnit(cd[0]);
    Split(std::wstring_view(cd).substr(2), raw);
  }
  out.trailingSeparator = !rest.empty() && IsSeparator(rest.back());
  Split(rest, raw);

  for (std::size_t i = 0; i < raw.size(); ++i) {
    std::wstring part = raw[i];
    if (part == L".") continue;
    if (part == L"..") {
      if (!out.parts.empty()) out.parts.pop_back();
      continue;
    }
    while (!part.empty() && (part.back() == L'.' || part.back() == L' ')) part.pop_back();
    if (part.empty()) continue;
    const bool last = i + 1 == raw.size();
    for (wchar_t c : part) {
      if (IsInvalidNameChar(c, allowWildcards && last)) return PathStatus::InvalidName;
    }
    out.parts.push_back(std::move(part));
  }
  if (out.parts.empty()) out.trailingSeparator = false;
  return PathStatus::Ok;
}

std::wstring ToString(const WinPath& path) {
  std::wstring s(1, path.drive);
  s += L":\\";
  for (std::size_t i = 0; i < path.parts.size(); ++i) {
    if (i) s += L'\\';
    s += path.parts[i];
  }
  return s;
}

std::wstring WindowsName(const fs::path& host) { return FromUtf8(host.filename().string()); }

std::optional<fs::path> FindEntry(const fs::path& hostDir, std::wstring_view name) {
  std::error_code ec;
  const fs::path exact = hostDir / ToUtf8(name);
  if (fs::exists(fs::symlink_status(exact, ec))) return exact;
  for (fs::directory_iterator it(hostDir, ec), end; !ec && it != end; it.increment(ec)) {
    if (EqualNoCase(WindowsName(it->path()), name)) return it->path();
  }
  return std::nullopt;
}

std::optional<fs::path> ResolveDirectory(const Machine& machine, const WinPath& path, std::size_t count) {
  fs::path dir = machine.DriveFolder(path.drive);
  if (dir.empty()) return std::nullopt;
  std::error_code ec;
  for (std::size_t i = 0; i < count && i < path.parts.size(); ++i) {
    auto next = FindEntry(dir, path.parts[i]);
    if (!next || !fs::is_directory(*next, ec)) return std::nullopt;
    dir = *next;
  }
  return dir;
}

std::optional<fs::path> ResolveExisting(const Machine& machine, const WinPath& path) {
  if (path.parts.empty()) return ResolveDirectory(machine, path, 0);
  auto dir = ResolveDirectory(machine, path, path.parts.size() - 1);
  if (!dir) return std::nullopt;
  return FindEntry(*dir, path.parts.back());
}

namespace {

bool IsShortNameChar(wchar_t c) {
  if (c >= 0x80) return true;
  if ((c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9')) return true;
  return std::wstring_view(L"!#$%&'()-@^_`{}~").find(c) != std::wstring_view::npos;
}

bool IsValid83(std::wstring_view name) {
  if (name.empty() || name == L"." || name == L"..") return true;
  const auto dot = name.find(L'.');
  const std::wstring_view base = name.substr(0, dot);
  const std::wstring_view ext = dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  if (ext.find(L'.') != std::wstring_view::npos) return false;
  for (wchar_t c : base) if (!IsShortNameChar(c)) return false;
  for (wchar_t c : ext) if (!IsShortNameChar(c)) return false;
  return true;
}

std::wstring Clean83(std::wstring_view text, std::size_t max) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L' ' || c == L'.') continue;
    out += IsShortNameChar(c) ? UpcaseUnit(c) : L'_';
    if (out.size() == max) break;
  }
  return out;
}

}  // namespace

std::wstring ShortName(std::wstring_view longName, const std::vector<std::wstring>& siblings) {
  if (IsValid83(longName)) return {};
  const auto dot = longName.rfind(L'.');
  const bool hasExt = dot != std::wstring_view::npos && dot > 0;
  std::wstring base = Clean83(hasExt ? longName.substr(0, dot) : longName, 6);
  if (base.empty()) base = L"_";
  const std::wstring ext = hasExt ? Clean83(longName.substr(dot + 1), 3) : std::wstring();
  // The ~N number: one more than the siblings that sort before this name and share base and extension.
  int n = 1;
  for (const auto& s : siblings) {
    if (s == longName || IsValid83(s)) continue;
    const auto sdot = s.rfind(L'.');
    const bool sExt = sdot != std::wstring::npos && sdot > 0;
    std::wstring sb = Clean83(sExt ? std::wstring_view(s).substr(0, sdot) : std::wstring_view(s), 6);
    if (sb.empty()) sb = L"_";
    const std::wstring se = sExt ? Clean83(std::wstring_view(s).substr(sdot + 1), 3) : std::wstring();
    if (sb == base && se == ext && Upcase(s) < Upcase(longName)) ++n;
  }
  std::wstring tail = L"~" + std::to_wstring(n);
  if (base.size() + tail.size() > 8) base.resize(8 - tail.size());
  return base + tail + (ext.empty() ? L"" : L"." + ext);
}

bool WildcardMatch(std::wstring_view pattern, std::wstring_view name) {
  if (pattern == L"*.*" || pattern == L"*") return true;
  // Iterative match with back-tracking to the last star.
  std::size_t p = 0, n = 0, star = std::wstring_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == L'?' || UpcaseUnit(pattern[p]) == UpcaseUnit(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == L'*') {
      star = p++;
      mark = n;
    } else if (star != std::wstring_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

std::optional<std::string> ReadHostFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream buf;
  buf << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return buf.str();
}

}  // namespace sim
