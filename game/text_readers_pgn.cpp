// PGN-like tag files: tag lines, then the moves in the move syntax of the
// keyword text files (WXF, AXF or Chinese texts, "/* */" comments, "}END")
// with PGN's move numbers, annotation glyphs and result. The moves are read
// word by word on this reader's staging session; the first word that is not
// read ends the game there, and the file counts as read in part.
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "game/comments.h"
#include "game/keyword_files.h"
#include "game/loaded_texts.h"
#include "game/notation.h"
#include "engine/position/position.h"
#include "game/text_readers.h"

using namespace text_reading;

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

enum TagOutcome { kTagBadStart, kTagRead, kTagUnknown };

// The tags whose value is a header text.
struct TextTag {
  const char* name;
  HeaderField field;
  bool translate;
};
constexpr TextTag kTextTags[] = {
    {"[Red ", kHeaderRedName, true},        {"[White ", kHeaderRedName, true},
    {"[Black ", kHeaderBlackName, true},    {"[Date ", kHeaderDate, false},
    {"[Event ", kHeaderEvent, false},       {"[Site ", kHeaderSite, false},
    {"[Round ", kHeaderRound, false},       {"[WhiteElo ", kHeaderRedElo, false},
    {"[BlackElo ", kHeaderBlackElo, false},
};

const TextTag* TextTagOf(const std::string& line) {
  for (const TextTag& tag : kTextTags)
    if (StartsWith(line, tag.name)) return &tag;
  return nullptr;
}

// Reads one tag line into the staged game: kTagBadStart when the tag sets a
// start position that is not sound, kTagUnknown for a tag the reader does
// not read.
TagOutcome ReadTag(LoadedGame& game, const std::string& line) {
  if (const TextTag* tag = TextTagOf(line)) {
    const std::string value = TagValue(line, std::strlen(tag->name));
    SetLoadedHeaderText(game, tag->field, tag->translate ? TranslatedName(value) : value);
    return kTagRead;
  }
  if (StartsWith(line, "[FEN ")) {
    const std::string fen = TagValue(line, 5);
    return StageFileStartFen(game, fen.c_str(), "FEN tag") != 0 ? kTagRead : kTagBadStart;
  }
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

constexpr const char* kNulInMoves = "a NUL byte in the move text";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsMarkSign(char c) { return c == '+' || c == '-'; }
bool IsDirection(char c) { return c == '+' || c == '-' || c == '.' || c == '='; }

// The length of the blank at text[i]: a blank, tab, line end or other
// control byte (an end-of-file mark), or the ideographic space of GBK; 0
// for anything else. A NUL byte is no blank: it stands where the text was
// damaged.
size_t BlankAt(const std::string& text, size_t i) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (c != 0 && c <= ' ') return 1;
  return text.compare(i, 2, "\xA1\xA1") == 0 ? 2 : 0;
}

// The end of the word that begins at i: the next blank or NUL byte, or a
// "/" (a comment may follow a move without a blank); a double-byte
// character counts whole.
size_t WordEnd(const std::string& text, size_t i, bool slashEnds) {
  while (i < text.size() && BlankAt(text, i) == 0 && text[i] != '\0' &&
         !(slashEnds && text[i] == '/')) {
    const auto c = static_cast<unsigned char>(text[i]);
    const bool pair = c >= 0x81 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x40;
    i += pair ? 2 : 1;
  }
  return i;
}

// A pawn named by its file rather than by its letter ("7+.4", "77.4"), as
// the notation writes them when two files hold several pawns.
bool IsPawnFileMove(const std::string& word) {
  return word.size() >= 4 && IsDigit(word[0]) && (IsMarkSign(word[1]) || word[1] == word[0]) &&
         IsDirection(word[2]) && IsDigit(word[3]);
}

// Dots alone ("...", or the GBK ellipsis) stand for a move not written: red's
// move before black's first one.
bool IsDotsOnly(const std::string& word) {
  if (word.empty()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (word[i] == '.') continue;
    if (word.compare(i, 2, "\xA1\xAD") != 0) return false;
    ++i;
  }
  return true;
}

