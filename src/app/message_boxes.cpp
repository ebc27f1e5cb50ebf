// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/message_boxes.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>

namespace {
// The parts of the box that have no text of their own are named for a screen reader.
void NameParts(QMessageBox& box) {
  if (auto* buttons = box.findChild<QDialogButtonBox*>())
    buttons->setAccessibleName(QStringLiteral("Antworten"));
  for (QLabel* label : box.findChildren<QLabel*>()) {
    if (label->text().isEmpty()) label->setAccessibleName(QStringLiteral("Symbol"));
  }
}
}  // namespace

void QtMessageBoxes::ShareIcons(QMessageBox& box) {
  for (QAbstractButton* button : box.buttons()) {
    const int which = box.standardButton(button);
    const auto kept = icons_.constFind(which);
    if (kept != icons_.cend()) {
      button->setIcon(*kept);
    } else {
      icons_.insert(which, button->icon());
    }
  }
}

void QtMessageBoxes::Show(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent_);
  box.setTextFormat(Qt::PlainText);  // a file's bytes quoted in the text are never markup
  NameParts(box);
  ShareIcons(box);
  box.exec();
}

bool QtMessageBoxes::AskYesNo(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent_);
  box.setTextFormat(Qt::PlainText);
  // The window speaks German, whatever translations the toolkit has installed. J answers Yes and
  // N or Escape No; Return answers Yes.
  box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
  box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::No);
  NameParts(box);
  ShareIcons(box);
  return box.exec() == QMessageBox::Yes;
}
