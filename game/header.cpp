// The game header and the game file name.
#include "game/header.h"

#include <cstring>

namespace {

// Copies at most size - 1 bytes of text and a NUL; a text that does not fit
// is cut on a character boundary.
void CopyBounded(char* out, int size, const char* text) {
  if (text == nullptr) text = "";
  const size_t n = FitDoubleByteText(text, std::strlen(text), static_cast<size_t>(size - 1));
  std::memcpy(out, text, n);
  out[n] = '\0';
}

}  // namespace

size_t FitDoubleByteText(const char* text, size_t length, size_t limit) {
  if (length <= limit) return length;
  // Walk the characters from the start: a lead byte takes the byte after it
  // along, whatever that byte is, so the pairing is the one a reader sees.
  size_t at = 0;
  while (at < limit) {
    const auto c = static_cast<unsigned char>(text[at]);
    const size_t width = c >= 0x81 && c <= 0xFE ? 2 : 1;
    if (at + width > limit) break;
    at += width;
  }
  return at;
}

constinit const GameHeader emptyGameHeader{};
// Zero-initialised like the empty header, so it is valid before anything
// else runs.
constinit GameHeader currentGameHeader{};

char gameFileName[kGameFileNameSize];

void SetHeaderText(char (&field)[kHeaderTextSize], const char* text) {
  CopyBounded(field, kHeaderTextSize, text);
}

namespace {

struct FieldOfHeader {
  char (GameHeader::*text)[kHeaderTextSize];
  const char* name;
};
constexpr FieldOfHeader kHeaderFields[kHeaderFieldCount] = {
    {&GameHeader::event, "event"},
    {&GameHeader::site, "site"},
    {&GameHeader::date, "date"},
    {&GameHeader::round, "round"},
    {&GameHeader::redName, "red player's name"},
    {&GameHeader::redElo, "red rating"},
    {&GameHeader::blackName, "black player's name"},
    {&GameHeader::blackElo, "black rating"},
    {&GameHeader::author, "author"},
    {&GameHeader::timeControl, "time control"},
};

const FieldOfHeader& FieldEntry(HeaderField field) {
  return kHeaderFields[field < kHeaderFieldCount ? field : kHeaderEvent];
}

}  // namespace

char (&HeaderFieldText(GameHeader& header, HeaderField field))[kHeaderTextSize] {
  return header.*FieldEntry(field).text;
}

const char* HeaderFieldName(HeaderField field) { return FieldEntry(field).name; }

const char* GameResultText(int result) {
  switch (result) {
    case kResultRedWins: return "1-0";
    case kResultBlackWins: return "0-1";
    case kResultDraw: return "\xBD-\xBD";
    default: return "*";
  }
}

void SetGameFileName(const char* path) { CopyBounded(gameFileName, kGameFileNameSize, path); }

void ClearGameFileName() { gameFileName[0] = '\0'; }
