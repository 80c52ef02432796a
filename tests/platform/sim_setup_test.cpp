// The simulated machine's registry, INF files and driver binding: what later runs and SetupAPI
// callers rely on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/inf.h"
#include "platform/newdev.h"
#include "platform/registry.h"
#include "platform/scoped.h"
#include "platform/setupapi.h"
#include "platform/sim/machine.h"
#include "tests/support/scratch.h"
#include "tests/support/sim_machine.h"

namespace fs = std::filesystem;

namespace {

TEST(SimRegistryTest, KeysAndValuesBehaveAsWindowsRegistryCalls) {
  testsupport::ScopedMachine machine("winxp");
  win::HKEY key = nullptr;
  EXPECT_EQ(win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, L"SOFTWARE\\Drvsetup", 0, win::KEY_READ, &key),
            win::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  win::DWORD disposition = 0;
  ASSERT_EQ(win::RegCreateKeyExW(win::HKEY_LOCAL_MACHINE, L"SOFTWARE\\Drvsetup\\Sub", 0, nullptr, 0,
                                 win::KEY_ALL_ACCESS, nullptr, &key, &disposition),
            win::ERROR_SUCCESS);
  EXPECT_EQ(disposition, win::REG_CREATED_NEW_KEY);
  win::ScopedGeneric<win::RegKeyTraits> sub(key);
  const wchar_t text[] = L"COM7";
  ASSERT_EQ(win::RegSetValueExW(sub.get(), L"PortName", 0, win::REG_SZ, reinterpret_cast<const win::BYTE*>(text),
                                sizeof text),
            win::ERROR_SUCCESS);

  // A buffer too small: ERROR_MORE_DATA, the size needed, the buffer untouched.
  wchar_t small[2] = {L'x', L'x'};
  win::DWORD size = sizeof small;
  win::DWORD type = 0;
  EXPECT_EQ(win::RegQueryValueExW(sub.get(), L"portname", nullptr, &type, reinterpret_cast<win::BYTE*>(small), &size),
            win::ERROR_MORE_DATA);
  EXPECT_EQ(size, sizeof text);
  EXPECT_EQ(small[0], L'x');
  wchar_t big[16] = {};
  size = sizeof big;
  EXPECT_EQ(win::RegQueryValueExW(sub.get(), L"PortName", nullptr, &type, reinterpret_cast<win::BYTE*>(big), &size),
            win::ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(big), L"COM7");
  EXPECT_EQ(type, win::REG_SZ);

  // A key with subkeys cannot be deleted; enumeration ends with ERROR_NO_MORE_ITEMS.
  EXPECT_EQ(win::RegDeleteKeyW(win::HKEY_LOCAL_MACHINE, L"SOFTWARE\\Drvsetup"), win::ERROR_ACCESS_DENIED);
  win::HKEY parent = nullptr;
  ASSERT_EQ(win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, L"software\\DRVSETUP", 0, win::KEY_READ, &parent),
            win::ERROR_SUCCESS);
  win::ScopedGeneric<win::RegKeyTraits> owner(parent);
  wchar_t name[8];
  win::DWORD nameSize = 8;
  EXPECT_EQ(win::RegEnumKeyExW(parent, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr), win::ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(name), L"Sub");
  nameSize = 8;
  EXPECT_EQ(win::RegEnumKeyExW(parent, 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr), win::ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(win::RegDeleteKeyW(parent, L"Sub"), win::ERROR_SUCCESS);
  EXPECT_EQ(win::RegQueryValueExW(sub.get(), L"PortName", nullptr, nullptr, nullptr, &size), 1018);  // key deleted
  EXPECT_EQ(win::RegCloseKey(reinterpret_cast<win::HKEY>(0x4321)), win::ERROR_INVALID_HANDLE);
}

TEST(SimRegistryTest, TheRegistryAndDriverBindingsOutliveTheRun) {
  const fs::path root = testsupport::NewHostFolder("drvsetup-registry");
  std::wstring instance;
  {
    sim::Template t = *sim::FindTemplate("win7-x64");
    sim::CardDescription card;
    card.startsComposite = true;
    t.description.cards.push_back(card);
    auto m = sim::CreateFromTemplate(root / "m", t, false);
    m->Reg().SetBinary(L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter", L"ComDB", {0x0F});
    m->Reg().SetString(L"HKCU\\Software\\Quote", L"Text", L"say \"hi\" \\ bye");
    m->Reg().SetDword(L"HKCU\\Software\\Quote", L"", 42);
    m->Reg().SetString(L"HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_3F7D&PID_FFF1&MI_01\\7&QXR00001&0&0001",
                       L"Driver", L"{4D36E978-E325-11CE-BFC1-08002BE10318}\\0000");
    m->Reg().SetString(L"HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_3F7D&PID_FFF1&MI_01\\7&QXR00001&0&0001",
                       L"Class", L"Ports");
    m->Save();
  }
  auto again = sim::Machine::Open(root / "m");
  const auto* db = again->Reg().GetValue(L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter", L"comdb");
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(db->type, win::REG_BINARY);
  EXPECT_EQ(db->data, std::vector<win::BYTE>{0x0F});
  EXPECT_EQ(again->Reg().GetString(L"HKCU\\Software\\Quote", L"Text"), L"say \"hi\" \\ bye");
  ASSERT_NE(again->Reg().GetValue(L"HKCU\\Software\\Quote", L""), nullptr);
  EXPECT_EQ(again->Reg().GetValue(L"HKCU\\Software\\Quote", L"")->data, (std::vector<win::BYTE>{42, 0, 0, 0}));
  // The card's interface device, made afresh at start, has its driver again.
  bool found = false;
  for (const auto& d : again->Desc().devices) {
    if (d.instanceId == L"USB\\VID_3F7D&PID_FFF1&MI_01\\7&QXR00001&0&0001") {
      found = true;
      EXPECT_EQ(d.className, L"Ports");
      EXPECT_EQ(d.driver, L"{4D36E978-E325-11CE-BFC1-08002BE10318}\\0000");
    }
  }
  EXPECT_TRUE(found);
  fs::remove_all(root);
}

TEST(SimRegistryTest, AFaultyRegistryFileNamesItsLine) {
  const fs::path root = testsupport::NewHostFolder("drvsetup-badreg");
  sim::CreateFromTemplate(root / "m", *sim::FindTemplate("winxp"), false);
  std::ofstream(root / "m" / "registry.reg") << "Windows Registry Editor Version 5.00\r\n\r\n[HKLM\\A]\r\n\"x\"=dword:zz\r\n";
  try {
    sim::Machine::Open(root / "m");
    ADD_FAILURE() << "a faulty registry file was taken";
  } catch (const sim::MachineError& e) {
    EXPECT_EQ(e.Line(), 4);
  }
  fs::remove_all(root);
}

std::wstring Field(const win::INFCONTEXT& c, win::DWORD i) {
  wchar_t buf[128] = {};
  win::DWORD need = 0;
  if (!win::SetupGetStringFieldW(&c, i, buf, 128, &need)) return L"<none>";
  return buf;
}

TEST(SimInfTest, FieldsFollowWindowsInfRules) {
  testsupport::ScopedMachine machine("winxp");
  const std::wstring path = testsupport::ScratchDirectory(L"inf") + L"a.inf";
  ASSERT_TRUE(testsupport::WriteFileBytes(path,
      "; comment line\r\n"
      "[version]\r\nSignature=\"$Windows NT$\"\r\n"
      "[Models]\r\n"
      "  %Name% = Install , USB\\VID_1&PID_2 ; trailing comment\r\n"
      "\"a;b\" = \"x, y\",\"say \"\"hi\"\"\", 100%%\r\n"
      "Long = one,\\\r\n two\r\n"
      "NoKeyField\r\n"
      "[models]\r\nLater = merged\r\n"
      "[Strings]\r\nName = \"Card Port\"\r\n"));
  win::ScopedGeneric<win::InfTraits> inf(win::SetupOpenInfFileW(path.c_str(), nullptr, win::INF_STYLE_WIN4, nullptr));
  ASSERT_TRUE(inf) << win::GetLastError();
  win::INFCONTEXT c{};
  ASSERT_TRUE(win::SetupFindFirstLineW(inf.get(), L"MODELS", nullptr, &c));
  EXPECT_EQ(Field(c, 0), L"Card Port");
  EXPECT_EQ(Field(c, 1), L"Install");
  EXPECT_EQ(Field(c, 2), L"USB\\VID_1&PID_2");
  EXPECT_EQ(win::SetupGetFieldCount(&c), 2u);
  ASSERT_TRUE(win::SetupFindNextLine(&c, &c));
  EXPECT_EQ(Field(c, 0), L"a;b");
  EXPECT_EQ(Field(c, 1), L"x, y");
  EXPECT_EQ(Field(c, 2), L"say \"hi\"");
  EXPECT_EQ(Field(c, 3), L"100%");
  ASSERT_TRUE(win::SetupFindNextLine(&c, &c));
  EXPECT_EQ(Field(c, 2), L"two");
  ASSERT_TRUE(win::SetupFindNextLine(&c, &c));
  EXPECT_EQ(Field(c, 0), L"<none>");
  EXPECT_EQ(Field(c, 1), L"NoKeyField");
  ASSERT_TRUE(win::SetupFindNextLine(&c, &c));
  EXPECT_EQ(Field(c, 0), L"Later");  // the second [models] block goes on the first
  EXPECT_FALSE(win::SetupFindNextLine(&c, &c));
  EXPECT_EQ(win::GetLastError(), win::ERROR_LINE_NOT_FOUND);

  // A buffer too small reports the size needed.
  ASSERT_TRUE(win::SetupFindFirstLineW(inf.get(), L"Models", L"Long", &c));
  wchar_t tiny[2];
  win::DWORD need = 0;
  EXPECT_FALSE(win::SetupGetStringFieldW(&c, 1, tiny, 2, &need));
  EXPECT_EQ(win::GetLastError(), win::ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(need, 4u);
  EXPECT_FALSE(win::SetupFindFirstLineW(inf.get(), L"Absent", nullptr, &c));
  EXPECT_EQ(win::GetLastError(), win::ERROR_SECTION_NOT_FOUND);
}

TEST(SimInfTest, FilesThatAreNoInfFilesAreRefused) {
  testsupport::ScopedMachine machine("winxp");
  const std::wstring dir = testsupport::ScratchDirectory(L"badinf");
  ASSERT_TRUE(testsupport::WriteFileBytes(dir + L"nosig.inf", "[Version]\r\nClass=Ports\r\n"));
  ASSERT_TRUE(testsupport::WriteFileBytes(dir + L"early.inf", "Key=value\r\n[Version]\r\nSignature=$Chicago$\r\n"));
  const std::pair<std::wstring, win::DWORD> cases[] = {
      {dir + L"nosig.inf", win::ERROR_WRONG_INF_STYLE},
      {dir + L"early.inf", 0xE0000000},  // a line before any section
      {dir + L"missing.inf", win::ERROR_FILE_NOT_FOUND},
  };
  for (const auto& [path, error] : cases) {
    win::UINT line = 0;
    EXPECT_EQ(win::SetupOpenInfFileW(path.c_str(), nullptr, win::INF_STYLE_WIN4, &line), win::INVALID_HANDLE_VALUE);
    EXPECT_EQ(win::GetLastError(), error) << testsupport::Narrow(path);
  }
}

}  // namespace
