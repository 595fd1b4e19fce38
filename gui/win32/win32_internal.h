// What the pieces of the Win32 toolkit share; nothing outside gui/win32
// includes it.  The pieces:
//   win32_ui.cpp            the Ui object: pages shown and enabled, the focus,
//                           the modal event loop, the busy cursor, the
//                           progress window, fonts, brushes and resources;
//   win32_realize.cpp       each kind of control's child window, made and
//                           kept in step with the control;
//   win32_window_procs.cpp  the window procedures: commands and
//                           notifications, speed buttons and pictures drawn.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "gui/win32/win32_ui.h"

namespace gui {

// The window classes the Ui registers.
inline constexpr char kAppClass[] = "TApplication";
inline constexpr char kContainerClass[] = "TWizContainer";
inline constexpr char kPictureClass[] = "TWizPicture";

inline COLORREF colorRef(Color c) {
  return (c & kSystemColor) ? GetSysColor(static_cast<int>(c & 0xFF)) : static_cast<COLORREF>(c);
}

// One control's window, kept in step with the control object.
class Win32Peer : public Peer {
 public:
  Win32Peer(Win32Ui& ui, Control& control, HWND window, int id)
      : ui(ui), control(control), window(window), id(id) {}

  void update(Control& c, Prop prop) override;
  void applyRows();
  void applyCurrent();

  Win32Ui& ui;
  Control& control;
  HWND window;
  int id;
  int frame = 0;  // animated pictures
  bool applying = false;  // list views: setting rows' states from the model
  bool hot = false;       // speed buttons: the mouse is over it
  WNDPROC original = nullptr;
  WNDPROC headerProc = nullptr;  // list views: their header's own procedure
  HIMAGELIST images = nullptr;
  int left = 0, width = 0;  // the window's place in its host, as made
  bool autoWidth = false;   // a label as wide as its text
};

// The one Ui, for the window procedures; set while it lives.
extern Win32Ui* theUi;

// The classes' procedures, registered by the Ui.
LRESULT CALLBACK appProc(HWND w, UINT m, WPARAM wp, LPARAM lp);
LRESULT CALLBACK containerProc(HWND w, UINT m, WPARAM wp, LPARAM lp);
LRESULT CALLBACK pictureProc(HWND w, UINT m, WPARAM wp, LPARAM lp);
// Put in place of a control's own procedure when it is made.
LRESULT CALLBACK speedButtonProc(HWND w, UINT m, WPARAM wp, LPARAM lp);
LRESULT CALLBACK listHeaderProc(HWND w, UINT m, WPARAM wp, LPARAM lp);

// Starts the timer for an animated picture's next frame.
void scheduleFrame(Win32Peer& p);

}  // namespace gui
