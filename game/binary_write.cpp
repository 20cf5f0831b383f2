// Writing binary game files (versions 3, 6 and 7). The file's bytes are
// built in memory first, so the game on the board is back at its shown ply
// before anything is written, whatever happens to the file; a save that
// fails leaves the previous file as it was.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/position/position.h"
#include "game/atomic_file.h"
#include "game/binary_files.h"
#include "game/comments.h"
#include "game/header.h"

namespace {

class FieldWriter {
 public:
  void Unsigned(uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }
  void U8(uint32_t value) { Unsigned(value, 1); }
  void U16(uint32_t value) { Unsigned(value, 2); }
  void U32(uint32_t value) { Unsigned(value, 4); }
  void Bytes(const void* data, size_t length) {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + length);
  }
  // A text behind a u8 (width 1) or u16 (width 2) length, cut to cap bytes.
  void Text(const char* text, size_t maxLength, size_t cap, int width) {
    size_t length = text != nullptr ? strnlen(text, maxLength) : 0;
    if (length > cap) length = cap;
    Unsigned(static_cast<uint32_t>(length), width);
    Bytes(text, length);
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

void WriteHeaderText(FieldWriter& out, uint8_t id, const char (&field)[kHeaderTextSize]) {
  out.U8(id);
  out.Text(field, kHeaderTextSize, kHeaderTextSize - 1, 1);
}

const char* CommentText(int ply) { return moveComments[ply].text; }

// The last ply of the game whose comment slot is written (version 7): it
// holds a text (even an empty one) or a mark.
int LastWrittenCommentPly() {
  int last = 0;
  for (int ply = 1; ply <= std::min(gameLength, kMaxGameMoves) && ply < kCommentSlots; ++ply) {
    if (moveComments[ply].text != nullptr || moveComments[ply].annotation != kMarkNone) last = ply;
  }
  return last;
}

bool IsKnownPage(uint8_t page) { return page == kHeaderTextsGbk || page == kHeaderTextsLatin; }

// The code pages of the comments written, up to the last one with a known
// page; empty when none has one.
std::vector<uint8_t> CommentPages(int version) {
  const int last = version == kBinaryVersionEgf ? LastWrittenCommentPly() : 0;
  std::vector<uint8_t> pages;
  for (int ply = 0; ply <= last; ++ply) {
    const MoveComment& slot = moveComments[ply];
    if (slot.text == nullptr || !IsKnownPage(slot.page)) continue;
    pages.resize(static_cast<size_t>(ply) + 1, kHeaderTextsUnknown);
    pages[static_cast<size_t>(ply)] = slot.page;
  }
  return pages;
}

void WriteTags(FieldWriter& out, int version, const GameHeader& header) {
  const std::vector<uint8_t> pages = CommentPages(version);
  out.U8((version == 7 ? 13 : 11) + (pages.empty() ? 0 : 1));
  WriteHeaderText(out, kTagEvent, header.event);
  WriteHeaderText(out, kTagSite, header.site);
  WriteHeaderText(out, kTagDate, header.date);
  WriteHeaderText(out, kTagRound, header.round);
  WriteHeaderText(out, kTagRedName, header.redName);
  WriteHeaderText(out, kTagRedElo, header.redElo);
  WriteHeaderText(out, kTagBlackName, header.blackName);
  WriteHeaderText(out, kTagBlackElo, header.blackElo);
  out.U8(kTagReserved);
  out.U32(IsKnownPage(header.textPage) ? kTextPageMark + header.textPage
              : 0);
  out.U8(kTagResult);
  out.U8(static_cast<uint8_t>(header.result));
  out.U8(kTagGameComment);
  out.Text(CommentText(0), kBinaryLongTextCap, kBinaryLongTextCap, 2);
  if (version == 7) {
    out.U8(kTagAuthor);
    out.Text(header.author, kHeaderTextSize, kHeaderTextSize - 1, 2);
    out.U8(kTagTimeControl);
    out.Text(header.timeControl, kHeaderTextSize, kHeaderTextSize - 1, 2);
  }
  if (!pages.empty()) {
    out.U8(kTagCommentPages);
    out.U16(static_cast<uint32_t>(pages.size()));
    out.Bytes(pages.data(), pages.size());
  }
}

// The start position, the shown ply, the move count and the move records.
// Every move is taken back to reach the start position and the game is
// replayed to the shown ply afterwards.
void WriteGameRecord(FieldWriter& out, int recordSize) {
  // No reader takes more than kMaxGameMoves moves.
  const int32_t length = std::min(gameLength, kMaxGameMoves);
  const int32_t shownPly = std::min(gamePly, length);
  TakeBackAll();
  out.U8(1);
  out.Bytes(board, sizeof board);
  for (uint32_t square : posPiece) out.U32(square);
  out.U32(startSideToMove);
  out.U32(static_cast<uint32_t>(shownPly));
  out.U32(static_cast<uint32_t>(length));
  for (int32_t ply = 1; ply <= length; ++ply) {
    const HistoryRecord& r = history[ply];
    out.U16(MoveFrom(r.move));
    out.U16(MoveTo(r.move));
    out.U32(r.captured);
    if (recordSize == kBinaryMoveRecordLong) {
      out.U32(static_cast<uint32_t>(r.engineScore));
      out.U32(static_cast<uint32_t>(r.engineDepth));
      out.U8(r.engineMove);
      out.Unsigned(0, 3);
    }
  }
  for (int32_t ply = 0; ply < shownPly; ++ply) {
    if (!ReplayOne()) break;
  }
  std::memcpy(displayBoard, board, sizeof displayBoard);
  shownSideToMove = sideToMove;
}

// The ply comments of version 7: up to the last ply of the game that holds
// a text (even an empty one) or a mark.
void WritePlyComments(FieldWriter& out) {
  const int last = LastWrittenCommentPly();
  out.U16(static_cast<uint32_t>(last));
  for (int ply = 1; ply <= last; ++ply) {
    out.U8(moveComments[ply].annotation);
    out.Text(CommentText(ply), kBinaryLongTextCap, kBinaryLongTextCap, 2);
  }
}

int WriteFile(AtomicFile& file, const FieldWriter& out) {
  const std::vector<uint8_t>& bytes = out.bytes();
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.file()) != bytes.size()) {
    return kBinarySaveWriteError;  // the temporary file goes with `file`
  }
  return file.Commit() ? kBinarySaveOk : kBinarySaveWriteError;
}

}  // namespace

int SaveBinaryGame(const char* path, int version, GameHeader header) {
  if (version != kBinaryVersionVgf && version != kBinaryVersionEgf) return kBinarySaveBadVersion;
  if (path == nullptr) return kBinarySaveCannotCreate;
  AtomicFile file;
  if (!file.Open(path)) return kBinarySaveCannotCreate;
  SetGameFileName(path);
  FieldWriter out;
  out.U8(static_cast<uint32_t>(version));
  WriteTags(out, version, header);
  WriteGameRecord(out, kBinaryMoveRecordLong);
  if (version == kBinaryVersionEgf) WritePlyComments(out);
  return WriteFile(file, out);
}

int SaveVbfGame(const char* path) {
  if (path == nullptr) return kBinarySaveCannotCreate;
  AtomicFile file;
  if (!file.Open(path)) return kBinarySaveCannotCreate;
  SetGameFileName(path);
  FieldWriter out;
  out.U8(kBinaryVersionVbf);
  WriteGameRecord(out, kBinaryMoveRecordShort);
  return WriteFile(file, out);
}
