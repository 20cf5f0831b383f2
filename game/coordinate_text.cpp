// Plain coordinate text: one move such as "h2e2" per line, no header, no
// start position, no comments.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "game/text_readers.h"

using text_reading::ReadWholeFile;
using text_reading::SplitLines;

int ReadCoordinateText(const char* path, GameHeader* header, int fullReset) {
  std::string text;
  if (!ReadWholeFile(path, text)) return kLoadFailed;
  if (text.empty()) return kLoadEmpty;

  LoadedGame game;
  game.header.hasInfo = 0;
  game.fileName = path;
  game.findOpening = false;
  std::vector<std::string> lines;
  SplitLines(text, lines);

  StagingSession session(game);
  if (!session.open()) return kLoadFailed;
  for (const std::string& line : lines) {
    if (line.empty() || line[0] == '\r') continue;
    const Move move = ParseCoordMove(line.c_str());
    const StageResult r = StageMove(game, move);
    if (r == kStageIllegal) return kLoadFailed;
    if (r != kStageAccepted) {
      std::string message = "pb loading file =";
      message += path;
      message += " :\r\n   (";
      message += line;
      message += ")  ?????? Not valid a move !\r\n";
      AppendLogLine(message.c_str());
      return kLoadInvalidMove;
    }
  }
  session.End();
  if (game.moves.empty()) return kLoadEmpty;
  CommitLoadedGame(game, header != nullptr ? *header : currentGameHeader, fullReset);
  return kLoadOk;
}

int SaveCoordinateText(const char* path) {
  if (path == nullptr) return 1;
  std::FILE* f = std::fopen(path, "w");
  if (f == nullptr) return 1;
  bool ok = true;
  for (int32_t ply = 1; ply <= gameLength && ply < kHistorySize; ++ply) {
    char text[5];
    FormatCoordMove(history[ply].move, text);
    if (std::fprintf(f, "%s\n", text) < 0) ok = false;
  }
  if (std::ferror(f)) ok = false;
  if (std::fclose(f) != 0) ok = false;
  if (!ok) return 1;
  SetGameFileName(path);
  return 0;
}
