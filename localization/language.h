// The choice of the language file from the user's interface language.
#pragma once

#include <string>

#include "platform/types.h"

/// The language name (also the language file's base name) of a language identifier, or an empty
/// string for an identifier the table does not list. Only exact identifiers match.
std::wstring GetLanguageName(win::WORD languageId);

/// The full path of the language file for the current user: "<exe dir>..\Localize\<name>.txt",
/// with "..\" collapsed, or the English file of that directory when the named one does not exist.
/// The returned path need not exist.
std::wstring GetLanguageFilePath();
