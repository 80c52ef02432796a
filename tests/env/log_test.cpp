// The diagnostic log: the marker decides at the first call; lines, formatting and cutting.
#include <gtest/gtest.h>

#include <string>

#include "env/log.h"
#include "env/paths.h"
#include "platform/file.h"
#include "tests/support/scratch.h"

namespace {

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_marker = GetModuleDirectory() + L"EnableLog.txt";
    Remove();
    env_testing::ResetLog();
  }
  void TearDown() override {
    env_testing::ResetLog();
    Remove();
  }
  void Remove() {
    win::DeleteFileW(m_marker.c_str());
    win::RemoveDirectoryW(m_marker.c_str());
  }
  std::string Log() { return testsupport::ReadFileBytes(m_marker); }

  std::wstring m_marker;
};

TEST_F(LogTest, WithoutTheMarkerNothingIsWrittenEvenIfItAppearsLater) {
  WriteLog(L"first %d", 1);
  ASSERT_TRUE(testsupport::WriteFileBytes(m_marker, ""));
  WriteLog(L"second %d", 2);
  bool ok = false;
  EXPECT_EQ(testsupport::ReadFileBytes(m_marker, &ok), "");
  EXPECT_TRUE(ok);
}

TEST_F(LogTest, WithTheMarkerEachCallWritesOneLineEndingInCrLf) {
  ASSERT_TRUE(testsupport::WriteFileBytes(m_marker, "old content of an earlier run\r\n"));
  WriteLog(L"IsSupportedID Found OK :%s  %s", L"USB\\VID_3F7D&PID_FFF1", L"VID_3F7D&PID_FFF1");
  WriteLog(L"vecInstanceID.size()  =  %d", 2);
  WriteLog(L"CreateFile: %s\n", L"\\\\?\\usbstor#cdrom");
  WriteLog(L"%d.1 SymblicName:\t %s \r\n", 1, L"x");
  WriteLog(L"Service Command Line:%s", L"\"C:\\P\\CardWatcher.exe\" -u");
  EXPECT_EQ(Log(),
            "IsSupportedID Found OK :USB\\VID_3F7D&PID_FFF1  VID_3F7D&PID_FFF1\r\n"
            "vecInstanceID.size()  =  2\r\n"
            "CreateFile: \\\\?\\usbstor#cdrom\r\n\r\n"
            "1.1 SymblicName:\t x \r\r\n\r\n"
            "Service Command Line:\"C:\\P\\CardWatcher.exe\" -u\r\n");
}

TEST_F(LogTest, ALineHoldsAtMost255Characters) {
  ASSERT_TRUE(testsupport::WriteFileBytes(m_marker, ""));
  const std::wstring exact(255, L'a');
  const std::wstring longer(300, L'b');
  WriteLog(L"%s", exact.c_str());
  WriteLog(L"%s", longer.c_str());
  WriteLog(L"%s%d", std::wstring(254, L'c').c_str(), 12345);
  EXPECT_EQ(Log(), std::string(255, 'a') + "\r\n" + std::string(255, 'b') + "\r\n" + std::string(254, 'c') + "1\r\n");
}

TEST_F(LogTest, AMarkerThatCannotBeOpenedIsSilent) {
  ASSERT_TRUE(win::CreateDirectoryW(m_marker.c_str(), nullptr));
  WriteLog(L"line %d", 1);
  WriteLog(L"line %d", 2);
  EXPECT_TRUE(FileExists(m_marker));
}

TEST_F(LogTest, TheDecisionIsTakenOnceAndTheFileIsNotReopened) {
  ASSERT_TRUE(testsupport::WriteFileBytes(m_marker, ""));
  WriteLog(L"one");
  // Another program may read the log while it is written.
  bool ok = false;
  EXPECT_EQ(testsupport::ReadFileBytes(m_marker, &ok), "one\r\n");
  EXPECT_TRUE(ok);
  WriteLog(L"two");
  EXPECT_EQ(Log(), "one\r\ntwo\r\n");
}

}  // namespace
