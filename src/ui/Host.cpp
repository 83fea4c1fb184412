#include "ui/Host.h"

#include <string>

#include "ui/HostViews.h"

namespace sx::ui {

namespace {

void* gApplicationHandle = nullptr;
LogHandler gLogHandler = nullptr;
void* gLogContext = nullptr;
ConfirmHandler gConfirmHandler = nullptr;
void* gConfirmContext = nullptr;
WorkbookHandler gWorkbookHandler = nullptr;
void* gWorkbookContext = nullptr;
ReportHandler gReportHandler = nullptr;
void* gReportContext = nullptr;

// Passes each line to the host's handler.
class HandlerLogView final : public LogView {
 public:
  void Line(const std::string& text, bool isError) override {
    if (gLogHandler) gLogHandler(gLogContext, isError ? kLogError : kLogInfo, text.c_str());
  }
  void Finished() override {
    if (gLogHandler) gLogHandler(gLogContext, kLogFinished, "");
  }
};

}  // namespace

std::shared_ptr<LogView> DefaultLogView() {
  if (gLogHandler) return std::make_shared<HandlerLogView>();
  return PlatformLogView();
}

void SetApplicationHandle(void* handle) { gApplicationHandle = handle; }
void* ApplicationHandle() { return gApplicationHandle; }

void SetLogHandler(LogHandler fn, void* context) {
  gLogHandler = fn;
  gLogContext = fn ? context : nullptr;
}

void SetConfirmHandler(ConfirmHandler fn, void* context) {
  gConfirmHandler = fn;
  gConfirmContext = fn ? context : nullptr;
}

void SetWorkbookHandler(WorkbookHandler fn, void* context) {
  gWorkbookHandler = fn;
  gWorkbookContext = fn ? context : nullptr;
}

void SetReportHandler(ReportHandler fn, void* context) {
  gReportHandler = fn;
  gReportContext = fn ? context : nullptr;
}

bool WantsReport() { return gReportHandler != nullptr; }

void HandOverReport(const std::string& json) {
  if (gReportHandler) gReportHandler(gReportContext, json.c_str());
}

bool Confirm(const std::string& caption, const std::string& text) {
  if (gConfirmHandler) return gConfirmHandler(gConfirmContext, caption.c_str(), text.c_str()) != 0;
  return PlatformConfirm(caption, text);
}

void HandOverWorkbook(const std::string& path) {
  if (gWorkbookHandler) {
    gWorkbookHandler(gWorkbookContext, path.c_str());
    return;
  }
  PlatformHandOverWorkbook(path);
}

}  // namespace sx::ui
