// MXQ files: a text with control bytes holding the site, the date, the
// players, the result and the ratings, then the word "Moves" and one move
// record every six bytes ("7C-7E"), ended by "End".
#include <cstring>
#include <string>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "game/loaded_texts.h"
#include "game/text_readers.h"

using namespace text_reading;

namespace {

constexpr size_t kDateMax = 16;
constexpr size_t kNameSearch = 50;
constexpr size_t kRecordStep = 6;
constexpr size_t kRecordLength = 5;

bool IsControl(char c) { return static_cast<unsigned char>(c) < 32; }

// The run of bytes from pos up to the first stop byte (or the end); pos ends
// on the stop byte.
template <typename Stop>
std::string RunUntil(const std::string& text, size_t& pos, Stop stop) {
  const size_t start = pos;
  while (pos < text.size() && !stop(text[pos])) ++pos;
  return text.substr(start, pos - start);
}

// Whether text holds nothing but blanks and control bytes from at on.
bool OnlyBlanksFrom(const std::string& text, size_t at) {
  for (size_t i = at; i < text.size(); ++i)
    if (static_cast<unsigned char>(text[i]) > ' ') return false;
  return true;
}

int ResultOfWord(const std::string& word) {
  if (word == "Win") return kResultRedWins;
  if (word == "Lose" || word == "Resign") return kResultBlackWins;
  if (word == "Draw") return kResultDraw;
  return -1;
}

// Reads the header fields of the layout into game.header; returns the
// offset where the search for "Moves" begins. *resultWord tells whether the
// result was one of the known words.
size_t ReadMxqHeader(const std::string& text, LoadedGame& game, bool* resultWord) {
  GameHeader& h = game.header;
  size_t pos = 1;
  const std::string site = RunUntil(text, pos, IsControl);
  SetLoadedHeaderText(game, kHeaderSite, site);
  if (pos < text.size()) ++pos;

  // The date ends at "#", after 16 characters, or before a tenth character
  // that is not a digit.
  const size_t dateStart = pos;
  size_t dateEnd = pos;
  while (dateEnd < text.size() && text[dateEnd] != '#' && dateEnd - dateStart < kDateMax) {
    if (dateEnd - dateStart == 9 && (text[dateEnd] < '0' || text[dateEnd] > '9')) break;
    ++dateEnd;
  }
  SetLoadedHeaderText(game, kHeaderDate, text.substr(dateStart, dateEnd - dateStart));
  size_t hash = text.find('#', dateStart);
  if (hash == std::string::npos) hash = dateEnd;

  // The red player's name follows the next byte D6 (within 50 bytes), else
  // it starts two bytes after the "#".
  size_t name = hash + 2;
  const size_t d6 = text.find('\xD6', hash);
  if (d6 != std::string::npos && d6 - hash <= kNameSearch) {
    name = d6 + 1;
    if (name < text.size() && text[name] >= 27 && text[name] <= 30) ++name;
  }
  pos = name < text.size() ? name : text.size();
  const std::string red = RunUntil(text, pos, [](char c) { return c == '-' || IsControl(c); });
  SetLoadedHeaderText(game, kHeaderRedName, red);
  if (pos < text.size()) ++pos;
  const std::string word = RunUntil(text, pos, [](char c) { return c == '-'; });
  const int result = ResultOfWord(word);
  *resultWord = result >= 0;
  if (result >= 0) h.result = static_cast<int8_t>(result);
  if (pos < text.size()) ++pos;
  if (pos < text.size() && text[pos] == '-') ++pos;

  for (HeaderField field : {kHeaderBlackName, kHeaderRedElo, kHeaderBlackElo}) {
    const std::string value = RunUntil(text, pos, IsControl);
    SetLoadedHeaderText(game, field, value);
    if (pos < text.size()) ++pos;
  }
  return pos;
}

}  // namespace

Move ParseMxqMove(const char* text) {
  if (text == nullptr) return 0;
  for (size_t i = 0; i < kRecordLength; ++i)
    if (text[i] == '\0') return 0;
  const char coord[5] = {static_cast<char>(text[0] + 49), static_cast<char>(text[1] - 17),
                         static_cast<char>(text[3] + 49), static_cast<char>(text[4] - 17), '\0'};
  return ParseCoordMove(coord);
}

