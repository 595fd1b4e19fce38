// realize(): each kind of control's child window, and the peer that keeps it
// in step with the control afterwards.
#include "gui/win32/win32_internal.h"

#include <commctrl.h>

#include <memory>

namespace gui {

namespace {

constexpr int kFirstId = 100;

// The window that holds a control on screen: its nearest form or panel.
Control* hostOf(Control& c, int& dx, int& dy) {
  dx = dy = 0;
  Control* p = c.parent();
  while (p && p->kind() != Kind::Form && p->kind() != Kind::Panel &&
         p->kind() != Kind::GroupBox) {
    dx += p->bounds().x;
    dy += p->bounds().y;
    p = p->parent();
  }
  return p;
}

int textWidth(HWND, const Control& c) {
  // One screen-compatible memory DC measures every label: a window's DC
  // would cost two trips to the window system per label.
  static HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, theUi->fontFor(c.font()));
  SIZE size{};
  GetTextExtentPoint32A(dc, c.text().c_str(), static_cast<int>(c.text().size()), &size);
  SelectObject(dc, old);
  return size.cx + 7;  // room for the last glyph's overhang, which the extent leaves out
}

}  // namespace

void Win32Peer::update(Control& c, Prop prop) {
  switch (prop) {
    case Prop::Text:
      if (autoWidth) {
        // A label filled at run time grows with its text.
        width = textWidth(window, c);
        SetWindowPos(window, nullptr, 0, 0, width, c.bounds().h,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      if (c.kind() != Kind::ListView) SetWindowTextA(window, c.text().c_str());
      if (c.kind() == Kind::SpeedButton) InvalidateRect(window, nullptr, TRUE);
      break;
    case Prop::Visible:
      if (c.kind() == Kind::Timer) break;
      if (c.kind() != Kind::Form) ShowWindow(window, c.visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case Prop::Enabled:
      if (c.kind() == Kind::Timer) {
        if (c.enabled()) {
          SetTimer(window, static_cast<UINT_PTR>(id), static_cast<Timer&>(c).interval, nullptr);
        } else {
          KillTimer(window, static_cast<UINT_PTR>(id));
        }
      } else {
        EnableWindow(window, c.enabled());
        InvalidateRect(window, nullptr, TRUE);
      }
      break;
    case Prop::Color:
      InvalidateRect(window, nullptr, TRUE);
      break;
    case Prop::Checked:
      SendMessageA(window, BM_SETCHECK, static_cast<CheckBox&>(c).checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case Prop::Focus:
      SetFocus(window);
      break;
    case Prop::Rows:
      applyRows();
      break;
    case Prop::Current:
      applyCurrent();
      break;
    case Prop::Timer:
    case Prop::Frames:
      break;
  }
}

// New rows, drawn once.  The list redraws its scroll bar (themed, and slow
// under Wine) on every change of its count and of its position, and paints
// its rows again when it scrolls to the current row: while the count and
// the current row are set it is not drawable, and then it is drawn once.
void Win32Peer::applyRows() {
  auto& list = static_cast<ListView&>(control);
  // Not drawable drops what the header was waiting to draw: it gets it back.
  HWND header = reinterpret_cast<HWND>(SendMessageA(window, LVM_GETHEADER, 0, 0));
  bool headerDue = header && GetUpdateRect(header, nullptr, FALSE);
  DefWindowProcA(window, WM_SETREDRAW, FALSE, 0);
  SendMessageA(window, LVM_SETITEMCOUNT, static_cast<WPARAM>(list.count()), LVSICF_NOSCROLL);
  applyCurrent();
  DefWindowProcA(window, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_NOCHILDREN);
  if (headerDue) RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void Win32Peer::applyCurrent() {
  auto& list = static_cast<ListView&>(control);
  int focused = list.focusedRow(), selected = list.selectedRow();
  // The list echoes each change as LVN_ITEMCHANGED; the model is the truth here.
  applying = true;
  LVITEMA clear{};
  clear.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
  SendMessageA(window, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  if (focused >= 0) {
    LVITEMA f{};
    f.stateMask = f.state = LVIS_FOCUSED;
    SendMessageA(window, LVM_SETITEMSTATE, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&f));
  }
  if (selected >= 0) {
    LVITEMA s{};
    s.stateMask = s.state = LVIS_SELECTED;
    SendMessageA(window, LVM_SETITEMSTATE, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&s));
    SendMessageA(window, LVM_ENSUREVISIBLE, static_cast<WPARAM>(selected), FALSE);
  }
  applying = false;
}

void Win32Ui::realize(Form& form) {
  HWND window = makeFormWindow(form);
  int id = kFirstId;
  for (const auto& c : form.controls()) realizeControl(*c, form, window, id++);
}

HWND Win32Ui::makeFormWindow(Form& form) {
  DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN | (form.closeBox ? WS_SYSMENU : 0);
  DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  RECT r{0, 0, form.clientWidth(), form.clientHeight()};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = work.left + (work.right - work.left - w) / 2;
  int y = work.top + (work.bottom - work.top - h) / 2;
  HWND window = CreateWindowExA(exStyle, kContainerClass, form.text().c_str(), style, x, y, w, h,
                                reinterpret_cast<HWND>(applicationWindow()), nullptr, instance_,
                                nullptr);
  owned_.push_back(std::make_unique<Win32Peer>(*this, form, window, 0));
  form.peer = owned_.back().get();
  registerPeer(window, owned_.back().get());
  return window;
}

void Win32Ui::realizeControl(Control& c, Form& form, HWND window, int id) {
  switch (c.kind()) {
    case Kind::Timer:
      realizeTimer(c, window, id);
      return;  // a timer has no window of its own, and no hint
    case Kind::Label:
      realizeLabel(c, window, id);
      break;
    case Kind::Button:
      realizeButton(c, form, window, id);
      break;
    case Kind::SpeedButton:
      realizeSpeedButton(c, window, id);
      break;
    case Kind::CheckBox:
    case Kind::RadioButton:
      realizeCheckBox(c, window, id);
      break;
    case Kind::Panel:
    case Kind::GroupBox:
      realizeContainer(c, window, id);
      break;
    case Kind::Line:
      realizeLine(c, window, id);
      break;
    case Kind::Edit:
      realizeEdit(c, window, id);
      break;
    case Kind::ListView:
      realizeListView(c, window, id);
      break;
    case Kind::Picture:
      realizePicture(c, window, id);
      break;
    case Kind::Form:
      makeChild(c, window, id, {"STATIC", 0, 0});
      break;
  }
  addHint(c, window);
}

Win32Peer& Win32Ui::makeChild(Control& c, HWND window, int id, const ChildStyle& how) {
  int dx, dy;
  Control* host = hostOf(c, dx, dy);
  HWND parent = host ? static_cast<Win32Peer*>(host->peer)->window : window;
  DWORD s = WS_CHILD | WS_CLIPSIBLINGS | (c.visible() ? WS_VISIBLE : 0) |
            (c.enabled() ? 0 : WS_DISABLED) | (c.tabStop ? WS_TABSTOP : 0) | how.style;
  const Rect& b = c.bounds();
  int width = b.w;
  bool autoWidth = c.kind() == Kind::Label && width == 0;
  if (autoWidth) width = textWidth(window, c);
  int left = b.x + dx;
  if (c.follows && c.follows->peer) {
    // Goes on in the line of another control, right after its text.
    auto* before = static_cast<Win32Peer*>(c.follows->peer);
    left = before->left + before->width + c.followGap;
  }
  HWND child = CreateWindowExA(how.exStyle, how.cls,
                               c.kind() == Kind::ListView ? "" : c.text().c_str(), s, left,
                               b.y + dy, width, b.h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_,
                               nullptr);
  owned_.push_back(std::make_unique<Win32Peer>(*this, c, child, id));
  Win32Peer* peer = owned_.back().get();
  peer->left = left;
  peer->width = width;
  peer->autoWidth = autoWidth;
  c.peer = peer;
  registerPeer(child, peer);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(c.font())), FALSE);
  return *peer;
}

void Win32Ui::realizeTimer(Control& c, HWND window, int id) {
  owned_.push_back(std::make_unique<Win32Peer>(*this, c, window, id));
  c.peer = owned_.back().get();
}

void Win32Ui::realizeLabel(Control& c, HWND window, int id) {
  DWORD align = c.align == Align::Right    ? SS_RIGHT
                : c.align == Align::Center ? SS_CENTER
                                           : SS_LEFTNOWORDWRAP;
  makeChild(c, window, id, {"STATIC", SS_NOPREFIX | align, 0});
}

void Win32Ui::realizeButton(Control& c, Form& form, HWND window, int id) {
  DWORD style = BS_PUSHBUTTON | BS_NOTIFY | (form.defaultButton == &c ? BS_DEFPUSHBUTTON : 0);
  makeChild(c, window, id, {"BUTTON", style, 0});
}

void Win32Ui::realizeSpeedButton(Control& c, HWND window, int id) {
  Win32Peer& peer = makeChild(c, window, id, {"BUTTON", BS_OWNERDRAW | BS_NOTIFY, 0});
  peer.original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(peer.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(speedButtonProc)));
}

void Win32Ui::realizeCheckBox(Control& c, HWND window, int id) {
  DWORD style = (c.kind() == Kind::RadioButton ? BS_AUTORADIOBUTTON : BS_AUTOCHECKBOX) | BS_NOTIFY;
  Win32Peer& peer = makeChild(c, window, id, {"BUTTON", style, 0});
  peer.update(c, Prop::Checked);
}

void Win32Ui::realizeContainer(Control& c, HWND window, int id) {
  // A group box is a container of its own too, so that its radio buttons
  // form one group and are drawn over it.
  makeChild(c, window, id, {kContainerClass, 0, WS_EX_CONTROLPARENT});
}

void Win32Ui::realizeLine(Control& c, HWND window, int id) {
  Win32Peer& peer = makeChild(c, window, id, {"STATIC", SS_ETCHEDHORZ, 0});
  // Frames and lines lie under the controls drawn on them.
  SetWindowPos(peer.window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32Ui::realizeEdit(Control& c, HWND window, int id) {
  Win32Peer& peer = makeChild(c, window, id, {"EDIT", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE});
  if (auto& e = static_cast<Edit&>(c); e.maxLength > 0)
    SendMessageA(peer.window, EM_LIMITTEXT, static_cast<WPARAM>(e.maxLength), 0);
}

void Win32Ui::realizeListView(Control& c, HWND window, int id) {
  // Clipping its header: a change of rows does not draw the header again.
  Win32Peer& peer = makeChild(c, window, id,
                              {WC_LISTVIEWA,
                               LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                   WS_CLIPCHILDREN,
                               WS_EX_CLIENTEDGE});
  auto& list = static_cast<ListView&>(c);
  HWND child = peer.window;
  SendMessageA(child, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  if (HWND header = reinterpret_cast<HWND>(SendMessageA(child, LVM_GETHEADER, 0, 0))) {
    peer.headerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listHeaderProc)));
  }
  for (std::size_t i = 0; i < list.columns.size(); ++i) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = list.columns[i].width;
    col.pszText = const_cast<char*>(list.columns[i].caption.c_str());
    SendMessageA(child, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
  }
  if (!list.images.empty() && pictures_) {
    peer.images = ImageList_Create(16, 16, ILC_COLOR24, static_cast<int>(list.images.size()), 0);
    for (const auto& name : list.images) {
      const auto& frames = pictures_->frames(name);
      if (!frames.empty()) ImageList_Add(peer.images, frames[0].bitmap, nullptr);
    }
    SendMessageA(child, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(peer.images));
  }
  peer.applyRows();
}

void Win32Ui::realizePicture(Control& c, HWND window, int id) {
  scheduleFrame(makeChild(c, window, id, {kPictureClass, 0, 0}));
}

void Win32Ui::addHint(Control& c, HWND window) {
  if (c.hint.empty()) return;
  auto* peer = static_cast<Win32Peer*>(c.peer);
  HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                             window, nullptr, instance_, nullptr);
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = GetParent(peer->window);
  ti.uId = reinterpret_cast<UINT_PTR>(peer->window);
  ti.lpszText = const_cast<char*>(c.hint.c_str());
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace gui
