// The settings file as blocks of lines: one block per header, each read
// into lines and keys only when a key that may be in it is asked for.
#include "platform/settings_ini.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

// The length of the line at pos and of its line end ("\n", "\r\n" or "\r";
// none for a last line without one).
size_t LineLength(std::string_view data, size_t pos, size_t& contentLength) {
  size_t i = pos;
  while (i < data.size() && data[i] != '\n' && data[i] != '\r') ++i;
  contentLength = i - pos;
  if (i < data.size()) i += data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n' ? 2 : 1;
  return i - pos;
}

// The length of a byte-order mark at the start of a line. The file's first
// line may begin with one; a line after it begins with one only when it was
// the first line of an earlier file, and is read alike, so that a write
// that removes the lines before it reads back as it was.
size_t MarkLength(std::string_view line) { return line.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0; }

// What one line (without its line end) holds for the reader: past a
// byte-order mark, from its first byte that is not blank up to a ';'
// outside quotes, with the first '=' outside quotes (npos when none). A
// backslash takes the next byte; quotes and backslashes never reach past
// the line.
struct LineParts {
  size_t start = 0;
  size_t end = 0;
  size_t equals = std::string_view::npos;
};

bool IsBlankByte(char c) { return c == ' ' || c == '\t'; }

LineParts ReadLine(std::string_view line) {
  LineParts parts;
  parts.start = MarkLength(line);
  while (parts.start < line.size() && IsBlankByte(line[parts.start])) ++parts.start;
  bool quoted = false;
  size_t i = parts.start;
  for (; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '=') {
      if (!quoted && parts.equals == std::string_view::npos) parts.equals = i;
    } else if (c == ';') {
      if (!quoted) break;
    } else if (c == '\\') {
      if (i + 1 < line.size()) ++i;
    } else if (c == '"') {
      quoted = !quoted;
    }
  }
  parts.end = i;
  return parts;
}

bool IsBlank(std::string_view line) {
  line.remove_prefix(MarkLength(line));
  return std::all_of(line.begin(), line.end(), [](char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
  });
}

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// The line end a line's bytes end with.
std::string_view LineEnd(std::string_view line) {
  if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n")
    return line.substr(line.size() - 2);
  if (!line.empty() && IsLineEnd(line.back())) return line.substr(line.size() - 1);
  return {};
}

}  // namespace

IniDocument IniDocument::Parse(std::string bytes) {
  IniDocument document;
  document.source_ = std::move(bytes);
  const std::string_view data = document.source_;
  size_t pos = 0;
  document.AddBlock(Block());
  // New lines end in "\r\n" in a file whose lines all do, else in "\n":
  // a rule that the lines the program writes keep for the next write.
  bool crlf = true;
  bool ends = false;
  while (pos < data.size()) {
    size_t contentLength = 0;
    const size_t length = LineLength(data, pos, contentLength);
    if (length > contentLength) {
      ends = true;
      crlf = crlf && length - contentLength == 2;
    }
    const std::string_view content = data.substr(pos, contentLength);
    const LineParts parts = ReadLine(content);
    if (parts.end > parts.start && content[parts.start] == '[') {
      document.blocks_.back().end = pos;
      Block block;
      block.section = IniSectionName(content.substr(parts.start, parts.end - parts.start));
      block.begin = pos;
      document.AddBlock(std::move(block));
    }
    pos += length;
  }
  document.blocks_.back().end = pos;
  if (ends && crlf) document.newline_ = "\r\n";
  return document;
}

void IniDocument::AddBlock(Block block) {
  sectionBlocks_[block.section].push_back(blocks_.size());
  blocks_.push_back(std::move(block));
}

void IniDocument::ReadBlock(size_t b) const {
  Block& block = blocks_[b];
  if (block.read) return;
  block.read = true;
  const std::string_view data = std::string_view(source_).substr(0, block.end);
  for (size_t pos = block.begin; pos < block.end;) {
    size_t contentLength = 0;
    Line line;
    line.begin = pos;
    line.size = LineLength(data, pos, contentLength);
    pos += line.size;
    const std::string_view content = data.substr(line.begin, contentLength);
    const LineParts parts = ReadLine(content);
    // Past the header (the first line of every block but the first), a line
    // with an '=' is an entry.
    if (parts.equals != std::string_view::npos && (b == 0 || line.begin != block.begin)) {
      size_t keyEnd = parts.equals;
      while (keyEnd > parts.start && IsBlankByte(content[keyEnd - 1])) --keyEnd;
      line.entry = true;
      line.key = IniUnescapedKey(content.substr(parts.start, keyEnd - parts.start));
      if (!block.section.empty()) line.key = block.section + "/" + line.key;
      // A key written twice: the later line holds.
      const std::pair<size_t, size_t> place(b, block.lines.size());
      const auto [found, added] = index_.try_emplace(line.key, place);
      if (!added && found->second < place) found->second = place;
    }
    block.lines.push_back(std::move(line));
  }
}

