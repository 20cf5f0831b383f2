// The perft command-line tool: output format, divide lines and exit codes.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/run_tool.h"
#include "tests/support/test_position.h"

namespace {

testing_support::CommandRun RunPerft(const std::string& args) {
  return testing_support::RunTool("perft", args);
}

std::string LastLine(const std::string& text) {
  std::string t = text;
  while (!t.empty() && t.back() == '\n') t.pop_back();
  const auto pos = t.rfind('\n');
  return pos == std::string::npos ? t : t.substr(pos + 1);
}

// The start position, quoted for the shell.
const std::string kStart = std::string("\"") + testing_support::kStartFen + "\"";

TEST(PerftTool, CountsAndDivides) {
  auto r = RunPerft(kStart + " 2");
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(LastLine(r.output), "1920");

  r = RunPerft(kStart + " 1 --divide");
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(LastLine(r.output), "44");
  EXPECT_NE(r.output.find("h2e2: 1\n"), std::string::npos);
  // ParseFen numbers pieces in reading order, so chariot 8 is the one on
  // file 8 ("a") and its moves come first.
  EXPECT_EQ(r.output.rfind("a0a1: 1\n", 0), 0u) << r.output;

  // The same position in the other letter set with side letter "r".
  r = RunPerft("\"rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RHEAKAEHR r\" 2");
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(LastLine(r.output), "1920");
}

TEST(PerftTool, IronPawnOptionsChangeTheCount) {
  // A red chariot can take the black central pawn, but the adviser in front
  // of the king keeps that capture from giving check.
  const std::string fen = "\"4k4/4a4/9/4p4/9/9/9/9/4R4/3K5 w\"";
  const auto plain = RunPerft(fen + " 1");
  const auto iron = RunPerft(fen + " 1 --black-iron");
  ASSERT_EQ(plain.exitCode, 0);
  ASSERT_EQ(iron.exitCode, 0);
  EXPECT_EQ(std::stoi(LastLine(plain.output)), std::stoi(LastLine(iron.output)) + 1);
}

TEST(PerftTool, BadInputExitsWithTwo) {
  EXPECT_EQ(RunPerft("").exitCode, 2);
  EXPECT_EQ(RunPerft(kStart).exitCode, 2);
  EXPECT_EQ(RunPerft(kStart + " x").exitCode, 2);
  EXPECT_EQ(RunPerft(kStart + " -1").exitCode, 2);
  EXPECT_EQ(RunPerft("\"not a fen\" 3").exitCode, 2);
  EXPECT_EQ(RunPerft(kStart + " 3 --bogus").exitCode, 2);
}

}  // namespace
