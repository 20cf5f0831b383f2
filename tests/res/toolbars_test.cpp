// The toolbar resources: the commands of each list, the tooltip rows and
// their agreement with the UTF-8 table they are generated from.
#include "res/toolbars.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "res/menus.h"
#include "tests/support/run_tool.h"

namespace {

// True when `text` converts from `page` to UTF-8 and back unchanged.
bool RoundTrips(const std::string& text, const char* page) {
  auto convert = [](const std::string& in, const char* from, const char* to, std::string* out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string source = in, buffer(in.size() * 4 + 16, '\0');
    char* src = source.data();
    char* dst = buffer.data();
    size_t srcLeft = source.size(), dstLeft = buffer.size();
    const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) == 0 && srcLeft == 0;
    iconv_close(cd);
    buffer.resize(buffer.size() - dstLeft);
    *out = buffer;
    return ok;
  };
  std::string utf8, back;
  return convert(text, page, "UTF-8", &utf8) && convert(utf8, "UTF-8", page, &back) && back == text;
}

std::vector<int> Commands(int id) {
  std::vector<int> commands;
  const ToolbarResource* resource = FindToolbarResource(id);
  if (resource == nullptr) return commands;
  for (size_t i = 0; i < resource->buttonCount; ++i)
    if (resource->buttons[i].command != 0) commands.push_back(resource->buttons[i].command);
  return commands;
}

TEST(ToolbarResources, ListsCarryTheirCommandsOnce) {
  EXPECT_EQ(FindToolbarResource(99), nullptr);
  const std::vector<int> game = Commands(kToolbarGame);
  const std::vector<int> design = Commands(kToolbarDesign);
  // The options and timing sheets have no menu item: the game toolbar is
  // their only way in.
  const std::set<int> gameNeeds = {kCmdNewGame,
                                   kCmdLoadGame,
                                   kCmdSaveGame,
                                   kCmdTakeBackAll,
                                   kCmdTakeBackOneMove,
                                   kCmdReplayOneMove,
                                   kCmdReplayAll,
                                   kCmdAutomove,
                                   kCmdPlayCurrentPosition,
                                   kCmdStopThinking,
                                   kCmdHint,
                                   kCmdNextBestMove,
                                   kCmdNoComputerMode,
                                   kCmdProperties,
                                   kCmdTiming};
  EXPECT_EQ(std::set<int>(game.begin(), game.end()), gameNeeds);
  EXPECT_EQ(game.size(), gameNeeds.size()) << "a command appears twice";
  const std::set<int> designSet(design.begin(), design.end());
  EXPECT_EQ(designSet.size(), design.size()) << "a command appears twice";
  for (int command : {kCmdPiecesStyle, kCmdBoardStyle, kCmdChangeLanguages, kCmdChangeBoardSize,
                      kCmdVerticalSymmetry, kCmdHorizontalSymmetry})
    EXPECT_EQ(designSet.count(command), 1u) << command;
  // Every drop-down menu has its button on the design toolbar.
  int dropDowns = 0;
  for (int command : design) dropDowns += DropDownMenuIdForCommand(command, 1) != 0 ? 1 : 0;
  EXPECT_EQ(dropDowns, 4);
}

TEST(ToolbarResources, TooltipsAreTheirLanguagesTextsInTheirCodePages) {
  const char* pages[kLanguageCount] = {"WINDOWS-1252", "WINDOWS-1252", "WINDOWS-1252",
                                       "WINDOWS-1252", "GBK",          "BIG5"};
  for (int row = 0; row < kToolbarTextCount; ++row) {
    const auto text = static_cast<ToolbarTextId>(row);
    for (int language = 0; language < kLanguageCount; ++language) {
      SCOPED_TRACE(testing::Message() << "row " << row << " language " << language);
      const char* tip = ToolbarText(text, language);
      ASSERT_NE(tip, nullptr);
      EXPECT_GT(std::strlen(tip), 0u);
      EXPECT_TRUE(RoundTrips(tip, pages[language]));
      // The Chinese entries are double-byte texts, not the English again.
      if (language >= kLanguageSimplifiedChinese) {
        EXPECT_NE(std::string(tip), ToolbarText(text, kLanguageEnglish));
      }
    }
  }
  EXPECT_STREQ(ToolbarText(kToolbarTextTimeControl, kLanguageEnglish), "Time control");
  EXPECT_STREQ(ToolbarText(kToolbarTextTimeControl, kLanguageFrench), "Contr\xF4le du temps");
  EXPECT_EQ(ToolbarText(kToolbarTextCount, kLanguageEnglish), nullptr);
  EXPECT_EQ(ToolbarText(kToolbarTextHint, 6), nullptr);
  EXPECT_EQ(ToolbarText(kToolbarTextHint, -1), nullptr);
}

TEST(ToolbarResources, GeneratorReproducesTheCommittedFiles) {
  const std::string script = testing_support::RepositoryRoot() + "res/tools/make_toolbar_texts.py";
  EXPECT_EQ(testing_support::RunCommand("python3 " + script + " --check").exitCode, 0);
}

}  // namespace
