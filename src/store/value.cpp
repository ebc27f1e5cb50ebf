#include "store/value.h"

double Value::number() const {
  const double* n = std::get_if<double>(&cell_);
  return n ? *n : 0.0;
}

const QString& Value::text() const {
  static const QString kNone;
  const QString* t = std::get_if<QString>(&cell_);
  return t ? *t : kNone;
}

QDate Value::date() const {
  const QDate* d = std::get_if<QDate>(&cell_);
  return d ? *d : QDate();
}

bool operator==(const Value& a, const Value& b) {
  using K = Value::Kind;
  const K ka = a.kind();
  const K kb = b.kind();
  if (ka == kb) {
    switch (ka) {
      case K::Empty:
        return true;
      case K::Number:
        return a.number() == b.number();
      case K::Text:
        return a.text() == b.text();
      case K::Date:
        return a.date() == b.date();
    }
  }
  if (ka == K::Empty)
    return (kb == K::Text && b.text().isEmpty()) || (kb == K::Number && b.number() == 0);
  if (kb == K::Empty) return b == a;
  return false;
}

namespace {
bool TextLike(const Value& v) {
  return v.isText() || v.isEmpty();
}
}  // namespace

Value operator+(const Value& a, const Value& b) {
  if (a.isEmpty() && b.isEmpty()) return Value();
  if (TextLike(a) && TextLike(b)) return Value(a.text() + b.text());
  return Value(a.number() + b.number());
}

Value operator-(const Value& a, const Value& b) {
  if (a.isEmpty() && b.isEmpty()) return Value();
  return Value(a.number() - b.number());
}
