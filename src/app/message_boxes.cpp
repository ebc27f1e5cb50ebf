// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/message_boxes.h"

#include <QAbstractButton>
#include <QMessageBox>

void QtMessageBoxes::Show(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent_);
  box.setTextFormat(Qt::PlainText);  // a file's bytes quoted in the text are never markup
  box.exec();
}

bool QtMessageBoxes::AskYesNo(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent_);
  box.setTextFormat(Qt::PlainText);
  // The window speaks German, whatever translations the toolkit has installed.
  box.button(QMessageBox::Yes)->setText(QStringLiteral("Ja"));
  box.button(QMessageBox::No)->setText(QStringLiteral("Nein"));
  return box.exec() == QMessageBox::Yes;
}
