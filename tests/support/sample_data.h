// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <cstdint>

#include "store/tables.h"

// Deterministic, seeded sample data at the tables' full capacity: 100 persons, 2000 category
// pairs and 50,000 entries over about ten years ending in `lastDay`, with umlauts, "€", commas
// and long descriptions, several entries per day and person.
struct SampleData {
  PersonTable persons;
  CategoryTable categories;
  EntryTable entries;
};

SampleData MakeSampleData(std::uint32_t seed, int entryCount = EntryTable::kCapacity,
                          QDate lastDay = QDate(2026, 12, 31));

// The three tables as the bytes of their files.
QByteArray PersonFileBytes(const PersonTable& table);
QByteArray CategoryFileBytes(const CategoryTable& table);
QByteArray EntryFileBytes(const EntryTable& table);

// Writes the three files into `folder`.
void WriteSampleFiles(const SampleData& data, const QString& folder);
