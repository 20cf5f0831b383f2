// XQN files: a few tag lines and numbered move lines of one or two moves,
// each in coordinate text ("h2e2", "h2-e2") or in Chinese notation.
// Coordinates count ranks from 0, or from 1 when the file's first move only
// reads that way.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "game/loaded_texts.h"
#include "game/notation.h"
#include "game/text_readers.h"

using namespace text_reading;

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool IsCoordinateWord(const std::string& word) {
  const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(word[0])));
  return (c >= '0' && c <= '9') || std::strchr("abcdefghikpr", c) != nullptr;
}

// A coordinate word with ranks 1..10 as the text with ranks 0..9: each
// letter keeps its place, each number is lowered by one. An unreadable word
// gives an empty text.
std::string LowerRanks(const std::string& word) {
  std::string out;
  size_t i = 0;
  for (int square = 0; square < 2; ++square) {
    if (i >= word.size() || !std::isalpha(static_cast<unsigned char>(word[i]))) return "";
    out += word[i++];
    int number = 0;
    size_t digits = 0;
    while (i < word.size() && std::isdigit(static_cast<unsigned char>(word[i])) && digits < 2) {
      number = number * 10 + (word[i++] - '0');
      ++digits;
    }
    if (digits == 0 || number < 1 || number > 10) return "";
    out += static_cast<char>('0' + number - 1);
  }
  return out;
}

Move ParseWord(const std::string& word, bool ranksFromOne) {
  if (IsCoordinateWord(word)) {
    std::string lower = word;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ranksFromOne) lower = LowerRanks(lower);
    return ParseCoordMove(lower.c_str());
  }
  std::string text = NormalizeMoveWord(word);
  char buffer[8] = {};
  std::strncpy(buffer, text.c_str(), 4);
  const Move move = ParseWxfMove(buffer, static_cast<int>(sideToMove));
  return move == kWxfNoDirection ? 0 : move;
}

// The lines from n on, each with its line feed.
std::string LinesFrom(const std::vector<std::string>& lines, size_t n) {
  std::string text;
  for (; n < lines.size(); ++n) text += lines[n] + "\n";
  return text;
}

enum PassEnd { kPassDone, kPassRestart };

// One reading of the whole file. Returns kPassRestart when the file's first
// move is a coordinate text refused with ranks counted from 0. *result is
// kLoadOk, or the failure code of the move that ended the reading;
// *recognised tells whether a tag or a move was found.
PassEnd ReadPass(const std::vector<std::string>& lines, const char* path, bool ranksFromOne,
                 LoadedGame& game, int* result, bool* recognised) {
  *result = kLoadOk;
  *recognised = false;
  SetUnreadMoveText(std::string());
  StagingSession session(game);
  if (!session.open()) {
    *result = kLoadFailed;
    return kPassDone;
  }
  bool firstMove = true;
  MoveNumbering numbering;
  std::string words[2];
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    if (line.empty()) continue;
    if (StartsWith(line, "[Score ")) {
      *recognised = true;
      continue;
    }
    if (StartsWith(line, "[Red ") || StartsWith(line, "[Black ") || StartsWith(line, "[Date ")) {
      const size_t name = line.find(' ') + 1;
      const std::string value = TagValue(line, name);
      const HeaderField field = line[1] == 'R'   ? kHeaderRedName
                                : line[1] == 'B' ? kHeaderBlackName
                                                 : kHeaderDate;
      SetLoadedHeaderText(game, field, TranslatedName(value));
      *recognised = true;
      continue;
    }
    if (StartsWith(line, "[Result ")) {
      const int r = ResultOfTag(TagValue(line, 8));
      if (r >= 0) game.header.result = static_cast<int8_t>(r);
      *recognised = true;
      continue;
    }
    const size_t first = line.find_first_not_of(" \t");
    // Lines of blanks, tags this reader does not read and result lines hold
    // no move.
    if (first == std::string::npos || line[first] == '[' ||
        IsResultWord(line.substr(first, line.find_last_not_of(" \t") + 1 - first)))
      continue;
    std::string rest;
    const int count = ParseXqnMoveLine(line.c_str(), words, &rest);
    if (count == 0) {
      // Text that is no numbered move line (a number without its move when
      // the file was cut): the moves end here rather than read on past it.
      LogLoadProblem(path, "line %d (%s): not a move line, the rest is not read",
                     static_cast<int>(n + 1), LoggableText(line).c_str());
      SetUnreadMoveText(LinesFrom(lines, n));
      *result = kLoadInvalidMove;
      return kPassDone;
    }
    if (!numbering.Follows(LeadingNumber(line.substr(first)),
                           static_cast<int>(game.moves.size()))) {
      LogLoadProblem(path, "line %d (%s): %s, the rest is not read", static_cast<int>(n + 1),
                     LoggableText(line).c_str(), kNumberNotFollowing);
      SetUnreadMoveText(LinesFrom(lines, n));
      *result = kLoadInvalidMove;
      return kPassDone;
    }
    for (int w = 0; w < count; ++w) {
      const StageResult r = StageMove(game, ParseWord(words[w], ranksFromOne));
      if (firstMove && !ranksFromOne && r != kStageAccepted && IsCoordinateWord(words[w]))
        return kPassRestart;
      firstMove = false;
      if (r == kStageAccepted) {
        *recognised = true;
        continue;
      }
      // The moves end at the first one that cannot be made, so that no later
      // move is read on a position it was not written for; those before it
      // are kept.
      const char* why = r == kStageInvalid   ? "the move is not valid, the rest is not read"
                        : r == kStageIllegal ? "the move leaves the king in check"
                                             : "a game holds no more moves, the rest is not read";
      LogLoadProblem(path, "line %d (%s): %s", static_cast<int>(n + 1),
                     LoggableText(line).c_str(), why);
      SetUnreadMoveText(LinesFrom(lines, n));
      *result = w == 0 && r != kStageInvalid ? kLoadFailed : kLoadInvalidMove;
      return kPassDone;
    }
    if (!rest.empty()) {
      LogLoadProblem(path, "line %d (%s): more than two moves on the line, the rest is not read",
                     static_cast<int>(n + 1), LoggableText(line).c_str());
      SetUnreadMoveText(rest + "\n" + LinesFrom(lines, n + 1));
      *result = kLoadInvalidMove;
      return kPassDone;
    }
  }
  return kPassDone;
}

}  // namespace

