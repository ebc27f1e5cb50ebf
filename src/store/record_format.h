// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The record format of the data files: a count line, then one record a line, fields separated
// by a comma, CR LF after every line. Texts stand in double quotes, dates between "#" signs as
// year-month-day, numbers in plain decimal notation with a point; an empty field is Empty.

// Names, categories and items are short texts that repeat from record to record: up to this many
// characters, reading and writing keep what they met before instead of converting it again.
inline constexpr qsizetype kShortTextChars = 40;
