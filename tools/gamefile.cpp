// gamefile: loads a game file of any supported kind and prints what was
// loaded, one item per line; optionally writes the game to another file in
// the format its extension chooses.
//
//   gamefile <path> [--save <path>]
//
// Output: "result <code>", the header fields ("red <name>"; the name alone
// for an empty field; "game_result <0..3>"), "start <FEN>", "moves <n>",
// one "move <h2e2>" line per move, "shown <ply>" and last "final <FEN>"
// (FEN with the side to move, "w" or "b"). A file that does not load prints
// its result code and the reason on stderr and exits with 1 (a vzd game
// database is not opened: result 6). A file read in part prints what was
// read ("result 5") and, on stderr, the reason, and exits with 0. The log
// lines of the load go to stderr whenever there are any, also for a file
// loaded whole (how many characters of a UTF-8 file read as "?", which
// texts were longer than the program keeps and how much of each was kept:
// the game is loaded with them cut, "result 0"). A --save
// under the extension of a format that is read but not written (pgn,
// xqn...) or of a vzd database (neither opened nor written) writes nothing,
// names the formats that are written on stderr and exits with 1; so does a
// --save as coordinate text (txt, or an extension no reader claims) of a
// game that does not start from the standard position or has no moves,
// naming the formats that keep the start; and so does a --save in a format
// that would not load a header text or a comment back as it stands (too
// long, a character its code page lacks, a line break, a rating that is
// neither a plain number nor unknown: the rating named with its text),
// naming the formats that keep it. A --save that cannot be written (a
// missing folder, a full disk, the file size limit of ulimit -f) says so
// and exits with 1, the file there before as it was.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/new_game.h"
#include "game/atomic_file.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "game/keyword_files.h"
#include "game/load_game.h"

namespace {

std::vector<std::string> logLines;
void KeepLogLine(const char* text) { logLines.emplace_back(text); }

int Usage(const char* message) {
  std::fprintf(stderr, "gamefile: %s\n", message);
  std::fprintf(stderr, "usage: gamefile <path> [--save <path>]\n");
  return 2;
}

std::string Fen() {
  char text[kFenBufferSize];
  WriteFen(board, text, 1, 0, 0);
  std::string fen = text;
  if (!fen.empty() && fen.back() == 'r') fen.back() = 'w';
  return fen;
}

const char* Reason(int code) {
  switch (code) {
    case kLoadFailed: return "no extension, the file cannot be read, or a move cannot be made";
    case kLoadInvalidMove: return "a move that is not valid";
    case kLoadEmpty: return "an empty file, or not a file of this kind";
    case kLoadBadBoard: return "the board check failed";
    case kLoadPartial: return "read in part: the moves before an error were loaded";
    case kLoadNotAGameFile: return "a vzd game database: databases are not opened";
    default: return "unknown result";
  }
}

void PrintHeader(const GameHeader& h) {
  const struct {
    const char* name;
    const char* value;
  } fields[] = {
      {"event", h.event},           {"site", h.site},         {"date", h.date},
      {"round", h.round},           {"red", h.redName},       {"red_elo", h.redElo},
      {"black", h.blackName},       {"black_elo", h.blackElo}, {"author", h.author},
      {"time_control", h.timeControl},
  };
  for (const auto& f : fields) {
    if (f.value[0] == '\0')
      std::printf("%s\n", f.name);
    else
      std::printf("%s %s\n", f.name, f.value);
  }
  std::printf("game_result %d\n", h.result);
}

// The rating a keyword file refuses, named with its text, control
// characters escaped: 'the red rating "2400 (est)"'.
std::string RefusedRating(const GameHeader& h) {
  const bool red = KeywordRatingNotKept(h) == RatingNotKept::kRed;
  std::string named = red ? "the red rating \"" : "the black rating \"";
  for (const char* c = red ? h.redElo : h.blackElo; *c != '\0'; ++c) {
    const auto byte = static_cast<unsigned char>(*c);
    if (byte >= 0x20) {
      named += *c;
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    named += escaped;
  }
  return named + "\"";
}

// Shows ply `ply` of the stored game.
void ShowPly(int32_t ply) {
  TakeBackAll();
  while (gamePly < ply && ReplayOne()) {
  }
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = nullptr;
  const char* savePath = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--save") == 0) {
      if (i + 1 >= argc) return Usage("--save needs a path");
      savePath = argv[++i];
    } else if (argv[i][0] == '-' && argv[i][1] == '-') {
      return Usage((std::string("unknown option ") + argv[i]).c_str());
    } else if (path == nullptr) {
      path = argv[i];
    } else {
      return Usage("too many arguments");
    }
  }
  if (path == nullptr) return Usage("a game file is required");

