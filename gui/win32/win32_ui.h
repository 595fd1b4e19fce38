// The toolkit on real Win32 windows.  Every control is a child window of
// its own (labels included), so WM_GETTEXT and the standard state messages
// report each page as a person sees it.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "gui/ui.h"

namespace gui {

class Win32Peer;

// Pictures by resource name, as device-independent 24-bit bitmaps.
class PictureSource {
 public:
  virtual ~PictureSource() = default;
  struct Frame {
    HBITMAP bitmap;
    unsigned delayMs;
  };
  // Empty when the name is unknown.
  virtual const std::vector<Frame>& frames(const std::string& resource) = 0;
};

class Win32Ui : public Ui {
 public:
  Win32Ui(platform::Platform& os, HINSTANCE instance, PictureSource* pictures);
  ~Win32Ui() override;

  platform::WindowId applicationWindow() override;
  void keepApplicationWindowHidden() override;
  platform::WindowId windowOf(const Form& form) const override;
  void processMessages() override;
  void setBusyCursor(bool busy) override;
  void showProgress(const std::string& text) override;
  std::vector<std::uint8_t> resourceBytes(const std::string& name) override;

  HINSTANCE instance() const { return instance_; }
  PictureSource* pictures() const { return pictures_; }
  HFONT fontFor(const Font& font);
  HBRUSH brushFor(Color color);
  Win32Peer* peerOf(HWND window) const;
  void registerPeer(HWND window, Win32Peer* peer);

 protected:
  void realize(Form& form) override;
  void showForm(Form& form, bool show) override;
  void enableForm(Form& form, bool enable) override;
  void keepFocus() override;
  void restoreFocus(Form& top) override;
  bool handleEvent() override;

 private:
  // realize(): the page's window, then one function per kind of control.
  struct ChildStyle {
    const char* cls;
    DWORD style;    // added to the child, visible, enabled and tab-stop bits
    DWORD exStyle;
  };
  HWND makeFormWindow(Form& form);
  void realizeControl(Control& c, Form& form, HWND window, int id);
  Win32Peer& makeChild(Control& c, HWND window, int id, const ChildStyle& how);
  void realizeTimer(Control& c, HWND window, int id);
  void realizeLabel(Control& c, HWND window, int id);
  void realizeButton(Control& c, Form& form, HWND window, int id);
  void realizeSpeedButton(Control& c, HWND window, int id);
  void realizeCheckBox(Control& c, HWND window, int id);   // check and radio buttons
  void realizeContainer(Control& c, HWND window, int id);  // panels and group boxes
  void realizeLine(Control& c, HWND window, int id);
  void realizeEdit(Control& c, HWND window, int id);
  void realizeListView(Control& c, HWND window, int id);
  void realizePicture(Control& c, HWND window, int id);
  void addHint(Control& c, HWND window);
  HINSTANCE instance_;
  PictureSource* pictures_;
  HWND appWindow_ = nullptr;
  bool appWindowHidden_ = false;
  HWND focusBeforeBox_ = nullptr;
  std::map<std::string, HFONT> fonts_;
  std::map<Color, HBRUSH> brushes_;
  std::map<HWND, Win32Peer*> peers_;
  std::vector<std::unique_ptr<Win32Peer>> owned_;
  bool busy_ = false;
  HWND progress_ = nullptr;
};

}  // namespace gui
