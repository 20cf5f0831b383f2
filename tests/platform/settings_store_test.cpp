// The settings store: where the file lives, round trips of numbers, texts
// and window placements (also read back from disk by a fresh parse),
// defaults for missing, malformed and unreadable values, deleting entries
// and sections as the Shift-held reset does, and range-checked reads.
#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <QString>
#include <csignal>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "platform/message_box.h"

namespace fs = std::filesystem;

namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vorelk_settings_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
  }
  void TearDown() override {
    std::error_code error;
    fs::remove_all(root_, error);
  }

  // The way every load and save of the program opens the store.
  static void OpenProgramStore(CSettingsStore& store) {
    ASSERT_TRUE(store.OpenSoftwareKey(kSettingsCurrentUser));
    ASSERT_TRUE(store.Open(kSettingsCompany, kSettingsApplication));
  }

  fs::path ProgramFile() const { return root_ / "Vorelk" / "Vorelk Freeware 2.5.ini"; }

  void WriteProgramFile(const std::string& text) const {
    fs::create_directories(ProgramFile().parent_path());
    std::ofstream(ProgramFile()) << text;
  }

  // Copies the program's file under another company name, so that a store
  // opened on the copy parses it from disk rather than sharing what the
  // process already holds of the original.
  void CopyProgramFileTo(const char* company) const {
    fs::create_directories(root_ / company);
    fs::copy_file(ProgramFile(), root_ / company / "Vorelk Freeware 2.5.ini",
                  fs::copy_options::overwrite_existing);
  }

  fs::path root_;
};

