// Reading binary game files of every version. The file is read into a
// staged game and checked field by field. A file whose start position
// cannot be read leaves the game on the board alone; past it, the game is
// kept up to the first refused move or the first damaged field.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "game/binary_files.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "game/loaded_texts.h"
#include "game/regular_file.h"

namespace {

// Little-endian fields from a stdio stream; the first short read marks the
// whole reader as failed and every later field reads as 0.
class FieldReader {
 public:
  explicit FieldReader(std::FILE* file) : file_(file) {}

  bool failed() const { return failed_; }
  void Fail() { failed_ = true; }

  uint32_t Unsigned(int width) {
    uint8_t bytes[4] = {};
    if (!Bytes(bytes, static_cast<size_t>(width))) return 0;
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
  }
  uint8_t U8() { return static_cast<uint8_t>(Unsigned(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Unsigned(2)); }
  uint32_t U32() { return Unsigned(4); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  int8_t I8() { return static_cast<int8_t>(U8()); }

  bool Bytes(void* out, size_t length) {
    if (failed_) return false;
    if (length != 0 && std::fread(out, 1, length, file_) != length) failed_ = true;
    return !failed_;
  }

  // Reads a text of length bytes; the storing cuts it to what is kept (and
  // at a NUL byte, which no writer puts in a text: that is told).
  std::string Text(size_t length) {
    std::string text(length, '\0');
    if (!Bytes(text.data(), length)) return std::string();
    return text;
  }

  void Skip(size_t length) {
    char scratch[256];
    while (length > 0 && !failed_) {
      const size_t n = length < sizeof scratch ? length : sizeof scratch;
      Bytes(scratch, n);
      length -= n;
    }
  }

 private:
  std::FILE* file_;
  bool failed_ = false;
};

HeaderField FieldOfTag(int id) {
  switch (id) {
    case kTagSite: return kHeaderSite;
    case kTagDate: return kHeaderDate;
    case kTagRound: return kHeaderRound;
    case kTagRedName: return kHeaderRedName;
    case kTagRedElo: return kHeaderRedElo;
    case kTagBlackName: return kHeaderBlackName;
    case kTagBlackElo: return kHeaderBlackElo;
    case kTagAuthor: return kHeaderAuthor;
    case kTagTimeControl: return kHeaderTimeControl;
    default: return kHeaderEvent;
  }
}

// A header text of a tag: cut to its field (noted), and counted as header
// information when not empty.
void StoreHeaderText(LoadedGame& game, int id, const std::string& text, bool countsAsInfo) {
  const HeaderField field = FieldOfTag(id);
  SetLoadedHeaderText(game, field, text);
  if (countsAsInfo && HeaderFieldText(game.header, field)[0] != '\0') game.header.hasInfo = 1;
}

// The comment pages tag: the known page of each slot it reaches.
void ReadCommentPages(FieldReader& in, std::vector<uint8_t>& pages) {
  std::vector<uint8_t> bytes(in.U16());
  if (!in.Bytes(bytes.data(), bytes.size())) return;
  pages.assign(kCommentSlots, kHeaderTextsUnknown);
  for (size_t ply = 0; ply < bytes.size() && ply < pages.size(); ++ply) {
    if (bytes[ply] == kHeaderTextsGbk || bytes[ply] == kHeaderTextsLatin) pages[ply] = bytes[ply];
  }
}

// The tag records of versions 4..7. Returns false on a structural fault.
// `pages` gets the comment pages the file names.
bool ReadTags(FieldReader& in, int version, LoadedGame& game, std::vector<uint8_t>& pages) {
  const int count = in.I8();
  if (in.failed() || count < 0) return false;
  GameHeader& header = game.header;
  for (int i = 0; i < count; ++i) {
    const int id = in.U8();
    switch (id) {
      case kTagRound:
      case kTagRedElo:
      case kTagBlackElo:
        if (version <= 5) {
          // A number, stored as its decimal text; it is no header text.
          const std::string text = std::to_string(in.U16());
          SetHeaderText(HeaderFieldText(header, FieldOfTag(id)), text.c_str());
          break;
        }
        [[fallthrough]];
      case kTagEvent:
      case kTagSite:
      case kTagDate:
      case kTagRedName:
      case kTagBlackName: {
        const std::string text = in.Text(in.U8());
        if (!in.failed()) StoreHeaderText(game, id, text, id != kTagDate);
        break;
      }
      case kTagAuthor:
      case kTagTimeControl: {
        const std::string text = in.Text(in.U16());
        if (!in.failed()) StoreHeaderText(game, id, text, true);
        break;
      }
      case kTagReserved: {
        const uint32_t mark = in.U32();
        if (mark == kTextPageMark + kHeaderTextsGbk || mark == kTextPageMark + kHeaderTextsLatin)
          header.textPage = static_cast<uint8_t>(mark - kTextPageMark);
        break;
      }
      case kTagResult: {
        const int result = in.I8();
        header.result = static_cast<int8_t>(result >= kResultUnknown && result <= kResultDraw
                                                ? result
                                                : kResultUnknown);
        break;
      }
      case kTagGameComment: {
        // A second game comment is kept after the first.
        const std::string text = in.Text(in.U16());
        if (!text.empty()) {
          header.hasInfo = 1;
          AddLoadedComment(game, 0, text, kBinaryLongTextCap);
        }
        break;
      }
      case kTagCommentPages: ReadCommentPages(in, pages); break;
      default: in.Skip(in.U16()); break;
    }
    if (in.failed()) return false;
  }
  return true;
}

// The start position: the board (or the standard one), the piece squares
// (read from versions 3..7, rebuilt from the board for versions 1 and 2) and
// the side to move. The soundness of the whole is checked by the staging.
bool ReadStartPosition(FieldReader& in, int version, LoadedGame& game) {
  int8_t cells[kBoardSize] = {};
  uint32_t pieces[33] = {};
  const uint8_t hasBoard = in.U8();
  if (hasBoard != 0) {
    if (!in.Bytes(cells, sizeof cells)) return false;
  } else {
    for (uint32_t i = 1; i <= 32; ++i) cells[startSquareOf[i]] = static_cast<int8_t>(i);
  }
  if (version >= 3) {
    for (uint32_t& square : pieces) {
      square = in.U32();
      if (square == 255) square = 0;
    }
    pieces[0] = 0;
  } else {
    // The piece list of the board itself; a piece found twice is a fault.
    for (int s = 0; s < kBoardSize; ++s) {
      const int piece = cells[s];
      if (piece < 1 || piece > 32 || !onBoard[s]) continue;
      if (pieces[piece] != 0) return false;
      pieces[piece] = static_cast<uint32_t>(s);
    }
  }
  const uint32_t side = in.U32();
  if (in.failed() || side > kBlack) return false;
  game.customStart = true;
  std::memcpy(game.startBoard, cells, sizeof cells);
  std::memcpy(game.startPieces, pieces, sizeof pieces);
  game.startSide = side;
  return true;
}

bool IsPlayingSquare(uint32_t s) { return s < kBoardSize && onBoard[s] != 0; }

// Where reading stopped short after a sound start position. The moves (and
// ply comments) read before the first refused move or the damage are kept.
struct ReadStop {
  uint32_t refused = 0;  // number (from 1) of the first move the board refused, 0 none
  Move refusedMove = 0;
  bool damaged = false;  // the file ends early or holds a field that does not fit
  // The move record (from 1) where the damage was found, 0 when it was
  // found in the move count or the ply comments.
  uint32_t damagedRecord = 0;
};

// The move records. Every record is read and checked; the moves are staged
// up to the first one the position refuses or the first damaged record.
void ReadMoves(FieldReader& in, int version, uint32_t count, LoadedGame& game, ReadStop& stop) {
  bool staging = true;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t from = in.U16();
    const uint32_t to = in.U16();
    const uint32_t captured = in.U32() & 0xFF;  // only the low byte is meaningful
    int32_t score = 0, depth = 0;
    uint8_t engineMove = 0;
    if (version >= 5) {
      score = in.I32();
      depth = in.I32();
      engineMove = in.U8() != 0 ? 1 : 0;
      in.Skip(3);
    }
    if (in.failed() || !IsPlayingSquare(from) || !IsPlayingSquare(to) || from == to ||
        captured > 32) {
      stop.damaged = true;
      stop.damagedRecord = i + 1;
      return;
    }
    if (!staging) continue;
    if (StageMove(game, MakeMoveCode(from, to)) != kStageAccepted) {
      staging = false;
      stop.refused = i + 1;
      stop.refusedMove = MakeMoveCode(from, to);
      continue;
    }
    LoadedMove& m = game.moves.back();
    m.engineScore = score;
    m.engineDepth = depth;
    m.engineMove = engineMove;
  }
}

// The ply comments of version 7, each stored as it is read. A mark byte
// that is no Annotation code this program shows (above 5) is kept as it
// is, so that a save writes it back; plies beyond the moves replayed
// keep what they hold, as a user move clears the slot it fills. Returns
// false at the first damaged field.
bool ReadPlyComments(FieldReader& in, LoadedGame& game) {
  const int count = in.U16();
  if (in.failed() || count >= kCommentSlots) return false;
  for (int ply = 1; ply <= count; ++ply) {
    const uint8_t mark = in.U8();
    const std::string text = in.Text(in.U16());
    if (in.failed()) return false;
    SetLoadedMark(game, ply, mark);
    if (!text.empty()) {
      game.header.hasInfo = 1;
      AddLoadedComment(game, ply, text, kBinaryLongTextCap);
    }
  }
  return true;
}

// Everything after the version byte. Returns false when nothing of the game
// can be had: the tags or the start position are truncated, do not fit the
// format or give no sound position. Past the start position the game is
// kept up to where `stop` says reading stopped short.
bool ReadGameBody(FieldReader& in, int version, LoadedGame& game, ReadStop& stop) {
  std::vector<uint8_t> pages;
  if (version >= 4 && !ReadTags(in, version, game, pages)) return false;
  if (!ReadStartPosition(in, version, game)) return false;
  const uint32_t shownPly = in.U32();
  uint32_t count = in.U32();
  if (in.failed()) return false;
  if (count > static_cast<uint32_t>(kMaxGameMoves)) {
    // A count no game can have is damage; the records that follow may
    // still be the game's.
    stop.damaged = true;
    count = kMaxGameMoves;
  }

  StagingSession session(game);
  if (!session.open()) return false;  // start position not sound
  ReadMoves(in, version, count, game, stop);
  session.End();

  const uint32_t replayed = static_cast<uint32_t>(game.moves.size());
  game.shownPly = static_cast<int32_t>(shownPly < replayed ? shownPly : replayed);
  if (version == 7 && !stop.damaged && !ReadPlyComments(in, game)) stop.damaged = true;
  // Comments the file gives no page for are in the interface language's.
  for (size_t ply = 0; ply < game.comments.size(); ++ply) {
    game.comments[ply].page = ply < pages.size() ? pages[ply] : uint8_t{kHeaderTextsUnknown};
  }
  return true;
}

// The reader's results are those of every other game-file reader.
static_assert(int{kBinaryLoadOk} == int{kLoadOk} && int{kBinaryLoadFailed} == int{kLoadFailed} &&
              int{kBinaryLoadPartial} == int{kLoadPartial});

}  // namespace

int LoadBinaryGame(const char* path, GameHeader* header, int fullReset) {
  if (path == nullptr || header == nullptr) return kBinaryLoadFailed;
  std::FILE* file = OpenRegularFile(path, "rb");
  if (file == nullptr) return kBinaryLoadFailed;

  LoadedGame game;
  game.fileName = path;
  FieldReader in(file);
  const int version = in.I8();
  if (in.failed() || version < kBinaryFirstVersion || version > kBinaryLastVersion) {
    std::fclose(file);
    AppendLogLine("Error while loading VBF game : unknown version\r\n");
    return kBinaryLoadFailed;
  }
  ReadStop stop;
  const bool ok = ReadGameBody(in, version, game, stop);
  std::fclose(file);
  if (!ok) {
    AppendLogLine("Error while loading VBF game : damaged file\r\n");
    return kBinaryLoadFailed;
  }
  if (stop.refused != 0) {
    char text[5];
    FormatCoordMove(stop.refusedMove, text);
    LogLoadProblem(path, "move %u (%s) refused, the game ends before it", stop.refused, text);
  }
  if (stop.damaged) {
    if (stop.damagedRecord != 0) {
      LogLoadProblem(path, "the file is damaged at move %u, the game ends before it",
                     stop.damagedRecord);
    } else {
      LogLoadProblem(path, "the file is damaged after move %zu, the game ends there",
                     game.moves.size());
    }
  }
  CommitLoadedGame(game, *header, fullReset);
  return stop.refused != 0 || stop.damaged ? kBinaryLoadPartial : kBinaryLoadOk;
}
