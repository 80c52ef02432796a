// Simulated machine: file search, files and standard handles over the drive folders.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/console.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/nls.h"
#include "platform/sim/devices.h"
#include "platform/sim/drivers.h"
#include "platform/sim/fs.h"
#include "platform/sim/machine.h"
#include "platform/sim/objects.h"
#include "platform/sim/unicode.h"

namespace fs = std::filesystem;

namespace sim {

namespace {

struct SearchObject : Object {
  std::vector<win::WIN32_FIND_DATAW> matches;
  std::size_t next = 0;
};

struct FileObject : Object {
  int fd = -1;
  bool canRead = false;
  bool canWrite = false;
  win::DWORD share = 0;
  std::string key;  // host path, for the sharing check
  ~FileObject() override {
    if (fd >= 0) ::close(fd);
  }
};

struct ConsoleObject : Object {
  int fd;
  explicit ConsoleObject(int f) : fd(f) {}
};

std::mutex g_openLock;
std::vector<std::weak_ptr<FileObject>> g_openFiles;

void FillTimes(win::WIN32_FIND_DATAW& d, const struct stat& st) {
  // FILETIME: 100 ns units since 1601-01-01.
  const std::uint64_t t = (static_cast<std::uint64_t>(st.st_mtime) + 11644473600ULL) * 10000000ULL;
  d.ftLastWriteTime = {static_cast<win::DWORD>(t), static_cast<win::DWORD>(t >> 32)};
  d.ftCreationTime = d.ftLastWriteTime;
  d.ftLastAccessTime = d.ftLastWriteTime;
}

bool IsReadOnly(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

win::WIN32_FIND_DATAW MakeFindData(const std::wstring& name, const std::wstring& shortName, const fs::path& host) {
  win::WIN32_FIND_DATAW d{};
  struct stat st{};
  if (::stat(host.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      d.dwFileAttributes = win::FILE_ATTRIBUTE_DIRECTORY;
    } else {
      d.dwFileAttributes = win::FILE_ATTRIBUTE_ARCHIVE;
      const auto size = static_cast<std::uint64_t>(st.st_size);
      d.nFileSizeLow = static_cast<win::DWORD>(size);
      d.nFileSizeHigh = static_cast<win::DWORD>(size >> 32);
    }
    if (IsReadOnly(st)) d.dwFileAttributes |= win::FILE_ATTRIBUTE_READONLY;
    FillTimes(d, st);
  }
  std::copy_n(name.begin(), std::min<std::size_t>(name.size(), win::MAX_PATH - 1), d.cFileName);
  std::copy_n(shortName.begin(), std::min<std::size_t>(shortName.size(), 13), d.cAlternateFileName);
  return d;
}

bool HasWildcard(std::wstring_view s) { return s.find_first_of(L"*?") != std::wstring_view::npos; }

bool SharingAllows(const FileObject& open, bool wantRead, bool wantWrite, win::DWORD wantShare) {
  if (wantRead && !(open.share & win::FILE_SHARE_READ)) return false;
  if (wantWrite && !(open.share & win::FILE_SHARE_WRITE)) return false;
  if (open.canRead && !(wantShare & win::FILE_SHARE_READ)) return false;
  if (open.canWrite && !(wantShare & win::FILE_SHARE_WRITE)) return false;
  return true;
}

// Resolves the directory that holds the last component of `path` (the component itself need not
// exist). On failure returns the error Windows gives: a path that is no usable name, the drive's
// root, a missing directory on the way.
win::DWORD ResolveParent(Machine& machine, win::LPCWSTR path, win::DWORD rootError, WinPath& wp,
                         std::filesystem::path& dir) {
  if (MakeFullPath(machine, path, false, wp) != PathStatus::Ok) return win::ERROR_INVALID_NAME;
  if (wp.parts.empty()) return rootError;
  auto resolved = ResolveDirectory(machine, wp, wp.parts.size() - 1);
  if (!resolved) return win::ERROR_PATH_NOT_FOUND;
  dir = *resolved;
  return win::ERROR_SUCCESS;
}

}  // namespace

}  // namespace sim

namespace win {

HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data) {
  if (!pattern || !data) return sim::Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  sim::Machine& machine = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(machine.Lock());
  const std::wstring_view text(pattern);
  if (text.empty()) return sim::Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
  sim::WinPath wp;
  if (sim::MakeFullPath(machine, text, true, wp) != sim::PathStatus::Ok) {
    return sim::Fail(ERROR_INVALID_NAME, INVALID_HANDLE_VALUE);
  }
  if (wp.trailingSeparator || wp.parts.empty()) return sim::Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  auto dir = sim::ResolveDirectory(machine, wp, wp.parts.size() - 1);
  if (!dir) return sim::Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);