std::string ReadWholeFile(const fs::path& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(SettingsStoreTest, FileLivesUnderTheConfigFolder) {
  {
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramStore(store);
    EXPECT_EQ(store.FilePath(), ProgramFile().string());
    EXPECT_TRUE(store.WriteInt("Options", "Board size", 2));
    EXPECT_TRUE(store.WriteString("Windows placement", "Clock", "0,1,-1,-1,-1,-1,5,6,7,8"));
  }
  ASSERT_TRUE(fs::exists(ProgramFile()));
  const std::string text = ReadWholeFile(ProgramFile());
  EXPECT_NE(text.find("[Options]"), std::string::npos) << text;
  EXPECT_NE(text.find("placement]"), std::string::npos) << text;

  // An empty application name keeps the values in "<company>.ini".
  {
    CSettingsStore store;
    ASSERT_TRUE(store.Open("Other", ""));
    EXPECT_EQ(store.FilePath(), (root_ / "Other.ini").string());
    EXPECT_TRUE(store.WriteInt("Options", "Sound", 1));
  }
  EXPECT_TRUE(fs::exists(root_ / "Other.ini"));
}

TEST_F(SettingsStoreTest, RootFallsBackToHomeConfig) {
  const fs::path home = root_ / "home";
  fs::create_directories(home);
  setenv("HOME", home.c_str(), 1);

  unsetenv("XDG_CONFIG_HOME");
  {
    CSettingsStore store;
    EXPECT_FALSE(store.OpenFailed());
    ASSERT_TRUE(store.Open(kSettingsCompany, kSettingsApplication));
    EXPECT_EQ(store.FilePath(), (home / ".config/Vorelk/Vorelk Freeware 2.5.ini").string());
  }
  // A relative XDG_CONFIG_HOME is not a valid base and is ignored.
  setenv("XDG_CONFIG_HOME", "relative/config", 1);
  {
    CSettingsStore store;
    ASSERT_TRUE(store.Open(kSettingsCompany, kSettingsApplication));
    EXPECT_EQ(store.FilePath(), (home / ".config/Vorelk/Vorelk Freeware 2.5.ini").string());
  }
  // With neither variable there is no root: the store stays closed, reads
  // give their defaults and writes fail.
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("HOME");
  {
    CSettingsStore store;
    EXPECT_TRUE(store.OpenFailed());
    EXPECT_FALSE(store.Open(kSettingsCompany, kSettingsApplication));
    EXPECT_EQ(store.GetInt("Options", "Board size", 1), 1);
    EXPECT_FALSE(store.WriteInt("Options", "Board size", 2));
  }
  setenv("HOME", home.c_str(), 1);
}

TEST_F(SettingsStoreTest, IntegersAndStringsRoundTrip) {
  const char* texts[] = {"USERVKBOOK", "", "a = b ; c # d", "  padded  ", "@Variant(x)",
                         "C:\\Vorelk Freeware2.5", "/home/user/xq games", "\xe8\xb1\xa1\xe6\xa3\x8b",
                         "/data\xff\xfe/not UTF-8"};
  const int32_t numbers[] = {0, 1, -1, 2280, INT32_MAX, INT32_MIN};
  {
    CSettingsStore store;
    OpenProgramStore(store);
    for (size_t i = 0; i < std::size(numbers); ++i) {
      EXPECT_TRUE(store.WriteInt("Options", ("N" + std::to_string(i)).c_str(), numbers[i]));
    }
    for (size_t i = 0; i < std::size(texts); ++i) {
      EXPECT_TRUE(store.WriteString("Options", ("S" + std::to_string(i)).c_str(), texts[i]));
    }
    // Keys with spaces, as the program names them, in a section with a space.
    EXPECT_TRUE(store.WriteInt("Pieces Value", "Book Mode 2", 77));
  }
  CopyProgramFileTo("Copy");
  for (const char* company : {kSettingsCompany, "Copy"}) {
    SCOPED_TRACE(company);
    CSettingsStore store;
    ASSERT_TRUE(store.Open(company, kSettingsApplication));
    for (size_t i = 0; i < std::size(numbers); ++i) {
      EXPECT_EQ(store.GetInt("Options", ("N" + std::to_string(i)).c_str(), 12345), numbers[i]);
    }
    for (size_t i = 0; i < std::size(texts); ++i) {
      std::string text = "stale";
      store.GetString(text, "Options", ("S" + std::to_string(i)).c_str(), "default");
      EXPECT_EQ(text, texts[i]);
    }
    EXPECT_EQ(store.GetInt("Pieces Value", "Book Mode 2", 0), 77);
    // A number written as a string reads as a number, and the reverse.
    std::string text;
    store.GetString(text, "Options", "N3", nullptr);
    EXPECT_EQ(text, "2280");
  }
}

TEST_F(SettingsStoreTest, WindowPlacementsRoundTrip) {
  char placement[128];
  std::snprintf(placement, sizeof placement, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", 2u, 1u, -1, -1,
                -32000, -32000, 10, 20, 650, 720);
  {
    CSettingsStore store;
    OpenProgramStore(store);
    EXPECT_TRUE(store.WriteString("Windows placement", "MainWindow", placement));
    EXPECT_TRUE(store.WriteString("Windows placement", "Game status", "0,1,-1,-1,-1,-1,0,0,1,1"));
  }
  CopyProgramFileTo("Copy");
  for (const char* company : {kSettingsCompany, "Copy"}) {
    CSettingsStore store;
    ASSERT_TRUE(store.Open(company, kSettingsApplication));
    std::string text;
    store.GetString(text, "Windows placement", "MainWindow", "");
    EXPECT_EQ(text, placement);
    store.GetString(text, "Windows placement", "Game status", "");
    EXPECT_EQ(text, "0,1,-1,-1,-1,-1,0,0,1,1");
  }

  // A placement typed into the file by hand, without quotes, is still one
  // text (the INI reader would otherwise split it at the commas).
  WriteProgramFile("[Windows placement]\nClock=0,1,-1,-1,-1,-1,100,50,300,200\n");
  CSettingsStore store;
  ASSERT_TRUE(store.Open(kSettingsCompany, kSettingsApplication));
  std::string text;
  store.GetString(text, "Windows placement", "Clock", "");
  EXPECT_EQ(text, "0,1,-1,-1,-1,-1,100,50,300,200");
}

TEST_F(SettingsStoreTest, MissingAndMalformedValuesGiveDefaults) {
  WriteProgramFile(
      "[Options]\n"
      "Board size = 2\n"
      "Pieces Set=abc\n"
      "HTSize=12abc\n"
      "TCTime1=\n"
      "TCMove1=99999999999\n"
      "Sound=0x1\n"
      "Ponder=1.5\n"
      "Rotation=@Rect(1 2 3 4)\n"
      "Symetry=\" 1\"\n"
      "Book1=@Rect(1 2 3 4)\n");
  CSettingsStore store;
  OpenProgramStore(store);
  // Plain hand-written names and spaces around the value are read.
  EXPECT_EQ(store.GetInt("Options", "Board size", 1), 2);
  EXPECT_EQ(store.GetInt("Options", "Pieces Set", 2), 2);
  EXPECT_EQ(store.GetInt("Options", "HTSize", 0), 0);
  EXPECT_EQ(store.GetInt("Options", "TCTime1", 2280), 2280);
  EXPECT_EQ(store.GetInt("Options", "TCMove1", 50), 50);
  EXPECT_EQ(store.GetInt("Options", "Sound", 0), 0);
  EXPECT_EQ(store.GetInt("Options", "Ponder", 1), 1);
  EXPECT_EQ(store.GetInt("Options", "Rotation", 0), 0);
  EXPECT_EQ(store.GetInt("Options", "Symetry", 0), 0);
  EXPECT_EQ(store.GetInt("Options", "Never written", -5), -5);
  EXPECT_EQ(store.GetInt("No such section", "Board size", 1), 1);

  std::string text;
  store.GetString(text, "Options", "Book1", "USERVKBOOK");
  EXPECT_EQ(text, "USERVKBOOK");
  store.GetString(text, "Options", "Book2", "VKBOOK");
  EXPECT_EQ(text, "VKBOOK");
  store.GetString(text, "Options", "InstallDirectory");
  EXPECT_EQ(text, "");
  // An empty stored text is a value, not a failure.
  store.GetString(text, "Options", "TCTime1", "default");
  EXPECT_EQ(text, "");

  // Names the file cannot hold as one value read as missing and refuse writes.
  EXPECT_EQ(store.GetInt("Options", "", 4), 4);
  EXPECT_EQ(store.GetInt("", "Board size", 4), 4);
  EXPECT_EQ(store.GetInt("Options/Board size", nullptr, 4), 4);
  EXPECT_FALSE(store.WriteInt("Options", "a/b", 1));
  EXPECT_FALSE(store.WriteInt("Options\\x", "b", 1));
  EXPECT_FALSE(store.WriteString(nullptr, "b", "x"));
}

int timesTold = 0;

// In a child: two stores change a value; exits 0 when the file at `file`
// still holds `text`, nothing else is beside it and the user was told
// `told` times.
[[noreturn]] void WriteTwice(const fs::path& file, const std::string& text, int told) {
  messageBoxHook = [](const QString&, int) { return ++timesTold; };
  for (int run = 0; run < 2; ++run) {
    CSettingsStore store;
    store.OpenSoftwareKey(kSettingsCurrentUser);
    store.Open(kSettingsCompany, kSettingsApplication);
    store.WriteInt("Options", "Sound", run + 1);
  }
  CSettingsStore store;
  store.OpenSoftwareKey(kSettingsCurrentUser);
  store.Open(kSettingsCompany, kSettingsApplication);
  const bool kept = text.empty() ? store.GetInt("Options", "Sound", 0) == 2
                                 : ReadWholeFile(file) == text;
  const bool alone =
      std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()) == 1;
  std::_Exit(kept && alone && timesTold == told ? 0 : 1);
}

