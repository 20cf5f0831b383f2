// Hand-written settings files through a start and an exit of the program,
// twice, as the program drives the settings store: what is read from each
// file, and its bytes after the first round and again after the second
// (the same: a second round changes nothing and writes nothing). The exit
// writes through several stores in one batch, and so writes the file once.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/settings_ini.h"
#include "platform/settings_store.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/settings_folder.h"

namespace {

using testing_support::ReadFileText;

class SettingsFileTest : public testing_support::ScratchFolderTest {
 protected:
  SettingsFileTest() : ScratchFolderTest("settings_file") {}
};

// The start: the language (asked for when the file has none in range) and
// the install folder (stored when the file has none). True when asked.
bool Start() {
  CSettingsStore store(kSettingsNoRoot);
  EXPECT_TRUE(OpenProgramSettings(store));
  const int32_t language = store.GetIntInRange("Options", "Language", -1, 0, 5);
  if (language < 0) store.WriteInt("Options", "Language", 1);
  std::string folder;
  store.GetString(folder, "Options", "InstallDirectory", "");
  if (folder.empty()) store.WriteString("Options", "InstallDirectory", "/data");
  return language < 0;
}

// The exit: a window's placement and the options, each through a store of
// its own, in one batch.
void Exit() {
  CSettingsBatch batch;
  {
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    store.WriteString("Windows placement", "MainWindow", "0,1,-1,-1,-1,-1,1,2,3,4");
  }
  CSettingsStore store(kSettingsNoRoot);
  OpenProgramSettings(store);
  store.WriteInt("Options", "Language", 1);
  store.WriteInt("Options", "Sound", 1);
}

// What the exit adds at the end of a file without a placement section.
const std::string kPlacements = "\n[Windows%20placement]\nMainWindow=\"0,1,-1,-1,-1,-1,1,2,3,4\"\n";
// What the start and the exit add to an options section without them.
const std::string kOptions = "InstallDirectory=/data\nSound=1\n";

struct Row {
  const char* name;
  std::string file;
  std::vector<std::pair<std::string, std::string>> reads;  // every key the file holds
  bool asked;                                              // no language in the file
  std::string after;
};

TEST_F(SettingsFileTest, HandWrittenFilesThroughTwoStartsAndExits) {
  const Row rows[] = {
      {"unterminated quote",
       "[User]\nr=\"unterminated\nx=1\n[Options]\nLanguage=1\n[Other]\ny=2\n",
       {{"User/r", "unterminated"}, {"User/x", "1"}, {"Options/Language", "1"}, {"Other/y", "2"}},
       false,
       "[User]\nr=\"unterminated\nx=1\n[Options]\nLanguage=1\n" + kOptions + "[Other]\ny=2\n" +
           kPlacements},
      {"short damaged file",
       "U[=\"",
       {{"U[", ""}},
       true,
       "U[=\"\n\n[Options]\nLanguage=1\n" + kOptions + kPlacements},
      {"byte-order mark",
       "\xEF\xBB\xBF[Options]\nLanguage=1\nHTSize=64\nBoard%20type=3\n[User]\nkey=value\n",
       {{"Options/Language", "1"},
        {"Options/HTSize", "64"},
        {"Options/Board type", "3"},
        {"User/key", "value"}},
       false,
       "\xEF\xBB\xBF[Options]\nLanguage=1\nHTSize=64\nBoard%20type=3\n" + kOptions +
           "[User]\nkey=value\n" + kPlacements},
      {"comment lines",
       "; written by hand\n# kept too\n[Options]\n; the language\nLanguage=1\n",
       {{"Options/Language", "1"}},
       false,
       "; written by hand\n# kept too\n[Options]\n; the language\nLanguage=1\n" + kOptions +
           kPlacements},
      {"lines without '='",
       "[Options]\nLanguage=1\njust words\n[Other]\nalone\n",
       {{"Options/Language", "1"}},
       false,
       "[Options]\nLanguage=1\njust words\n" + kOptions + "[Other]\nalone\n" + kPlacements},
      {"unquoted ';'",
       "[Links]\nurl=http://x/?a=1;b=2\n[Options]\nLanguage=1\nHTSize=64 ; a comment\n",
       {{"Links/url", "http://x/?a=1"}, {"Options/Language", "1"}, {"Options/HTSize", "64"}},
       false,
       "[Links]\nurl=http://x/?a=1;b=2\n[Options]\nLanguage=1\nHTSize=64 ; a comment\n" + kOptions +
           kPlacements},
      {"section name with blanks",
       "[Windows placement]\nClock=0,1,-1,-1,-1,-1,5,6,7,8\n[Options]\nLanguage=1\n",
       {{"Windows placement/Clock", "0,1,-1,-1,-1,-1,5,6,7,8"}, {"Options/Language", "1"}},
       false,
       "[Windows placement]\nClock=0,1,-1,-1,-1,-1,5,6,7,8\n"
       "MainWindow=\"0,1,-1,-1,-1,-1,1,2,3,4\"\n[Options]\nLanguage=1\n" +
           kOptions},
      {"CRLF line ends",
       "[Options]\r\nLanguage=1\r\n\r\n[Other]\r\ny=2\r\n",
       {{"Options/Language", "1"}, {"Other/y", "2"}},
       false,
       "[Options]\r\nLanguage=1\r\nInstallDirectory=/data\r\nSound=1\r\n\r\n[Other]\r\ny=2\r\n"
       "\r\n[Windows%20placement]\r\nMainWindow=\"0,1,-1,-1,-1,-1,1,2,3,4\"\r\n"},
      {"empty file", "", {}, true, "[Options]\nLanguage=1\n" + kOptions + kPlacements},
      {"duplicate sections and keys",
       "[Options]\nLanguage=3\nSound=0\n[Other]\ny=2\n[Options]\nLanguage=1\n",
       {{"Options/Language", "1"}, {"Options/Sound", "0"}, {"Other/y", "2"}},
       false,
       "[Options]\nLanguage=3\nSound=1\n[Other]\ny=2\n[Options]\nLanguage=1\n"
       "InstallDirectory=/data\n" +
           kPlacements},
      {"backslash at a line end",
       "[User]\npath=C:\\\n[Options]\nLanguage=1\n",
       {{"User/path", "C:"}, {"Options/Language", "1"}},
       false,
       "[User]\npath=C:\\\n[Options]\nLanguage=1\n" + kOptions + kPlacements},
      {"no line end at the end, general section",
       "x=1\n[General]\ny=2\n[Options]\nLanguage=1",
       {{"x", "1"}, {"y", "2"}, {"Options/Language", "1"}},
       false,
       "x=1\n[General]\ny=2\n[Options]\nLanguage=1\n" + kOptions + kPlacements},
  };
  int number = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const IniDocument document = IniDocument::Parse(row.file);
    std::vector<std::string> keys = document.Keys();
    std::sort(keys.begin(), keys.end());
    std::vector<std::string> expectedKeys;
    for (const auto& [key, text] : row.reads) {
      expectedKeys.push_back(key);
      EXPECT_EQ(document.Text(key), std::optional<std::string>(text)) << key;
    }
    std::sort(expectedKeys.begin(), expectedKeys.end());
    EXPECT_EQ(keys, expectedKeys);

    // Each row has a configuration folder of its own.
    const std::filesystem::path file = testing_support::WriteProgramSettingsIn(
        dir_ / ("config" + std::to_string(number++)), row.file);
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(round);
      EXPECT_EQ(Start(), round == 0 && row.asked);
      const int writes = SettingsFileWrites();
      Exit();
      EXPECT_EQ(SettingsFileWrites() - writes, round == 0 ? 1 : 0);
      EXPECT_EQ(ReadFileText(file), row.after);
    }
  }
}

