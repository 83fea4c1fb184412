// The default views of the log: the host's log handler when one is set,
// otherwise standard error.
#pragma once
#include <memory>

#include "ui/uLogMessage.h"

namespace sx::ui {

std::shared_ptr<LogView> DefaultLogView();

}  // namespace sx::ui