  const std::wstring& last = wp.parts.back();
  auto search = std::make_shared<sim::SearchObject>();
  if (!sim::HasWildcard(last)) {
    auto entry = sim::FindEntry(*dir, last);
    if (!entry) return sim::Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    search->matches.push_back(sim::MakeFindData(sim::WindowsName(*entry), L"", *entry));
  } else {
    struct Item {
      std::wstring name;
      fs::path host;
    };
    std::vector<Item> items;
    std::error_code ec;
    for (fs::directory_iterator it(*dir, ec), end; !ec && it != end; it.increment(ec)) {
      items.push_back({sim::WindowsName(it->path()), it->path()});
    }
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return sim::Upcase(a.name) < sim::Upcase(b.name); });
    std::vector<std::wstring> names;
    for (const auto& i : items) names.push_back(i.name);
    if (wp.parts.size() > 1) {
      // Directories other than the root list themselves and their parent first.
      for (const wchar_t* dot : {L".", L".."}) {
        if (sim::WildcardMatch(last, dot)) search->matches.push_back(sim::MakeFindData(dot, L"", *dir));
      }
    }
    for (const auto& i : items) {
      const std::wstring shortName = sim::ShortName(i.name, names);
      if (sim::WildcardMatch(last, i.name) || (!shortName.empty() && sim::WildcardMatch(last, shortName))) {
        search->matches.push_back(sim::MakeFindData(i.name, shortName, i.host));
      }
    }
    if (search->matches.empty()) return sim::Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  }
  *data = search->matches[0];
  search->next = 1;
  SetLastError(ERROR_SUCCESS);
  return sim::Handles().Add(search);
}

BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW* data) {
  auto s = sim::Handles().Get<sim::SearchObject>(search);
  if (!s) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  if (s->next >= s->matches.size()) return sim::Fail(ERROR_NO_MORE_FILES, FALSE);
  *data = s->matches[s->next++];
  return TRUE;
}

BOOL FindClose(HANDLE search) {
  if (!sim::Handles().Holds<sim::SearchObject>(search)) return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  sim::Handles().Close(search);
  return TRUE;
}

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD shareMode, void* securityAttributes, DWORD creation,
                   DWORD flagsAndAttributes, HANDLE templateFile) {
  (void)flagsAndAttributes;
  if (!path || securityAttributes || templateFile || creation < CREATE_NEW || creation > TRUNCATE_EXISTING) {
    return sim::Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  }
  const std::wstring text(path);
  if (text.size() > 4 && (text.compare(0, 4, L"\\\\?\\") == 0 || text.compare(0, 4, L"\\\\.\\") == 0)) {
    return sim::OpenDevicePath(text);
  }
  sim::Machine& machine = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(machine.Lock());
  sim::WinPath wp;
  if (sim::MakeFullPath(machine, path, false, wp) != sim::PathStatus::Ok) return sim::Fail(ERROR_INVALID_NAME, INVALID_HANDLE_VALUE);
  if (wp.parts.empty()) return sim::Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  auto dir = sim::ResolveDirectory(machine, wp, wp.parts.size() - 1);
  if (!dir) return sim::Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
  if (wp.trailingSeparator) return sim::Fail(ERROR_INVALID_NAME, INVALID_HANDLE_VALUE);

  const bool wantRead = (access & GENERIC_READ) != 0;
  const bool wantWrite = (access & GENERIC_WRITE) != 0;
  auto entry = sim::FindEntry(*dir, wp.parts.back());
  const bool exists = entry.has_value();
  const fs::path host = exists ? *entry : *dir / sim::ToUtf8(wp.parts.back());

  struct stat st{};
  if (exists) {
    if (::stat(host.c_str(), &st) != 0) return sim::Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    if (S_ISDIR(st.st_mode)) return sim::Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    if (creation == CREATE_NEW) return sim::Fail(ERROR_FILE_EXISTS, INVALID_HANDLE_VALUE);
    const bool truncates = creation == CREATE_ALWAYS || creation == TRUNCATE_EXISTING;
    if (sim::IsReadOnly(st) && (wantWrite || truncates)) return sim::Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  } else if (creation == OPEN_EXISTING || creation == TRUNCATE_EXISTING) {
    return sim::Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  }

  const std::string key = fs::weakly_canonical(host).string();
  std::lock_guard<std::mutex> openGuard(sim::g_openLock);
  for (auto it = sim::g_openFiles.begin(); it != sim::g_openFiles.end();) {
    auto f = it->lock();
    if (!f) {
      it = sim::g_openFiles.erase(it);
      continue;
    }
    if (f->key == key && !sim::SharingAllows(*f, wantRead, wantWrite, shareMode)) {
      return sim::Fail(ERROR_SHARING_VIOLATION, INVALID_HANDLE_VALUE);
    }
    ++it;
  }

  int flags = wantRead && wantWrite ? O_RDWR : (wantWrite ? O_WRONLY : O_RDONLY);
  if (!exists) flags |= O_CREAT;
  if (exists && (creation == CREATE_ALWAYS || creation == TRUNCATE_EXISTING)) flags |= O_TRUNC;
  // The host descriptor is always opened for reading so a write-only handle can still be created
  // on a file the host lets us read; the handle itself refuses what its access lacks.
  if (flags & O_WRONLY) flags = (flags & ~O_WRONLY) | O_RDWR;
  const int fd = ::open(host.c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) return sim::Fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  auto file = std::make_shared<sim::FileObject>();
  file->fd = fd;
  file->canRead = wantRead;
  file->canWrite = wantWrite;
  file->share = shareMode;
  file->key = key;
  sim::g_openFiles.push_back(file);
  SetLastError(exists && (creation == CREATE_ALWAYS || creation == OPEN_ALWAYS) ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return sim::Handles().Add(file);
}

BOOL WriteFile(HANDLE file, LPCVOID data, DWORD size, DWORD* written, void* overlapped) {
  if (written) *written = 0;
  if (overlapped) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  int fd = -1;
  if (auto f = sim::Handles().Get<sim::FileObject>(file)) {
    if (!f->canWrite) return sim::Fail(ERROR_ACCESS_DENIED, FALSE);
    fd = f->fd;
  } else if (auto c = sim::Handles().Get<sim::ConsoleObject>(file)) {
    fd = c->fd;
  } else {
    return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  }
  const char* p = static_cast<const char*>(data);
  DWORD done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, p + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (written) *written = done;
      return sim::Fail(ERROR_WRITE_FAULT, FALSE);
    }
    done += static_cast<DWORD>(n);
  }
  if (written) *written = done;
  return TRUE;
}

