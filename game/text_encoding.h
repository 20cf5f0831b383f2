// Game files are read as GBK text. Files written in UTF-8 are converted to
// GBK before a reader parses them, and texts typed in Windows-1252 are
// converted to GBK before they are written into such a file.
//
// Many GBK texts are valid UTF-8 as well (梅路 is "c3 b7 c2 b7", "÷·" in
// UTF-8), so a text counts as UTF-8 only on evidence GBK text does not give:
// a byte-order mark, or Chinese characters (or full-width forms) written as
// UTF-8 sequences of three bytes, with the UTF-8 reading more plausible than
// the GBK one. The more plausible reading has fewer faults (bytes that form
// no character; characters game texts hardly hold: those GBK added to
// GB2312, its user-defined areas, and from UTF-8 the two-byte characters,
// which GBK text read as UTF-8 mostly gives, and those GBK lacks), or as
// many and a larger share of common characters (the GB2312 punctuation,
// symbol and full-width rows and its first level of Chinese characters); a
// tie reads as GBK. UTF-8 damaged at one place still reads best as UTF-8,
// and is converted up to the damage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// How ConvertUtf8TextToGbk found a text.
enum GameTextReading : int {
  kGameTextGbk = 0,          // GBK or plain ASCII: left as it is
  kGameTextUtf8 = 1,         // UTF-8, converted whole
  kGameTextUtf8Damaged = 2,  // UTF-8 up to a byte that is not (a damaged byte, a
                             // character cut at the end): converted up to it, the
                             // rest dropped
};

// True when text is to be read as UTF-8 by the rule above.
bool IsUtf8GameText(const std::string& text);

// Converts text to GBK in place when IsUtf8GameText holds: the byte-order
// mark is dropped, a character GBK lacks becomes "?", and the text ends
// before the first byte that is not UTF-8. *damagedAt (when given) receives
// that byte's offset in the text as it was, for kGameTextUtf8Damaged;
// *lacking (when given) the number of characters that became "?".
GameTextReading ConvertUtf8TextToGbk(std::string& text, size_t* damagedAt = nullptr,
                                     uint64_t* lacking = nullptr);

// Converts a Windows-1252 text to GBK into out; false (out undefined) when a
// character of it has no GBK form.
bool ConvertWindows1252TextToGbk(const std::string& text, std::string& out);
