// The search command-line tool: its output lines, determinism, the bench
// and the exit codes on bad input.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/run_tool.h"
#include "tests/support/test_position.h"

namespace {

using RunResult = testing_support::CommandRun;

// The tool's standard output, or with errorsOnly its error output.
RunResult RunSearchTool(const std::string& args, bool errorsOnly = false) {
  return testing_support::RunTool("search", args,
                                  errorsOnly ? " 2>&1 >/dev/null" : " 2>/dev/null");
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The fields of the result line "bestmove <move> score <s> depth <d> nodes
// <n> ms <t>"; valid is false when the line has another form.
struct Result {
  bool valid = false;
  std::string move;
  long score = 0, depth = 0;
  unsigned long long nodes = 0;
  unsigned ms = 0;
};

Result ParseResult(const std::string& line) {
  Result r;
  char move[16];
  int used = 0;
  if (std::sscanf(line.c_str(), "bestmove %15s score %ld depth %ld nodes %llu ms %u%n", move,
                  &r.score, &r.depth, &r.nodes, &r.ms, &used) != 5 ||
      used != static_cast<int>(line.size()))
    return r;
  r.move = move;
  r.valid = r.move == "(none)" ||
            (r.move.size() == 4 && r.move[0] >= 'a' && r.move[0] <= 'i' && r.move[2] >= 'a' &&
             r.move[2] <= 'i' && std::isdigit(static_cast<unsigned char>(r.move[1])) &&
             std::isdigit(static_cast<unsigned char>(r.move[3])));
  return r;
}

// "<word> <positive number>"
bool IsCountLine(const std::string& line, const std::string& word) {
  if (line.rfind(word + " ", 0) != 0) return false;
  const std::string digits = line.substr(word.size() + 1);
  return !digits.empty() && digits[0] != '0' &&
         digits.find_first_not_of("0123456789") == std::string::npos;
}

// The start position, quoted for the shell.
const std::string kStart = std::string("\"") + testing_support::kStartFen + "\"";

TEST(SearchTool, PrintsEachIterationAndTheResult) {
  const RunResult r = RunSearchTool(kStart + " --depth 3");
  ASSERT_EQ(r.exitCode, 0);
  const auto lines = Lines(r.output);
  ASSERT_EQ(lines.size(), 4u) << r.output;
  for (int d = 1; d <= 3; ++d)
    EXPECT_EQ(lines[d - 1].rfind("depth " + std::to_string(d) + " score ", 0), 0u) << lines[d - 1];
  const Result result = ParseResult(lines[3]);
  EXPECT_TRUE(result.valid) << lines[3];
  EXPECT_NE(result.move, "(none)");
  EXPECT_EQ(result.depth, 3);
  EXPECT_GT(result.nodes, 0u);
}

TEST(SearchTool, FixedDepthIsDeterministic) {
  const std::string args = "\"r1bak1b1r/4a4/c7n/4p1pRp/1n7/2p2CP1P/1p2P4/2N1B1N2/4A4/3RKAB2 w\" "
                           "--depth 4 --hash 4 --level 3";
  const RunResult a = RunSearchTool(args);
  const RunResult b = RunSearchTool(args);
  ASSERT_EQ(a.exitCode, 0);
  ASSERT_EQ(b.exitCode, 0);
  const Result ra = ParseResult(Lines(a.output).back());
  const Result rb = ParseResult(Lines(b.output).back());
  ASSERT_TRUE(ra.valid);
  ASSERT_TRUE(rb.valid);
  EXPECT_EQ(ra.move, rb.move);
  EXPECT_EQ(ra.score, rb.score);
  EXPECT_EQ(ra.depth, 4);
  EXPECT_EQ(ra.nodes, rb.nodes);
}

TEST(SearchTool, FindsTheMateAndScoresFromTheSideToMove) {
  // The chariot leaves the black king without a move at once.
  RunResult r = RunSearchTool("\"3k5/9/9/9/9/9/9/9/9/4K3R w\" --depth 3");
  ASSERT_EQ(r.exitCode, 0);
  const Result mate = ParseResult(Lines(r.output).back());
  ASSERT_TRUE(mate.valid) << r.output;
  EXPECT_EQ(mate.move, "i0i8");
  EXPECT_GT(mate.score, 3199745);

  // A side without a legal move has no best move.
  r = RunSearchTool("\"3k5/9/9/9/9/9/9/9/9/3RK4 b\" --depth 2");
  ASSERT_EQ(r.exitCode, 0);
  const Result none = ParseResult(Lines(r.output).back());
  ASSERT_TRUE(none.valid) << r.output;
  EXPECT_EQ(none.move, "(none)");
  EXPECT_EQ(none.score, -3200000);
}

TEST(SearchTool, MoveTimeStopsTheSearch) {
  const RunResult r = RunSearchTool(kStart + " --movetime 300");
  ASSERT_EQ(r.exitCode, 0);
  const Result result = ParseResult(Lines(r.output).back());
  ASSERT_TRUE(result.valid) << r.output;
  // It ends on the time alone (no depth limit), however deep a slow machine
  // got by then, and long before the cap of every search.
  EXPECT_GE(result.ms, 300u);
  EXPECT_LT(result.ms, 10000u);
}

TEST(SearchTool, BadInputExitsWithTwoAndAMessage) {
  const char* bad[] = {
      "",
      "--depth 3",
      "\"hello\" --depth 2",
      "\"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w\" --depth 0",
      "\"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w\" --depth x",
      "\"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w\" --depth",
      "\"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w\" --depth 2 --movetime 50",
      "\"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w\" --level 13",
      "\"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w\" --hash -1",
      "\"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w\" --fast",
      "\"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w\" extra",
      // The side not to move is in check.
      "\"3k5/9/9/9/9/9/9/9/9/3RK4 w\" --depth 2",
      "--bench --depth 3",
  };
  for (const char* args : bad) {
    const RunResult r = RunSearchTool(args, true);
    EXPECT_EQ(r.exitCode, 2) << args;
    EXPECT_EQ(r.output.rfind("search: ", 0), 0u) << args << ": " << r.output;
  }
}

// The whole benchmark takes seconds even in an optimised build: "Slow" keeps
// it out of the sanitizer run of the CI, where it would take minutes. Its
// node total is the engine's signature: work on speed (evaluation memory,
// hash table, build options) must leave it exactly as it is.
TEST(SearchTool, SlowBenchReportsNodesAndSpeed) {
  const RunResult r = RunSearchTool("--bench");
  ASSERT_EQ(r.exitCode, 0);
  const auto lines = Lines(r.output);
  ASSERT_EQ(lines.size(), 2u) << r.output;
  EXPECT_EQ(lines[0], "nodes 5036175");
  EXPECT_TRUE(IsCountLine(lines[1], "nps")) << lines[1];
}

}  // namespace
