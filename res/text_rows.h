// The six-language texts of the interface: message boxes, window captions,
// labels and status texts. Every text is a row of six 8-bit strings, one per
// language in LanguageId order; a window shows entry currentLanguage of the
// row. Entries 0..3 are Windows-1252, entry 4 GBK and entry 5 Big5.
//
// The rows are generated: edit res/text_rows.tsv (UTF-8) and run
// res/tools/make_text_rows.py, which rewrites res/text_rows.cpp. Every row
// of the table needs its declaration here.
#pragma once

#include <cstdint>

enum LanguageId : int32_t {
  kLanguageFrench = 0,
  kLanguageEnglish = 1,
  kLanguageSpanish = 2,
  kLanguageGerman = 3,
  kLanguageSimplifiedChinese = 4,
  kLanguageTraditionalChinese = 5,
};
inline constexpr int32_t kLanguageCount = 6;

// The interface language, a LanguageId. Stored in the settings as
// "Language"; English until the settings say otherwise.
inline int32_t currentLanguage = kLanguageEnglish;

// Six NUL-terminated texts indexed by LanguageId. A row holds exactly what
// its table line says for each language; some rows repeat a text in several
// entries (for instance the English text in the Spanish entry).
struct TextRow {
  const char* text[kLanguageCount];
};

// Entry currentLanguage of the row. A currentLanguage outside 0..5 gives the
// English entry rather than reading past the row.
inline const char* Tr(const TextRow& row) {
  if (currentLanguage < 0 || currentLanguage >= kLanguageCount) {
    return row.text[kLanguageEnglish];
  }
  return row.text[currentLanguage];
}

// Messages.
extern const TextRow kTextRedHasLost;           // "The Red has lost !"
extern const TextRow kTextBlackHasLost;         // "The Black has lost !"
extern const TextRow kTextNoClue;               // "No clue"
extern const TextRow kTextSetupMode;            // "Setup mode" (watermark)
extern const TextRow kTextEnterMoveNumber;      // "Enter the move number"
extern const TextRow kTextSecondsPerMove;       // "seconds / move"
// The caption of the one-line input that asks for the move to go to.
extern const TextRow kTextGotoMoveCaption;  // "Goto move"
extern const TextRow kTextHashTableTooBig;      // "Hash table size too big"
extern const TextRow kTextRemoveLearningFiles;  // "Remove learning files ?"

// Window captions.
extern const TextRow kTextClockCaption;            // "Clock"
extern const TextRow kTextGameListCaption;         // "Game list"
extern const TextRow kTextMiniClockCaption;        // "Mini clock"
extern const TextRow kTextCommentsCaption;         // "Comments"
extern const TextRow kTextGameInformationCaption;  // "Game information"
extern const TextRow kTextLogsCaption;             // "Logs"
extern const TextRow kTextClockSetCaption;         // "Clock Set"

// Options sheet: page titles, buttons and labels.
extern const TextRow kTextGeneralConfigurationTab;  // "General configuration"
extern const TextRow kTextOpening;                  // "Opening" (tab, labels)
extern const TextRow kTextLearningTab;              // "Learning"
extern const TextRow kTextPiecesValueTab;           // "Pieces value"
extern const TextRow kTextEndgameTablebaseTab;      // "Endgame tablebase"
extern const TextRow kTextDefault;                  // "Default"
extern const TextRow kTextHashTableSize;            // "Hash table size in Mb"
extern const TextRow kTextContemptRed;              // "Contempt factor for Red"
extern const TextRow kTextContemptBlack;  // "Contempt factor for Black"
extern const TextRow kTextMin;            // "Min"
extern const TextRow kTextMax;            // "Max"
extern const TextRow kTextGameKnowledge;  // "Game knowledge"
extern const TextRow kTextLearningTablesSize;  // "Learning tables' size in Mb"
extern const TextRow kTextLearningTableUsed;   // "Learning table used in %"
extern const TextRow kTextLearningKillerTableUsed;  // "Learning killer ..."
extern const TextRow kTextNormal;                   // "Normal"
extern const TextRow kTextTournament;               // "Tournament"
extern const TextRow kTextBlitz;                    // "Blitz"

// Side to move, side names and the game information labels.
extern const TextRow kTextColorToMove;  // "Color to move"
extern const TextRow kTextRed;          // "Red"
extern const TextRow kTextBlack;        // "Black"
extern const TextRow kTextEvent;        // "Event"
extern const TextRow kTextSite;         // "Site"
extern const TextRow kTextDate;         // "Date"
extern const TextRow kTextRound;        // "Round"
extern const TextRow kTextRedElo;       // "Red ELO"
extern const TextRow kTextBlackElo;     // "Black ELO"
extern const TextRow kTextAuthor;       // "Author"
extern const TextRow kTextTimeControl;  // "Time control"
extern const TextRow kTextResult;       // "Result"

// Timing page labels.
extern const TextRow kTextSecondsPerGame;  // "seconds / game"
extern const TextRow kTextMinutes;         // "min"
extern const TextRow kTextFixedDepth;      // "fixed depth"
extern const TextRow kTextMoves;           // "moves"
extern const TextRow kTextSeconds;         // "seconds"
extern const TextRow kTextExact;           // "Exact"

// Comments window pop-up.
extern const TextRow kTextResetComments;  // "Reset comments"

