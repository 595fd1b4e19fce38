// The Ui object on Win32: the window classes, the pages shown and enabled,
// the focus, the modal event loop, the busy cursor, the progress window,
// fonts, brushes and resources.  Controls' windows are made in
// win32_realize.cpp, their messages handled in win32_window_procs.cpp.
#include "gui/win32/win32_ui.h"

#include <commctrl.h>

#include <algorithm>

#include "gui/win32/win32_internal.h"

namespace gui {

Win32Ui* theUi = nullptr;

Win32Ui::Win32Ui(platform::Platform& os, HINSTANCE instance, PictureSource* pictures)
    : Ui(os), instance_(instance), pictures_(pictures) {
  theUi = this;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  WNDCLASSA wc{};
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconA(instance, "MAINICON");
  wc.lpfnWndProc = appProc;
  wc.lpszClassName = kAppClass;
  RegisterClassA(&wc);
  wc.lpfnWndProc = containerProc;
  wc.lpszClassName = kContainerClass;
  RegisterClassA(&wc);
  wc.hIcon = nullptr;
  wc.lpfnWndProc = pictureProc;
  wc.lpszClassName = kPictureClass;
  RegisterClassA(&wc);

}

Win32Ui::~Win32Ui() {
  for (auto& [key, font] : fonts_) DeleteObject(font);
  for (auto& [key, brush] : brushes_) DeleteObject(brush);
  theUi = nullptr;
}

platform::WindowId Win32Ui::applicationWindow() {
  if (!appWindow_) {
    // Zero-sized and shown: it owns the taskbar button and every page.
    int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    appWindow_ = CreateWindowExA(0, kAppClass, "", WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS |
                                 WS_SYSMENU | WS_MINIMIZEBOX, cx, cy, 0, 0, nullptr, nullptr,
                                 instance_, nullptr);
    if (!appWindowHidden_) ShowWindow(appWindow_, SW_SHOWNOACTIVATE);
  }
  return reinterpret_cast<platform::WindowId>(appWindow_);
}

void Win32Ui::keepApplicationWindowHidden() {
  appWindowHidden_ = true;
  if (appWindow_) ShowWindow(appWindow_, SW_HIDE);
}

platform::WindowId Win32Ui::windowOf(const Form& form) const {
  auto* p = dynamic_cast<Win32Peer*>(form.peer);
  return p ? reinterpret_cast<platform::WindowId>(p->window) : 0;
}

HFONT Win32Ui::fontFor(const Font& font) {
  std::string key = font.face + "|" + std::to_string(font.height) + (font.bold ? "b" : "") +
                    (font.italic ? "i" : "");
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  HFONT f = CreateFontA(-font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic, 0, 0,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_ROMAN, font.face.c_str());
  fonts_[key] = f;
  return f;
}

HBRUSH Win32Ui::brushFor(Color color) {
  auto it = brushes_.find(color);
  if (it != brushes_.end()) return it->second;
  HBRUSH b = CreateSolidBrush(colorRef(color));
  brushes_[color] = b;
  return b;
}

Win32Peer* Win32Ui::peerOf(HWND window) const {
  auto it = peers_.find(window);
  return it == peers_.end() ? nullptr : it->second;
}

void Win32Ui::registerPeer(HWND window, Win32Peer* peer) { peers_[window] = peer; }

void Win32Ui::showForm(Form& form, bool show) {
  HWND w = reinterpret_cast<HWND>(windowOf(form));
  if (show) {
    ShowWindow(w, SW_SHOW);
    SetForegroundWindow(w);
    // The forward button takes the focus, or else the first control that
    // can; never a radio button, whose focus would make a choice.
    Control* target = nullptr;
    auto usable = [](const Control* c) {
      for (const Control* p = c; p; p = p->parent())
        if (!p->enabled()) return false;
      return c->showing();
    };
    if (form.defaultButton && usable(form.defaultButton)) target = form.defaultButton;
    for (const auto& c : form.controls()) {
      if (target) break;
      if (c->tabStop && c->kind() != Kind::RadioButton && usable(c.get())) target = c.get();
    }
    if (target && target->peer) {
      if (target->focused()) {
        SetFocus(static_cast<Win32Peer*>(target->peer)->window);
      } else {
        target->setFocus();
      }
    }
  } else {
    ShowWindow(w, SW_HIDE);
    const auto& open = openForms();
    auto it = std::find(open.begin(), open.end(), &form);
    if (it != open.end() && it != open.begin()) {
      HWND below = reinterpret_cast<HWND>(windowOf(**(it - 1)));
      SetActiveWindow(below);
    }
  }
}

void Win32Ui::enableForm(Form& form, bool enable) {
  EnableWindow(reinterpret_cast<HWND>(windowOf(form)), enable);
}

void Win32Ui::keepFocus() { focusBeforeBox_ = GetFocus(); }

void Win32Ui::restoreFocus(Form& top) {
  // The box hands the activation to its owner (often the hidden
  // application window); the top page takes it back, with the control that
  // had the focus, or else the one the page last knew.
  HWND w = reinterpret_cast<HWND>(windowOf(top));
  HWND f = focusBeforeBox_;
  focusBeforeBox_ = nullptr;
  if (!w || !IsWindowVisible(w)) return;
  SetActiveWindow(w);
  auto usable = [w](HWND c) {
    return c && IsChild(w, c) && IsWindowVisible(c) && IsWindowEnabled(c);
  };
  if (!usable(f) && top.focus() && top.focus()->peer)
    f = static_cast<Win32Peer*>(top.focus()->peer)->window;
  if (usable(f)) SetFocus(f);
}

bool Win32Ui::handleEvent() {
  MSG msg;
  if (GetMessageA(&msg, nullptr, 0, 0) <= 0) return false;
  const auto& open = openForms();
  HWND top = open.empty() ? nullptr : reinterpret_cast<HWND>(windowOf(*open.back()));
  if (!top || !IsDialogMessageA(top, &msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

void Win32Ui::processMessages() {
  MSG msg;
  for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void Win32Ui::setBusyCursor(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursor(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

// A captioned popup with one line of text, centred over the top page and
// owned by it, painted at once.
void Win32Ui::showProgress(const std::string& text) {
  if (progress_) {
    DestroyWindow(progress_);
    progress_ = nullptr;
  }
  if (text.empty()) return;
  const auto& open = openForms();
  HWND owner = open.empty() ? appWindow_ : reinterpret_cast<HWND>(windowOf(*open.back()));
  RECT r{};
  GetWindowRect(owner, &r);
  const int width = 300, height = 90;
  progress_ = CreateWindowExA(WS_EX_DLGMODALFRAME, "STATIC", "Printing",
                              WS_POPUP | WS_CAPTION | WS_VISIBLE, (r.left + r.right - width) / 2,
                              (r.top + r.bottom - height) / 2, width, height, owner, nullptr,
                              instance_, nullptr);
  if (!progress_) return;
  HWND line = CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER, 10,
                              20, width - 26, 20, progress_, nullptr, instance_, nullptr);
  SendMessageA(line, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  UpdateWindow(progress_);
  processMessages();
}

std::vector<std::uint8_t> Win32Ui::resourceBytes(const std::string& name) {
  HRSRC found = FindResourceA(instance_, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
  HGLOBAL loaded = found ? LoadResource(instance_, found) : nullptr;
  const auto* bytes = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  if (!bytes) return {};
  return std::vector<std::uint8_t>(bytes, bytes + SizeofResource(instance_, found));
}

}  // namespace gui
