// Telling UTF-8 game files from GBK ones and converting them to GBK (glibc
// iconv).
#include "game/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

bool HasByteOrderMark(const std::string& text) { return text.compare(0, 3, kByteOrderMark) == 0; }

unsigned char ByteAt(const std::string& text, size_t i) {
  return static_cast<unsigned char>(text[i]);
}

// The length of the UTF-8 sequence at text[i], 0 when it is not a valid one
// (overlong forms, surrogates and code points above U+10FFFF included).
size_t Utf8SequenceLength(const std::string& text, size_t i) {
  const unsigned char lead = ByteAt(text, i);
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (ByteAt(text, i + 1) < low || ByteAt(text, i + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k)
    if (ByteAt(text, i + k) < 0x80 || ByteAt(text, i + k) > 0xBF) return 0;
  return length;
}

// Whether the valid three-byte sequence at text[i] is a character of the
// Chinese ranges: CJK radicals, punctuation, kana and ideographs (U+2E80 to
// U+9FFF), compatibility ideographs and forms, full-width forms.
bool IsChineseSequence(const std::string& text, size_t i) {
  const uint32_t code = (ByteAt(text, i) & 0x0Fu) << 12 | (ByteAt(text, i + 1) & 0x3Fu) << 6 |
                        (ByteAt(text, i + 2) & 0x3Fu);
  return (code >= 0x2E80 && code <= 0x9FFF) || (code >= 0xF900 && code <= 0xFAFF) ||
         (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFFEF);
}

// What a reading of a text finds among its non-ASCII bytes: characters
// common in game texts, and faults: bytes that form no character, and
// characters a game text hardly ever holds.
struct Plausibility {
  uint64_t common = 0;
  uint64_t faults = 0;
  uint64_t characters = 0;  // all characters, faults and common ones included
};

enum GbkKind { kGbkCommon, kGbkOther, kGbkFault };

// The GBK character lead/trail: common are the GB2312 punctuation, symbol
// and full-width rows (A1-A3) and its first level of Chinese characters
// (B0-D7); faults are the user-defined areas and the characters GBK added
// to GB2312 (rare ones, and what other texts read as GBK mostly give).
GbkKind KindOfGbk(unsigned char lead, unsigned char trail) {
  const bool gb2312 = lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1;
  if (!gb2312 || (lead >= 0xAA && lead <= 0xAF)) return kGbkFault;
  return lead <= 0xA3 || (lead >= 0xB0 && lead <= 0xD7) ? kGbkCommon : kGbkOther;
}

// The text read as GBK: each lead byte with its trail byte is a character,
// any other byte above 127 forms none.
Plausibility GbkPlausibility(const std::string& text, size_t start) {
  Plausibility p;
  for (size_t i = start; i < text.size();) {
    const unsigned char lead = ByteAt(text, i);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    ++p.characters;
    const unsigned char trail = i + 1 < text.size() ? ByteAt(text, i + 1) : 0;
    if (lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F) {
      const GbkKind kind = KindOfGbk(lead, trail);
      p.common += kind == kGbkCommon ? 1 : 0;
      p.faults += kind == kGbkFault ? 1 : 0;
      i += 2;
      continue;
    }
    ++p.faults;
    ++i;
  }
  return p;
}

// Whether reading a is more plausible than reading b: fewer faults, or as
// many and a larger share of common characters.
bool MorePlausible(const Plausibility& a, const Plausibility& b) {
  if (a.faults != b.faults) return a.faults < b.faults;
  return a.common * b.characters > b.common * a.characters;
}

// Converts text[start, end) from the code page `from`. A character GBK lacks
// (and, from UTF-8, a byte that begins no valid sequence) becomes "?" when
// lenient, counted in *lacking; otherwise such a character makes the
// conversion fail. Returns false on failure.
bool ToGbk(const std::string& text, size_t start, size_t end, bool lenient, std::string& out,
           const char* from = "UTF-8", uint64_t* lacking = nullptr) {
  iconv_t cd = iconv_open("GBK", from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.clear();
  out.reserve(end - start);
  char buffer[4096];
  size_t i = start;
  bool ok = true;
  while (i < end) {
    char* in = const_cast<char*>(text.data() + i);
    size_t inLeft = end - i;
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    const int error = r == static_cast<size_t>(-1) ? errno : 0;
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    i = static_cast<size_t>(in - text.data());
    if (error == 0 || error == E2BIG) continue;
    // A character GBK lacks (EILSEQ) or a sequence cut at the end (EINVAL).
    if (!lenient) {
      ok = false;
      break;
    }
    const size_t n = Utf8SequenceLength(text, i);
    out += '?';
    if (lacking != nullptr) ++*lacking;
    i += n == 0 ? 1 : n;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return ok;
}

// The text read as UTF-8 from start on: whether it holds Chinese characters
// as three-byte sequences, where its first byte that is not UTF-8 stands
// (the size when none), and how plausible the reading is.
struct Utf8Reading {
  bool chinese = false;
  size_t damagedAt = 0;
  Plausibility plausibility;
};

Utf8Reading ReadAsUtf8(const std::string& text, size_t start) {
  Utf8Reading reading;
  reading.damagedAt = text.size();
  // The valid sequences of three and four bytes, for their GBK forms; those
  // of two bytes (Latin, Greek and Cyrillic letters, signs) are what GBK
  // text read as UTF-8 mostly gives, and count as faults.
  std::string sequences;
  uint64_t faults = 0;
  uint64_t characters = 0;
  for (size_t i = start; i < text.size();) {
    const size_t n = Utf8SequenceLength(text, i);
    if (n == 0 && reading.damagedAt == text.size()) reading.damagedAt = i;
    if (n == 0 || n == 2) {
      ++faults;
      ++characters;
    }
    if (n == 3 && IsChineseSequence(text, i)) reading.chinese = true;
    if (n > 2) sequences.append(text, i, n);
    i += n == 0 ? 1 : n;
  }
  std::string gbk;
  uint64_t lacking = 0;
  ToGbk(sequences, 0, sequences.size(), true, gbk, "UTF-8", &lacking);
  reading.plausibility = GbkPlausibility(gbk, 0);
  reading.plausibility.faults += faults + lacking;
  reading.plausibility.characters += characters + lacking;
  return reading;
}

// The decision and the offset of the damage (the size when none).
bool TakeAsUtf8(const std::string& text, size_t* damagedAt) {
  const bool mark = HasByteOrderMark(text);
  const Utf8Reading utf8 = ReadAsUtf8(text, mark ? 3 : 0);
  *damagedAt = utf8.damagedAt;
  if (mark) return true;
  if (!utf8.chinese) return false;
  return MorePlausible(utf8.plausibility, GbkPlausibility(text, 0));
}

}  // namespace

bool IsUtf8GameText(const std::string& text) {
  size_t damagedAt = 0;
  return TakeAsUtf8(text, &damagedAt);
}

GameTextReading ConvertUtf8TextToGbk(std::string& text, size_t* damagedAt, uint64_t* lacking) {
  size_t damage = 0;
  if (!TakeAsUtf8(text, &damage)) return kGameTextGbk;
  std::string converted;
  uint64_t lost = 0;
  if (!ToGbk(text, HasByteOrderMark(text) ? 3 : 0, damage, true, converted, "UTF-8", &lost)) {
    return kGameTextGbk;
  }
  if (lacking != nullptr) *lacking = lost;
  const bool damaged = damage < text.size();
  text.swap(converted);
  if (damagedAt != nullptr) *damagedAt = damage;
  return damaged ? kGameTextUtf8Damaged : kGameTextUtf8;
}

bool ConvertWindows1252TextToGbk(const std::string& text, std::string& out) {
  return ToGbk(text, 0, text.size(), false, out, "WINDOWS-1252");
}
