// Settings files of other shapes through the program's start-up and exit,
// twice, each start in a process of its own: unmarked UTF-16 files with a
// damaged unit, symbolic links in the settings file's place, 50 MB of short
// entries under an address space limit and under a memory control group,
// data folders whose path is not UTF-8, and files at and just below the
// most bytes or lines the program reads, which it must never write past.
// Each start shows the message it should (or none) and asks for the
// language or not, in their order, runs to its window and exit in the
// language it should, and restores the game the first start left; after
// each exit the bytes on disk are checked and the links are still there.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "app/chess_app.h"
#include "engine/position/position.h"
#include "engine/search/data_paths.h"
#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"
#include "tests/support/address_limit.h"
#include "tests/support/app_scenario.h"
#include "tests/support/file_bytes.h"
#include "tests/support/offscreen_app.h"
#include "windows/language_dlg.h"

namespace fs = std::filesystem;

namespace {

using testing_support::Check;
using testing_support::CloseFrame;
using testing_support::ReadFileText;

constexpr uint64_t kGiB = uint64_t{1} << 30;

enum class Limit { kNone, kAddressSpace, kMemoryGroup };

// What a start shows, in order: each message's text, and the language
// chooser as kChooser.
std::vector<QString> shown;
const QString kChooser = QStringLiteral("<the language chooser>");

enum class Shown { kMessage, kChooser };

// Little-endian UTF-16 bytes of a text, or big-endian ones.
std::string Utf16(const std::u16string& text, bool littleEndian) {
  std::string bytes;
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += littleEndian ? low : high;
    bytes += littleEndian ? high : low;
  }
  return bytes;
}

// A German file of `bytes` bytes and `lines` lines ("\n" ends each): the
// language, blank lines, and one long note after ';'.
std::string GermanWithNotes(size_t bytes, size_t lines) {
  std::string text = "[Options]\nLanguage=3\n";
  text += std::string(lines - 3, '\n');
  text += ";" + std::string(bytes - text.size() - 2, 'x') + "\n";
  return text;
}

// The same in little-endian UTF-16 with its byte-order mark: `bytes` bytes
// on disk.
std::string GermanWithNotesInUtf16(size_t bytes) {
  const std::string text = GermanWithNotes(bytes / 2 - 1, 3);
  return Utf16(u"\xFEFF" + std::u16string(text.begin(), text.end()), true);
}

// English and then 50 MB of entries "k0=1", "k1=1"...
std::string ShortEntries() {
  std::string text = "[Options]\nLanguage=1\n";
  text.reserve(50 << 20);
  for (int i = 0; text.size() < (50u << 20); ++i) text += "k" + std::to_string(i) + "=1\n";
  return text;
}

struct Shape {
  const char* name;
  // The settings file's bytes before the first start; none: no file.
  std::function<std::string()> file = nullptr;
  // The settings file's place holds a link to links[0], each link leads to
  // the next, and the last names the file (names relative to the settings
  // folder); none: the place holds the file.
  std::vector<std::string> links = {};
  Limit limit = Limit::kNone;
  // The message each start shows; none when null.
  const TextRow* message = nullptr;
  // A line the file holds after each exit; none: its bytes are as before.
  std::string holds = {};
  // The data folder's name in the test's folder.
  std::string dataFolder = "data";
  // What the first and the second start show, in order; the message alone
  // when empty.
  std::vector<Shown> shows[2] = {};
  // The language each start runs in (the chooser is left, giving English).
  int32_t language = kLanguageEnglish;
  // Shift is held at the first start (the settings reset).
  bool shiftFirst = false;
};

// The text of a settings message about the file `name`.
QString MessageText(const TextRow& row, const QString& name) {
  if (&row == &kTextSettingsTooLarge || &row == &kTextSettingsWouldBeTooLarge)
    return TrText(row).arg(name).arg(kSettingsFileMostBytes >> 20).arg(kSettingsFileMostLines);
  return TrText(row).arg(name);
}