// "$" and digits: an annotation glyph, which holds no move.
bool IsGlyph(const std::string& word) {
  if (word.size() < 2 || word[0] != '$') return false;
  for (size_t i = 1; i < word.size(); ++i)
    if (!IsDigit(word[i])) return false;
  return true;
}

// The annotation mark written after a move, kMarkNone for none; *known is
// false when the text is something other than marks.
uint8_t MarkOf(const std::string& tail, bool* known) {
  *known = true;
  if (tail.empty()) return kMarkNone;
  for (uint8_t code = kMarkBlunder; code <= kMarkBrilliant; ++code)
    if (tail == AnnotationMarkText(code)) return code;
  // Other runs of "!", "?" and "=" ("!?", "?!") are marks this program does
  // not keep.
  *known = tail.find_first_not_of("!?=") == std::string::npos;
  return kMarkNone;
}

// Reads the move section of a PGN file into the staged game, word by word.
class MoveSectionReader {
 public:
  // textCut: the section ends where a UTF-8 damage was found (and
  // reported), not where the file ends.
  MoveSectionReader(const std::string& text, LoadedGame& game, const char* path, bool textCut)
      : text_(text), game_(game), path_(path), textCut_(textCut) {}

  // Reads up to the end of the game. Returns true when the moves were read to
  // their end; false when they ended early (logged; UnreadMoveText then holds
  // the rest of the section).
  bool Read() {
    bool numberPending = false;  // a move number not yet followed by a move
    size_t i = 0;
    for (;;) {
      while (i < text_.size()) {
        const size_t blank = BlankAt(text_, i);
        if (blank == 0) break;
        i += blank;
      }
      if (i >= text_.size())
        return !numberPending || Stop(lastNumber_, "the file ends after a move number", true);
      // What a NUL byte stands in place of (a blank, a move, several) is
      // lost: the moves end there.
      if (text_[i] == '\0') return Stop(i, kNulInMoves);
      const std::string whole = text_.substr(i, WordEnd(text_, i, false) - i);
      const size_t end = WordEnd(text_, i, true);
      const std::string word = text_.substr(i, end - i);
      if (text_.compare(i, 2, "/*") == 0) {
        const size_t close = text_.find("*/", i + 2);
        if (close == std::string::npos) return Stop(i, "the file ends inside a comment", true);
        ParseKeywordGame(text_.data() + i, close + 2 - i, game_, 1);
        i = close + 2;
        continue;
      }
      if (whole.compare(0, 4, "}END") == 0 || text_.compare(i, 5, "} END") == 0 ||
          IsResultWord(whole))
        return AfterGameEnd(i);
      if (text_[i] == '{') return Stop(i, "a comment in braces is not read");
      if (text_[i] == '(') return Stop(i, "a variation is not read");
      if (text_[i] == '[') return Stop(i, "a tag among the moves: only the first game is read");
      if (IsDigit(text_[i]) && !IsPawnFileMove(word) && !IsNumberedPawnWord(word)) {
        // A move number: digits, then dots or the end of the word; a move
        // written without a blank after the dots is read next.
        size_t j = i;
        while (j < end && IsDigit(text_[j])) ++j;
        if (j < end && text_[j] != '.') return Stop(i, "neither a move number nor a move");
        if (!numbering_.Follows(LeadingNumber(word), Ply(), !game_.customStart))
          return Stop(i, kNumberNotFollowing);
        const size_t dotsFrom = j;
        while (j < end && text_[j] == '.') ++j;
        if (j - dotsFrom >= 2 && RedMovesFirst()) return Stop(i, kFirstMoveNotWritten);
        numberPending = true;
        lastNumber_ = i;
        i = j;
        continue;
      }
      if (IsDotsOnly(word) || IsGlyph(word)) {
        if (IsDotsOnly(word) && word.size() >= 2 && RedMovesFirst())
          return Stop(i, kFirstMoveNotWritten);
        i = end;
        continue;
      }
      if (!ReadMove(i, word)) return false;
      numberPending = false;
      i = end;
    }
  }

 private:
  int Ply() const { return static_cast<int>(game_.moves.size()); }

  // "..." (or "1...") stands for red's move, not written, before black's
  // first one: before the first move of a game whose start has red to move
  // (the standard start: its FEN tag lost), black's moves would be read as
  // red's.
  bool RedMovesFirst() const { return Ply() == 0 && sideToMove == kRed; }

