// Simulated machine: the screen's device context and fonts.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/error.h"
#include "platform/gdi.h"
#include "platform/sim/machine.h"
#include "platform/sim/objects.h"

namespace sim {

namespace {

struct DcObject : Object {};

struct FontObject : Object {
  win::LOGFONTW font{};
  bool stock = false;
};

// The font a new screen device context has selected: one stock object per process.
win::HGDIOBJ ScreenFont() {
  static win::HGDIOBJ stock = [] {
    auto f = std::make_shared<FontObject>();
    const ScreenDescription& s = Current().Desc().screen;
    f->font.lfHeight = s.fontHeight;
    f->font.lfWeight = s.fontWeight;
    f->font.lfCharSet = s.fontCharSet;
    std::copy_n(s.fontFace.begin(), std::min<std::size_t>(s.fontFace.size(), win::LF_FACESIZE - 1), f->font.lfFaceName);
    f->stock = true;
    return static_cast<win::HGDIOBJ>(Handles().Add(f));
  }();
  return stock;
}

}  // namespace

}  // namespace sim

namespace win {

HDC GetDC(HWND window) {
  if (window) return nullptr;  // the simulated machine has no windows of its own yet
  return static_cast<HDC>(sim::Handles().Add(std::make_shared<sim::DcObject>()));
}

int ReleaseDC(HWND, HDC dc) {
  if (!sim::Handles().Holds<sim::DcObject>(dc)) return 0;
  sim::Handles().Close(dc);
  return 1;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  if (!sim::Handles().Holds<sim::DcObject>(dc)) return sim::Fail(ERROR_INVALID_HANDLE, static_cast<HGDIOBJ>(nullptr));
  if (type != OBJ_FONT) return sim::Fail(ERROR_INVALID_PARAMETER, static_cast<HGDIOBJ>(nullptr));
  return sim::ScreenFont();
}

int GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
  auto f = sim::Handles().Get<sim::FontObject>(object);
  if (!f) return 0;
  if (!buffer) return static_cast<int>(sizeof(LOGFONTW));
  if (size <= 0) return 0;
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), sizeof(LOGFONTW));
  std::memcpy(buffer, &f->font, n);
  return static_cast<int>(n);
}

HFONT CreateFontIndirectW(const LOGFONTW* font) {
  if (!font) return sim::Fail(ERROR_INVALID_PARAMETER, static_cast<HFONT>(nullptr));
  auto f = std::make_shared<sim::FontObject>();
  f->font = *font;
  f->font.lfFaceName[LF_FACESIZE - 1] = L'\0';
  return static_cast<HFONT>(sim::Handles().Add(f));
}

BOOL DeleteObject(HGDIOBJ object) {
  auto f = sim::Handles().Get<sim::FontObject>(object);
  if (!f) return FALSE;
  if (!f->stock) sim::Handles().Close(object);
  return TRUE;
}

int GetDeviceCaps(HDC dc, int index) {
  if (!sim::Handles().Holds<sim::DcObject>(dc)) return 0;
  if (index == LOGPIXELSX || index == LOGPIXELSY) return sim::Current().Desc().screen.dpi;
  return 0;
}

BOOL DPtoLP(HDC dc, POINT* points, int count) {
  // The screen context maps device to logical units one to one (MM_TEXT).
  if (!sim::Handles().Holds<sim::DcObject>(dc) || (!points && count > 0)) return FALSE;
  return TRUE;
}

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const long long product = static_cast<long long>(number) * numerator;
  long long q = product / denominator;
  const long long r = product % denominator;
  if (std::llabs(r) * 2 >= std::llabs(static_cast<long long>(denominator))) q += ((product < 0) != (denominator < 0)) ? -1 : 1;
  if (q > 0x7FFFFFFFLL || q < -0x80000000LL) return -1;
  return static_cast<int>(q);
}

}  // namespace win
