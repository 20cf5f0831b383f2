// Opening books built byte by byte in a temporary install directory: loading
// and its limits, direct, mirrored and symmetric hits, every book mode, the
// excluded move, and the path joiner the books are found through.
#include "engine/search/books.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/data_paths.h"
#include "engine/search/program_random.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::LogCapture;
using testing_support::MoveFromText;
using testing_support::SetUpFen;

constexpr const char* kStart = testing_support::kStartFen;
// Red has played the central cannon from the right (h2e2).
constexpr const char* kCannonRight =
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b";
// The same position mirrored left to right (b2e2).
constexpr const char* kCannonLeft = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/4C2C1/9/RNBAKABNR b";

// Sets the position up only when it differs from the one set last, so that
// probes in a loop leave the random sequence and the engine state alone.
std::string lastFen;
uint32_t SetPosition(const char* fen) {
  static uint32_t side = 0;
  if (lastFen != fen) {
    side = SetUpFen(fen);
    lastFen = fen;
  }
  return side;
}

// The generator's formula written out again: the draws the probes must make.
struct Draws {
  uint32_t state;
  int32_t Next() {
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>(state >> 16 & 0x7FFF);
  }
};

struct Entry {
  uint8_t side;
  std::vector<uint8_t> pieces;  // 32 squares
  uint32_t count;               // as written; may differ from moves.size()
  std::vector<BookMove> moves;
};

void PutLe32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

// The piece list of a FEN position, as a book stores it.
std::vector<uint8_t> PiecesOf(const char* fen) {
  SetPosition(fen);
  uint8_t pieces[32];
  BookPieceList(pieces);
  return std::vector<uint8_t>(pieces, pieces + 32);
}

Entry MakeEntry(const char* fen, std::vector<BookMove> moves) {
  const uint32_t side = SetPosition(fen);
  Entry e{static_cast<uint8_t>(side), PiecesOf(fen), static_cast<uint32_t>(moves.size()), moves};
  return e;
}

BookMove Bm(const char* text, int32_t weight = 0, uint32_t extra1 = 0, uint32_t extra2 = 0) {
  return BookMove{MoveFromText(text), weight, extra1, extra2};
}

std::string BookBytes(const std::vector<Entry>& entries, const char* magic = "VKBOOK01") {
  std::string out(magic, 8);
  for (const Entry& e : entries) {
    out.push_back(static_cast<char>(e.side));
    out.append(reinterpret_cast<const char*>(e.pieces.data()), 32);
    PutLe32(out, e.count);
    for (const BookMove& m : e.moves) {
      PutLe32(out, m.move);
      PutLe32(out, static_cast<uint32_t>(m.weight));
      PutLe32(out, m.extra1);
      PutLe32(out, m.extra2);
    }
  }
  return out;
}

// installDirectory as the program starts, read before any test runs (the
// tests point it at their own folders, in whatever order they run).
std::string startupInstallDirectory;
class StartupInstallDirectory : public ::testing::Environment {
 public:
  void SetUp() override { startupInstallDirectory = installDirectory; }
};
[[maybe_unused]] ::testing::Environment* const startupEnvironment =
    ::testing::AddGlobalTestEnvironment(new StartupInstallDirectory);

TEST(InstallDirectoryTest, DefaultsToThePerUserDataFolder) {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  std::string expected;
  if (xdg != nullptr && xdg[0] == '/')
    expected = std::string(xdg) + "/Vorelk";
  else if (home != nullptr && home[0] != '\0')
    expected = std::string(home) + "/.local/share/Vorelk";
  EXPECT_EQ(startupInstallDirectory, expected);
}

class BooksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The books are read from the test's folder, even when the first
    // position of the process is set up inside the test.
    testing_support::InitTestProcess();
    dir_ = std::filesystem::temp_directory_path() /
           ("vorelk_books_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::strcpy(installDirectory, dir_.c_str());
    std::strcpy(bookFile1, "book1.vkb");
    std::strcpy(bookFile2, "book2.vkb");
    bookMode1 = kBookNormal;
    bookMode2 = kBookNormal;
    FreeBooks();
  }
  void TearDown() override {
    FreeBooks();
    std::filesystem::remove_all(dir_);
  }

  void Write(const char* name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  // Writes the entries as book 0 and loads both books.
  void LoadBook0(const std::vector<Entry>& entries) {
    Write(bookFile1, BookBytes(entries));
    LoadBooks();
  }
  // Probes book 0 in the given position; the found move's text or "".
  std::string Probe(const char* fen, Move excluded = 0, int book = 0) {
    const uint32_t side = SetPosition(fen);
    BookMove out{};
    if (!ProbeBook(book, &out, excluded, side)) return "";
    return testing_support::MoveText(out.move);
  }

  std::filesystem::path dir_;
};

TEST_F(BooksTest, LoadsBothBooksAndLogsTheirSize) {
  Write("book1.vkb", BookBytes({MakeEntry(kStart, {Bm("h2e2")}), MakeEntry(kCannonRight, {})}));
  LogCapture log;
  LoadBooks();
  EXPECT_EQ(bookEntryCount[0], 2);
  EXPECT_EQ(bookEntryCount[1], 0);
  const std::vector<std::string> expected = {
      "Loading book 0 => book1.vkb", "nb Book moves = 2\r\n", "Loading book 1 => book2.vkb",
      "\r\n*******WARNING : book2.vkb No book found or book empty !\r\n"};
  EXPECT_EQ(log.lines(), expected);
}

TEST_F(BooksTest, EmptyNamesGetTheDefaultBookNames) {
  bookFile1[0] = '\0';
  bookFile2[0] = '\0';
  Write("VKBook", BookBytes({MakeEntry(kStart, {Bm("h2e2")})}));
  LoadBooks();
  EXPECT_STREQ(bookFile1, "USERVKBOOK");
  EXPECT_STREQ(bookFile2, "VKBook");
  EXPECT_EQ(bookEntryCount[1], 1);
}

TEST_F(BooksTest, UnterminatedBookNameIsCutToItsBuffer) {
  std::memset(bookFile1, 'a', sizeof bookFile1);
  LoadBooks();
  EXPECT_EQ(std::strlen(bookFile1), sizeof bookFile1 - 1);
  EXPECT_EQ(bookEntryCount[0], 0);
}

TEST_F(BooksTest, WrongMagicLeavesTheBookEmpty) {
  Write("book1.vkb", BookBytes({MakeEntry(kStart, {Bm("h2e2")})}, "VKBOOK02"));
  LogCapture log;
  LoadBookFile(0);
  EXPECT_EQ(bookEntryCount[0], 0);
  ASSERT_EQ(log.lines().size(), 2u);
  EXPECT_EQ(log.lines()[0], "Unknown book version : ");
  EXPECT_EQ(log.lines()[1], "VKBOOK02");
  Write("book1.vkb", "VKB");
  EXPECT_EQ(LoadBookFile(0), 0);
}

TEST_F(BooksTest, TruncatedLastEntryIsDropped) {
  std::string bytes =
      BookBytes({MakeEntry(kStart, {Bm("h2e2")}), MakeEntry(kCannonRight, {Bm("h7e7")})});
  // Cut inside the second entry's move record, then inside its piece list.
  for (size_t cut : {bytes.size() - 5, size_t{8 + 37 + 16 + 10}}) {
    Write("book1.vkb", bytes.substr(0, cut));
    EXPECT_EQ(LoadBookFile(0), 1) << "cut at " << cut;
    FreeBooks();
  }
}

TEST_F(BooksTest, HugeMoveCountEndsTheLoadAtOnce) {
  Entry huge = MakeEntry(kCannonRight, {Bm("h7e7")});
  huge.count = 0xFFFFFFFFu;
  Write("book1.vkb", BookBytes({MakeEntry(kStart, {Bm("h2e2")}), huge}));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(LoadBookFile(0), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));  // no stall
}

