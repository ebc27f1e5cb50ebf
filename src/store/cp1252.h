// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>

// Texts are Unicode in memory and Windows-1252 on disk, one byte a character.
// The code page is Latin-1 but for the 32 bytes 0x80 to 0x9F; the whole file goes through this
// codec on every load and save, so it is a table lookup rather than a general converter (a test
// checks it against Qt's own Windows-1252 codec for every byte and every character).
// Encoding never substitutes: a character outside the code page makes the encoding fail.

// Appends the bytes of `text` to `out`; false (and `out` as it was) when a character has no
// byte, or with `refuseFieldBreakers` is a double quote or a line break.
[[nodiscard]] bool AppendCp1252(QStringView text, std::string& out,
                                bool refuseFieldBreakers = false);
// Writes the bytes of `text` to `dst`, which has room for text.size() bytes, and returns the end
// of what it wrote; nothing (with `dst` partly written) when a character has no byte, or with
// `refuseFieldBreakers` is a double quote or a line break.
char* EncodeCp1252Into(QStringView text, char* dst, bool refuseFieldBreakers);
std::optional<QByteArray> EncodeCp1252(QStringView text);
QString DecodeCp1252(const char* bytes, qsizetype size);
inline QString DecodeCp1252(const QByteArray& bytes) {
  return DecodeCp1252(bytes.constData(), bytes.size());
}

// A character as the messages name it: itself in German quotation marks and its code point, since
// it may be one that shows as nothing: „✓“ (U+2713).
QString CharacterShown(char32_t c);

// Whether bytes are text in UTF-8 rather than Windows-1252: they begin with the UTF-8 byte order
// mark, or hold a byte beyond ASCII and are valid UTF-8 from the first of them on.
bool IsUtf8Text(const char* data, qsizetype size);

// Whether every character is one Windows-1252 holds as the byte of its own number, and none is a
// control character or a double quote: true for most texts, and told quickly.
bool IsPlainCp1252(QStringView text);
// The first character of the text that Windows-1252 cannot hold, if any.
std::optional<QChar> FirstCharOutsideCp1252(QStringView text);
// The first double quote or line break of the text, if any.
std::optional<QChar> FirstFieldBreaker(QStringView text);