[[noreturn]] void WriteTwiceUnderLimit(const fs::path& file, const std::string& text) {
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{100, 100};
  setrlimit(RLIMIT_FSIZE, &limit);
  WriteTwice(file, text, 1);
}

// Changes that cannot reach the file (here a file size limit cuts the write
// short) leave the previous file and are told once per run; a damaged file
// that is written over is no failure.
TEST_F(SettingsStoreTest, ChangesThatCannotBeWrittenKeepTheFileAndAreToldOnce) {
  std::string text = "[Options]\n";
  for (int i = 0; i < 40; ++i) text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  WriteProgramFile(text);
  EXPECT_EXIT(WriteTwiceUnderLimit(ProgramFile(), text), testing::ExitedWithCode(0), "");
  WriteProgramFile("[Options\n=\n\x01\x02 garbage\n");
  // The copy an earlier version kept while writing goes once a file is whole.
  std::ofstream(ProgramFile().string() + ".previous") << "[Options]\nSound=0\n";
  EXPECT_EXIT(WriteTwice(ProgramFile(), "", 0), testing::ExitedWithCode(0), "");
  // A file in the place of the settings folder: nothing can be saved, and
  // that is told once too.
  fs::remove_all(root_ / "Vorelk");
  std::ofstream(root_ / "Vorelk") << "x";
  EXPECT_EXIT(WriteTwice(root_ / "Vorelk", "x", 1), testing::ExitedWithCode(0), "");
}

