// The INI spelling of QSettings for the settings file: keys and section
// names with '\' for '/' and %XX or %UXXXX escapes, values with C escapes,
// quotes, '@' types and comma-separated lists. What is written here reads
// back through QSettings unchanged, and the reverse.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A key or section name as written ('\' stands for '/', "%XX" and "%UXXXX"
// for one UTF-16 unit, any other byte for its Latin-1 character), in UTF-8.
std::string IniUnescapedKey(std::string_view raw);
// The spelling of a key or section name: the reverse.
std::string IniEscapedKey(std::string_view key);

// The value written after a key's '=' as one text: a plain text, a number,
// a byte array, or a list of texts (an unquoted value with commas) joined
// with commas. Nothing for another kind of value (a rectangle, a
// serialised variant).
std::optional<std::string> IniValueText(std::string_view raw);
// The spelling of a text as a value; a text that is not UTF-8 is spelt as
// a byte array ("@ByteArray(...)"), which IniValueText reads back as the
// same bytes.
std::string IniEscapedText(std::string_view text);

// The section a header line ("[Name]", its ']' optional) opens:
// "[General]" stands for the entries without a section, "[%General]" for
// the section "General".
std::string IniSectionName(std::string_view header);
// The header line of a section, without its line end.
std::string IniHeader(std::string_view section);
