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

}  // namespace testing_support