TEST_F(SettingsStoreTest, UnreadableOrUnopenedStoreGivesDefaults) {
  // The file's place is taken by a folder: nothing can be read from it.
  fs::create_directories(ProgramFile());
  {
    CSettingsStore store;
    OpenProgramStore(store);
    EXPECT_EQ(store.GetInt("Options", "Board size", 1), 1);
    std::string text;
    store.GetString(text, "Options", "Book1", "USERVKBOOK");
    EXPECT_EQ(text, "USERVKBOOK");
  }
  // A store that was never opened on a company.
  CSettingsStore store(kSettingsNoRoot);
  EXPECT_FALSE(store.OpenFailed());
  EXPECT_TRUE(store.FilePath().empty());
  EXPECT_EQ(store.GetInt("Options", "Board size", 3), 3);
  EXPECT_FALSE(store.WriteInt("Options", "Board size", 2));
  EXPECT_FALSE(store.WriteString("Options", "Book1", "X"));
  EXPECT_FALSE(store.Open(kSettingsCompany, kSettingsApplication));  // no root yet
  EXPECT_FALSE(store.Open(nullptr, kSettingsApplication));
  EXPECT_FALSE(store.Open("../escape", kSettingsApplication));
}

TEST_F(SettingsStoreTest, DeletingEntriesAndSections) {
  {
    CSettingsStore store;
    OpenProgramStore(store);
    store.WriteString("Options", "Book1", "MYBOOK");
    EXPECT_TRUE(store.WriteString("Options", "Book1", nullptr));
    std::string text;
    store.GetString(text, "Options", "Book1", "USERVKBOOK");
    EXPECT_EQ(text, "USERVKBOOK");
    // Deleting what is not there is harmless.
    EXPECT_TRUE(store.WriteString("Options", "Book1", nullptr));
    EXPECT_TRUE(store.WriteString("Analyze", nullptr, nullptr));
    // An empty or missing section name never deletes everything.
    store.WriteInt("Options", "Sound", 1);
    EXPECT_FALSE(store.WriteString("", nullptr, nullptr));
    EXPECT_FALSE(store.WriteString(nullptr, nullptr, nullptr));
    EXPECT_EQ(store.GetInt("Options", "Sound", 0), 1);
  }

  // The settings a user has after a while.
  {
    CSettingsStore store;
    OpenProgramStore(store);
    store.WriteString("Windows placement", "MainWindow", "0,1,-1,-1,-1,-1,10,20,650,720");
    store.WriteString("Windows placement", "Clock", "0,1,-1,-1,-1,-1,1,2,3,4");
    store.WriteInt("Pieces Value", "Chariot", 1300);
    store.WriteInt("Search", "Depth", 9);
    store.WriteInt("Options", "Board size", 2);
    store.WriteInt("Options", "Language", 3);
    store.WriteString("Options", "Book1", "MYBOOK");
    store.WriteInt("Options", "Book Mode 1", 3);
    store.WriteInt("Options", "ClockWindow", 0);
  }
  // Start-up with Shift held: six sections go, seven options are rewritten.
  {
    CSettingsStore store;
    OpenProgramStore(store);
    for (const char* section : {"Vorelk Freeware 2.5", "Windows placement", "Analyze", "Database",
                                "Pieces Value", "Search"}) {
      EXPECT_TRUE(store.WriteString(section, nullptr, nullptr)) << section;
    }
    store.WriteInt("Options", "ClockWindow", 1);
    store.WriteInt("Options", "BarGraphWindow", 1);
    store.WriteInt("Options", "GameListWindow", 1);
    store.WriteString("Options", "Book1", "USERVKBOOK");
    store.WriteString("Options", "Book2", "VKBOOK");
    store.WriteInt("Options", "Book Mode 1", 0);
    store.WriteInt("Options", "Book Mode 2", 1);
  }
  CopyProgramFileTo("Copy");
  for (const char* company : {kSettingsCompany, "Copy"}) {
    SCOPED_TRACE(company);
    CSettingsStore store;
    ASSERT_TRUE(store.Open(company, kSettingsApplication));
    std::string text;
    store.GetString(text, "Windows placement", "MainWindow", "");
    EXPECT_EQ(text, "");
    store.GetString(text, "Windows placement", "Clock", "");
    EXPECT_EQ(text, "");
    EXPECT_EQ(store.GetInt("Pieces Value", "Chariot", 0), 0);
    EXPECT_EQ(store.GetInt("Search", "Depth", 4), 4);
    EXPECT_EQ(store.GetInt("Options", "Board size", 1), 2);
    EXPECT_EQ(store.GetInt("Options", "Language", 7), 3);
    EXPECT_EQ(store.GetInt("Options", "ClockWindow", 0), 1);
    EXPECT_EQ(store.GetInt("Options", "Book Mode 1", 5), 0);
    store.GetString(text, "Options", "Book1", "");
    EXPECT_EQ(text, "USERVKBOOK");
  }
}

