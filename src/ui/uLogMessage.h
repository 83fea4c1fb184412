// The progress log window of imports: one library-wide instance that collects
// the lines of an import, refuses to close while the import runs, and stays
// open after the call until the user closes it. How it is shown is up to a
// pluggable view (a window on Windows, the host's handler or standard error).
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace sx::ui {

// How the log is shown.
class LogView {
 public:
  virtual ~LogView() = default;
  virtual void Shown() {}
  // A line as shown, error lines already carrying their prefix.
  virtual void Line(const std::string& text, bool isError) = 0;
  // The import has ended; the close button is usable again.
  virtual void Finished() = 0;
  // A window stays on screen after Finish until the user closes it; a stream
  // or a host's handler has nothing to close, so the log closes at Finish.
  virtual bool StaysOpenAfterFinish() const { return false; }
};

// Installs the view used by windows created from now on; null restores the
// default (the host's log handler, or standard error).
void SetLogView(std::shared_ptr<LogView> view);

class TfLogMessage {
 public:
  static constexpr const char* kCaption = "执行导入...";
  static constexpr const char* kButtonCaption = "关闭";
  static constexpr const char* kErrorPrefix = "错误:";

  // The open instance; creates and shows it (list cleared, button disabled)
  // when none is open.
  static TfLogMessage& Log();
  // The open instance, or null.
  static TfLogMessage* Instance();

  // Appends a line; error lines get the prefix "错误:".
  void AddLine(const std::string& text, bool isError = false);
  // Enables the close button.
  void Finish();
  // True while the window may close (the button is enabled).
  bool CloseQuery() const { return okBtnEnabled_; }
  // Closes and frees the instance unless an import runs; false when refused.
  bool Close();

  const std::vector<std::string>& Lines() const { return lines_; }
  bool OKBtnEnabled() const { return okBtnEnabled_; }

 private:
  explicit TfLogMessage(std::shared_ptr<LogView> view);

  std::shared_ptr<LogView> view_;
  std::vector<std::string> lines_;
  bool okBtnEnabled_ = false;
};

// Shortcuts used by the workers.
inline void LogInfo(const std::string& text) { TfLogMessage::Log().AddLine(text, false); }
inline void LogError(const std::string& text) { TfLogMessage::Log().AddLine(text, true); }
inline void LogFinish() { TfLogMessage::Log().Finish(); }

}  // namespace sx::ui
