// Reading keyword text game files. The text is parsed into a staged game
// (game_loader.h): the moves are checked on the staged position, and the
// user's game is replaced only when the whole file was read.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/bridge.h"
#include "engine/position/position.h"
#include "game/game_loader.h"
#include "game/keyword_files.h"
#include "game/loaded_texts.h"
#include "game/notation.h"
#include "game/regular_file.h"
#include "game/text_readers.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsMarkSign(char c) { return c == '+' || c == '-'; }
bool IsDirection(char c) { return c == '+' || c == '-' || c == '.' || c == '='; }

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

std::string_view SkipLeading(std::string_view text, bool tabsToo) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (tabsToo && text[i] == '\t'))) ++i;
  return text.substr(i);
}

// The annotation code of a mark text, 0 for anything else.
uint8_t MarkCode(std::string_view text) {
  for (uint8_t code = kMarkBlunder; code <= kMarkBrilliant; ++code)
    if (text == AnnotationMarkText(code)) return code;
  return kMarkNone;
}

// Undoes the writer's escape: a "*" followed by backslashes and a "/" loses
// one of the backslashes.
std::string UnescapeComment(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] != '*') continue;
    size_t j = i + 1;
    while (j < text.size() && text[j] == '\\') ++j;
    if (j > i + 1 && j < text.size() && text[j] == '/') ++i;  // drop one backslash
  }
  return out;
}

// A pawn named by its file rather than by its letter ("7+.4", "77.4"),
// as the notation writes them when two files hold several pawns, perhaps
// with a mark; any other token that begins with a digit is a move number,
// perhaps glued to its move ("11.7+.4").
bool IsPawnFileMove(std::string_view token) {
  return token.size() >= 4 && IsDigit(token[0]) && (IsMarkSign(token[1]) || token[1] == token[0]) &&
         IsDirection(token[2]) && IsDigit(token[3]) &&
         (token.size() == 4 || token[4] == '!' || token[4] == '?' || token[4] == '=');
}

// A game result, as a whole token: "1-0", "0-1", "1/2-1/2", "0-0" or "*".
// It ends the moves when no move follows it.
size_t ResultTokenLength(std::string_view rest) {
  for (std::string_view result : {"1/2-1/2", "1-0", "0-1", "0-0", "*"}) {
    if (StartsWith(rest, result) &&
        (rest.size() == result.size() || IsBlank(rest[result.size()])))
      return result.size();
  }
  return 0;
}

bool IsEndMark(std::string_view rest) {
  return StartsWith(rest, "}END") || StartsWith(rest, "} END");
}

// A name keeps its leading blanks: the writer puts blanks and one tab
// between the keyword and the value, so after the first tab only further
// tabs are passed over; a value without a tab has its blanks skipped.
std::string_view NameValue(std::string_view afterKeyword) {
  size_t i = 0;
  while (i < afterKeyword.size() && afterKeyword[i] == ' ') ++i;
  if (i < afterKeyword.size() && afterKeyword[i] == '\t') {
    while (i < afterKeyword.size() && afterKeyword[i] == '\t') ++i;
  }
  return afterKeyword.substr(i);
}

// A rating as the writer writes it: an optional sign and digits.
bool IsWrittenRating(std::string_view text) {
  size_t i = text.size() > 0 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i >= text.size()) return false;
  for (; i < text.size(); ++i)
    if (!IsDigit(text[i])) return false;
  return true;
}

// A line after the end of the moves that begins another game: the first
// line the writer writes, "START", or a header keyword whose value is read.
// Anything else there (blank lines, the rest of a web page, moves without a
// "START") is no game and is not read.
bool BeginsAnotherGame(std::string_view line) {
  for (std::string_view keyword : {"FORMAT", "START", "EVENT", "ROUND", "FEN", "CFEN", "RESULT",
                                   "RED", "BLACK", "DATE", "PLACE"})
    if (StartsWith(line, keyword)) return true;
  return false;
}

class KeywordParser {
 public:
  // textCut: the text ends where a damage was found (and reported) rather
  // than where the file ends, so what the end cuts off is not reported again.
  KeywordParser(LoadedGame& game, bool movesStarted, bool textCut)
      : game_(game), movesStarted_(movesStarted), textCut_(textCut), inMoves_(movesStarted) {}

