// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/value.h"

const QString& Value::NoText() {
  static const QString kNone;
  return kNone;
}

bool Value::EqualAcrossKinds(const Value& a, const Value& b) {
  using K = ValueKind;
  const K ka = a.Kind();
  const K kb = b.Kind();
  if (ka == K::Empty)
    return (kb == K::Text && b.Text().isEmpty()) || (kb == K::Number && b.Number() == 0);
  if (kb == K::Empty) return EqualAcrossKinds(b, a);
  return false;
}

namespace {
bool TextLike(const Value& v) {
  return v.IsText() || v.IsEmpty();
}
}  // namespace

Value operator+(const Value& a, const Value& b) {
  if (a.IsEmpty() && b.IsEmpty()) return Value();
  if (TextLike(a) && TextLike(b)) return Value(a.Text() + b.Text());
  return Value(a.Number() + b.Number());
}

Value operator-(const Value& a, const Value& b) {
  if (a.IsEmpty() && b.IsEmpty()) return Value();
  return Value(a.Number() - b.Number());
}
