// Saving over an existing game file, for every writer: a save that fails part
// way (a file-size limit) leaves the previous file byte for byte and nothing
// else in the folder; a save that succeeds replaces the file, keeps its mode
// and leaves nothing behind either.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "game/atomic_file.h"
#include "game/binary_files.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/keyword_files.h"
#include "game/text_readers.h"
#include "tests/support/test_position.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<char>;

Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> Listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& e : fs::directory_iterator(folder))
    names.insert(e.path().filename().string());
  return names;
}

// The longest game a record holds: one knight pair shuffling (the pair
// chosen by variant), with engine data, comments, marks and a header, shown
// at a middle ply.
void SetBigGame(int variant) {
  testing_support::InitEngine();
  static const char* const kCycles[2][4] = {{"h0g2", "h9g7", "g2h0", "g7h9"},
                                            {"b0c2", "b9c7", "c2b0", "c7b9"}};
  LoadedGame game;
  for (int i = 0; i < kMaxGameMoves; ++i) {
    const Move move = testing_support::MoveFromText(kCycles[variant][i % 4]);
    game.moves.push_back({move, i * 7 - 300, i % 20, static_cast<uint8_t>(i % 2)});
  }
  SetLoadedComment(game, 0, "the whole game");
  for (int ply = 1; ply < kCommentSlots; ply += 9)
    SetLoadedComment(game, ply, ("comment on ply " + std::to_string(ply)).c_str());
  for (int ply = 2; ply < kCommentSlots; ply += 11) SetLoadedMark(game, ply, kMarkGood);
  SetHeaderText(game.header.event, variant == 0 ? "first event" : "second event");
  SetHeaderText(game.header.redName, "red player");
  SetHeaderText(game.header.redElo, "2400");
  game.shownPly = 500;
  ASSERT_EQ(CommitLoadedGame(game, currentGameHeader, 0), 1);
  ASSERT_EQ(gameLength, kMaxGameMoves);
}

struct Writer {
  const char* name;
  const char* file;
  int failure;  // what the writer returns when writing fails
  int (*save)(const char* path);
};
void PrintTo(const Writer& writer, std::ostream* os) { *os << writer.name; }

const Writer kWriters[] = {
    {"egf", "game.egf", kBinarySaveWriteError,
     [](const char* p) { return SaveBinaryGame(p, kBinaryVersionEgf, currentGameHeader); }},
    {"vgf", "game.vgf", kBinarySaveWriteError,
     [](const char* p) { return SaveBinaryGame(p, kBinaryVersionVgf, currentGameHeader); }},
    {"vbf", "game.vbf", kBinarySaveWriteError, [](const char* p) { return SaveVbfGame(p); }},
    {"wxf", "game.wxf", 1, [](const char* p) { return SaveWxfGame(p, 0, currentGameHeader); }},
    {"axf", "game.axf", 1, [](const char* p) { return SaveWxfGame(p, 1, currentGameHeader); }},
    {"coordinates", "game.txt", 1, [](const char* p) { return SaveCoordinateText(p); }},
};

class AtomicSave : public testing::TestWithParam<Writer> {
 protected:
  void SetUp() override {
    folder_ = fs::path(testing::TempDir()) /
              ("vorelk-atomic-" + std::to_string(getpid()) + "-" + std::to_string(counter_++));
    fs::create_directories(folder_ / "other");
    target_ = folder_ / GetParam().file;
  }
  void TearDown() override { fs::remove_all(folder_); }

  int Save(const fs::path& path) const { return GetParam().save(path.c_str()); }

