// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

#include "store/change_record.h"
#include "store/changes.h"

enum class ReverseResult {
  Nothing,  // there is nothing to undo or redo: nothing happens, nothing is shown
  Refused,  // `messages` say why; tables and files are as they were
  Done,     // the change was undone or made again; `report` says so
};

struct ReverseOutcome : Outcome<ReverseResult> {
  using Outcome::Outcome;
  // One sentence naming each entry and person as the day list and the person box show them:
  // "Rückgängig gemacht: Eintrag „Joggen“ vom 05.12. wieder eingefügt."
  QString report;
};

// The changes made in this run, for undoing and redoing them, in memory only. Each record holds
// only the rows its change touched. An undo or redo is a change like any other: the files it
// rewrites are read again first when another program changed them, the rows are found by their
// cells (FindEntry's rule) on what the files hold now, and each file is rewritten through the
// store. When a row is no longer as the change left it, nothing is undone and the record is
// dropped, since it can never apply again; when a write fails, nothing is undone and the record
// stays for another try. A removed entry goes back to its former row, so the file is again byte
// for byte what it was; an added person is removed only while no entry names them.
class ChangeHistory {
 public:
  // Keeps what a change did and ends what could be redone; nothing when it changed no row.
  void Record(const ChangeRecord& changed);
  bool CanUndo() const { return !done_.empty(); }
  bool CanRedo() const { return !undone_.empty(); }
  // Undoes the last change not undone yet / makes the last undone change again.
  [[nodiscard]] ReverseOutcome Undo(Store& store);
  [[nodiscard]] ReverseOutcome Redo(Store& store);

 private:
  ReverseOutcome Reverse(Store& store, bool undo);

  std::vector<ChangeRecord> done_;
  std::vector<ChangeRecord> undone_;
};
