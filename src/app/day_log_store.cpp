// SPDX-License-Identifier: GPL-3.0-or-later
// The procedures that change the records: saving and deleting an entry, adding a person, undoing
// and redoing. The
// changes themselves live in store/changes; these procedures take the snapshot of the controls,
// tell the user and refresh the views.
#include <QPlainTextEdit>
#include <QTextDocument>

#include "app/day_log.h"
#include "app/list_box.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "dayview/day_list.h"
#include "dayview/tab_page.h"
#include "store/change_history.h"
#include "store/changes.h"

namespace {

const QString kInfo = QStringLiteral("Info");

// The item box lists the items of the category in table order and keeps the item as its text.
void FillItemBox(ChoiceBox* box, const CategoryTable& categories, const QString& category,
                 const Value& item) {
  box->SetChoices(TabItems(categories, Value(category)));
  box->ShowCell(item);
}

}  // namespace

void DayLog::SaveEntry() {
  // The raw text keeps what the user typed (a no-break space stays one) and shows a line break
  // as a separator character, which is then refused.
  const EntryInput input{SelectedDate,
                         window_.SelectedTabCaption(),
                         window_.itemBox->Cell(),
                         window_.personBox->Cell(),
                         window_.valueBox->currentText(),
                         window_.descriptionBox->document()->toRawText()};
  const SaveOutcome outcome = StoreEntry(store, input);
  history->Record(outcome.changed);
  // The typing is part of the change now: Ctrl+Z in the box undoes what is typed after it, then
  // the change.
  if (!outcome.changed.empty()) window_.descriptionBox->document()->clearUndoRedoStacks();
  TellBackupProblem();
  for (const QString& message : outcome.outside.messages) Tell(message);
  if (outcome.learned || outcome.outside.categories) {
    FillItemBox(window_.itemBox, store.categories, input.category, input.item);
  }
  switch (outcome.result) {
    case SaveOutcome::Result::Ignored:
      return;
    case SaveOutcome::Result::Refused:
      for (const QString& message : outcome.messages) Tell(message);
      // The entries read again are shown all the same.
      if (outcome.outside.entries) DrawCalendar();
      return;
    case SaveOutcome::Result::Saved:
    case SaveOutcome::Result::Updated: {
      QString told = outcome.result == SaveOutcome::Result::Saved ? QStringLiteral("Gespeichert.")
                                                                  : QStringLiteral("Updated.");
      if (outcome.addedPerson) {
        told += QStringLiteral(" Die Person %1 wurde hinzugefügt.")
                    .arg(QuotedName(window_.personBox->currentText()));
        // Listed at once, and still the person of the day shown.
        FillPersonBox();
        window_.personBox->ShowCell(input.person);
      }
      messages_.Show(kInfo, told);
      break;
    }
  }
  DrawCalendar();
}

void DayLog::DeleteEntryAt(int) {
  // The selected line carries the entry it stands for; lines that read alike are still told
  // apart.
  const QVariant selected = window_.dayList->SelectedData();
  if (!selected.canConvert<DayListItem>()) return;
  const DayListItem line = selected.value<DayListItem>();
  if (FindEntry(store.entries, line.entry, line.row) == 0) return;
  if (!messages_.AskYesNo(kInfo, QStringLiteral("Wollen Sie den Eintrag wirklich löschen?")))
    return;
  // The entry is looked for again: another program may have changed the file meanwhile.
  const RemoveOutcome outcome = RemoveEntry(store, line.entry, line.row);
  history->Record(outcome.changed);
  TellBackupProblem();
  for (const QString& message : outcome.outside.messages) Tell(message);
  for (const QString& message : outcome.messages) Tell(message);
  if (outcome.result == RemoveOutcome::Result::Removed || outcome.outside.entries) DrawCalendar();
}

void DayLog::AddPerson() {
  const AddPersonOutcome outcome = StorePerson(store, window_.personBox->Cell());
  history->Record(outcome.changed);
  TellBackupProblem();
  for (const QString& message : outcome.messages) Tell(message);
  if (outcome.result == AddPersonOutcome::Result::Added ||
      outcome.result == AddPersonOutcome::Result::Known) {
    FillPersonBox();
  }
}

void DayLog::Undo() {
  ShowReversal(history->Undo(store));
}

void DayLog::Redo() {
  ShowReversal(history->Redo(store));
}

void DayLog::ShowReversal(const ReverseOutcome& outcome) {
  if (outcome.result == ReverseOutcome::Result::Nothing) return;
  TellBackupProblem();
  for (const QString& message : outcome.outside.messages) Tell(message);
  for (const QString& message : outcome.messages) Tell(message);
  bool persons = outcome.outside.persons, entries = outcome.outside.entries;
  for (const auto& change : outcome.changed)
    (std::holds_alternative<PersonChange>(change) ? persons : entries) = true;
  if (outcome.result == ReverseOutcome::Result::Done) messages_.Show(kInfo, outcome.report);
  // As adding a person and saving or deleting an entry show their change.
  if (persons) FillPersonBox();
  if (entries) DrawCalendar();
}
