// The progress log as a window of its own (Windows: LogWindowWin32.cpp).
#pragma once
#include <memory>

#include "ui/uLogMessage.h"

namespace sx::ui {

// A view that creates the window when shown; it stays on screen after Finish
// until the user closes it, which closes the TfLogMessage instance.
std::shared_ptr<LogView> MakeLogWindow();

}  // namespace sx::ui
