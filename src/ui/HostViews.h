// The views behind the host interface. The host's handlers come first; when
// the host has set none, the platform's own way of asking and showing is used
// (HostPosix.cpp: standard error and the terminal; HostWin32.cpp: the log
// window and a message box).
#pragma once
#include <memory>
#include <string>

#include "ui/uLogMessage.h"

namespace sx::ui {

// The host's log handler when one is set, otherwise the platform's log view.
std::shared_ptr<LogView> DefaultLogView();

// The platform's log view, prompt and workbook hand-over.
std::shared_ptr<LogView> PlatformLogView();
bool PlatformConfirm(const std::string& caption, const std::string& text);
void PlatformHandOverWorkbook(const std::string& path);

}  // namespace sx::ui
