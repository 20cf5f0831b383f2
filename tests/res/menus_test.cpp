// The menu resources: the six menu bars agree on their ids, every text
// survives the trip to its code page and back, and the ids and English texts
// are the program's own.
#include <iconv.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "res/menus.h"

namespace {

// The shape of a menu with its ids: "P" for a sub-menu, "S" for a separator,
// the id for an item, "E" for the end of a sub-menu.
std::vector<std::string> Shape(const MenuNode* nodes, size_t count) {
  std::vector<std::string> shape;
  for (size_t i = 0; i < count; ++i) {
    switch (nodes[i].kind) {
      case MenuNodeKind::kItem: shape.push_back(std::to_string(nodes[i].command)); break;
      case MenuNodeKind::kSeparator: shape.push_back("S"); break;
      case MenuNodeKind::kPopup: shape.push_back("P"); break;
      case MenuNodeKind::kEnd: shape.push_back("E"); break;
    }
  }
  return shape;
}

bool Convert(const char* from, const char* to, const std::string& in, std::string* out) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string buffer(in.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = buffer.data();
  size_t dstLeft = buffer.size();
  size_t result = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1) || srcLeft != 0) return false;
  buffer.resize(buffer.size() - dstLeft);
  *out = buffer;
  return true;
}

// Finds the item of a command in a menu; returns its text row or
// kMenuTextCount.
MenuTextId TextOf(const MenuResource& menu, int command) {
  for (size_t i = 0; i < menu.nodeCount; ++i) {
    if (menu.nodes[i].kind == MenuNodeKind::kItem && menu.nodes[i].command == command) {
      return menu.nodes[i].text;
    }
  }
  return kMenuTextCount;
}

TEST(MenuResources, MenuBarsHaveTheSameIdsInTheSamePlaces) {
  const int ids[6] = {101, 100, 103, 102, 170, 179};
  const MenuResource* english = FindMenuResource(100);
  ASSERT_NE(english, nullptr);
  std::vector<std::string> reference = Shape(english->nodes, english->nodeCount);
  for (int language = 0; language < 6; ++language) {
    EXPECT_EQ(MenuBarIdForLanguage(language), ids[language]);
    const MenuResource* menu = FindMenuResource(ids[language]);
    ASSERT_NE(menu, nullptr) << ids[language];
    EXPECT_EQ(menu->language, language);
    EXPECT_EQ(Shape(menu->nodes, menu->nodeCount), reference) << ids[language];
  }
  EXPECT_EQ(MenuBarIdForLanguage(6), 0);
  EXPECT_EQ(MenuBarIdForLanguage(-1), 0);
  EXPECT_EQ(FindMenuResource(104), nullptr);
}

TEST(MenuResources, EveryMenuIsBalancedAndItsIdsAreUnique) {
  std::vector<MenuNodeList> lists;
  for (size_t r = 0; r < kMenuResourceCount; ++r) {
    lists.push_back({kMenuResources[r].nodes, kMenuResources[r].nodeCount});
  }
  lists.push_back(BoardPopupMenu(false));
  lists.push_back(BoardPopupMenu(true));
  lists.push_back(ClockPopupMenu());
  lists.push_back(CommentsPopupMenu());
  for (const MenuNodeList& list : lists) {
    int depth = 0;
    std::set<int> seen;
    for (size_t i = 0; i < list.nodeCount; ++i) {
      const MenuNode& node = list.nodes[i];
      if (node.kind == MenuNodeKind::kPopup) ++depth;
      if (node.kind == MenuNodeKind::kEnd) --depth;
      ASSERT_GE(depth, 0);
      if (node.kind == MenuNodeKind::kItem) {
        EXPECT_TRUE(seen.insert(node.command).second) << "duplicate id " << node.command;
        EXPECT_NE(node.command, 0);
      }
      if (node.kind == MenuNodeKind::kItem || node.kind == MenuNodeKind::kPopup) {
        EXPECT_LT(node.text, kMenuTextCount);
      }
    }
    EXPECT_EQ(depth, 0);
  }
}

