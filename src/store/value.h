// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <bit>
#include <variant>

// The four kinds of cell.
enum class ValueKind { Empty, Number, Text, Date };

// The dynamically typed cell held in every table column and in the shared dates.
// Equality and arithmetic follow the rules every match in the program relies on:
// texts compare exactly and case-sensitively, Empty equals the empty Text and the Number 0,
// and values of other different kinds never compare equal.
class Value {
 public:
  Value() = default;
  Value(double number) : cell_(number) {}                    // NOLINT(google-explicit-constructor)
  Value(int number) : cell_(static_cast<double>(number)) {}  // NOLINT
  Value(QString text) : cell_(std::move(text)) {}            // NOLINT
  Value(QDate date) : cell_(date) {}                         // NOLINT

  ValueKind Kind() const { return static_cast<ValueKind>(cell_.index()); }
  bool IsEmpty() const { return Kind() == ValueKind::Empty; }
  bool IsNumber() const { return Kind() == ValueKind::Number; }
  bool IsText() const { return Kind() == ValueKind::Text; }
  bool IsDate() const { return Kind() == ValueKind::Date; }

  // The number of a Number; 0 for every other kind.
  double Number() const {
    const double* n = std::get_if<double>(&cell_);
    return n ? *n : 0.0;
  }
  // The characters of a Text; the empty string for every other kind.
  const QString& Text() const {
    const QString* t = std::get_if<QString>(&cell_);
    return t ? *t : NoText();
  }
  // The day of a Date; a null QDate for every other kind.
  QDate Date() const {
    const QDate* d = std::get_if<QDate>(&cell_);
    return d ? *d : QDate();
  }

  // Whether both are certainly the same cell: the same kind holding the same number bit for
  // bit, the same day, or the very same characters in memory (shared copies of one text).
  // Cheaper than equality, and false says nothing about it.
  bool IsIdenticalTo(const Value& other) const {
    if (cell_.index() != other.cell_.index()) return false;
    if (const QString* t = std::get_if<QString>(&cell_)) {
      const QString& u = *std::get_if<QString>(&other.cell_);
      return t->constData() == u.constData() && t->size() == u.size();
    }
    if (const double* n = std::get_if<double>(&cell_)) {
      return std::bit_cast<quint64>(*n) ==
             std::bit_cast<quint64>(*std::get_if<double>(&other.cell_));
    }
    if (const QDate* d = std::get_if<QDate>(&cell_)) return *d == *std::get_if<QDate>(&other.cell_);
    return true;  // both Empty
  }

  // Every match in the program goes through this; it stays inline, as table scans call it for
  // every row.
  friend bool operator==(const Value& a, const Value& b) {
    const ValueKind ka = a.Kind();
    const ValueKind kb = b.Kind();
    if (ka == kb) {
      switch (ka) {
        case ValueKind::Empty:
          return true;
        case ValueKind::Number:
          return *std::get_if<double>(&a.cell_) == *std::get_if<double>(&b.cell_);
        case ValueKind::Text:
          return *std::get_if<QString>(&a.cell_) == *std::get_if<QString>(&b.cell_);
        case ValueKind::Date:
          return *std::get_if<QDate>(&a.cell_) == *std::get_if<QDate>(&b.cell_);
      }
    }
    return EqualAcrossKinds(a, b);
  }

 private:
  static const QString& NoText();
  // Empty against a Text or a Number; every other pair of kinds is unequal.
  static bool EqualAcrossKinds(const Value& a, const Value& b);

  std::variant<std::monostate, double, QString, QDate> cell_;
};

// Number + Number is a Number and Text + Text the concatenation; Empty counts as 0 or as the
// empty Text, whichever the other side needs (Empty + Empty stays Empty). Any other mix adds
// the numbers of both sides, so a Text or Date counts as 0.
Value operator+(const Value& a, const Value& b);
Value operator-(const Value& a, const Value& b);