  // Returns false when the text cannot be set up (a start position that is
  // not sound).
  bool Parse(const char* text, size_t length) {
    text_ = text;
    length_ = length;
    readTo_ = length;
    // Lines end with LF, CR LF or CR alone.
    const std::string_view all(text, length);
    size_t start = 0;
    while (!failed_) {
      const size_t stop = std::min(all.find_first_of("\r\n", start), length);
      const std::string_view line = all.substr(start, stop - start);
      if (!ended_) {
        const bool header = !inMoves_;
        const bool inComment = inComment_;
        const size_t nulNotes = NulNotes();
        HandleLine(line);
        if (header && !ended_ && !failed_ && NulNotes() == nulNotes)
          TellNulInHeader(line, inComment);
      } else if (!partial_ && !movesStarted_ && BeginsAnotherGame(line)) {
        LogLoadProblem(game_.fileName.c_str(), "%s",
                       "the file holds more than one game: only the first is read");
        partial_ = true;
        readTo_ = start;
        break;
      } else if (partial_ || movesStarted_) {
        break;
      }
      if (stop == length) break;
      start = stop + (all.compare(stop, 2, "\r\n") == 0 ? 2 : 1);
    }
    // Told only for a text in which a keyword text was found: other bytes
    // are no game, damaged or not.
    if (recognised_ && !failed_) {
      for (const std::string& line : nulLines_) {
        LogLoadProblem(game_.fileName.c_str(),
                       "a NUL byte in the line \"%s\" before the moves, the rest of it is not read",
                       LoggableText(line).c_str());
        partial_ = true;
      }
    }
    if (inComment_ && !failed_) {
      // A comment that is never closed: the file was cut or its end mark
      // damaged, and whatever followed it is lost in the comment.
      StoreComment(comment_);
      if (!textCut_) {
        LogLoadProblem(game_.fileName.c_str(), "%s",
                       "a comment is not closed, the file is read up to it");
      }
      partial_ = true;
    } else if (inMoves_ && !movesStarted_ && !ended_ && !afterResult_ && !failed_) {
      // The moves of a keyword file end with "}END" (or a result): a file
      // without it was cut, perhaps between two moves, and what followed is
      // lost.
      if (!textCut_) {
        LogLoadProblem(game_.fileName.c_str(), "the file ends after move %d without \"}END\", "
                       "it is read up to its end", Ply());
      }
      partial_ = true;
    }
    if (!inMoves_ && formatSeen_ && recognised_ && !passedOver_ && !failed_) {
      // A file the writer began ("FORMAT") that ends before the "START" of
      // its moves was cut in its header: the moves are lost.
      if (!textCut_) {
        LogLoadProblem(game_.fileName.c_str(), "%s",
                       "the file ends before the \"START\" of its moves, they are not read");
      }
      partial_ = true;
    }
    if (!inMoves_ && passedOver_ && recognised_ && !failed_) {
      // A keyword text whose "START" was not found among lines that were
      // not read: its moves, if any, are lost among them.
      LogLoadProblem(game_.fileName.c_str(), "%s",
                     "no \"START\" of the moves found, the moves are not read");
      partial_ = true;
    }
    return !failed_;
  }
  bool recognised() const { return recognised_; }
  // The file was read in part: the moves end before text that could not be
  // read or a move that could not be made, or where the game record is full.
  bool partial() const { return partial_; }
  // The offset of the first byte of the text that was not read: the end
  // mark (or result) that ended the moves, the text that stopped them, or
  // the length when the whole text was read.
  size_t readTo() const { return readTo_; }

 private:
  int Ply() const { return static_cast<int>(game_.moves.size()); }

  // How many texts were stored cut at a NUL byte (which tells it).
  size_t NulNotes() const {
    return static_cast<size_t>(std::count_if(game_.cutTexts.begin(), game_.cutTexts.end(),
                                             [](const CutText& cut) { return cut.atNul; }));
  }

  // A NUL byte in a line before the moves, outside a text that tells it as
  // it is stored (a header value, a comment), stands where something was
  // lost: a keyword, a value, a line end and the line after it. A comment
  // that began before the line (inComment), or that goes on after it, holds
  // the bytes before its end mark.
  void TellNulInHeader(std::string_view line, bool inComment) {
    size_t from = 0;
    if (inComment) {
      from = line.find("*/");
      if (from == std::string_view::npos) return;
    } else if (inComment_) {
      return;
    }
    if (line.find('\0', from) != std::string_view::npos) nulLines_.emplace_back(line);
  }

  // The comment is gathered whole; storing it cuts it to what is kept.
  void AppendToComment(std::string_view part) { comment_.append(part); }