BOOL ReadFile(HANDLE file, LPVOID data, DWORD size, DWORD* read, void* overlapped) {
  if (read) *read = 0;
  if (overlapped) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  int fd = -1;
  if (auto f = sim::Handles().Get<sim::FileObject>(file)) {
    if (!f->canRead) return sim::Fail(ERROR_ACCESS_DENIED, FALSE);
    fd = f->fd;
  } else if (auto c = sim::Handles().Get<sim::ConsoleObject>(file)) {
    fd = c->fd;
  } else {
    return sim::Fail(ERROR_INVALID_HANDLE, FALSE);
  }
  ssize_t n;
  do {
    n = ::read(fd, data, size);
  } while (n < 0 && errno == EINTR);
  if (n < 0) return sim::Fail(ERROR_READ_FAULT, FALSE);
  if (read) *read = static_cast<DWORD>(n);
  return TRUE;
}

HANDLE GetStdHandle(DWORD kind) {
  static const HANDLE handles[3] = {
      sim::Handles().Add(std::make_shared<sim::ConsoleObject>(0)),
      sim::Handles().Add(std::make_shared<sim::ConsoleObject>(1)),
      sim::Handles().Add(std::make_shared<sim::ConsoleObject>(2)),
  };
  if (kind == STD_INPUT_HANDLE) return handles[0];
  if (kind == STD_OUTPUT_HANDLE) return handles[1];
  if (kind == STD_ERROR_HANDLE) return handles[2];
  return sim::Fail(ERROR_INVALID_HANDLE, INVALID_HANDLE_VALUE);
}

UINT GetConsoleOutputCP() { return CP_UTF8; }

}  // namespace win

