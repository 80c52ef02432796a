// Path helpers: the worked examples, wildcards and directories, the executable's directory.
#include <gtest/gtest.h>

#include "env/paths.h"
#include "platform/file.h"
#include "tests/support/scratch.h"

using testsupport::Narrow;

namespace {

struct PathCase {
  const wchar_t* input;
  const wchar_t* expected;
};

TEST(PathsTest, GetPathDirectoryCutsAtTheLastInnerBackslash) {
  const PathCase cases[] = {
      {L"C:\\dir\\prog.exe", L"C:\\dir\\"},
      {L"prog.exe", L"prog.exe"},
      {L"C:\\dir\\", L"C:\\"},
      {L"C:\\", L"C:\\"},
      {L"\\x", L"\\x"},         // index 0 is never taken
      {L"ab", L"ab"},           // shorter than three characters: whole
      {L"", L""},
      {L"\\\\", L"\\\\"},
      {L"a\\b\\c\\", L"a\\b\\"},
      {L"C:\\a b\\c.d\\e", L"C:\\a b\\c.d\\"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(GetPathDirectory(cases[i].input), cases[i].expected) << "row " << i << ": " << Narrow(cases[i].input);
  }
}

TEST(PathsTest, CollapseParentDirsRemovesEachParentReferenceWithItsComponent) {
  const PathCase cases[] = {
      {L"C:\\App\\Bin\\..\\Driver\\", L"C:\\App\\Driver\\"},
      {L"C:\\a\\b\\..\\..\\x", L"C:\\x"},
      {L"C:\\..\\x", L"C:\\x"},
      {L"..\\Driver\\", L"..\\Driver\\"},
      {L"C:\\App\\Bin\\", L"C:\\App\\Bin\\"},
      {L"C:\\a\\.\\b", L"C:\\a\\.\\b"},       // a single dot is not touched
      {L"C:\\a\\..b\\c", L"C:b\\c"},          // textual: "\\.." goes even when a name follows it
      {L"\\..\\x", L"\\x"},                   // at position 0 only the three characters go
      {L"C:\\App\\Bin\\..\\Localize\\", L"C:\\App\\Localize\\"},
      {L"", L""},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(CollapseParentDirs(cases[i].input), cases[i].expected) << "row " << i << ": " << Narrow(cases[i].input);
  }
}

TEST(PathsTest, FileExistsMatchesFilesDirectoriesAndWildcards) {
  const std::wstring dir = testsupport::ScratchDirectory(L"exists");
  ASSERT_TRUE(testsupport::WriteFileBytes(dir + L"log2.txt", "x"));
  ASSERT_TRUE(testsupport::WriteFileBytes(dir + L"Readme.TXT", ""));
  ASSERT_TRUE(testsupport::WriteFileBytes(dir + L"EnableLog.txt", ""));
  ASSERT_TRUE(win::CreateDirectoryW((dir + L"sub").c_str(), nullptr));

  struct Case {
    std::wstring path;
    bool expected;
  } const cases[] = {
      {dir + L"log2.txt", true},
      {dir + L"LOG2.TXT", true},  // names match without regard to case
      {dir + L"log*.txt", true},
      {dir + L"log?.txt", true},
      {dir + L"log??.txt", false},
      {dir + L"*.txt", true},
      {dir + L"readme.txt", true},
      {dir + L"sub", true},       // a directory counts
      {dir + L"su*", true},
      {dir + L"missing.txt", false},
      {dir + L"missing\\*.txt", false},  // the directory itself is missing
      {dir + L"missing\\log2.txt", false},
      {dir + L"sub\\*", true},    // "." and ".." match inside a directory
      {dir + L"", false},         // a trailing backslash names nothing
      {L"", false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(FileExists(cases[i].path), cases[i].expected) << "row " << i << ": " << Narrow(cases[i].path);
  }
}

TEST(PathsTest, GetModuleDirectoryIsStableAndEndsWithABackslash) {
  const std::wstring first = GetModuleDirectory();
  const std::wstring second = GetModuleDirectory();
  EXPECT_EQ(first, second);
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first.back(), L'\\');
  EXPECT_EQ(first.find(L':'), 1u) << Narrow(first);
  EXPECT_TRUE(FileExists(first.substr(0, first.size() - 1)));
}

}  // namespace
