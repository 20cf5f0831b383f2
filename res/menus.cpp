// The menu trees. The six menu bars share one node list, so every language
// has the same ids in the same places; only the text entries differ.
#include "res/menus.h"

namespace {

constexpr MenuNode Item(uint16_t command, MenuTextId text) {
  return {MenuNodeKind::kItem, command, text};
}
constexpr MenuNode Separator() { return {MenuNodeKind::kSeparator, 0, kMenuTextCount}; }
constexpr MenuNode Popup(MenuTextId title) { return {MenuNodeKind::kPopup, 0, title}; }
constexpr MenuNode End() { return {MenuNodeKind::kEnd, 0, kMenuTextCount}; }

const MenuNode kMenuBar[] = {
    Popup(kMenuTextFile),
      Item(kCmdLoadGame, kMenuTextLoadGame),
      Item(kCmdSaveGame, kMenuTextSaveGame),
      Item(kCmdSaveOnEachMove, kMenuTextSaveOnEachMove),
      Separator(),
      Popup(kMenuTextCopyToClipboard),
        Item(kCmdCopyFenPosition, kMenuTextFenPosition),
        Item(kCmdCopyCcFenPosition, kMenuTextCcFenPosition),
        Item(kCmdCopyChessboard, kMenuTextChessboard),
        Item(kCmdCopyMoveList, kMenuTextMoveList),
      End(),
      Popup(kMenuTextPaste),
        Item(kCmdPasteFenPosition, kMenuTextFenPosition),
      End(),
      Separator(),
      Item(kCmdPrintMoveList, kMenuTextPrintMoveList),
      Item(kCmdPrintGraphicalMoveList, kMenuTextPrintGraphicalMoveList),
      Separator(),
      Item(kCmdExit, kMenuTextExit),
    End(),
    Popup(kMenuTextGame),
      Item(kCmdNewGame, kMenuTextNewGame),
      Separator(),
      Popup(kMenuTextTakeBack),
        Item(kCmdTakeBackOneMove, kMenuTextOneMove),
        Item(kCmdTakeBackAll, kMenuTextAllMoves),
      End(),
      Popup(kMenuTextReplay),
        Item(kCmdReplayOneMove, kMenuTextOneMove),
        Item(kCmdReplayAll, kMenuTextAllMoves),
      End(),
      Item(kCmdGotoMove, kMenuTextGotoMove),
      Separator(),
      Popup(kMenuTextLevel),
        Item(kCmdLevelFirstSteps1, kMenuTextFirstSteps1),
        Item(kCmdLevelFirstSteps2, kMenuTextFirstSteps2),
        Item(kCmdLevelFirstSteps3, kMenuTextFirstSteps3),
        Separator(),
        Item(kCmdLevelBeginner1300, kMenuTextBeginner1300),
        Item(kCmdLevelBeginner1400, kMenuTextBeginner1400),
        Item(kCmdLevelBeginner1500, kMenuTextBeginner1500),
        Separator(),
        Item(kCmdLevelMiddlePlayer, kMenuTextMiddlePlayer),
        Item(kCmdLevelConfirmedPlayer, kMenuTextConfirmedPlayer),
        Item(kCmdLevelAdvancedPlayer, kMenuTextAdvancedPlayer),
        Separator(),
        Item(kCmdLevel1SecondPerMove, kMenuText1SecondPerMove),
        Item(kCmdLevel2SecondsPerMove, kMenuText2SecondsPerMove),
        Separator(),
        Item(kCmdLevel2MinPerGame, kMenuText2MinPerGame),
      End(),
      Popup(kMenuTextHandicap),
        Item(kCmdHandicapNone, kMenuTextHandicapNone),
        Item(kCmdHandicap2Pawns, kMenuTextHandicap2Pawns),
        Item(kCmdHandicap1Knight, kMenuTextHandicap1Knight),
        Item(kCmdHandicap1Cannon, kMenuTextHandicap1Cannon),
        Item(kCmdHandicap2Knights, kMenuTextHandicap2Knights),
        Item(kCmdHandicapCannonKnight, kMenuTextHandicapCannonKnight),
        Item(kCmdHandicapChariot, kMenuTextHandicapChariot),
        Item(kCmdHandicapChariotKnight, kMenuTextHandicapChariotKnight),
        Item(kCmdHandicapChariotCannon, kMenuTextHandicapChariotCannon),
        Item(kCmdHandicapChariotCannonKnight, kMenuTextHandicapChariotCannonKnight),
      End(),
      Item(kCmdBlackIronPawn, kMenuTextBlackIronPawn),
      Item(kCmdRedIronPawn, kMenuTextRedIronPawn),
      Separator(),
      Item(kCmdNoComputerMode, kMenuTextNoComputerMode),
    End(),
    Popup(kMenuTextThinking),
      Item(kCmdPlayCurrentPosition, kMenuTextPlayCurrentPosition),
      Item(kCmdStopThinking, kMenuTextStopThinking),
      Item(kCmdNextBestMove, kMenuTextNextBestMove),
      Item(kCmdHint, kMenuTextHint),
      Separator(),
      Item(kCmdPonder, kMenuTextPonder),
      Item(kCmdShowComputingMoves, kMenuTextShowComputingMoves),
      Separator(),
      Popup(kMenuTextOpeningBook),
        Item(kCmdBookNone, kMenuTextBookNone),
        Item(kCmdBookNormal, kMenuTextBookNormal),
        Item(kCmdBookTournament, kMenuTextBookTournament),
      End(),
    End(),
    Popup(kMenuTextPreferences),
      Popup(kMenuTextBoardSize),
        Item(kCmdBoardSizeSmall, kMenuTextSmall),
        Item(kCmdBoardSizeMedium, kMenuTextMedium),
        Item(kCmdBoardSizeBig, kMenuTextBig),
      End(),
      Item(kCmdVerticalSymmetry, kMenuTextVerticalSymmetry),
      Item(kCmdHorizontalSymmetry, kMenuTextHorizontalSymmetry),
      Item(kCmdPiecesStyle, kMenuTextPiecesStyle),
      Item(kCmdBoardStyle, kMenuTextBoardStyle),
      Separator(),
      Popup(kMenuTextMoveSelection),
        Item(kCmdDragAndDrop, kMenuTextDragAndDrop),
        Item(kCmdClickAndClick, kMenuTextClickAndClick),
      End(),
      Popup(kMenuTextAnimation),
        Item(kCmdAnimationNone, kMenuTextAnimationNone),
        Item(kCmdSlowAnimation, kMenuTextSlowAnimation),
        Item(kCmdFastAnimation, kMenuTextFastAnimation),
        Separator(),
        Item(kCmdUseTransparency, kMenuTextUseTransparency),
      End(),
      Popup(kMenuTextSounds),
        Item(kCmdSoundsNone, kMenuTextSoundsNone),
        Item(kCmdSoundCard, kMenuTextSoundCard),
      End(),
      Separator(),
      Popup(kMenuTextNotation),
        Item(kCmdNotationCoordinate0, kMenuTextCoordinate0),
        Item(kCmdNotationCoordinate1, kMenuTextCoordinate1),
        Item(kCmdNotationWxf, kMenuTextWxf),
        Item(kCmdNotationAxf, kMenuTextAxf),
        Item(kCmdNotationCoordinateCxq, kMenuTextCoordinateCxq),
        Item(kCmdNotationAxfChinese, kMenuTextAxfChinese),
        Item(kCmdNotationWxfChinese, kMenuTextWxfChinese),
      End(),
      Popup(kMenuTextBoardCoordinates),
        Item(kCmdBoardCoordinates0, kMenuTextCoordinates0),
        Item(kCmdBoardCoordinates1, kMenuTextCoordinates1),
        Item(kCmdBoardCoordinatesChinese, kMenuTextCoordinatesChinese),
        Item(kCmdBoardCoordinatesNone, kMenuTextCoordinatesNone),
        Item(kCmdBoardCoordinatesCxq, kMenuTextCoordinatesCxq),
      End(),
      Separator(),
      Popup(kMenuTextLanguage),
        Item(kCmdLanguageFrench, kMenuTextFrench),
        Item(kCmdLanguageEnglish, kMenuTextEnglish),
        Item(kCmdLanguageSpanish, kMenuTextSpanish),
        Item(kCmdLanguageGerman, kMenuTextGerman),
        Item(kCmdLanguageSimplifiedChinese, kMenuTextSimplifiedChinese),
        Item(kCmdLanguageTraditionalChinese, kMenuTextTraditionalChinese),
        Separator(),
        Item(kCmdTranslateNamesToPinyin, kMenuTextTranslateNamesToPinyin),
      End(),
      Separator(),
      Popup(kMenuTextPriorityLevel),
        Item(kCmdPriorityLow, kMenuTextPriorityLow),
        Item(kCmdPriorityNormal, kMenuTextPriorityNormal),
      End(),
    End(),
    Popup(kMenuTextWindows),
      Item(kCmdClock, kMenuTextClock),
      Item(kCmdMiniClock, kMenuTextMiniClock),
      Item(kCmdGameList, kMenuTextGameList),
      Item(kCmdGameStatus, kMenuTextGameStatus),
      Item(kCmdComments, kMenuTextComments),
      Separator(),
      Item(kCmdGameToolbar, kMenuTextGameToolbar),
      Item(kCmdDesignToolbar, kMenuTextDesignToolbar),
    End(),
    Popup(kMenuTextHelp),
      Item(kCmdAbout, kMenuTextAbout),
    End(),
};

const MenuNode kPiecesDropDown[] = {
    Popup(kMenuTextPieces),
      Item(kCmdPiecesBasic, kMenuTextPiecesBasic),
      Item(kCmdPiecesOldPemmet, kMenuTextPiecesOldPemmet),
      Item(kCmdPiecesSepa, kMenuTextPiecesSepa),
      Item(kCmdPiecesSimpleGraphics, kMenuTextPiecesSimpleGraphics),
      Separator(),
      Item(kCmdPiecesSet5, kMenuTextPiecesSet5),
      Item(kCmdPiecesSet6, kMenuTextPiecesSet6),
      Item(kCmdPiecesSet7, kMenuTextPiecesSet7),
      Item(kCmdPiecesSet8, kMenuTextPiecesSet8),
      Item(kCmdPiecesSet9, kMenuTextPiecesSet9),
      Item(kCmdPiecesSet10, kMenuTextPiecesSet10),
    End(),
};

const MenuNode kLanguagesDropDown[] = {
    Popup(kMenuTextLanguages),
      Item(kCmdLanguageFrench, kMenuTextFrench),
      Item(kCmdLanguageEnglish, kMenuTextEnglish),
      Item(kCmdLanguageSpanish, kMenuTextSpanish),
      Item(kCmdLanguageGerman, kMenuTextGerman),
      Item(kCmdLanguageSimplifiedChinese, kMenuTextSimplifiedChinese),
      Item(kCmdLanguageTraditionalChinese, kMenuTextTraditionalChinese),
    End(),
};

const MenuNode kBoardsDropDown[] = {
    Popup(kMenuTextBoards),
      Popup(kMenuTextColors),
        Item(kCmdBoardGreen, kMenuTextGreen),
        Item(kCmdBoardBlue, kMenuTextBlue),
        Item(kCmdBoardGray, kMenuTextGray),
        Item(kCmdBoardPink, kMenuTextPink),
      End(),
      Separator(),
      Item(kCmdBoardOakWood, kMenuTextOakWood),
      Item(kCmdBoardDeepOcean, kMenuTextDeepOcean),
      Item(kCmdBoardGreeny, kMenuTextGreeny),
      Item(kCmdBoardRosePaper, kMenuTextRosePaper),
      Item(kCmdBoardTekWood, kMenuTextTekWood),
      Item(kCmdBoardRedMarble, kMenuTextRedMarble),
      Item(kCmdBoardMerisierWood, kMenuTextMerisierWood),
      Item(kCmdBoardSteel, kMenuTextSteel),
      Item(kCmdBoardNervyWood, kMenuTextNervyWood),
      Item(kCmdBoardGreenMarble, kMenuTextGreenMarble),
      Item(kCmdBoardGreenLeather, kMenuTextGreenLeather),
      Separator(),
      Item(kCmdBoardCustom, kMenuTextCustom),
    End(),
};

// 177 (English) and 178 (Simplified Chinese) share this list.
const MenuNode kBoardSizeDropDown[] = {
    Popup(kMenuTextBoardSize),
      Item(kCmdBoardSizeSmall, kMenuTextSmall),
      Item(kCmdBoardSizeMedium, kMenuTextMedium),
      Item(kCmdBoardSizeBig, kMenuTextBig),
    End(),
};

const MenuNode kBoardPopupOutsideSetup[] = {
    Item(kCmdSetupPosition, kMenuTextSetupPosition),
};

const MenuNode kBoardPopupInSetup[] = {
    Item(kCmdEndSetupPosition, kMenuTextEndSetupPosition),
    Separator(),
    Item(kCmdEmptyBoard, kMenuTextEmptyChessboard),
    Item(kCmdRevertColors, kMenuTextRevertColors),
    Item(kCmdLeftRightSymmetry, kMenuTextLeftRightSymmetry),
    Separator(),
    Item(kCmdAddRedPawn, kMenuTextAddRedPawn),
    Item(kCmdAddRedAdviser, kMenuTextAddRedAdviser),
    Item(kCmdAddRedElephant, kMenuTextAddRedElephant),
    Item(kCmdAddRedHorse, kMenuTextAddRedHorse),
    Item(kCmdAddRedCannon, kMenuTextAddRedCannon),
    Item(kCmdAddRedChariot, kMenuTextAddRedChariot),
    Separator(),
    Item(kCmdAddBlackPawn, kMenuTextAddBlackPawn),
    Item(kCmdAddBlackAdviser, kMenuTextAddBlackAdviser),
    Item(kCmdAddBlackElephant, kMenuTextAddBlackElephant),
    Item(kCmdAddBlackHorse, kMenuTextAddBlackHorse),
    Item(kCmdAddBlackCannon, kMenuTextAddBlackCannon),
    Item(kCmdAddBlackChariot, kMenuTextAddBlackChariot),
};

const MenuNode kClockPopup[] = {
    Item(kClockMenuPause, kMenuTextPause),
    Item(kClockMenuSetTime, kMenuTextSetTime),
};

const MenuNode kCommentsPopup[] = {
    Item(kCommentMenuMarkNone, kMenuTextMarkNone),
    Item(kCommentMenuMarkBlunder, kMenuTextMarkBlunder),
    Item(kCommentMenuMarkMistake, kMenuTextMarkMistake),
    Item(kCommentMenuMarkEven, kMenuTextMarkEven),
    Item(kCommentMenuMarkGood, kMenuTextMarkGood),
    Item(kCommentMenuMarkExcellent, kMenuTextMarkExcellent),
    Separator(),
    Item(kCommentMenuResetComments, kMenuTextResetComments),
};

template <size_t N>
constexpr MenuResource Resource(uint16_t id, int language, const MenuNode (&nodes)[N]) {
  return {id, language, nodes, N};
}

template <size_t N>
constexpr MenuNodeList List(const MenuNode (&nodes)[N]) {
  return {nodes, N};
}

}  // namespace

