// Copies of real games of the test data in every line end (LF, CR LF, CR
// alone) and encoding (GBK, UTF-8 with and without a byte-order mark, UTF-8
// damaged at one place): each loads like its LF and GBK form, or up to the
// damage with result 5, and never with its names changed.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "game/load_game.h"
#include "tests/support/file_bytes.h"
#include "tests/support/recode.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::ReadFileText;

using testing_support::LogCapture;
using testing_support::MoveText;

const std::string kGames = std::string(VORELK_TESTDATA_DIR) + "/games/";

std::string Gbk(const std::string& utf8) { return testing_support::Recode(utf8, "UTF-8", "GBK"); }
std::string Utf8(const std::string& gbk) { return testing_support::Utf8FromGbk(gbk); }

const std::string kMark = "\xEF\xBB\xBF";

// Every line end of text (LF, CR LF or CR) written as end.
std::string LineEnds(const std::string& text, const std::string& end) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      out += text[i];
      continue;
    }
    if (text.compare(i, 2, "\r\n") == 0) ++i;
    out += end;
  }
  return out;
}

// The offset of the move word of ply (1 = first) in a PGN text: the words
// after the tag lines that do not begin with a digit.
size_t MoveWordAt(const std::string& text, int ply) {
  size_t i = 0;
  while (i < text.size() && (text[i] == '[' || text[i] == '\r' || text[i] == '\n'))
    i = text.find('\n', i) + 1;
  for (int seen = 0; i < text.size();) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (!std::isdigit(static_cast<unsigned char>(text[i])) && ++seen == ply) return i;
    while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  }
  ADD_FAILURE() << "no ply " << ply;
  return text.size();
}

// Names whose GBK bytes are valid UTF-8 as well (梅路 is "c3 b7 c2 b7",
// "÷·" in UTF-8), and the names of the championship game.
const std::string kRed = "梅路";
const std::string kBlack = "茅路";
const std::string kCcgcRed = "相眼竞技";
const std::string kCcgcBlack = "象棋旋风";

class LineEndsAndEncodingsTest : public testing_support::ScratchFolderTest {
 protected:
  LineEndsAndEncodingsTest() : ScratchFolderTest("line_ends") {}
  void SetUp() override {
    testing_support::InitEngine();
    ScratchFolderTest::SetUp();
  }

  int Load(const std::string& path) { return LoadGameFile(path.c_str(), &currentGameHeader, 0); }

  static std::vector<std::string> GameMoves() {
    std::vector<std::string> out;
    for (int i = 1; i <= gameLength; ++i) out.push_back(MoveText(history[i].move));
    return out;
  }

  // A game file of the test data as loaded: its moves.
  std::vector<std::string> Loaded(const std::string& name) {
    testing_support::InitEngine();
    EXPECT_EQ(Load(kGames + name), kLoadOk) << name;
    return GameMoves();
  }

  // The master game with the names kRed and kBlack (GBK) saved as ext by
  // the program; through an egf file first when viaEgf.
  std::string Saved(const std::string& ext, bool viaEgf = false) {
    Loaded("master-05.txt");
    currentGameHeader.textPage = kHeaderTextsGbk;
    SetHeaderText(currentGameHeader.redName, Gbk(kRed).c_str());
    SetHeaderText(currentGameHeader.blackName, Gbk(kBlack).c_str());
    if (viaEgf) {
      EXPECT_EQ(SaveGameFile(Path("saved.egf").c_str(), currentGameHeader), 0);
      testing_support::InitEngine();
      EXPECT_EQ(Load(Path("saved.egf")), kLoadOk);
    }
    EXPECT_EQ(SaveGameFile(Path("saved." + ext).c_str(), currentGameHeader), 0);
    return ReadFileText(Path("saved." + ext));
  }
};

