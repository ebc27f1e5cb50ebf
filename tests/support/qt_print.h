#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <ostream>

// Readable GoogleTest failure messages for Qt values.
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QDate& d, std::ostream* os) {
  *os << d.toString(Qt::ISODate).toStdString();
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
  *os << '{';
  for (const QString& s : list) *os << '"' << s.toStdString() << "\" ";
  *os << '}';
}