void IniDocument::ReadSection(const std::string& section) const {
  const auto found = sectionBlocks_.find(section);
  if (found == sectionBlocks_.end()) return;
  for (size_t b : found->second) {
    if (!blocks_[b].dropped) ReadBlock(b);
  }
}

void IniDocument::ReadBlocksOf(const std::string& key) const {
  ReadSection("");
  for (size_t slash = key.find('/'); slash != std::string::npos; slash = key.find('/', slash + 1)) {
    ReadSection(key.substr(0, slash));
  }
}

void IniDocument::ReadAll() const {
  for (size_t b = 0; b < blocks_.size(); ++b) {
    if (!blocks_[b].dropped) ReadBlock(b);
  }
}

std::string_view IniDocument::Bytes(const Line& line) const {
  if (line.own >= 0) return texts_[static_cast<size_t>(line.own)];
  return std::string_view(source_).substr(line.begin, line.size);
}

void IniDocument::SetBytes(Line& line, std::string bytes) {
  if (line.own < 0) {
    line.own = static_cast<int>(texts_.size());
    texts_.push_back(std::move(bytes));
  } else {
    texts_[static_cast<size_t>(line.own)] = std::move(bytes);
  }
}

bool IniDocument::Unwritten(const Block& block) {
  // A section the changes made and then emptied again: the file is as if it
  // had never been made.
  return block.dropped ||
         (block.added && std::none_of(block.lines.begin(), block.lines.end(), [](const Line& line) {
            return line.entry && !line.removed;
          }));
}

std::string_view IniDocument::LastLine() const {
  for (size_t b = blocks_.size(); b-- > 0;) {
    const Block& block = blocks_[b];
    if (Unwritten(block)) continue;
    if (!block.read) {
      if (block.begin == block.end) continue;
      // Back past its line end to the line end before it.
      size_t start = block.end - LineEnd(std::string_view(source_).substr(0, block.end)).size();
      while (start > block.begin && !IsLineEnd(source_[start - 1])) --start;
      return std::string_view(source_).substr(start, block.end - start);
    }
    for (size_t l = block.lines.size(); l-- > 0;) {
      if (!block.lines[l].removed) return Bytes(block.lines[l]);
    }
  }
  return {};
}

std::optional<std::string> IniDocument::Text(const std::string& key) const {
  ReadBlocksOf(key);
  const auto found = index_.find(key);
  if (found == index_.end()) return std::nullopt;
  std::string_view line = Bytes(blocks_[found->second.first].lines[found->second.second]);
  line.remove_suffix(LineEnd(line).size());
  // An entry's line has its '=' outside quotes; the value follows it.
  const LineParts parts = ReadLine(line);
  return IniValueText(line.substr(parts.equals + 1, parts.end - parts.equals - 1));
}

