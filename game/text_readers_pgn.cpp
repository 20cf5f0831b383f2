// PGN-like tag files: tag lines up to the "[Result " tag, then the moves in
// the move syntax of the keyword text files (WXF, AXF or Chinese texts,
// move numbers, "/* */" comments, "}END"), read by the keyword parser inside
// this reader's staging session.
#include <cstring>
#include <string>
#include <vector>

#include "game/comments.h"
#include "game/keyword_files.h"
#include "game/notation.h"
#include "game/text_encoding.h"
#include "game/text_readers.h"

using namespace text_reading;

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

enum TagOutcome { kTagBadStart, kTagRead, kTagUnknown };

// Reads one tag line into the staged game: kTagBadStart when the tag sets a
// start position that is not sound, kTagUnknown for a tag the reader does
// not read.
TagOutcome ReadTag(LoadedGame& game, const std::string& line) {
  GameHeader& h = game.header;
  struct TextTag {
    const char* name;
    char (GameHeader::*field)[kHeaderTextSize];
    bool translate;
  };
  static const TextTag kTags[] = {
      {"[Red ", &GameHeader::redName, true},    {"[White ", &GameHeader::redName, true},
      {"[Black ", &GameHeader::blackName, true}, {"[Date ", &GameHeader::date, false},
      {"[Event ", &GameHeader::event, false},    {"[Site ", &GameHeader::site, false},
      {"[Round ", &GameHeader::round, false},    {"[WhiteElo ", &GameHeader::redElo, false},
      {"[BlackElo ", &GameHeader::blackElo, false},
  };
  for (const TextTag& tag : kTags) {
    if (!StartsWith(line, tag.name)) continue;
    const std::string value = TagValue(line, std::strlen(tag.name));
    SetHeaderText(h.*tag.field,
                  tag.translate ? TranslatePlayerName(value.c_str()) : value.c_str());
    return kTagRead;
  }
  if (StartsWith(line, "[FEN "))
    return StageStartFen(game, TagValue(line, 5).c_str()) != 0 ? kTagRead : kTagBadStart;
  return StartsWith(line, "[Score ") ? kTagRead : kTagUnknown;
}

// Full-width Latin letters, digits and signs of the move text become ASCII
// (some published files write "C2=5" that way); comment texts between "/*"
// and "*/" keep their bytes.
std::string NarrowMoveSection(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  bool inComment = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (inComment) {
      if (text.compare(i, 2, "*/") == 0) {
        out += "*/";
        ++i;
        inComment = false;
      } else {
        out += text[i];
      }
      continue;
    }
    if (text.compare(i, 2, "/*") == 0) {
      out += "/*";
      ++i;
      inComment = true;
      continue;
    }
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80 || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    const std::string narrow = NarrowFullWidth(text.substr(i, 2));
    out += narrow;
    ++i;
  }
  return out;
}

}  // namespace

int ReadPgnGame(const char* path, GameHeader* header, int fullReset) {
  std::string text;
  if (!ReadWholeFile(path, text)) return kLoadFailed;
  ConvertUtf8TextToGbk(text);  // a file in UTF-8 reads as the same text in GBK
  LoadedGame game;
  game.header.hasInfo = 1;
  game.header.gbkTexts = 1;
  game.fileName = path;
  std::vector<std::string> lines;
  SplitLines(text, lines);

  StagingSession session(game);
  if (!session.open()) return kLoadFailed;
  size_t n = 0;
  bool resultSeen = false;
  bool recognised = false;
  for (; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    if (line.empty() || line[0] != '[') continue;
    if (StartsWith(line, "[Result ")) {
      const int result = ResultOfTag(TagValue(line, 8));
      if (result >= 0) game.header.result = static_cast<int8_t>(result);
      resultSeen = true;
      ++n;
      break;
    }
    const TagOutcome tag = ReadTag(game, line);
    if (tag == kTagBadStart) return kLoadBadBoard;
    if (tag == kTagRead) recognised = true;
  }
  // The moves come only after the result tag, so a file without any of the
  // tags read holds nothing of a game.
  if (!resultSeen && !recognised) {
    session.End();
    LogLoadProblem(path, text.empty() ? "the file is empty" : "no PGN tag found");
    return kLoadEmpty;
  }
  int parsed = kKeywordParsed;
  if (resultSeen) {
    std::string moves;
    for (; n < lines.size(); ++n) moves += lines[n] + "\n";
    moves = NarrowMoveSection(moves);
    parsed = ParseKeywordGame(moves.data(), moves.size(), game, 1);
    if (parsed == kKeywordBadStart) return kLoadBadBoard;
  }
  session.End();
  CommitLoadedGame(game, header != nullptr ? *header : currentGameHeader, fullReset);
  // More moves than a game holds: read in part.
  return parsed == kKeywordCut ? kLoadPartial : kLoadOk;
}
