#include "app/message_boxes.h"

#include <QMessageBox>

void QtMessageBoxes::Show(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent_);
  box.exec();
}

bool QtMessageBoxes::AskYesNo(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent_);
  return box.exec() == QMessageBox::Yes;
}
