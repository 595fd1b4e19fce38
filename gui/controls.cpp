#include "gui/controls.h"

#include <algorithm>

#include "gui/form.h"

namespace gui {

Control::Control(Form* form, Control* parent, Kind kind, std::string name, Rect bounds,
                 std::string text)
    : form_(form), parent_(parent), kind_(kind), name_(std::move(name)), bounds_(bounds),
      text_(std::move(text)) {
  if (parent_) parent_->children_.push_back(this);
}

void Control::changed(Prop prop) {
  if (updating_) {
    pending_ |= 1u << static_cast<unsigned>(prop);
  } else if (peer) {
    peer->update(*this, prop);
  }
}

void Control::endUpdate() {
  if (updating_ == 0 || --updating_ > 0 || pending_ == 0) return;
  const unsigned held = pending_;
  pending_ = 0;
  auto was = [held](Prop p) { return (held & (1u << static_cast<unsigned>(p))) != 0; };
  for (Prop p : {Prop::Text, Prop::Visible, Prop::Enabled, Prop::Color, Prop::Checked, Prop::Rows,
                 Prop::Current, Prop::Focus, Prop::Timer, Prop::Frames}) {
    // New rows carry the focused and selected rows with them.
    if (!was(p) || (p == Prop::Current && was(Prop::Rows))) continue;
    if (peer) peer->update(*this, p);
  }
}

void Control::setText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  changed(Prop::Text);
}

void Control::setVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  changed(Prop::Visible);
}

bool Control::showing() const {
  for (const Control* c = this; c; c = c->parent_)
    if (!c->visible_) return false;
  return true;
}

void Control::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  changed(Prop::Enabled);
}

void Control::setColor(Color color) {
  if (color == font_.color) return;
  font_.color = color;
  changed(Prop::Color);
}

void Control::setFocus() {
  if (form_) form_->setFocusTo(this);
}

bool Control::focused() const { return form_ && form_->focus() == this; }

void CheckBox::setChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (checked && kind() == Kind::RadioButton && parent()) {
    // Radio buttons in one parent exclude each other.
    for (Control* sibling : parent()->children())
      if (sibling != this && sibling->kind() == Kind::RadioButton)
        static_cast<CheckBox*>(sibling)->setChecked(false);
  }
  changed(Prop::Checked);
}

int ListView::addRow(Row row) {
  rows_.push_back(std::move(row));
  int index = count() - 1;
  changed(Prop::Rows);
  if (onInsert) onInsert(index);
  return index;
}

void ListView::clear() {
  rows_.clear();
  focused_ = selected_ = -1;
  changed(Prop::Rows);
}

void ListView::sort() {
  if (!compare) return;
  std::vector<int> order(rows_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
    return compare(rows_[static_cast<std::size_t>(a)], rows_[static_cast<std::size_t>(b)]);
  });
  std::vector<Row> sorted;
  sorted.reserve(rows_.size());
  int focused = -1, selected = -1;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (order[i] == focused_) focused = static_cast<int>(i);
    if (order[i] == selected_) selected = static_cast<int>(i);
    sorted.push_back(std::move(rows_[static_cast<std::size_t>(order[i])]));
  }
  rows_ = std::move(sorted);
  focused_ = focused;
  selected_ = selected;
  changed(Prop::Rows);
}

void ListView::setFocusedRow(int row) {
  focused_ = row >= 0 && row < count() ? row : -1;
  changed(Prop::Current);
}

void ListView::setSelectedRow(int row) {
  selected_ = row >= 0 && row < count() ? row : -1;
  changed(Prop::Current);
}

Timer::Timer(Form* form, std::string name, unsigned interval_)
    : Control(form, nullptr, Kind::Timer, std::move(name), {}, {}), interval(interval_) {
  setEnabled(false);
}

}  // namespace gui
