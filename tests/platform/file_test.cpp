// File search and files as Windows does them: the same cases on the simulated machine and under Wine.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/console.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/handle.h"
#include "platform/scoped.h"
#include "tests/support/scratch.h"

using testsupport::Narrow;

namespace {

constexpr win::DWORD kSentinel = 0xDEADBEEF;

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = testsupport::ScratchDirectory(L"files");
    for (const wchar_t* name : {L"log.txt", L"log2.txt", L"log5.txtx", L"EnableLog.txt", L"notes.ini", L"A Long Name.text"}) {
      ASSERT_TRUE(testsupport::WriteFileBytes(m_dir + name, "data")) << Narrow(name);
    }
    ASSERT_TRUE(win::CreateDirectoryW((m_dir + L"logs").c_str(), nullptr));
  }

  std::set<std::wstring> Search(const std::wstring& pattern, win::DWORD* error = nullptr) {
    std::set<std::wstring> names;
    win::WIN32_FIND_DATAW data;
    win::SetLastError(kSentinel);
    win::ScopedGeneric<win::FindTraits> search(win::FindFirstFileW(pattern.c_str(), &data));
    if (error) *error = search ? 0 : win::GetLastError();
    if (!search) return names;
    do {
      names.insert(data.cFileName);
    } while (win::FindNextFileW(search.get(), &data));
    EXPECT_EQ(win::GetLastError(), win::ERROR_NO_MORE_FILES);
    return names;
  }

  std::wstring m_dir;
};

TEST_F(FileTest, WildcardsMatchLongAndShortNamesWithoutRegardToCase) {
  using Names = std::set<std::wstring>;
  struct Case {
    const wchar_t* pattern;
    Names expected;
  } const cases[] = {
      // log5.txtx matches through its short name LOG5~1.TXT, as on Windows.
      {L"log*.txt", Names{L"log.txt", L"log2.txt", L"log5.txtx"}},
      {L"LOG?.TXT", Names{L"log2.txt"}},
      {L"*.ini", Names{L"notes.ini"}},
      {L"enablelog.txt", Names{L"EnableLog.txt"}},
      {L"a long*", Names{L"A Long Name.text"}},
      {L"*.*", Names{L".", L"..", L"log.txt", L"log2.txt", L"log5.txtx", L"EnableLog.txt", L"notes.ini",
                     L"A Long Name.text", L"logs"}},
      {L"logs", Names{L"logs"}},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(Search(m_dir + cases[i].pattern), cases[i].expected) << "row " << i << ": " << Narrow(cases[i].pattern);
  }
}

TEST_F(FileTest, SearchFailuresCarryTheirErrorCodes) {
  struct Case {
    std::wstring pattern;
    win::DWORD error;
  } const cases[] = {
      {m_dir + L"nothing*.bin", win::ERROR_FILE_NOT_FOUND},
      {m_dir + L"missing.txt", win::ERROR_FILE_NOT_FOUND},
      {m_dir + L"missing\\*.txt", win::ERROR_PATH_NOT_FOUND},
      {m_dir + L"missing\\deeper\\x", win::ERROR_PATH_NOT_FOUND},
      {m_dir + L"logs\\", win::ERROR_FILE_NOT_FOUND},  // a trailing backslash
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    win::DWORD error = 0;
    EXPECT_TRUE(Search(cases[i].pattern, &error).empty()) << "row " << i;
    EXPECT_EQ(error, cases[i].error) << "row " << i << ": " << Narrow(cases[i].pattern);
  }
}

TEST_F(FileTest, FindDataTellsDirectoriesAndSizes) {
  win::WIN32_FIND_DATAW data;
  win::ScopedGeneric<win::FindTraits> dir(win::FindFirstFileW((m_dir + L"logs").c_str(), &data));
  ASSERT_TRUE(dir);
  EXPECT_NE(data.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY, 0u);
  win::ScopedGeneric<win::FindTraits> file(win::FindFirstFileW((m_dir + L"notes.ini").c_str(), &data));
  ASSERT_TRUE(file);
  EXPECT_EQ(data.dwFileAttributes & win::FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(data.nFileSizeLow, 4u);
  EXPECT_EQ(std::wstring(data.cFileName), L"notes.ini");
}

TEST_F(FileTest, BadSearchHandlesAreRefused) {
  win::WIN32_FIND_DATAW data;
  win::SetLastError(kSentinel);
  EXPECT_FALSE(win::FindClose(reinterpret_cast<win::HANDLE>(static_cast<std::uintptr_t>(0x12345670))));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
  const win::HANDLE search = win::FindFirstFileW((m_dir + L"notes.ini").c_str(), &data);
  ASSERT_NE(search, win::INVALID_HANDLE_VALUE);
  EXPECT_TRUE(win::FindClose(search));
  win::SetLastError(kSentinel);
  EXPECT_FALSE(win::FindNextFileW(search, &data));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_HANDLE);
}

