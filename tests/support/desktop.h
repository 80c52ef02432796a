// The desktop's windows as a test reads them, through the platform layer.
#pragma once

#include <vector>

#include "platform/window.h"

namespace testsupport {

/// The top-level windows, top of the Z order first.
inline std::vector<win::HWND> TopLevelWindows() {
  std::vector<win::HWND> tops;
  win::EnumWindows(
      [](win::HWND w, win::LPARAM context) -> win::BOOL {
        reinterpret_cast<std::vector<win::HWND>*>(context)->push_back(w);
        return win::TRUE;
      },
      reinterpret_cast<win::LPARAM>(&tops));
  return tops;
}

}  // namespace testsupport
