// libFuzzer target: the keyword text reader on any file, and its parser on
// the same bytes: a text read whole (result 0) has no move text left unread,
// and the text with its lines ended by CR alone gives the same moves.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "game/keyword_files.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// What may follow the point where a text read whole stopped: nothing but
// blanks and line ends, or the end mark or result that ended the moves.
bool NothingLeftUnread(std::string_view rest) {
  const size_t first = rest.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return true;
  rest.remove_prefix(first);
  for (std::string_view end : {"}END", "} END", "1-0", "0-1", "1/2-1/2", "0-0", "*"})
    if (rest.substr(0, end.size()) == end) return true;
  return false;
}

// The text with every line end (LF, CR LF, CR) written as CR alone.
std::string CrLineEnds(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    out += text[i] == '\n' ? '\r' : text[i];
  }
  return out;
}

bool SameMoves(const LoadedGame& a, const LoadedGame& b) {
  if (a.moves.size() != b.moves.size()) return false;
  for (size_t i = 0; i < a.moves.size(); ++i)
    if (a.moves[i].move != b.moves[i].move) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_support::InitOnce();
  fuzz_support::ResetGame();
  const std::string path = fuzz_support::WriteInput(data, size, "wxf");
  const fuzz_support::GameImage before = fuzz_support::GameImage::Take();
  const int result = LoadKeywordGameFile(path.c_str(), &currentGameHeader, 0);
  fuzz_support::CheckRefusedLoad(result, before);
  fuzz_support::CheckGameAfterLoad(currentGameHeader);

  // Both ways of reading: a keyword file and the move text of a tag file;
  // the same text with its lines ended by CR alone reads alike.
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string crText = CrLineEnds(text);
  for (int movesStarted : {0, 1}) {
    LoadedGame game;
    size_t readTo = 0;
    const int parsed = ParseKeywordGame(text.data(), size, game, movesStarted, &readTo);
    fuzz_support::Require(readTo <= size, "read offset within the text");
    if (parsed == kKeywordParsed) {
      fuzz_support::Require(NothingLeftUnread(text.substr(readTo)),
                            "a text read whole has no move text left unread");
    }
    LoadedGame crGame;
    const int crParsed = ParseKeywordGame(crText.data(), crText.size(), crGame, movesStarted);
    fuzz_support::Require(crParsed == parsed && SameMoves(crGame, game),
                          "lines ended by CR read like lines ended by LF");
  }
  return 0;
}
