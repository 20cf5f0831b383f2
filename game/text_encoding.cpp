// Recognising UTF-8 game files and converting them to GBK (glibc iconv).
#include "game/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

bool HasByteOrderMark(const std::string& text) { return text.compare(0, 3, kByteOrderMark) == 0; }

// The length of the UTF-8 sequence at text[i], 0 when it is not a valid one
// (overlong forms, surrogates and code points above U+10FFFF included).
size_t Utf8SequenceLength(const std::string& text, size_t i) {
  const auto at = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = at(i);
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
  if (at(i + 1) < low || at(i + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k)
    if (at(i + k) < 0x80 || at(i + k) > 0xBF) return 0;
  return length;
}

// Valid UTF-8 from offset start on, holding at least one byte above 127.
bool IsValidUtf8WithHighBytes(const std::string& text, size_t start) {
  bool high = false;
  for (size_t i = start; i < text.size();) {
    const size_t n = Utf8SequenceLength(text, i);
    if (n == 0) return false;
    high = high || n > 1;
    i += n;
  }
  return high;
}

// Converts text from offset start on, from the code page `from`. Each
// character GBK lacks, and each byte that begins no valid sequence, becomes
// "?" when lenient (UTF-8 only); otherwise such a character makes the
// conversion fail. Returns false on failure.
bool ToGbk(const std::string& text, size_t start, bool lenient, std::string& out,
           const char* from = "UTF-8") {
  iconv_t cd = iconv_open("GBK", from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.clear();
  out.reserve(text.size() - start);
  char buffer[4096];
  size_t i = start;
  bool ok = true;
  while (i < text.size()) {
    char* in = const_cast<char*>(text.data() + i);
    size_t inLeft = text.size() - i;
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
    i += n == 0 ? 1 : n;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return ok;
}

}  // namespace

bool IsUtf8GameText(const std::string& text) {
  if (HasByteOrderMark(text)) return true;
  if (!IsValidUtf8WithHighBytes(text, 0)) return false;
  std::string converted;
  return ToGbk(text, 0, false, converted);
}

bool ConvertUtf8TextToGbk(std::string& text) {
  const bool mark = HasByteOrderMark(text);
  const size_t start = mark ? 3 : 0;
  if (!mark && !IsValidUtf8WithHighBytes(text, 0)) return false;
  std::string converted;
  if (!ToGbk(text, start, mark, converted)) return false;
  text.swap(converted);
  return true;
}

bool ConvertWindows1252TextToGbk(const std::string& text, std::string& out) {
  return ToGbk(text, 0, false, out, "WINDOWS-1252");
}
