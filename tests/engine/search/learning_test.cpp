// Learning files in a temporary install directory: what is learnt and where
// it goes, round trips through close and reopen, the mate table's piece
// comparison, damaged and foreign files, the "inner" copies and the reset.
#include "engine/search/learning.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>

#include "engine/position/position.h"
#include "engine/search/data_paths.h"
#include "tests/support/address_limit.h"
#include "tests/support/test_position.h"

namespace {

namespace fs = std::filesystem;
using testing_support::LogCapture;
using testing_support::MoveFromText;
using testing_support::SetUpFen;

// A middle-game position that is not its own mirror image.
constexpr const char* kFen = "r1bakab1r/9/1cn3nc1/p1p1p1p1p/9/2P6/P3P1P1P/1C2C1N2/9/RNBAKAB1R w";
constexpr int32_t kMateScore = 3199900;

std::string Le32(uint32_t v) {
  std::string out;
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
  return out;
}
std::string Le64(uint64_t v) {
  return Le32(static_cast<uint32_t>(v)) + Le32(static_cast<uint32_t>(v >> 32));
}

// A 28-byte position record.
std::string Record(uint64_t lock, uint64_t key, Move move, int32_t score, uint16_t depth,
                   uint8_t side) {
  std::string r = Le64(lock) + Le64(key) + Le32(move) + Le32(static_cast<uint32_t>(score));
  r.push_back(static_cast<char>(depth & 0xFF));
  r.push_back(static_cast<char>(depth >> 8));
  r.push_back(static_cast<char>(side));
  r.push_back('\0');
  return r;
}

// A 44-byte mate record of the current position.
std::string MateRecord(Move move, int32_t score, uint8_t side) {
  std::string r = Le32(move);
  for (int i = 1; i <= 32; ++i) r.push_back(static_cast<char>(posPiece[i]));
  r += Le32(static_cast<uint32_t>(score));
  r.push_back(static_cast<char>(side));
  r.append(3, '\0');
  return r;
}

class LearningTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::InitTestProcess();
    dir_ = fs::temp_directory_path() /
           ("vorelk_learning_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    std::strcpy(installDirectory, dir_.c_str());
    useLearning = 1;
    learnMoves = 1;
    SetLearningPaths(-1);    // default tables, files closed
    side_ = SetUpFen(kFen);  // the full reset opens the files here
    move_ = MoveFromText("b0c2");
  }
  void TearDown() override {
    CloseLearningFiles();
    fs::remove_all(dir_);
  }

  fs::path Path(const char* name) const { return dir_ / name; }
  uintmax_t Size(const char* name) const { return fs::file_size(Path(name)); }
  std::string Contents(const char* name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Write(const char* name, const std::string& bytes) {
    fs::create_directories(Path(name).parent_path());
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  void Reopen() {
    CloseLearningFiles();
    ASSERT_EQ(OpenLearningFiles(), 0);
  }
  void Learn(int32_t score, int32_t previous, int32_t depth) {
    LearnPosition(score, previous, depth, move_, positionLock, positionKey, posPiece, side_);
  }

  fs::path dir_;
  uint32_t side_ = 0;
  Move move_ = 0;
};

TEST_F(LearningTest, OpeningCreatesFilesHoldingTheVersionWord) {
  for (const char* name : {"V4QelPos1.bin", "V4QelPos2.bin", "V4QelPos3.bin", "V4QelPos.egm"})
    EXPECT_EQ(Contents(name), Le32(3)) << name;
  EXPECT_EQ(OpenLearningFiles(), -1);  // open already
  EXPECT_EQ(ProbeLearning(), nullptr);
  EXPECT_EQ(ProbeLearningMate(), nullptr);
}

TEST_F(LearningTest, HighScoresAreLearntOnlyWhenTheyRoseEnough) {
  Learn(2600, 2450, 6);
  EXPECT_EQ(ProbeLearning(), nullptr);
  EXPECT_EQ(Size("V4QelPos2.bin"), 4u);
  Learn(2700, 2450, 6);
  const LearningRecord* r = ProbeLearning();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->move, move_);
  EXPECT_EQ(r->score, 2700);
  EXPECT_EQ(r->depth, 5);
  // The position and its mirror image, both by a change of 250.
  EXPECT_EQ(Size("V4QelPos2.bin"), 4u + 2 * 28);
}

TEST_F(LearningTest, DepthLimitsOfPlainAndMateResults) {
  Learn(120, 100, 3);
  EXPECT_EQ(ProbeLearning(), nullptr);
  Learn(-kMateScore, 100, 1);
  EXPECT_EQ(ProbeLearningMate(), nullptr);
  Learn(-kMateScore, 100, 2);
  const LearningMateEntry* m = ProbeLearningMate();
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->move, move_);
  EXPECT_EQ(m->score, -kMateScore);
  EXPECT_EQ(ProbeLearning(), nullptr);  // mates stay out of the position table
  EXPECT_EQ(Size("V4QelPos.egm"), 4u + 44);
}

