// Published game records of the test data: every master game in Chinese
// notation (GBK, full-width letters) must reach the same final position as
// its coordinate text, and every computer championship game must load with
// all its moves; copies of every game edited in ways that keep its game
// (line ends, blanks, UTF-8, zero bytes after its end) load whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "game/header.h"
#include "game/load_game.h"
#include "tests/support/file_bytes.h"
#include "tests/support/recode.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::CurrentFen;
using testing_support::InitEngine;
using testing_support::MoveText;

const std::filesystem::path kGames = std::filesystem::path(VORELK_TESTDATA_DIR) / "games";

std::vector<std::filesystem::path> FilesStartingWith(const std::string& prefix,
                                                     const std::string& ext) {
  std::vector<std::filesystem::path> out;
  for (const auto& entry : std::filesystem::directory_iterator(kGames)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(prefix, 0) == 0 && entry.path().extension() == ext) out.push_back(entry.path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

struct Loaded {
  int result;
  std::vector<std::string> moves;
  std::string finalFen;
};

Loaded LoadToEnd(const std::filesystem::path& path) {
  InitEngine();
  Loaded r;
  r.result = LoadGameFile(path.c_str(), &currentGameHeader, 0);
  for (int i = 1; i <= gameLength; ++i) r.moves.push_back(MoveText(history[i].move));
  EXPECT_EQ(gamePly, gameLength) << path << ": a loaded text game shows its last move";
  ReplayAll();
  r.finalFen = CurrentFen();
  EXPECT_EQ(CheckPositionConsistency(), 1);
  return r;
}

// One move of the published coordinate text of master-02 disagrees with its
// Chinese record: at ply 71 the record says "－Ｐ＋１" (red's rear pawn on
// the file e advances, e3e4), the coordinate text moves the front pawn
// (e5e6). No later move touches those pawns; every other move agrees.
struct KnownDifference {
  const char* game;
  size_t ply;
  const char* recordMove;
  const char* textMove;
};
constexpr KnownDifference kKnownDifferences[] = {{"master-02", 71, "e3e4", "e5e6"}};

TEST(RealGamesTest, MasterGamesReachTheFinalPositionOfTheirCoordinateText) {
  const auto records = FilesStartingWith("master-", ".pgn");
  ASSERT_EQ(records.size(), 15u);
  for (const auto& pgn : records) {
    SCOPED_TRACE(pgn.filename().string());
    std::filesystem::path txt = pgn;
    txt.replace_extension(".txt");
    const Loaded record = LoadToEnd(pgn);
    const Loaded text = LoadToEnd(txt);
    ASSERT_EQ(record.result, 0);
    ASSERT_EQ(text.result, 0);
    ASSERT_GT(text.moves.size(), 40u);
    ASSERT_EQ(record.moves.size(), text.moves.size());
    const std::string stem = pgn.stem().string();
    const KnownDifference* known = nullptr;
    for (const KnownDifference& k : kKnownDifferences)
      if (stem == k.game) known = &k;
    if (known == nullptr) {
      EXPECT_EQ(record.moves, text.moves);
      EXPECT_EQ(record.finalFen, text.finalFen);
      continue;
    }
    for (size_t i = 0; i < text.moves.size(); ++i) {
      if (i + 1 == known->ply) {
        EXPECT_EQ(record.moves[i], known->recordMove);
        EXPECT_EQ(text.moves[i], known->textMove);
      } else {
        EXPECT_EQ(record.moves[i], text.moves[i]) << "ply " << i + 1;
      }
    }
  }
}

// The moves of a championship record: the words after each move number
// other than a result.
int CountRecordMoves(const std::filesystem::path& path, std::string* result) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  int count = 0;
  while (std::getline(in, line)) {
    if (line.rfind("[Result \"", 0) == 0) *result = line.substr(9, line.find('"', 9) - 9);
    std::istringstream words(line);
    std::string number;
    words >> number;
    if (number.empty() || !std::isdigit(static_cast<unsigned char>(number[0])) ||
        number.back() != '.')
      continue;
    std::string move;
    // The last line may end with the result ("1/2-1/2", "1-0", "0-1").
    while (words >> move)
      if (!std::isdigit(static_cast<unsigned char>(move[0]))) ++count;
  }
  return count;
}

TEST(RealGamesTest, ChampionshipGamesLoadWithAllTheirMoves) {
  const auto records = FilesStartingWith("ccgc-", ".pgn");
  ASSERT_EQ(records.size(), 20u);
  for (const auto& pgn : records) {
    SCOPED_TRACE(pgn.filename().string());
    std::string result;
    const int expected = CountRecordMoves(pgn, &result);
    ASSERT_GT(expected, 20);
    const Loaded loaded = LoadToEnd(pgn);
    ASSERT_EQ(loaded.result, 0);
    EXPECT_EQ(static_cast<int>(loaded.moves.size()), expected);
    const int code = result == "1-0" ? 1 : result == "0-1" ? 2 : result == "1/2-1/2" ? 3 : 0;
    EXPECT_EQ(currentGameHeader.result, code) << result;
    EXPECT_STREQ(currentGameHeader.event,
                 "1st Chinese Computer Games Championship, Beijing 2006");
    EXPECT_NE(currentGameHeader.redName[0], '\0');
    EXPECT_NE(currentGameHeader.blackName[0], '\0');
  }
}

// Ways of writing a file that keep its game, as editors, converters and
// file systems leave them.
std::string CrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}
std::string BlanksAfterLines(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((text[i] == '\r' || text[i] == '\n') && (i == 0 || text[i - 1] != '\r')) out += " \t ";
    out += text[i];
  }
  return out;
}
std::string Utf8WithMark(const std::string& gbk) {
  return "\xEF\xBB\xBF" + testing_support::Utf8FromGbk(gbk);
}
std::string WithoutLastLineEnd(const std::string& text) {
  return text.substr(0, text.find_last_not_of("\r\n") + 1);
}

