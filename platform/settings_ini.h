// The text of the settings file: an INI file as Qt's QSettings reads and
// writes it ("[Section]" headers, "key=value" lines, keys with %XX escapes,
// values with C escapes and quotes), held as its sections and entries so
// that a change rewrites only the entries it touches. Every other entry
// keeps its bytes exactly, whatever kind of value it holds.
//
// Keys are "<section>/<entry>" in UTF-8; entries before the first header
// (or under "[General]") have no section part.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class IniDocument {
 public:
  // The document of a file's bytes; lines that are neither a header nor an
  // entry (comments, damage) are left out, as QSettings leaves them out.
  static IniDocument Parse(std::string_view bytes);

  // The value of key as one text: a plain text, a number, a byte array, or
  // a list of texts (an unquoted value with commas) joined with commas.
  // Nothing when the key is missing or holds another kind of value (a
  // rectangle, a serialised variant).
  std::optional<std::string> Text(const std::string& key) const;

  // Stores text as key's value, in place when the key exists, else at the
  // end of its section (a new section at the end of the file).
  void Set(const std::string& key, const std::string& text);
  // Removes key and every key below it ("<key>/...").
  void Remove(const std::string& key);

  // The file's bytes: each section with entries, its header and entries.
  std::string Serialize() const;
  // The number of entries.
  size_t Size() const { return index_.size(); }

 private:
  struct Entry {
    std::string key;   // the whole key
    std::string line;  // the entry's bytes in the file, without the line end
    bool live;         // false once removed or written again later
  };
  struct Section {
    std::string name;  // "" for the entries without a section
    std::vector<Entry> entries;
  };
  size_t SectionIndex(const std::string& name);
  void Add(size_t section, std::string key, std::string line);

  std::vector<Section> sections_;
  // Where each live key is: section and entry index.
  std::unordered_map<std::string, std::pair<size_t, size_t>> index_;
};

// The INI spellings, exposed for tests.
std::string IniEscapedKey(std::string_view key);
std::string IniEscapedText(std::string_view text);