TEST_F(LineEndsAndEncodingsTest, EachCopyLoadsLikeItsLfGbkFormOrUpToItsDamage) {
  const std::vector<std::string> master = Loaded("master-05.txt");
  const std::vector<std::string> ccgc = Loaded("ccgc-05.pgn");
  ASSERT_GT(master.size(), 40u);
  ASSERT_GT(ccgc.size(), 40u);
  const int all = -1;

  const std::string txt = ReadFileText(kGames + "master-05.txt");  // LF
  const std::string pgn = ReadFileText(kGames + "ccgc-05.pgn");    // GBK, CR LF, Chinese moves
  const std::string wxf = Saved("wxf");                     // LF, as the program writes
  const std::string axf = Saved("axf");
  const std::string ccf = Saved("ccf");
  // The same game with the names as a PGN and an XQN text.
  const std::string moveSection =
      wxf.substr(wxf.find("START{") + 6, wxf.find("}END") - wxf.find("START{") - 6);
  const std::string namedPgn = "[Red \"" + Gbk(kRed) + "\"]\n[Black \"" + Gbk(kBlack) +
                               "\"]\n[Result \"*\"]\n" + moveSection + " *\n";
  std::string xqn = "[Red \"" + Gbk(kRed) + "\"]\n[Black \"" + Gbk(kBlack) + "\"]\n";
  for (size_t i = 0; i < master.size(); i += 2)
    xqn += std::to_string(i / 2 + 1) + ". " + master[i] +
           (i + 1 < master.size() ? " " + master[i + 1] : "") + "\n";

  // The championship game in UTF-8, and where its move of a ply begins there.
  const std::string pgnUtf8 = Utf8(pgn);
  const auto utf8At = [&](int ply) { return Utf8(pgn.substr(0, MoveWordAt(pgn, ply))).size(); };
  std::string damaged = pgnUtf8;
  damaged[utf8At(19) + 1] = 'x';  // the second byte of move 19's first character
  const std::string wxfUtf8 = Utf8(wxf);
  const size_t blackName = wxfUtf8.find("BLACK") + 9;  // after "BLACK   \t"

  const struct {
    const char* what;
    const char* ext;
    std::string bytes;
    int result;
    const std::vector<std::string>& source;
    int moves;  // the source's first moves loaded; all: every one
    std::string red, black;
  } rows[] = {
      // Line ends.
      {"coordinates, LF", "txt", txt, kLoadOk, master, all, "", ""},
      {"coordinates, CR LF", "txt", LineEnds(txt, "\r\n"), kLoadOk, master, all, "", ""},
      {"coordinates, CR", "txt", LineEnds(txt, "\r"), kLoadOk, master, all, "", ""},
      {"Chinese PGN, CR LF", "pgn", pgn, kLoadOk, ccgc, all, kCcgcRed, kCcgcBlack},
      {"Chinese PGN, LF", "pgn", LineEnds(pgn, "\n"), kLoadOk, ccgc, all, kCcgcRed, kCcgcBlack},
      {"Chinese PGN, CR", "pgn", LineEnds(pgn, "\r"), kLoadOk, ccgc, all, kCcgcRed, kCcgcBlack},
      {"wxf, LF", "wxf", wxf, kLoadOk, master, all, kRed, kBlack},
      {"wxf, CR LF", "wxf", LineEnds(wxf, "\r\n"), kLoadOk, master, all, kRed, kBlack},
      {"wxf, CR", "wxf", LineEnds(wxf, "\r"), kLoadOk, master, all, kRed, kBlack},
      {"axf, CR", "axf", LineEnds(axf, "\r"), kLoadOk, master, all, kRed, kBlack},
      {"ccf, CR", "ccf", LineEnds(ccf, "\r"), kLoadOk, master, all, kRed, kBlack},
      {"htm, CR", "htm", LineEnds("<html><PRE>\n" + wxf + "</PRE></html>\n", "\r"), kLoadOk, master,
       all, kRed, kBlack},
      {"xqn, CR LF", "xqn", LineEnds(xqn, "\r\n"), kLoadOk, master, all, kRed, kBlack},
      {"xqn, CR", "xqn", LineEnds(xqn, "\r"), kLoadOk, master, all, kRed, kBlack},
      // GBK names whose bytes are valid UTF-8 stay GBK.
      {"wxf saved from an egf", "wxf", Saved("wxf", true), kLoadOk, master, all, kRed, kBlack},
      {"PGN with WXF moves", "pgn", namedPgn, kLoadOk, master, all, kRed, kBlack},
      {"xqn, LF", "xqn", xqn, kLoadOk, master, all, kRed, kBlack},
      // UTF-8, with and without a mark.
      {"Chinese PGN in UTF-8", "pgn", pgnUtf8, kLoadOk, ccgc, all, kCcgcRed, kCcgcBlack},
      {"Chinese PGN in UTF-8, CR", "pgn", LineEnds(pgnUtf8, "\r"), kLoadOk, ccgc, all, kCcgcRed,
       kCcgcBlack},
      {"Chinese PGN in UTF-8 with a mark", "pgn", kMark + pgnUtf8, kLoadOk, ccgc, all, kCcgcRed,
       kCcgcBlack},
      {"wxf in UTF-8", "wxf", wxfUtf8, kLoadOk, master, all, kRed, kBlack},
      {"axf in UTF-8 with a mark", "axf", kMark + Utf8(axf), kLoadOk, master, all, kRed, kBlack},
      {"xqn in UTF-8", "xqn", Utf8(xqn), kLoadOk, master, all, kRed, kBlack},
      {"PGN with WXF moves in UTF-8 with a mark", "pgn", kMark + Utf8(namedPgn), kLoadOk, master,
       all, kRed, kBlack},
      {"coordinates with a mark", "txt", kMark + txt, kLoadOk, master, all, "", ""},
      // UTF-8 damaged at one place: what comes before the damage.
      {"Chinese PGN in UTF-8, a damaged byte in move 19", "pgn", damaged, kLoadPartial, ccgc, 18,
       kCcgcRed, kCcgcBlack},
      {"the same with a mark", "pgn", kMark + damaged, kLoadPartial, ccgc, 18, kCcgcRed,
       kCcgcBlack},
      {"Chinese PGN in UTF-8 cut inside move 31", "pgn", pgnUtf8.substr(0, utf8At(31) + 2),
       kLoadPartial, ccgc, 30, kCcgcRed, kCcgcBlack},
      {"wxf in UTF-8, a damaged byte in the black name", "wxf",
       std::string(wxfUtf8).replace(blackName + 4, 1, "\xFF"), kLoadPartial, master, 0, kRed, "茅"},
      {"wxf in UTF-8 cut inside the black name", "wxf", wxfUtf8.substr(0, blackName + 1),
       kLoadPartial, master, 0, kRed, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    testing_support::InitEngine();
    LogCapture log;
    const int result = Load(Write(std::string("copy.") + row.ext, row.bytes));
    EXPECT_EQ(result, row.result);
    EXPECT_EQ(log.lines().empty(), row.result == kLoadOk) << "a load that is not whole is logged";
    const auto first = row.source.begin();
    EXPECT_EQ(GameMoves(), std::vector<std::string>(
                               first, row.moves == all ? row.source.end() : first + row.moves));
    EXPECT_EQ(std::string(currentGameHeader.redName), Gbk(row.red));
    EXPECT_EQ(std::string(currentGameHeader.blackName), Gbk(row.black));
  }
}

// A UTF-8 file whose texts hold characters GBK lacks (ß, an emoji) loads
// whole with them read as "?", and says how many.
TEST_F(LineEndsAndEncodingsTest, Utf8CharactersGbkLacksAreSaid) {
  const std::string wxf = Utf8(Saved("wxf"));
  const size_t redName = wxf.find(kRed);
  ASSERT_NE(redName, std::string::npos);
  for (const std::string& mark : {std::string(), kMark}) {
    SCOPED_TRACE(mark.size());
    const std::string bytes =
        mark + std::string(wxf).replace(redName, kRed.size(), "Weiß " + kRed + " \xF0\x9F\x98\x80");
    testing_support::InitEngine();
    LogCapture log;
    EXPECT_EQ(Load(Write("lacking.wxf", bytes)), kLoadOk);
    EXPECT_EQ(std::string(currentGameHeader.redName), "Wei? " + Gbk(kRed) + " ?");
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("2 characters"), std::string::npos) << log.lines()[0];
  }
}

}  // namespace
