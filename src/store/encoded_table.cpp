// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/encoded_table.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <system_error>
#include <thread>

#include "store/record_writer.h"

namespace {

// Whether the row is certainly encoded as before; false only costs an encoding.
bool SameRow(const EntryRow& a, const EntryRow& b) {
  for (std::size_t k = 0; k < a.fields.size(); ++k) {
    if (!a.fields[k].IsIdenticalTo(b.fields[k])) return false;
  }
  return true;
}

// Rows from which encoding the second half on another thread pays for starting it and for
// copying its bytes after the first half (about a tenth of a millisecond in all).
constexpr std::size_t kRowsWorthASecondThread = 4096;

bool SecondCoreAvailable() {
  static const bool kAvailable = std::thread::hardware_concurrency() > 1;
  return kAvailable;
}

// Slack kept after the file's bytes, so an added row seldom moves them.
constexpr qsizetype kSlack = 64 * 1024;

// A text no cell of a table shares: a kept row that holds it is never the same as a table row.
const QString& NotEncoded() {
  static const QString kText = QStringLiteral("not encoded");
  return kText;
}

}  // namespace

qint64 EncodedTable::RoomAfter(qint64 size) {
  return size / 16 + kSlack;
}

void EncodedTable::Clear(QByteArray spare) {
  // The memory stays for the next encoding; the texts the kept rows shared are let go.
  valid_ = false;
  pending_ = false;
  rows_.clear();
  if (spare.size() > bytes_.size()) bytes_ = std::move(spare);
}

void EncodedTable::Adopt(QByteArray bytes, const std::vector<EntryRow>& rows,
                         LoadedRecords records) {
  if (records.starts.size() != rows.size() + 1 || records.writtenForm.size() != rows.size()) {
    Clear(std::move(bytes));
    return;
  }
  // The copy of the rows waits for KeepRows: loading a large file does not pay for it.
  valid_ = false;
  rows_.clear();
  bytes_ = std::move(bytes);
  size_ = records.starts.back();
  starts_ = std::move(records.starts);
  writtenForm_ = std::move(records.writtenForm);
  pending_ = true;
}

void EncodedTable::KeepRows(const std::vector<EntryRow>& rows) {
  if (!pending_) return;
  pending_ = false;
  if (writtenForm_.size() != rows.size()) return;
  rows_.reserve(rows.size() + kRowsOfRoom);
  rows_.insert(rows_.end(), rows.begin(), rows.end());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!writtenForm_[i]) rows_[i].fields[0] = Value(NotEncoded());
  }
  valid_ = true;
}

std::optional<QByteArrayView> EncodedTable::EncodeAll(const std::vector<EntryRow>& rows,
                                                      qsizetype sizeHint) {
  valid_ = false;
  pending_ = false;
  rows_.clear();
  // Room for rows of a usual length as well, should the table have grown far beyond the file (an
  // import into a new folder): memory reserved but never written costs nothing.
  constexpr qsizetype kUsualRowBytes = 128;
  const qsizetype expected =
      std::max({size_, sizeHint, static_cast<qsizetype>(rows.size()) * kUsualRowBytes});
  const std::size_t n = rows.size();
  starts_.clear();
  starts_.reserve(n + 1);

  // A large table's second half is encoded on a thread of its own into memory of its own, and
  // copied after the first half once both are done. The rows are only read meanwhile.
  std::size_t half = n >= kRowsWorthASecondThread && SecondCoreAvailable() ? n / 2 : n;
  std::vector<qsizetype> tailStarts;
  qsizetype tailSize = 0;
  bool tailStorable = true;
  std::exception_ptr tailFailure;
  std::jthread worker;
  if (half < n) {
    const qsizetype tailExpected = expected - expected / 2;
    try {
      worker = std::jthread([&, half, tailExpected] {
        try {
          RecordWriter tail(std::move(tail_), RecordWriter::TextsOutliveWriter::Yes);
          tail.Reserve(tailExpected + RoomAfter(tailExpected));
          tailStarts.reserve(n - half);
          for (std::size_t i = half; i < n; ++i) {
            tailStarts.push_back(static_cast<qsizetype>(tail.Size()));
            tail.WriteRecord(rows[i].fields);
          }
          tailStorable = tail.Storable();
          tailSize = static_cast<qsizetype>(tail.Size());
          tail_ = tail.TakeBuffer();
        } catch (...) {
          tailFailure = std::current_exception();
        }
      });
    } catch (const std::system_error&) {
      half = n;  // no thread to be had: this one encodes every row
    }
  }

  RecordWriter writer(std::move(bytes_), RecordWriter::TextsOutliveWriter::Yes);
  writer.Reserve(expected + RoomAfter(expected));
  writer.WriteRecord({Value(static_cast<int>(n))});
  for (std::size_t i = 0; i < half; ++i) {
    starts_.push_back(static_cast<qsizetype>(writer.Size()));
    writer.WriteRecord(rows[i].fields);
  }
  bool storable = writer.Storable();
  if (worker.joinable()) {
    worker.join();
    if (tailFailure) {
      bytes_ = writer.TakeBuffer();
      std::rethrow_exception(tailFailure);
    }
    const auto tailAt = static_cast<qsizetype>(writer.Size());
    for (const qsizetype start : tailStarts) starts_.push_back(tailAt + start);
    writer.WriteEncoded(QByteArrayView(tail_.constData(), tailSize));
    storable = storable && tailStorable;
  }
  starts_.push_back(static_cast<qsizetype>(writer.Size()));
  size_ = static_cast<qsizetype>(writer.Size());
  bytes_ = writer.TakeBuffer();
  if (!storable) return std::nullopt;
  // Every row stands in the written form now; the copy of them waits for KeepRows, as after
  // reading, so the rewrite does not pay for it.
  writtenForm_.assign(n, true);
  pending_ = true;
  return QByteArrayView(bytes_.constData(), size_);
}

