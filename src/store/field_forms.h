// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QStringView>
#include <optional>

// Days and numbers as other programs write them: a spreadsheet or an editor may quote a day or
// a number, or write a day without its "#" signs. These read such a text as what it spells.

struct DayText {
  QDate day;
  // "#yyyy-MM-dd#" (one-digit month and day allowed), the form the files hold, quoted or not;
  // false for "yyyy-MM-dd" and "dd.MM.yyyy".
  bool fileForm = false;
};
// The day a text spells, blanks around it ignored, or nothing.
[[nodiscard]] std::optional<DayText> DayFromText(QStringView text);

// The number a text spells, blanks around it ignored: any form a file's number may take, or a
// decimal comma in place of the point; nothing for any other text.
[[nodiscard]] std::optional<double> NumberFromText(QStringView text);
