#include "ui/Host.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
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

// Passes each line to the host's handler, or writes it to standard error.
class HandlerLogView final : public LogView {
 public:
  void Line(const std::string& text, bool isError) override {
    if (gLogHandler)
      gLogHandler(gLogContext, isError ? kLogError : kLogInfo, text.c_str());
    else
      std::fprintf(stderr, "%s\n", text.c_str());
  }
  void Finished() override {
    if (gLogHandler) gLogHandler(gLogContext, kLogFinished, "");
  }
};

}  // namespace

std::shared_ptr<LogView> DefaultLogView() { return std::make_shared<HandlerLogView>(); }

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

bool Confirm(const std::string& caption, const std::string& text) {
  if (gConfirmHandler) return gConfirmHandler(gConfirmContext, caption.c_str(), text.c_str()) != 0;
  if (!isatty(STDIN_FILENO)) return false;
  std::fprintf(stderr, "[%s] %s (y/N) ", caption.c_str(), text.c_str());
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

void HandOverWorkbook(const std::string& path) {
  if (gWorkbookHandler) {
    gWorkbookHandler(gWorkbookContext, path.c_str());
    return;
  }
  std::fprintf(stderr, "The workbook is saved as %s\n", path.c_str());
  // Open it with the desktop's default application when there is a desktop.
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((display && *display) || (wayland && *wayland)) {
    // Double fork: the child starts the viewer in a grandchild and ends at
    // once, so the viewer is adopted by init and never left as a zombie of
    // the host's process.
    pid_t child = fork();
    if (child == 0) {
      if (fork() == 0) {
        execlp("xdg-open", "xdg-open", path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
      }
      _exit(0);
    }
    if (child > 0)
      while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
      }
  }
}

}  // namespace sx::ui
