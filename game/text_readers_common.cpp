// Helpers shared by the text game readers: whole-file reading, line
// splitting, tag values and results, and move words in Chinese notation.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "engine/position/position.h"
#include "game/notation.h"
#include "game/regular_file.h"
#include "game/text_encoding.h"
#include "game/text_readers.h"

namespace text_reading {

namespace {
std::string unreadMoveText;
}  // namespace

const std::string& UnreadMoveText() { return unreadMoveText; }
void SetUnreadMoveText(std::string text) { unreadMoveText = std::move(text); }

bool IsResultWord(const std::string& word) {
  for (const char* result : {"1-0", "0-1", "1/2-1/2", "0-0", "\xBD-\xBD", "*"})
    if (word == result) return true;
  return false;
}

namespace {

bool IsOneOf(char c, const char* set) { return c != '\0' && std::strchr(set, c) != nullptr; }

// The shape of a move text in WXF or AXF letters, perhaps with its marks:
// a piece letter, a tandem sign or a pawn's file digit, then a file digit,
// a sign or a letter, a direction and a digit ("C2.5", "+C.5", "P+=4",
// "77.4", "C2=5!?").
bool IsMoveShaped(const std::string& text) {
  return text.size() >= 4 && IsOneOf(text[0], "KAEBHNRCPkaebhnrcp+-123456789") &&
         IsOneOf(text[1], "0123456789+-.KAEBHNRCPkaebhnrcp") && IsOneOf(text[2], "+-.=") &&
         text[3] >= '0' && text[3] <= '9' && text.find_first_not_of("!?=", 4) == std::string::npos;
}

}  // namespace

WordAfterResult KindOfWordAfterResult(const std::string& word) {
  const std::string text = NormalizeMoveWord(word);
  size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  size_t dots = digits;
  while (dots < text.size() && text[dots] == '.') ++dots;
  if (digits >= 1 && digits <= 3 && dots > digits &&
      (dots == text.size() || IsMoveShaped(text.substr(dots)))) {
    return text.compare(0, digits, "1") == 0 ? kFirstMoveNumber : kMoveWord;
  }
  return IsMoveShaped(text) ? kMoveWord : kNoMoveWord;
}

int ReadWholeFile(const char* path, std::string& out) {
  out.clear();
  if (path == nullptr) return 0;
  std::FILE* f = OpenRegularFile(path, "rb");
  if (f == nullptr) return 0;
  char chunk[65536];
  bool ok = true;
  bool tooLong = false;
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, f);
    if (n > 0) {
      if (out.size() + n > kTextGameFileCap) {
        ok = false;
        tooLong = true;
        break;
      }
      out.append(chunk, n);
    }
    if (n < sizeof chunk) {
      if (std::ferror(f)) ok = false;
      break;
    }
  }
  std::fclose(f);
  if (!ok) {
    out.clear();
    if (tooLong)
      LogLoadProblem(path, "the file is longer than %zu bytes and is not read", kTextGameFileCap);
    else
      LogLoadProblem(path, "read error");
  }
  return ok ? 1 : 0;
}

uint64_t lackingCharacters = 0;

bool ConvertGameText(const char* path, std::string& text) {
  size_t damagedAt = 0;
  uint64_t lacking = 0;
  const GameTextReading reading = ConvertUtf8TextToGbk(text, &damagedAt, &lacking);
  // Texts are kept in GBK: what it has no character for is said, not
  // changed in silence.
  if (lacking != 0) {
    const bool one = lacking == 1;
    LogLoadProblem(path, "%llu %s of the UTF-8 text %s no GBK form and %s as \"?\"",
                   static_cast<unsigned long long>(lacking), one ? "character" : "characters",
                   one ? "has" : "have", one ? "reads" : "read");
    lackingCharacters += lacking;
  }
  if (reading != kGameTextUtf8Damaged) return false;
  LogLoadProblem(path, "UTF-8 text damaged at byte %zu, the file is read up to it", damagedAt);
  return true;
}