TEST_F(LearningTest, RelearningAtTheSameDepthAppendsOnlyAChangedScore) {
  StoreLearningEntry(50, 40, 6, move_, positionLock, positionKey, side_);
  StoreLearningEntry(50, 40, 6, move_, positionLock, positionKey, side_);
  EXPECT_EQ(Size("V4QelPos1.bin"), 4u + 28);
  StoreLearningEntry(60, 40, 6, move_, positionLock, positionKey, side_);
  EXPECT_EQ(Size("V4QelPos1.bin"), 4u + 2 * 28);
  // A shallower result never replaces a deeper one.
  StoreLearningEntry(70, 40, 5, move_, positionLock, positionKey, side_);
  EXPECT_EQ(Size("V4QelPos1.bin"), 4u + 2 * 28);
  ASSERT_NE(ProbeLearning(), nullptr);
  EXPECT_EQ(ProbeLearning()->score, 60);
}

TEST_F(LearningTest, FileIsChosenByTheSizeOfTheScoreChange) {
  const std::pair<int32_t, const char*> cases[] = {{99, "V4QelPos1.bin"},
                                                   {100, "V4QelPos2.bin"},
                                                   {299, "V4QelPos2.bin"},
                                                   {300, "V4QelPos3.bin"},
                                                   {-300, "V4QelPos3.bin"}};
  int32_t depth = 4;
  for (const auto& [change, name] : cases) {
    const uintmax_t before = Size(name);
    StoreLearningEntry(1000, 1000 + change, depth++, move_, positionLock, positionKey, side_);
    EXPECT_EQ(Size(name), before + 28) << change;
  }
  // The extreme scores cannot overflow the difference.
  StoreLearningEntry(INT32_MIN, INT32_MAX, 20, move_, positionLock, positionKey, side_);
  EXPECT_EQ(Size("V4QelPos3.bin"), 4u + 3 * 28);
}

TEST_F(LearningTest, LearntPositionsSurviveCloseAndReopen) {
  Learn(500, 100, 8);
  Learn(-kMateScore, 0, 3);
  const std::string file3 = Contents("V4QelPos3.bin");
  Reopen();
  EXPECT_EQ(Contents("V4QelPos3.bin"), file3);  // loading appends nothing
  ASSERT_NE(ProbeLearning(), nullptr);
  EXPECT_EQ(ProbeLearning()->score, 500);
  EXPECT_EQ(ProbeLearning()->depth, 7);
  ASSERT_NE(ProbeLearningMate(), nullptr);
  EXPECT_EQ(ProbeLearningMate()->score, -kMateScore);
  // The mirror image was learnt with the mirrored move.
  MirrorPositionLeftRight();
  ComputePositionKeys(&positionLock, &positionKey, posPiece);
  const LearningRecord* mirrored = ProbeLearning();
  ASSERT_NE(mirrored, nullptr);
  EXPECT_EQ(mirrored->move, MirrorMove(move_));
  // Another side to move finds nothing.
  sideToMove = 1 - sideToMove;
  EXPECT_EQ(ProbeLearning(), nullptr);
}

