// The localizer.
#include "localization/localizer.h"

#include <algorithm>
#include <cstdlib>

#include "localization/ini_file.h"
#include "localization/text.h"
#include "platform/nls.h"
#include "platform/scoped.h"

void CFont::Release() {
  if (m_font) {
    win::DeleteObject(m_font);
    m_font = nullptr;
  }
}

TextEntry ParseTextEntry(const std::wstring& value) {
  TextEntry entry{value};
  if (value.empty() || value[0] != L'{') return entry;
  const auto close = value.find(L'}', 1);
  const std::size_t n = close == std::wstring::npos ? 0 : close + 1;
  if (n < 8) return entry;
  entry.text = value.substr(n);
  return entry;
}

void CTextSection::Set(const std::wstring& key, const TextEntry& entry) { m_texts[LowerCase(key)] = entry; }

const std::wstring* CTextSection::Find(const std::wstring& key) const {
  auto it = m_texts.find(LowerCase(key));
  return it == m_texts.end() ? nullptr : &it->second.text;
}

CLocalizer::CLocalizer() : m_codePage(win::GetACP()) {
  // The default font: a copy of the font the screen's device context has selected.
  win::ScopedGeneric<win::ScreenDcTraits> dc(win::GetDC(nullptr));
  win::LOGFONTW font{};
  win::GetObjectW(win::GetCurrentObject(dc.get(), win::OBJ_FONT), sizeof font, &font);
  m_defaultFont.Reset(win::CreateFontIndirectW(&font));
}

CLocalizer::~CLocalizer() {
  Clear();
  m_defaultFont.Release();
}

void CLocalizer::Clear() {
  for (CTextSection* section : m_textSections) delete section;
  m_textSections.clear();
  m_timeFormats.clear();
  for (auto& [name, font] : m_fonts) {
    font->Release();
    delete font;
  }
  m_fonts.clear();
}

void CLocalizer::Load(const std::wstring& path) {
  Clear();
  const CIniFile reader(path);
  LoadTexts(reader);
  LoadTimeFormats(reader);
  LoadFonts(reader);

  std::wstring id = reader.GetValue(L"Language", L"ID");
  if (id.size() % 2 == 1) id.insert(id.begin(), L'0');  // 409 reads as 0409
  m_languageId = static_cast<win::WORD>(ReadHexadecimal(TrimSpaces(id)) & 0xFFFF);

  const std::wstring& codePage = reader.GetValue(L"Language", L"CodePage");
  if (!codePage.empty()) m_codePage = static_cast<win::DWORD>(ReadDecimal(codePage));
}

void CLocalizer::LoadTexts(const CIniFile& reader) {
  for (unsigned i = 0; i < reader.GetSectionCount(); ++i) {
    const std::wstring& name = reader.GetSectionName(i);
    if (name.find(L"text") == std::wstring::npos) continue;
    auto* section = new CTextSection(name);
    m_textSections.push_back(section);
    const unsigned count = reader.GetKeyCount(name);
    for (unsigned j = 0; j < count; ++j) {
      std::wstring key;
      std::wstring value;
      if (!reader.GetKeyAt(name, j, key, value)) continue;
      std::wstring decoded;
      decoded.reserve(value.size());
      for (std::size_t k = 0; k < value.size(); ++k) {
        if (value[k] == L'\\' && k + 1 < value.size() && value[k + 1] == L'n') {
          decoded += L"\r\n";
          ++k;
        } else {
          decoded += value[k];
        }
      }
      section->Set(key, ParseTextEntry(decoded));
    }
  }
}

void CLocalizer::LoadTimeFormats(const CIniFile& reader) {
  const unsigned count = reader.GetKeyCount(L"TimeFormat");
  for (unsigned i = 0; i < count; ++i) {
    std::wstring key;
    std::wstring value;
    if (reader.GetKeyAt(L"TimeFormat", i, key, value)) m_timeFormats[key] = value;
  }
}

void CLocalizer::LoadFonts(const CIniFile& reader) {
  const unsigned count = reader.GetKeyCount(L"Font");
  for (unsigned i = 0; i < count; ++i) {
    std::wstring key;
    std::wstring value;
    if (!reader.GetKeyAt(L"Font", i, key, value)) continue;
    auto* font = new CFont;
    auto [it, inserted] = m_fonts.emplace(key, font);
    if (!inserted) {
      delete it->second;
      it->second = font;
    }

    const auto comma = value.find(L',');
    const std::wstring face = comma == std::wstring::npos ? std::wstring() : TrimSpaces(value.substr(0, comma));
    const std::wstring size = comma == std::wstring::npos ? TrimSpaces(value) : TrimSpaces(value.substr(comma + 1));
    const long points = ReadDecimal(size);

    win::LOGFONTW lf{};
    lf.lfCharSet = win::DEFAULT_CHARSET;
    lf.lfHeight = static_cast<win::LONG>(points * 10);
    std::copy_n(face.begin(), std::min<std::size_t>(face.size(), win::LF_FACESIZE - 1), lf.lfFaceName);
    {
      // Tenths of a point to device pixels, then to the logical height GDI wants (negative: the
      // character height without internal leading).
      win::ScopedGeneric<win::ScreenDcTraits> dc(win::GetDC(nullptr));
      win::POINT pt[2] = {{0, win::MulDiv(win::GetDeviceCaps(dc.get(), win::LOGPIXELSY), lf.lfHeight, 720)}, {0, 0}};
      win::DPtoLP(dc.get(), pt, 2);
      lf.lfHeight = -std::abs(pt[0].y - pt[1].y);
    }
    font->Reset(win::CreateFontIndirectW(&lf));
  }
}

const std::wstring& CLocalizer::GetText(const std::wstring& key, const std::wstring& section) {
  const std::wstring wanted = LowerCase(section.empty() ? std::wstring(L"text") : L"text-" + section);
  for (const CTextSection* s : m_textSections) {
    if (s->GetName() == wanted) {
      if (const std::wstring* text = s->Find(key)) return *text;
      break;
    }
  }
  return key;
}

const std::wstring& CLocalizer::GetTimeFormat(const std::wstring& name) {
  static const std::wstring defaultFormat = L"%Y-%m-%d,%H:%M:%S";
  auto it = m_timeFormats.find(LowerCase(name));
  return it == m_timeFormats.end() ? defaultFormat : it->second;
}

CFont* CLocalizer::GetFont(const std::wstring& name) {
  auto it = m_fonts.find(LowerCase(name));
  return it == m_fonts.end() ? &m_defaultFont : it->second;
}
