#include "gui/win32/win32_ui.h"

#include <commctrl.h>

#include <algorithm>

namespace gui {

namespace {

constexpr char kAppClass[] = "TApplication";
constexpr char kContainerClass[] = "TWizContainer";
constexpr char kPictureClass[] = "TWizPicture";
constexpr int kFirstId = 100;
constexpr UINT_PTR kAnimationTimer = 1;

COLORREF colorRef(Color c) {
  return (c & kSystemColor) ? GetSysColor(static_cast<int>(c & 0xFF)) : static_cast<COLORREF>(c);
}

LRESULT CALLBACK containerProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK pictureProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK appProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

}  // namespace

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

namespace {

Win32Ui* theUi = nullptr;

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
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(w, &r);
      HDC dc = reinterpret_cast<HDC>(wp);
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
      return 1;
    }
    case WM_TIMER:
      if (c.kind() == Kind::Form) {
        if (Control* t = controlWithId(static_cast<Form&>(c), static_cast<int>(wp)))
          theUi->timerTick(*static_cast<Timer*>(t));
        return 0;
      }
      break;
    case WM_CLOSE:
      if (c.kind() == Kind::Form) {
        auto& form = static_cast<Form&>(c);
        // Only the main window and a page with a close box can be closed so;
        // every other page is left through its own buttons.  Not under a
        // message box.
        if (theUi->messageBoxUp()) return 0;
        if (form.closeBox || theUi->mainForm() == &form) form.close();
        return 0;
      }
      break;
    case DM_GETDEFID:
      if (c.kind() == Kind::Form) {
        auto& form = static_cast<Form&>(c);
        if (auto* b = form.defaultButton; b && b->peer)
          return MAKELRESULT(static_cast<Win32Peer*>(b->peer)->id, DC_HASDEFID);
        return 0;
      }
      break;
  }
  return DefWindowProcA(w, m, wp, lp);
}

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

}  // namespace

namespace {

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
    ShowWindow(appWindow_, SW_SHOWNOACTIVATE);
  }
  return reinterpret_cast<platform::WindowId>(appWindow_);
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