// Stores opened one after another share what the process read of the file
// while it is unchanged; a file changed on disk in between (here in place,
// at once and to the same size, so that its times and size may not tell)
// is read again.
TEST_F(SettingsStoreTest, AFileChangedOnDiskBetweenStoresIsReadAgain) {
  for (const char* sound : {"1", "2", "3"}) {
    WriteProgramFile(std::string("[Options]\nSound=") + sound + "\n");
    CSettingsStore store;
    OpenProgramStore(store);
    EXPECT_EQ(store.GetInt("Options", "Sound", 0), std::stoi(sound));
  }
  // A write of the process reads the file as it is on disk too.
  {
    CSettingsStore store;
    OpenProgramStore(store);
    WriteProgramFile("[Options]\nSound=4\nBook1=X\n");
    EXPECT_TRUE(store.WriteInt("Options", "Board size", 2));
  }
  EXPECT_EQ(ReadWholeFile(ProgramFile()), "[Options]\nSound=4\nBook1=X\nBoard%20size=2\n");
}

TEST_F(SettingsStoreTest, RangeCheckedReadsFallBackToTheDefault) {
  WriteProgramFile(
      "[Options]\n"
      "Board size=-1\n"
      "Pieces Set=3\n"
      "Language=9\n"
      "Board type=0\n"
      "Board coordinate=2\n"
      "Animation Speed=junk\n");
  CSettingsStore store;
  OpenProgramStore(store);
  EXPECT_EQ(store.GetIntInRange("Options", "Board size", 1, 0, 2), 1);
  EXPECT_EQ(store.GetIntInRange("Options", "Pieces Set", 2, 0, 3), 3);
  EXPECT_EQ(store.GetIntInRange("Options", "Language", 7, 0, 7), 7);
  // Both bounds are inclusive.
  EXPECT_EQ(store.GetIntInRange("Options", "Board type", 7, 0, 9), 0);
  EXPECT_EQ(store.GetIntInRange("Options", "Board coordinate", 0, 0, 2), 2);
  EXPECT_EQ(store.GetIntInRange("Options", "Board coordinate", 0, 0, 1), 0);
  EXPECT_EQ(store.GetIntInRange("Options", "Animation Speed", 2, 0, 4), 2);
  EXPECT_EQ(store.GetIntInRange("Options", "Never written", 5, 0, 4), 5);
  // A written value outside the range is refused on the next read too.
  store.WriteInt("Options", "Board size", 3);
  EXPECT_EQ(store.GetIntInRange("Options", "Board size", 1, 0, 2), 1);
  EXPECT_EQ(store.GetInt("Options", "Board size", 1), 3);
}

// A file up to the most the program reads, in bytes and in lines (each
// line end, "\n", "\r\n" or a lone "\r", ends one line), is read and
// written; one byte or one line more and it is neither read nor written
// over.
TEST_F(SettingsStoreTest, FilesBeyondWhatTheProgramReadsAreLeftUnreadAndUnwritten) {
  const std::string head = "[Options]\nLanguage=2\n";
  const size_t lines = kSettingsFileMostLines - 2;  // besides the head's
  const size_t bytes = kSettingsFileMostBytes - head.size();
  const auto comment = [](size_t size) { return ";" + std::string(size - 2, 'x') + "\n"; };
  const auto repeated = [](const std::string& line, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i) text += line;
    return text;
  };
  const struct {
    const char* name;
    std::string file;
    bool read;
  } rows[] = {
      {"the most lines", head + repeated("\n", lines), true},
      {"one line more", head + repeated("\n", lines + 1), false},
      {"the most lines, CRLF", head + repeated("\r\n", lines), true},
      {"one line more, CR", head + repeated("\r", lines + 1), false},
      {"one line more, the last without its end", head + repeated("\n", lines) + "x", false},
      {"the most bytes", head + comment(bytes), true},
      {"one byte more", head + comment(bytes + 1), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WriteProgramFile(row.file);
    {
      CSettingsStore store;
      OpenProgramStore(store);
      EXPECT_EQ(store.GetInt("Options", "Language", -1), row.read ? 2 : -1);
      EXPECT_EQ(store.WriteInt("Options", "Language", 3), row.read);
    }
    const std::string after = ReadWholeFile(ProgramFile());
    if (row.read) {
      EXPECT_EQ(after.substr(0, head.size()), "[Options]\nLanguage=3\n");
    } else {
      EXPECT_TRUE(after == row.file) << "the file was written over";
    }
  }
}

