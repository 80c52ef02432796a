// The program's side of the progress window library.
#include "components/progress_window.h"

#include <exception>
#include <new>
#include <string>

namespace {

struct GuardedWork {
  ProgressHandle handle;
  ProgressWork work;
  void* context;
};

void ShowError(ProgressHandle handle, const std::wstring& text) {
  ProgressDlg_MessageBox(handle, text.c_str(), L"Drvsetup", MB_ICONERROR);
}

std::wstring Widen(const char* text) {
  std::wstring out;
  for (const char* p = text; p && *p; ++p) out += static_cast<wchar_t>(static_cast<unsigned char>(*p));
  return out;
}

int RunGuarded(void* context) {
  auto* guarded = static_cast<GuardedWork*>(context);
  try {
    return guarded->work(guarded->context);
  } catch (const CWideTextError& e) {
    ShowError(guarded->handle, e.GetText());
  } catch (const std::bad_alloc&) {
    ShowError(guarded->handle, L"Out of memory.");
  } catch (const std::exception& e) {
    ShowError(guarded->handle, Widen(e.what()));
  } catch (...) {
    ShowError(guarded->handle, L"An unexpected error ended the work.");
  }
  return -1;
}

}  // namespace

int ExecuteInProgressWindow(ProgressHandle handle, ProgressWork work, void* context) {
  GuardedWork guarded{handle, work, context};
  return ProgressDlg_Excute(handle, &RunGuarded, &guarded);
}
