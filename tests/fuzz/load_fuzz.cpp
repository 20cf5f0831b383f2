// libFuzzer target: LoadGameFile, the dispatcher File > Load runs, on any
// file under any name. The first input byte picks the name's extension (its
// low four bits, from kExtensions), whether the path is given in double
// quotes (bit 4), and whether the file is made longer than the text
// readers' size cap (bits 5 to 7 all set: zero bytes added up to one byte
// past the cap); the rest is the file. A file that is refused leaves the
// user's game exactly as it was, and a text file over the cap is always
// refused.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "game/keyword_files.h"
#include "game/load_game.h"
#include "game/text_readers.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr const char* kExtensions[16] = {"egf", "vgf", "vbf", "xqn", "mxq", "wxf", "ccf", "htm",
                                         "html", "axf", "pgn", "txt", "", "EGF", "Pgn", "dat"};
static_assert(kTextGameFileCap == kKeywordFileCap);

// The file <scratch>/<name>: body, then zero bytes up to one byte past the
// cap (a sparse file, written at once).
std::string WriteOversizeInput(const uint8_t* body, size_t size, const std::string& name) {
  const std::string path = fuzz_support::WriteInputFile(body, size, name);
  if (truncate(path.c_str(), static_cast<off_t>(kTextGameFileCap + 1)) != 0) std::abort();
  return path;
}

bool IsBinaryKind(const std::string& extension) {
  return extension == "egf" || extension == "vgf" || extension == "vbf" || extension == "EGF";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_support::InitOnce();
  if (size == 0) return 0;
  const std::string extension = kExtensions[data[0] & 15];
  const bool quoted = (data[0] & 0x10) != 0;
  const bool oversize = (data[0] & 0xE0) == 0xE0;
  fuzz_support::ResetGame();
  const std::string name = extension.empty() ? "input" : "input." + extension;
  std::string path = oversize ? WriteOversizeInput(data + 1, size - 1, name)
                              : fuzz_support::WriteInputFile(data + 1, size - 1, name);
  if (quoted) path = "\"" + path + "\"";

  const fuzz_support::GameImage before = fuzz_support::GameImage::Take();
  const int result = LoadGameFile(path.c_str(), &currentGameHeader, 1);
  if (extension.empty())
    fuzz_support::Require(!GameWasLoaded(result), "a file without an extension is refused");
  if (oversize && !IsBinaryKind(extension))
    fuzz_support::Require(!GameWasLoaded(result), "a text file over the cap is refused");
  fuzz_support::CheckRefusedLoad(result, before);
  fuzz_support::CheckGameAfterLoad(currentGameHeader);
  return 0;
}