  // Stores a comment as gathered (escaped, line breaks as CR LF); one more
  // comment on the same place follows the one before.
  void StoreComment(const std::string& text) {
    static constexpr CommentForm kEscaped{EscapeComment, UnescapeComment};
    AddLoadedComment(game_, Ply(), text, kKeywordCommentCap, &kEscaped);
  }

  void SetField(HeaderField field, std::string_view value) {
    SetLoadedHeaderText(game_, field, value);
  }

  // A comment that begins at the start of body (just after "/*"). Returns
  // the rest of the line after the comment's end mark, or nothing when the
  // comment goes on over the next lines.
  std::string_view OpenComment(std::string_view body, bool* closed) {
    const size_t mark = body.find("*/");
    comment_.clear();
    if (mark != std::string_view::npos) {
      AppendToComment(body.substr(0, mark));
      StoreComment(comment_);
      *closed = true;
      return body.substr(mark + 2);
    }
    AppendToComment(body);
    AppendToComment("\r\n");
    inComment_ = true;
    *closed = false;
    return {};
  }

  // Ends the moves before rest (text of the move section that is not read):
  // the file is read in part. A word that runs to the end of a text cut at
  // a damage was cut there itself: the damage was reported, the word is not.
  void StopBefore(std::string_view rest, const char* what) {
    const size_t end = std::min(rest.find_first_of(" \t"), rest.size());
    if (!textCut_ || rest.data() + end != text_ + length_) {
      LogLoadProblem(game_.fileName.c_str(), "move %d: %s \"%s\", the game ends before it",
                     Ply() + 1, what, LoggableText(std::string(rest.substr(0, end))).c_str());
    }
    partial_ = true;
    ended_ = true;
    readTo_ = static_cast<size_t>(rest.data() - text_);
  }

  // Moves after the result: the first move number of a further game (after
  // a first one that has moves), or moves that go on past the result, which
  // then stands among the moves. The game ends at the result, read in part.
  void StopAfterResult(std::string_view word, text_reading::WordAfterResult kind) {
    if (kind == text_reading::kFirstMoveNumber && Ply() > 0) {
      LogLoadProblem(game_.fileName.c_str(), "%s",
                     "the file holds more than one game: only the first is read");
      readTo_ = static_cast<size_t>(word.data() - text_);
    } else {
      LogLoadProblem(game_.fileName.c_str(),
                     "move %d: a result among the moves \"%s\", the game ends before it", Ply() + 1,
                     std::string(result_).c_str());
    }
    partial_ = true;
    ended_ = true;
  }

  void HandleLine(std::string_view line) {
    if (inComment_) {
      // The end mark may stand anywhere in a continuation line, also at its
      // very start.
      const size_t mark = line.find("*/");
      if (mark == std::string_view::npos) {
        AppendToComment(line);
        AppendToComment("\r\n");
        return;
      }
      AppendToComment(line.substr(0, mark));
      StoreComment(comment_);
      inComment_ = false;
      const std::string_view rest = line.substr(mark + 2);
      if (inMoves_) {
        ReadMoveTokens(rest);
      } else if (StartsWith(SkipLeading(rest, true), "/*")) {
        // Another comment after the end of this one, before the moves.
        HandleKeyword(SkipLeading(rest, true));
      }
      return;
    }
    if (line.empty()) return;
    if (afterResult_ && !movesStarted_ && BeginsAnotherGame(line)) {
      // The result ended the first game, and another one begins.
      LogLoadProblem(game_.fileName.c_str(), "%s",
                     "the file holds more than one game: only the first is read");
      partial_ = true;
      ended_ = true;
      readTo_ = static_cast<size_t>(line.data() - text_);
      return;
    }
    if (HandleKeyword(line)) return;
    if (!inMoves_) {
      // Text before the moves: page text, other keywords.
      passedOver_ = true;
      return;
    }
    if (movesStarted_ && line[0] == '[') {
      // The move text of a tag file: tags the reader does not read may stand
      // before the moves; a tag after them begins another game.
      if (Ply() == 0) return;
      StopBefore(line, "another game or a tag after the moves");
      return;
    }
    ReadMoveTokens(line);
  }

