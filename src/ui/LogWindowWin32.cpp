// TfLogMessage as a Win32 window: caption "执行导入...", a list box lb1 with
// one line per message and the close button OKBtn, disabled while the import
// runs. Each line is painted at once by repainting the list; no messages are
// pumped. The window is owned by the host's application window and outlives
// the call; closing it frees the TfLogMessage instance.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include "base/WideText.h"
#include "ui/Host.h"
#include "ui/LogWindow.h"

namespace sx::ui {

namespace {

constexpr wchar_t kClassName[] = L"TfLogMessage";
constexpr int kListId = 101;  // lb1
constexpr int kButtonId = IDOK;  // OKBtn

// The designed layout, in pixels at 96 dots per inch.
constexpr int kWidth = 562, kHeight = 462;
constexpr int kListWidth = 554, kListHeight = 385;
constexpr int kButtonLeft = 212, kButtonTop = 394, kButtonWidth = 130, kButtonHeight = 26;
constexpr int kFontHeight = 14, kItemHeight = 17;

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

class LogWindow final : public LogView {
 public:
  ~LogWindow() override {
    if (hwnd_) {
      // The instance went away with the window still open (the library is
      // being unloaded): the window no longer refers to it.
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      DestroyWindow(hwnd_);
    }
    if (font_) DeleteObject(font_);
  }

  void Shown() override {
    Create();
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    EnableWindow(button_, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    BringWindowToTop(hwnd_);
    UpdateWindow(hwnd_);
  }

  void Line(const std::string& text, bool) override {
    if (!hwnd_) return;
    if (!IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_SHOW);
    LRESULT index = SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
    if (index >= 0) SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    UpdateWindow(list_);
  }

  void Finished() override {
    if (hwnd_) EnableWindow(button_, TRUE);
  }

  bool StaysOpenAfterFinish() const override { return true; }

 private:
  int Scaled(int pixels) const { return MulDiv(pixels, dpi_, 96); }

  void Create() {
    if (hwnd_) return;
    HINSTANCE module = ThisModule();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(module, kClassName, &wc)) {
      wc = WNDCLASSEXW{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = &WindowProc;
      wc.hInstance = module;
      wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
      wc.lpszClassName = kClassName;
      RegisterClassExW(&wc);
    }
    HDC screen = GetDC(nullptr);
    dpi_ = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    if (dpi_ <= 0) dpi_ = 96;

    // Centred on the screen's work area.
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int width = Scaled(kWidth), height = Scaled(kHeight);
    int left = work.left + (work.right - work.left - width) / 2;
    int top = work.top + (work.bottom - work.top - height) / 2;

    hwnd_ = CreateWindowExW(0, kClassName, Widen(TfLogMessage::kCaption).c_str(),
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX |
                                WS_CLIPCHILDREN,
                            left, top, width, height, static_cast<HWND>(ApplicationHandle()), nullptr,
                            module, nullptr);
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    font_ = CreateFontW(-Scaled(kFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                        L"Tahoma");
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                            0, 0, Scaled(kListWidth), Scaled(kListHeight), hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), module, nullptr);
    button_ = CreateWindowExW(0, L"BUTTON", Widen(TfLogMessage::kButtonCaption).c_str(),
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, Scaled(kButtonLeft),
                              Scaled(kButtonTop), Scaled(kButtonWidth), Scaled(kButtonHeight), hwnd_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), module, nullptr);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(list_, LB_SETITEMHEIGHT, 0, Scaled(kItemHeight));

    // The list keeps its distance to the right and bottom edges, the button
    // its distance to the bottom edge, whatever the frame takes.
    RECT client{};
    GetClientRect(hwnd_, &client);
    listRightGap_ = client.right - Scaled(kListWidth);
    listBottomGap_ = client.bottom - Scaled(kListHeight);
    buttonBottomGap_ = client.bottom - Scaled(kButtonTop);
  }

  void Layout(int width, int height) {
    MoveWindow(list_, 0, 0, width - listRightGap_, height - listBottomGap_, TRUE);
    MoveWindow(button_, Scaled(kButtonLeft), height - buttonBottomGap_, Scaled(kButtonWidth),
               Scaled(kButtonHeight), TRUE);
  }

  // Closing is refused while the import runs (the button is disabled).
  void CloseRequested() {
    if (!IsWindowEnabled(button_)) return;
    DestroyWindow(hwnd_);
  }

  void Destroyed() {
    hwnd_ = nullptr;
    // Frees the instance and with it this view.
    if (TfLogMessage* log = TfLogMessage::Instance()) log->Close();
  }

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<LogWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
      case WM_SIZE:
        if (self && self->list_) self->Layout(LOWORD(lParam), HIWORD(lParam));
        return 0;
      case WM_COMMAND:
        if (self && LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) self->CloseRequested();
        return 0;
      case WM_CLOSE:
        if (self)
          self->CloseRequested();
        else
          DestroyWindow(hwnd);
        return 0;
      case WM_DESTROY:
        if (self) {
          SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
          self->Destroyed();
        }
        return 0;
      default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
  }

  HWND hwnd_ = nullptr;
  HWND list_ = nullptr;
  HWND button_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = 96;
  int listRightGap_ = 0, listBottomGap_ = 0, buttonBottomGap_ = 0;
};

}  // namespace

std::shared_ptr<LogView> MakeLogWindow() { return std::make_shared<LogWindow>(); }

}  // namespace sx::ui
