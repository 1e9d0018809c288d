#include "convert/rules/case_rules.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "convert/rules/case_mapping.h"

// Most cell text is ASCII, so the rules are written as branch-free passes over the whole text
// that the compiler turns into vector code; only runs outside ASCII go to the platform's case
// tables. The ASCII mappings leave every other code unit as it is, so a pass may run over all of
// the text before the non-ASCII runs are mapped.

namespace morvane {
namespace {

using case_mapping::Direction;

constexpr char16_t kAsciiEnd = 0x80;

bool IsAsciiLower(char16_t c) {
  return static_cast<std::uint16_t>(c - u'a') < 26;
}
// Folding bit 5 in is only ever a letter for the 52 basic Latin letters.
bool IsBasicLatinLetter(char16_t c) {
  return IsAsciiLower(c | 0x20);
}

bool IsWordSeparator(char16_t c) {
  return c == 0 || (c >= 9 && c <= 13) || c == u' ';
}

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// Writes the text to out with its ASCII letters mapped; returns whether any code unit lies
// outside ASCII. Reading from the source rather than from a fresh copy keeps the loads clear of
// the copy's stores, which the processor could not forward to them.
bool MapAsciiLetters(const char16_t* source, char16_t* out, std::size_t length,
                     Direction direction) {
  const char16_t first = direction == Direction::ToUpper ? u'a' : u'A';
  const char16_t shift = direction == Direction::ToUpper ? 0xFFE0 : 0x20;  // -32 or +32
  char16_t seen = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  if (length >= 8) {
    const __m128i from = _mm_set1_epi16(static_cast<short>(first));
    const __m128i last = _mm_set1_epi16(25);
    const __m128i delta = _mm_set1_epi16(static_cast<short>(shift));
    __m128i any = _mm_setzero_si128();
    // The last block may overlap mapped units; mapping an ASCII letter twice gives the same
    // result, so short texts need no scalar tail.
    for (;;) {
      const std::size_t at = i + 8 <= length ? i : length - 8;
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + at));
      any = _mm_or_si128(any, v);
      const __m128i in_range =
          _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(v, from), last), _mm_setzero_si128());
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at),
                       _mm_add_epi16(v, _mm_and_si128(in_range, delta)));
      i = at + 8;
      if (i >= length) {
        break;
      }
    }
    return (_mm_movemask_epi8(_mm_cmpgt_epi16(_mm_srli_epi16(any, 7), _mm_setzero_si128())) != 0);
  }
#endif
  for (; i < length; ++i) {
    const char16_t c = source[i];
    seen |= c;
    out[i] = c + (static_cast<std::uint16_t>(c - first) < 26 ? shift : 0);
  }
  return seen >= kAsciiEnd;
}

void MapNonAsciiRuns(char16_t* data, std::size_t length, Direction direction) {
  std::size_t i = 0;
  while (i < length) {
    if (data[i] < kAsciiEnd) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < length && data[i] >= kAsciiEnd) {
      ++i;
    }
    case_mapping::MapInPlace(data + start, i - start, direction);
  }
}

// Writes the mapped text to out; returns whether the text holds anything outside ASCII.
bool MapAll(std::u16string_view text, std::u16string& out, Direction direction) {
  const bool nonAscii = MapAsciiLetters(text.data(), out.data(), text.size(), direction);
  if (nonAscii) {
    MapNonAsciiRuns(out.data(), out.size(), direction);
  }
  return nonAscii;
}

void TitleCase(std::u16string_view original, std::u16string& text) {
  const bool nonAscii = MapAll(original, text, Direction::ToLower);
  if (text.empty()) {
    return;
  }
  char16_t* const data = text.data();
  const std::size_t length = text.size();
  // Lowering never makes or unmakes a separator, so word starts are read from the original text,
  // which keeps this loop free of a dependency on its own writes.
  data[0] -= IsAsciiLower(data[0]) ? 32 : 0;
  for (std::size_t i = 1; i < length; ++i) {
    const char16_t c = data[i];
    data[i] = c - ((IsWordSeparator(original[i - 1]) && IsAsciiLower(c)) ? 32 : 0);
  }
  if (!nonAscii) {
    return;
  }
  for (std::size_t i = 0; i < length; ++i) {
    if (data[i] >= kAsciiEnd && (i == 0 || IsWordSeparator(original[i - 1]))) {
      const bool pair = IsHighSurrogate(data[i]) && i + 1 < length && IsLowSurrogate(data[i + 1]);
      case_mapping::MapInPlace(data + i, pair ? 2 : 1, Direction::ToUpper);
    }
  }
}

