// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <optional>
#include <vector>

#include "store/value.h"

class QStringListModel;

// An editable combo box whose text is exactly what the user typed: no completion, no case
// folding, nothing replaced when the focus leaves. Only a choice reports Chosen: a click or
// Return in the opened list, or the arrow keys and the mouse wheel on the closed box. Typing,
// Return in the text field and leaving the box are no choice, even where the text matches an
// item of the list.
//
// Each entry of the list carries the cell it shows, so a Number or Date cell (a hand-edited
// file) that the box shows as "123" or "05.01.2026" can be chosen as that cell.
class ChoiceBox : public QComboBox {
  Q_OBJECT

 public:
  explicit ChoiceBox(QWidget* parent = nullptr);

  // Replaces the list by the cells, each shown as CellText shows it; no entry is chosen and the
  // text is empty afterwards.
  void SetChoices(const std::vector<Value>& cells);
  // Shows the cell as the box's text, as if it had been chosen.
  void ShowCell(const Value& cell);
  // What the procedures take from the box: the cell of the chosen (or shown) entry while the
  // text is still that entry's text; otherwise the text, as a Text. A typed text is always a
  // Text, even where it reads like an entry of the list.
  Value Cell() const;

 signals:
  void Chosen();

 private:
  // Set while the text field reports a finished edit: the combo box then looks the text up in
  // its list and reports the match as activated, which is no choice of the user's.
  bool finishingEdit_ = false;
  // The user has typed into the text field since the last choice.
  bool typed_ = false;
  // The cell shown by ShowCell, with its text.
  std::optional<Value> shown_;
  // The cell of each entry of the list, in its order.
  std::vector<Value> cells_;
  QStringListModel* choices_;  // the texts the list shows, in its order
  QString shownText_;
};
