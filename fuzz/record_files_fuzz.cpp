// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the record reader and the three table loaders. Whatever the bytes,
// loading must neither crash nor exceed a capacity, and a file that loads without damage must
// be written back to bytes that load to the very same table.
#include <cstdint>
#include <cstdlib>

#include "store/data_files.h"
#include "store/record_file.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

template <typename TableT>
void CheckTable(const QByteArray& bytes) {
  TableT table;
  const auto damage = ParseTableBytes(bytes, table);
  Require(table.Count() <= TableT::kCapacity);
  if (damage) return;

  RecordWriter writer;
  writer.WriteRecord({Value(table.Count())});
  for (const auto& row : table.rows) writer.WriteRecord(row.fields);
  const std::optional<QByteArray> rewritten = writer.Bytes();
  Require(rewritten.has_value());

  TableT again;
  Require(!ParseTableBytes(*rewritten, again));
  Require(again.Count() == table.Count());
  for (int i = 1; i <= table.Count(); ++i) {
    for (std::size_t f = 0; f < table.Row(i).fields.size(); ++f) {
      const Value& a = table.Row(i).fields[f];
      const Value& b = again.Row(i).fields[f];
      Require(a.Kind() == b.Kind() && a == b);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  CheckTable<PersonTable>(bytes);
  CheckTable<CategoryTable>(bytes);
  CheckTable<EntryTable>(bytes);

  RecordReader reader(bytes);
  for (int i = 0; i < 100000 && !reader.AtEnd(); ++i) (void)reader.ReadField();
  Require(reader.AtEnd());
  return 0;
}