TEST_F(BooksTest, EntriesWithImpossibleSquaresOrSideAreSkipped) {
  Entry offBoard = MakeEntry(kCannonRight, {Bm("h7e7")});
  offBoard.pieces[5] = 200;  // beyond the board
  Entry frame = MakeEntry(kCannonRight, {Bm("h7e7")});
  frame.pieces[5] = 16;  // a frame square
  Entry twice = MakeEntry(kCannonRight, {Bm("h7e7")});
  twice.pieces[6] = twice.pieces[5];
  Entry badSide = MakeEntry(kCannonRight, {Bm("h7e7")});
  badSide.side = 2;
  LoadBook0({offBoard, frame, twice, badSide, MakeEntry(kCannonLeft, {Bm("b9c7")})});
  EXPECT_EQ(bookEntryCount[0], 1);
  EXPECT_EQ(Probe(kCannonLeft), "b9c7");
}

TEST_F(BooksTest, IndexStopsAtItsCapacity) {
  const Entry e = MakeEntry(kStart, {});
  std::vector<Entry> entries(kMaxBookEntries + 1, e);
  Write("book1.vkb", BookBytes(entries));
  LogCapture log;
  EXPECT_EQ(LoadBookFile(0), kMaxBookEntries);
  ASSERT_FALSE(log.lines().empty());
  EXPECT_EQ(log.lines().back(), "book1.vkb =>Book tool large !");
}

// A book far longer than the index holds is read only as far as the index
// holds, unusable entries included: a file of endless unusable entries never
// holds up the start, and a usable entry beyond is not reached.
TEST_F(BooksTest, AHugeBookIsReadOnlyAsFarAsTheIndexHolds) {
  Entry unusable = MakeEntry(kStart, {});
  unusable.side = 2;
  std::vector<Entry> entries(kMaxBookEntries, unusable);
  entries.push_back(MakeEntry(kCannonLeft, {Bm("b9c7")}));
  Write("book1.vkb", BookBytes(entries));
  LogCapture log;
  EXPECT_EQ(LoadBookFile(0), 0);
  ASSERT_FALSE(log.lines().empty());
  EXPECT_EQ(log.lines().back(), "book1.vkb =>Book tool large !");
}

TEST_F(BooksTest, KeysAndMirroredListsAgreeWithThePosition) {
  SetPosition(kCannonRight);
  uint8_t pieces[32];
  uint64_t key = 0;
  BookPieceList(pieces);
  BookKey(pieces, &key);
  EXPECT_EQ(key, positionLock);
  MirrorPieceList(pieces);
  for (int i = 1; i <= 32; ++i)
    EXPECT_EQ(pieces[i - 1], posPiece[i] == 0 ? 0u : mirrorSquare[posPiece[i]]) << i;
  uint64_t mirroredLock = 0;
  uint64_t mirroredKey = 0;
  ComputeMirroredPositionKeys(&mirroredLock, &mirroredKey, posPiece);
  BookKey(pieces, &key);
  EXPECT_EQ(key, mirroredLock);
}

TEST_F(BooksTest, DirectHitHandsOutTheWholeRecord) {
  LoadBook0({MakeEntry(kCannonRight, {Bm("h9g7", 7, 11, 12)})});
  const uint32_t side = SetPosition(kCannonRight);
  BookMove out{};
  ASSERT_EQ(ProbeBook(0, &out, 0, side), 1);
  EXPECT_EQ(out.move, MoveFromText("h9g7"));
  EXPECT_EQ(out.weight, 7);
  EXPECT_EQ(out.extra1, 11u);
  EXPECT_EQ(out.extra2, 12u);
  // The other side to move, another position, book 1 (empty) and mode 0 miss.
  EXPECT_EQ(ProbeBook(0, &out, 0, 1 - side), 0);
  EXPECT_EQ(Probe(kStart), "");
  EXPECT_EQ(Probe(kCannonRight, 0, 1), "");
  bookMode1 = kBookOff;
  EXPECT_EQ(Probe(kCannonRight), "");
}