class EditedRealGamesTest : public testing_support::ScratchFolderTest {
 protected:
  EditedRealGamesTest() : ScratchFolderTest("edited_games") {}
};

// Every game of the test data, as published (pgn, txt), as XQN and as the
// keyword text the program writes, with each edit: loaded whole (result 0),
// as the same moves.
TEST_F(EditedRealGamesTest, EveryCopyThatKeepsTheGameLoadsWhole) {
  const struct {
    const char* what;
    std::string (*edit)(const std::string&);
  } edits[] = {
      {"as it is", [](const std::string& t) { return t; }},
      {"CR LF", CrLf},
      {"blanks after every line", BlanksAfterLines},
      {"UTF-8 with a mark", Utf8WithMark},
      {"1 zero byte", [](const std::string& t) { return t + std::string(1, '\0'); }},
      {"2 zero bytes", [](const std::string& t) { return t + std::string(2, '\0'); }},
      {"511 zero bytes", [](const std::string& t) { return t + std::string(511, '\0'); }},
      {"4096 zero bytes", [](const std::string& t) { return t + std::string(4096, '\0'); }},
      {"zero bytes in place of the last line end",
       [](const std::string& t) { return WithoutLastLineEnd(t) + std::string(300, '\0'); }},
      {"all of them",
       [](const std::string& t) {
         return Utf8WithMark(CrLf(BlanksAfterLines(t))) + std::string(4096, '\0');
       }},
  };
  const auto files = FilesStartingWith("", ".pgn");
  const auto texts = FilesStartingWith("", ".txt");
  ASSERT_EQ(files.size() + texts.size(), 50u);
  std::vector<std::filesystem::path> all = files;
  all.insert(all.end(), texts.begin(), texts.end());
  for (const auto& source : all) {
    SCOPED_TRACE(source.filename().string());
    const Loaded game = LoadToEnd(source);
    ASSERT_EQ(game.result, kLoadOk);
    // The same game as XQN, and as the keyword text the program writes.
    std::string xqn = "[Red \"R\"]\n[Black \"B\"]\n";
    for (size_t i = 0; i < game.moves.size(); i += 2)
      xqn += std::to_string(i / 2 + 1) + ". " + game.moves[i] +
             (i + 1 < game.moves.size() ? " " + game.moves[i + 1] : "") + "\n";
    ASSERT_EQ(SaveGameFile(Path("saved.wxf").c_str(), currentGameHeader), 0);
    const struct {
      const char* ext;
      std::string text;
    } forms[] = {
        {source.extension() == ".pgn" ? "pgn" : "txt", testing_support::ReadFileText(source)},
        {"xqn", xqn},
        {"wxf", testing_support::ReadFileText(Path("saved.wxf"))},
    };
    for (const auto& form : forms) {
      for (const auto& edit : edits) {
        SCOPED_TRACE(std::string(form.ext) + ", " + edit.what);
        const Loaded copy = LoadToEnd(Write(std::string("copy.") + form.ext, edit.edit(form.text)));
        EXPECT_EQ(copy.result, kLoadOk);
        EXPECT_EQ(copy.moves, game.moves);
      }
    }
  }
}

}  // namespace
