// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <optional>

// Number notations shown to the user. Every shown number has at most 15 significant digits,
// so binary noise such as 0.30000000000000004 never reaches the screen, and is written in plain
// decimals, never with an exponent: 0.00001, not 1E-05.

// The print notation of the drawing surfaces: the locale's decimal separator, no grouping,
// a blank (or a minus sign) before and a blank after: " 0,3 ", "-2 ".
QString PrintNotation(double number, const QLocale& locale = QLocale());

// The day list's form, the same in every locale: " 5", " 5.5", " .5", "-2", "-.5", " 0".
QString ListNotation(double number);

// A number as the locale writes it, without grouping and without blanks: "0,1", "150".
QString LocaleNotation(double number, const QLocale& locale = QLocale());

// Rounds to one decimal place; a value exactly halfway goes to the even digit.
double RoundToTenthHalfEven(double number);

// Reads a value typed by the user with the locale's conventions (decimal comma in German,
// well-formed grouping allowed, blanks around it ignored). Nothing for a text that is no finite
// number; a point is never taken as a grouping separator where it could be a decimal point.
std::optional<double> ParseUserNumber(const QString& text, const QLocale& locale = QLocale());