// One start and exit under the limit: the messages shown and the language
// asked for (and left), in their order, the language, the install folder,
// the game of the first start.
void StartAndExit(const Shape& shape, const std::string& group, const fs::path& settings,
                  const std::string& installFolder, bool first) {
  if (shape.limit == Limit::kAddressSpace) {
    const rlimit limit = {kGiB, kGiB};
    Check(setrlimit(RLIMIT_AS, &limit) == 0, "address space limited");
  }
  if (shape.limit == Limit::kMemoryGroup)
    Check(testing_support::JoinControlGroup(group), "in the memory group");
  testing_support::OffscreenApplication();
  messageBoxHook = [](const QString& text, int) {
    shown.push_back(text);
    return static_cast<int>(kAnswerOk);
  };
  testing_support::AnswerWhenShown<CLanguageDlg>([](CLanguageDlg* dialog) {
    shown.push_back(kChooser);
    dialog->reject();
  });
  if (first && shape.shiftFirst) asyncKeyStateHook = [](int key) { return key == VK_SHIFT; };
  Check(theApp.InitInstance(), "the start runs to its window");
  asyncKeyStateHook = nullptr;
  QCoreApplication::processEvents();
  Check(currentLanguage == shape.language, "the language");
  Check(installFolder == installDirectory, "the install folder of the first start");
  if (first) {
    testing_support::PlayUserMoves({"h2e2"});
  } else {
    Check(gameLength == 1 && testing_support::MoveText(history[1].move) == "h2e2",
          "the first start's game is restored");
  }
  CloseFrame();
  QCoreApplication::processEvents();
  const QString message =
      shape.message ? MessageText(*shape.message, QFile::decodeName(settings.c_str())) : QString();
  std::vector<QString> expected;
  const std::vector<Shown>& shows = shape.shows[first ? 0 : 1];
  for (const Shown what : shows) expected.push_back(what == Shown::kChooser ? kChooser : message);
  if (shows.empty() && shape.message) expected.push_back(message);
  Check(shown == expected, "the message shown once, and the chooser, in order");
  for (const QString& text : shown) std::fprintf(stderr, "shown: %s\n", qPrintable(text));
}

using SettingsShapesTest = testing_support::ScenarioTest;