TEST_F(FileTest, CreateFileDispositionsAndSharing) {
  const std::wstring path = m_dir + L"new.log";
  win::SetLastError(kSentinel);
  win::ScopedGeneric<win::FileHandleTraits> first(win::CreateFileW(
      path.c_str(), win::GENERIC_WRITE, win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, nullptr, win::CREATE_ALWAYS,
      win::FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(first);
  EXPECT_EQ(win::GetLastError(), 0u);

  // A reader that shares read and write may open it meanwhile; one that denies writing may not.
  win::ScopedGeneric<win::FileHandleTraits> reader(win::CreateFileW(
      path.c_str(), win::GENERIC_READ, win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, nullptr, win::OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(reader);
  win::SetLastError(kSentinel);
  win::ScopedGeneric<win::FileHandleTraits> denier(win::CreateFileW(
      path.c_str(), win::GENERIC_READ, win::FILE_SHARE_READ, nullptr, win::OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(denier);
  EXPECT_EQ(win::GetLastError(), win::ERROR_SHARING_VIOLATION);

  win::DWORD done = 0;
  EXPECT_TRUE(win::WriteFile(first.get(), "abc", 3, &done, nullptr));
  EXPECT_EQ(done, 3u);
  char buf[8] = {};
  EXPECT_TRUE(win::ReadFile(reader.get(), buf, sizeof buf, &done, nullptr));
  EXPECT_EQ(std::string(buf, done), "abc");
  win::SetLastError(kSentinel);
  EXPECT_FALSE(win::ReadFile(first.get(), buf, sizeof buf, &done, nullptr));  // opened for writing only
  EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
  first.reset();
  reader.reset();

  win::SetLastError(kSentinel);
  win::ScopedGeneric<win::FileHandleTraits> again(win::CreateFileW(
      path.c_str(), win::GENERIC_WRITE, 0, nullptr, win::CREATE_ALWAYS, win::FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(again);
  EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
  again.reset();
  EXPECT_EQ(testsupport::ReadFileBytes(path), "");  // CREATE_ALWAYS empties it

  struct Case {
    std::wstring path;
    win::DWORD creation;
    win::DWORD error;
  } const failures[] = {
      {m_dir + L"absent.txt", win::OPEN_EXISTING, win::ERROR_FILE_NOT_FOUND},
      {m_dir + L"missing\\x.txt", win::CREATE_ALWAYS, win::ERROR_PATH_NOT_FOUND},
      {path, win::CREATE_NEW, win::ERROR_FILE_EXISTS},
      {m_dir + L"logs", win::CREATE_ALWAYS, win::ERROR_ACCESS_DENIED},  // a directory
  };
  for (std::size_t i = 0; i < std::size(failures); ++i) {
    win::SetLastError(kSentinel);
    win::ScopedGeneric<win::FileHandleTraits> h(win::CreateFileW(failures[i].path.c_str(), win::GENERIC_WRITE, 0, nullptr,
                                                                 failures[i].creation, 0, nullptr));
    EXPECT_FALSE(h) << "row " << i;
    EXPECT_EQ(win::GetLastError(), failures[i].error) << "row " << i;
  }
}

TEST_F(FileTest, DirectoriesAndDeletion) {
  const std::wstring sub = m_dir + L"made";
  EXPECT_TRUE(win::CreateDirectoryW(sub.c_str(), nullptr));
  win::SetLastError(kSentinel);
  EXPECT_FALSE(win::CreateDirectoryW(sub.c_str(), nullptr));
  EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
  win::SetLastError(kSentinel);
  EXPECT_FALSE(win::CreateDirectoryW((m_dir + L"no\\such").c_str(), nullptr));
  EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);

  EXPECT_TRUE(win::DeleteFileW((m_dir + L"LOG2.TXT").c_str()));
  win::SetLastError(kSentinel);
  EXPECT_FALSE(win::DeleteFileW((m_dir + L"log2.txt").c_str()));
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
  win::SetLastError(kSentinel);
  EXPECT_FALSE(win::DeleteFileW(sub.c_str()));
  EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
  // The ".." is resolved by the file system.
  EXPECT_TRUE(win::DeleteFileW((sub + L"\\..\\notes.ini").c_str()));
  EXPECT_TRUE(win::RemoveDirectoryW(sub.c_str()));
}

TEST(StdHandleTest, StandardOutputTakesBytes) {
  const win::HANDLE out = win::GetStdHandle(win::STD_OUTPUT_HANDLE);
  ASSERT_NE(out, win::INVALID_HANDLE_VALUE);
  win::DWORD written = 0;
  EXPECT_TRUE(win::WriteFile(out, "stdout ok\r\n", 11, &written, nullptr));
  EXPECT_EQ(written, 11u);
}

}  // namespace
