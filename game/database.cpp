// Reader of vzd database records. A record is read whole and checked before
// it replaces the game: every length, count and square is tested against
// the data, and the moves are staged on the engine position first.
#include "game/database.h"

#include <cstdio>
#include <cstring>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "game/game_loader.h"
#include "game/gzip_reader.h"
#include "game/regular_file.h"

uint8_t databaseRecordBuffer[kDatabaseRecordSize];
CGameDatabase gameDatabase;

namespace {

constexpr uint32_t kPieceAbsent = 255;

// Bounds-checked reading of a record: once a read would pass the end, every
// later read yields zero and ok() stays false.
class RecordCursor {
 public:
  RecordCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  // The next count bytes, or null when fewer are left.
  const uint8_t* Take(size_t count) {
    if (!ok_ || count > size_ - pos_) {
      ok_ = false;
      return nullptr;
    }
    const uint8_t* p = data_ + pos_;
    pos_ += count;
    return p;
  }
  uint32_t U8() {
    const uint8_t* p = Take(1);
    return p ? p[0] : 0;
  }
  uint32_t U16Be() {
    const uint8_t* p = Take(2);
    return p ? static_cast<uint32_t>(p[0] << 8 | p[1]) : 0;
  }
  uint32_t U16Le() {
    const uint8_t* p = Take(2);
    return p ? static_cast<uint32_t>(p[1] << 8 | p[0]) : 0;
  }
  uint32_t U32Le() {
    const uint8_t* p = Take(4);
    if (!p) return 0;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

// A u8 length and its text into a header field, cut to 127 bytes. Returns
// whether the text was not empty.
bool ReadHeaderText(RecordCursor& in, char (&field)[kHeaderTextSize]) {
  const uint32_t length = in.U8();
  const uint8_t* text = in.Take(length);
  if (text == nullptr || length == 0) return false;
  constexpr uint32_t kLongest = kHeaderTextSize - 1;
  const uint32_t kept = length < kLongest ? length : kLongest;
  std::memcpy(field, text, kept);
  field[kept] = '\0';
  return true;
}

bool ReadHeader(RecordCursor& in, GameHeader& header) {
  char(*const firstTexts[])[kHeaderTextSize] = {
      &header.event,   &header.site,      &header.date,      &header.round,
      &header.redName, &header.redElo,    &header.blackName, &header.blackElo};
  for (auto* field : firstTexts) {
    if (ReadHeaderText(in, *field) && field != &header.date) header.hasInfo = 1;
  }
  header.databaseValue = static_cast<uint16_t>(in.U16Be());
  header.result = static_cast<int8_t>(in.U8());
  if (ReadHeaderText(in, header.author)) header.hasInfo = 1;
  if (ReadHeaderText(in, header.timeControl)) header.hasInfo = 1;
  return in.ok();
}

// The optional start position. Returns false when the record ends inside it
// or (with load) the position is not sound.
bool ReadStartPosition(RecordCursor& in, LoadedGame& game, bool load) {
  const bool standardStart = in.U8() != 0;
  if (standardStart) return in.ok();
  const uint8_t* cells = in.Take(kBoardSize);
  uint32_t pieces[33];
  for (uint32_t& square : pieces) {
    square = in.U32Le();
    if (square == kPieceAbsent) square = 0;
  }
  const uint32_t side = in.U8() == 1 ? kBlack : kRed;
  if (!in.ok()) return false;
  if (!load) return true;
  int8_t board[kBoardSize];
  std::memcpy(board, cells, sizeof board);
  return StageStartBoard(game, board, pieces, side) != 0;
}

// The move records, staged until the first one that cannot be played; the
// rest are still read so the fields after them are found.
bool ReadMoves(RecordCursor& in, LoadedGame& game, uint32_t count, bool longForm) {
  bool playing = true;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t from = in.U16Le();
    const uint32_t to = in.U16Le();
    int32_t score = 0;
    int32_t depth = 0;
    if (longForm) {
      score = static_cast<int32_t>(in.U32Le());
      depth = static_cast<int32_t>(in.U32Le());
    }
    if (!in.ok()) return false;
    if (!playing) continue;
    if (StageMove(game, MakeMoveCode(from, to)) != kStageAccepted) {
      playing = false;
      continue;
    }
    game.moves.back().engineScore = score;
    game.moves.back().engineDepth = depth;
  }
  return true;
}

// Comment slots 0..last: a mark, a u16 length and the text. Slots beyond
// the comment store are not read (they are the last thing in the record).
bool ReadComments(RecordCursor& in, LoadedGame& game, uint32_t last) {
  std::string text;
  for (uint32_t slot = 0; slot <= last && slot < kCommentSlots; ++slot) {
    const uint32_t mark = in.U8();
    const uint32_t length = in.U16Be();
    const uint8_t* bytes = in.Take(length);
    if (!in.ok()) return false;
    SetLoadedMark(game, static_cast<int>(slot), static_cast<uint8_t>(mark));
    if (length == 0) continue;
    const size_t kept = length < kDatabaseCommentCap ? length : kDatabaseCommentCap;
    // A text is kept up to its first NUL, as the comment store keeps it.
    text.assign(reinterpret_cast<const char*>(bytes), kept);
    SetLoadedComment(game, static_cast<int>(slot), text.c_str());
  }
  return true;
}

// Rebuilds typeBoard from board, as after every game load.
void RebuildTypeBoard() {
  std::memset(typeBoard, 0, sizeof typeBoard);
  for (int s = 0; s < kBoardSize; ++s) {
    const int piece = board[s];
    if (piece > 0 && piece <= 32) typeBoard[s] = static_cast<uint8_t>(colouredTypeOf[piece]);
  }
}

}  // namespace

int ParseDatabaseGame(const uint8_t* data, size_t size, GameHeader* header,
                      int32_t* moveCountOut, int load, int withComments) {
  RecordCursor in(data, data == nullptr ? 0 : size);
  const auto version = static_cast<int8_t>(in.U8());
  if (!in.ok()) return kDatabaseDamaged;
  if (version > 0) {
    AppendLogLine("Error while loading vzd game : unknown version\r\n");
    return kDatabaseBadVersion;
  }
  LoadedGame game;
  if (!ReadHeader(in, game.header)) return kDatabaseDamaged;
  if (!load) {
    if (!ReadStartPosition(in, game, false)) return kDatabaseDamaged;
    in.U16Le();  // the ply to show
    const uint32_t moveCount = in.U16Le();
    if (!in.ok()) return kDatabaseDamaged;
    if (header != nullptr) *header = game.header;
    if (moveCountOut != nullptr) *moveCountOut = static_cast<int32_t>(moveCount);
    return kDatabaseRecordRead;
  }

  StagingSession session(game);
  if (!session.open() || !ReadStartPosition(in, game, true)) return kDatabaseDamaged;
  game.shownPly = static_cast<int32_t>(in.U16Le());
  const uint32_t moveCount = in.U16Le();
  const bool longForm = in.U8() != 0;
  if (!in.ok() || !ReadMoves(in, game, moveCount, longForm)) return kDatabaseDamaged;
  session.End();
  const uint32_t lastCommentSlot = in.U16Be();
  if (!in.ok()) return kDatabaseDamaged;
  if (withComments && !ReadComments(in, game, lastCommentSlot)) return kDatabaseDamaged;

  GameHeader scratch;
  CommitLoadedGame(game, header != nullptr ? *header : scratch, 1);
  return kDatabaseRecordRead;
}

int CGameDatabase::LoadGame(int32_t number, GameHeader* header, int32_t* moveCountOut,
                            int load, int withComments) {
  if (number < 0 || number >= gameCount || static_cast<size_t>(number) >= index.size())
    return 0;
  const DatabaseIndexEntry& entry = index[static_cast<size_t>(number)];
  if (entry.length < kDatabaseRecordLead || entry.length > kDatabaseRecordSize) return 0;
  std::FILE* file = OpenRegularFile(fileName.c_str(), "rb");
  if (file == nullptr) return 0;
  const bool readWhole = std::fseek(file, static_cast<long>(entry.offset), SEEK_SET) == 0 &&
                         std::fread(databaseRecordBuffer, 1, entry.length, file) == entry.length;
  std::fclose(file);
  if (!readWhole) return 0;
  CMemoryGunzip gunzip(databaseRecordBuffer + kDatabaseRecordLead,
                       entry.length - kDatabaseRecordLead);
  if (gunzip.DecompressAll() != kGunzipOk) return 0;
  if (ParseDatabaseGame(gunzip.Data(), gunzip.Size(), header, moveCountOut, load,
                        withComments) != kDatabaseRecordRead)
    return 0;
  if (load) RebuildTypeBoard();
  return 1;
}
