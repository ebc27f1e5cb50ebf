// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/cp1252.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <QByteArrayView>

namespace {

// The characters of the bytes 0x80 to 0x9F. The five bytes the code page leaves undefined
// stand for the C1 control characters of the same number, so every byte survives a round trip.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> ByteOf(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  // Among the characters of 0x80 to 0x9F, the euro sign and the dashes and quotes of typed
  // text are by far the most common.
  switch (c) {
    case 0x20AC:
      return static_cast<char>(0x80);
    case 0x2013:
      return static_cast<char>(0x96);
    case 0x2014:
      return static_cast<char>(0x97);
    default:
      break;
  }
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == c) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

// The byte of one character that the vector steps leave to it; false when there is none or
// when it is a field breaker that is refused.
bool StoreOne(char16_t c, bool refuseFieldBreakers, char* dst) {
  if (refuseFieldBreakers && (c == u'"' || c == u'\r' || c == u'\n')) return false;
  const std::optional<char> b = ByteOf(c);
  if (!b) return false;
  *dst = *b;
  return true;
}

#if defined(__SSE2__)
// All-ones lanes for the characters among eight that are not simply their own byte: below
// 0x20 (line breaks among them), a double quote, 0x80 to 0x9F, or beyond Latin-1.
inline __m128i NotSimple(__m128i v) {
  // x lies in [lo, lo + span] when x - lo, saturated down by span, is zero.
  const auto within = [&](short lo, short span) {
    return _mm_cmpeq_epi16(
        _mm_subs_epu16(_mm_sub_epi16(v, _mm_set1_epi16(lo)), _mm_set1_epi16(span)),
        _mm_setzero_si128());
  };
  const __m128i simple = _mm_or_si128(within(0x20, 0x5F), within(0xA0, 0x5F));
  return _mm_or_si128(_mm_cmpeq_epi16(simple, _mm_setzero_si128()),
                      _mm_cmpeq_epi16(v, _mm_set1_epi16(u'"')));
}

// Encodes sixteen characters: all of them narrowed in one step, then the few that are not
// simply their own byte one by one. False when one of them cannot be stored.
inline bool EncodeSixteen(const char16_t* src, bool refuseFieldBreakers, char* dst) {
  const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 8));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(a, b));
  auto others =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(NotSimple(a), NotSimple(b))));
  for (; others != 0; others &= others - 1) {
    const int j = __builtin_ctz(others);
    if (!StoreOne(src[j], refuseFieldBreakers, dst + j)) return false;
  }
  return true;
}

// Encodes the first `lanes` (4 or 8) of the characters in `v`, read from `src`, into as many
// bytes at `dst`; the same steps as for sixteen.
inline bool EncodeLanes(__m128i v, int lanes, const char16_t* src, bool refuseFieldBreakers,
                        char* dst) {
  const __m128i narrowed = _mm_packus_epi16(v, v);
  if (lanes == 8) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), narrowed);
  } else {
    const int four = _mm_cvtsi128_si32(narrowed);
    std::memcpy(dst, &four, 4);
  }
  auto others =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(NotSimple(v), _mm_setzero_si128()))) &
      ((1u << lanes) - 1);
  for (; others != 0; others &= others - 1) {
    const int j = __builtin_ctz(others);
    if (!StoreOne(src[j], refuseFieldBreakers, dst + j)) return false;
  }
  return true;
}

// Four to fifteen characters, as two pieces of eight or of four that may overlap (the bytes of
// the overlap are written twice, the same both times). Names, categories and items are short.
inline bool EncodeShort(const char16_t* src, qsizetype n, bool refuseFieldBreakers, char* dst) {
  const auto load = [](const char16_t* at, int lanes) {
    return lanes == 8 ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(at))
                      : _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at));
  };
  const int lanes = n >= 8 ? 8 : 4;
  return EncodeLanes(load(src, lanes), lanes, src, refuseFieldBreakers, dst) &&
         EncodeLanes(load(src + n - lanes, lanes), lanes, src + n - lanes, refuseFieldBreakers,
                     dst + n - lanes);
}
#endif

}  // namespace