// Changes that would take a file past the most the program reads, in bytes
// on disk (UTF-16 takes two a character) or in lines, are not written, so
// that the program never writes a file it will not read back: the file
// stays as it is. Changes that keep it within are written, up to the very
// limit, by a store of their own or at the end of a batch. Nor is a file
// written over that grew past the limit on disk after it was read.
TEST_F(SettingsStoreTest, ChangesThatWouldTakeTheFilePastWhatIsReadAreNotWritten) {
  constexpr size_t kBytes = kSettingsFileMostBytes;
  constexpr size_t kLines = kSettingsFileMostLines;
  // "[Options]", "Language=2", blank lines and a note: `bytes` and `lines`.
  const auto file = [](size_t bytes, size_t lines) {
    std::string text = "[Options]\nLanguage=2\n" + std::string(lines - 3, '\n');
    return text + ";" + std::string(bytes - text.size() - 2, 'x') + "\n";
  };
  const auto utf16 = [&](size_t bytes) {
    std::string text = "\xFF\xFE";
    for (const char c : file(bytes / 2 - 1, 3)) text += std::string{c, '\0'};
    return text;
  };
  const struct {
    const char* name;
    std::string file;
    const char* entry;  // in "Options", given `value`
    const char* value;
    bool batch;
    bool written;
    std::string grownTo = {};  // the file on disk before the write, when not empty
  } rows[] = {
      {"the most bytes, a value as long", file(kBytes, 3), "Language", "3", false, true},
      {"the most bytes, a value one byte longer", file(kBytes, 3), "Language", "33", false, false},
      {"one byte below, one byte longer", file(kBytes - 1, 3), "Language", "33", false, true},
      {"one byte below, two longer, in a batch", file(kBytes - 1, 3), "Language", "333", true,
       false},
      {"one byte below, a new entry, in a batch", file(kBytes - 1, 3), "Sound", "1", true, false},
      {"a line below the most, a new entry", file(200000, kLines - 1), "Sound", "1", false, true},
      {"the most lines, a new entry", file(200000, kLines), "Sound", "1", false, false},
      {"the most lines, a new entry, in a batch", file(200000, kLines), "Sound", "1", true, false},
      {"the most lines, a value changed", file(200000, kLines), "Language", "3", false, true},
      {"UTF-16, two bytes below, a character longer", utf16(kBytes - 2), "Language", "33", false,
       true},
      {"UTF-16, the most bytes, a character longer", utf16(kBytes), "Language", "33", false, false},
      {"grown past the most bytes on disk", file(1000, 3), "Language", "3", false, false,
       file(kBytes + 1, 3)},
      {"grown past the most lines on disk", file(1000, 3), "Language", "3", true, false,
       file(200000, kLines + 1)},
  };
  int number = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    // A file of each row's own: a change that was not written stays pending
    // for the next write of its file.
    const std::string company = "Row" + std::to_string(number++);
    const fs::path path = root_ / company / "Vorelk Freeware 2.5.ini";
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << row.file;
    {
      std::optional<CSettingsBatch> batch;
      if (row.batch) batch.emplace();
      {
        CSettingsStore store;
        ASSERT_TRUE(store.Open(company.c_str(), kSettingsApplication));
        ASSERT_EQ(store.GetInt("Options", "Language", -1), 2);
        ASSERT_TRUE(store.WriteString("Options", row.entry, row.value));
        if (!row.grownTo.empty()) std::ofstream(path, std::ios::binary) << row.grownTo;
      }
    }
    const std::string after = ReadWholeFile(path);
    const std::string& before = row.grownTo.empty() ? row.file : row.grownTo;
    EXPECT_EQ(after != before, row.written);
    EXPECT_LE(after.size(), std::max(before.size(), kBytes));
    if (row.written) {
      CSettingsStore store;
      ASSERT_TRUE(store.Open(company.c_str(), kSettingsApplication));
      std::string value;
      store.GetString(value, "Options", row.entry);
      EXPECT_EQ(value, row.value) << "read back";
    }
  }
}

}  // namespace
