// libFuzzer target: a stored database record (3 lead bytes, then gzip
// members or plain record data) read through the index, header only and
// then as the game with its comments.
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/database.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_support::InitOnce();
  fuzz_support::ResetGame();
  CGameDatabase database;
  database.fileName = fuzz_support::WriteInput(data, size, "vzd");
  const uint16_t length = static_cast<uint16_t>(size < 0xFFFF ? size : 0xFFFF);
  database.index.push_back({length, 0, 0});
  database.gameCount = 1;

  const fuzz_support::GameImage before = fuzz_support::GameImage::Take();
  GameHeader header = emptyGameHeader;
  int32_t moveCount = 0;
  database.LoadGame(0, &header, &moveCount, 0, 0);
  fuzz_support::Require(fuzz_support::GameImage::Take().bytes == before.bytes,
                        "a header-only read leaves the game unchanged");
  const int loaded = database.LoadGame(0, &currentGameHeader, &moveCount, 1, 1);
  fuzz_support::CheckRefusedLoad(loaded == 1 ? 0 : 1, before);
  fuzz_support::CheckGameAfterLoad(currentGameHeader);
  return 0;
}
