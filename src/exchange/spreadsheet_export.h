// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

#include "store/tables.h"

// The entries as a spreadsheet reads them: UTF-8 with a byte order mark, the header row
// "Datum,Person,Kategorie,Eintrag,Wert,Beschreibung", ISO days, values with a decimal point,
// texts quoted as RFC 4180 quotes them and guarded from being taken for formulas, CR LF after
// every row. Rows by day, then person, category and item; rows alike in all four keep the order
// of the table. A person, category or item that a file holds as a number or a day is written as
// the day list shows it.

// Which entries go out: all, or those of one person (as the person box shows the name) and of
// the days from `from` to `to`, both included.
struct ExportFilter {
  std::optional<QString> person;
  std::optional<QDate> from;
  std::optional<QDate> to;
};

// The header row, without its line end.
inline const QString kSpreadsheetHeader =
    QStringLiteral("Datum,Person,Kategorie,Eintrag,Wert,Beschreibung");

[[nodiscard]] QByteArray SpreadsheetBytes(const EntryTable& entries, const ExportFilter& filter,
                                          const QLocale& locale = QLocale());

// The entries file of the data folder `folder` as an export reads it: only the table, without
// the index and the bookkeeping that a store keeps for changes. A missing file is an empty table.
struct EntriesForExport {
  EntryTable entries;
  // What reading met, in German, or nothing.
  std::optional<QString> problem;
  // The file is there but could not be read at all.
  bool unreadable = false;
};
[[nodiscard]] EntriesForExport ReadEntriesForExport(const QString& folder);
