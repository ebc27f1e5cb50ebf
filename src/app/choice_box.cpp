// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/choice_box.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QLineEdit>
#include <QStringList>
#include <QStringListModel>

#include "store/cell_text.h"

namespace {
// For a screen reader a choice box is named by its own accessible name on every platform. The
// toolkit's combo box names itself by its text on Linux and leaves the heading to a label
// relation, which only a label widget can give and a heading field cannot; with no such relation
// "Wert km/€/Zeit/Anzahl" would be heard as "0". Its parts are those of the toolkit's: the list
// that opens, then the text field.
class ChoiceBoxAccessible : public QAccessibleWidget {
 public:
  explicit ChoiceBoxAccessible(ChoiceBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

  int childCount() const override { return 2; }
  QAccessibleInterface* child(int index) const override {
    if (index == 0) return QAccessible::queryAccessibleInterface(Box()->view());
    if (index == 1) return QAccessible::queryAccessibleInterface(Box()->lineEdit());
    return nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (!child) return -1;
    if (child->object() == Box()->view()) return 0;
    if (child->object() == Box()->lineEdit()) return 1;
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QLineEdit* edit = Box()->lineEdit();
    if (edit && edit->rect().contains(edit->mapFromGlobal(QPoint(x, y)))) return child(1);
    return nullptr;
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return Box()->currentText();
    return QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.expandable = true;
    state.expanded = Box()->view()->isVisible();
    state.collapsed = !state.expanded;
    return state;
  }
  QStringList actionNames() const override {
    return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& name) override {
    if (name != showMenuAction()) return QAccessibleWidget::doAction(name);
    if (Box()->view()->isVisible())
      Box()->hidePopup();
    else
      Box()->showPopup();
  }

 private:
  ChoiceBox* Box() const { return static_cast<ChoiceBox*>(widget()); }
};

QAccessibleInterface* ChoiceBoxAccessibleFor(const QString& className, QObject* object) {
  if (className == QLatin1String("ChoiceBox") && object && object->isWidgetType())
    return new ChoiceBoxAccessible(static_cast<ChoiceBox*>(object));
  return nullptr;
}
}  // namespace

ChoiceBox::ChoiceBox(QWidget* parent) : QComboBox(parent) {
  static const bool accessibleFactory = [] {
    QAccessible::installFactory(ChoiceBoxAccessibleFor);
    return true;
  }();
  Q_UNUSED(accessibleFactory);
  // A plain list of texts: filling it is one reset, where the toolkit's own model makes an item
  // of every entry and tells the view of each.
  choices_ = new QStringListModel(this);
  setModel(choices_);
  // The flag is raised by a connection made before the combo box makes its own to the same
  // signals and lowered by one made after: connections run in the order they were made.
  auto* edit = new QLineEdit(this);
  const auto raise = [this] { finishingEdit_ = true; };
  const auto lower = [this] { finishingEdit_ = false; };
  connect(edit, &QLineEdit::returnPressed, this, raise);
  connect(edit, &QLineEdit::editingFinished, this, raise);
  setLineEdit(edit);  // makes the box editable
  connect(edit, &QLineEdit::returnPressed, this, lower);
  connect(edit, &QLineEdit::editingFinished, this, lower);
  setCompleter(nullptr);
  setInsertPolicy(QComboBox::NoInsert);
  // Only the user's own keystrokes: texts the program sets are no typing.
  connect(edit, &QLineEdit::textEdited, this, [this] { typed_ = true; });
  connect(this, &QComboBox::activated, this, [this] {
    if (finishingEdit_) return;
    typed_ = false;
    shown_.reset();
    emit Chosen();
  });
}

void ChoiceBox::SetChoices(const std::vector<Value>& cells) {
  cells_ = cells;
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(cells.size()));
  for (const Value& cell : cells) texts << CellText(cell);
  choices_->setStringList(texts);
  // A new list selects its first entry; none is chosen yet.
  setCurrentIndex(-1);
  clearEditText();
  typed_ = false;
  shown_.reset();
}

void ChoiceBox::ShowCell(const Value& cell) {
  shownText_ = CellText(cell);
  setEditText(shownText_);
  shown_ = cell;
  typed_ = false;
}

Value ChoiceBox::Cell() const {
  const QString text = currentText();
  if (!typed_) {
    if (shown_ && shownText_ == text) return *shown_;
    const int index = currentIndex();
    if (!shown_ && index >= 0 && static_cast<std::size_t>(index) < cells_.size() &&
        itemText(index) == text) {
      return cells_[static_cast<std::size_t>(index)];
    }
  }
  return Value(text);
}