  // The keyword lines, compared case-sensitively in this order. Returns
  // false when the line is none of them.
  bool HandleKeyword(std::string_view line) {
    static constexpr std::string_view kSkipped[] = {"FORMAT", "<PRE>", "\"", "GAME", "TIME"};
    if (StartsWith(line, "FORMAT")) formatSeen_ = true;
    for (std::string_view keyword : kSkipped)
      if (StartsWith(line, keyword)) return true;
    GameHeader& h = game_.header;
    // The keywords whose value is read, and START, tell a keyword text; the
    // skipped ones above and comments alone do not (a text with its line
    // ends lost is one line beginning with FORMAT).
    bool valueKeyword = true;
    if (StartsWith(line, "EVENT")) {
      SetField(kHeaderEvent, SkipLeading(line.substr(5), true));
    } else if (StartsWith(line, "/*")) {
      bool closed = false;
      valueKeyword = false;
      const std::string_view rest = OpenComment(line.substr(2), &closed);
      if (closed && inMoves_) {
        ReadMoveTokens(rest);
      } else if (closed && StartsWith(SkipLeading(rest, true), "/*")) {
        // Another comment on the same line before the moves.
        HandleKeyword(SkipLeading(rest, true));
      }
    } else if (StartsWith(line, "AUTHOR")) {
      valueKeyword = false;  // not read
    } else if (StartsWith(line, "ROUND")) {
      SetField(kHeaderRound, SkipLeading(line.substr(5), false));
    } else if (StartsWith(line, "FEN")) {
      ReadStartPosition(line, SkipLeading(line.substr(3), true), "FEN line");
    } else if (StartsWith(line, "CFEN")) {
      ReadStartPosition(line, SkipLeading(line.substr(4), true), "CFEN line");
    } else if (StartsWith(line, "RESULT")) {
      if (line.size() >= 11) {
        const std::string_view result = line.substr(8, 3);
        if (result == "1-0")
          h.result = kResultRedWins;
        else if (result == "0-1")
          h.result = kResultBlackWins;
        else if (result == "0-0" || result == "0.5")
          h.result = kResultDraw;
      }
    } else if (StartsWith(line, "RED")) {
      ReadPlayer(NameValue(line.substr(3)), kHeaderRedName, kHeaderRedElo);
    } else if (StartsWith(line, "BLACK")) {
      ReadPlayer(NameValue(line.substr(5)), kHeaderBlackName, kHeaderBlackElo);
    } else if (StartsWith(line, "DATE")) {
      SetField(kHeaderDate, SkipLeading(line.substr(4), true));
    } else if (StartsWith(line, "PLACE")) {
      SetField(kHeaderSite, SkipLeading(line.substr(5), true));
    } else if (StartsWith(line, "START")) {
      if (startSeen_) {
        // The moves of another game, or of this one again, begin before
        // the first ones ended.
        StopBefore(line, "a second \"START\" among the moves");
        return true;
      }
      startSeen_ = true;
      inMoves_ = true;
      // Moves may follow on the same line, after "START" and its brace.
      std::string_view rest = line.substr(5);
      if (!rest.empty() && rest[0] == '{') rest.remove_prefix(1);
      recognised_ = true;
      ReadMoveTokens(rest);
      return true;
    } else {
      return false;
    }
    if (valueKeyword) recognised_ = true;
    return true;
  }

  // "name;rating;;" as the writer writes it, where the name may hold ";"
  // itself: the rating is the number before the closing ";;", and a value
  // ending in ";;;" has no rating. Any other value is "name;rating;..." or
  // the name alone.
  void ReadPlayer(std::string_view value, HeaderField name, HeaderField elo) {
    if (value.size() >= 3 && value.substr(value.size() - 2) == ";;") {
      const std::string_view fields = value.substr(0, value.size() - 2);
      if (fields.back() == ';') {
        SetField(name, fields.substr(0, fields.size() - 1));
        return;
      }
      const size_t last = fields.rfind(';');
      if (last != std::string_view::npos) {
        const std::string_view rating = SkipLeading(fields.substr(last + 1), true);
        if (IsWrittenRating(rating)) {
          SetField(name, fields.substr(0, last));
          SetField(elo, rating);
          return;
        }
      }
    }
    const size_t semicolon = value.find(';');
    SetField(name, value.substr(0, semicolon));
    if (semicolon == std::string_view::npos) return;
    std::string_view rating = SkipLeading(value.substr(semicolon + 1), true);
    SetField(elo, rating.substr(0, rating.find(';')));
  }

  // A set-up start position, checked as every reader checks one. Once moves
  // were read the start position can no longer change: a FEN line among
  // the moves is text that is not read, and ends them.
  void ReadStartPosition(std::string_view line, std::string_view fen, const char* what) {
    if (Ply() > 0) {
      StopBefore(line,
                 what[0] == 'C' ? "a CFEN line among the moves" : "a FEN line among the moves");
      return;
    }
    if (!StageFileStartFen(game_, std::string(fen).c_str(), what)) failed_ = true;
  }