TEST_F(BooksTest, PositionStoredOnlyMirroredGivesTheMirroredMove) {
  // Stored as the left-hand cannon position with the knight reply b9c7.
  LoadBook0({MakeEntry(kCannonLeft, {Bm("b9c7")})});
  EXPECT_EQ(Probe(kCannonRight), "h9g7");
  EXPECT_EQ(Probe(kCannonLeft), "b9c7");
  // The excluded move is compared in the stored form.
  EXPECT_EQ(Probe(kCannonRight, MoveFromText("h9g7")), "");
  EXPECT_EQ(Probe(kCannonRight, MoveFromText("b9c7")), "h9g7");
}

TEST_F(BooksTest, SymmetricPositionFlipsACoinBetweenBothForms) {
  LoadBook0({MakeEntry(kStart, {Bm("h2e2")})});
  int seen[2] = {0, 0};
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    Draws draws{seed};
    const bool mirrored = draws.Next() % 2 != 0;
    SetProgramRandomState(seed);
    EXPECT_EQ(Probe(kStart), mirrored ? "b2e2" : "h2e2") << seed;
    // Normal mode with one move draws once more for the move.
    draws.Next();
    EXPECT_EQ(ProgramRandomState(), draws.state) << seed;
    ++seen[mirrored];
  }
  EXPECT_GT(seen[0], 0);
  EXPECT_GT(seen[1], 0);
}

TEST_F(BooksTest, ExcludedMoveIsNeverChosen) {
  LoadBook0({MakeEntry(kCannonRight, {Bm("h9g7")}), MakeEntry(kCannonLeft, {})});
  EXPECT_EQ(Probe(kCannonRight, MoveFromText("h9g7")), "");
  FreeBooks();
  LoadBook0({MakeEntry(kCannonRight, {Bm("h9g7"), Bm("b9c7"), Bm("h7e7")})});
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    SetProgramRandomState(seed);
    const std::string move = Probe(kCannonRight, MoveFromText("b9c7"));
    EXPECT_TRUE(move == "h9g7" || move == "h7e7") << move;
  }
  // A move listed more than once is excluded wherever it stands.
  FreeBooks();
  LoadBook0({MakeEntry(kCannonRight, {Bm("b9c7"), Bm("h9g7"), Bm("b9c7"), Bm("b9c7")})});
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    SetProgramRandomState(seed);
    EXPECT_EQ(Probe(kCannonRight, MoveFromText("b9c7")), "h9g7");
  }
}

TEST_F(BooksTest, NormalModeDrawsUniformlyAmongTheFirstTwentyValidMoves) {
  std::vector<BookMove> moves;
  moves.push_back(BookMove{MakeMoveCode(MakeSquare(7, 0), 0), 0, 0, 0});  // to-square 0
  moves.push_back(BookMove{MakeMoveCode(MakeSquare(7, 0), MakeSquare(7, 0)), 0, 0, 0});
  const char* texts[] = {"a9a8", "a9a7", "b9a7", "b9c7", "c9a7", "c9e7", "d9e8", "e9e8",
                         "f9e8", "g9e7", "g9i7", "h9g7", "h9i7", "i9i8", "i9i7", "b7b6",
                         "b7b5", "b7b4", "b7b3", "b7b1", "h7h6", "h7h5"};
  for (const char* t : texts) moves.push_back(Bm(t));
  // Black's answers make no sense here; the probe only checks squares.
  LoadBook0({MakeEntry(kCannonRight, moves)});
  for (uint32_t seed = 1; seed <= 50; ++seed) {
    Draws draws{seed};
    const int expected = draws.Next() % 18;  // 20 read, 2 of them invalid
    SetProgramRandomState(seed);
    EXPECT_EQ(Probe(kCannonRight), texts[expected]) << seed;
    EXPECT_EQ(ProgramRandomState(), draws.state) << seed;
  }
}

// From the generator's start-up state a three-move book in normal mode plays
// the draws 41, 18467, 6334, 26500, 19169 modulo 3.
TEST_F(BooksTest, NormalModeSequenceFromStartUp) {
  LoadBook0({MakeEntry(kCannonRight, {Bm("h9g7"), Bm("b9c7"), Bm("h7e7")})});
  SetPosition(kCannonRight);
  SetProgramRandomState(1);
  std::vector<std::string> played;
  for (int i = 0; i < 5; ++i) played.push_back(Probe(kCannonRight));
  const std::vector<std::string> expected = {"h7e7", "h7e7", "b9c7", "b9c7", "h7e7"};
  EXPECT_EQ(played, expected);
}