  // A save beyond the file size limit fails and is said, its temporary
  // file removed, instead of ending the tool with the signal.
  IgnoreFileSizeLimitSignal();
  InitKeyTables();
  ResetGameState(0);
  logLineSink = KeepLogLine;
  const int result = LoadGameFile(path, &currentGameHeader, 0);
  if (result != kLoadOk) std::fprintf(stderr, "result %d: %s\n", result, Reason(result));
  for (const std::string& line : logLines) std::fputs(line.c_str(), stderr);
  if (!GameWasLoaded(result)) return 1;

  const int32_t shown = gamePly;
  std::printf("result %d\n", result);
  PrintHeader(currentGameHeader);
  TakeBackAll();
  std::printf("start %s\n", Fen().c_str());
  std::printf("moves %d\n", gameLength);
  for (int32_t ply = 1; ply <= gameLength; ++ply) {
    char text[5];
    FormatCoordMove(history[ply].move, text);
    std::printf("move %s\n", text);
  }
  std::printf("shown %d\n", shown);
  ReplayAll();
  const std::string finalFen = Fen();
  ShowPly(shown);

  if (savePath != nullptr) {
    const int saved = SaveGameFile(savePath, currentGameHeader);
    if (saved == kSaveFormatNotWritten) {
      const std::string ext = GameFileExtension(savePath);
      if (ext.empty()) {
        std::fprintf(stderr, "gamefile: not saved: %s has no extension (written: %s)\n", savePath,
                     WrittenGameFileExtensions());
      } else if (ext == "vzd") {
        std::fprintf(stderr,
                     "gamefile: not saved: vzd game databases are neither opened nor written "
                     "(written: %s)\n",
                     WrittenGameFileExtensions());
      } else {
        std::fprintf(stderr,
                     "gamefile: not saved: %s files are read but not written (written: %s)\n",
                     ext.c_str(), WrittenGameFileExtensions());
      }
      return 1;
    }
    if (saved == kSaveStartNotKept) {
      std::fprintf(stderr,
                   "gamefile: not saved: %s files are written as coordinate text, which keeps "
                   "only the moves from the standard start; this game starts elsewhere or has "
                   "no moves (formats that keep the start: %s)\n",
                   GameFileExtension(savePath).c_str(), StartKeepingGameFileExtensions());
      return 1;
    }
    // A text or a comment the format would not keep whole: nothing written.
    static constexpr struct {
      int code;
      const char* what;
      const char* (*keeping)();
    } kNotKept[] = {
        {kSaveTextsNotKept, "a header text holds a character GBK lacks",
         TextKeepingGameFileExtensions},
        {kSaveCommentsNotKept, "a comment holds a character GBK lacks",
         CommentKeepingGameFileExtensions},
        {kSaveTextsTooLong, "a header text is longer than they keep",
         TextKeepingGameFileExtensions},
        {kSaveCommentsTooLong, "a comment is longer than they keep",
         CommentKeepingGameFileExtensions},
        {kSaveTextsNotOneLine,
         "a header text holds a line break or begins with what they pass over (blanks or a "
         "tab)",
         TextKeepingGameFileExtensions},
        {kSaveRatingsNotKept,
         "is not a plain whole number, the only form they keep a rating in (an unknown one, "
         "empty, ? or -, they keep as none)",
         TextKeepingGameFileExtensions},
    };
    for (const auto& refusal : kNotKept) {
      if (saved != refusal.code) continue;
      const std::string what = saved == kSaveRatingsNotKept
                                   ? RefusedRating(currentGameHeader) + " " + refusal.what
                                   : refusal.what;
      std::fprintf(stderr,
                   "gamefile: not saved: %s files would not keep the game whole: %s "
                   "(formats that keep it: %s)\n",
                   GameFileExtension(savePath).c_str(), what.c_str(), refusal.keeping());
      return 1;
    }
    if (saved != 0) {
      std::fprintf(stderr,
                   "gamefile: not saved: %s could not be created or written whole (a missing "
                   "folder, no permission, a full disk or a file size limit); a file of that "
                   "name before is kept as it was (code %d)\n",
                   savePath, saved);
      return 1;
    }
  }
  std::printf("final %s\n", finalFen.c_str());
  return 0;
}
