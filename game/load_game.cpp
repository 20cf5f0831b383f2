// Choosing the reader and the writer of a game file by its extension.
#include "game/load_game.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <string>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "game/binary_files.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/keyword_files.h"
#include "game/loaded_texts.h"
#include "game/text_readers.h"

namespace {

// The path without a leading and a trailing double quote.
std::string Unquoted(const char* path) {
  std::string p = path != nullptr ? path : "";
  if (!p.empty() && p.front() == '"') p.erase(0, 1);
  if (!p.empty() && p.back() == '"') p.pop_back();
  return p;
}

std::string ExtensionOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t base = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot <= base) return std::string();
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

bool IsOneOf(const std::string& ext, std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (ext == name) return true;
  return false;
}

// The writer of each extension that has one; the order is that of the
// list in WrittenGameFileExtensions.
struct GameWriter {
  const char* extension;
  int (*write)(const char* path, const GameHeader& header);
  bool keepsStart;  // a set-up start position and a game without moves
};

constexpr GameWriter kGameWriters[] = {
    {"egf",
     [](const char* p, const GameHeader& h) { return SaveBinaryGame(p, kBinaryVersionEgf, h); },
     true},
    {"vgf",
     [](const char* p, const GameHeader& h) { return SaveBinaryGame(p, kBinaryVersionVgf, h); },
     true},
    {"vbf", [](const char* p, const GameHeader&) { return SaveVbfGame(p); }, true},
    {"ccf", [](const char* p, const GameHeader& h) { return SaveWxfGame(p, 0, h); }, true},
    {"wxf", [](const char* p, const GameHeader& h) { return SaveWxfGame(p, 0, h); }, true},
    {"axf", [](const char* p, const GameHeader& h) { return SaveWxfGame(p, 1, h); }, true},
    {"txt", [](const char* p, const GameHeader&) { return SaveCoordinateText(p); }, false},
};

// Coordinate text, the writer of every extension no reader claims.
constexpr const GameWriter& kCoordinateTextWriter = kGameWriters[std::size(kGameWriters) - 1];

// Whether coordinate text keeps the current game: its reader starts every
// game at the standard position without a handicap and loads no file
// without moves.
bool CoordinateTextKeepsGame() {
  if (gameLength <= 0) return false;
  LoadedGame game;
  CaptureCurrentGame(game);
  return !game.customStart;
}

// The extensions of the writers, those that keep every start only when
// startKept, as a list for messages.
std::string ExtensionList(bool startKept) {
  std::string text;
  for (const GameWriter& writer : kGameWriters) {
    if (startKept && !writer.keepsStart) continue;
    if (!text.empty()) text += ", ";
    text += writer.extension;
  }
  return text;
}

// Formats that are read but have no writer: coordinate text under one of
// these names would be refused (or misread) when it is loaded again. "vzd"
// is the compressed game database, which is not opened as a game file.
bool IsReadOnlyFormat(const std::string& ext) {
  return IsOneOf(ext, {"pgn", "xqn", "mxq", "htm", "html", "vzd"});
}

// The texts of the last load cut for their length (those cut at a NUL byte
// are told as a file read in part).
std::vector<CutText> lastLongTexts;

}  // namespace

std::string GameFileExtension(const char* path) { return ExtensionOf(Unquoted(path)); }

int LoadGameFile(const char* path, GameHeader* header, int fullReset) {
  text_reading::lackingCharacters = 0;
  ClearCommittedCutTexts();
  lastLongTexts.clear();
  const std::string file = Unquoted(path);
  const std::string ext = ExtensionOf(file);
  if (ext.empty()) return kLoadFailed;
  if (ext == "vzd") return kLoadNotAGameFile;
  GameHeader* target = header != nullptr ? header : &currentGameHeader;
  const char* p = file.c_str();
  int result;
  if (IsOneOf(ext, {"vgf", "vbf", "egf"})) {
    result = LoadBinaryGame(p, target, fullReset);
  } else if (ext == "xqn") {
    result = ReadXqnGame(p, target, fullReset);
  } else if (ext == "mxq") {
    result = ReadMxqGame(p, target, fullReset);
  } else if (IsOneOf(ext, {"wxf", "ccf", "htm", "html", "axf"})) {
    result = LoadKeywordGameFile(p, target, fullReset);
  } else if (ext == "pgn") {
    result = ReadPgnGame(p, target, fullReset);
  } else {
    result = ReadCoordinateText(p, target, fullReset);
  }
  if (GameWasLoaded(result)) {
    LogCutTexts(p, CommittedCutTexts());
    for (const CutText& cut : CommittedCutTexts()) {
      // A text that holds a NUL byte was not read to its end.
      if (cut.atNul) result = kLoadPartial;
      if (!cut.atNul) lastLongTexts.push_back(cut);
    }
  }
  if (!ValidateBoard()) {
    AppendLogLine("***** Invalid Board !\r\n");
    return kLoadBadBoard;
  }
  std::memset(typeBoard, 0, sizeof typeBoard);
  for (int s = 0; s < kBoardSize; ++s) {
    const int v = board[s];
    if (v >= 1 && v <= 32) typeBoard[s] = static_cast<uint8_t>(colouredTypeOf[v]);
  }
  return result;
}

int SaveGameFile(const char* path, const GameHeader& header) {
  const std::string file = Unquoted(path);
  const std::string ext = ExtensionOf(file);
  // A name without an extension (or ending in a dot) would not load back.
  if (ext.empty() || IsReadOnlyFormat(ext)) return kSaveFormatNotWritten;
  const GameWriter* chosen = &kCoordinateTextWriter;
  for (const GameWriter& writer : kGameWriters)
    if (ext == writer.extension) chosen = &writer;
  if (!chosen->keepsStart && !CoordinateTextKeepsGame()) return kSaveStartNotKept;
  return chosen->write(file.c_str(), header);
}

const char* WrittenGameFileExtensions() {
  static const std::string list = ExtensionList(false);
  return list.c_str();
}

uint64_t LastLoadLackingCharacters() { return text_reading::lackingCharacters; }

const std::vector<CutText>& LastLoadCutTexts() { return lastLongTexts; }

const char* TextKeepingGameFileExtensions() { return "egf, vgf"; }

const char* CommentKeepingGameFileExtensions() {
  const int last = std::min({gameLength, kMaxGameMoves, kCommentSlots - 1});
  for (int ply = 1; ply <= last; ++ply) {
    if (!KeywordFileKeepsComment(ply)) return "egf";
  }
  return TextKeepingGameFileExtensions();
}

const char* StartKeepingGameFileExtensions() {
  static const std::string list = ExtensionList(true);
  return list.c_str();
}
