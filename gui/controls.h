// The widget toolkit's controls: plain objects that hold their state (text,
// visibility, enabled, colour, checked, rows).  Pages read and write them;
// a backend peer, when there is one, mirrors every change on the screen and
// feeds the user's input back.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace gui {

class Form;
class Control;

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};

// A colour as a COLORREF (0x00BBGGRR), or a system colour.
using Color = std::uint32_t;
constexpr Color rgb(int r, int g, int b) {
  return static_cast<Color>(r) | static_cast<Color>(g) << 8 | static_cast<Color>(b) << 16;
}
constexpr Color kSystemColor = 0xFF000000;
constexpr Color clWindowText = kSystemColor | 8;     // COLOR_WINDOWTEXT
constexpr Color clHighlightText = kSystemColor | 14;  // COLOR_HIGHLIGHTTEXT
constexpr Color clBtnFace = kSystemColor | 15;       // COLOR_BTNFACE
constexpr Color clBlack = rgb(0, 0, 0);
constexpr Color clNavy = rgb(0, 0, 128);
constexpr Color clMaroon = rgb(128, 0, 0);
constexpr Color clRed = rgb(255, 0, 0);

struct Font {
  std::string face = "Times New Roman";
  int height = 16;  // pixels
  bool bold = false;
  bool italic = false;
  Color color = clWindowText;
};

enum class Kind {
  Form, Label, Button, SpeedButton, CheckBox, RadioButton, Panel, GroupBox, Line, Edit,
  ListView, Timer, Picture
};

enum class Prop { Text, Visible, Enabled, Color, Checked, Focus, Rows, Current, Timer, Frames };

enum class Align { Left, Right, Center };

// The backend's side of a control.
class Peer {
 public:
  virtual ~Peer() = default;
  virtual void update(Control& control, Prop prop) = 0;
};

class Control {
 public:
  Control(Form* form, Control* parent, Kind kind, std::string name, Rect bounds, std::string text);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Kind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  Form* form() const { return form_; }
  Control* parent() const { return parent_; }
  const std::vector<Control*>& children() const { return children_; }
  const Rect& bounds() const { return bounds_; }

  const std::string& text() const { return text_; }
  void setText(const std::string& text);
  bool visible() const { return visible_; }
  void setVisible(bool visible);
  void show() { setVisible(true); }
  void hide() { setVisible(false); }
  // Visible and every parent visible: what a person can see.
  bool showing() const;
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled);
  const Font& font() const { return font_; }
  void setFont(const Font& font) { font_ = font; }
  Color color() const { return font_.color; }
  void setColor(Color color);
  Align align = Align::Left;
  Color background = clBtnFace;  // panels and forms
  bool lowered = false;          // panels: an inset border
  std::string hint;              // tooltip text
  bool tabStop = false;
  // A label that continues the line of another control: it is placed right
  // after that control's text, `followGap` pixels on (backends that measure
  // text do so; the headless one keeps the bounds as given).
  Control* follows = nullptr;
  int followGap = 0;

  // Asks for the keyboard focus; the form remembers who has it.
  void setFocus();
  bool focused() const;

  std::function<void()> onClick;
  std::function<void()> onEnter;  // the control received the input focus

  Peer* peer = nullptr;

  // Backends report user input through these, without echoing to the peer.
  void inputText(const std::string& text) { text_ = text; }

  // Changes between these reach the screen once, at the end: the last state
  // of each kind that changed (a label counted up 255 times is redrawn once).
  void beginUpdate() { ++updating_; }
  void endUpdate();

 protected:
  void changed(Prop prop);

 private:
  Form* form_;
  Control* parent_;
  Kind kind_;
  std::string name_;
  Rect bounds_;
  std::string text_;
  bool visible_ = true;
  bool enabled_ = true;
  Font font_;
  std::vector<Control*> children_;
  int updating_ = 0;
  unsigned pending_ = 0;  // one bit per Prop held back
  friend class Form;
};

using Label = Control;
using Button = Control;
using Panel = Control;
using GroupBox = Control;
using Line = Control;

class SpeedButton : public Control {
 public:
  using Control::Control;
  std::string glyph;  // picture resource name, empty for none
};

// Check box or radio button.
class CheckBox : public Control {
 public:
  using Control::Control;
  bool checked() const { return checked_; }
  void setChecked(bool checked);
  void inputChecked(bool checked) { checked_ = checked; }

 private:
  bool checked_ = false;
};
using RadioButton = CheckBox;

class Edit : public Control {
 public:
  using Control::Control;
  int maxLength = 0;  // 0: no limit
};

// A report-style list view.  Rows are held here; the screen shows them.
class ListView : public Control {
 public:
  struct Column {
    std::string caption;
    int width;
  };
  using Row = std::vector<std::string>;  // caption, then the sub-items

  using Control::Control;
  std::vector<Column> columns;
  std::vector<std::string> images;  // small image list, picture resource names
  std::function<int(const Row&)> imageOf = [](const Row&) { return 0; };
  std::function<void(int row)> onInsert;
  // Less-than of two rows, for sort().
  std::function<bool(const Row&, const Row&)> compare;

  const std::vector<Row>& rows() const { return rows_; }
  int count() const { return static_cast<int>(rows_.size()); }
  const Row& row(int i) const { return rows_.at(static_cast<std::size_t>(i)); }
  int addRow(Row row);  // runs onInsert
  void clear();
  void sort();  // stable, by compare; the focused and selected rows move along
  int focusedRow() const { return focused_; }  // -1: none
  void setFocusedRow(int row);
  int selectedRow() const { return selected_; }
  void setSelectedRow(int row);
  void inputFocusedRow(int row) { focused_ = row; }
  void inputSelectedRow(int row) { selected_ = row; }

 private:
  std::vector<Row> rows_;
  int focused_ = -1;
  int selected_ = -1;
};

class Timer : public Control {
 public:
  Timer(Form* form, std::string name, unsigned interval);
  unsigned interval;
  std::function<void()> onTimer;
};

// A still or animated picture.
class Picture : public Control {
 public:
  using Control::Control;
  std::string resource;  // picture resource name
  bool animate = false;
};

}  // namespace gui