  // Ends the moves early at offset at of the section. What runs to the end
  // of a section cut at a damage (a move number with its move lost, a move
  // cut short, a comment; atEnd: the fault is that end) was cut there: the
  // damage was reported, the word is not.
  bool Stop(size_t at, const char* why, bool atEnd = false) {
    // The word as it stands, with the NUL bytes in it.
    size_t end = at;
    while (end < text_.size() && BlankAt(text_, end) == 0) ++end;
    const std::string word = text_.substr(at, end - at);
    if (!textCut_ ||
        (!atEnd && text_.find_first_not_of(" \t\r\n", end) != std::string::npos)) {
      LogLoadProblem(path_, "move %d \"%s\": %s, the game ends before it", Ply() + 1,
                     LoggableText(word).c_str(), why);
    }
    SetUnreadMoveText(text_.substr(at));
    return false;
  }

  // The game ended with its result or end mark at offset at. What follows
  // is not read (a banner, the end of a page), unless it holds moves: the
  // tags or the first move number of a further game (after a first one that
  // has moves), or moves that go on past the mark, which then stands among
  // the moves.
  bool AfterGameEnd(size_t at) {
    const size_t markEnd = text_.compare(at, 5, "} END") == 0 ? at + 5 : WordEnd(text_, at, false);
    const std::string mark = text_.substr(at, markEnd - at);
    bool lineStart = false;
    for (size_t i = markEnd; i < text_.size();) {
      if (text_[i] == '\n' || text_[i] == '\r') lineStart = true;
      const size_t blank = BlankAt(text_, i);
      if (blank != 0) {
        i += blank;
        continue;
      }
      if (text_.compare(i, 2, "/*") == 0) {
        // A comment there is not read; the moves it may name are no moves.
        const size_t close = text_.find("*/", i + 2);
        i = close == std::string::npos ? text_.size() : close + 2;
        lineStart = false;
        continue;
      }
      if (text_[i] == '\0') {
        ++i;  // not read, as the rest of the text there
        continue;
      }
      const size_t end = WordEnd(text_, i, false);
      const WordAfterResult kind = KindOfWordAfterResult(text_.substr(i, end - i));
      if ((lineStart && text_[i] == '[') || (kind == kFirstMoveNumber && Ply() > 0)) {
        LogLoadProblem(path_, "the file holds more than one game: only the first is read");
        SetUnreadMoveText(text_.substr(i));
        return false;
      }
      if (kind != kNoMoveWord) {
        LogLoadProblem(path_, "move %d \"%s\": %s among the moves, the game ends before it",
                       Ply() + 1, LoggableText(mark).c_str(),
                       IsResultWord(mark) ? "a result" : "an end mark");
        SetUnreadMoveText(text_.substr(at));
        return false;
      }
      lineStart = false;
      i = end;
    }
    return true;
  }

  // One move word: four characters of move text, then perhaps a mark.
  bool ReadMove(size_t at, const std::string& word) {
    std::string text = word;
    NormalizeMoveText(text.c_str(), text.data());
    text.resize(std::strlen(text.c_str()));
    bool markKnown = false;
    const uint8_t mark =
        text.size() >= 4 ? MarkOf(text.substr(4), &markKnown) : static_cast<uint8_t>(kMarkNone);
    StageResult result = kStageInvalid;
    if (markKnown) {
      char move4[8] = {};
      std::memcpy(move4, text.data(), 4);
      const Move move = ParseWxfMove(move4, static_cast<int>(sideToMove));
      if (move != 0 && move != kWxfNoDirection) result = StageMove(game_, move);
    }
    if (result == kStageAccepted) {
      if (mark != kMarkNone) SetLoadedMark(game_, Ply(), mark);
      return true;
    }
    if (result == kStageFull) {
      LogLoadProblem(path_, "move %d: a game holds no more moves, the rest is not read",
                     Ply() + 1);
      SetUnreadMoveText(text_.substr(at));
      return false;
    }
    if (at + word.size() < text_.size() && text_[at + word.size()] == '\0')
      return Stop(at, kNulInMoves);  // the move was cut by it
    return Stop(at, result == kStageIllegal ? "the move leaves the king in check"
                                            : "not a move that can be made here");
  }

