// libFuzzer target: the settings file as a whole. The input is the file.
// Read and written back unchanged it keeps its bytes, and so it does with
// every key set to the text it holds; read in its encoding (UTF-16 or
// UTF-8), its text encodes back to its bytes. The changes a start
// and an exit of the program make (new and changed options, a new section
// with a blank in its name, a removed section), together with changes and
// removals of keys the file holds, give a file that reads back every key
// as it should (the keys the changes left alone with their texts, the
// changed ones with theirs, the removed ones gone); and the same changes
// made again to that file give its bytes again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/settings_encoding.h"
#include "platform/settings_ini.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

using Change = std::pair<std::string, std::optional<std::string>>;  // no text: a removal

// Every key of the document with its text ("<none>" for another kind).
std::map<std::string, std::string> Entries(const IniDocument& document) {
  std::map<std::string, std::string> entries;
  for (const std::string& key : document.Keys())
    entries[key] = document.Text(key).value_or("<none>");
  return entries;
}

std::string Changed(const std::string& bytes, const std::vector<Change>& changes) {
  IniDocument document = IniDocument::Parse(bytes);
  for (const auto& [key, text] : changes) {
    if (text) {
      document.Set(key, *text);
    } else {
      document.Remove(key);
    }
  }
  return document.Serialize();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const IniDocument read = IniDocument::Parse(input);
  std::map<std::string, std::string> expected = Entries(read);
  Require(read.Serialize() == input, "a file written back unchanged keeps its bytes");
  IniDocument same = IniDocument::Parse(input);
  for (const auto& [key, text] : expected) {
    if (text != "<none>") same.Set(key, text);
  }
  Require(same.Serialize() == input, "every key set to the text it holds keeps the file's bytes");
  // The input as the store reads it: its text in UTF-16 (or as it is)
  // gives the same bytes back in its encoding.
  SettingsEncoding encoding = SettingsEncoding::kUtf8;
  std::string text;
  if (ReadSettingsText(input, encoding, text))
    Require(EncodeSettingsText(text, encoding) == input, "a file's text encodes to its bytes");

  // The program's changes, then some of the file's own keys: every third
  // one removed, the others changed (to texts that need quotes, escapes, a
  // mark, or bytes that are not UTF-8), at most eight of them.
  std::vector<Change> changes = {
      {"Search", std::nullopt},
      {"Options/Language", "1"},
      {"Options/InstallDirectory", "/home/u/a;b \"c\" d,e"},
      {"Windows placement/MainWindow", "0,1,-1,-1,-1,-1,1,2,3,4"},
      {"Options/Book1", "@Rect(1 2 3 4)"},
  };
  const char* const texts[] = {"",
                               " padded ",
                               "tab\there\nnew line",
                               "x=y;z",
                               "\xe8\xb1\xa1",
                               "/data\xff\xfe"
                               "a/not UTF-8"};
  size_t picked = 0;
  size_t changed = 0;  // each text in turn
  for (const auto& [key, text] : expected) {
    if (picked == 8) break;
    if (picked % 3 == 2) {
      changes.emplace_back(key, std::nullopt);
    } else {
      changes.emplace_back(key, std::string(texts[changed++ % std::size(texts)]));
    }
    ++picked;
  }
  for (const auto& [key, text] : changes) {
    if (text) {
      expected[key] = *text;
      continue;
    }
    const std::string below = key + "/";
    for (auto it = expected.begin(); it != expected.end();) {
      it = it->first == key || it->first.compare(0, below.size(), below) == 0 ? expected.erase(it)
                                                                              : std::next(it);
    }
  }

  const std::string once = Changed(input, changes);
  Require(Entries(IniDocument::Parse(once)) == expected,
          "every key reads back with its text, changed or not, and removed keys are gone");
  Require(Changed(once, changes) == once, "the same changes made again give the same bytes");
  return 0;
}
