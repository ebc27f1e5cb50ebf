#include "store/cp1252.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The characters of the bytes 0x80 to 0x9F. The five bytes the code page leaves undefined
// stand for the C1 control characters of the same number, so every byte survives a round trip.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> ByteOf(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == c) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

// Stores eight characters as eight bytes when all of them are plain Latin-1 outside 0x80 to
// 0x9F (and no field breakers, if refused); false, storing nothing, otherwise.
bool StoreEightPlain(const char16_t* src, bool refuseFieldBreakers, char* dst) {
#if defined(__SSE2__)
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
  const __m128i notLatin1 =
      _mm_xor_si128(_mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(static_cast<short>(0xFF00))),
                                    _mm_setzero_si128()),
                    _mm_set1_epi16(-1));
  const __m128i c1 = _mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(static_cast<short>(0xFFE0))),
                                     _mm_set1_epi16(0x80));
  __m128i bad = _mm_or_si128(notLatin1, c1);
  if (refuseFieldBreakers) {
    bad = _mm_or_si128(bad, _mm_cmpeq_epi16(v, _mm_set1_epi16(u'"')));
    bad = _mm_or_si128(bad, _mm_cmpeq_epi16(v, _mm_set1_epi16(u'\r')));
    bad = _mm_or_si128(bad, _mm_cmpeq_epi16(v, _mm_set1_epi16(u'\n')));
  }
  if (_mm_movemask_epi8(bad) != 0) return false;
  _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(v, v));
  return true;
#else
  (void)src, (void)refuseFieldBreakers, (void)dst;
  return false;
#endif
}

}  // namespace

bool AppendCp1252(QStringView text, std::string& out, bool refuseFieldBreakers) {
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(text.size()));
  char* dst = out.data() + start;
  const char16_t* src = text.utf16();
  const qsizetype n = text.size();
  qsizetype i = 0;
  while (i < n) {
    if (i + 8 <= n && StoreEightPlain(src + i, refuseFieldBreakers, dst)) {
      i += 8;
      dst += 8;
      continue;
    }
    const char16_t c = src[i++];
    const std::optional<char> b = ByteOf(c);
    if (!b || (refuseFieldBreakers && (c == u'"' || c == u'\r' || c == u'\n'))) {
      out.resize(start);
      return false;
    }
    *dst++ = *b;
  }
  return true;
}

std::optional<QByteArray> EncodeCp1252(QStringView text) {
  std::string out;
  if (!AppendCp1252(text, out)) return std::nullopt;
  return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

namespace {
void FixHighControls(QString& text, const char* bytes, qsizetype from, qsizetype to) {
  for (qsizetype j = from; j < to; ++j) {
    const auto b = static_cast<unsigned char>(bytes[j]);
    if (b >= 0x80 && b < 0xA0) text[j] = QChar(kHigh[b - 0x80]);
  }
}
}  // namespace

QString DecodeCp1252(const char* bytes, qsizetype size) {
  if (size == 0) return QString();
  QString text = QString::fromLatin1(bytes, size);
  // Only the bytes 0x80 to 0x9F differ from Latin-1; look for them sixteen bytes at a time.
  qsizetype i = 0;
#if defined(__SSE2__)
  const __m128i mask = _mm_set1_epi8(static_cast<char>(0xE0));
  const __m128i high = _mm_set1_epi8(static_cast<char>(0x80));
  for (; i + 16 <= size; i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    for (unsigned hits = static_cast<unsigned>(
             _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(chunk, mask), high)));
         hits != 0; hits &= hits - 1) {
      const qsizetype j = i + __builtin_ctz(hits);
      text[j] = QChar(kHigh[static_cast<unsigned char>(bytes[j]) - 0x80]);
    }
  }
#endif
  FixHighControls(text, bytes, i, size);
  return text;
}

std::optional<QChar> FirstCharOutsideCp1252(QStringView text) {
  for (QChar c : text) {
    if (!ByteOf(c.unicode())) return c;
  }
  return std::nullopt;
}