  const std::string& text_;
  LoadedGame& game_;
  const char* path_;
  bool textCut_;
  size_t lastNumber_ = 0;
  MoveNumbering numbering_;
};

}  // namespace

int ReadPgnGame(const char* path, GameHeader* header, int fullReset) {
  SetUnreadMoveText(std::string());
  std::string text;
  if (!ReadWholeFile(path, text)) return kLoadFailed;
  // A file in UTF-8 reads as the same text in GBK, up to a damage in it.
  const bool damaged = ConvertGameText(path, text);
  // Zero bytes after the last move hold none; those among the moves are
  // told where they stand.
  const bool empty = text.empty();
  const size_t zeros = DropZeroTail(text);
  LoadedGame game;
  game.header.hasInfo = 1;
  game.header.textPage = kHeaderTextsGbk;
  game.fileName = path;
  std::vector<std::string> lines;
  SplitLines(text, lines);

  StagingSession session(game);
  if (!session.open()) return kLoadFailed;
  // The tag section: the lines that begin with "[" (and empty lines) up to
  // the first other line, which begins the moves.
  size_t n = 0;
  bool recognised = false;
  bool tagDamaged = false;  // a NUL byte in a tag line (logged): read in part
  bool movesLost = false;   // and in place of the line end before the moves
  for (; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    if (line[first] != '[') break;
    std::string tag = line.substr(first);
    // A NUL byte stands where something of the file was lost. Text after it
    // other than the end of a tag followed the tag on another line, which
    // may have held the first moves: those after them would be read on a
    // position they were not written for, so none are read. Otherwise the
    // tag is read up to it (a text tag whose value holds it tells that as
    // the value is stored).
    const size_t nul = tag.find('\0');
    std::string lostText;  // what followed the tag in place of its line end
    if (nul != std::string::npos) {
      const std::string after = tag.substr(tag.find_last_of('\0') + 1);
      const size_t last = after.find_last_not_of(" \t");
      movesLost = last != std::string::npos && after[last] != ']';
      const TextTag* textTag = TextTagOf(tag);
      const bool toldByValue =
          !movesLost && textTag != nullptr &&
          TagValue(tag, std::strlen(textTag->name)).find('\0') != std::string::npos;
      if (!toldByValue) {
        if (movesLost) lostText = tag.substr(nul);
        tag.resize(nul);
        const bool read = TextTagOf(tag) != nullptr || StartsWith(tag, "[Result ") ||
                          StartsWith(tag, "[FEN ") || StartsWith(tag, "[Score ");
        LogLoadProblem(path, "line %d (%s): a NUL byte in the line, %s%s", static_cast<int>(n + 1),
                       LoggableText(line).c_str(),
                       read ? "the tag is read up to it" : "the tag is not read",
                       movesLost ? ", and the moves are not read" : "");
        tagDamaged = true;
      }
    }
    if (StartsWith(tag, "[Result ")) {
      const int result = ResultOfTag(TagValue(tag, 8));
      if (result >= 0) game.header.result = static_cast<int8_t>(result);
      recognised = true;
    } else {
      const TagOutcome outcome = ReadTag(game, tag);
      if (outcome == kTagBadStart) return kLoadBadBoard;
      if (outcome == kTagRead) recognised = true;
    }
    if (movesLost) {
      lines[n] = lostText;
      break;
    }
  }
  std::string moves;
  for (; n < lines.size(); ++n) moves += lines[n] + "\n";
  bool whole = true;
  if (movesLost) {
    SetUnreadMoveText(moves);
    whole = false;
  } else {
    moves = NarrowMoveSection(moves);
    whole = MoveSectionReader(moves, game, path, damaged).Read() && !tagDamaged;
  }
  session.End();
  // A file without any of the tags read and without a move holds nothing of
  // a game.
  if (!recognised && game.moves.empty()) {
    SetUnreadMoveText(std::string());
    LogLoadProblem(path, "%s", NoGameReason(empty, zeros, text, "no PGN tag or move found"));
    return kLoadEmpty;
  }
  CommitLoadedGame(game, header != nullptr ? *header : currentGameHeader, fullReset);
  return whole && !damaged ? kLoadOk : kLoadPartial;
}