int ParseXqnMoveLine(const char* line, std::string words[2], std::string* rest) {
  words[0].clear();
  words[1].clear();
  if (rest != nullptr) rest->clear();
  if (line == nullptr) return 0;
  std::string text;
  for (size_t i = 0; line[i] != '\0'; ++i) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (c >= 0x80 && line[i + 1] != '\0') {
      text += line[i];
      text += line[++i];
      continue;
    }
    if (c == '-' || c == 'x' || c == 'X') continue;
    text += line[i];
  }
  size_t p = 0;
  while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
  size_t digits = 0;
  while (p < text.size() && text[p] >= '0' && text[p] <= '9') ++p, ++digits;
  if (digits < 1 || digits > 3 || p >= text.size() || text[p] != '.') return 0;
  ++p;
  int count = 0;
  while (count < 2) {
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t' || text[p] == '\r')) ++p;
    const size_t start = p;
    while (p < text.size() && text[p] != ' ' && text[p] != '\t' && text[p] != '\r') ++p;
    if (p == start) break;
    words[count++] = text.substr(start, p - start);
  }
  if (rest != nullptr && count == 2) {
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t' || text[p] == '\r')) ++p;
    *rest = text.substr(p);
  }
  return count;
}

int ReadXqnGame(const char* path, GameHeader* header, int fullReset) {
  SetUnreadMoveText(std::string());
  std::string text;
  if (!ReadWholeFile(path, text)) return kLoadFailed;
  const bool damaged = ConvertGameText(path, text);
  std::vector<std::string> lines;
  SplitLines(text, lines);
  int result = kLoadOk;
  bool recognised = false;
  LoadedGame game;
  for (bool ranksFromOne : {false, true}) {
    game = LoadedGame();
    game.header.hasInfo = 1;
    game.header.textPage = kHeaderTextsGbk;
    game.fileName = path;
    if (ReadPass(lines, path, ranksFromOne, game, &result, &recognised) == kPassDone) break;
  }
  // Nothing of a game before the first refused move: no XQN file.
  if (!recognised && result != kLoadFailed) {
    SetUnreadMoveText(std::string());
    LogLoadProblem(path, text.empty() ? "the file is empty" : "no XQN tag or move found");
    return kLoadEmpty;
  }
  if (result != kLoadOk && game.moves.empty()) return result;
  CommitLoadedGame(game, header != nullptr ? *header : currentGameHeader, fullReset);
  return result == kLoadOk && !damaged ? kLoadOk : kLoadPartial;
}
