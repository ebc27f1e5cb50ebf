// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "exchange/spreadsheet_export.h"

// The terminal modes that hand the log to a spreadsheet and take it back. They need no display,
// print German messages on standard error, and return the exit code: 0, or 1 when nothing (or
// not everything) was done.

// Writes the entries of the data folder (empty: the current directory) to `file` as CSV for
// spreadsheets, or to standard output for "-". Only reads: a window may be open on the folder.
// The file is replaced whole or not at all; a data file of the folder is never its target.
int RunExport(const QString& dataFolder, const QString& file, const ExportFilter& filter);

// Stores the rows of the CSV `file` in the data folder, all of them or none: refused while a
// window holds the folder; every refused row is told with its line. A summary goes to standard
// output.
int RunImport(const QString& dataFolder, const QString& file);