// The access key of a menu text: the character after a single "&" ("&&"
// is a plain "&"), lower-cased; empty when there is none.
std::string AccessKey(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    std::string key = text.substr(i + 1, 1);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
  }
  return std::string();
}

// Alt + a letter opens one menu: every title of each language's menu bar
// has an access key of its own.
TEST(MenuResources, EveryMenuBarTitleHasItsOwnAccessKey) {
  for (int language = 0; language < 6; ++language) {
    const MenuResource* menu = FindMenuResource(MenuBarIdForLanguage(language));
    ASSERT_NE(menu, nullptr) << language;
    std::set<std::string> keys;
    int depth = 0, titles = 0;
    for (size_t i = 0; i < menu->nodeCount; ++i) {
      const MenuNode& node = menu->nodes[i];
      if (depth == 0 && node.kind != MenuNodeKind::kEnd) {
        const std::string text = kMenuTextRows[node.text].utf8[language];
        const std::string key = AccessKey(text);
        EXPECT_FALSE(key.empty()) << language << " " << text;
        EXPECT_TRUE(keys.insert(key).second) << language << " " << text << ": " << key;
        ++titles;
      }
      if (node.kind == MenuNodeKind::kPopup) ++depth;
      if (node.kind == MenuNodeKind::kEnd) --depth;
    }
    EXPECT_GE(titles, 6) << language;
  }
}

TEST(MenuResources, EveryTextConvertsLosslesslyToItsCodePage) {
  for (int row = 0; row < kMenuTextCount; ++row) {
    for (int language = 0; language < 6; ++language) {
      const MenuTextRow& text = kMenuTextRows[row];
      SCOPED_TRACE(std::to_string(row) + "/" + std::to_string(language) + " " + text.utf8[language]);
      ASSERT_GT(std::strlen(text.utf8[language]), 0u);
      const char* page = CodePageName(text.codePage[language]);
      std::string local, back;
      ASSERT_TRUE(Convert("UTF-8", page, text.utf8[language], &local));
      EXPECT_EQ(local, text.local[language]);
      ASSERT_TRUE(Convert(page, "UTF-8", text.local[language], &back));
      EXPECT_EQ(back, text.utf8[language]);
      EXPECT_STREQ(MenuText(static_cast<MenuTextId>(row), language), text.local[language]);
    }
  }
}

TEST(MenuResources, TextsUseTheCodePageOfTheirLanguage) {
  EXPECT_EQ(MenuTextCodePage(kMenuTextNewGame, 0), CodePage::kWindows1252);
  EXPECT_EQ(MenuTextCodePage(kMenuTextNewGame, 3), CodePage::kWindows1252);
  EXPECT_EQ(MenuTextCodePage(kMenuTextNewGame, 4), CodePage::kGbk);
  EXPECT_EQ(MenuTextCodePage(kMenuTextNewGame, 5), CodePage::kBig5);
  // Language names keep their own script in every menu.
  EXPECT_EQ(MenuTextCodePage(kMenuTextSimplifiedChinese, 0), CodePage::kGbk);
  EXPECT_EQ(MenuTextCodePage(kMenuTextTraditionalChinese, 1), CodePage::kBig5);
  EXPECT_EQ(MenuTextCodePage(kMenuTextFrench, 4), CodePage::kWindows1252);
  EXPECT_STREQ(MenuText(kMenuTextFrench, 5), "Fran\xE7" "ais");
  // The Chinese menu bars are not the Latin texts again.
  EXPECT_STRNE(MenuText(kMenuTextNewGame, 4), MenuText(kMenuTextNewGame, 1));
  EXPECT_STRNE(MenuText(kMenuTextNewGame, 5), MenuText(kMenuTextNewGame, 4));
}

