// Shows the progress window as a user sees it: a localized status line in Tahoma 8 and a message box.
// Run by the screenshot test under Wine on a virtual display; the box is answered by that test.
#include "components/progress_window.h"
#include "localization/localizer.h"
#include "platform/clock.h"
#include "platform/gdi.h"

namespace {

int Work(void* context) {
  const ProgressHandle h = *static_cast<ProgressHandle*>(context);
  ProgressDlg_SetMessage(h, L"Installing the port driver, please wait...\r\n"
                            L"\x6B63\x5728\x5B89\x88C5\x7AEF\x53E3\x9A71\x52A8\x7A0B\x5E8F\xFF0C\x8BF7\x7A0D\x5019\x2026\x2026");
  win::Sleep(1500);
  ProgressDlg_MessageBox(h, L"The drivers are installed. The data card is ready to use.\r\n"
                            L"\x9A71\x52A8\x7A0B\x5E8F\x5DF2\x5B89\x88C5\xFF0C\x6570\x636E\x5361\x53EF\x4EE5\x4F7F\x7528\x4E86\x3002",
                         L"Data Card Setup", MB_ICONINFORMATION);
  return 0;
}

}  // namespace

int main() {
  win::LOGFONTW lf{};
  lf.lfCharSet = win::DEFAULT_CHARSET;
  lf.lfHeight = -11;  // Tahoma 8 at 96 dots per inch
  const wchar_t face[] = L"Tahoma";
  for (int i = 0; face[i]; ++i) lf.lfFaceName[i] = face[i];
  CFont font(win::CreateFontIndirectW(&lf));
  ProgressHandle h = ProgressDlg_Create();
  ProgressDlg_SetFont(h, font.GetHandle());
  ProgressDlg_Excute(h, &Work, &h);
  ProgressDlg_Destroy(h);
  return 0;
}
