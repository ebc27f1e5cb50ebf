#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Texts are Unicode in memory and Windows-1252 on disk, one byte a character.
// Encoding never substitutes: a text with a character outside the code page gives nothing.
std::optional<QByteArray> EncodeCp1252(const QString& text);
QString DecodeCp1252(const QByteArray& bytes);

// The first character of the text that Windows-1252 cannot hold, if any.
std::optional<QChar> FirstCharOutsideCp1252(const QString& text);