char* EncodeCp1252Into(QStringView text, char* dst, bool refuseFieldBreakers) {
  const char16_t* src = text.utf16();
  const qsizetype n = text.size();
  qsizetype i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) {
    if (!EncodeSixteen(src + i, refuseFieldBreakers, dst + i)) return nullptr;
  }
  // The last few characters: the last sixteen again (writing the same bytes over those done).
  if (i < n && n >= 16) {
    if (!EncodeSixteen(src + n - 16, refuseFieldBreakers, dst + n - 16)) return nullptr;
    return dst + n;
  }
  if (n >= 4 && n < 16) return EncodeShort(src, n, refuseFieldBreakers, dst) ? dst + n : nullptr;
#endif
  for (; i < n; ++i) {
    const char16_t c = src[i];
    if (c >= 0x20 && c < 0x80 && c != u'"') {
      dst[i] = static_cast<char>(c);
    } else if (!StoreOne(c, refuseFieldBreakers, dst + i)) {
      return nullptr;
    }
  }
  return dst + n;
}

bool AppendCp1252(QStringView text, std::string& out, bool refuseFieldBreakers) {
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(text.size()));
  char* end = EncodeCp1252Into(text, out.data() + start, refuseFieldBreakers);
  if (!end) {
    out.resize(start);
    return false;
  }
  return true;
}

std::optional<QByteArray> EncodeCp1252(QStringView text) {
  std::string out;
  if (!AppendCp1252(text, out)) return std::nullopt;
  return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

QString DecodeCp1252(const char* bytes, qsizetype size) {
  if (size == 0) return QString();
  QString text(size, Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(text.data());
  // Latin-1 but for the bytes 0x80 to 0x9F: widen sixteen bytes at a time, then fix those.
  qsizetype i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i mask = _mm_set1_epi8(static_cast<char>(0xE0));
  const __m128i high = _mm_set1_epi8(static_cast<char>(0x80));
  for (; i + 16 <= size; i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(chunk, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(chunk, zero));
    for (unsigned hits = static_cast<unsigned>(
             _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(chunk, mask), high)));
         hits != 0; hits &= hits - 1) {
      const qsizetype j = i + __builtin_ctz(hits);
      out[j] = kHigh[static_cast<unsigned char>(bytes[j]) - 0x80];
    }
  }
#endif
  for (; i < size; ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    out[i] = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t{b};
  }
  return text;
}

bool IsPlainCp1252(QStringView text) {
  const char16_t* at = text.utf16();
  const char16_t* const end = at + text.size();
#if defined(__SSE2__)
  for (; end - at >= 8; at += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    if (_mm_movemask_epi8(NotSimple(v)) != 0) return false;
  }
#endif
  for (; at < end; ++at) {
    const char16_t c = *at;
    if (c == u'"' || c < 0x20 || (c >= 0x80 && c < 0xA0) || c > 0xFF) return false;
  }
  return true;
}

namespace {

// The first character that is not plain (as IsPlainCp1252 says) and for which `bad` holds: the
// plain ones are passed eight at a time.
template <typename Bad>
std::optional<QChar> FirstNotPlain(QStringView text, Bad bad) {
  const char16_t* at = text.utf16();
  const char16_t* const end = at + text.size();
#if defined(__SSE2__)
  for (; end - at >= 8; at += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    auto others = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_packs_epi16(NotSimple(v), _mm_setzero_si128())) & 0xFF);
    for (; others != 0; others &= others - 1) {
      const char16_t c = at[__builtin_ctz(others)];
      if (bad(c)) return QChar(c);
    }
  }
#endif
  for (; at < end; ++at) {
    if (bad(*at)) return QChar(*at);
  }
  return std::nullopt;
}

}  // namespace

std::optional<QChar> FirstCharOutsideCp1252(QStringView text) {
  return FirstNotPlain(text, [](char16_t c) { return !ByteOf(c); });
}

std::optional<QChar> FirstFieldBreaker(QStringView text) {
  return FirstNotPlain(text, [](char16_t c) { return c == u'"' || c == u'\r' || c == u'\n'; });
}

QString CharacterShown(char32_t c) {
  return QStringLiteral("„%1“ (U+%2)")
      .arg(QString::fromUcs4(&c, 1),
           QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, u'0'));
}

bool IsUtf8Text(const char* data, qsizetype size) {
  if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) return true;
  qsizetype i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= size; i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    if (_mm_movemask_epi8(chunk) != 0) break;
  }
#endif
  while (i < size && static_cast<unsigned char>(data[i]) < 0x80) ++i;
  return i < size && QByteArrayView(data + i, size - i).isValidUtf8();
}
