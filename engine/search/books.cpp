// The two opening books: loading the "VKBOOK01" files into position indexes,
// finding the current position directly or as its mirror image, and choosing
// a move by the book's mode.
#include "engine/search/books.h"

#include <bitset>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/data_paths.h"
#include "engine/search/program_random.h"
#include "game/regular_file.h"

char bookFile1[kBookFileNameSize];
char bookFile2[kBookFileNameSize];
int32_t bookMode1 = kBookOff;
int32_t bookMode2 = kBookNormal;
BookEntry* bookIndex[kBookCount][kMaxBookEntries];
int32_t bookEntryCount[kBookCount];

namespace {

constexpr char kBookMagic[] = "VKBOOK01";
constexpr int kBookMoveBytes = 16;

// Full path of each book, fixed when the book is loaded: the probes reopen
// the same file the index was built from.
char bookPath[kBookCount][kPathBufferSize];

char* BookFileName(int book) { return book == 0 ? bookFile1 : bookFile2; }
int32_t BookModeOf(int book) { return book == 0 ? bookMode1 : bookMode2; }
bool IsBook(int book) { return book >= 0 && book < kBookCount; }

uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool IsPlayingSquare(uint32_t s) { return s < static_cast<uint32_t>(kBoardSize) && onBoard[s]; }

// Every piece is absent or on a playing square of its own.
bool IsValidPieceList(const uint8_t pieces[32]) {
  bool taken[kBoardSize] = {};
  for (int i = 0; i < 32; ++i) {
    const uint8_t s = pieces[i];
    if (s == 0) continue;
    if (!IsPlayingSquare(s) || taken[s]) return false;
    taken[s] = true;
  }
  return true;
}

bool IsValidBookMove(Move move) {
  const Square from = MoveFrom(move);
  const Square to = MoveTo(move);
  return from != to && IsPlayingSquare(from) && IsPlayingSquare(to);
}

Square MirrorBookSquare(uint8_t s) {
  if (s == 0) return 0;
  const int d = s - 34;
  return static_cast<Square>(16 * (8 - (d >> 4)) + (d & 15) + 34);
}

__attribute__((format(printf, 1, 2))) void LogLine(const char* format, ...) {
  char line[kPathBufferSize + 128];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  AppendLogLine(line);
}

}  // namespace

void BookPieceList(uint8_t out[32]) {
  for (int i = 1; i <= 32; ++i) out[i - 1] = static_cast<uint8_t>(posPiece[i] & 0xFF);
}

void MirrorPieceList(uint8_t out[32]) {
  BookPieceList(out);
  for (int i = 0; i < 32; ++i) out[i] = static_cast<uint8_t>(MirrorBookSquare(out[i]));
}

void BookKey(const uint8_t pieces[32], uint64_t* out) {
  uint64_t key = 0;
  for (int i = 1; i <= 32; ++i) {
    const uint8_t s = pieces[i - 1];
    if (s != 0 && s < kBoardSize) key ^= lockTable[colouredTypeOf[i]][s];
  }
  *out = key;
}

namespace {

// An index holds its entries at 0..bookEntryCount - 1 and nothing after.
void FreeBook(int book) {
  for (int i = 0; i < bookEntryCount[book]; ++i) {
    delete bookIndex[book][i];
    bookIndex[book][i] = nullptr;
  }
  bookEntryCount[book] = 0;
}

}  // namespace

void FreeBooks() {
  for (int book = 0; book < kBookCount; ++book) FreeBook(book);
}