  // Saves to path in a child process whose files may grow to limit bytes;
  // returns the writer's result (or 100 + signal when the child died).
  int SaveUnderLimit(const fs::path& path, rlim_t limit) const {
    const pid_t child = fork();
    if (child == 0) {
      // A write past the limit then fails with EFBIG instead of ending the
      // process.
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit r{limit, limit};
      if (setrlimit(RLIMIT_FSIZE, &r) != 0) _exit(99);
      _exit(Save(path));
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
  }

  fs::path folder_, target_;
  static inline int counter_ = 0;
};

TEST_P(AtomicSave, AShortWriteKeepsThePreviousFile) {
  SetBigGame(0);
  ASSERT_EQ(Save(target_), 0);
  const Bytes previous = ReadBytes(target_);
  ASSERT_GT(previous.size(), 4096u);  // more than one stdio buffer

  // Another game, at least as long, cut off half way.
  SetBigGame(1);
  EXPECT_EQ(SaveUnderLimit(target_, previous.size() / 2), GetParam().failure);
  EXPECT_EQ(ReadBytes(target_), previous);
  EXPECT_EQ(Listing(folder_), (std::set<std::string>{"other", GetParam().file}));

  // A file that does not exist yet is not left half written either.
  EXPECT_EQ(SaveUnderLimit(folder_ / "other" / GetParam().file, 1000), GetParam().failure);
  EXPECT_TRUE(Listing(folder_ / "other").empty());
}

TEST_P(AtomicSave, ASuccessfulSaveReplacesTheFileAndKeepsItsMode) {
  const mode_t previousMask = umask(022);
  SetBigGame(1);
  const fs::path reference = folder_ / "other" / GetParam().file;
  ASSERT_EQ(Save(reference), 0);
  SetBigGame(0);
  ASSERT_EQ(Save(target_), 0);
  const Bytes first = ReadBytes(target_);
  struct stat st = {};
  ASSERT_EQ(stat(target_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);  // a new file: 0666 less the mask
  umask(previousMask);

  // Over an existing file with its own mode: the other game's bytes, the
  // same as a save into a new file, and the mode stays.
  ASSERT_EQ(chmod(target_.c_str(), 0640), 0);
  SetBigGame(1);
  ASSERT_EQ(Save(target_), 0);
  EXPECT_EQ(ReadBytes(target_), ReadBytes(reference));
  ASSERT_EQ(stat(target_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Listing(folder_), (std::set<std::string>{"other", GetParam().file}));

  // Through a symbolic link: the file it leads to is replaced, the link stays.
  const fs::path link = folder_ / (std::string("link-") + GetParam().file);
  fs::create_symlink(reference, link);
  SetBigGame(0);
  ASSERT_EQ(Save(link), 0);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(reference), first);
  EXPECT_EQ(Listing(folder_ / "other"), (std::set<std::string>{GetParam().file}));
}

INSTANTIATE_TEST_SUITE_P(Writers, AtomicSave, testing::ValuesIn(kWriters),
                         [](const testing::TestParamInfo<Writer>& info) {
                           return std::string(info.param.name);
                         });

// A file kept before it is written over: each keep takes the next free
// name, and what was kept stays as it was when the file is replaced.
TEST(KeepFileCopy, EachCopyTakesTheNextFreeNameAndOutlivesTheNextSave) {
  const fs::path folder = fs::path(testing::TempDir()) /
                          ("vorelk-keep-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path file = folder / "CurrentGameV1.vgf";
  SetBigGame(0);
  ASSERT_EQ(SaveBinaryGame(file.c_str(), kBinaryVersionEgf, currentGameHeader), 0);
  const Bytes first = ReadBytes(file);
  EXPECT_EQ(KeepFileCopy(file.c_str()), file.string() + ".damaged");
  SetBigGame(1);
  ASSERT_EQ(SaveBinaryGame(file.c_str(), kBinaryVersionEgf, currentGameHeader), 0);
  const Bytes second = ReadBytes(file);
  ASSERT_NE(second, first);
  EXPECT_EQ(ReadBytes(file.string() + ".damaged"), first);

  // Through a symbolic link: the bytes of the file it leads to.
  const fs::path link = folder / "link.vgf";
  fs::create_symlink(file, link);
  EXPECT_EQ(KeepFileCopy(link.c_str()), link.string() + ".damaged");
  EXPECT_FALSE(fs::is_symlink(link.string() + ".damaged"));
  EXPECT_EQ(KeepFileCopy(file.c_str()), file.string() + ".damaged.2");
  SetBigGame(0);
  ASSERT_EQ(SaveBinaryGame(file.c_str(), kBinaryVersionEgf, currentGameHeader), 0);
  EXPECT_EQ(ReadBytes(file.string() + ".damaged"), first);
  EXPECT_EQ(ReadBytes(file.string() + ".damaged.2"), second);
  EXPECT_EQ(ReadBytes(link.string() + ".damaged"), second);

  EXPECT_EQ(KeepFileCopy((folder / "missing.vgf").c_str()), "");
  EXPECT_EQ(KeepFileCopy(""), "");
  fs::remove_all(folder);
}

}  // namespace

namespace {

// Two saves of one file at once (two copies of the program): the second
// does not take the first one's temporary file for a leftover, and both
// complete.
TEST(AtomicFile, ASaveInProgressKeepsItsTemporaryFile) {
  const fs::path folder = fs::path(testing::TempDir()) / ("vorelk-two-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path target = folder / "learn.dat";
  AtomicFile first, second;
  ASSERT_TRUE(first.Open(target.c_str()));
  ASSERT_TRUE(second.Open(target.c_str()));
  EXPECT_EQ(Listing(folder).size(), 2u);
  std::fputs("first", first.file());
  std::fputs("second", second.file());
  EXPECT_TRUE(first.Commit());
  EXPECT_TRUE(second.Commit());
  EXPECT_EQ(ReadBytes(target), (Bytes{'s', 'e', 'c', 'o', 'n', 'd'}));
  EXPECT_EQ(Listing(folder), (std::set<std::string>{"learn.dat"}));
  fs::remove_all(folder);
}

// Another save of the same file (another copy of the program) started at
// each moment of a save at which its temporary file could pass for a
// leftover: just created, and written and closed but not yet renamed. Both
// saves complete, the later rename gives the file, and nothing is left.
struct Gap {
  AtomicFile::Moment moment;
  fs::path target;
  bool started = false;
  bool saved = false;
};
Gap* gap = nullptr;

void SaveInTheGap(AtomicFile::Moment moment, const char*) {
  if (moment != gap->moment || gap->started) return;
  gap->started = true;
  AtomicFile second;
  gap->saved = second.Open(gap->target.c_str()) && std::fputs("second", second.file()) >= 0 &&
               second.Commit();
}

TEST(AtomicFile, ASaveStartedInAnotherSavesGapLeavesItsTemporaryFile) {
  const fs::path folder = fs::path(testing::TempDir()) / ("vorelk-gap-" + std::to_string(getpid()));
  for (const auto moment : {AtomicFile::Moment::kCreated, AtomicFile::Moment::kClosed}) {
    SCOPED_TRACE(moment == AtomicFile::Moment::kCreated ? "created" : "closed");
    fs::remove_all(folder);
    fs::create_directories(folder);
    Gap state{moment, folder / "CurrentGameV1.vgf"};
    gap = &state;
    AtomicFile::momentHook = SaveInTheGap;
    AtomicFile first;
    const bool opened = first.Open(state.target.c_str());
    if (opened) std::fputs("first", first.file());
    const bool committed = opened && first.Commit();
    AtomicFile::momentHook = nullptr;
    EXPECT_TRUE(opened && committed);
    EXPECT_TRUE(state.started && state.saved);
    EXPECT_EQ(ReadBytes(state.target), (Bytes{'f', 'i', 'r', 's', 't'}));
    EXPECT_EQ(Listing(folder), (std::set<std::string>{"CurrentGameV1.vgf"}));
  }
  fs::remove_all(folder);
}

}  // namespace
