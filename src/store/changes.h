// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

#include "store/data_files.h"

// The table changes behind saving an entry, deleting an entry and adding a person. They work on
// the Store and plain inputs, never on a widget, and say in their outcome what the window has to
// show. Every change is written to its file at once; when the write fails, the change is undone
// in memory, so table and file still agree, and the German message for the user is returned.

// The entry being saved, as taken from the window when "Speichern" is pressed.
struct EntryInput {
  Value day;         // the selected day
  QString category;  // the caption of the selected tab
  QString item;
  QString person;
  QString valueText;
  QString description;
};

struct SaveOutcome {
  enum class Result {
    Ignored,  // the item is empty or begins with "Combo": nothing happens, nothing is shown
    Refused,  // `message` says why; no entry was stored
    Saved,    // a new entry was appended
    Updated,  // the entry of that day, person, category and item got the new value and description
  };
  Result result = Result::Ignored;
  // The item was new for the category and has been added to the category table and its file;
  // this stays so even when the entry itself is then refused for its value or its person.
  bool learned = false;
  QString message;
};

// Learns a new item of the category, checks value and person, then updates the matching entry
// or appends a new one and rewrites the entries file. The value text is read with `locale`.
SaveOutcome StoreEntry(Store& store, const EntryInput& input, const QLocale& locale = QLocale());

// Removes entry `row` (1 to the count) and rewrites the entries file without it; the rows after
// it move up by one and keep their order. The table is not read back from the file: the writer
// stores every cell losslessly, so reading the file again would give exactly the table as it now
// is. When the file cannot be written, the row is put back and the German message is returned.
std::optional<QString> RemoveEntry(Store& store, int row);

struct AddPersonOutcome {
  enum class Result {
    Ignored,  // the name is empty: nothing happens
    Refused,  // the name was not added; the person box stays as it is
    Added,    // the name is the new last person
    Known,    // the persons file already held the name
  };
  Result result = Result::Ignored;
  // What to show, in order: problems met while reading the persons file, then the refusal.
  QStringList messages;
};

// Ensures and rereads the persons file, so the file is the starting point, and appends the name
// unless it is already there (exact, case-sensitive).
AddPersonOutcome StorePerson(Store& store, const QString& name);

// A German message naming the field and the character when the text holds one that a data file
// cannot store (a double quote, a line break, a character outside Windows-1252).
std::optional<QString> UnstorableText(const QString& field, const QString& text);