int ReadMxqGame(const char* path, GameHeader* header, int fullReset) {
  SetUnreadMoveText(std::string());
  std::string text;
  if (!ReadWholeFile(path, text)) return kLoadFailed;
  if (text.empty() || !IsControl(text[0])) {
    LogLoadProblem(path, text.empty() ? "the file is empty" : "not an MXQ game");
    return kLoadEmpty;
  }
  // Zero bytes read as blanks (after the leading control byte).
  for (size_t i = 1; i < text.size(); ++i)
    if (text[i] == '\0') text[i] = ' ';

  LoadedGame game;
  game.header.hasInfo = 1;  // the file name stays empty for MXQ games
  GameHeader& target = header != nullptr ? *header : currentGameHeader;
  bool resultWord = false;
  const size_t afterHeader = ReadMxqHeader(text, game, &resultWord);
  size_t moves = text.find("Moves", afterHeader);
  if (moves == std::string::npos) moves = text.find("Moves");
  // Any byte run fits the header's layout; only its result word or the move
  // section tell an MXQ text.
  if (!resultWord && moves == std::string::npos) {
    LogLoadProblem(path, "not an MXQ game");
    return kLoadEmpty;
  }
  // A header without the word "Moves": the moves are lost (cut off, or the
  // word damaged), and a game without them is not this file's game.
  if (moves == std::string::npos) {
    LogLoadProblem(path, "no \"Moves\" found after the header, the moves are not read");
    return kLoadInvalidMove;
  }

  // The moves up to the first one that cannot be played; when there are
  // some, the game holds them and the file counts as read in part.
  int result = kLoadOk;
  StagingSession session(game);
  if (!session.open()) return kLoadFailed;
  {
    size_t at = moves + 6;
    bool ended = false;
    for (; at + kRecordLength <= text.size() && result == kLoadOk; at += kRecordStep) {
      if (text.compare(at, 3, "End") == 0) {
        ended = true;
        break;
      }
      // Blanks and control bytes to the end of the text (zero bytes after
      // the last record) end the moves as the end of the text does.
      if (OnlyBlanksFrom(text, at)) break;
      const std::string record = LoggableText(text.substr(at, kRecordLength));
      const int number = static_cast<int>(game.moves.size() + 1);
      switch (StageMove(game, ParseMxqMove(text.c_str() + at))) {
        case kStageAccepted: break;
        case kStageInvalid:
          LogLoadProblem(path, "move %d (%s) is not valid", number, record.c_str());
          result = kLoadInvalidMove;
          break;
        case kStageIllegal:
          LogLoadProblem(path, "move %d (%s) leaves the king in check", number, record.c_str());
          AppendLogLine("Error while loading MXQ game\r\n");
          result = kLoadFailed;
          break;
        case kStageFull:
          LogLoadProblem(path, "move %d: a game holds at most %d moves, the rest is not read",
                         number, kMaxGameMoves);
          result = kLoadFailed;
          break;
      }
      if (result != kLoadOk) SetUnreadMoveText(text.substr(at));
    }
    // "End" may stand in the last bytes, shorter than a record.
    if (result == kLoadOk && at < text.size() && text.compare(at, 3, "End") == 0) ended = true;
    // Without "End", what follows the last record must be blanks or control
    // bytes: anything else is a record the file was cut inside.
    const bool cut = result == kLoadOk && !ended && !OnlyBlanksFrom(text, at);
    if (cut) {
      LogLoadProblem(path, "the file ends inside move %d",
                     static_cast<int>(game.moves.size() + 1));
      SetUnreadMoveText(text.substr(at));
      result = kLoadInvalidMove;
    } else if (result == kLoadOk && !ended && game.moves.empty()) {
      // "Moves" with neither a move nor "End" after it: the file was cut
      // there, or its moves were replaced by zero bytes.
      LogLoadProblem(path, "neither a move nor \"End\" after \"Moves\", the moves are lost");
      result = kLoadInvalidMove;
    }
  }
  session.End();
  if (result != kLoadOk && game.moves.empty()) return result;
  CommitLoadedGame(game, target, fullReset);
  return result == kLoadOk ? kLoadOk : kLoadPartial;
}