namespace win {

BOOL CreateDirectoryW(LPCWSTR path, void* securityAttributes) {
  if (!path || securityAttributes) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  sim::Machine& machine = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(machine.Lock());
  sim::WinPath wp;
  fs::path dir;
  if (const DWORD e = sim::ResolveParent(machine, path, ERROR_ALREADY_EXISTS, wp, dir)) return sim::Fail(e, FALSE);
  if (sim::FindEntry(dir, wp.parts.back())) return sim::Fail(ERROR_ALREADY_EXISTS, FALSE);
  std::error_code ec;
  if (!fs::create_directory(dir / sim::ToUtf8(wp.parts.back()), ec)) return sim::Fail(ERROR_ACCESS_DENIED, FALSE);
  return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR path) {
  if (!path) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  sim::Machine& machine = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(machine.Lock());
  sim::WinPath wp;
  fs::path dir;
  if (const DWORD e = sim::ResolveParent(machine, path, ERROR_ACCESS_DENIED, wp, dir)) return sim::Fail(e, FALSE);
  auto entry = sim::FindEntry(dir, wp.parts.back());
  if (!entry) return sim::Fail(ERROR_FILE_NOT_FOUND, FALSE);
  std::error_code ec;
  if (!fs::is_directory(*entry, ec)) return sim::Fail(ERROR_DIRECTORY, FALSE);
  if (!fs::is_empty(*entry, ec)) return sim::Fail(ERROR_DIR_NOT_EMPTY, FALSE);
  if (!fs::remove(*entry, ec)) return sim::Fail(ERROR_ACCESS_DENIED, FALSE);
  return TRUE;
}

BOOL DeleteFileW(LPCWSTR path) {
  if (!path) return sim::Fail(ERROR_INVALID_PARAMETER, FALSE);
  sim::Machine& machine = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(machine.Lock());
  sim::WinPath wp;
  fs::path dir;
  if (const DWORD e = sim::ResolveParent(machine, path, ERROR_ACCESS_DENIED, wp, dir)) return sim::Fail(e, FALSE);
  if (wp.trailingSeparator) return sim::Fail(ERROR_INVALID_NAME, FALSE);
  auto entry = sim::FindEntry(dir, wp.parts.back());
  if (!entry) return sim::Fail(ERROR_FILE_NOT_FOUND, FALSE);
  struct stat st{};
  if (::stat(entry->c_str(), &st) != 0 || S_ISDIR(st.st_mode) || sim::IsReadOnly(st)) {
    return sim::Fail(ERROR_ACCESS_DENIED, FALSE);
  }
  const std::string key = fs::weakly_canonical(*entry).string();
  {
    std::lock_guard<std::mutex> openGuard(sim::g_openLock);
    for (const auto& w : sim::g_openFiles) {
      auto f = w.lock();
      if (f && f->key == key && !(f->share & FILE_SHARE_DELETE)) return sim::Fail(ERROR_SHARING_VIOLATION, FALSE);
    }
  }
  std::error_code ec;
  if (!fs::remove(*entry, ec)) return sim::Fail(ERROR_ACCESS_DENIED, FALSE);
  return TRUE;
}

}  // namespace win

namespace sim {

win::HANDLE OpenDevicePath(const std::wstring& path) {
  Machine& m = Current();
  std::lock_guard<std::recursive_mutex> guard(m.Lock());
  m.UpdateCards();
  const auto& devices = m.Desc().devices;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    if (!devices[i].present) continue;
    for (const auto& itf : devices[i].interfaces) {
      if (!EqualNoCase(itf.symbolicLink, path)) continue;
      if (devices[i].openDenied) return Fail(win::ERROR_ACCESS_DENIED, win::INVALID_HANDLE_VALUE);
      auto object = std::make_shared<DeviceFileObject>();
      object->path = itf.symbolicLink;
      object->device = i;
      win::SetLastError(win::ERROR_SUCCESS);
      return Handles().Add(object);
    }
  }
  return Fail(win::ERROR_FILE_NOT_FOUND, win::INVALID_HANDLE_VALUE);
}

}  // namespace sim

namespace win {

DWORD GetFullPathNameW(LPCWSTR path, DWORD size, LPWSTR buffer, LPWSTR* filePart) {
  if (!path || !*path) return sim::Fail(ERROR_INVALID_NAME, DWORD{0});
  sim::Machine& machine = sim::Current();
  std::lock_guard<std::recursive_mutex> guard(machine.Lock());
  sim::WinPath wp;
  if (sim::MakeFullPath(machine, path, true, wp) != sim::PathStatus::Ok) return sim::Fail(ERROR_INVALID_NAME, DWORD{0});
  std::wstring full = sim::ToString(wp);
  if (wp.trailingSeparator && full.back() != L'\\') full += L'\\';
  if (!buffer || size < full.size() + 1) return static_cast<DWORD>(full.size() + 1);
  std::copy(full.begin(), full.end(), buffer);
  buffer[full.size()] = L'\0';
  if (filePart) {
    const auto sep = full.rfind(L'\\');
    *filePart = (full.back() == L'\\' || sep == std::wstring::npos) ? nullptr : buffer + sep + 1;
  }
  return static_cast<DWORD>(full.size());
}

UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size) {
  const std::wstring dir = sim::WindowsDirectory();
  if (!buffer || size < dir.size() + 1) return static_cast<UINT>(dir.size() + 1);
  std::copy(dir.begin(), dir.end(), buffer);
  buffer[dir.size()] = L'\0';
  return static_cast<UINT>(dir.size());
}

}  // namespace win
