#include "tests/support/run_tool.h"

#include <sys/wait.h>

#include <cstdio>

namespace testing_support {

CommandRun RunCommand(const std::string& command) {
  CommandRun r{-1, ""};
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) r.output.append(buf, n);
  const int status = pclose(pipe);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

CommandRun RunTool(const std::string& tool, const std::string& args, const std::string& redirect) {
  return RunCommand(std::string(VORELK_TOOLS_DIR) + "/" + tool + " " + args + redirect);
}

std::string GameFileMoves(const std::string& path) {
  const CommandRun run = RunTool("gamefile", "'" + path + "'");
  if (run.exitCode != 0 || run.output.find("result 0\n") == std::string::npos) return "<unread>";
  std::string moves;
  for (size_t at = run.output.find("\nmove "); at != std::string::npos;
       at = run.output.find("\nmove ", at + 1)) {
    moves += run.output.substr(at + 6, 4) + " ";
  }
  return moves;
}

}  // namespace testing_support