// Values the program writes over lines spelt by hand, through a store: a
// line that already holds the value keeps every byte (and a file with no
// other change is not written at all); a changed value keeps the line's
// blanks, its key as spelt and its note.
TEST_F(SettingsFileTest, WrittenValuesKeepTheirLinesNotesAndBlanks) {
  struct Line {
    const char* name;
    std::string file;
    std::vector<std::pair<std::string, std::string>> writes;  // entry of "Options", text
    std::string after;                                        // the file as before: not written
  };
  const Line rows[] = {
      {"unchanged, with a note", "[Options]\nPonder=0 ; no ponder\n", {{"Ponder", "0"}}, ""},
      {"unchanged, blanks around '='",
       "[Options]\n  Board%20size = 0\n\tSound\t=\t1\t\n",
       {{"Board size", "0"}, {"Sound", "1"}},
       ""},
      {"unchanged text, quoted and with a note",
       "[Options]\nBook1 = \"USERVKBOOK\"  ; mine\n",
       {{"Book1", "USERVKBOOK"}},
       ""},
      {"changed, with a note",
       "[Options]\nPonder=0 ; no ponder\n",
       {{"Ponder", "1"}},
       "[Options]\nPonder=1 ; no ponder\n"},
      {"changed, blanks around '=' and after the value",
       "[Options]\n  Board%20size = 0   \r\n",
       {{"Board size", "2"}},
       "[Options]\n  Board%20size = 2   \r\n"},
      {"changed, a note without blanks and a quoted value",
       "[Options]\nBook1=\"a;b\";note\nBook2= old ;x\n",
       {{"Book1", "c;d"}, {"Book2", " padded"}},
       "[Options]\nBook1=\"c;d\";note\nBook2= \" padded\" ;x\n"},
      {"changed last line without a line end, key spelt by hand",
       "\xEF\xBB\xBF[Options]\n Board size=1 ;medium",
       {{"Board size", "0"}},
       "\xEF\xBB\xBF[Options]\n Board size=0 ;medium\n"},
      {"one changed, one unchanged",
       "[Options]\nPonder = 0 ; off\nSound = 1 ; on\n",
       {{"Ponder", "0"}, {"Sound", "0"}},
       "[Options]\nPonder = 0 ; off\nSound = 0 ; on\n"},
  };
  int number = 0;
  for (const Line& row : rows) {
    SCOPED_TRACE(row.name);
    const std::filesystem::path file = testing_support::WriteProgramSettingsIn(
        dir_ / ("notes" + std::to_string(number++)), row.file);
    const int writes = SettingsFileWrites();
    {
      CSettingsStore store(kSettingsNoRoot);
      ASSERT_TRUE(OpenProgramSettings(store));
      for (const auto& [entry, text] : row.writes)
        EXPECT_TRUE(store.WriteString("Options", entry.c_str(), text.c_str()));
    }
    const bool unchanged = row.after.empty();
    EXPECT_EQ(SettingsFileWrites() - writes, unchanged ? 0 : 1);
    const std::string after = ReadFileText(file);
    EXPECT_EQ(after, unchanged ? row.file : row.after);
    const IniDocument document = IniDocument::Parse(after);
    for (const auto& [entry, text] : row.writes)
      EXPECT_EQ(document.Text("Options/" + entry), std::optional<std::string>(text)) << entry;
  }
}

}  // namespace
