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

void AppendPlayerLine(std::string& out, const char* keyword, const char* name, const char* elo,
                      bool withRating) {
  out += keyword;
  out += name;
  if (withRating) {
    out += ';';
    out += std::to_string(LeadingInteger(elo));
    out += ";;\n";
  } else {
    out += ";;;\n";
  }
}

// A comment is closed by the first "*/". So that any text reads back, every
// "*" that is followed by backslashes and a "/" gets one more backslash; the
// reader takes one away again.
void AppendEscapedComment(std::string& out, const char* text) {
  for (const char* p = text; *p != '\0'; ++p) {
    out += *p;
    if (*p != '*') continue;
    const char* q = p + 1;
    while (*q == '\\') ++q;
    if (*q == '/') out += '\\';
  }
}

// The comment texts as written, by slot: keyword files are read as GBK, so
// comments typed in Windows-1252 are written in their GBK form.
using CommentTexts = std::vector<std::string>;

// Fills `texts` for the slots of the game's plies (0 the game comment);
// false when a comment has a character GBK lacks.
bool CommentTextsInGbk(int length, CommentTexts& texts) {
  texts.assign(static_cast<size_t>(std::min(length + 1, kCommentSlots)), std::string());
  for (size_t ply = 0; ply < texts.size(); ++ply) {
    const MoveComment& slot = moveComments[ply];
    if (slot.text == nullptr) continue;
    if (slot.page != kHeaderTextsLatin) {
      texts[ply] = slot.text;
    } else if (!ConvertWindows1252TextToGbk(slot.text, texts[ply])) {
      return false;
    }
  }
  return true;
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
      out += "\n/*";
      AppendEscapedComment(out, comments[ply].c_str());
      out += "*/\n";
    }
    if (slot == 3 || ply == length) {
      AppendUpperCased(out, line);
      line.clear();
      out += '\n';
    }
  }
}

// Keyword files are read as GBK: header texts typed in Windows-1252 are
// written in their GBK form. False when a text has a character GBK lacks.
bool HeaderTextsInGbk(GameHeader& header) {
  if (header.textPage != kHeaderTextsLatin) return true;
  for (auto field : {&GameHeader::redName, &GameHeader::redElo, &GameHeader::blackName,
                     &GameHeader::blackElo, &GameHeader::date, &GameHeader::event}) {
    std::string converted;
    if (!ConvertWindows1252TextToGbk(header.*field, converted)) return false;
    SetHeaderText(header.*field, converted.c_str());
  }
  header.textPage = kHeaderTextsGbk;
  return true;
}

}  // namespace

int SaveWxfGame(const char* path, int axf, GameHeader header) {
  if (path == nullptr) return 1;
  // Fields are NUL-terminated by contract; make sure of it for the copy.
  for (char* field : {header.redName, header.redElo, header.blackName, header.blackElo, header.date,
                      header.event})
    field[kHeaderTextSize - 1] = '\0';
  if (!HeaderTextsInGbk(header)) return kSaveTextsNotKept;
  // No reader takes more than kMaxGameMoves moves.
  const int length = std::min(gameLength, kMaxGameMoves);
  CommentTexts comments;
  if (!CommentTextsInGbk(length, comments)) return kSaveCommentsNotKept;
  AtomicFile file;
  if (!file.Open(path)) return 1;
  SetGameFileName(path);

  std::string out;
  out += axf != 0 ? "FORMAT  \tAXF\n" : "FORMAT  \tWXF\n";
  out += "GAME    \n";
  AppendPlayerLine(out, "RED     \t", header.redName, header.redElo,
                   LeadingInteger(header.redElo) >= 1);
  AppendPlayerLine(out, "BLACK   \t", header.blackName, header.blackElo,
                   LeadingInteger(header.blackElo) != 0);
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
    out += "/*";
    AppendEscapedComment(out, comments[0].c_str());
    out += "*/\n";
  }
  out += "\nSTART{\n";
  AppendMoveLines(out, axf, length, comments);
  for (int32_t i = 0; i < shownPly; ++i) ReplayOne();
  out += "}END\n";

  if (std::fwrite(out.data(), 1, out.size(), file.file()) != out.size()) return 1;
  return file.Commit() ? 0 : 1;
}
