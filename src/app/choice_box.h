// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

// An editable combo box whose text is exactly what the user typed: no completion, no case
// folding, nothing replaced when the focus leaves. Only a choice reports Chosen: a click or
// Return in the opened list, or the arrow keys and the mouse wheel on the closed box. Typing,
// Return in the text field and leaving the box are no choice, even where the text matches an
// item of the list.
class ChoiceBox : public QComboBox {
  Q_OBJECT

 public:
  explicit ChoiceBox(QWidget* parent = nullptr);

 signals:
  void Chosen();

 private:
  // Set while the text field reports a finished edit: the combo box then looks the text up in
  // its list and reports the match as activated, which is no choice of the user's.
  bool finishingEdit_ = false;
};
