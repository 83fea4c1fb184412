#include "ui/uLogMessage.h"


#include "ui/HostViews.h"

namespace sx::ui {

namespace {
std::unique_ptr<TfLogMessage> gInstance;
std::shared_ptr<LogView> gView;
}  // namespace

void SetLogView(std::shared_ptr<LogView> view) { gView = std::move(view); }

TfLogMessage::TfLogMessage(std::shared_ptr<LogView> view) : view_(std::move(view)) {}

TfLogMessage* TfLogMessage::Instance() { return gInstance.get(); }

TfLogMessage& TfLogMessage::Log() {
  if (!gInstance) {
    std::shared_ptr<LogView> view = gView ? gView : DefaultLogView();
    gInstance.reset(new TfLogMessage(std::move(view)));
    gInstance->lines_.clear();
    gInstance->okBtnEnabled_ = false;
    gInstance->view_->Shown();
  }
  return *gInstance;
}

void TfLogMessage::AddLine(const std::string& text, bool isError) {
  std::string line = isError ? std::string(kErrorPrefix) + text : text;
  view_->Line(line, isError);
  lines_.push_back(std::move(line));
}

void TfLogMessage::Finish() {
  okBtnEnabled_ = true;
  view_->Finished();
  if (!view_->StaysOpenAfterFinish()) Close();  // frees this instance
}

bool TfLogMessage::Close() {
  if (!okBtnEnabled_) return false;
  if (gInstance.get() == this) gInstance.reset();
  return true;
}

}  // namespace sx::ui