namespace {

// The offset just after the line end that begins at text[i] (LF, CR LF or
// CR alone), or i when there is none there.
size_t SkipLineEnd(const std::string& text, size_t i) {
  if (i >= text.size()) return i;
  if (text[i] == '\n') return i + 1;
  if (text[i] != '\r') return i;
  return i + 1 < text.size() && text[i + 1] == '\n' ? i + 2 : i + 1;
}

}  // namespace

void SplitLines(const std::string& text, std::vector<std::string>& lines) {
  lines.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.emplace_back(text, start, end - start);
    start = SkipLineEnd(text, end);
    if (start == end) break;  // the end of the text
  }
}

std::string TagValue(const std::string& line, size_t nameLength) {
  const size_t open = line.find('"', nameLength);
  if (open == std::string::npos) return std::string();
  const size_t close = line.find('"', open + 1);
  if (close == std::string::npos) return std::string();
  return line.substr(open + 1, close - open - 1);
}

bool MoveNumbering::Follows(uint64_t number, int plies, bool fromStandardStart) {
  if (!seen_ && fromStandardStart) {
    // The standard start is move 1: the numbers count from there.
    seen_ = true;
    first_ = 1;
    firstPly_ = 0;
  }
  if (!seen_) {
    seen_ = true;
    first_ = number;
    firstPly_ = plies;
    return true;
  }
  if (plies < firstPly_) return false;
  const auto moves = static_cast<uint64_t>(plies - firstPly_);
  const bool pair =
      perPair_ && (number == first_ + moves / 2 || number == first_ + (moves + 1) / 2);
  const bool ply = perPly_ && number == first_ + moves;
  if (!pair && !ply) return false;
  perPair_ = pair;
  perPly_ = ply;
  return true;
}

size_t DropZeroTail(std::string& text) {
  const size_t last = text.find_last_not_of(std::string_view(" \t\r\n\0", 5));
  const size_t from = last == std::string::npos ? 0 : last + 1;
  const auto tail = text.begin() + static_cast<std::ptrdiff_t>(from);
  const auto zeros = static_cast<size_t>(std::count(tail, text.end(), '\0'));
  text.erase(std::remove(tail, text.end(), '\0'), text.end());
  return zeros;
}

const char* NoGameReason(bool empty, size_t zeros, const std::string& text,
                         const char* noneFound) {
  if (empty) return "the file is empty";
  if (zeros > 0 && text.find_first_not_of(" \t\r\n") == std::string::npos)
    return "the file holds nothing but zero bytes and blanks";
  return noneFound;
}

uint64_t LeadingNumber(std::string_view word) {
  uint64_t number = 0;
  for (size_t i = 0; i < word.size() && i < 9 && word[i] >= '0' && word[i] <= '9'; ++i)
    number = number * 10 + static_cast<uint64_t>(word[i] - '0');
  return number;
}

std::string TranslatedName(const std::string& value) {
  if (value.find('\0') != std::string::npos) return value;
  return TranslatePlayerName(value.c_str());
}

int ResultOfTag(const std::string& value) {
  if (value.compare(0, 3, "1-0") == 0) return kResultRedWins;
  if (value.compare(0, 3, "0-1") == 0) return kResultBlackWins;
  if (value.compare(0, 3, "0-0") == 0 || value.compare(0, 3, "\xBD-\xBD") == 0 ||
      value.compare(0, 7, "1/2-1/2") == 0)
    return kResultDraw;
  return -1;
}

std::string NarrowFullWidth(const std::string& text) {
  // Row A3 of GBK holds the ASCII characters 21..7E at A3A1..A3FE.
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80 || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    const auto trail = static_cast<unsigned char>(text[i + 1]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out += static_cast<char>(trail - 0x80);
    } else {
      out += text[i];
      out += text[i + 1];
    }
    ++i;
  }
  return out;
}

std::string NormalizeMoveWord(const std::string& word) {
  const std::string narrow = NarrowFullWidth(word);
  std::string out(narrow.size() + 1, '\0');
  NormalizeMoveText(narrow.c_str(), out.data());
  out.resize(std::strlen(out.c_str()));
  return out;
}

}  // namespace text_reading