#if defined(__SSE2__)
// For each 8-bit mask, eight 16-bit lanes that are all ones where the mask has a bit.
struct LaneMasks {
  alignas(16) std::uint16_t lanes[256][8];
};
constexpr LaneMasks MakeLaneMasks() {
  LaneMasks table{};
  for (unsigned bits = 0; bits < 256; ++bits) {
    for (unsigned lane = 0; lane < 8; ++lane) {
      table.lanes[bits][lane] = ((bits >> lane) & 1) ? 0xFFFF : 0;
    }
  }
  return table;
}
constexpr LaneMasks kLaneMasks = MakeLaneMasks();
#endif

// Sentence case, in blocks of 16 code units where the processor has SSE2. A letter is
// capitalised exactly when the last letter or sentence end before it is a sentence end (or there
// is none). With bit masks of the letters and of the sentence ends, adding the ends to the
// non-letters carries each end's bit up to the first letter after it; a carry out of the block
// means a capital is still pending for the next one.
void SentenceCase(std::u16string_view text, std::u16string& out) {
  const char16_t* const source = text.data();
  char16_t* const data = out.data();
  const std::size_t length = text.size();
  bool capitalizeNext = true;
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i bit5 = _mm_set1_epi16(0x20);
  const __m128i small_a = _mm_set1_epi16(u'a');
  const __m128i alphabet_last = _mm_set1_epi16(25);
  const __m128i full_stop = _mm_set1_epi16(u'.');
  const __m128i question_mark = _mm_set1_epi16(u'?');
  const auto letter_lanes = [&](__m128i v) {
    const __m128i offset = _mm_sub_epi16(_mm_or_si128(v, bit5), small_a);
    return _mm_cmpeq_epi16(_mm_subs_epu16(offset, alphabet_last), _mm_setzero_si128());
  };
  const auto end_lanes = [&](__m128i v) {
    return _mm_or_si128(_mm_cmpeq_epi16(v, full_stop), _mm_cmpeq_epi16(v, question_mark));
  };
  const auto recase = [&](__m128i v, __m128i letters, std::uint32_t capital_bits) {
    const __m128i capital =
        _mm_load_si128(reinterpret_cast<const __m128i*>(kLaneMasks.lanes[capital_bits]));
    const __m128i cased = _mm_xor_si128(_mm_or_si128(v, bit5), _mm_and_si128(capital, bit5));
    return _mm_or_si128(_mm_and_si128(letters, cased), _mm_andnot_si128(letters, v));
  };
  for (; i + 16 <= length; i += 16) {
    const __m128i* const from = reinterpret_cast<const __m128i*>(source + i);
    __m128i* const at = reinterpret_cast<__m128i*>(data + i);
    const __m128i v0 = _mm_loadu_si128(from);
    const __m128i v1 = _mm_loadu_si128(from + 1);
    const __m128i letters0 = letter_lanes(v0);
    const __m128i letters1 = letter_lanes(v1);
    const std::uint32_t letters =
        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(letters0, letters1)));
    const std::uint32_t ends = static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_packs_epi16(end_lanes(v0), end_lanes(v1))));
    const std::uint32_t sum = (~letters & 0xFFFF) + ends + (capitalizeNext ? 1 : 0);
    const std::uint32_t capitals = sum & letters;
    capitalizeNext = (sum >> 16) != 0;
    if (capitals == 0) {  // the usual block: every letter in it is lowered
      _mm_storeu_si128(at, _mm_or_si128(v0, _mm_and_si128(letters0, bit5)));
      _mm_storeu_si128(at + 1, _mm_or_si128(v1, _mm_and_si128(letters1, bit5)));
      continue;
    }
    _mm_storeu_si128(at, recase(v0, letters0, capitals & 0xFF));
    _mm_storeu_si128(at + 1, recase(v1, letters1, capitals >> 8));
  }
#endif
  for (; i < length; ++i) {  // branch-free: letters and sentence ends come in any order
    const char16_t c = source[i];
    const bool letter = IsBasicLatinLetter(c);
    const bool end = c == u'.' || c == u'?';
    const char16_t cased = capitalizeNext ? (c & ~0x20) : (c | 0x20);
    data[i] = letter ? cased : c;
    capitalizeNext = !letter && (capitalizeNext || end);
  }
}

}  // namespace

std::u16string ApplyCase(std::u16string_view text, CaseMode mode) {
  std::u16string result(text.size(), u'\0');
  switch (mode) {
    case CaseMode::UpperCase:
      MapAll(text, result, Direction::ToUpper);
      break;
    case CaseMode::LowerCase:
      MapAll(text, result, Direction::ToLower);
      break;
    case CaseMode::TitleCase:
      TitleCase(text, result);
      break;
    case CaseMode::SentenceCase:
      SentenceCase(text, result);
      break;
  }
  return result;
}

}  // namespace morvane