TEST_F(LearningTest, MateProbeComparesPiecesOfAKindAsSets) {
  Learn(kMateScore, 0, 4);
  ASSERT_NE(ProbeLearningMate(), nullptr);
  // The two red advisers exchange squares: the same position.
  std::swap(posPiece[2], posPiece[3]);
  board[posPiece[2]] = 2;
  board[posPiece[3]] = 3;
  EXPECT_NE(ProbeLearningMate(), nullptr);
  // A stored list with a pawn elsewhere (same keys forged) is another position.
  LearningMateEntry& slot = mateTable[positionKey % mateTableSize];
  const uint8_t pawn = slot.pieces[11];
  slot.pieces[11] = static_cast<uint8_t>(pawn - 1);
  EXPECT_EQ(ProbeLearningMate(), nullptr);
  slot.pieces[11] = pawn;
  // A stored list missing a piece that is on the board.
  const uint8_t cannon = slot.pieces[25];
  slot.pieces[25] = 0;
  EXPECT_EQ(ProbeLearningMate(), nullptr);
  slot.pieces[25] = cannon;
  EXPECT_NE(ProbeLearningMate(), nullptr);
  // A pawn fewer on the board than in the stored list.
  board[posPiece[28]] = 0;
  posPiece[28] = 0;
  EXPECT_EQ(ProbeLearningMate(), nullptr);
}

TEST_F(LearningTest, PartialTrailingRecordIsIgnoredAndAppendsStayAligned) {
  CloseLearningFiles();
  const std::string good = Record(positionLock, positionKey, move_, 321, 9, side_);
  Write("V4QelPos1.bin", Le32(3) + good + std::string(11, '\x7f'));
  ASSERT_EQ(OpenLearningFiles(), 0);
  ASSERT_NE(ProbeLearning(), nullptr);
  EXPECT_EQ(ProbeLearning()->score, 321);
  StoreLearningEntry(400, 390, 12, move_, positionLock, positionKey, side_);
  EXPECT_EQ(Size("V4QelPos1.bin"), 4u + 2 * 28);
  Reopen();
  ASSERT_NE(ProbeLearning(), nullptr);
  EXPECT_EQ(ProbeLearning()->score, 400);
}

TEST_F(LearningTest, RecordsWithInvalidSquaresOrSidesAreSkipped) {
  CloseLearningFiles();
  const Move offBoard = MakeMoveCode(MakeSquare(1, 9), 200);
  Write("V4QelPos1.bin", Le32(3) + Record(positionLock, positionKey, offBoard, 1, 9, side_));
  Write("V4QelPos2.bin", Le32(3) + Record(positionLock, positionKey, move_, 2, 9, 7));
  Write("V4QelPos.egm", Le32(3) + MateRecord(MakeMoveCode(16, 17), kMateScore, side_));
  ASSERT_EQ(OpenLearningFiles(), 0);
  EXPECT_EQ(ProbeLearning(), nullptr);
  EXPECT_EQ(ProbeLearningMate(), nullptr);
  // A valid record after them is still read.
  CloseLearningFiles();
  Write("V4QelPos3.bin", Le32(3) + Record(positionLock, positionKey, move_, 3, 9, side_));
  ASSERT_EQ(OpenLearningFiles(), 0);
  ASSERT_NE(ProbeLearning(), nullptr);
  EXPECT_EQ(ProbeLearning()->score, 3);
}