TEST(MenuResources, CommandIdsHaveTheirNumbers) {
  EXPECT_EQ(kCmdLoadGame, 40001);
  EXPECT_EQ(kCmdSaveGame, 40003);
  EXPECT_EQ(kCmdNewGame, 40009);
  EXPECT_EQ(kCmdStopThinking, 40017);
  EXPECT_EQ(kCmdPlayCurrentPosition, 40019);
  EXPECT_EQ(kCmdLevel2MinPerGame, 40035);
  EXPECT_EQ(kCmdHandicapChariotCannonKnight, 40050);
  EXPECT_EQ(kCmdNotationWxfChinese, 40179);
  EXPECT_EQ(kCmdNotationAxfChinese, 40180);
  EXPECT_EQ(kCmdBoardSizeSmall, 40183);
  EXPECT_EQ(kCmdLanguageTraditionalChinese, 40191);
  EXPECT_EQ(kCmdPriorityNormal, 40194);
  EXPECT_EQ(kCmdPriorityLow, 40195);
  EXPECT_EQ(kCmdAddBlackCannon, 40094);
  EXPECT_EQ(kCmdAddBlackElephant, 40095);
  EXPECT_EQ(kCmdPrintGraphicalMoveList, 40198);
  EXPECT_EQ(kCmdCopyCcFenPosition, 40199);
  EXPECT_EQ(kCmdExit, 111);
  EXPECT_EQ(kCmdAbout, 112);
  EXPECT_EQ(kCmdTiming, 110);
}

TEST(MenuResources, CommandsWithoutMenuItemStayOutOfTheMenuBar) {
  const MenuResource& english = *FindMenuResource(100);
  for (int command : {kCmdLevel5SecondsPerMove, kCmdLevel5MinPerGame, kCmdTiming,
                      kCmdProperties, kCmdEngineIdle, kCmdAutomove}) {
    EXPECT_EQ(TextOf(english, command), kMenuTextCount) << command;
  }
}

TEST(MenuResources, EnglishTextsAreThoseOfTheProgram) {
  const MenuResource& english = *FindMenuResource(100);
  struct Case { int command; const char* text; };
  const Case cases[] = {
      {40001, "&Load Game..."}, {40003, "&Save game..."}, {40009, "&New game"},
      {40073, "Goto move..."}, {40019, "Play on the current position !"},
      {40017, "Stop thinking !"}, {40005, "&Ponder"}, {40025, "Beginner ( ELO 1300 )"},
      {40031, "1 second / move"}, {40035, "2 min / game"},
      {40050, "1 chariot, 1 cannon and 1 knight"}, {40004, "&Vertical Symmetry"},
      {40118, "Use transparency"}, {40180, "AXF ( Chinese )"}, {40129, "Coordinates CXQ"},
      {40181, "Translate names from chinese to  pinyin"}, {40067, "Fran\xE7" "ais"},
      {40120, "Espa\xF1" "ol"}, {40008, "&Clock"}, {40136, "Mini Clock"},
      {40198, "Print graphical movelist..."}, {40199, "CC FEN position"},
      {111, "&Exit"}, {112, "&About Vorelk..."}, {40012, "1 move"}, {40016, "All"},
  };
  for (const Case& c : cases) {
    MenuTextId text = TextOf(english, c.command);
    ASSERT_NE(text, kMenuTextCount) << c.command;
    EXPECT_STREQ(MenuText(text, 1), c.text) << c.command;
  }
}

TEST(MenuResources, LevelMenuHasFiveGroups) {
  const MenuResource& english = *FindMenuResource(100);
  std::vector<std::string> shape = Shape(english.nodes, english.nodeCount);
  std::vector<std::string> level;
  size_t i = 0;
  while (i < shape.size() && shape[i] != "40107") ++i;
  for (; i < shape.size() && shape[i] != "E"; ++i) level.push_back(shape[i]);
  const std::vector<std::string> expected = {
      "40107", "40109", "40117", "S", "40025", "40026", "40027", "S",
      "40028", "40029", "40030", "S", "40031", "40032", "S",     "40035"};
  EXPECT_EQ(level, expected);
}

