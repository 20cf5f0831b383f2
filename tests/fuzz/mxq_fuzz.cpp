// libFuzzer target: the MXQ reader on any file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/text_readers.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_support::InitOnce();
  fuzz_support::ResetGame();
  const std::string path = fuzz_support::WriteInput(data, size, "mxq");
  const fuzz_support::GameImage before = fuzz_support::GameImage::Take();
  const int result = ReadMxqGame(path.c_str(), &currentGameHeader, 0);
  fuzz_support::CheckRefusedLoad(result, before);
  // A whole read leaves no move text behind: moves that end early are told.
  fuzz_support::Require(result != kLoadOk || text_reading::UnreadMoveText().empty(),
                        "result 0 with move text left unread");
  fuzz_support::CheckGameAfterLoad(currentGameHeader);
  return 0;
}