int LoadBookFile(int book) {
  if (!IsBook(book)) return 0;
  FreeBook(book);
  if (!JoinPath(installDirectory, BookFileName(book), bookPath[book])) return 0;
  FILE* f = OpenRegularFile(bookPath[book], "rb");
  if (f == nullptr) return 0;
  long size = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
  if (size < 0 || std::fseek(f, 0, SEEK_SET) != 0) {
    std::fclose(f);
    return 0;
  }

  char magic[9] = {};
  const size_t magicRead = std::fread(magic, 1, 8, f);
  magic[magicRead] = '\0';
  if (magicRead != 8 || std::memcmp(magic, kBookMagic, 8) != 0) {
    AppendLogLine("Unknown book version : ");
    AppendLogLine(magic);
    std::fclose(f);
    return 0;
  }

  long position = 8;
  int32_t& count = bookEntryCount[book];
  // At most as many entries are read as the index holds, skipped ones
  // included: a huge file (or one of endless unusable entries) is read
  // only that far and never holds up the start.
  for (int examined = 0;; ++examined) {
    if (examined >= kMaxBookEntries) {
      LogLine("%s =>Book tool large !", BookFileName(book));
      break;
    }
    const int side = std::fgetc(f);
    if (side == EOF) break;
    const long offset = position + 1;
    uint8_t pieces[32];
    uint8_t countBytes[4];
    // A last entry cut short in its piece list, its count or its moves is
    // dropped; so is one whose count runs past the end of the file, which
    // also keeps a huge count from stalling the reader.
    if (std::fread(pieces, 1, 32, f) != 32 || std::fread(countBytes, 1, 4, f) != 4) break;
    const uint64_t moveBytes = static_cast<uint64_t>(ReadLe32(countBytes)) * kBookMoveBytes;
    position = offset + 36;
    if (moveBytes > static_cast<uint64_t>(size - position)) break;
    if (std::fseek(f, static_cast<long>(moveBytes), SEEK_CUR) != 0) break;
    position += static_cast<long>(moveBytes);
    // An entry with an impossible side or piece list can never match a
    // position: it is skipped and the next entry read.
    if (side > 1 || !IsValidPieceList(pieces) || offset > static_cast<long>(UINT32_MAX)) continue;
    auto* entry = new (std::nothrow) BookEntry;
    if (entry == nullptr) break;
    BookKey(pieces, &entry->key);
    entry->offset = static_cast<uint32_t>(offset);
    entry->side = static_cast<uint8_t>(side);
    bookIndex[book][count++] = entry;
  }
  std::fclose(f);
  return count;
}

void LoadBooks() {
  FreeBooks();
  bookFile1[kBookFileNameSize - 1] = '\0';
  bookFile2[kBookFileNameSize - 1] = '\0';
  if (bookFile1[0] == '\0') std::strcpy(bookFile1, "USERVKBOOK");
  if (bookFile2[0] == '\0') std::strcpy(bookFile2, "VKBook");
  for (int book = 0; book < kBookCount; ++book) {
    LogLine("Loading book %d => %s", book, BookFileName(book));
    bookEntryCount[book] = 0;
    const int positions = LoadBookFile(book);
    if (positions > 0)
      LogLine("nb Book moves = %d\r\n", positions);
    else
      LogLine("\r\n*******WARNING : %s No book found or book empty !\r\n", BookFileName(book));
  }
}

void FindBookPosition(int book, long* directOffset, long* mirrorOffset, uint32_t side) {
  *directOffset = -1;
  *mirrorOffset = -1;
  if (!IsBook(book)) return;
  uint8_t pieces[32];
  uint64_t direct = 0;
  uint64_t mirrored = 0;
  BookPieceList(pieces);
  BookKey(pieces, &direct);
  MirrorPieceList(pieces);
  BookKey(pieces, &mirrored);
  for (int i = 0; i < bookEntryCount[book]; ++i) {
    const BookEntry* entry = bookIndex[book][i];
    if (entry == nullptr || entry->side != side) continue;
    bool found = false;
    if (entry->key == direct) {
      *directOffset = entry->offset;
      found = true;
    }
    if (entry->key == mirrored) {
      *mirrorOffset = entry->offset;
      found = true;
    }
    if (found) return;
  }
}

int ReadBookMoves(int book, long offset, BookMove list[kMaxBookMovesRead]) {
  if (!IsBook(book) || offset < 0) return 0;
  FILE* f = OpenRegularFile(bookPath[book], "rb");
  if (f == nullptr) return 0;
  int n = 0;
  uint8_t pieces[32];
  uint8_t countBytes[4];
  if (std::fseek(f, offset, SEEK_SET) == 0 && std::fread(pieces, 1, 32, f) == 32 &&
      std::fread(countBytes, 1, 4, f) == 4 && IsValidPieceList(pieces)) {
    // The file may have been replaced since the load: its moves are used
    // only while the entry still holds the current position in either form.
    uint64_t key = 0;
    uint64_t direct = 0;
    uint64_t mirrored = 0;
    uint8_t current[32];
    BookKey(pieces, &key);
    BookPieceList(current);
    BookKey(current, &direct);
    MirrorPieceList(current);
    BookKey(current, &mirrored);
    uint32_t count = ReadLe32(countBytes);
    if (key != direct && key != mirrored) count = 0;
    for (uint32_t i = 0; i < count && i < static_cast<uint32_t>(kMaxBookMovesRead); ++i) {
      uint8_t record[kBookMoveBytes];
      if (std::fread(record, 1, kBookMoveBytes, f) != kBookMoveBytes) break;
      BookMove move;
      move.move = ReadLe32(record);
      move.weight = static_cast<int32_t>(ReadLe32(record + 4));
      move.extra1 = ReadLe32(record + 8);
      move.extra2 = ReadLe32(record + 12);
      if (IsValidBookMove(move.move)) list[n++] = move;
    }
  }
  std::fclose(f);
  return n;
}

