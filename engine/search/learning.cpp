// Learning files: the in-memory position and mate tables, the files they
// are loaded from and appended to, the read-only "inner" copies merged into
// them, and the learning after an engine move.
#include "engine/search/learning.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/data_paths.h"
#include "engine/search/memory_budget.h"
#include "engine/search/tt.h"
#include "game/regular_file.h"

uint32_t learningTableSize = kDefaultLearningTableSize;
uint32_t mateTableSize = kDefaultMateTableSize;
LearningRecord* learningTable = nullptr;
LearningMateEntry* mateTable = nullptr;
uint8_t useLearning = 1;
uint8_t learnMoves = 1;

namespace {

// The three position files by the size of the score change, then the mate
// file.
enum LearningFile {
  kSmallChangeFile = 0,
  kMediumChangeFile = 1,
  kLargeChangeFile = 2,
  kMateFile = 3,
  kLearningFileCount = 4
};

constexpr const char* kMainNames[kLearningFileCount] = {"V4QelPos1.bin", "V4QelPos2.bin",
                                                        "V4QelPos3.bin", "V4QelPos.egm"};
constexpr const char* kInnerNames[kLearningFileCount] = {
    "inner/V4QelPos1.bin", "inner/V4QelPos2.bin", "inner/V4QelPos3.bin", "inner/V4QelPos.egm"};
// Files of earlier learning formats: only deleted by the reset.
constexpr int kObsoleteCount = 5;
constexpr const char* kObsoleteNames[kObsoleteCount] = {
    "V4QelPos.lrn", "V4QelPos1.lrn", "V4QelPos2.lrn", "V4QelPos3.lrn", "V4QelPos4.lrn"};

constexpr int32_t kLargestPlainScore = 3199744;

char mainPaths[kLearningFileCount][kPathBufferSize];
char innerPaths[kLearningFileCount][kPathBufferSize];
char obsoletePaths[kObsoleteCount][kPathBufferSize];
FILE* mainFiles[kLearningFileCount];
// Complete records in each main file, counted again under the file's lock
// before every append (another copy of the program may have appended since):
// appends go right after the last one, over any partial record a broken write
// left behind.
uint32_t recordCounts[kLearningFileCount];
bool filesOpen = false;
// Set when a main file could not be created: nothing is probed or learnt
// until the files are opened successfully. The user's options stay as set.
bool learningUnavailable = false;
// Set when an entry of either table was written since the tables were
// allocated (zeroed) or last cleared: clearing untouched tables costs
// nothing, so large tables take memory only as entries are learnt or loaded.
bool tablesWritten = false;

int RecordBytes(int file) {
  return file == kMateFile ? kLearningMateRecordBytes : kLearningRecordBytes;
}

uint32_t RecordLimit(int file) {
  return file == kMateFile ? kMaxLearningMateRecords : kMaxLearningRecords;
}

void SetPaths() {
  for (int i = 0; i < kLearningFileCount; ++i) {
    JoinPath(installDirectory, kMainNames[i], mainPaths[i]);
    JoinPath(installDirectory, kInnerNames[i], innerPaths[i]);
  }
  for (int i = 0; i < kObsoleteCount; ++i)
    JoinPath(installDirectory, kObsoleteNames[i], obsoletePaths[i]);
}

// Allocates both tables zeroed at the given sizes; 0 when either fails.
bool AllocateTables(uint64_t positions, uint64_t mates) {
  tablesWritten = false;
  std::free(learningTable);
  std::free(mateTable);
  learningTable = nullptr;
  mateTable = nullptr;
  if (positions == 0 || mates == 0 || positions > UINT32_MAX || mates > UINT32_MAX) return false;
  learningTable = static_cast<LearningRecord*>(std::calloc(positions, sizeof(LearningRecord)));
  mateTable = static_cast<LearningMateEntry*>(std::calloc(mates, sizeof(LearningMateEntry)));
  if (learningTable == nullptr || mateTable == nullptr) {
    std::free(learningTable);
    std::free(mateTable);
    learningTable = nullptr;
    mateTable = nullptr;
    return false;
  }
  learningTableSize = static_cast<uint32_t>(positions);
  mateTableSize = static_cast<uint32_t>(mates);
  return true;
}

// Tables of the requested size, else of the default size.
void AllocateTablesOrDefault(uint64_t positions, uint64_t mates) {
  if (!AllocateTables(positions, mates))
    AllocateTables(kDefaultLearningTableSize, kDefaultMateTableSize);
}

// The entries a position or a mate is written to.
LearningRecord& PositionSlot(uint64_t lock) {
  tablesWritten = true;
  return learningTable[lock % learningTableSize];
}
LearningMateEntry& MateSlot(uint64_t key) {
  tablesWritten = true;
  return mateTable[key % mateTableSize];
}

void ClearTables() {
  if (!tablesWritten) return;
  tablesWritten = false;
  if (learningTable != nullptr)
    std::memset(static_cast<void*>(learningTable), 0,
                static_cast<size_t>(learningTableSize) * sizeof(LearningRecord));
  if (mateTable != nullptr)
    std::memset(static_cast<void*>(mateTable), 0,
                static_cast<size_t>(mateTableSize) * sizeof(LearningMateEntry));
}

// --- record encoding (little-endian) ---------------------------------------

void PutLe(uint8_t* p, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t GetLe(const uint8_t* p, int bytes) {
  uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
  return value;
}

void EncodeRecord(const LearningRecord& r, uint8_t out[kLearningRecordBytes]) {
  PutLe(out, r.lock, 8);
  PutLe(out + 8, r.key, 8);
  PutLe(out + 16, r.move, 4);
  PutLe(out + 20, static_cast<uint32_t>(r.score), 4);
  PutLe(out + 24, r.depth, 2);
  out[26] = r.side;
  out[27] = 0;
}

LearningRecord DecodeRecord(const uint8_t in[kLearningRecordBytes]) {
  LearningRecord r;
  r.lock = GetLe(in, 8);
  r.key = GetLe(in + 8, 8);
  r.move = static_cast<uint32_t>(GetLe(in + 16, 4));
  r.score = static_cast<int32_t>(static_cast<uint32_t>(GetLe(in + 20, 4)));
  r.depth = static_cast<uint16_t>(GetLe(in + 24, 2));
  r.side = in[26];
  r.reserved = 0;
  return r;
}

void EncodeMate(const LearningMateEntry& e, uint8_t out[kLearningMateRecordBytes]) {
  PutLe(out, e.move, 4);
  std::memcpy(out + 4, e.pieces, 32);
  PutLe(out + 36, static_cast<uint32_t>(e.score), 4);
  out[40] = e.side;
  out[41] = out[42] = out[43] = 0;
}

// Decodes a mate record and computes the keys of its position.
LearningMateEntry DecodeMate(const uint8_t in[kLearningMateRecordBytes], uint64_t* key) {
  LearningMateEntry e = {};
  e.move = static_cast<uint32_t>(GetLe(in, 4));
  std::memcpy(e.pieces, in + 4, 32);
  e.score = static_cast<int32_t>(static_cast<uint32_t>(GetLe(in + 36, 4)));
  e.side = in[40];
  uint32_t pieces[33] = {};
  for (int i = 1; i <= 32; ++i) pieces[i] = e.pieces[i - 1];
  uint64_t lock = 0;
  ComputePositionKeys(&lock, key, pieces);
  e.lockLow = static_cast<uint32_t>(lock);
  return e;
}

// --- validation --------------------------------------------------------------

bool IsPlayingSquare(uint32_t s) { return s < static_cast<uint32_t>(kBoardSize) && onBoard[s]; }

bool IsValidLearntMove(Move move) {
  return MoveFrom(move) != MoveTo(move) && IsPlayingSquare(MoveFrom(move)) &&
         IsPlayingSquare(MoveTo(move));
}

bool IsValidRecord(const LearningRecord& r) { return r.side <= 1 && IsValidLearntMove(r.move); }

bool IsValidMate(const LearningMateEntry& e) {
  if (e.side > 1 || !IsValidLearntMove(e.move)) return false;
  bool taken[kBoardSize] = {};
  for (uint8_t s : e.pieces) {
    if (s == 0) continue;
    if (!IsPlayingSquare(s) || taken[s]) return false;
    taken[s] = true;
  }
  return e.pieces[0] != 0 && e.pieces[16] != 0;  // both kings on the board
}

// --- files -------------------------------------------------------------------
// The files are read and written by position on their descriptors (pread,
// pwrite): a stream's buffer would hold what another copy of the program
// has since changed.

// Holds the advisory lock of a learning file while it lives. Every copy of
// the program takes it to create or extend a file, so two copies never
// write a record at the same place. Where the system has no such locks the
// file is used without.
class FileLock {
 public:
  explicit FileLock(FILE* f) : fd_(fileno(f)) {
    while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  ~FileLock() { flock(fd_, LOCK_UN); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_;
};

// Reads up to size bytes at offset; returns how many were read.
size_t ReadAt(FILE* f, void* out, size_t size, uint64_t offset) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = pread(fileno(f), static_cast<uint8_t*>(out) + done, size - done,
                            static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

bool WriteAt(FILE* f, const void* bytes, size_t size, uint64_t offset) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = pwrite(fileno(f), static_cast<const uint8_t*>(bytes) + done, size - done,
                             static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

uint64_t FileSize(FILE* f) {
  struct stat st;
  return fstat(fileno(f), &st) == 0 && st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

// 1 when the file starts with the current version word.
bool HasCurrentVersion(FILE* f) {
  uint8_t word[4];
  return ReadAt(f, word, 4, 0) == 4 && GetLe(word, 4) == learningVersion;
}

// Complete records after the version word.
uint64_t CountRecords(FILE* f, int recordBytes) {
  const uint64_t size = FileSize(f);
  return size < 4 ? 0 : (size - 4) / static_cast<uint64_t>(recordBytes);
}

uint32_t CountRecordsUpTo32Bits(FILE* f, int recordBytes) {
  return static_cast<uint32_t>(std::min<uint64_t>(CountRecords(f, recordBytes), UINT32_MAX));
}

// Appends one record at the real end of a main file: under the file's lock
// the records are counted again, so a record another copy of the program
// appended since this one loaded the file is kept.
void AppendRecord(int file, const uint8_t* bytes) {
  FILE* f = mainFiles[file];
  if (f == nullptr) return;
  const int recordBytes = RecordBytes(file);
  FileLock lock(f);
  recordCounts[file] = CountRecordsUpTo32Bits(f, recordBytes);
  if (recordCounts[file] >= RecordLimit(file)) return;
  if (!HasCurrentVersion(f)) {
    // Records of this version would corrupt a file of another version.
    AppendLogLine("## ERROR : Incompatible learning file version...");
    return;
  }
  const uint64_t end = 4 + uint64_t{recordCounts[file]} * static_cast<uint64_t>(recordBytes);
  if (WriteAt(f, bytes, static_cast<size_t>(recordBytes), end)) ++recordCounts[file];
}

// Records read per call of pread while loading.
constexpr uint32_t kRecordsPerRead = 512;

// Calls visit(bytes) for the last `most` complete records after the version
// word, in file order (all of them when the file holds fewer): a file
// longer than its table can hold is read only as far as the table holds,
// and its newest records are the ones kept. Returns the records read.
template <typename Visit>
uint64_t ForEachRecord(FILE* f, int recordBytes, uint64_t most, Visit visit) {
  const uint64_t count = CountRecords(f, recordBytes);
  const uint64_t taken = std::min(count, most);
  uint64_t offset = 4 + (count - taken) * static_cast<uint64_t>(recordBytes);
  uint8_t chunk[kRecordsPerRead * kLearningMateRecordBytes];
  uint64_t read = 0;
  while (read < taken) {
    const uint64_t wanted = std::min<uint64_t>(taken - read, kRecordsPerRead);
    const size_t got = ReadAt(f, chunk, static_cast<size_t>(wanted) * recordBytes, offset) /
                       static_cast<size_t>(recordBytes);
    for (size_t i = 0; i < got; ++i) visit(chunk + i * recordBytes);
    read += got;
    offset += got * static_cast<uint64_t>(recordBytes);
    if (got < wanted) break;
  }
  return read;
}

// The most records of a file of this kind that are read: what its table
// holds, and never more than the program appends to such a file.
uint64_t RecordsToRead(int file) {
  const uint32_t table = file == kMateFile ? mateTableSize : learningTableSize;
  return std::min(table, RecordLimit(file));
}

uint64_t LoadPositionFile(FILE* f) {
  return ForEachRecord(f, kLearningRecordBytes, RecordsToRead(kSmallChangeFile),
                       [](const uint8_t* bytes) {
                         const LearningRecord r = DecodeRecord(bytes);
                         if (IsValidRecord(r)) PositionSlot(r.lock) = r;
                       });
}

uint64_t LoadMateFile(FILE* f) {
  return ForEachRecord(f, kLearningMateRecordBytes, RecordsToRead(kMateFile),
                       [](const uint8_t* bytes) {
                         uint64_t key = 0;
                         const LearningMateEntry e = DecodeMate(bytes, &key);
                         if (IsValidMate(e)) MateSlot(key) = e;
                       });
}

// Merges one read-only copy: its records fill only empty slots, and each one
// taken is appended to the main file of the same kind.
void MergeInnerCopy(int file) {
  FILE* f = OpenExistingLearningFile(innerPaths[file]);
  if (f == nullptr) return;
  if (HasCurrentVersion(f)) {
    if (file == kMateFile) {
      ForEachRecord(f, kLearningMateRecordBytes, RecordsToRead(file), [](const uint8_t* bytes) {
        uint64_t key = 0;
        const LearningMateEntry e = DecodeMate(bytes, &key);
        LearningMateEntry& slot = MateSlot(key);
        if (!IsValidMate(e) || slot.move != 0) return;
        slot = e;
        uint8_t out[kLearningMateRecordBytes];
        EncodeMate(e, out);
        AppendRecord(kMateFile, out);
      });
    } else {
      ForEachRecord(f, kLearningRecordBytes, RecordsToRead(file), [file](const uint8_t* bytes) {
        const LearningRecord r = DecodeRecord(bytes);
        LearningRecord& slot = PositionSlot(r.lock);
        if (!IsValidRecord(r) || slot.lock != 0) return;
        slot = r;
        uint8_t out[kLearningRecordBytes];
        EncodeRecord(r, out);
        AppendRecord(file, out);
      });
    }
  }
  std::fclose(f);
}

// The pieces of one kind and side (PieceIndex first..last) stand on the same
// squares in the current position and in the stored list, in any order.
bool SameSquares(const uint8_t stored[32], int first, int last) {
  int currentCount = 0;
  int storedCount = 0;
  for (int i = first; i <= last; ++i) {
    if (stored[i - 1] != 0) ++storedCount;
    const uint32_t s = posPiece[i];
    if (s == 0) continue;
    ++currentCount;
    bool found = false;
    for (int j = first; j <= last && !found; ++j) found = stored[j - 1] == s;
    if (!found) return false;
  }
  return currentCount == storedCount;
}

bool MatchesCurrentPosition(const uint8_t stored[32]) {
  // King, advisers, elephants, knights, chariots, cannons, pawns.
  static constexpr int kGroups[7][2] = {{1, 1}, {2, 3}, {4, 5}, {6, 7}, {8, 9}, {10, 11}, {12, 16}};
  for (int side = 0; side < 2; ++side)
    for (const auto& g : kGroups)
      if (!SameSquares(stored, g[0] + 16 * side, g[1] + 16 * side)) return false;
  return true;
}

}  // namespace

FILE* OpenOrCreateLearningFile(const char* path) {
  FILE* f = OpenRegularFile(path, "rb+");
  if (f == nullptr && errno == ENOENT) {
    // Created without truncation: another copy of the program may be
    // creating and filling the same file at this moment.
    const int fd = open(path, O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd >= 0) close(fd);
    f = OpenRegularFile(path, "rb+");
  }
  if (f != nullptr) {
    FileLock lock(f);
    uint8_t word[4];
    PutLe(word, learningVersion, 4);
    if (FileSize(f) > 0 || WriteAt(f, word, 4, 0)) return f;
  }
  if (f != nullptr) std::fclose(f);
  learningUnavailable = true;
  return nullptr;
}

FILE* OpenExistingLearningFile(const char* path) {
  FILE* f = OpenRegularFile(path, "rb");
  if (f == nullptr) return nullptr;
  if (std::fseek(f, 0, SEEK_END) == 0 && std::ftell(f) > 0) return f;
  std::fclose(f);
  return nullptr;
}

uint64_t LoadLearningFiles() {
  ClearTables();
  for (int i = 0; i < kLearningFileCount; ++i)
    recordCounts[i] =
        mainFiles[i] != nullptr ? CountRecordsUpTo32Bits(mainFiles[i], RecordBytes(i)) : 0;
  if (learningTable == nullptr || mateTable == nullptr) return 0;
  if (mainFiles[kSmallChangeFile] == nullptr || !HasCurrentVersion(mainFiles[kSmallChangeFile])) {
    AppendLogLine("### ERROR : Incorrect learning file version. Should reset learning...");
    return 0;
  }
  uint64_t read = 0;
  for (int i = kSmallChangeFile; i <= kLargeChangeFile; ++i)
    if (mainFiles[i] != nullptr && HasCurrentVersion(mainFiles[i]))
      read += LoadPositionFile(mainFiles[i]);
  if (mainFiles[kMateFile] != nullptr && HasCurrentVersion(mainFiles[kMateFile]))
    read += LoadMateFile(mainFiles[kMateFile]);
  return read;
}

int OpenLearningFiles() {
  if (filesOpen) return -1;
  if (learningTable == nullptr || mateTable == nullptr)
    AllocateTablesOrDefault(learningTableSize, mateTableSize);
  SetPaths();
  EnsureInstallDirectory();
  learningUnavailable = false;
  for (int i = 0; i < kLearningFileCount; ++i)
    mainFiles[i] = OpenOrCreateLearningFile(mainPaths[i]);
  if (learningUnavailable || learningTable == nullptr || mateTable == nullptr) {
    CloseLearningFiles();
    ClearTables();
    learningUnavailable = true;
    return 1;
  }
  filesOpen = true;
  LoadLearningFiles();
  for (int i = 0; i < kLearningFileCount; ++i) MergeInnerCopy(i);
  return 0;
}

void CloseLearningFiles() {
  for (FILE*& f : mainFiles) {
    if (f != nullptr) std::fclose(f);
    f = nullptr;
  }
  filesOpen = false;
}

void StoreLearningEntry(int32_t score, int32_t previousScore, int32_t depth, Move move,
                        uint64_t lock, uint64_t key, uint32_t side) {
  if (learningTable == nullptr || depth < 1 || side > 1 || !IsValidLearntMove(move)) return;
  LearningRecord& slot = PositionSlot(lock);
  if (slot.lock == lock && slot.side == side) {
    const int32_t storedDepth = slot.depth + 1;
    if (storedDepth > depth || (storedDepth == depth && slot.score == score)) return;
  }
  slot.lock = lock;
  slot.key = key;
  slot.move = move;
  slot.score = score;
  slot.depth = static_cast<uint16_t>(depth - 1 > UINT16_MAX ? UINT16_MAX : depth - 1);
  slot.side = static_cast<uint8_t>(side);
  slot.reserved = 0;
  uint8_t bytes[kLearningRecordBytes];
  EncodeRecord(slot, bytes);
  const int64_t change = std::llabs(static_cast<int64_t>(previousScore) - score);
  AppendRecord(change < 100   ? kSmallChangeFile
               : change < 300 ? kMediumChangeFile
                              : kLargeChangeFile,
               bytes);
}

void StoreLearningMate(int32_t score, Move move, uint64_t lock, uint64_t key,
                       const uint32_t pieces[33], uint32_t side) {
  if (mateTable == nullptr || side > 1 || !IsValidLearntMove(move)) return;
  LearningMateEntry e = {};
  e.lockLow = static_cast<uint32_t>(lock);
  e.move = move;
  for (int i = 1; i <= 32; ++i) e.pieces[i - 1] = static_cast<uint8_t>(pieces[i]);
  e.score = score;
  e.side = static_cast<uint8_t>(side);
  MateSlot(key) = e;
  uint8_t bytes[kLearningMateRecordBytes];
  EncodeMate(e, bytes);
  AppendRecord(kMateFile, bytes);
}

void LearnPosition(int32_t score, int32_t previousScore, int32_t depth, Move move, uint64_t lock,
                   uint64_t key, const uint32_t pieces[33], uint32_t side) {
  if (score > 2500 && static_cast<int64_t>(score) - previousScore < 200) return;
  if (learningUnavailable) return;
  OpenLearningFiles();
  if (!filesOpen || !IsValidLearntMove(move)) return;
  uint64_t mirroredLock = 0;
  uint64_t mirroredKey = 0;
  ComputeMirroredPositionKeys(&mirroredLock, &mirroredKey, pieces);
  if (score >= -kLargestPlainScore && score <= kLargestPlainScore) {
    if (depth < 4) return;
    StoreLearningEntry(score, previousScore, depth, move, lock, key, side);
    StoreLearningEntry(score, previousScore, depth, MirrorMove(move), mirroredLock, mirroredKey,
                       side);
  } else if (depth >= 2) {
    StoreLearningMate(score, move, lock, key, pieces, side);
  }
}

const LearningRecord* ProbeLearning() {
  if (learningTable == nullptr || learningUnavailable) return nullptr;
  const LearningRecord& e = learningTable[positionLock % learningTableSize];
  if (e.move == 0 || e.lock != positionLock || e.key != positionKey || e.side != sideToMove)
    return nullptr;
  return &e;
}

const LearningMateEntry* ProbeLearningMate() {
  if (mateTable == nullptr || learningUnavailable) return nullptr;
  const LearningMateEntry& e = mateTable[positionKey % mateTableSize];
  if (e.move == 0 || e.lockLow != static_cast<uint32_t>(positionLock) || e.side != sideToMove)
    return nullptr;
  return MatchesCurrentPosition(e.pieces) ? &e : nullptr;
}

void SetLearningPaths(int32_t megabytes) {
  SetPaths();
  CloseLearningFiles();
  if (megabytes >= 0) {
    // Within what the process may use beside the hash table (the old
    // learning tables are released first); a size the memory cannot give
    // is then halved until it can.
    AllocateTables(0, 0);
    megabytes = MegabytesWithinMemory(megabytes, TableMemoryBudgetBeside(HashTablesBytes()));
    for (;; megabytes /= 2) {
      const uint64_t bytes = static_cast<uint64_t>(megabytes) << 20;
      if (AllocateTables(bytes / 4 / kLearningRecordBytes + 1,
                         3 * bytes / 4 / sizeof(LearningMateEntry) + 1))
        return;
      if (megabytes == 0) break;
    }
  }
  AllocateTablesOrDefault(kDefaultLearningTableSize, kDefaultMateTableSize);
}

uint64_t LearningTablesBytes() {
  if (learningTable == nullptr || mateTable == nullptr) return 0;
  return uint64_t{learningTableSize} * sizeof(LearningRecord) +
         uint64_t{mateTableSize} * sizeof(LearningMateEntry);
}

int GetLearningTableSize(int flag) {
  if (flag != 0) return 3;
  const uint64_t bytes = static_cast<uint64_t>(learningTableSize) * kLearningRecordBytes +
                         static_cast<uint64_t>(mateTableSize) * sizeof(LearningMateEntry);
  const uint64_t megabytes = bytes >> 20;
  if (megabytes < 1) return 1;
  return megabytes > INT32_MAX ? INT32_MAX : static_cast<int>(megabytes);
}

int ResetLearning() {
  CloseLearningFiles();
  SetPaths();
  int failed = 0;
  auto remove = [&failed](const char* path) {
    if (path[0] == '\0' || std::remove(path) == 0 || errno == ENOENT) return;
    char line[kPathBufferSize + 64];
    std::snprintf(line, sizeof line, "## ERROR : Cannot delete learning file %s\r\n", path);
    AppendLogLine(line);
    failed = 1;
  };
  for (const char* path : mainPaths) remove(path);
  for (const char* path : obsoletePaths) remove(path);
  const int opened = OpenLearningFiles();
  return failed != 0 || opened > 0 ? 1 : 0;
}
