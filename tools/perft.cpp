// perft: counts the leaf nodes of the legal-move tree of a position to a
// given depth, using the engine's own generator and move making.
//
//   perft "<FEN>" <depth> [--divide] [--red-iron] [--black-iron]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/eval/prepare.h"
#include "engine/position/perft.h"
#include "engine/position/position.h"
#include "engine/search/new_game.h"

namespace {

int Usage(const char* message) {
  std::fprintf(stderr, "perft: %s\n", message);
  std::fprintf(stderr,
               "usage: perft \"<FEN>\" <depth> [--divide] [--red-iron] [--black-iron]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const char* fen = nullptr;
  const char* depthText = nullptr;
  bool divide = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--divide") == 0) {
      divide = true;
    } else if (std::strcmp(argv[i], "--red-iron") == 0) {
      redIronPawn = 1;
    } else if (std::strcmp(argv[i], "--black-iron") == 0) {
      blackIronPawn = 1;
    } else if (argv[i][0] == '-' && argv[i][1] == '-') {
      return Usage((std::string("unknown option ") + argv[i]).c_str());
    } else if (fen == nullptr) {
      fen = argv[i];
    } else if (depthText == nullptr) {
      depthText = argv[i];
    } else {
      return Usage("too many arguments");
    }
  }
  if (fen == nullptr || depthText == nullptr) return Usage("a FEN and a depth are required");

  char* end = nullptr;
  const long depth = std::strtol(depthText, &end, 10);
  if (end == depthText || *end != '\0' || depth < 0 || depth > 20)
    return Usage("the depth must be a whole number from 0 to 20");

  std::string error;
  if (!SetUpPerftPosition(fen, &error)) return Usage(("invalid FEN: " + error).c_str());

  if (divide) {
    uint64_t total = 0;
    PerftDivide(static_cast<int>(depth), [&](Move move, uint64_t count) {
      char text[5];
      FormatCoordMove(move, text);
      std::printf("%s: %llu\n", text, static_cast<unsigned long long>(count));
      total += count;
    });
    std::printf("%llu\n", static_cast<unsigned long long>(total));
  } else {
    std::printf("%llu\n", static_cast<unsigned long long>(Perft(static_cast<int>(depth))));
  }
  return 0;
}
