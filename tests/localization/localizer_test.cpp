// The localizer: texts, their decoding, the language header, fonts and time formats.
#include <gtest/gtest.h>

#include <string>

#include "localization/localizer.h"
#include "platform/gdi.h"
#include "platform/nls.h"
#include "platform/scoped.h"
#include "tests/support/scratch.h"

namespace {

class LocalizerTest : public ::testing::Test {
 protected:
  void SetUp() override { m_dir = testsupport::ScratchDirectory(L"localizer"); }

  // Writes a language file and loads it.
  void LoadText(const std::string& content) {
    const std::wstring path = m_dir + L"lang" + std::to_wstring(++m_files) + L".txt";
    ASSERT_TRUE(testsupport::WriteFileBytes(path, content));
    m_localizer.Load(path);
  }

  static win::LOGFONTW Describe(const CFont* font) {
    win::LOGFONTW lf{};
    EXPECT_NE(font, nullptr);
    EXPECT_NE(font->GetHandle(), nullptr);
    EXPECT_EQ(win::GetObjectW(font->GetHandle(), sizeof lf, &lf), static_cast<int>(sizeof lf));
    return lf;
  }

  static int ScreenDpi() {
    win::ScopedGeneric<win::ScreenDcTraits> dc(win::GetDC(nullptr));
    return win::GetDeviceCaps(dc.get(), win::LOGPIXELSY);
  }

