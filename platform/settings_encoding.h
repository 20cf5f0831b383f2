// The encodings a settings file is read in: UTF-8 (as QSettings writes it)
// or UTF-16 (as some editors save a text file), so that a file saved in
// UTF-16 is read, and written back whole in its own encoding rather than
// with UTF-8 lines added to it. Qt-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class SettingsEncoding { kUtf8, kUtf16LittleEndian, kUtf16BigEndian };

// The text of a file's bytes as UTF-8, and their encoding: UTF-16 when
// they begin with its byte-order mark (FF FE or FE FF; the mark becomes
// the UTF-8 mark EF BB BF), or without one when the first two bytes are a
// character below U+0100 in UTF-16 (one of them 0, the other not: no UTF-8
// text holds a zero byte); else UTF-8, the bytes as they are. False for
// bytes read as UTF-16, marked or not, that are not whole UTF-16 text (an
// odd byte count, a surrogate without its pair): written back they would
// not be the same bytes.
bool ReadSettingsText(std::string_view bytes, SettingsEncoding& encoding, std::string& text);

// Appends code point c to out in UTF-8.
void AppendUtf8(std::string& out, uint32_t c);
// The code point of the UTF-8 sequence at text[i], advancing i past it;
// U+FFFD (past one byte) for a byte that starts no valid sequence (a bad
// lead or continuation byte, a cut, overlong or surrogate sequence).
uint32_t NextUtf8CodePoint(std::string_view text, size_t& i);

// Whether text is valid UTF-8 throughout.
bool IsUtf8(std::string_view text);

// The reverse: UTF-8 text as bytes in encoding (a byte that starts no
// UTF-8 sequence as U+FFFD).
std::string EncodeSettingsText(std::string_view text, SettingsEncoding encoding);
