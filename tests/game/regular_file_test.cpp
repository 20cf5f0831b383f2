// Every reader of a user file opens it only when it is a regular file: a
// named pipe, a device or a folder in place of a game, a book, a learning
// file or a database fails at once like a missing file. Each check runs in a
// child process with an alarm, so that an open that blocks fails the test
// instead of hanging it.
#include "game/regular_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/data_paths.h"
#include "engine/search/learning.h"
#include "game/atomic_file.h"
#include "game/database.h"
#include "game/game_loader.h"
#include "game/load_game.h"
#include "tests/support/test_position.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned kWatchdogSeconds = 20;

class RegularFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::path(::testing::TempDir()) / (std::string("regular_file_") + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A named pipe with no writer at dir/name.
  std::string Fifo(const std::string& name) {
    const std::string path = (dir_ / name).string();
    EXPECT_EQ(mkfifo(path.c_str(), 0600), 0) << std::strerror(errno);
    return path;
  }

  // Runs body in a child that the alarm ends should it block; the child
  // exits 0 when every check held.
  static void InChild(const std::function<void()>& body) {
    EXPECT_EXIT(
        {
          alarm(kWatchdogSeconds);
          body();
          std::exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
  }

  fs::path dir_;
};

TEST_F(RegularFileTest, OnlyRegularFilesOpen) {
  const std::string fifo = Fifo("pipe");
  const std::string folder = (dir_ / "folder").string();
  fs::create_directory(folder);
  const std::string file = (dir_ / "file").string();
  std::ofstream(file) << "old text";
  InChild([&] {
    struct Case {
      std::string path;
      const char* mode;
      int error;  // 0: opens
    };
    const std::vector<Case> cases = {
        {fifo, "rb", ENXIO},          {fifo, "rb+", ENXIO},
        {fifo, "wb+", ENXIO},         {"/dev/zero", "rb", ENXIO},
        {"/dev/null", "wb", ENXIO},   {folder, "rb", EISDIR},
        {file, "rb", 0},              {file, "rb+", 0},
        {dir_ / "missing", "rb", ENOENT}, {dir_ / "new", "wb+", 0},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.path + " " + c.mode);
      errno = 0;
      std::FILE* f = OpenRegularFile(c.path.c_str(), c.mode);
      EXPECT_EQ(f != nullptr, c.error == 0);
      if (f != nullptr) {
        std::fclose(f);
      } else {
        EXPECT_EQ(errno, c.error);
      }
    }
    // A file opened for writing is emptied only once it is known to be one.
    std::FILE* f = OpenRegularFile(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(fs::file_size(file), 0u);
    EXPECT_TRUE(fs::exists(dir_ / "new"));
  });
  EXPECT_TRUE(fs::is_fifo(fifo)) << "the pipe is left as it was";
}

TEST_F(RegularFileTest, GameFilesOfEveryKindRefuseAPipeAtOnce) {
  std::vector<std::string> pipes;
  for (const char* ext : {"vgf", "vbf", "egf", "xqn", "mxq", "wxf", "html", "pgn", "txt"})
    pipes.push_back(Fifo(std::string("game.") + ext));
  const std::string database = Fifo("games.db");
  InChild([&] {
    testing_support::InitEngine();
    for (const std::string& path : pipes) {
      SCOPED_TRACE(path);
      EXPECT_FALSE(GameWasLoaded(LoadGameFile(path.c_str(), nullptr, 1)));
      EXPECT_EQ(gameLength, 0);
    }
    CGameDatabase db;
    db.fileName = database;
    db.index.push_back(DatabaseIndexEntry{});
    db.index[0].length = kDatabaseRecordLead + 10;
    db.gameCount = 1;
    GameHeader header{};
    int32_t moves = 0;
    EXPECT_EQ(db.LoadGame(0, &header, &moves, 1, 0), 0);
  });
}

TEST_F(RegularFileTest, BooksAndLearningFilesRefuseAPipeAtOnce) {
  Fifo("BOOKPIPE");
  const std::string learning = Fifo("learning.bin");
  InChild([&] {
    testing_support::InitEngine();
    std::snprintf(installDirectory, sizeof installDirectory, "%s", dir_.c_str());
    std::snprintf(bookFile1, sizeof bookFile1, "BOOKPIPE");
    EXPECT_EQ(LoadBookFile(0), 0);
    EXPECT_EQ(OpenExistingLearningFile(learning.c_str()), nullptr);
    EXPECT_EQ(OpenOrCreateLearningFile(learning.c_str()), nullptr);
  });
}

// A pipe in place of a file that is saved (an autosave) is written in place
// only while something reads it; with no reader the save fails at once.
TEST_F(RegularFileTest, SavingOverAPipeNobodyReadsFailsAtOnce) {
  const std::string fifo = Fifo("CurrentGameV1.vgf");
  InChild([&] {
    AtomicFile file;
    EXPECT_FALSE(file.Open(fifo.c_str()));
    std::FILE* f = OpenFileWithoutWaiting(fifo.c_str(), "wb");
    EXPECT_EQ(f, nullptr);
    EXPECT_EQ(errno, ENXIO);
    // A device is written in place as before.
    f = OpenFileWithoutWaiting("/dev/null", "wb");
    ASSERT_NE(f, nullptr);
    EXPECT_GE(std::fputs("game", f), 0);
    EXPECT_EQ(std::fclose(f), 0);
  });
  EXPECT_TRUE(fs::is_fifo(fifo));
}

}  // namespace
