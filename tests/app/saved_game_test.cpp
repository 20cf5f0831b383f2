// The user's saved game survives hostile starts: a command-line file that
// cannot be read gives the autosaved game with the load message, a damaged
// autosave keeps what can be read and is kept beside the new one, and a
// file size limit makes the exit autosave fail like a full disk. Each
// scenario runs in a process of its own.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/chess_app.h"
#include "app/main_frame.h"
#include "engine/position/position.h"
#include "engine/search/data_paths.h"
#include "engine/search/engine_state.h"
#include "game/binary_files.h"
#include "game/header.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"
#include "tests/support/app_scenario.h"
#include "tests/support/file_bytes.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"

namespace fs = std::filesystem;
using testing_support::Check;
using testing_support::CloseFrame;
using testing_support::OpenStore;
using testing_support::PlayUserMoves;

namespace {

using Bytes = testing_support::FileBytes;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

// The message boxes shown, answered with OK.
std::vector<QString> messages;

// Starts the program with every message box answered OK and kept.
void StartProgram(const std::string& commandTail = "") {
  messageBoxHook = [](const QString& text, int) {
    messages.push_back(text);
    return static_cast<int>(kAnswerOk);
  };
  testing_support::StartProgram(commandTail);
}

fs::path AutosavePath() { return fs::path(installDirectory) / "CurrentGameV1.vgf"; }

// The moves of the game on the board as coordinate texts.
std::vector<std::string> GameMoves() {
  std::vector<std::string> moves;
  for (int ply = 1; ply <= gameLength; ++ply) moves.push_back(testing_support::MoveText(history[ply].move));
  return moves;
}

// The moves of a binary game file; empty when it cannot be read whole.
std::vector<std::string> MovesOf(const fs::path& path) {
  GameHeader header{};
  if (LoadBinaryGame(path.c_str(), &header, 1) != kBinaryLoadOk) return {};
  return GameMoves();
}

const std::vector<std::string> kSavedGame = {"h2e2", "h9g7", "h0g2"};

// A first run that leaves kSavedGame as the autosave.
void SaveTheUsersGame() {
  StartProgram();
  PlayUserMoves({"h2e2", "h9g7", "h0g2"});
  CloseFrame();
  Check(MovesOf(AutosavePath()) == kSavedGame, "the user's game is autosaved");
}

std::set<std::string> Listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& e : fs::directory_iterator(folder))
    names.insert(e.path().filename().string());
  return names;
}

using SavedGameTest = testing_support::ScenarioTest;

TEST_F(SavedGameTest, ACommandLineFileThatCannotBeReadGivesTheAutosavedGame) {
  RUN_SCENARIO(SaveTheUsersGame());
  fs::create_directories(root_ / "folder.vgf");
  WriteFileBytes(root_ / "random.vgf", Bytes{'\x07', '\x91', '\x33', '\x00', '\xfe', '\x12'});
  WriteFileBytes(root_ / "huge.wxf", Bytes(5u << 20, 'x'));  // beyond the size a text file may have
  WriteFileBytes(root_ / "garbage.txt", Bytes{'?', '?', '\n'});
  WriteFileBytes(root_ / "games.vzd", Bytes{'h', '2', 'e', '2', '\n'});  // a database is not opened
  const struct {
    const char* name;
    const TextRow& told;
  } unreadable[] = {{"missing.wxf", kTextFileNotLoaded}, {"folder.vgf", kTextFileNotLoaded},
                    {"random.vgf", kTextFileNotLoaded},  {"huge.wxf", kTextFileNotLoaded},
                    {"garbage.txt", kTextFileNotLoaded}, {"no-extension", kTextFileNotLoaded},
                    {"games.vzd", kTextNotAGameFile}};
  for (const auto& file : unreadable) {
    SCOPED_TRACE(file.name);
    const std::string path = (root_ / file.name).string();
    RUN_SCENARIO({
      StartProgram(path);
      Check(messages.size() == 1 &&
                messages[0] == TrText(file.told).arg(QFile::decodeName(path.c_str())),
            "the load message names the file");
      Check(GameMoves() == kSavedGame, "the autosaved game is on the board");
      CloseFrame();
      Check(MovesOf(AutosavePath()) == kSavedGame, "the autosave still holds the user's game");
    });
  }
  // A file read in part is kept with the moves read and the load message.
  WriteFileBytes(root_ / "part.txt", Bytes{'b', '2', 'e', '2', '\n', 'h', '9', 'g', '7', '\n', '?', '\n'});
  const std::string part = (root_ / "part.txt").string();
  RUN_SCENARIO({
    StartProgram(part);
    Check(messages.size() == 1 &&
              messages[0] == TrText(kTextFileReadInPart).arg(QFile::decodeName(part.c_str())),
          "the read-in-part message names the file");
    Check(GameMoves() == (std::vector<std::string>{"b2e2", "h9g7"}), "the moves read are kept");
    CloseFrame();
  });
  // A UTF-8 file with characters GBK lacks (a sharp s, an emoji) loads whole
  // and says how many of them read as "?".
  const std::string utf8 =
      "\xEF\xBB\xBF" "FORMAT  \tWXF\nRED     \tWei\xC3\x9F \xF0\x9F\x98\x80;;;\n"
      "START{\n 1.  C2.5  H8+7\n}END\n";
  WriteFileBytes(root_ / "lacking.wxf", Bytes(utf8.begin(), utf8.end()));
  const std::string lacking = (root_ / "lacking.wxf").string();
  RUN_SCENARIO({
    StartProgram(lacking);
    Check(messages.size() == 1 && messages[0] == TrText(kTextFileCharactersLacking)
                                                     .arg(QFile::decodeName(lacking.c_str()), "2"),
          "the message says how many characters read as \"?\"");
    Check(GameMoves() == (std::vector<std::string>{"h2e2", "h9g7"}), "the game is loaded whole");
    CloseFrame();
  });
}

