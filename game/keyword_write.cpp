// Writing keyword text game files (WXF and AXF moves). A save that fails
// leaves the previous file as it was.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "game/atomic_file.h"
#include "game/comments.h"
#include "game/header.h"
#include "game/keyword_files.h"
#include "game/load_game.h"
#include "game/notation.h"
#include "game/text_encoding.h"

std::string EscapeComment(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] != '*') continue;
    size_t next = i + 1;
    while (next < text.size() && text[next] == '\\') ++next;
    if (next < text.size() && text[next] == '/') out += '\\';
  }
  return out;
}

namespace {

constexpr const char* kStandardStartFen =
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RHEAKAEHR w";

// The leading integer of a rating text (blanks, a sign, digits), 0 when
// there is none; held to the range of an int.
int LeadingInteger(const char* text) {
  const long value = std::strtol(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

void AppendFormatted(std::string& out, const char* format, const char* text) {
  char buffer[kHeaderTextSize + 32];
  std::snprintf(buffer, sizeof buffer, format, text);
  out += buffer;
}

// A rating as these files hold it: a whole number written plainly ("2400",
// "0", "-5"), or none (an unknown rating).
bool IsKeptRating(const char* text) {
  return IsUnknownRating(text) || std::to_string(LeadingInteger(text)) == text;
}

// "name;rating;;", or "name;;;" without a rating. Ratings reach here kept
// (IsKeptRating): the text is the number, or an unknown rating.
void AppendPlayerLine(std::string& out, const char* keyword, const char* name, const char* elo) {
  out += keyword;
  out += name;
  if (!IsUnknownRating(elo)) {
    out += ';';
    out += elo;
    out += ";;\n";
  } else {
    out += ";;;\n";
  }
}

// Whether a text written after its keyword reads back as itself: a line
// ends at CR or LF, and the reader passes over the blanks and tabs after
// the keyword (only tabs before a name, whose leading blanks it keeps).
bool ReadsBackAsWritten(const char* text, bool leadingBlanksKept) {
  if (text[0] == '\t' || (text[0] == ' ' && !leadingBlanksKept)) return false;
  return std::strpbrk(text, "\r\n") == nullptr;
}

// 0, kSaveTextsNotOneLine when a header text written would read back as
// another text or another line, or kSaveRatingsNotKept when a rating is
// neither a plain number nor an unknown one.
int HeaderTextsReadBack(const GameHeader& header) {
  const bool whole =
      ReadsBackAsWritten(header.redName, true) && ReadsBackAsWritten(header.blackName, true) &&
      ReadsBackAsWritten(header.date, false) && ReadsBackAsWritten(header.event, false);
  if (!whole) return kSaveTextsNotOneLine;
  if (KeywordRatingNotKept(header) != RatingNotKept::kNone) return kSaveRatingsNotKept;
  return 0;
}

// A comment as the file holds it between "/*" and "*/": its line breaks
// (CR LF, CR or LF) are written as the file's LF, and it is escaped
// (EscapeComment) so that the first "*/" closes it.
std::string WrittenComment(const std::string& text) {
  std::string lines;
  lines.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines += c == '\r' ? '\n' : c;
  }
  return EscapeComment(lines);
}

// The comment of a slot as written, in GBK (the code page keyword files
// are read in: a comment typed in Windows-1252 is written in its GBK
// form). 0, kSaveCommentsNotKept when GBK lacks one of its characters, or
// kSaveCommentsTooLong when the reader would cut it: the reader keeps
// kKeywordCommentCap bytes as it gathers them, each line break as CR LF.
int WriteComment(const MoveComment& slot, std::string& written) {
  written.clear();
  if (slot.text == nullptr) return 0;
  std::string text = slot.text;
  if (slot.page == kHeaderTextsLatin && !ConvertWindows1252TextToGbk(slot.text, text)) {
    return kSaveCommentsNotKept;
  }
  written = WrittenComment(text);
  const auto lineBreaks = static_cast<size_t>(std::count(written.begin(), written.end(), '\n'));
  return written.size() + lineBreaks > kKeywordCommentCap ? kSaveCommentsTooLong : 0;
}

// The written comments by slot, for the slots of the game's plies (0 the
// game comment). 0, or the first refusal of WriteComment: a lacking
// character before a comment that is too long.
using CommentTexts = std::vector<std::string>;
int WriteComments(int length, CommentTexts& texts) {
  texts.assign(static_cast<size_t>(std::min(length + 1, kCommentSlots)), std::string());
  int refused = 0;
  for (size_t ply = 0; ply < texts.size(); ++ply) {
    const int result = WriteComment(moveComments[ply], texts[ply]);
    if (result == kSaveCommentsNotKept) return result;
    if (result != 0) refused = result;
  }
  return refused;
}

void AppendUpperCased(std::string& out, const std::string& line) {
  for (char c : line) out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

// The move lines: four plies a line, each move text followed by its mark,
// a comment breaking the line after its ply.
void AppendMoveLines(std::string& out, int axf, int length, const CommentTexts& comments) {
  std::string line;
  for (int ply = 1; ply <= length; ++ply) {
    const HistoryRecord& r = history[ply];
    const char* text = axf != 0 ? r.axfText : r.wxfText;
    char item[kWxfTextSize + 16];
    const int slot = (ply - 1) % 4;  // place in the line of four
    const int number = (ply - 1) / 2 + 1;
    if (slot == 0 || slot == 2) {
      std::snprintf(item, sizeof item, "%2d. %s", number, text);
    } else {
      std::snprintf(item, sizeof item, " %s", text);
    }
    line += item;
    line += AnnotationMarkText(ply < kCommentSlots ? moveComments[ply].annotation : 0);
    if (slot == 1) line += "    ";
    if (ply < static_cast<int>(comments.size()) && !comments[ply].empty()) {
      AppendUpperCased(out, line);
      line.clear();
      out += "\n/*" + comments[ply] + "*/\n";
    }
    if (slot == 3 || ply == length) {
      AppendUpperCased(out, line);
      line.clear();
      out += '\n';
    }
  }
}

// Keyword files are read as GBK: header texts typed in Windows-1252 are
// written in their GBK form. 0, kSaveTextsNotKept when a text has a
// character GBK lacks, or kSaveTextsTooLong when a text written as it
// stands (not the ratings, written as numbers) is longer in GBK than the
// reader keeps of it (a header field).
int HeaderTextsInGbk(GameHeader& header) {
  if (header.textPage != kHeaderTextsLatin) return 0;
  struct Written {
    char (GameHeader::*field)[kHeaderTextSize];
    bool whole;  // written as it stands
  };
  constexpr Written kWritten[] = {
      {&GameHeader::redName, true},   {&GameHeader::redElo, false}, {&GameHeader::blackName, true},
      {&GameHeader::blackElo, false}, {&GameHeader::date, true},    {&GameHeader::event, true},
  };
  int refused = 0;
  for (const Written& text : kWritten) {
    std::string converted;
    if (!ConvertWindows1252TextToGbk(header.*text.field, converted)) return kSaveTextsNotKept;
    if (text.whole && converted.size() >= kHeaderTextSize) refused = kSaveTextsTooLong;
    SetHeaderText(header.*text.field, converted.c_str());
  }
  header.textPage = kHeaderTextsGbk;
  return refused;
}

}  // namespace

bool IsUnknownRating(const char* text) {
  if (std::strcmp(text, "?") == 0 || std::strcmp(text, "-") == 0) return true;
  return text[std::strspn(text, " ")] == '\0';
}

RatingNotKept KeywordRatingNotKept(const GameHeader& header) {
  if (!IsKeptRating(header.redElo)) return RatingNotKept::kRed;
  if (!IsKeptRating(header.blackElo)) return RatingNotKept::kBlack;
  return RatingNotKept::kNone;
}

int SaveWxfGame(const char* path, int axf, GameHeader header) {
  if (path == nullptr) return 1;
  // Fields are NUL-terminated by contract; make sure of it for the copy.
  for (char* field : {header.redName, header.redElo, header.blackName, header.blackElo, header.date,
                      header.event})
    field[kHeaderTextSize - 1] = '\0';
  // Nothing is written unless every text reads back whole.
  if (const int refused = HeaderTextsInGbk(header); refused != 0) return refused;
  if (const int refused = HeaderTextsReadBack(header); refused != 0) return refused;
  // No reader takes more than kMaxGameMoves moves.
  const int length = std::min(gameLength, kMaxGameMoves);
  CommentTexts comments;
  if (const int refused = WriteComments(length, comments); refused != 0) return refused;
  AtomicFile file;
  if (!file.Open(path)) return 1;
  SetGameFileName(path);

  std::string out;
  out += axf != 0 ? "FORMAT  \tAXF\n" : "FORMAT  \tWXF\n";
  out += "GAME    \n";
  AppendPlayerLine(out, "RED     \t", header.redName, header.redElo);
  AppendPlayerLine(out, "BLACK   \t", header.blackName, header.blackElo);
  if (header.date[0] != '\0') AppendFormatted(out, "DATE    \t%s\n", header.date);
  if (header.event[0] != '\0') AppendFormatted(out, "EVENT    \t%s\n", header.event);

  // The start position is on the board once every move is taken back.
  const int32_t shownPly = gamePly;
  TakeBackAll();
  char fen[kFenBufferSize];
  WriteFen(board, fen, 1, 0, 1);
  if (std::strcmp(fen, kStandardStartFen) != 0) {
    out += "FEN  \t\t";
    out += fen;
    out += '\n';
  }
  if (!comments[0].empty()) {
    out += "/*" + comments[0] + "*/\n";
  }
  out += "\nSTART{\n";
  AppendMoveLines(out, axf, length, comments);
  for (int32_t i = 0; i < shownPly; ++i) ReplayOne();
  out += "}END\n";

  if (std::fwrite(out.data(), 1, out.size(), file.file()) != out.size()) return 1;
  return file.Commit() ? 0 : 1;
}

bool KeywordFileKeepsComment(int ply) {
  if (ply < 0 || ply >= kCommentSlots) return true;
  std::string written;
  return WriteComment(moveComments[ply], written) == 0;
}