int PickBookMove(int book, long offset, BookMove* out, Move excludedMove) {
  BookMove list[kMaxBookMovesRead];
  int n = ReadBookMoves(book, offset, list);
  // Every copy of the excluded move goes (a book may list a move twice),
  // each replaced by the last move of the list.
  if (excludedMove != 0) {
    for (int i = 0; i < n;) {
      if (list[i].move != excludedMove) {
        ++i;
        continue;
      }
      list[i] = list[n - 1];
      --n;
    }
  }
  if (n == 0) return 0;
  int choice = 0;
  switch (BookModeOf(book)) {
    case kBookTournament:
      if (n > 2) {
        choice = ProgramRandom() % 2 == 0 ? 1 : 0;
        if (ProgramRandom() % 6 == 0) choice = 2;
        if (ProgramRandom() % 24 == 0 && n >= 4) choice = 3;
      }
      break;
    case kBookBlitz:
      if (n > 1) {
        int32_t best = list[0].weight;
        for (int j = 1; j < n; ++j) {
          if (list[j].weight < best) continue;
          best = list[j].weight;
          if (ProgramRandom() % 2 != 0) choice = j;
        }
      }
      break;
    default:
      choice = ProgramRandom() % n;
      break;
  }
  *out = list[choice];
  return 1;
}

int ProbeBook(int book, BookMove* out, Move excludedMove, uint32_t side) {
  if (!IsBook(book) || BookModeOf(book) == kBookOff) return 0;
  long directOffset = -1;
  long mirrorOffset = -1;
  FindBookPosition(book, &directOffset, &mirrorOffset, side);
  if (directOffset < 0 && mirrorOffset < 0) return 0;
  bool useMirror = directOffset < 0;
  if (directOffset >= 0 && mirrorOffset >= 0) useMirror = ProgramRandom() % 2 != 0;
  if (!useMirror) return PickBookMove(book, directOffset, out, excludedMove);
  const Move excluded = excludedMove != 0 ? MirrorMove(excludedMove) : 0;
  if (!PickBookMove(book, mirrorOffset, out, excluded)) return 0;
  out->move = MirrorMove(out->move);
  return 1;
}

namespace {
// Flags of the registered endgames by the two sides' material signatures.
constexpr int kSignatureRange = 729;  // 3^6: six kinds, 0..2 pieces each
std::bitset<2 * kSignatureRange * kSignatureRange> knownEndgames;
int registeredEndgames = 0;
}  // namespace

int RegisterEndgameFile(const char* path) {
  const size_t length = std::strlen(path);
  if (length < 7 || std::strcmp(path + length - 7, "endgame") != 0) return static_cast<int>(length);
  const char* name = std::strrchr(path, '/');
  name = name != nullptr ? name + 1 : path;
  if (*name == '.') ++name;
  if (*name == '/') ++name;
  LogLine("Registering : %d - %s", registeredEndgames, name);

  // Letter counts per side in the order B, C, E, N, P, R.
  int counts[2][6] = {};
  int sideIndex = 0;
  const char* p = name;
  if (*p == 'K' || *p == 'k') ++p;
  for (; *p != '\0' && *p != '.'; ++p) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    if (c == 'K') {
      sideIndex = 1;
      continue;
    }
    const char* kinds = "BCENPR";
    const char* kind = std::strchr(kinds, c);
    if (kind != nullptr) ++counts[sideIndex][kind - kinds];
  }
  int signature[2];
  for (int s = 0; s < 2; ++s) {
    const int* n = counts[s];
    // A signature digit holds 0..2 pieces; more would index past the table.
    for (int k = 0; k < 6; ++k)
      if (n[k] > 2) return -1;
    signature[s] = n[5] + 3 * n[1] + 9 * n[3] + 27 * n[2] + 81 * n[0] + 243 * n[4];
  }
  const size_t first = 1458u * signature[0] + signature[1];
  const size_t second = 1458u * signature[1] + signature[0];
  if (!knownEndgames.test(first)) ++registeredEndgames;
  knownEndgames.set(first);
  knownEndgames.set(second);
  return 1458 * signature[1];
}
