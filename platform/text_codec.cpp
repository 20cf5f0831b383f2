// 8-bit code pages to and from QString through glibc iconv, with visible
// replacements in place of bytes or characters that have no counterpart.
#include "platform/text_codec.h"

#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "game/notation.h"

namespace {

constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";  // U+FFFD
constexpr char kUnmappableByte = '?';

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte),
// so that an unmappable character is skipped as a whole.
size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// Converts `length` bytes from `from` to `to`. On an invalid or unmappable
// input sequence it appends `replacement` and skips `skip(lead byte)` bytes;
// an incomplete sequence at the end is replaced the same way.
template <typename SkipFn>
std::string Convert(const char* text, size_t length, const char* from, const char* to,
                    const char* replacement, SkipFn skip) {
  std::string result;
  if (text == nullptr || length == 0) return result;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // Cannot happen with glibc's converters; keep the ASCII part readable.
    for (size_t i = 0; i < length; ++i) {
      const unsigned char c = static_cast<unsigned char>(text[i]);
      result += c < 0x80 ? static_cast<char>(c) : kUnmappableByte;
    }
    return result;
  }
  char* in = const_cast<char*>(text);
  size_t inLeft = length;
  char buffer[256];
  while (inLeft > 0) {
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    const size_t status = iconv(cd, &in, &inLeft, &out, &outLeft);
    result.append(buffer, static_cast<size_t>(out - buffer));
    if (status != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // EILSEQ (not valid or no counterpart) or EINVAL (cut short at the end).
    result += replacement;
    const size_t step = std::min(inLeft, skip(static_cast<unsigned char>(*in)));
    in += step;
    inLeft -= step;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  }
  char* out = buffer;
  size_t outLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, &out, &outLeft);
  result.append(buffer, static_cast<size_t>(out - buffer));
  iconv_close(cd);
  return result;
}

}  // namespace

CodePage CodePageForLanguage(int language) {
  if (language == kLanguageSimplifiedChinese) return CodePage::kGbk;
  if (language == kLanguageTraditionalChinese) return CodePage::kBig5;
  return CodePage::kWindows1252;
}

CodePage MoveTextCodePage(int notationKind) {
  return notationKind == kNotationWxfChinese || notationKind == kNotationAxfChinese
             ? CodePage::kGbk
             : CodePage::kWindows1252;
}

CodePage TextPageCodePage(uint8_t textPage) {
  switch (textPage) {
    case kHeaderTextsGbk: return CodePage::kGbk;
    case kHeaderTextsLatin: return CodePage::kWindows1252;
    default: return CodePageForLanguage(currentLanguage);
  }
}

CodePage HeaderCodePage(const GameHeader& header) { return TextPageCodePage(header.textPage); }

QString DecodeHeaderText(const GameHeader& header, const char* text) {
  return DecodeText(text, HeaderCodePage(header));
}

QString DecodeText(const char* text, size_t length, CodePage page) {
  // A bad byte is dropped alone, so a double-byte text resynchronises on
  // the next byte.
  const std::string utf8 = Convert(text, length, CodePageName(page), "UTF-8",
                                   kReplacementUtf8, [](unsigned char) { return size_t{1}; });
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString DecodeText(const char* text, CodePage page) {
  if (text == nullptr) return QString();
  return DecodeText(text, std::strlen(text), page);
}

QString DecodeLanguageText(const char* text, int language) {
  return DecodeText(text, CodePageForLanguage(language));
}

QString TrText(const TextRow& row) {
  int language = currentLanguage;
  if (language < 0 || language >= kLanguageCount) language = kLanguageEnglish;
  return DecodeLanguageText(Tr(row), language);
}

QString MenuTextString(MenuTextId text, int language) {
  // The menu tables are indexed without checks; an id or language outside
  // them shows nothing rather than reading past the tables.
  if (text >= kMenuTextCount || language < 0 || language >= kLanguageCount) return QString();
  return DecodeText(MenuText(text, language), MenuTextCodePage(text, language));
}

QByteArray EncodeText(const QString& text, CodePage page) {
  const QByteArray utf8 = text.toUtf8();
  char replacement[2] = {kUnmappableByte, '\0'};
  const std::string bytes =
      Convert(utf8.constData(), static_cast<size_t>(utf8.size()), "UTF-8", CodePageName(page),
              replacement, Utf8SequenceLength);
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool EncodeTextExactly(const QString& text, CodePage page, QByteArray* bytes) {
  const QByteArray utf8 = text.toUtf8();
  bool lost = false;
  const std::string encoded =
      Convert(utf8.constData(), static_cast<size_t>(utf8.size()), "UTF-8", CodePageName(page), "",
              [&lost](unsigned char lead) {
                lost = true;
                return Utf8SequenceLength(lead);
              });
  // A converter may also map a character to a look-alike (a best fit):
  // only a text that reads back the same is kept exactly.
  if (lost || DecodeText(encoded.data(), encoded.size(), page) != text) return false;
  *bytes = QByteArray(encoded.data(), static_cast<qsizetype>(encoded.size()));
  return true;
}

QByteArray EncodeLanguageText(const QString& text, int language) {
  return EncodeText(text, CodePageForLanguage(language));
}
