// libFuzzer target: the keyword text reader on any file, and its parser on
// the same bytes: a text read whole (result 0) has no move text left unread.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_support::InitOnce();
  fuzz_support::ResetGame();
  const std::string path = fuzz_support::WriteInput(data, size, "wxf");
  const fuzz_support::GameImage before = fuzz_support::GameImage::Take();
  const int result = LoadKeywordGameFile(path.c_str(), &currentGameHeader, 0);
  fuzz_support::CheckRefusedLoad(result, before);
  fuzz_support::CheckGameAfterLoad(currentGameHeader);

  // Both ways of reading: a keyword file and the move text of a tag file.
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (int movesStarted : {0, 1}) {
    LoadedGame game;
    size_t readTo = 0;
    const int parsed = ParseKeywordGame(text.data(), size, game, movesStarted, &readTo);
    fuzz_support::Require(readTo <= size, "read offset within the text");
    if (parsed == kKeywordParsed) {
      fuzz_support::Require(NothingLeftUnread(text.substr(readTo)),
                            "a text read whole has no move text left unread");
    }
  }
  return 0;
}
