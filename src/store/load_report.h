// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "store/data_files.h"

// What loading one data file met on the way: the faults that cost a record a field or more (the
// file is damaged, and its original is kept before its next rewrite), and the forms of other
// programs that were read without loss but are worth a word. Faults are kept in the order met;
// the message names the first few by line.
struct ReadFault {
  enum class Kind {
    OpenText,       // a text without its closing double quote; it ends at the line end
    TooFewFields,   // the line ended early; `count` fields are missing from `field` on
    TooManyFields,  // the line holds more fields than a record; the rest was not taken
    Unreadable,     // the field is not of its column's kind (a day, a value); it was left empty
    Unstorable,     // the text holds `character`, which the file cannot store; it reads as "?"
  };
  Kind kind;
  int line = 0;
  int field = -1;  // from 0, where known
  int count = 0;
  char32_t character = 0;
};

class LoadReport {
 public:
  // A fault of a record; its row is counted as not read whole.
  void Fault(const ReadFault& fault);
  // The count line does not hold a count.
  void BadCount() { badCount_ = true; }
  bool CountMissing() const { return badCount_; }
  // Whether the first line was read as the count line.
  bool FirstLineIsCount() const { return !noCountLine_; }
  // The file has no count line: its first line is a record, and every record read whole.
  void NoCountLine() {
    badCount_ = false;
    noCountLine_ = true;
  }
  // The file ends before the number of records its count line names.
  void EndedEarly(qint64 announced) { announced_ = announced; }
  // More records follow than the table can hold; they were not loaded.
  void OverCapacity(int capacity) { capacity_ = capacity; }
  // More whole records than the count line names: all were loaded.
  void MoreThanCounted(qint64 counted) { counted_ = counted; }
  // A day of a form the program does not write, read as that day (the first one met).
  void UnusualDay(int line, const QString& form);
  // Loading ended with `loaded` rows in the table.
  void Loaded(int loaded) { loaded_ = loaded; }

  // Whether something was lost in reading: the file is not what the table holds, and its
  // original is to be kept.
  bool Damaged() const;
  const std::vector<ReadFault>& Faults() const { return faults_; }
  // One message in German for the user, or nothing when the file read as the program writes it
  // or in a form read without loss and not worth a word. `keptAs` is where the original is kept;
  // empty when nothing is changed and nothing kept.
  std::optional<QString> Message(DataFile file, const QString& keptAs) const;

 private:
  QString FaultList(DataFile file) const;

  std::vector<ReadFault> faults_;
  int faultyRows_ = 0;
  int lastFaultyLine_ = 0;
  bool badCount_ = false;
  bool noCountLine_ = false;
  qint64 announced_ = -1;
  int capacity_ = 0;
  qint64 counted_ = -1;
  int unusualDayLine_ = 0;
  QString unusualDayForm_;
  int loaded_ = 0;
};
