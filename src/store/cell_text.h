// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

#include "store/value.h"

// How a cell stands where the window shows a text (person box, item boxes, the calendar's
// category captions): a Text as it is; a Number or Date (only in a hand-edited file) in the
// notation the user reads, "2,5" or "05.03.2024"; Empty as the empty text.
QString CellText(const Value& cell, const QLocale& locale = QLocale());