TEST_F(SavedGameTest, ADamagedAutosaveKeepsWhatCanBeReadAndIsKeptBesideTheNewOne) {
  RUN_SCENARIO(SaveTheUsersGame());
  const fs::path autosave = root_ / "data" / "Vorelk" / "CurrentGameV1.vgf";
  const Bytes whole = ReadFileBytes(autosave);
  // Version, 13 empty tags, the board (from byte 35), the piece squares,
  // three counts, three move records and the comment count.
  ASSERT_EQ(whole.size(), 2u + 32u + 1u + 208u + 132u + 12u + 3 * 20u + 2u);
  struct Damage {
    const char* name;
    std::function<void(Bytes&)> apply;
    std::vector<std::string> kept;  // empty: a new game
  };
  const size_t lastRecord = whole.size() - 2 - 20;  // before the comment count
  const Damage damages[] = {
      {"last byte cut", [](Bytes& b) { b.pop_back(); }, kSavedGame},
      {"last move record damaged", [&](Bytes& b) { b[lastRecord] = 0; }, {"h2e2", "h9g7"}},
      {"ten bytes of the start board flipped",
       [](Bytes& b) {
         for (size_t i = 0; i < 10; ++i) b[60 + 7 * i] = static_cast<char>(~b[60 + 7 * i]);
       },
       {}},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.name);
    Bytes damaged = whole;
    d.apply(damaged);
    WriteFileBytes(autosave, damaged);
    fs::remove(autosave.string() + ".damaged");
    RUN_SCENARIO({
      StartProgram();
      const fs::path kept = AutosavePath().string() + ".damaged";
      const QString expected =
          TrText(d.kept.empty() ? kTextAutosaveUnreadable : kTextAutosaveReadInPart) + "\n" +
          TrText(kTextDamagedFileKept).arg(QFile::decodeName(kept.c_str()));
      Check(messages.size() == 1 && messages[0] == expected, "the user is told");
      Check(GameMoves() == d.kept, "the moves read before the damage");
      Check(ReadFileBytes(kept) == damaged, "the damaged file is kept beside the autosave");
      const char* pawn = d.kept.size() % 2 == 0 ? "a3a4" : "a6a5";  // the side to move's
      PlayUserMoves({pawn});
      CloseFrame();
      std::vector<std::string> saved = d.kept;
      saved.push_back(pawn);
      Check(MovesOf(AutosavePath()) == saved, "the exit autosave holds the game played");
      Check(ReadFileBytes(kept) == damaged, "the kept file outlives the autosave");
    });
  }
  // A second damaged autosave takes the next name; nothing kept is replaced.
  WriteFileBytes(autosave, Bytes(whole.begin(), whole.end() - 1));
  RUN_SCENARIO({
    StartProgram();
    Check(fs::exists(AutosavePath().string() + ".damaged.2"), "the next free name");
    CloseFrame();
  });
  // A missing autosave is no damage: a new game and nothing said.
  fs::remove(autosave);
  RUN_SCENARIO({
    StartProgram();
    Check(messages.empty() && gameLength == 0, "a new game without a message");
    CloseFrame();
  });
}

TEST_F(SavedGameTest, AFileSizeLimitFailsTheExitAutosaveLikeAFullDisk) {
  RUN_SCENARIO(SaveTheUsersGame());
  RUN_SCENARIO({
    StartProgram();
    const Bytes previous = ReadFileBytes(AutosavePath());
    // Long enough for the next autosave to pass the limit.
    for (int i = 0; i < 40; ++i) PlayUserMoves({"g7h9", "g2h0", "h9g7", "h0g2"});
    const fs::path settings = OpenStore()->FilePath();
    const Bytes previousSettings = ReadFileBytes(settings);
    const rlimit limit{previous.size() + 64, previous.size() + 64};
    Check(previousSettings.size() > limit.rlim_cur, "the settings file is beyond the limit too");
    Check(setrlimit(RLIMIT_FSIZE, &limit) == 0, "limit set");
    // An option changed in the session, so that the exit has settings to
    // write (a file the exit would leave as it is is not written).
    soundEnabled = soundEnabled != 0 ? 0 : 1;
    CloseFrame();
    // The settings (written first) are told once.
    Check(messages.size() == 2, "two messages");
    Check(messages[0] ==
              TrText(kTextSettingsNotSaved).arg(QFile::decodeName(settings.c_str())),
          "the settings are told");
    Check(messages.back() == TrText(kTextAutosaveFailed), "the autosave is told");
    Check(ReadFileBytes(AutosavePath()) == previous, "the previous autosave is intact");
    Check(ReadFileBytes(settings) == previousSettings, "the previous settings are intact");
    for (const std::string& name : Listing(settings.parent_path()))
      Check(name == settings.filename().string(), name.c_str());
    std::set<std::string> names = Listing(installDirectory);
    for (const std::string& name : names) Check(name.find("tmp") == std::string::npos, name.c_str());
  });
}

}  // namespace
