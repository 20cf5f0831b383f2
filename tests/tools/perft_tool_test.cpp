// The perft command-line tool: output format, divide lines and exit codes.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct RunResult {
  int exitCode;
  std::string out;
};

RunResult RunPerft(const std::string& args) {
  const std::string cmd = std::string(VORELK_TOOLS_DIR) + "/perft " + args + " 2>/dev/null";
  RunResult r{-1, ""};
  std::FILE* pipe = popen(cmd.c_str(), "r");
  if (pipe == nullptr) return r;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
  const int status = pclose(pipe);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string LastLine(const std::string& text) {
  std::string t = text;
  while (!t.empty() && t.back() == '\n') t.pop_back();
  const auto pos = t.rfind('\n');
  return pos == std::string::npos ? t : t.substr(pos + 1);
}

const char* kStart = "\"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w\"";

TEST(PerftTool, CountsAndDivides) {
  auto r = RunPerft(std::string(kStart) + " 2");
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(LastLine(r.out), "1920");

  r = RunPerft(std::string(kStart) + " 1 --divide");
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(LastLine(r.out), "44");
  EXPECT_NE(r.out.find("h2e2: 1\n"), std::string::npos);
  // ParseFen numbers pieces in reading order, so chariot 8 is the one on
  // file 8 ("a") and its moves come first.
  EXPECT_EQ(r.out.rfind("a0a1: 1\n", 0), 0u) << r.out;

  // The same position in the other letter set with side letter "r".
  r = RunPerft("\"rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RHEAKAEHR r\" 2");
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(LastLine(r.out), "1920");
}

TEST(PerftTool, IronPawnOptionsChangeTheCount) {
  // A red chariot can take the black central pawn, but the adviser in front
  // of the king keeps that capture from giving check.
  const std::string fen = "\"4k4/4a4/9/4p4/9/9/9/9/4R4/3K5 w\"";
  const auto plain = RunPerft(fen + " 1");
  const auto iron = RunPerft(fen + " 1 --black-iron");
  ASSERT_EQ(plain.exitCode, 0);
  ASSERT_EQ(iron.exitCode, 0);
  EXPECT_EQ(std::stoi(LastLine(plain.out)), std::stoi(LastLine(iron.out)) + 1);
}

TEST(PerftTool, BadInputExitsWithTwo) {
  EXPECT_EQ(RunPerft("").exitCode, 2);
  EXPECT_EQ(RunPerft(std::string(kStart)).exitCode, 2);
  EXPECT_EQ(RunPerft(std::string(kStart) + " x").exitCode, 2);
  EXPECT_EQ(RunPerft(std::string(kStart) + " -1").exitCode, 2);
  EXPECT_EQ(RunPerft("\"not a fen\" 3").exitCode, 2);
  EXPECT_EQ(RunPerft(std::string(kStart) + " 3 --bogus").exitCode, 2);
}

}  // namespace
