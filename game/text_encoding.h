// Game files are read as GBK text. Files written in UTF-8 (with or without
// a byte-order mark) are converted to GBK before a reader parses them, and
// texts typed in Windows-1252 are converted to GBK before they are written
// into such a file.
#pragma once

#include <string>

// True when text is UTF-8 that needs converting: it begins with the UTF-8
// byte-order mark, or it is valid UTF-8 that holds bytes above 127 and every
// character of it exists in GBK. Plain ASCII is left alone, and GBK text
// (which is almost never valid UTF-8) is recognised as such.
bool IsUtf8GameText(const std::string& text);

// Converts text to GBK in place when IsUtf8GameText holds; the byte-order
// mark is dropped, and a character GBK lacks (only after a byte-order mark)
// becomes "?". Returns true when the text was converted.
bool ConvertUtf8TextToGbk(std::string& text);

// Converts a Windows-1252 text to GBK into out; false (out undefined) when a
// character of it has no GBK form.
bool ConvertWindows1252TextToGbk(const std::string& text, std::string& out);
