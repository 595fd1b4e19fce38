// A page: a fixed-size dialog window that owns its controls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/controls.h"

namespace gui {

class Ui;

enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

class Form : public Control {
 public:
  Form(std::string name, std::string caption, int clientWidth, int clientHeight);
  ~Form() override;

  int clientWidth() const { return bounds().w; }
  int clientHeight() const { return bounds().h; }
  bool closeBox = false;  // system menu with a close box in the title bar
  Control* defaultButton = nullptr;  // Enter
  Control* cancelButton = nullptr;   // Escape

  // Creating controls; parent null means the form itself.
  Label* label(Control* parent, const std::string& name, Rect r, const std::string& text,
               Font font = {});
  Button* button(Control* parent, const std::string& name, Rect r, const std::string& text,
                 Font font = {});
  SpeedButton* speedButton(Control* parent, const std::string& name, Rect r,
                           const std::string& text, Font font = {});
  CheckBox* checkBox(Control* parent, const std::string& name, Rect r, const std::string& text,
                     Font font = {});
  RadioButton* radioButton(Control* parent, const std::string& name, Rect r,
                           const std::string& text, Font font = {});
  Panel* panel(Control* parent, const std::string& name, Rect r, bool lowered = true);
  GroupBox* groupBox(Control* parent, const std::string& name, Rect r, const std::string& text);
  Line* line(Control* parent, const std::string& name, Rect r);
  Edit* edit(Control* parent, const std::string& name, Rect r, int maxLength, Font font = {});
  ListView* listView(Control* parent, const std::string& name, Rect r);
  Timer* timer(const std::string& name, unsigned interval);
  Picture* picture(Control* parent, const std::string& name, Rect r, const std::string& resource);

  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  Control* find(const std::string& name) const;
  Control* focus() const { return focus_; }
  // The backend reports that the user moved the focus.
  void inputFocus(Control* control);

  // Page events.
  virtual void FormShow() {}
  virtual void FormClose() {}

  int modalResult = mrNone;
  bool isOpen() const { return open_; }

  // Closes the page: a modal page ends its loop with mrCancel; the main
  // window ends the program.
  void close();

 private:
  template <class T, class... A>
  T* add(Control* parent, A&&... args);
  void setFocusTo(Control* control);

  std::vector<std::unique_ptr<Control>> controls_;
  Control* focus_ = nullptr;
  bool open_ = false;
  bool realized_ = false;  // its windows are made
  Ui* ui_ = nullptr;
  friend class Control;
  friend class Ui;
};

}  // namespace gui