TEST_F(BooksTest, TournamentModeFollowsItsThreeDraws) {
  bookMode1 = kBookTournament;
  const std::vector<BookMove> four = {Bm("h9g7"), Bm("b9c7"), Bm("h7e7"), Bm("b7e7")};
  for (size_t n = 1; n <= 4; ++n) {
    FreeBooks();
    LoadBook0({MakeEntry(kCannonRight, std::vector<BookMove>(four.begin(), four.begin() + n))});
    int seen[4] = {};
    for (uint32_t seed = 1; seed <= 200; ++seed) {
      Draws draws{seed};
      size_t expected = 0;
      if (n > 2) {
        // Exactly three draws whenever more than two moves are stored.
        expected = draws.Next() % 2 == 0 ? 1 : 0;
        if (draws.Next() % 6 == 0) expected = 2;
        if (draws.Next() % 24 == 0 && n >= 4) expected = 3;
      }
      SetProgramRandomState(seed);
      ASSERT_EQ(Probe(kCannonRight), testing_support::MoveText(four[expected].move))
          << "n " << n << " seed " << seed;
      EXPECT_EQ(ProgramRandomState(), draws.state) << "n " << n << " seed " << seed;
      ++seen[expected];
    }
    if (n == 4) {
      for (int choice = 0; choice < 4; ++choice) EXPECT_GT(seen[choice], 0) << choice;
    }
  }
}

TEST_F(BooksTest, BlitzModeDrawsAtEveryWeightNotBelowTheBest) {
  bookMode1 = kBookBlitz;
  LoadBook0({MakeEntry(kCannonRight, {Bm("h9g7", 5), Bm("b9c7", 9), Bm("h7e7", 9)})});
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    Draws draws{seed};
    const bool first = draws.Next() % 2 != 0;
    const bool second = draws.Next() % 2 != 0;
    const char* expected = second ? "h7e7" : first ? "b9c7" : "h9g7";
    SetProgramRandomState(seed);
    EXPECT_EQ(Probe(kCannonRight), expected) << seed;
    EXPECT_EQ(ProgramRandomState(), draws.state) << seed;
  }
  // A lower weight after the best draws nothing.
  FreeBooks();
  LoadBook0({MakeEntry(kCannonRight, {Bm("h9g7", 9), Bm("b9c7", 5)})});
  SetProgramRandomState(3);
  EXPECT_EQ(Probe(kCannonRight), "h9g7");
  EXPECT_EQ(ProgramRandomState(), 3u);
  FreeBooks();
  LoadBook0({MakeEntry(kCannonRight, {Bm("b9c7", -4)})});
  EXPECT_EQ(Probe(kCannonRight), "b9c7");
}

TEST_F(BooksTest, BookReplacedOnDiskGivesNoMove) {
  LoadBook0({MakeEntry(kCannonRight, {Bm("h9g7")})});
  Write("book1.vkb", BookBytes({MakeEntry(kStart, {Bm("h2e2")})}));
  EXPECT_EQ(Probe(kCannonRight), "");
  std::filesystem::remove(dir_ / "book1.vkb");
  EXPECT_EQ(Probe(kCannonRight), "");
}

TEST(JoinPathTest, JoinsWithOneSeparator) {
  char out[64];
  ASSERT_EQ(JoinPath("", "VKBook", out), 1);
  EXPECT_STREQ(out, "VKBook");
  ASSERT_EQ(JoinPath("/data", "VKBook", out), 1);
  EXPECT_STREQ(out, "/data/VKBook");
  ASSERT_EQ(JoinPath("/data/", "inner/V4QelPos1.bin", out), 1);
  EXPECT_STREQ(out, "/data/inner/V4QelPos1.bin");
}

