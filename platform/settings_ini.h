// The text of the settings file: an INI file as Qt's QSettings reads and
// writes it ("[Section]" headers, "key=value" lines, keys with %XX escapes,
// values with C escapes and quotes), held line by line so that a change
// rewrites only the entries it touches. Every other line (entries of any
// kind of value, comments, blank lines, lines that hold no entry, headers
// as they are spelt) keeps its bytes exactly, and so does a byte-order mark
// at the start (skipped when the first line is read, as QSettings does).
// New lines end in "\r\n" in a file whose lines all do, else in "\n".
//
// Each line is read on its own: a value never goes on past its line end,
// whether an opening quote has no closing one or the line ends with a
// backslash (QSettings would go on reading the next lines into the value;
// its own writer never writes such a line). A file read and written back
// unchanged gives the same bytes, and the same changes made twice give the
// bytes of once.
//
// Keys are "<section>/<entry>" in UTF-8; entries before the first header
// (or under "[General]") have no section part.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/settings_ini_spelling.h"

class IniDocument {
 public:
  // The document of a file's bytes. Lines that are neither a header nor an
  // entry (comments, lines without '=', damage) hold no value and are kept.
  // Only the headers are read here; the entries of a section are read when
  // a key that may be in it is asked for, so that a large section the
  // program never asks for costs no more than its bytes.
  static IniDocument Parse(std::string bytes);

  // The value of key as one text: a plain text, a number, a byte array, or
  // a list of texts (an unquoted value with commas) joined with commas.
  // Nothing when the key is missing or holds another kind of value (a
  // rectangle, a serialised variant).
  std::optional<std::string> Text(const std::string& key) const;

  // Stores text as key's value, in place when the key exists, else after
  // the last line of its section that is not blank (a new section at the
  // end of the file). A line that already reads as text keeps its bytes;
  // a changed one keeps all but its value (its blanks, the key as it is
  // spelt, a note after ';').
  void Set(const std::string& key, const std::string& text);
  // Removes key and every key below it ("<key>/..."); a section of that
  // name goes whole, with its header and every line in it.
  void Remove(const std::string& key);

  // The file's bytes, and the bytes it was read from.
  std::string Serialize() const;
  const std::string& Source() const { return source_; }
  // The number of keys, and the keys (in no particular order).
  size_t Size() const;
  std::vector<std::string> Keys() const;

 private:
  struct Line {
    size_t begin = 0;  // the line's bytes in source_, its line end included
    size_t size = 0;
    int own = -1;        // else its bytes are texts_[own]
    bool entry = false;  // a "key=value" line (of key)
    bool removed = false;
    std::string key;
  };
  struct Block {
    std::string section;  // "" before the first header and under "[General]"
    size_t begin = 0;     // its bytes in source_, the header line first but
    size_t end = 0;       // in the first block
    bool dropped = false;
    bool read = false;   // split into lines, its keys in the index
    bool added = false;  // made by Set: not written while it holds no entry
    std::vector<Line> lines;
  };
  std::string_view Bytes(const Line& line) const;
  void SetBytes(Line& line, std::string bytes);
  // Splits a block into its lines and indexes its keys, once.
  void ReadBlock(size_t block) const;
  // Reads the blocks of the sections a key can be in: no section, and each
  // name the key begins with up to a '/'.
  void ReadBlocksOf(const std::string& key) const;
  void ReadSection(const std::string& section) const;
  void ReadAll() const;
  // Whether a block is left out of the file: dropped, or made by Set and
  // holding no entry.
  static bool Unwritten(const Block& block);
  // The file's last line; empty when there is none.
  std::string_view LastLine() const;
  void AddBlock(Block block);

  std::string source_;  // the file as read
  // The line end of new lines, and of a last line that has none when lines
  // come after it.
  std::string newline_ = "\n";
  std::vector<std::string> texts_;
  mutable std::vector<Block> blocks_;
  std::unordered_map<std::string, std::vector<size_t>> sectionBlocks_;
  // Where each key's value is read: the last line of that key.
  mutable std::unordered_map<std::string, std::pair<size_t, size_t>> index_;
};
