// A stand-in for the progress window library: records every call, answers boxes at once.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi.h"

namespace testsupport {

struct PanelEvent {
  std::string call;    // Create, SetFont, Excute, SetMessage, MessageBox, Destroy
  unsigned handle = 0;
  std::wstring text;     // SetMessage, MessageBox
  std::wstring caption;  // MessageBox
  unsigned style = 0;    // MessageBox
  win::LOGFONTW font{};  // SetFont: the font as it was when set
  bool fontGiven = false;
  bool fontAliveAtDestroy = false;  // Destroy: whether the font last set was still a GDI object
  int result = 0;        // Excute: what the work returned
};

std::vector<PanelEvent>& PanelEvents();

}  // namespace testsupport
