#include "store/value.h"

const QString& Value::NoText() {
  static const QString kNone;
  return kNone;
}

bool Value::EqualAcrossKinds(const Value& a, const Value& b) {
  using K = Value::Kind;
  const K ka = a.kind();
  const K kb = b.kind();
  if (ka == K::Empty)
    return (kb == K::Text && b.text().isEmpty()) || (kb == K::Number && b.number() == 0);
  if (kb == K::Empty) return EqualAcrossKinds(b, a);
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
