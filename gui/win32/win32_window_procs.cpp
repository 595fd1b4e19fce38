// The window procedures: a page's and a panel's commands and notifications,
// speed buttons lit and drawn, pictures painted and animated.
#include "gui/win32/win32_internal.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace gui {

namespace {

constexpr UINT_PTR kAnimationTimer = 1;

Win32Peer* peerOf(HWND w) { return theUi ? theUi->peerOf(w) : nullptr; }

Control* controlWithId(Form& form, int id) {
  for (const auto& c : form.controls())
    if (auto* p = dynamic_cast<Win32Peer*>(c->peer); p && p->id == id) return c.get();
  return nullptr;
}

void clickIfUsable(Control* button) {
  if (!button || !button->showing() || !button->enabled() || !button->onClick) return;
  theUi->dispatch(button->onClick);
}

void drawSpeedButton(const DRAWITEMSTRUCT& d, Control& c) {
  HDC dc = d.hDC;
  RECT r = d.rcItem;
  FillRect(dc, &r, theUi->brushFor(c.parent() ? c.parent()->background : clBtnFace));
  bool pushed = d.itemState & ODS_SELECTED;
  // Flat: a raised edge while the mouse is over it, sunken while pressed.
  bool hot = c.peer && static_cast<Win32Peer*>(c.peer)->hot && c.enabled();
  if (pushed) {
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  } else if (hot) {
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  }
  auto& sb = static_cast<SpeedButton&>(c);
  int textLeft = r.left;
  if (!sb.glyph.empty() && theUi->pictures()) {
    const auto& frames = theUi->pictures()->frames(sb.glyph);
    if (!frames.empty()) {
      BITMAP bm{};
      GetObject(frames[0].bitmap, sizeof bm, &bm);
      HDC mem = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(mem, frames[0].bitmap);
      int x = r.left + 4, y = r.top + (r.bottom - r.top - bm.bmHeight) / 2;
      BitBlt(dc, x + pushed, y + pushed, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
      SelectObject(mem, old);
      DeleteDC(mem);
      textLeft = x + bm.bmWidth;
    }
  }
  RECT tr{textLeft + pushed, r.top + pushed, r.right + pushed, r.bottom + pushed};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, c.enabled() ? colorRef(c.color()) : GetSysColor(COLOR_GRAYTEXT));
  HGDIOBJ oldFont = SelectObject(dc, theUi->fontFor(c.font()));
  DrawTextA(dc, c.text().c_str(), -1, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, oldFont);
  if (d.itemState & ODS_FOCUS) {
    RECT f = r;
    InflateRect(&f, -3, -3);
    DrawFocusRect(dc, &f);
  }
}

void paintPicture(HWND w, Win32Peer& p) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w, &ps);
  RECT r;
  GetClientRect(w, &r);
  const std::vector<PictureSource::Frame>* frames = nullptr;
  auto& pic = static_cast<Picture&>(p.control);
  if (theUi->pictures()) frames = &theUi->pictures()->frames(pic.resource);
  if (frames && !frames->empty()) {
    HBITMAP bmp = (*frames)[static_cast<std::size_t>(p.frame) % frames->size()].bitmap;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(dc, 0, 0, r.right, r.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
  } else {
    FillRect(dc, &r, theUi->brushFor(clBtnFace));
  }
  EndPaint(w, &ps);
}

