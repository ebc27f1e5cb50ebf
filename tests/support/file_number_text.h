// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "store/file_number.h"

// The file form of a number as a text.
inline QString FileNumber(double number) {
  char form[kMostFileNumberChars];
  return QString::fromLatin1(form, static_cast<qsizetype>(FormatFileNumber(number, form)));
}
