// The host interface without a handler, on Windows: the log window, a Yes/No
// message box owned by the host's window, and the shell for a workbook file.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include "base/WideText.h"
#include "ui/Host.h"
#include "ui/HostViews.h"
#include "ui/LogWindow.h"

namespace sx::ui {

std::shared_ptr<LogView> PlatformLogView() { return MakeLogWindow(); }

bool PlatformConfirm(const std::string& caption, const std::string& text) {
  HWND owner = static_cast<HWND>(ApplicationHandle());
  return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), MB_YESNO | MB_ICONEXCLAMATION) ==
         IDYES;
}

void PlatformHandOverWorkbook(const std::string& path) {
  ShellExecuteW(static_cast<HWND>(ApplicationHandle()), L"open", Widen(path).c_str(), nullptr, nullptr,
                SW_SHOWNORMAL);
}

}  // namespace sx::ui