TEST_F(LearningTest, WrongVersionStopsLoadingAndReceivesNothing) {
  CloseLearningFiles();
  const std::string old = Le32(2) + Record(positionLock, positionKey, move_, 5, 9, side_);
  Write("V4QelPos1.bin", old);
  Write("V4QelPos2.bin", Le32(3) + Record(positionLock, positionKey, move_, 6, 9, side_));
  LogCapture log;
  ASSERT_EQ(OpenLearningFiles(), 0);
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_EQ(log.lines()[0],
            "### ERROR : Incorrect learning file version. Should reset learning...");
  EXPECT_EQ(ProbeLearning(), nullptr);  // not even from the second file
  StoreLearningEntry(50, 40, 6, move_, positionLock, positionKey, side_);
  EXPECT_EQ(Contents("V4QelPos1.bin"), old);
  EXPECT_EQ(log.lines().back(), "## ERROR : Incompatible learning file version...");
}

TEST_F(LearningTest, InnerCopiesAreMergedIntoEmptySlotsOnce) {
  CloseLearningFiles();
  const std::string copy = Le32(3) + Record(positionLock, positionKey, move_, 77, 9, side_);
  Write("inner/V4QelPos2.bin", copy);
  Write("inner/V4QelPos.egm", Le32(3) + MateRecord(move_, kMateScore, side_));
  ASSERT_EQ(OpenLearningFiles(), 0);
  ASSERT_NE(ProbeLearning(), nullptr);
  EXPECT_EQ(ProbeLearning()->score, 77);
  ASSERT_NE(ProbeLearningMate(), nullptr);
  EXPECT_EQ(Size("V4QelPos2.bin"), 4u + 28);
  EXPECT_EQ(Size("V4QelPos.egm"), 4u + 44);
  // The main files now hold them: a reopen merges nothing twice.
  Reopen();
  EXPECT_EQ(Size("V4QelPos2.bin"), 4u + 28);
  EXPECT_EQ(Size("V4QelPos.egm"), 4u + 44);
  EXPECT_EQ(Contents("inner/V4QelPos2.bin"), copy);
  // A learnt entry in the slot wins over the copy.
  CloseLearningFiles();
  Write("V4QelPos2.bin", Le32(3) + Record(positionLock, positionKey, move_, 88, 9, side_));
  ASSERT_EQ(OpenLearningFiles(), 0);
  EXPECT_EQ(ProbeLearning()->score, 88);
  EXPECT_EQ(Size("V4QelPos2.bin"), 4u + 28);
}

TEST_F(LearningTest, UncreatableFilesTurnLearningOffForThisRunOnly) {
  CloseLearningFiles();
  Write("blocker", "x");
  const std::string blocked = (dir_ / "blocker" / "sub").string();
  std::strcpy(installDirectory, blocked.c_str());
  EXPECT_EQ(OpenLearningFiles(), 1);
  EXPECT_EQ(useLearning, 1);  // the user's options are kept
  EXPECT_EQ(learnMoves, 1);
  Learn(500, 100, 8);
  EXPECT_EQ(ProbeLearning(), nullptr);
  // A later open in a usable folder brings learning back.
  std::strcpy(installDirectory, dir_.c_str());
  ASSERT_EQ(OpenLearningFiles(), 0);
  Learn(500, 100, 8);
  EXPECT_NE(ProbeLearning(), nullptr);
}

TEST_F(LearningTest, ResetLeavesOnlyEmptyFilesAndTheInnerCopies) {
  Learn(500, 100, 8);
  Learn(kMateScore, 0, 4);
  Write("V4QelPos.lrn", "old");
  Write("V4QelPos4.lrn", "old");
  Write("inner/V4QelPos1.bin", Le32(3));
  ASSERT_EQ(ResetLearning(), 0);
  for (const char* name : {"V4QelPos1.bin", "V4QelPos2.bin", "V4QelPos3.bin", "V4QelPos.egm"})
    EXPECT_EQ(Contents(name), Le32(3)) << name;
  EXPECT_FALSE(fs::exists(Path("V4QelPos.lrn")));
  EXPECT_FALSE(fs::exists(Path("V4QelPos4.lrn")));
  EXPECT_TRUE(fs::exists(Path("inner/V4QelPos1.bin")));
  EXPECT_EQ(ProbeLearning(), nullptr);
  EXPECT_EQ(ProbeLearningMate(), nullptr);
}

