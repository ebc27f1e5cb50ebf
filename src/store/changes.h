// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <optional>

#include "store/change_record.h"
#include "store/store.h"

// The table changes behind saving an entry, deleting an entry and adding a person. They work on
// the Store and plain inputs, never on a widget, and say in their outcome what the window has to
// show. Every change is written to its file at once; when the write fails, the change is undone
// in memory, so table and file still agree, and the German message for the user is returned.

// Before a change, the files it rewrites are read again if another program has changed them
// since Lumivera last read or wrote them, and the change is made on what they hold now: nothing
// another program wrote is overwritten.
struct OutsideChanges {
  // The category, entries and persons files were read again: their tables hold what the files
  // hold, with the change made on them, and the window shows the tables anew.
  bool categories = false;
  bool entries = false;
  bool persons = false;
  // To show before the outcome's own message: one sentence naming the files read again, then
  // problems met while reading them (damage, a file that can no longer be read).
  QStringList messages;
};

// Reads the files again that another program has changed since the store last read or wrote
// them, and says so in one sentence, followed by the problems met while reading them.
[[nodiscard]] OutsideChanges RereadChangedFiles(Store& store,
                                                std::initializer_list<DataFile> files);

// The start texts of the window's combo boxes ("Combo1", ...) begin with this; an item that does
// is never saved.
inline const QString kComboStartText = QStringLiteral("Combo");

// The entry being saved, as taken from the window when "Speichern" is pressed.
// Item and person are cells: a Text as typed, or the cell of the entry chosen from the box.
struct EntryInput {
  Value day;         // the selected day
  QString category;  // the caption of the selected tab
  Value item;
  Value person;
  QString valueText;
  QString description;
};

// What a change did and what the window has to tell; every change answers in this shape. The
// result is always given: no outcome claims success by default.
template <typename ResultT>
struct Outcome {
  using Result = ResultT;
  explicit Outcome(Result r) : result(r) {}
  Result result;
  // What to tell after `outside.messages`, in order: problems met while reading, then why the
  // change was refused or did not happen.
  QStringList messages;
  OutsideChanges outside;
  // The rows the change put in, took out or altered in tables and files; empty when it stored
  // nothing (a learned item is not among them).
  ChangeRecord changed;
};

enum class SaveResult {
  Ignored,  // the item is empty or a start text: nothing happens, nothing is shown
  Refused,  // `messages` say why; no entry was stored
  Saved,    // a new entry was appended
  Updated,  // the entry of that day, person, category and item got the new value and description
};

struct SaveOutcome : Outcome<SaveResult> {
  using Outcome::Outcome;
  // The item was new for the category and has been added to the category table and its file;
  // this stays so even when the entry itself is then refused for its value or its person.
  bool learned = false;
  // The person was not in the persons table and has been added to it and its file, with the
  // entry: a person typed and saved is listed in the person box after a restart too.
  bool addedPerson = false;
};

// Learns a new item of the category, checks value and person, adds a person the persons table
// does not hold yet, then updates the matching entry or appends a new one and rewrites the
// entries file. A person that cannot be added (the table full, the file not writable) refuses
// the save before anything but a learned item is stored. The value text is read with `locale`.
[[nodiscard]] SaveOutcome StoreEntry(Store& store, const EntryInput& input,
                                     const QLocale& locale = QLocale());

enum class RemoveResult {
  Removed,  // the entry is gone from table and file
  Gone,     // no entry of the file is that line any more: nothing was deleted; `messages` say so
  Refused,  // the file could not be written; `messages` say why; table and file are unchanged
};
using RemoveOutcome = Outcome<RemoveResult>;

// The number (from 1) of the entry that a line of the day list stands for: row `row` if it still
// holds the same cells as `entry`, else the last row that does (rows with the same cells cannot
// be told apart); 0 when no row does.
[[nodiscard]] int FindEntry(const EntryTable& entries, const EntryRow& entry, int row);

// Removes the entry that a line of the day list stands for (`entry`, found by FindEntry) and
// rewrites the entries file without it; the rows after it move up by one and keep their order.
// The entry is looked for after the file was read again if another program changed it; nothing
// else is ever removed. The table is not read back from the file: the writer stores every cell
// losslessly, so reading the file again would give exactly the table as it now is.
[[nodiscard]] RemoveOutcome RemoveEntry(Store& store, EntryRow entry, int row);

enum class AddPersonResult {
  Ignored,  // the name is empty: nothing happens
  Refused,  // the name was not added; the person box stays as it is
  Added,    // the name is the new last person
  Known,    // the persons file already held the name
};
// The persons file is always read again first: problems met then are among its `messages`.
using AddPersonOutcome = Outcome<AddPersonResult>;

// Ensures and rereads the persons file, so the file is the starting point, and appends the name
// unless it is already there (Value equality: exact, case-sensitive). A name chosen from the
// person box is the cell it shows, so a person 123 read as a Number is found.
[[nodiscard]] AddPersonOutcome StorePerson(Store& store, const Value& name);

// A German message naming the field and the character when the text holds one that a data file
// cannot store (a double quote, a line break, a character outside Windows-1252).
[[nodiscard]] std::optional<QString> UnstorableText(const QString& field, const QString& text);
