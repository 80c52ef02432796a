// The localizer: texts, fonts and time formats of the loaded language.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/types.h"

class CIniFile;

/// A font the localizer owns: at most one GDI font handle, null when creating the font failed.
class CFont {
 public:
  CFont() = default;
  explicit CFont(win::HFONT font) : m_font(font) {}
  CFont(const CFont&) = delete;
  CFont& operator=(const CFont&) = delete;
  ~CFont() { Release(); }

  win::HFONT GetHandle() const { return m_font; }
  void Reset(win::HFONT font) {
    Release();
    m_font = font;
  }
  /// Deletes the GDI font; the object then holds none.
  void Release();

 private:
  win::HFONT m_font = nullptr;
};

/// What the rest of the system asks of the loaded language.
class ILocalizer {
 public:
  virtual win::WORD GetLanguageId() = 0;
  virtual win::DWORD GetCodePage() = 0;
  /// The text of `key` in `section` ("Setup", "Connection"; empty: the general text section), or a
  /// reference to `key` itself when the language has none.
  virtual const std::wstring& GetText(const std::wstring& key, const std::wstring& section) = 0;
  /// The time format of `name`, or "%Y-%m-%d,%H:%M:%S".
  virtual const std::wstring& GetTimeFormat(const std::wstring& name) = 0;
  /// The font of `name`, or the default font (a copy of the screen's font); never null.
  virtual CFont* GetFont(const std::wstring& name) = 0;

 protected:
  ~ILocalizer() = default;  // never destroyed through the interface
};

/// One text of a language file, decoded.
struct TextEntry {
  std::wstring text;
};

/// Decodes a raw value: a brace prefix "{%d,%d,%d,%d}" whose closing brace stands at index 7 or later
/// is dropped.
TextEntry ParseTextEntry(const std::wstring& value);

/// One text section of a language file (name lower case, as the reader stores it).
class CTextSection {
 public:
  explicit CTextSection(const std::wstring& name) : m_name(name) {}

  /// Stores `entry` under the lower-cased key, replacing what was there.
  void Set(const std::wstring& key, const TextEntry& entry);

  /// The stored text of the lower-cased key, or null.
  const std::wstring* Find(const std::wstring& key) const;

  const std::wstring& GetName() const { return m_name; }

 private:
  std::map<std::wstring, TextEntry> m_texts;
  std::wstring m_name;
};

class CLocalizer final : public ILocalizer {
 public:
  CLocalizer();
  ~CLocalizer();
  CLocalizer(const CLocalizer&) = delete;
  CLocalizer& operator=(const CLocalizer&) = delete;

  win::WORD GetLanguageId() override { return m_languageId; }
  win::DWORD GetCodePage() override { return m_codePage; }
  const std::wstring& GetText(const std::wstring& key, const std::wstring& section) override;
  const std::wstring& GetTimeFormat(const std::wstring& name) override;
  CFont* GetFont(const std::wstring& name) override;

  /// Replaces everything loaded with the content of the language file at `path`. Never fails.
  void Load(const std::wstring& path);

  /// Frees all text sections, fonts and time formats.
  void Clear();

 private:
  void LoadTexts(const CIniFile& reader);
  void LoadTimeFormats(const CIniFile& reader);
  void LoadFonts(const CIniFile& reader);

  std::vector<CTextSection*> m_textSections;
  std::map<std::wstring, CFont*> m_fonts;
  CFont m_defaultFont;
  std::map<std::wstring, std::wstring> m_timeFormats;
  win::WORD m_languageId = 0;
  win::DWORD m_codePage;
};