TEST_F(LearningTest, ResetReportsAFileItCannotDelete) {
  // A non-empty folder under a learning file's name cannot be removed.
  fs::create_directories(Path("V4QelPos3.lrn") / "keep");
  LogCapture log;
  EXPECT_EQ(ResetLearning(), 1);
  ASSERT_FALSE(log.lines().empty());
  EXPECT_NE(log.lines()[0].find("V4QelPos3.lrn"), std::string::npos);
}

TEST_F(LearningTest, AppendsStopAtTheRecordLimit) {
  CloseLearningFiles();
  Write("V4QelPos1.bin", Le32(3));
  fs::resize_file(Path("V4QelPos1.bin"), 4 + uintmax_t{kMaxLearningRecords} * 28);  // sparse
  ASSERT_EQ(OpenLearningFiles(), 0);
  StoreLearningEntry(50, 40, 6, move_, positionLock, positionKey, side_);
  EXPECT_EQ(Size("V4QelPos1.bin"), 4 + uintmax_t{kMaxLearningRecords} * 28);
  EXPECT_NE(ProbeLearning(), nullptr);  // the table still learns
}

// Runs body in a child process (a second copy of the program with learning
// files of its own) and returns its exit code.
template <typename Body>
int InChild(Body body) {
  const pid_t child = fork();
  if (child == 0) {
    CloseLearningFiles();
    std::_Exit(OpenLearningFiles() == 0 ? body() : 90);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Two copies of the program learning at once: each record goes to the real
// end of the file, so no copy overwrites what the other appended since it
// loaded the file.
TEST_F(LearningTest, TwoCopiesOfTheProgramKeepEachOtherRecords) {
  // This copy has loaded the empty files; the other one appends first.
  ASSERT_EQ(InChild([this] {
              StoreLearningEntry(111, 100, 6, move_, 0x1111, 0x2222, side_);
              return 0;
            }),
            0);
  StoreLearningEntry(222, 200, 6, move_, 0x3333, 0x4444, side_);
  EXPECT_EQ(Contents("V4QelPos1.bin"),
            Le32(3) + Record(0x1111, 0x2222, move_, 111, 5, side_) +
                Record(0x3333, 0x4444, move_, 222, 5, side_));

  // Two copies appending side by side: every record of both is there, whole.
  CloseLearningFiles();
  Write("V4QelPos1.bin", Le32(3));
  constexpr int kEach = 300;
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const auto appendMany = [&](uint64_t first) {
    return [&, first] {
      char go = 0;
      if (read(ready[0], &go, 1) != 1) return 91;
      for (uint64_t lock = first; lock < first + kEach; ++lock)
        StoreLearningEntry(5, 0, 6, move_, lock, lock, side_);
      return 0;
    };
  };
  pid_t children[2];
  for (int i = 0; i < 2; ++i) {
    children[i] = fork();
    if (children[i] == 0) std::_Exit(InChild(appendMany(i == 0 ? 1 : 100001)));
  }
  ASSERT_EQ(write(ready[1], "gg", 2), 2);
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  close(ready[0]);
  close(ready[1]);
  const std::string bytes = Contents("V4QelPos1.bin");
  ASSERT_EQ(bytes.size(), 4u + 2 * kEach * 28);
  std::set<uint64_t> locks;
  for (size_t at = 4; at < bytes.size(); at += 28) {
    uint64_t lock = 0;
    std::memcpy(&lock, bytes.data() + at, 8);
    locks.insert(lock);
  }
  EXPECT_EQ(locks.size(), 2u * kEach);
  EXPECT_EQ(*locks.begin(), 1u);
  EXPECT_EQ(*locks.rbegin(), 100000u + kEach);
}

// Files far longer than their tables (3 GiB each, sparse) are read only as
// far as the tables hold: their last records, the newest, are loaded.
TEST_F(LearningTest, FilesLongerThanTheirTablesAreReadOnlyAsFarAsTheTablesHold) {
  CloseLearningFiles();
  const uintmax_t length = uintmax_t{3} << 30;
  const struct {
    const char* name;
    std::string newest;
  } files[] = {{"V4QelPos1.bin", Record(positionLock, positionKey, move_, 777, 9, side_)},
               {"V4QelPos.egm", MateRecord(move_, kMateScore, side_)}};
  for (const auto& f : files) {
    Write(f.name, Le32(3));
    fs::resize_file(Path(f.name), 4 + length / f.newest.size() * f.newest.size());
    std::ofstream(Path(f.name), std::ios::binary | std::ios::app) << f.newest;
  }
  ASSERT_EQ(OpenLearningFiles(), 0);
  ASSERT_NE(ProbeLearning(), nullptr);
  EXPECT_EQ(ProbeLearning()->score, 777);
  ASSERT_NE(ProbeLearningMate(), nullptr);
  EXPECT_EQ(ProbeLearningMate()->score, kMateScore);
  EXPECT_EQ(LoadLearningFiles(), uint64_t{learningTableSize} + mateTableSize);
  // A file within its table is read whole.
  CloseLearningFiles();
  Write("V4QelPos1.bin", Le32(3) + files[0].newest + files[0].newest);
  Write("V4QelPos.egm", Le32(3));
  ASSERT_EQ(OpenLearningFiles(), 0);
  EXPECT_EQ(LoadLearningFiles(), 2u);
}

TEST_F(LearningTest, TableSizesFollowTheMegabytes) {
  EXPECT_EQ(GetLearningTableSize(0), 3);
  EXPECT_EQ(GetLearningTableSize(1), 3);
  SetLearningPaths(8);
  EXPECT_EQ(learningTableSize, (8u << 20) / 4 / 28 + 1);
  EXPECT_EQ(mateTableSize, 3 * (8u << 20) / 4 / 48 + 1);
  EXPECT_EQ(GetLearningTableSize(0), 8);
  // Learning works at the new size after the files are reopened.
  ASSERT_EQ(OpenLearningFiles(), 0);
  Learn(500, 100, 8);
  EXPECT_NE(ProbeLearning(), nullptr);
  SetLearningPaths(0);
  EXPECT_EQ(GetLearningTableSize(0), 1);
}

// Resident memory of the process in bytes.
uint64_t ResidentBytes() {
  long pages = 0;
  long resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<uint64_t>(resident) * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}

// Large tables hold memory only for what is learnt: opening the files with
// 1,024 MB of tables and a few records does not touch the rest.
TEST_F(LearningTest, LargeTablesTakeMemoryOnlyAsTheyAreFilled) {
  Learn(500, 100, 8);
  CloseLearningFiles();
  SetLearningPaths(1024);
  EXPECT_EQ(GetLearningTableSize(0), 1024);
  const uint64_t before = ResidentBytes();
  ASSERT_EQ(OpenLearningFiles(), 0);
  EXPECT_NE(ProbeLearning(), nullptr);
  EXPECT_LT(ResidentBytes() - before, uint64_t{64} << 20);
  SetLearningPaths(-1);
}

// With the address space limited to 384 MB more than the process holds (8
// GiB of it mapped unusable, so that the budget, half the limit, allows
// 2,048 MB), 2,048 MB of tables are halved until they fit: 256 MB, the size
// then written back to the setting.
void AllocateLearningUnderAddressLimit() {
  if (!testing_support::ReserveAddressSpace(uint64_t{8} << 30) ||
      !testing_support::LimitAddressSpace(uint64_t{384} << 20)) std::_Exit(2);
  SetLearningPaths(2048);
  std::_Exit(GetLearningTableSize(0) == 256 && learningTable != nullptr && mateTable != nullptr
                 ? 0
                 : 3);
}

TEST_F(LearningTest, ASizeTheMemoryCannotGiveIsHalvedUntilItFits) {
  if (!testing_support::kAddressLimitUsable) GTEST_SKIP() << "no address limit under ASan";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(AllocateLearningUnderAddressLimit(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
