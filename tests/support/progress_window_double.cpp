// The progress window library's stand-in.
#include "tests/support/progress_window_double.h"

#include "components/progress_window.h"

namespace testsupport {

std::vector<PanelEvent>& PanelEvents() {
  static std::vector<PanelEvent> events;
  return events;
}

}  // namespace testsupport

namespace {
unsigned g_next = 1;
win::HFONT g_font = nullptr;
}  // namespace

using testsupport::PanelEvent;
using testsupport::PanelEvents;

extern "C" ProgressHandle ProgressDlg_Create() {
  PanelEvent e;
  e.call = "Create";
  e.handle = g_next++;
  PanelEvents().push_back(e);
  return e.handle;
}

extern "C" void ProgressDlg_SetFont(ProgressHandle h, win::HFONT font) {
  PanelEvent e;
  e.call = "SetFont";
  e.handle = h;
  e.fontGiven = font != nullptr;
  if (font) win::GetObjectW(font, sizeof e.font, &e.font);
  g_font = font;
  PanelEvents().push_back(e);
}

extern "C" int ProgressDlg_Excute(ProgressHandle h, ProgressWork work, void* context) {
  PanelEvent e;
  e.call = "Excute";
  e.handle = h;
  e.result = work(context);
  PanelEvents().push_back(e);
  return e.result;
}

extern "C" void ProgressDlg_SetMessage(ProgressHandle h, const wchar_t* text) {
  PanelEvent e;
  e.call = "SetMessage";
  e.handle = h;
  e.text = text;
  PanelEvents().push_back(e);
}

extern "C" int ProgressDlg_MessageBox(ProgressHandle h, const wchar_t* text, const wchar_t* caption, unsigned style) {
  PanelEvent e;
  e.call = "MessageBox";
  e.handle = h;
  e.text = text;
  e.caption = caption;
  e.style = style;
  PanelEvents().push_back(e);
  return 1;
}

extern "C" void ProgressDlg_Destroy(ProgressHandle h) {
  PanelEvent e;
  e.call = "Destroy";
  e.handle = h;
  win::LOGFONTW lf;
  e.fontAliveAtDestroy = g_font && win::GetObjectW(g_font, sizeof lf, &lf) > 0;
  PanelEvents().push_back(e);
}