TEST_F(SettingsShapesTest, SettingsFilesOfOtherShapesThroughTwoStartsAndExits) {
  const auto text = [](std::string bytes) { return [bytes] { return bytes; }; };
  const std::u16string english = u"[Options]\nLanguage=1\nBook1=";
  // A file that is not read is told before the language is asked for; a
  // file that cannot be written is told when it is first written.
  const std::vector<Shown> toldThenAsked = {Shown::kMessage, Shown::kChooser};
  const std::vector<Shown> asked = {Shown::kChooser};
  const std::vector<Shown> askedThenTold = {Shown::kChooser, Shown::kMessage};
  constexpr size_t kBytes = kSettingsFileMostBytes;
  constexpr size_t kLines = kSettingsFileMostLines;
  const Shape shapes[] = {
      {.name = "unmarked little-endian UTF-16, a high surrogate alone",
       .file = text(Utf16(english + u"\xD801x\n", true)),
       .message = &kTextSettingsNotSaved,
       .shows = {toldThenAsked, toldThenAsked}},
      {.name = "unmarked big-endian UTF-16, a low surrogate alone",
       .file = text(Utf16(english + u"\xDC00\n", false)),
       .message = &kTextSettingsNotSaved,
       .shows = {toldThenAsked, toldThenAsked}},
      {.name = "a link to a file",
       .file = text("[Options]\nLanguage=1\n"),
       .links = {"mine.ini"},
       .holds = "InstallDirectory=<data>/Vorelk"},
      {.name = "a link leading nowhere",
       .links = {"mine.ini"},
       .holds = "Language=1",
       .shows = {asked, {}}},
      {.name = "links leading nowhere through another folder",
       .links = {"hop.ini", "../mine.ini"},
       .holds = "Language=1",
       .shows = {asked, {}}},
      {.name = "a link into a missing folder",
       .links = {"missing/mine.ini"},
       .message = &kTextSettingsNotSaved,
       .shows = {askedThenTold, askedThenTold}},
      {.name = "links that go round",
       .links = {"hop.ini", "Vorelk Freeware 2.5.ini"},
       .message = &kTextSettingsNotSaved,
       .shows = {toldThenAsked, toldThenAsked}},
      {.name = "50 MB of short entries under a 1 GiB address space limit",
       .file = ShortEntries,
       .limit = Limit::kAddressSpace,
       .message = &kTextSettingsTooLarge,
       .shows = {toldThenAsked, toldThenAsked}},
      {.name = "50 MB of short entries in a memory group of 1 GiB",
       .file = ShortEntries,
       .limit = Limit::kMemoryGroup,
       .message = &kTextSettingsTooLarge,
       .shows = {toldThenAsked, toldThenAsked}},
      {.name = "a data folder with a Latin-1 byte",
       .holds = "InstallDirectory=@ByteArray(<data>/Vorelk)",
       .dataFolder = "donn\xe9",
       .shows = {asked, {}}},
      // Files the program reads, whose settings would take them past what
      // it reads: kept as they are (with the install folder the start-up
      // writes when it fits), and read again at the next start.
      {.name = "German at the most bytes",
       .file = [] { return GermanWithNotes(kBytes, 3); },
       .message = &kTextSettingsWouldBeTooLarge,
       .language = kLanguageGerman},
      {.name = "German 100 bytes below the most",
       .file = [] { return GermanWithNotes(kBytes - 100, 3); },
       .message = &kTextSettingsWouldBeTooLarge,
       .holds = "InstallDirectory=<data>/Vorelk",
       .language = kLanguageGerman},
      {.name = "German at the most lines",
       .file = [] { return GermanWithNotes(300000, kLines); },
       .message = &kTextSettingsWouldBeTooLarge,
       .language = kLanguageGerman},
      {.name = "German two lines below the most",
       .file = [] { return GermanWithNotes(300000, kLines - 2); },
       .message = &kTextSettingsWouldBeTooLarge,
       .holds = "InstallDirectory=<data>/Vorelk",
       .language = kLanguageGerman},
      {.name = "German in UTF-16 at the most bytes",
       .file = [] { return GermanWithNotesInUtf16(kBytes); },
       .message = &kTextSettingsWouldBeTooLarge,
       .language = kLanguageGerman},
      {.name = "German at the most bytes, Shift held at the first start",
       .file = [] { return GermanWithNotes(kBytes, 3); },
       .message = &kTextSettingsWouldBeTooLarge,
       .language = kLanguageGerman,
       .shiftFirst = true},
      {.name = "German with room for the settings",
       .file = [] { return GermanWithNotes(kBytes - 65536, kLines - 1000); },
       .holds = "InstallDirectory=<data>/Vorelk",
       .language = kLanguageGerman},
      {.name = "German one byte over the most",
       .file = [] { return GermanWithNotes(kBytes + 1, 3); },
       .message = &kTextSettingsTooLarge,
       .shows = {toldThenAsked, toldThenAsked}},
  };
  int number = 0;
  for (const Shape& shape : shapes) {
    SCOPED_TRACE(shape.name);
    if (shape.limit == Limit::kAddressSpace && !testing_support::kAddressLimitUsable) {
      std::cout << "Row left out, " << shape.name << ": no address space limit under this build"
                << std::endl;
      continue;
    }
    std::string group;
    if (shape.limit == Limit::kMemoryGroup) {
      group = testing_support::MakeMemoryGroup(kGiB);
      if (group.empty()) {
        std::cout << "Row left out, " << shape.name << ": no memory control group can be made here"
                  << std::endl;
        continue;
      }
    }
    const fs::path config = root_ / ("config" + std::to_string(number));
    const fs::path data = root_ / (std::to_string(number++) + shape.dataFolder);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    const fs::path folder = config / kSettingsCompany;
    const fs::path settings = folder / (std::string(kSettingsApplication) + ".ini");
    fs::create_directories(folder);
    fs::path file = settings;
    for (const std::string& link : shape.links) {
      fs::create_symlink(link, file);
      file = folder / link;
    }
    if (shape.file) std::ofstream(file, std::ios::binary) << shape.file();
    // The data folder as the settings spell it, its bytes from 0x7F up as
    // escapes (none is followed by a hex digit, which would be escaped too).
    std::string spelt;
    for (const char c : data.string()) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%x", static_cast<unsigned char>(c));
      spelt += static_cast<unsigned char>(c) < 0x7F ? std::string(1, c) : std::string(escape);
    }
    std::string firstExit;
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(round);
      RUN_SCENARIO(StartAndExit(shape, group, settings, (data / "Vorelk").string(), round == 0));
      fs::path end = settings;
      for (const std::string& link : shape.links) {
        EXPECT_TRUE(fs::is_symlink(end) && fs::read_symlink(end) == link) << end << " is kept";
        end = folder / link;
      }
      if (!shape.holds.empty()) {
        std::string line = shape.holds;
        if (line.find("<data>") != std::string::npos) line.replace(line.find("<data>"), 6, spelt);
        const std::string after = ReadFileText(file);
        EXPECT_NE(after.find("\n" + line + "\n"), std::string::npos) << line;
        EXPECT_LE(after.size(), kSettingsFileMostBytes) << "more bytes than the program reads";
        const auto lines = static_cast<size_t>(std::count(after.begin(), after.end(), '\n'));
        EXPECT_LE(lines, kSettingsFileMostLines) << "more lines than the program reads";
        // The second start has nothing new to write.
        if (round == 0) firstExit = after;
        EXPECT_TRUE(after == firstExit) << "the second exit changed the file";
      } else if (shape.file) {
        EXPECT_TRUE(ReadFileText(file) == shape.file()) << "the file was written over";
      } else {
        EXPECT_NE(fs::symlink_status(file).type(), fs::file_type::regular) << "the file was made";
      }
    }
    if (!group.empty()) fs::remove(group);
  }
}

}  // namespace
