// Modules: the executable's file name, loading, export lookup and unloading.
#include <gtest/gtest.h>

#include <string>

#include "platform/error.h"
#include "platform/module.h"
#include "platform/version.h"
#include "tests/support/scratch.h"

namespace {

constexpr win::DWORD kSentinel = 0xDEADBEEF;

TEST(ModuleTest, TheExecutableFileName) {
  wchar_t buffer[1024] = {};
  const win::DWORD n = win::GetModuleFileNameW(nullptr, buffer, 1024);
  ASSERT_GT(n, 3u);
  EXPECT_EQ(std::wstring(buffer).size(), n);
  EXPECT_EQ(buffer[1], L':');
  EXPECT_EQ(buffer[2], L'\\');

  // A buffer too small gets the path cut and the result equals the size. Vista and later terminate
  // it after size - 1 characters; Windows XP (and Wine) fill all of it without a terminator.
  wchar_t small[7] = {};
  win::SetLastError(kSentinel);
  EXPECT_EQ(win::GetModuleFileNameW(nullptr, small, 6), 6u);
  EXPECT_EQ(win::GetLastError(), win::ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::wstring(small, 5), std::wstring(buffer, 5));
  EXPECT_EQ(win::GetModuleHandleW(nullptr), win::GetModuleHandleW(nullptr));
  EXPECT_NE(win::GetModuleHandleW(nullptr), nullptr);
}

TEST(ModuleTest, LoadLookUpAndFree) {
  const win::HMODULE kernel = win::LoadLibraryW(L"Kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  EXPECT_NE(win::GetProcAddress(kernel, "GetNativeSystemInfo"), nullptr);
  win::SetLastError(kSentinel);
  EXPECT_EQ(win::GetProcAddress(kernel, "NoSuchExportAnywhere"), nullptr);
  EXPECT_EQ(win::GetLastError(), win::ERROR_PROC_NOT_FOUND);
  const auto info = reinterpret_cast<win::PFN_GetNativeSystemInfo>(win::GetProcAddress(kernel, "GetNativeSystemInfo"));
  win::SYSTEM_INFO si{};
  info(&si);
  EXPECT_GT(si.dwPageSize, 0u);
  EXPECT_TRUE(win::FreeLibrary(kernel));

  win::SetLastError(kSentinel);
  EXPECT_EQ(win::LoadLibraryW(L"C:\\no\\such\\Library.dll"), nullptr);
  EXPECT_EQ(win::GetLastError(), win::ERROR_MOD_NOT_FOUND);
  win::SetLastError(kSentinel);
  EXPECT_EQ(win::LoadLibraryW(L"NoSuchLibraryAnywhere.dll"), nullptr);
  EXPECT_EQ(win::GetLastError(), win::ERROR_MOD_NOT_FOUND);
}

TEST(VersionTest, TheSizeFieldMustBeThatOfTheStructure) {
  win::OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(win::GetVersionExW(&info));
  EXPECT_GE(info.dwMajorVersion, 4u);
  const bool underWine = testsupport::UnderWine();
  win::OSVERSIONINFOW wrong{};
  wrong.dwOSVersionInfoSize = 12;
  win::SetLastError(kSentinel);
  EXPECT_FALSE(win::GetVersionExW(&wrong));
  // Windows sets ERROR_INSUFFICIENT_BUFFER; Wine 8 leaves the last error as it was.
  if (!underWine) {
    EXPECT_EQ(win::GetLastError(), win::ERROR_INSUFFICIENT_BUFFER);
  }
  EXPECT_EQ(wrong.dwMajorVersion, 0u);
}

}  // namespace
