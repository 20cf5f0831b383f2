// search: the engine plays one move of a position at a fixed depth or time,
// with the opening books and learning off, and reports each completed
// iteration and the result. --bench searches the benchmark positions at a
// fixed depth and reports the node count and speed.
//
//   search "<FEN>" [--depth N | --movetime MS] [--hash MB] [--level K]
//   search --bench
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/position/position.h"
#include "engine/search/bench_positions.h"
#include "engine/search/fixed_search.h"
#include "engine/search/time_control.h"

namespace {

constexpr int kDefaultDepth = 8;
constexpr int kDefaultHashMegabytes = 32;
constexpr int kDefaultKnowledgeLevel = 5;

int Usage(const std::string& message) {
  std::fprintf(stderr, "search: %s\n", message.c_str());
  std::fprintf(stderr,
               "usage: search \"<FEN>\" [--depth N | --movetime MS] [--hash MB] [--level K]\n"
               "       search --bench\n");
  return 2;
}

// A whole number from lo to hi, or false.
bool ReadNumber(const char* text, long lo, long hi, long* out) {
  if (text == nullptr) return false;
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < lo || v > hi) return false;
  *out = v;
  return true;
}

std::string MoveText(Move move) {
  if (move == 0) return "(none)";
  char text[5];
  FormatCoordMove(move, text);
  return text;
}

// One line per completed iteration: its number, the score at its end, the
// nodes and time so far and the newest best line.
void PrintIterations(int completed) {
  int iteration = 0;
  int lastLine = -1;
  for (int i = 0; i < iterationLogCount && iteration < completed; ++i) {
    const IterationLogRecord& r = iterationLog[i];
    if (r.score != kMarkerIterationDone) {
      if (r.score != kMarkerFailHigh && r.score != kMarkerFailLow) lastLine = i;
      continue;
    }
    ++iteration;
    const uint64_t nodes = static_cast<uint64_t>(r.nodesHigh) * kNodeCountFold + r.nodes;
    std::printf("depth %d score %d nodes %llu ms %u pv", iteration, r.depthOrScore,
                static_cast<unsigned long long>(nodes),
                static_cast<unsigned>(r.seconds * 1000.0f + 0.5f));
    if (lastLine >= 0) {
      const IterationLogRecord& line = iterationLog[lastLine];
      for (int k = 0; k < line.lineLength; ++k) std::printf(" %s", MoveText(line.line[k]).c_str());
    }
    std::printf("\n");
  }
}

int RunBench() {
  PrepareFixedSearchEngine(kDefaultKnowledgeLevel, kBenchHashMegabytes);
  uint64_t nodes = 0;
  uint64_t ms = 0;
  for (int i = 0; i < kBenchPositionCount; ++i) {
    std::string error;
    if (!SetUpFixedSearchPosition(kBenchPositions[i], &error)) {
      std::fprintf(stderr, "search: bench position %d: %s\n", i + 1, error.c_str());
      return 1;
    }
    const FixedSearchResult r = RunFixedSearch(kBenchDepth, 0);
    nodes += r.nodes;
    ms += r.ms;
  }
  std::printf("nodes %llu\n", static_cast<unsigned long long>(nodes));
  std::printf("nps %llu\n", static_cast<unsigned long long>(nodes * 1000 / (ms > 0 ? ms : 1)));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* fen = nullptr;
  long depth = 0;
  long moveTime = 0;
  long hash = kDefaultHashMegabytes;
  long level = kDefaultKnowledgeLevel;
  bool bench = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (std::strcmp(arg, "--bench") == 0) {
      bench = true;
    } else if (std::strcmp(arg, "--depth") == 0) {
      if (!ReadNumber(value, 1, 64, &depth)) return Usage("--depth needs a whole number from 1 to 64");
      ++i;
    } else if (std::strcmp(arg, "--movetime") == 0) {
      if (!ReadNumber(value, 1, 3600000, &moveTime))
        return Usage("--movetime needs milliseconds from 1 to 3600000");
      ++i;
    } else if (std::strcmp(arg, "--hash") == 0) {
      if (!ReadNumber(value, 0, 4096, &hash)) return Usage("--hash needs megabytes from 0 to 4096");
      ++i;
    } else if (std::strcmp(arg, "--level") == 0) {
      if (!ReadNumber(value, 0, 12, &level)) return Usage("--level needs a whole number from 0 to 12");
      ++i;
    } else if (arg[0] == '-' && arg[1] == '-') {
      return Usage(std::string("unknown option ") + arg);
    } else if (fen == nullptr) {
      fen = arg;
    } else {
      return Usage("too many arguments");
    }
  }
  if (bench) {
    if (fen != nullptr || depth != 0 || moveTime != 0) return Usage("--bench takes no position");
    return RunBench();
  }
  if (fen == nullptr) return Usage("a FEN is required");
  if (depth != 0 && moveTime != 0) return Usage("give either --depth or --movetime, not both");
  if (depth == 0 && moveTime == 0) depth = kDefaultDepth;

  PrepareFixedSearchEngine(static_cast<int32_t>(level), static_cast<int32_t>(hash));
  std::string error;
  if (!SetUpFixedSearchPosition(fen, &error)) return Usage("invalid FEN: " + error);

  const FixedSearchResult r =
      RunFixedSearch(static_cast<int32_t>(depth), static_cast<uint32_t>(moveTime));
  PrintIterations(r.depth);
  std::printf("bestmove %s score %d depth %d nodes %llu ms %u\n", MoveText(r.move).c_str(),
              r.score, r.depth, static_cast<unsigned long long>(r.nodes), r.ms);
  return 0;
}
