// Plain coordinate text: one move such as "h2e2" per line, no header, no
// start position, no comments.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "game/atomic_file.h"
#include "game/text_readers.h"

using text_reading::ConvertGameText;
using text_reading::DropZeroTail;
using text_reading::ReadWholeFile;
using text_reading::SplitLines;

namespace {

// A line of blanks and tabs holds no move.
bool IsBlankLine(const std::string& line) {
  return line.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

int ReadCoordinateText(const char* path, GameHeader* header, int fullReset) {
  std::string text;
  if (!ReadWholeFile(path, text)) return kLoadFailed;
  if (text.empty()) {
    LogLoadProblem(path, "the file is empty");
    return kLoadEmpty;
  }

  // A byte-order mark goes; a damaged UTF-8 text is read up to the damage.
  const bool damaged = ConvertGameText(path, text);
  // Zero bytes after the last move hold none; those among the moves are told
  // below.
  const size_t zeros = DropZeroTail(text);
  LoadedGame game;
  game.header.hasInfo = 0;
  game.fileName = path;
  game.findOpening = false;
  std::vector<std::string> lines;
  SplitLines(text, lines);

  // The moves up to the first line that is not a playable move; when there
  // are some, the game holds them and the file counts as read in part.
  int result = kLoadOk;
  StagingSession session(game);
  if (!session.open()) return kLoadFailed;
  for (size_t n = 0; n < lines.size() && result == kLoadOk; ++n) {
    const std::string& line = lines[n];
    // A NUL byte in a line is damage (no writer puts one there), and what
    // stood in its place is lost: the move before it is read, the rest of
    // the file is not.
    const size_t nul = line.find('\0');
    const std::string moveText = line.substr(0, nul);
    if (nul == std::string::npos && IsBlankLine(line)) continue;
    const int lineNumber = static_cast<int>(n + 1);
    const auto tellNul = [&] {
      LogLoadProblem(path, "line %d (%s): a NUL byte in the line, the rest is not read",
                     lineNumber, LoggableText(line).c_str());
      result = kLoadInvalidMove;
    };
    if (IsBlankLine(moveText)) {
      tellNul();
      break;
    }
    const Move move = ParseCoordMove(moveText.c_str());
    switch (StageMove(game, move)) {
      case kStageAccepted:
        if (nul != std::string::npos) tellNul();
        break;
      case kStageInvalid: {
        if (nul != std::string::npos) {
          tellNul();  // the move itself was cut by it
          break;
        }
        std::string message = "pb loading file =";
        message += path;
        message += " :\r\n   (";
        message += LoggableText(line);
        message += ")  ?????? Not valid a move !\r\n";
        AppendLogLine(message.c_str());
        result = kLoadInvalidMove;
        break;
      }
      case kStageIllegal:
        LogLoadProblem(path, "line %d (%s): the move leaves the king in check", lineNumber,
                       LoggableText(line).c_str());
        result = kLoadFailed;
        break;
      case kStageFull:
        LogLoadProblem(path, "line %d: a game holds at most %d moves, the rest is not read",
                       lineNumber, kMaxGameMoves);
        result = kLoadFailed;
        break;
    }
  }
  session.End();
  if (game.moves.empty()) {
    if (result == kLoadOk) {
      if (zeros > 0)
        LogLoadProblem(path, "no move found before the %zu zero bytes that end the file", zeros);
      else
        LogLoadProblem(path, "no move found");
      result = kLoadEmpty;
    }
    return result;
  }
  CommitLoadedGame(game, header != nullptr ? *header : currentGameHeader, fullReset);
  return result == kLoadOk && !damaged ? kLoadOk : kLoadPartial;
}

int SaveCoordinateText(const char* path) {
  if (path == nullptr) return 1;
  AtomicFile out;  // a failed save leaves the previous file as it was
  if (!out.Open(path)) return 1;
  std::FILE* f = out.file();
  bool ok = true;
  // No reader takes more than kMaxGameMoves moves.
  for (int32_t ply = 1; ply <= gameLength && ply <= kMaxGameMoves; ++ply) {
    char text[5];
    FormatCoordMove(history[ply].move, text);
    if (std::fprintf(f, "%s\n", text) < 0) ok = false;
  }
  if (!ok || !out.Commit()) return 1;
  SetGameFileName(path);
  return 0;
}