  // The blank- or tab-separated tokens of a line of the move section: move
  // numbers (also glued to their move, "12.C2.5", and "1. ..." before a
  // first black move), moves, comments, and the end mark or a result that
  // ends the moves. Anything else ends the moves before it.
  void ReadMoveTokens(std::string_view line) {
    size_t i = 0;
    while (!ended_ && !failed_) {
      while (i < line.size() && IsBlank(line[i])) ++i;
      if (i >= line.size()) return;
      std::string_view rest = line.substr(i);
      if (IsEndMark(rest)) {
        ended_ = true;
        if (!afterResult_) readTo_ = static_cast<size_t>(rest.data() - text_);
        return;
      }
      if (const size_t length = ResultTokenLength(rest); length > 0) {
        // The result ends the moves unless moves follow it (see below).
        if (!afterResult_) {
          afterResult_ = true;
          result_ = rest.substr(0, length);
          readTo_ = static_cast<size_t>(rest.data() - text_);
        }
        i += length;
        continue;
      }
      if (StartsWith(rest, "/*")) {
        // A comment on the last move read: "/*" and its text.
        bool closed = false;
        const std::string_view after = OpenComment(rest.substr(2), &closed);
        if (!closed) return;
        line = after;
        i = 0;
        continue;
      }
      if (afterResult_) {
        // Text after the result is not read, unless it holds moves.
        const std::string_view word =
            rest.substr(0, std::min(rest.find_first_of(" \t"), rest.size()));
        const text_reading::WordAfterResult kind =
            text_reading::KindOfWordAfterResult(std::string(word));
        if (kind != text_reading::kNoMoveWord) {
          StopAfterResult(word, kind);
          return;
        }
        i += word.size();
        continue;
      }
      if (rest[0] == '\0') {
        // What a NUL byte stands in place of (a blank, a move) is lost.
        StopBefore(rest, "a NUL byte in the move text");
        return;
      }
      if (rest[0] == '/') {
        // A "/" alone begins no comment: it is text that is not read, and
        // reading it as one would lose the moves up to some later "*/".
        StopBefore(rest, "a \"/\" that begins no comment");
        return;
      }
      size_t end = 0;
      while (end < rest.size() && !IsBlank(rest[end]) && rest[end] != '/' && rest[end] != '\0')
        ++end;
      i += end;
      std::string_view token = rest.substr(0, end);
      if (!IsPawnFileMove(token) && !IsNumberedPawnWord(token)) {
        // A move number, with its dots, perhaps glued to the move.
        size_t digits = 0;
        while (digits < token.size() && IsDigit(token[digits])) ++digits;
        size_t dots = digits;
        while (dots < token.size() && token[dots] == '.') ++dots;
        if (digits > 0 &&
            !numbering_.Follows(text_reading::LeadingNumber(token), Ply(), !game_.customStart)) {
          StopBefore(rest, text_reading::kNumberNotFollowing);
          return;
        }
        if (dots - digits >= 2 && Ply() == 0 && sideToMove == kRed) {
          // "..." stands for red's move, not written, before black's first
          // one: where red is to move (the standard start, its FEN line
          // lost), black's moves would be read as red's.
          StopBefore(rest, text_reading::kFirstMoveNotWritten);
          return;
        }
        if (dots == token.size()) continue;  // "12.", "1...", "..."
        token.remove_prefix(dots);
      }
      if (!ReadMove(token)) {
        StopBefore(token, refusedWhat_);
        return;
      }
    }
  }

  // One move token: four characters of move text, then perhaps a mark.
  // Returns false (with refusedWhat_ set) when it is no move that can be
  // made here; a full game record ends the moves (cut).
  bool ReadMove(std::string_view token) {
    // Chinese and full-width move texts become WXF texts.
    const std::string text = text_reading::NormalizeMoveWord(std::string(token));
    uint8_t mark = kMarkNone;
    if (text.size() > 4) {
      mark = MarkCode(std::string_view(text).substr(4));
      if (mark == kMarkNone) {
        refusedWhat_ = "a move text that is not read";
        return false;
      }
    }
    char move4[8] = {};
    std::memcpy(move4, text.data(), text.size() < 4 ? text.size() : 4);
    const Move move = ParseWxfMove(move4, static_cast<int>(sideToMove));
    StageResult result = kStageInvalid;
    if (move != 0 && move != kWxfNoDirection) {
      // The wrong-colour refusal is worth a log line.
      CheckUserMove(move, board, sideToMove, 1);
      result = StageMove(game_, move);
    }
    if (result == kStageFull) {
      // The game record is full: the file is read in part.
      refusedWhat_ = "a game holds no more moves, not read";
      return false;
    }
    if (result != kStageAccepted) {
      refusedWhat_ = "move refused";
      return false;
    }
    recognised_ = true;
    if (mark != kMarkNone) SetLoadedMark(game_, Ply(), mark);
    return true;
  }