const MenuResource kMenuResources[] = {
    Resource(kMenuFrench, 0, kMenuBar),
    Resource(kMenuEnglish, 1, kMenuBar),
    Resource(kMenuSpanish, 2, kMenuBar),
    Resource(kMenuGerman, 3, kMenuBar),
    Resource(kMenuSimplifiedChinese, 4, kMenuBar),
    Resource(kMenuTraditionalChinese, 5, kMenuBar),
    Resource(kMenuPiecesDropDown, 1, kPiecesDropDown),
    Resource(kMenuLanguagesDropDown, 1, kLanguagesDropDown),
    Resource(kMenuBoardsDropDown, 1, kBoardsDropDown),
    Resource(kMenuBoardSizeDropDown, 1, kBoardSizeDropDown),
    Resource(kMenuBoardSizeDropDownChinese, 4, kBoardSizeDropDown),
};
const size_t kMenuResourceCount = sizeof(kMenuResources) / sizeof(kMenuResources[0]);

const MenuResource* FindMenuResource(int id) {
  for (const MenuResource& resource : kMenuResources) {
    if (resource.id == id) return &resource;
  }
  return nullptr;
}

int MenuBarIdForLanguage(int language) {
  static const int kIds[6] = {kMenuFrench,  kMenuEnglish,           kMenuSpanish,
                              kMenuGerman, kMenuSimplifiedChinese, kMenuTraditionalChinese};
  return language >= 0 && language < 6 ? kIds[language] : 0;
}

