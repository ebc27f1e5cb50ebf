#include "store/cp1252.h"

namespace {

// The characters of the bytes 0x80 to 0x9F. The five bytes the code page leaves undefined
// stand for the C1 control characters of the same number, so every byte survives a round trip.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> ByteOf(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == c) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

}  // namespace

bool AppendCp1252(QStringView text, QByteArray& out) {
  const qsizetype start = out.size();
  out.resize(start + text.size());
  char* dst = out.data() + start;
  for (QChar qc : text) {
    const char16_t c = qc.unicode();
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      *dst++ = static_cast<char>(c);
    } else if (auto b = ByteOf(c)) {
      *dst++ = *b;
    } else {
      out.resize(start);
      return false;
    }
  }
  return true;
}

std::optional<QByteArray> EncodeCp1252(QStringView text) {
  QByteArray out;
  if (!AppendCp1252(text, out)) return std::nullopt;
  return out;
}

QString DecodeCp1252(const char* bytes, qsizetype size) {
  QString text = QString::fromLatin1(bytes, size);
  for (qsizetype i = 0; i < size; ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b >= 0x80 && b < 0xA0) text[i] = QChar(kHigh[b - 0x80]);
  }
  return text;
}

std::optional<QChar> FirstCharOutsideCp1252(QStringView text) {
  for (QChar c : text) {
    if (!ByteOf(c.unicode())) return c;
  }
  return std::nullopt;
}
