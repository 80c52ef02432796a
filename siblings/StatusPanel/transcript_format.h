// The transcript's field encoding, shared by the Win32 and the terminal panel.
#pragma once

#include <string>

/// A field of a transcript line: tab, CR, LF and backslash written as \t, \r, \n and \\.
inline std::string EscapeTranscriptField(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}
