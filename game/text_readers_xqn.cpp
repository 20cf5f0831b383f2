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

// What one reading of the file found.
struct PassOutcome {
  int result = kLoadOk;     // kLoadOk, or the failure code that ended the moves
  bool recognised = false;  // a tag or a move was found
  bool tagDamaged = false;  // a tag line holds a NUL byte (logged): read in part
};

bool IsTagLine(const std::string& line) {
  const size_t first = line.find_first_not_of(" \t");
  return first != std::string::npos && line[first] == '[';
}

// One reading of the whole file, whose zero tail (zeros bytes) was taken
// off. Returns kPassRestart when the file's first move is a coordinate text
// refused with ranks counted from 0.
PassEnd ReadPass(const std::vector<std::string>& lines, size_t zeros, const char* path,
                 bool ranksFromOne, LoadedGame& game, PassOutcome& out) {
  out = PassOutcome();
  SetUnreadMoveText(std::string());
  StagingSession session(game);
  if (!session.open()) {
    out.result = kLoadFailed;
    return kPassDone;
  }
  bool firstMove = true;
  size_t lastLine = lines.size();  // the last line that is not blank, when there is one
  bool endsWithMoves = false;      // and it held moves or a result
  MoveNumbering numbering;
  std::string words[2];
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    const int lineNumber = static_cast<int>(n + 1);
    // A NUL byte is damage (no writer puts one in a text): what stood there
    // is lost. In a tag line only the tag is; in a line of moves, the moves
    // before it are read and the rest of the file is not.
    const size_t nul = line.find('\0');
    const auto tellNul = [&](const char* rest) {
      LogLoadProblem(path, "line %d (%s): a NUL byte in the line, %s", lineNumber,
                     LoggableText(line).c_str(), rest);
    };
    lastLine = n;
    endsWithMoves = false;
    // Text after a NUL byte in a tag line other than the end of a tag
    // followed the tag on another line (its line end lost), which may have
    // held moves: those after them would be read on a position they were
    // not written for.
    if (nul != std::string::npos && IsTagLine(line)) {
      const size_t last = line.find_last_not_of(std::string_view(" \t\0", 3));
      if (last > nul && line[last] != ']') {
        tellNul("what follows it is not read");
        SetUnreadMoveText(LinesFrom(lines, n));
        out.result = kLoadInvalidMove;
        return kPassDone;
      }
    }
    if (StartsWith(line, "[Score ")) {
      out.recognised = true;
      if (nul != std::string::npos) {
        tellNul("the tag is not read");
        out.tagDamaged = true;
      }
      continue;
    }
    if (StartsWith(line, "[Red ") || StartsWith(line, "[Black ") || StartsWith(line, "[Date ")) {
      // A NUL byte in the value is told as the value is stored.
      const size_t name = line.find(' ') + 1;
      const std::string value = TagValue(line, name);
      const HeaderField field = line[1] == 'R'   ? kHeaderRedName
                                : line[1] == 'B' ? kHeaderBlackName
                                                 : kHeaderDate;
      SetLoadedHeaderText(game, field, TranslatedName(value));
      if (nul != std::string::npos && value.find('\0') == std::string::npos) {
        tellNul("the tag is read up to it");
        out.tagDamaged = true;
      }
      out.recognised = true;
      continue;
    }
    if (StartsWith(line, "[Result ")) {
      const int r = ResultOfTag(TagValue(line.substr(0, nul), 8));
      if (r >= 0) game.header.result = static_cast<int8_t>(r);
      if (nul != std::string::npos) {
        tellNul("the tag is read up to it");
        out.tagDamaged = true;
      }
      out.recognised = true;
      continue;
    }
    if (IsTagLine(line)) {
      // Tags this reader does not read hold no move.
      if (nul != std::string::npos) {
        tellNul("the tag is not read");
        out.tagDamaged = true;
      }
      continue;
    }
    const std::string moveLine = line.substr(0, nul);
    const size_t first = moveLine.find_first_not_of(" \t");
    // Result lines hold no move.
    if (nul == std::string::npos &&
        IsResultWord(line.substr(first, line.find_last_not_of(" \t") + 1 - first))) {
      endsWithMoves = true;
      continue;
    }
    std::string rest;
    const int count = ParseXqnMoveLine(moveLine.c_str(), words, &rest);
    if (count == 0) {
      // Text that is no numbered move line (a number without its move when
      // the file was cut): the moves end here rather than read on past it.
      if (nul != std::string::npos)
        tellNul("the rest is not read");
      else
        LogLoadProblem(path, "line %d (%s): not a move line, the rest is not read", lineNumber,
                       LoggableText(line).c_str());
      SetUnreadMoveText(LinesFrom(lines, n));
      out.result = kLoadInvalidMove;
      return kPassDone;
    }
    // XQN games start from the standard position.
    if (!numbering.Follows(LeadingNumber(moveLine.substr(first)),
                           static_cast<int>(game.moves.size()), true)) {
      LogLoadProblem(path, "line %d (%s): %s, the rest is not read", lineNumber,
                     LoggableText(line).c_str(), kNumberNotFollowing);
      SetUnreadMoveText(LinesFrom(lines, n));
      out.result = kLoadInvalidMove;
      return kPassDone;
    }
    for (int w = 0; w < count; ++w) {
      const StageResult r = StageMove(game, ParseWord(words[w], ranksFromOne));
      if (firstMove && !ranksFromOne && r != kStageAccepted && IsCoordinateWord(words[w]))
        return kPassRestart;
      firstMove = false;
      if (r == kStageAccepted) {
        out.recognised = true;
        continue;
      }
      // The moves end at the first one that cannot be made, so that no later
      // move is read on a position it was not written for; those before it
      // are kept.
      const char* why = r == kStageInvalid   ? "the move is not valid, the rest is not read"
                        : r == kStageIllegal ? "the move leaves the king in check"
                                             : "a game holds no more moves, the rest is not read";
      if (nul != std::string::npos && w == count - 1 && r == kStageInvalid)
        tellNul("the rest is not read");  // the move was cut by it
      else
        LogLoadProblem(path, "line %d (%s): %s", lineNumber, LoggableText(line).c_str(), why);
      SetUnreadMoveText(LinesFrom(lines, n));
      out.result = w == 0 && r != kStageInvalid ? kLoadFailed : kLoadInvalidMove;
      return kPassDone;
    }
    if (!rest.empty()) {
      LogLoadProblem(path, "line %d (%s): more than two moves on the line, the rest is not read",
                     lineNumber, LoggableText(line).c_str());
      SetUnreadMoveText(rest + "\n" + LinesFrom(lines, n + 1));
      out.result = kLoadInvalidMove;
      return kPassDone;
    }
    if (nul != std::string::npos) {
      tellNul("the rest is not read");
      SetUnreadMoveText(line.substr(nul) + "\n" + LinesFrom(lines, n + 1));
      out.result = kLoadInvalidMove;
      return kPassDone;
    }
    endsWithMoves = true;
  }
  // Zero bytes after the last line of moves are no damage the file shows.
  // After its tags, or a line cut by them, they stand where moves or tags
  // were: what they replaced is lost.
  if (zeros > 0 && lastLine < lines.size() && !endsWithMoves) {
    LogLoadProblem(path,
                   "line %d (%s): the file ends in %zu zero bytes after this line, which holds "
                   "no move, what they replaced is lost",
                   static_cast<int>(lastLine + 1), LoggableText(lines[lastLine]).c_str(), zeros);
    SetUnreadMoveText(std::string(zeros, '\0'));
    out.result = kLoadInvalidMove;
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
  const bool empty = text.empty();
  const size_t zeros = DropZeroTail(text);
  std::vector<std::string> lines;
  SplitLines(text, lines);
  PassOutcome pass;
  LoadedGame game;
  for (bool ranksFromOne : {false, true}) {
    game = LoadedGame();
    game.header.hasInfo = 1;
    game.header.textPage = kHeaderTextsGbk;
    game.fileName = path;
    if (ReadPass(lines, zeros, path, ranksFromOne, game, pass) == kPassDone) break;
  }
  // Nothing of a game before the first refused move: no XQN file.
  if (!pass.recognised && pass.result != kLoadFailed) {
    SetUnreadMoveText(std::string());
    LogLoadProblem(path, "%s", NoGameReason(empty, zeros, text, "no XQN tag or move found"));
    return kLoadEmpty;
  }
  // Moves lost before any was read: the game on the board stays. A damaged
  // tag loses no move: the file is read in part.
  if (pass.result != kLoadOk && game.moves.empty()) return pass.result;
  CommitLoadedGame(game, header != nullptr ? *header : currentGameHeader, fullReset);
  return pass.result == kLoadOk && !pass.tagDamaged && !damaged ? kLoadOk : kLoadPartial;
}