  std::wstring m_dir;
  int m_files = 0;
  CLocalizer m_localizer;
};

TEST_F(LocalizerTest, TextsAreFoundWithoutRegardToCaseOfSectionAndKey) {
  const struct {
    const char* file;
    const wchar_t* key;
    const wchar_t* section;
    const wchar_t* expected;
  } cases[] = {
      {"[Text-Setup]\r\nUninstallPort=Removing the port driver\r\n", L"UninstallPort", L"Setup", L"Removing the port driver"},
      {"[TEXT-SETUP]\r\nuninstallport=Removing the port driver\r\n", L"UninstallPort", L"Setup", L"Removing the port driver"},
      {"[Text]\r\nHello=General\r\n", L"hello", L"", L"General"},
      {"[Text-Setup]\r\nA=Line one\\nLine two\r\n", L"A", L"Setup", L"Line one\r\nLine two"},
      {"[Text-Setup]\r\nA=back\\slash \\\\n\r\n", L"A", L"Setup", L"back\\slash \\\r\n"},
      {"[Text-Setup]\r\nA={10,20,300,40}Hello\r\n", L"A", L"Setup", L"Hello"},
      {"[Text-Setup]\r\nA={0,0,0,0}\r\n", L"A", L"Setup", L""},
      {"[Text-Setup]\r\nA={1,2,3}Hi\r\n", L"A", L"Setup", L"{1,2,3}Hi"},
      {"[Text-Setup]\r\nA={a,b,c,d}Hi\r\n", L"A", L"Setup", L"Hi"},
      {"[Text-Setup]\r\nA={unclosed text\r\n", L"A", L"Setup", L"{unclosed text"},
      {"[Text-Connection]\r\nConnectionName=My Card\r\n", L"ConnectionName", L"connection", L"My Card"},
  };
  for (const auto& c : cases) {
    LoadText(c.file);
    EXPECT_EQ(m_localizer.GetText(c.key, c.section), c.expected) << c.file;
  }
}

TEST_F(LocalizerTest, AMissingTextIsTheKeyObjectItself) {
  LoadText("[Text-Setup]\r\nA=1\r\n[context]\r\nB=hidden\r\n[Text]\r\nC=3\r\n");
  const std::wstring key = L"NotThere";
  EXPECT_EQ(&m_localizer.GetText(key, L"Setup"), &key);
  const std::wstring section = L"Nowhere";
  EXPECT_EQ(&m_localizer.GetText(key, section), &key);
  const std::wstring hidden = L"B";
  EXPECT_EQ(&m_localizer.GetText(hidden, L""), &hidden);  // [context] is loaded but unreachable
  EXPECT_EQ(&m_localizer.GetText(hidden, L"Setup"), &hidden);
}

TEST_F(LocalizerTest, LanguageHeaderAndReloading) {
  CLocalizer fresh;
  EXPECT_EQ(fresh.GetLanguageId(), 0);
  EXPECT_EQ(fresh.GetCodePage(), win::GetACP());

  LoadText("[Language]\r\nID=804\r\nCodePage=936\r\n[Text-Setup]\r\nA=first\r\n");
  EXPECT_EQ(m_localizer.GetLanguageId(), 0x0804);
  EXPECT_EQ(m_localizer.GetCodePage(), 936u);
  EXPECT_EQ(m_localizer.GetText(L"A", L"Setup"), L"first");

  // The next file names no language: the identifier goes back to 0, the code page stays.
  LoadText("[Text-Setup]\r\nB=second\r\n");
  EXPECT_EQ(m_localizer.GetLanguageId(), 0);
  EXPECT_EQ(m_localizer.GetCodePage(), 936u);
  EXPECT_EQ(m_localizer.GetText(L"A", L"Setup"), L"A");
  EXPECT_EQ(m_localizer.GetText(L"B", L"Setup"), L"second");

  const struct {
    const char* id;
    win::WORD expected;
  } ids[] = {{"0409", 0x0409}, {"409", 0x0409}, {"0x0419", 0x0419}, {"C04", 0x0C04}, {"zz", 0}, {"12345", 0x2345}};
  for (const auto& row : ids) {
    LoadText(std::string("[Language]\r\nID=") + row.id + "\r\n");
    EXPECT_EQ(m_localizer.GetLanguageId(), row.expected) << row.id;
  }

  m_localizer.Load(m_dir + L"missing.txt");
  EXPECT_EQ(m_localizer.GetLanguageId(), 0);
  EXPECT_EQ(m_localizer.GetCodePage(), 936u);
  EXPECT_EQ(m_localizer.GetText(L"B", L"Setup"), L"B");
}

TEST_F(LocalizerTest, FontsFromTheFontSection) {
  LoadText(
      "[Font]\r\nNormal=Tahoma, 8\r\nTitle= Arial ,12\r\nBare=Tahoma\r\n"
      "Long=ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij, 9\r\n");
  CFont* normal = m_localizer.GetFont(L"Normal");
  EXPECT_EQ(m_localizer.GetFont(L"NORMAL"), normal);
  EXPECT_EQ(m_localizer.GetFont(L"normal"), normal);
  const win::LOGFONTW lf = Describe(normal);
  EXPECT_EQ(std::wstring(lf.lfFaceName), L"Tahoma");
  EXPECT_EQ(lf.lfCharSet, win::DEFAULT_CHARSET);
  EXPECT_EQ(lf.lfHeight, -win::MulDiv(ScreenDpi(), 80, 720));
  if (ScreenDpi() == 96) {
    EXPECT_EQ(lf.lfHeight, -11);
  }
  EXPECT_EQ(lf.lfWeight, 0);

  const win::LOGFONTW title = Describe(m_localizer.GetFont(L"title"));
  EXPECT_EQ(std::wstring(title.lfFaceName), L"Arial");
  EXPECT_EQ(title.lfHeight, -win::MulDiv(ScreenDpi(), 120, 720));

  const win::LOGFONTW bare = Describe(m_localizer.GetFont(L"bare"));
  EXPECT_EQ(std::wstring(bare.lfFaceName), L"");
  EXPECT_EQ(bare.lfHeight, 0);

  const win::LOGFONTW cut = Describe(m_localizer.GetFont(L"long"));
  EXPECT_EQ(std::wstring(cut.lfFaceName), L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
}

TEST_F(LocalizerTest, TheDefaultFontCopiesTheScreenFont) {
  CFont* fallback = m_localizer.GetFont(L"Normal");
  EXPECT_EQ(m_localizer.GetFont(L"Other"), fallback);

  win::ScopedGeneric<win::ScreenDcTraits> dc(win::GetDC(nullptr));
  win::LOGFONTW screen{};
  ASSERT_GT(win::GetObjectW(win::GetCurrentObject(dc.get(), win::OBJ_FONT), sizeof screen, &screen), 0);
  const win::LOGFONTW copy = Describe(fallback);
  EXPECT_EQ(std::wstring(copy.lfFaceName), std::wstring(screen.lfFaceName));
  EXPECT_EQ(copy.lfHeight, screen.lfHeight);
  EXPECT_EQ(copy.lfWeight, screen.lfWeight);

  LoadText("[Font]\r\nNormal=Tahoma, 8\r\n");
  EXPECT_NE(m_localizer.GetFont(L"Normal"), fallback);
  LoadText("[Text]\r\nA=1\r\n");
  EXPECT_EQ(m_localizer.GetFont(L"Normal"), fallback);
}

TEST_F(LocalizerTest, TimeFormats) {
  EXPECT_EQ(m_localizer.GetTimeFormat(L"Log"), L"%Y-%m-%d,%H:%M:%S");
  LoadText("[TimeFormat]\r\nLog=%H:%M\r\n");
  EXPECT_EQ(m_localizer.GetTimeFormat(L"log"), L"%H:%M");
  EXPECT_EQ(m_localizer.GetTimeFormat(L"other"), L"%Y-%m-%d,%H:%M:%S");
  EXPECT_EQ(&m_localizer.GetTimeFormat(L"a"), &m_localizer.GetTimeFormat(L"b"));
}

TEST(ParseTextEntryTest, TheBracePrefix) {
  const struct {
    const wchar_t* in;
    const wchar_t* out;
  } rows[] = {{L"", L""}, {L"{", L"{"}, {L"{}", L"{}"}, {L"{1,2,3}Hi", L"{1,2,3}Hi"}, {L"{1,2,33}Hi", L"Hi"},
              {L"{0,0,0,0}", L""}, {L"x{0,0,0,0}", L"x{0,0,0,0}"}, {L"{{{{{{{}y", L"y"}};
  for (const auto& r : rows) EXPECT_EQ(ParseTextEntry(r.in).text, r.out) << testsupport::Narrow(r.in);
}

}  // namespace
