// The program as a user starts it: arguments, exit codes, which sequence ran (from the transcript).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <functional>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "tests/support/sim_machine.h"

namespace fs = std::filesystem;

namespace {

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct ProgramRun {
  int exitCode = -1;
  std::string output;
  std::string transcript;
};

// Runs the program on a fresh machine made from `tmpl` with the product installed.
ProgramRun RunDrvsetup(const std::vector<std::string>& args, const std::function<void(sim::Description&)>& adjust = {}) {
  const fs::path root = testsupport::NewHostFolder("drvsetup-run");
  sim::Template t = *sim::FindTemplate("win7-x64");
  if (adjust) adjust(t.description);
  sim::CreateFromTemplate(root / "machine", t, true);
  std::string cmd = "DRVSETUP_MACHINE=" + Quote((root / "machine").string()) +
                    " DRVSETUP_TRANSCRIPT=" + Quote((root / "transcript.txt").string()) + " " + Quote(DRV_DRVSETUP);
  for (const auto& a : args) cmd += " " + Quote(a);
  cmd += " < /dev/null > " + Quote((root / "out.txt").string()) + " 2>&1";
  const int status = std::system(cmd.c_str());
  ProgramRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.output = Read(root / "out.txt");
  run.transcript = Read(root / "transcript.txt");
  fs::remove_all(root);
  return run;
}

TEST(CommandLineTest, ArgumentsChooseTheSequence) {
  const struct {
    std::vector<std::string> args;
    int exitCode;
    const char* ran;  // the work's result in the transcript: 1 install, 2 uninstall; empty: no window
  } cases[] = {
      {{}, 2, ""},
      {{"/i"}, 0, "1"},
      {{"/u"}, 0, "2"},
      {{"/I"}, 0, "2"},
      {{"/i x"}, 0, "2"},
      {{"/ix"}, 0, "2"},
      {{"i"}, 0, "2"},
      {{""}, 0, "2"},
      {{"/i", "/u"}, 0, "1"},
      {{"/u", "/i"}, 0, "2"},
  };
  for (const auto& c : cases) {
    std::string what;
    for (const auto& a : c.args) what += "[" + a + "]";
    const ProgramRun run = RunDrvsetup(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << what << "\n" << run.output;
    if (*c.ran) {
      EXPECT_NE(run.transcript.find(std::string("Excute\t1\tend\t") + c.ran + "\n"), std::string::npos)
          << what << "\n" << run.transcript;
      EXPECT_NE(run.transcript.find("Destroy\t1\n"), std::string::npos) << what;
    } else {
      EXPECT_EQ(run.transcript, "") << what;
    }
  }
}

TEST(CommandLineTest, NoArgumentPrintsTheUsage) {
  const ProgramRun run = RunDrvsetup({});
  EXPECT_EQ(run.output,
            "Usage:\r\nDrvsetup.exe /i ------- for install\r\nDrvsetup.exe /u ------- for uninstall\r\n");
}

TEST(CommandLineTest, AFrameworkThatCannotStartGivesExitCodeOneAndOnlyTheFatalMessage) {
  for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{"/i"}}) {
    const ProgramRun run = RunDrvsetup(args, [](sim::Description& d) { d.process.tlsSlots = 0; });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "FatalError: MFC initialize fail\r\n");
    EXPECT_EQ(run.transcript, "");
  }
}

TEST(CommandLineTest, InstallLoadsTheEnglishLanguageAndItsFont) {
  const ProgramRun run = RunDrvsetup({"/i"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.transcript, "Create\t1\nExcute\t1\tbegin\nSetFont\t1\tTahoma\t-11\nExcute\t1\tend\t1\nDestroy\t1\n");
}

TEST(CommandLineTest, AFaultyMachineStopsTheProgramBeforeItRuns) {
  const fs::path root = testsupport::NewHostFolder("drvsetup-bad");
  std::ofstream(root / sim::kDescriptionFileName) << "[machine]\nformat = 1\n[os]\nmajor = 6\n";
  const std::string cmd = "DRVSETUP_MACHINE=" + Quote(root.string()) + " " + Quote(DRV_DRVSETUP) + " /i > " +
                          Quote((root / "out.txt").string()) + " 2>&1";
  const int status = std::system(cmd.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 3);
  const std::string out = Read(root / "out.txt");
  EXPECT_NE(out.find("machine.txt, line 3: section [os] lacks the key"), std::string::npos) << out;
  fs::remove_all(root);
}

}  // namespace
