// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// The only way the program tells the user something: modal boxes without an icon.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A message with an OK button.
  virtual void Show(const QString& title, const QString& text) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool AskYesNo(const QString& title, const QString& text) = 0;
};

class QtMessageBoxes : public MessageBoxes {
 public:
  explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  void Show(const QString& title, const QString& text) override;
  bool AskYesNo(const QString& title, const QString& text) override;

 private:
  QWidget* parent_;
};