// Messages of the file commands and the autosave; %1 stands for the file.
extern const TextRow kTextFileReadInPart;     // "The file %1 was read only in part: ..."
extern const TextRow kTextFileCharactersLacking;  // "%2 characters of the file %1 have no form in GBK..."
extern const TextRow kTextFileTextsCut;       // "Texts of the file %1 are longer than ..."
extern const TextRow kTextCutTextKept;        // "%1 (%2 of %3 bytes kept)"
extern const TextRow kTextGameCommentCut;     // "Game comment"
extern const TextRow kTextPlyCommentCut;      // "Comment on half-move %1"
extern const TextRow kTextMoreTextsCut;       // "%1 more"
extern const TextRow kTextFileNotLoaded;      // "The file %1 could not be loaded."
// A file whose extension names a game database, which is not opened.
extern const TextRow kTextNotAGameFile;       // "The file %1 is not a game file the ..."
extern const TextRow kTextGameNotSaved;       // "The game could not be saved to %1."
// A save under the extension of a format that is not written.
extern const TextRow kTextSaveFormatNotWritten;  // "The game was not saved: the program ..."
// Coordinate text of a game that starts elsewhere or has no moves.
extern const TextRow kTextSaveStartNotKept;  // "The game was not saved: %1 files are ..."
// Header texts in Windows-1252 that a keyword file (read as GBK) cannot hold.
extern const TextRow kTextSaveTextsNotKept;  // "The game was not saved: the game ..."
// The same for comments typed in Windows-1252.
extern const TextRow kTextSaveCommentsNotKept;  // "The game was not saved: the comments ..."
extern const TextRow kTextBadFenOnClipboard;  // "The clipboard does not hold a valid FEN ..."
extern const TextRow kTextAutosaveFailed;     // "The game could not be saved automatically; ..."
extern const TextRow kTextAutosaveReadInPart;  // "The autosaved game was damaged: ..."
extern const TextRow kTextAutosaveUnreadable;  // "The autosaved game is damaged and could not ..."
extern const TextRow kTextDamagedFileKept;     // "The damaged file is kept as %1."
extern const TextRow kTextSettingsNotSaved;    // "The settings could not be saved to %1; ..."
// A settings file larger than the program reads (%1 the file, %2 the most
// megabytes, %3 the most lines).
extern const TextRow kTextSettingsTooLarge;  // "The settings file %1 is larger than ..."
// Changes that would make the settings file larger than the program reads
// (%1 the file, %2 the most megabytes, %3 the most lines).
extern const TextRow kTextSettingsWouldBeTooLarge;  // "The settings of this run are not saved: ..."

// A property page refuses a field that is not a whole number.
extern const TextRow kTextEnterInteger;  // "Please enter an integer."
// ...or a whole number outside the range the field holds.
extern const TextRow kTextEnterIntegerBetween;  // "Please enter an integer between %1 and %2."
// The clock setting dialog refuses a time that is not "h:m:s" or beyond
// what the clock holds (%1 = the longest time it holds).
extern const TextRow kTextEnterClockTime;        // "Please enter the time as hours:minutes:seconds."
extern const TextRow kTextEnterClockTimeAtMost;  // "Please enter a time of at most %1."
// A game header text typed with characters that no code page of the game
// files can store with the header's other texts (%1 = the field's label).
extern const TextRow kTextHeaderTextNotStored;  // "The characters typed in "%1" cannot be ..."
// ...or that no code page of the game files holds on their own, whatever
// the other texts.
extern const TextRow kTextHeaderTextNoCodePage;  // "The characters typed in "%1" cannot be ..."
// A comment typed with characters that no code page of the game files can
// store with the rest of the comment.
extern const TextRow kTextCommentNotStored;  // "The characters typed in the comment ..."
// ...or with characters that no code page of the game files holds at all.
extern const TextRow kTextCommentNoCodePage;  // "The characters typed in the comment ..."

// The system refuses to raise the program's priority back to normal.
extern const TextRow kTextPriorityStaysLow;  // "The system does not allow the program ..."

// A position set up by hand that cannot be played is refused.
extern const TextRow kTextSetupNotPlayable;  // "This position cannot be played: ..."

// A print that failed (no document could be written).
extern const TextRow kTextPrintFailed;  // "The move list could not be printed."

// An address space limit below what the program needs: said at start, and
// the program stops (%1 the megabytes it needs, %2 the limit's).
extern const TextRow kTextAddressSpaceTooSmall;  // "The program needs at least %1 MB of ..."

// A learning tables size beyond what the process may give them or the
// settings keep, refused by the options sheet.
extern const TextRow kTextLearningTablesTooBig;  // "Learning tables size too big"

// A save refused before anything was written because a header text or a
// comment is longer in a format's code page than its files keep (%1 the
// extension, %2 the formats that keep it).
extern const TextRow kTextSaveTextsTooLong;     // "The game was not saved: a text of the ..."
extern const TextRow kTextSaveCommentsTooLong;  // "The game was not saved: a comment is ..."
// A save refused before anything was written because a header text would
// read back otherwise from a format: a line break, or blanks or a tab the
// reader passes over at its start; or a rating other than a plain whole
// number in a format that keeps ratings as numbers (%1 the extension, %2
// the formats that keep it).
extern const TextRow kTextSaveTextsNotOneLine;  // "The game was not saved: a text of the ..."
extern const TextRow kTextSaveRatingsNotKept;   // "The game was not saved: %1 files keep an ..."
// A typed header text (%1 = the field's label) or comment longer, in the
// code page it would be stored in, than the game files keep.
extern const TextRow kTextHeaderTextTooLong;  // "The text typed in "%1" is too long to be ..."
extern const TextRow kTextCommentTooLong;     // "The comment is too long to be stored in ..."

// Every row in table order with its constant's name, for checks of the
// whole table.
extern const TextRow* const kAllTextRows[];
extern const char* const kAllTextRowNames[];
extern const int kTextRowCount;