  LoadedGame& game_;
  const char* text_ = "";
  size_t length_ = 0;
  bool movesStarted_;
  bool textCut_;
  bool inMoves_;
  bool inComment_ = false;
  bool ended_ = false;
  bool afterResult_ = false;  // a result was read, and no end mark since
  std::string_view result_;   // that result
  bool startSeen_ = false;    // the "START" of the moves
  bool failed_ = false;
  bool recognised_ = false;  // a header keyword, start position, START or move seen
  bool partial_ = false;
  bool passedOver_ = false;  // a line before the moves that was not read
  bool formatSeen_ = false;  // the "FORMAT" line that begins a written file
  size_t readTo_ = 0;
  const char* refusedWhat_ = "";
  std::string comment_;
  std::vector<std::string> nulLines_;  // lines before the moves damaged by a NUL byte
  text_reading::MoveNumbering numbering_;
};

// ParseKeywordGame on a text that may have been cut at a damage (textCut).
int ParseKeywordText(const char* text, size_t length, LoadedGame& game, int movesStarted,
                     size_t* readTo, bool textCut) {
  if (text == nullptr) length = 0;
  if (readTo != nullptr) *readTo = 0;
  // Use the caller's staging session when one is open (a PGN reader that set
  // up its own start position), else one of our own.
  const bool ownSession = StagingActive() == 0;
  if (ownSession && BeginStaging(game) == 0) return kKeywordBadStart;
  KeywordParser parser(game, movesStarted != 0, textCut);
  const bool ok = parser.Parse(text != nullptr ? text : "", length);
  if (ownSession) EndStaging();
  if (readTo != nullptr) *readTo = parser.readTo();
  if (!ok) return kKeywordBadStart;
  if (parser.partial()) return kKeywordCut;
  return parser.recognised() ? kKeywordParsed : kKeywordNothingFound;
}

}  // namespace

int ParseKeywordGame(const char* text, size_t length, LoadedGame& game, int movesStarted,
                     size_t* readTo) {
  return ParseKeywordText(text, length, game, movesStarted, readTo, false);
}

int LoadKeywordGameFile(const char* path, GameHeader* header, int fullReset) {
  if (path == nullptr || header == nullptr) return kLoadFailed;
  std::FILE* file = OpenRegularFile(path, "rb");
  if (file == nullptr) return kLoadFailed;
  // The whole file, up to the cap; a longer file is refused rather than
  // loaded in part.
  std::string text;
  char chunk[65536];
  bool tooLong = false;
  bool readError = false;
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, file);
    if (text.size() + n > kKeywordFileCap) {
      tooLong = true;
      break;
    }
    text.append(chunk, n);
    if (n < sizeof chunk) {
      readError = std::ferror(file) != 0;
      break;
    }
  }
  std::fclose(file);
  if (tooLong || readError) {
    LogLoadProblem(path, "%s", tooLong ? "file too long" : "read error");
    return kLoadFailed;
  }

  // A file written in UTF-8 is read as the same text in GBK; one damaged
  // there is read up to the damage, which ConvertGameText reports.
  const bool damaged = text_reading::ConvertGameText(path, text);

  LoadedGame game;
  game.header = emptyGameHeader;
  game.header.textPage = kHeaderTextsGbk;
  game.fileName = path;
  const int parsed = ParseKeywordText(text.data(), text.size(), game, 0, nullptr, damaged);
  switch (parsed) {
    case kKeywordParsed:
    case kKeywordCut: break;
    case kKeywordNothingFound:
      LogLoadProblem(path, "%s",
                     text.empty() ? "the file is empty" : "no keyword, position or move found");
      return kLoadEmpty;
    default: return kLoadFailed;
  }
  CommitLoadedGame(game, *header, fullReset);
  return parsed == kKeywordCut || damaged ? kLoadPartial : kLoadOk;
}
