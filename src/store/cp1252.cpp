#include "store/cp1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
constexpr auto kCodePage = "windows-1252";
}

std::optional<QByteArray> EncodeCp1252(const QString& text) {
  QStringEncoder encoder(kCodePage);
  QByteArray bytes = encoder.encode(text);
  if (encoder.hasError() || !encoder.isValid()) return std::nullopt;
  return bytes;
}

QString DecodeCp1252(const QByteArray& bytes) {
  QStringDecoder decoder(kCodePage);
  return decoder.decode(bytes);
}

std::optional<QChar> FirstCharOutsideCp1252(const QString& text) {
  if (EncodeCp1252(text)) return std::nullopt;
  for (qsizetype i = 0; i < text.size(); ++i) {
    // A surrogate pair is one character; report its first half, which is enough to name it.
    const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    if (!EncodeCp1252(text.mid(i, len))) return text[i];
    i += len - 1;
  }
  return text.isEmpty() ? std::nullopt : std::optional<QChar>(text[0]);
}
