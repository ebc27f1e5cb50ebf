// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/load_report.h"

#include <QStringList>
#include <array>

#include "store/cp1252.h"

namespace {

// The faults a message names by line before it only counts the rest.
constexpr int kMostFaultsNamed = 5;

// The records of a file, in the dative plural: "48 von 50 Einträgen".
QString RecordsNoun(DataFile file) {
  switch (file) {
    case DataFile::Persons:
      return QStringLiteral("Personen");
    case DataFile::Categories:
      return QStringLiteral("Auswahl-Einträgen");
    case DataFile::Entries:
      return QStringLiteral("Einträgen");
  }
  return {};
}

// A field of a record with its article, as the subject of a sentence.
QString FieldName(DataFile file, int field) {
  static const std::array<const char16_t*, 8> kEntryFields = {
      u"der Tag",  u"die Person",       u"die Kategorie",         u"der Eintrag",
      u"der Wert", u"die Beschreibung", u"das erste Reservefeld", u"das zweite Reservefeld"};
  switch (file) {
    case DataFile::Persons:
      return QStringLiteral("der Name");
    case DataFile::Categories:
      return field == 0 ? QStringLiteral("die Kategorie") : QStringLiteral("der Auswahl-Eintrag");
    case DataFile::Entries:
      if (field >= 0 && field < static_cast<int>(kEntryFields.size()))
        return QString::fromUtf16(kEntryFields[static_cast<std::size_t>(field)]);
      break;
  }
  return QStringLiteral("ein Feld");
}

// The records of a file, in the nominative plural: "50 Einträge".
QString RecordsNounNominative(DataFile file) {
  return file == DataFile::Persons ? RecordsNoun(file) : RecordsNoun(file).chopped(1);
}

}  // namespace

void LoadReport::Fault(const ReadFault& fault) {
  if (fault.line != lastFaultyLine_) {
    ++faultyRows_;
    lastFaultyLine_ = fault.line;
  }
  faults_.push_back(fault);
}

void LoadReport::UnusualDay(int line, const QString& form) {
  if (unusualDayLine_ != 0) return;
  unusualDayLine_ = line;
  unusualDayForm_ = form;
}

bool LoadReport::Damaged() const {
  return !faults_.empty() || badCount_ || announced_ >= 0 || capacity_ > 0;
}

QString LoadReport::FaultList(DataFile file) const {
  QStringList parts;
  bool lastWasMissing = false;
  int named = 0;
  for (const ReadFault& f : faults_) {
    if (named == kMostFaultsNamed) break;
    ++named;
    const QString line = QString::number(f.line);
    const bool missing = f.kind == ReadFault::Kind::Unreadable;
    switch (f.kind) {
      case ReadFault::Kind::Unreadable:
        parts << (lastWasMissing ? QStringLiteral("in Zeile %1 %2")
                                 : QStringLiteral("in Zeile %1 fehlt %2"))
                     .arg(line, FieldName(file, f.field));
        break;
      case ReadFault::Kind::TooFewFields:
        parts << (f.count == 1 ? QStringLiteral("in Zeile %1 fehlt das letzte Feld").arg(line)
                               : QStringLiteral("in Zeile %1 fehlen die letzten %2 Felder")
                                     .arg(line)
                                     .arg(f.count));
        break;
      case ReadFault::Kind::TooManyFields:
        parts << QStringLiteral(
                     "Zeile %1 hat mehr Felder als ein Datensatz, die übrigen "
                     "wurden nicht übernommen")
                     .arg(line);
        break;
      case ReadFault::Kind::OpenText:
        parts << QStringLiteral(
                     "in Zeile %1 fehlt das schließende Anführungszeichen nach "
                     "dem Text")
                     .arg(line);
        break;
      case ReadFault::Kind::Unstorable:
        parts << QStringLiteral(
                     "in Zeile %1 enthält %2 das Zeichen %3, das Lumivera nicht "
                     "speichern kann; dort steht nun „?“")
                     .arg(line, FieldName(file, f.field), CharacterShown(f.character));
        break;
    }
    lastWasMissing = missing;
  }
  const int more = static_cast<int>(faults_.size()) - named;
  if (more > 0) {
    parts << (more == 1 ? QStringLiteral("dazu ein weiterer Fehler")
                        : QStringLiteral("dazu %1 weitere Fehler").arg(more));
  }
  if (announced_ > loaded_) {
    parts << QStringLiteral("die Datei endet vor den übrigen %1").arg(announced_ - loaded_);
  }
  if (capacity_ > 0) {
    parts << QStringLiteral(
                 "mehr als %1 %2 fasst Lumivera nicht, die übrigen wurden nicht "
                 "geladen")
                 .arg(capacity_)
                 .arg(RecordsNounNominative(file));
  }
  if (badCount_) parts << QStringLiteral("die erste Zeile nennt keine gültige Anzahl");
  return parts.join(QStringLiteral(", "));
}

std::optional<QString> LoadReport::Message(DataFile file, const QString& keptAs) const {
  QStringList sentences;
  const QString name = QuotedFileName(file);
  if (Damaged()) {
    const qint64 total = std::max<qint64>(loaded_, announced_);
    sentences << QStringLiteral("Aus %1 wurden %2 von %3 %4 gelesen; %5.")
                     .arg(name)
                     .arg(loaded_ - faultyRows_)
                     .arg(total)
                     .arg(RecordsNoun(file), FaultList(file));
  }
  if (counted_ >= 0) {
    sentences << QStringLiteral(
                     "In %1 stehen %2 %3, die erste Zeile nennt aber nur %4; alle "
                     "wurden geladen.")
                     .arg(name)
                     .arg(loaded_)
                     .arg(RecordsNounNominative(file))
                     .arg(counted_);
  }
  if (noCountLine_) {
    sentences << QStringLiteral(
                     "In %1 fehlt die erste Zeile mit der Anzahl; alle %2 %3 wurden "
                     "geladen.")
                     .arg(name)
                     .arg(loaded_)
                     .arg(RecordsNounNominative(file));
  }
  if (unusualDayLine_ != 0) {
    sentences << QStringLiteral(
                     "In %1 stehen Tage in einer Form, die Lumivera selbst nicht "
                     "schreibt (etwa %2 in Zeile %3); sie wurden als diese Tage "
                     "gelesen.")
                     .arg(name, QuotedName(unusualDayForm_))
                     .arg(unusualDayLine_);
  }
  if (Damaged() && !keptAs.isEmpty()) {
    sentences << QStringLiteral(
                     "Die Datei, wie sie war, wird vor der nächsten Änderung als %1 "
                     "daneben aufbewahrt.")
                     .arg(QuotedName(keptAs));
  }
  if (sentences.isEmpty()) return std::nullopt;
  return sentences.join(u' ');
}
