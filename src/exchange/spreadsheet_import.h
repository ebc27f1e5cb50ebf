// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "store/import_entries.h"

// Reads entries from comma-separated text with the header row of an export, as this program
// writes it and as spreadsheets save it after editing: UTF-8 with or without a byte order mark,
// otherwise Windows-1252; fields separated by commas, or by semicolons with a decimal comma as
// German spreadsheets write them (the header tells which); quoting as RFC 4180 quotes; days as
// 2026-12-05 or 05.12.2026. Each row is checked on its own; whether it fits the tables is for
// the store to say.

struct RefusedRow {
  int line = 0;
  QString reason;  // German, a sentence without the line
};

struct SpreadsheetRead {
  // The rows as the store takes them, and the line each begins on, from 1 (the header's line).
  std::vector<ImportedEntry> rows;
  std::vector<int> lines;
  std::vector<RefusedRow> refused;
  // Why the file as a whole cannot be read (no header row of an export), or nothing.
  std::optional<QString> failure;
};

[[nodiscard]] SpreadsheetRead ReadSpreadsheet(const QByteArray& bytes);