void EncodedTable::NotWritten() {
  // The rows may be put back as they were before the change: the bytes no longer stand for them.
  pending_ = false;
}

std::optional<QByteArrayView> EncodedTable::Encode(const std::vector<EntryRow>& rows,
                                                   qsizetype sizeHint) {
  if (!valid_) return EncodeAll(rows, sizeHint);
  const std::size_t n = rows.size(), m = rows_.size();

  // The count line must keep its length, so the kept rows stay where they are.
  RecordWriter count;
  count.WriteRecord({Value(static_cast<int>(n))});
  const QByteArrayView countLine = count.View();
  if (countLine.size() != starts_.front()) return EncodeAll(rows, sizeHint);

  // The rows in front and at the end that are unchanged; the ones between them changed.
  std::size_t front = 0;
  while (front < n && front < m && SameRow(rows[front], rows_[front])) ++front;
  std::size_t back = 0;
  while (back < n - front && back < m - front && SameRow(rows[n - 1 - back], rows_[m - 1 - back]))
    ++back;
  if (front == 0 && back == 0 && n > 0 && m > 0) return EncodeAll(rows, sizeHint);

  // Encode the changed rows first: a field that cannot be stored leaves everything as it was.
  RecordWriter changed(std::move(changed_), RecordWriter::TextsOutliveWriter::Yes);
  std::vector<qsizetype> changedStarts;
  changedStarts.reserve(n - back - front);
  for (std::size_t i = front; i < n - back; ++i) {
    changedStarts.push_back(static_cast<qsizetype>(changed.Size()));
    changed.WriteRecord(rows[i].fields);
  }
  const bool storable = changed.Storable();
  const auto changedSize = static_cast<qsizetype>(changed.Size());
  changed_ = changed.TakeBuffer();
  if (!storable) return std::nullopt;

  // Move the unchanged end into place, then put the changed rows in front of it.
  const qsizetype changedAt = starts_[front];
  const qsizetype oldBackAt = starts_[m - back];
  const qsizetype backSize = size_ - oldBackAt;
  const qsizetype newBackAt = changedAt + changedSize;
  const qsizetype newSize = newBackAt + backSize;
  if (newSize > bytes_.size()) bytes_.resize(newSize + kSlack);
  char* data = bytes_.data();
  if (newBackAt != oldBackAt) {
    std::memmove(data + newBackAt, data + oldBackAt, static_cast<std::size_t>(backSize));
  }
  std::memcpy(data + changedAt, changed_.constData(), static_cast<std::size_t>(changedSize));
  std::memcpy(data, countLine.constData(), static_cast<std::size_t>(countLine.size()));
  size_ = newSize;

  // Keep the starts and the rows in step with the bytes.
  const qsizetype shift = newBackAt - oldBackAt;
  for (std::size_t j = m - back; j <= m; ++j) starts_[j] += shift;
  for (qsizetype& start : changedStarts) start += changedAt;
  const auto at = static_cast<std::ptrdiff_t>(front);
  const auto oldCount = static_cast<std::ptrdiff_t>(m - back - front);
  const auto newCount = static_cast<std::ptrdiff_t>(n - back - front);
  if (oldCount == newCount) {
    std::copy(changedStarts.begin(), changedStarts.end(), starts_.begin() + at);
    std::copy(rows.begin() + at, rows.begin() + at + newCount, rows_.begin() + at);
  } else {
    starts_.erase(starts_.begin() + at, starts_.begin() + at + oldCount);
    starts_.insert(starts_.begin() + at, changedStarts.begin(), changedStarts.end());
    rows_.erase(rows_.begin() + at, rows_.begin() + at + oldCount);
    rows_.insert(rows_.begin() + at, rows.begin() + at, rows.begin() + at + newCount);
  }
  return QByteArrayView(bytes_.constData(), size_);
}
