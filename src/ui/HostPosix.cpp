// The host interface without a handler, off Windows: the log goes to standard
// error, the prompt to the terminal, and a handed-over workbook is opened
// with the desktop's default application.
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

class StderrLogView final : public LogView {
 public:
  void Line(const std::string& text, bool) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  void Finished() override {}
};

}  // namespace

std::shared_ptr<LogView> PlatformLogView() { return std::make_shared<StderrLogView>(); }

bool PlatformConfirm(const std::string& caption, const std::string& text) {
  if (!isatty(STDIN_FILENO)) return false;
  std::fprintf(stderr, "[%s] %s (y/N) ", caption.c_str(), text.c_str());
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

void PlatformHandOverWorkbook(const std::string& path) {
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
