#pragma once

#include <QString>
#include <ostream>

// Readable GoogleTest failure messages for texts.
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
