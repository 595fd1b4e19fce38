#include "gui/form.h"

#include "gui/ui.h"

namespace gui {

Form::Form(std::string name, std::string caption, int clientWidth, int clientHeight)
    : Control(this, nullptr, Kind::Form, std::move(name), {0, 0, clientWidth, clientHeight},
              std::move(caption)) {
  setVisible(false);
}

Form::~Form() = default;

template <class T, class... A>
T* Form::add(Control* parent, A&&... args) {
  auto control = std::make_unique<T>(this, parent ? parent : this, std::forward<A>(args)...);
  T* raw = control.get();
  controls_.push_back(std::move(control));
  return raw;
}

Label* Form::label(Control* parent, const std::string& name, Rect r, const std::string& text,
                   Font font) {
  Label* c = add<Control>(parent, Kind::Label, name, r, text);
  c->setFont(font);
  return c;
}

Button* Form::button(Control* parent, const std::string& name, Rect r, const std::string& text,
                     Font font) {
  Button* c = add<Control>(parent, Kind::Button, name, r, text);
  c->setFont(font);
  c->tabStop = true;
  return c;
}

SpeedButton* Form::speedButton(Control* parent, const std::string& name, Rect r,
                               const std::string& text, Font font) {
  SpeedButton* c = add<SpeedButton>(parent, Kind::SpeedButton, name, r, text);
  c->setFont(font);
  c->tabStop = true;
  return c;
}

CheckBox* Form::checkBox(Control* parent, const std::string& name, Rect r,
                         const std::string& text, Font font) {
  CheckBox* c = add<CheckBox>(parent, Kind::CheckBox, name, r, text);
  c->setFont(font);
  c->tabStop = true;
  return c;
}

RadioButton* Form::radioButton(Control* parent, const std::string& name, Rect r,
                               const std::string& text, Font font) {
  RadioButton* c = add<CheckBox>(parent, Kind::RadioButton, name, r, text);
  c->setFont(font);
  c->tabStop = true;
  return c;
}

Panel* Form::panel(Control* parent, const std::string& name, Rect r, bool lowered) {
  Panel* c = add<Control>(parent, Kind::Panel, name, r, std::string());
  c->lowered = lowered;
  return c;
}

GroupBox* Form::groupBox(Control* parent, const std::string& name, Rect r,
                         const std::string& text) {
  return add<Control>(parent, Kind::GroupBox, name, r, text);
}

Line* Form::line(Control* parent, const std::string& name, Rect r) {
  return add<Control>(parent, Kind::Line, name, r, std::string());
}

Edit* Form::edit(Control* parent, const std::string& name, Rect r, int maxLength, Font font) {
  Edit* c = add<Edit>(parent, Kind::Edit, name, r, std::string());
  c->setFont(font);
  c->maxLength = maxLength;
  c->tabStop = true;
  return c;
}

ListView* Form::listView(Control* parent, const std::string& name, Rect r) {
  ListView* c = add<ListView>(parent, Kind::ListView, name, r, std::string());
  c->tabStop = true;
  return c;
}

Timer* Form::timer(const std::string& name, unsigned interval) {
  auto control = std::make_unique<Timer>(this, name, interval);
  Timer* raw = control.get();
  controls_.push_back(std::move(control));
  return raw;
}

Picture* Form::picture(Control* parent, const std::string& name, Rect r,
                       const std::string& resource) {
  Picture* c = add<Picture>(parent, Kind::Picture, name, r, std::string());
  c->resource = resource;
  return c;
}

Control* Form::find(const std::string& name) const {
  for (const auto& c : controls_)
    if (c->name() == name) return c.get();
  return nullptr;
}

void Form::setFocusTo(Control* control) {
  if (focus_ == control) return;
  focus_ = control;
  if (control) {
    control->changed(Prop::Focus);
    if (control->onEnter && ui_) {
      ui_->dispatch(control->onEnter);
    } else if (control->onEnter) {
      control->onEnter();
    }
  }
}

void Form::inputFocus(Control* control) {
  if (focus_ == control) return;
  focus_ = control;
  if (control && control->onEnter) {
    if (ui_) {
      ui_->dispatch(control->onEnter);
    } else {
      control->onEnter();
    }
  }
}

void Form::close() {
  if (ui_) ui_->close(*this);
}

}  // namespace gui