void IniDocument::Set(const std::string& key, const std::string& text) {
  ReadBlocksOf(key);
  const auto found = index_.find(key);
  if (found != index_.end()) {
    // In place: a line that already reads as the text keeps its bytes;
    // else only its value is written again, between the bytes before it
    // (blanks, the key as it is spelt, the '=' and the blanks after it)
    // and those after it (blanks, a note after ';'), with the line's own
    // line end.
    Line& line = blocks_[found->second.first].lines[found->second.second];
    const std::string_view bytes = Bytes(line);
    const std::string_view oldEnd = LineEnd(bytes);
    const std::string_view content = bytes.substr(0, bytes.size() - oldEnd.size());
    const LineParts parts = ReadLine(content);
    if (IniValueText(content.substr(parts.equals + 1, parts.end - parts.equals - 1)) == text)
      return;
    size_t valueBegin = parts.equals + 1;
    while (valueBegin < parts.end && IsBlankByte(content[valueBegin])) ++valueBegin;
    size_t valueEnd = parts.end;
    while (valueEnd > valueBegin && IsBlankByte(content[valueEnd - 1])) --valueEnd;
    SetBytes(line, std::string(content.substr(0, valueBegin)) + IniEscapedText(text) +
                       std::string(content.substr(valueEnd)) +
                       (oldEnd.empty() ? newline_ : std::string(oldEnd)));
    return;
  }
  // The section is the key up to its first '/' (none for a key that starts
  // with one: its entry is written with the '/').
  const size_t slash = key.find('/');
  const bool inSection = slash != std::string::npos && slash > 0;
  const std::string section = inSection ? key.substr(0, slash) : std::string();
  const std::string entry = inSection ? key.substr(slash + 1) : key;
  // The last block of the section (the first block has no section and is
  // never dropped). A section removed whole comes back where its last
  // block was, with that header and the blank lines that ended it alone:
  // the same removal and values give the same file however often they are
  // made. Else a new section at the end, after a blank line.
  size_t b = blocks_.size();
  const auto blocks = sectionBlocks_.find(section);
  if (blocks != sectionBlocks_.end()) {
    for (auto it = blocks->second.rbegin(); it != blocks->second.rend() && b == blocks_.size();
         ++it) {
      if (!blocks_[*it].dropped) b = *it;
    }
    if (b == blocks_.size() && !blocks->second.empty()) {
      b = blocks->second.back();
      ReadBlock(b);
      Block& block = blocks_[b];
      block.dropped = false;
      // Its header is its first line that is not blank (a new section
      // begins with a blank line).
      size_t header = 0;
      while (IsBlank(Bytes(block.lines[header]))) ++header;
      size_t end = block.lines.size();
      while (end > header + 1 && IsBlank(Bytes(block.lines[end - 1]))) --end;
      // Its keys were all removed with it.
      for (size_t l = header + 1; l < end; ++l) {
        block.lines[l].removed = true;
        if (block.lines[l].entry) index_.erase(block.lines[l].key);
      }
    }
  }
  if (b == blocks_.size()) {
    Block block;
    block.read = true;
    block.added = true;
    const std::string_view last = LastLine();
    if (!IsBlank(last)) {
      block.lines.emplace_back();
      SetBytes(block.lines.back(), newline_);
    }
    block.lines.emplace_back();
    SetBytes(block.lines.back(), IniHeader(section) + newline_);
    block.section = section;
    AddBlock(std::move(block));
  }
  ReadBlock(b);
  // After the section's last line that is not blank, even a removed one:
  // a line removed after this one was set would otherwise move it before
  // the blank lines at the next write, and a key removed and set again
  // comes back where it was.
  std::vector<Line>& lines = blocks_[b].lines;
  size_t at = lines.size();
  while (at > 0 && !lines[at - 1].removed && IsBlank(Bytes(lines[at - 1]))) --at;
  Line line;
  line.entry = true;
  line.key = key;
  SetBytes(line, IniEscapedKey(entry) + "=" + IniEscapedText(text) + newline_);
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  // Only blank and removed lines follow it, and none of them is a key's.
  index_[key] = {b, at};
}

void IniDocument::Remove(const std::string& key) {
  ReadBlocksOf(key);
  const std::string below = key + "/";
  auto matches = [&](const std::string& name) {
    return name == key || name.compare(0, below.size(), below) == 0;
  };
  for (Block& block : blocks_) {
    if (!block.section.empty() && matches(block.section)) block.dropped = true;
    for (Line& line : block.lines) {
      if (line.entry && (block.dropped || matches(line.key))) {
        line.removed = true;
        index_.erase(line.key);
      }
    }
  }
}

size_t IniDocument::Size() const {
  ReadAll();
  return index_.size();
}

std::vector<std::string> IniDocument::Keys() const {
  ReadAll();
  std::vector<std::string> keys;
  keys.reserve(index_.size());
  for (const auto& [key, place] : index_) keys.push_back(key);
  return keys;
}

std::string IniDocument::Serialize() const {
  std::string out;
  out.reserve(source_.size() + 256);
  // The file's last line may have no line end; one is given to it when
  // lines now follow it. A line ending in a lone "\r" that now comes before
  // a line starting with "\n" (a blank line) ends in "\r\n": else the two
  // would be read as one line end.
  bool ended = true;
  const auto add = [&](std::string_view bytes) {
    if (bytes.empty()) return;
    if (!ended) out += newline_;
    if (!out.empty() && out.back() == '\r' && bytes.front() == '\n') out += '\n';
    out += bytes;
    ended = IsLineEnd(bytes.back());
  };
  for (const Block& block : blocks_) {
    if (Unwritten(block)) continue;
    if (!block.read) {
      add(std::string_view(source_).substr(block.begin, block.end - block.begin));
      continue;
    }
    for (const Line& line : block.lines) {
      if (!line.removed) add(Bytes(line));
    }
  }
  return out;
}