TEST(MenuResources, DropDownMenusFollowTheButtonAndLanguage) {
  EXPECT_EQ(DropDownMenuIdForCommand(40099, 1), 167);
  EXPECT_EQ(DropDownMenuIdForCommand(40100, 1), 169);
  EXPECT_EQ(DropDownMenuIdForCommand(40151, 1), 168);
  EXPECT_EQ(DropDownMenuIdForCommand(40185, 1), 177);
  EXPECT_EQ(DropDownMenuIdForCommand(40185, 5), 177);
  EXPECT_EQ(DropDownMenuIdForCommand(40185, 4), 178);
  EXPECT_EQ(DropDownMenuIdForCommand(40009, 1), 0);
  const MenuResource* small = FindMenuResource(177);
  const MenuResource* chinese = FindMenuResource(178);
  ASSERT_NE(small, nullptr);
  ASSERT_NE(chinese, nullptr);
  EXPECT_EQ(Shape(small->nodes, small->nodeCount), Shape(chinese->nodes, chinese->nodeCount));
  EXPECT_STREQ(MenuText(TextOf(*small, 40183), small->language), "Small");
  EXPECT_EQ(MenuTextCodePage(TextOf(*chinese, 40183), chinese->language), CodePage::kGbk);
  const MenuResource& boards = *FindMenuResource(169);
  EXPECT_STREQ(MenuText(TextOf(boards, 40165), boards.language), "Gray");
  EXPECT_STREQ(MenuText(TextOf(boards, 40166), boards.language), "custom...");
  const MenuResource& pieces = *FindMenuResource(167);
  EXPECT_STREQ(MenuText(TextOf(pieces, 40143), pieces.language), "Old Pemmet");
  EXPECT_NE(TextOf(pieces, 40192), kMenuTextCount);
  EXPECT_EQ(Shape(FindMenuResource(168)->nodes, 8),
            (std::vector<std::string>{"P", "40067", "40068", "40120", "40121", "40168", "40191", "E"}));
}

TEST(MenuResources, PopupMenusOfTheWindows) {
  MenuNodeList outside = BoardPopupMenu(false);
  ASSERT_EQ(outside.nodeCount, 1u);
  EXPECT_EQ(outside.nodes[0].command, 40051);
  EXPECT_STREQ(MenuText(outside.nodes[0].text, 1), "Setup position");
  MenuNodeList inside = BoardPopupMenu(true);
  EXPECT_EQ(Shape(inside.nodes, inside.nodeCount),
            (std::vector<std::string>{"40052", "S", "40085", "40104", "40126", "S", "40086",
                                      "40087", "40088", "40089", "40090", "40091", "S", "40092",
                                      "40093", "40095", "40096", "40094", "40097"}));
  EXPECT_STREQ(MenuText(inside.nodes[18].text, 1), "Add black chariot");
  MenuNodeList clock = ClockPopupMenu();
  ASSERT_EQ(clock.nodeCount, 2u);
  EXPECT_EQ(clock.nodes[0].command, 101);
  EXPECT_STREQ(MenuText(clock.nodes[0].text, 4), "Pause");
  MenuNodeList comments = CommentsPopupMenu();
  ASSERT_EQ(comments.nodeCount, 8u);
  EXPECT_STREQ(MenuText(comments.nodes[0].text, 1), "\" \"");
  EXPECT_STREQ(MenuText(comments.nodes[1].text, 1), "??");
  EXPECT_STREQ(MenuText(comments.nodes[7].text, 2), "Reset comments");
  EXPECT_EQ(comments.nodes[7].command, 106);
}

}  // namespace
