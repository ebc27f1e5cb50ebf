// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

// How a text stands in a cell of comma-separated text for spreadsheets, both ways.

// A spreadsheet takes a cell beginning with "=", "+", "-" or "@" for a formula. Such a text, and
// one that is such a text behind apostrophes ("'=A1"), is written behind one apostrophe more,
// which spreadsheets show as text; reading takes exactly that apostrophe away again, so every
// text comes back unchanged.
QString GuardedFromFormulas(const QString& text);
QStringView UnguardedFromFormulas(QStringView cell);

// A field quoted as RFC 4180 quotes it: in double quotes, each double quote doubled.
QString QuotedField(const QString& text);