void onCommand(Win32Peer& container, WPARAM wp, LPARAM lp) {
  Form& form = *container.control.form();
  int code = HIWORD(wp);
  // Under a message box the pages are disabled, and so is every page under
  // the top one; a click that gets there all the same (a posted one) is
  // dropped.
  const auto& open = theUi->openForms();
  bool covered = open.empty() || open.back() != &form;
  if ((theUi->messageBoxUp() || covered) && (lp == 0 || code == BN_CLICKED)) return;
  if (lp == 0) {  // IsDialogMessage's Enter and Escape
    if (LOWORD(wp) == IDOK) clickIfUsable(form.defaultButton);
    if (LOWORD(wp) == IDCANCEL) clickIfUsable(form.cancelButton);
    return;
  }
  Win32Peer* p = peerOf(reinterpret_cast<HWND>(lp));
  if (!p) return;
  Control& c = p->control;
  switch (code) {
    case BN_CLICKED:
      if (c.kind() == Kind::RadioButton || c.kind() == Kind::CheckBox) {
        auto& box = static_cast<CheckBox&>(c);
        bool checked = SendMessageA(p->window, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (c.kind() == Kind::RadioButton && checked) {
          box.setChecked(true);
        } else {
          box.inputChecked(checked);
        }
      }
      if (c.onClick) theUi->dispatch(c.onClick);
      break;
    case BN_SETFOCUS:
    case EN_SETFOCUS:
      form.inputFocus(&c);
      break;
    case EN_CHANGE: {
      int n = GetWindowTextLengthA(p->window);
      std::string text(static_cast<std::size_t>(n) + 1, '\0');
      GetWindowTextA(p->window, text.data(), n + 1);
      text.resize(static_cast<std::size_t>(n));
      c.inputText(text);
      break;
    }
  }
}

LRESULT onNotify(LPARAM lp) {
  auto* hdr = reinterpret_cast<NMHDR*>(lp);
  Win32Peer* p = peerOf(hdr->hwndFrom);
  if (!p || p->control.kind() != Kind::ListView) return 0;
  auto& list = static_cast<ListView&>(p->control);
  switch (hdr->code) {
    case LVN_GETDISPINFOA: {
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(lp);
      LVITEMA& item = info->item;
      if (item.iItem < 0 || item.iItem >= list.count()) return 0;
      const auto& row = list.row(item.iItem);
      if (item.mask & LVIF_TEXT) {
        std::size_t col = static_cast<std::size_t>(item.iSubItem);
        const std::string& text = col < row.size() ? row[col] : std::string();
        lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
      }
      if (item.mask & LVIF_IMAGE) item.iImage = list.imageOf(row);
      return 0;
    }
    case LVN_ITEMCHANGED:
      if (p->applying) return 0;
      list.inputFocusedRow(static_cast<int>(
          SendMessageA(p->window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
      list.inputSelectedRow(static_cast<int>(
          SendMessageA(p->window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
      return 0;
    case NM_SETFOCUS:
      list.form()->inputFocus(&list);
      return 0;
  }
  return 0;
}

// A panel's or group box's background, and a page's.
void eraseContainer(HWND w, HDC dc, Control& c) {
  RECT r;
  GetClientRect(w, &r);
  FillRect(dc, &r, theUi->brushFor(c.background));
  if (c.lowered) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  if (c.kind() == Kind::GroupBox) {
    // An etched frame, with the caption (if any) cut into its top edge.
    RECT frame = r;
    frame.top += c.font().height / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!c.text().empty()) {
      HGDIOBJ old = SelectObject(dc, theUi->fontFor(c.font()));
      SetBkColor(dc, colorRef(c.background));
      SetTextColor(dc, colorRef(c.color()));
      TextOutA(dc, 8, 0, c.text().c_str(), static_cast<int>(c.text().size()));
      SelectObject(dc, old);
    }
  }
}

// The messages only a page's own window answers: its timers' ticks, its
// close box, and which button Enter presses.
LRESULT onPageMessage(Form& form, UINT m, WPARAM wp) {
  switch (m) {
    case WM_TIMER:
      if (Control* t = controlWithId(form, static_cast<int>(wp)))
        theUi->timerTick(*static_cast<Timer*>(t));
      return 0;
    case WM_CLOSE:
      // Only the main window and a page with a close box can be closed so;
      // every other page is left through its own buttons.  Not under a
      // message box.
      if (theUi->messageBoxUp()) return 0;
      if (form.closeBox || theUi->mainForm() == &form) form.close();
      return 0;
    case DM_GETDEFID:
      if (auto* b = form.defaultButton; b && b->peer)
        return MAKELRESULT(static_cast<Win32Peer*>(b->peer)->id, DC_HASDEFID);
      return 0;
  }
  return 0;
}

}  // namespace

LRESULT CALLBACK appProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

void scheduleFrame(Win32Peer& p) {
  auto& pic = static_cast<Picture&>(p.control);
  if (!pic.animate || !theUi->pictures()) return;
  const auto& frames = theUi->pictures()->frames(pic.resource);
  if (frames.size() < 2) return;
  unsigned delay = frames[static_cast<std::size_t>(p.frame) % frames.size()].delayMs;
  SetTimer(p.window, kAnimationTimer, std::max(20u, delay), nullptr);
}

// Speed buttons light up under the mouse, as flat buttons do.
LRESULT CALLBACK speedButtonProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  Win32Peer* p = peerOf(w);
  if (!p) return DefWindowProcA(w, m, wp, lp);
  if (m == WM_MOUSEMOVE && !p->hot) {
    p->hot = true;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, w, 0};
    TrackMouseEvent(&track);
    InvalidateRect(w, nullptr, FALSE);
  } else if (m == WM_MOUSELEAVE) {
    p->hot = false;
    InvalidateRect(w, nullptr, FALSE);
  }
  return CallWindowProcA(p->original, w, m, wp, lp);
}

// A list's header keeps the width of the list without its vertical scroll
// bar, so that the bar coming or going neither resizes nor repaints it (a
// themed header draws every column again on any repaint); the bar hides
// the end of it.
LRESULT CALLBACK listHeaderProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  Win32Peer* list = peerOf(GetParent(w));
  if (!list || !list->headerProc) return DefWindowProcA(w, m, wp, lp);
  if (m == WM_WINDOWPOSCHANGING) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
    RECT client{};
    GetClientRect(list->window, &client);
    bool bar = GetWindowLongA(list->window, GWL_STYLE) & WS_VSCROLL;
    int right = client.right + (bar ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    int left = pos->x;
    if (pos->flags & SWP_NOMOVE) {  // where it is now
      RECT now{};
      GetWindowRect(w, &now);
      MapWindowPoints(nullptr, list->window, reinterpret_cast<POINT*>(&now), 2);
      left = now.left;
    }
    if (!(pos->flags & SWP_NOSIZE)) pos->cx = std::max(pos->cx, right - left);
  }
  return CallWindowProcA(list->headerProc, w, m, wp, lp);
}

LRESULT CALLBACK pictureProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  Win32Peer* p = peerOf(w);
  if (p) {
    switch (m) {
      case WM_PAINT:
        paintPicture(w, *p);
        return 0;
      case WM_ERASEBKGND:
        return 1;
      case WM_TIMER:
        if (wp == kAnimationTimer) {
          KillTimer(w, kAnimationTimer);
          ++p->frame;
          InvalidateRect(w, nullptr, FALSE);
          scheduleFrame(*p);
          return 0;
        }
        break;
    }
  }
  return DefWindowProcA(w, m, wp, lp);
}

LRESULT CALLBACK containerProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  Win32Peer* p = peerOf(w);
  if (!p) return DefWindowProcA(w, m, wp, lp);
  Control& c = p->control;
  switch (m) {
    case WM_COMMAND:
      onCommand(*p, wp, lp);
      return 0;
    case WM_NOTIFY:
      return onNotify(lp);
    case WM_DRAWITEM: {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (Win32Peer* item = peerOf(d->hwndItem)) drawSpeedButton(*d, item->control);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wp);
      Win32Peer* child = peerOf(reinterpret_cast<HWND>(lp));
      SetBkMode(dc, TRANSPARENT);
      if (child) SetTextColor(dc, colorRef(child->control.color()));
      return reinterpret_cast<LRESULT>(theUi->brushFor(c.background));
    }
    case WM_ERASEBKGND:
      eraseContainer(w, reinterpret_cast<HDC>(wp), c);
      return 1;
    case WM_TIMER:
    case WM_CLOSE:
    case DM_GETDEFID:
      if (c.kind() == Kind::Form) return onPageMessage(static_cast<Form&>(c), m, wp);
      break;
  }
  return DefWindowProcA(w, m, wp, lp);
}

}  // namespace gui