TEST(JoinPathTest, NullArgumentsWriteNothingAndLongPathsAreRefused) {
  char out[16] = "unchanged";
  EXPECT_EQ(JoinPath(nullptr, "a", out), 0);
  EXPECT_EQ(JoinPath("a", nullptr, out), 0);
  EXPECT_STREQ(out, "unchanged");
  EXPECT_EQ(JoinPath("/a/b/c/d", "abcdefg", out), 0);  // 16 bytes with the NUL
  EXPECT_STREQ(out, "");
  EXPECT_EQ(JoinPath("/a/b/c/d", "abcdef", out), 1);
  EXPECT_STREQ(out, "/a/b/c/d/abcdef");
}

TEST(InstallDirectoryTest, CreatedOnDemandWithItsParents) {
  const auto base =
      std::filesystem::temp_directory_path() / ("vorelk_install_" + std::to_string(::getpid()));
  std::filesystem::remove_all(base);
  const std::string wanted = (base / "share" / "Vorelk").string();
  std::strcpy(installDirectory, wanted.c_str());
  EXPECT_EQ(EnsureInstallDirectory(), 1);
  EXPECT_TRUE(std::filesystem::is_directory(wanted));
  EXPECT_EQ(EnsureInstallDirectory(), 1);
  std::filesystem::remove_all(base);
  std::ofstream(base.string()) << "x";  // a file where a folder must go
  std::strcpy(installDirectory, wanted.c_str());
  EXPECT_EQ(EnsureInstallDirectory(), 0);
  std::filesystem::remove_all(base);
}

// A stored install directory: absolute as it is, relative below the
// per-user data folder (never below the folder the program started in, nor
// above the data folder).
TEST(InstallDirectoryTest, ARelativeSettingIsTakenBelowThePerUserDataFolder) {
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string savedValue = saved != nullptr ? saved : "";
  setenv("XDG_DATA_HOME", "/data/home", 1);
  const std::string tooLong(kPathBufferSize, 'x');
  struct Case {
    std::string stored;
    const char* expected;
    int used;
  };
  const Case cases[] = {
      {"/srv/vorelk", "/srv/vorelk", 1},
      {"games", "/data/home/Vorelk/games", 1},
      {"./a/b", "/data/home/Vorelk/./a/b", 1},
      {"a..b/..c", "/data/home/Vorelk/a..b/..c", 1},
      // A ".." component would lead out of the data folder.
      {"./a/../b", "/data/home/Vorelk", 0},
      {"../../escape", "/data/home/Vorelk", 0},
      {"games/..", "/data/home/Vorelk", 0},
      {"games//../x", "/data/home/Vorelk", 0},
      {"", "/data/home/Vorelk", 0},
      {"/" + tooLong, "/data/home/Vorelk", 0},
      {tooLong, "/data/home/Vorelk", 0},
  };
  for (const Case& c : cases) {
    char out[kPathBufferSize] = "unchanged";
    EXPECT_EQ(ResolveInstallDirectory(c.stored.c_str(), out, sizeof out), c.used) << c.stored;
    EXPECT_STREQ(out, c.expected) << c.stored;
  }
  // Without a per-user data folder a relative setting cannot be placed.
  unsetenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  const std::string savedHome = home != nullptr ? home : "";
  unsetenv("HOME");
  char out[kPathBufferSize] = "unchanged";
  EXPECT_EQ(ResolveInstallDirectory("games", out, sizeof out), 0);
  EXPECT_STREQ(out, "");
  if (home != nullptr) setenv("HOME", savedHome.c_str(), 1);
  if (saved != nullptr) setenv("XDG_DATA_HOME", savedValue.c_str(), 1);
}

TEST(RegisterEndgameFileTest, SignaturesOfBothSides) {
  EXPECT_EQ(RegisterEndgameFile("/tables/krkn.bin"), 16);
  // K R | K N: first side R = 1, second side N = 9.
  EXPECT_EQ(RegisterEndgameFile("/tables/KRKN.endgame"), 1458 * 9);
  EXPECT_EQ(RegisterEndgameFile("kcpkr.endgame"), 1458 * 1);
  // Three rooks do not fit the signature's digit.
  EXPECT_EQ(RegisterEndgameFile("KRRRKN.endgame"), -1);
}

}  // namespace