int DropDownMenuIdForCommand(int command, int language) {
  switch (command) {
    case kCmdPiecesStyle: return kMenuPiecesDropDown;
    case kCmdBoardStyle: return kMenuBoardsDropDown;
    case kCmdChangeLanguages: return kMenuLanguagesDropDown;
    case kCmdChangeBoardSize:
      return language == 4 ? kMenuBoardSizeDropDownChinese : kMenuBoardSizeDropDown;
    default: return 0;
  }
}

MenuNodeList BoardPopupMenu(bool inSetupMode) {
  return inSetupMode ? List(kBoardPopupInSetup) : List(kBoardPopupOutsideSetup);
}

MenuNodeList ClockPopupMenu() { return List(kClockPopup); }

MenuNodeList CommentsPopupMenu() { return List(kCommentsPopup); }

namespace {
// Row and language of a lookup, kept inside the tables: an unknown text id
// gives the empty text, an unknown language the English entry.
bool KnownText(MenuTextId text) {
  return static_cast<int>(text) < static_cast<int>(kMenuTextCount);
}
int KnownLanguage(int language) { return language >= 0 && language < 6 ? language : 1; }
}  // namespace

const char* MenuText(MenuTextId text, int language) {
  if (!KnownText(text)) return "";
  return kMenuTextRows[text].local[KnownLanguage(language)];
}

CodePage MenuTextCodePage(MenuTextId text, int language) {
  if (!KnownText(text)) return CodePage::kWindows1252;
  return kMenuTextRows[text].codePage[KnownLanguage(language)];
}

const char* CodePageName(CodePage page) {
  switch (page) {
    case CodePage::kWindows1252: return "WINDOWS-1252";
    case CodePage::kGbk: return "GBK";
    case CodePage::kBig5: return "BIG5";
  }
  return "";
}
