// Runs shell commands, among them the command-line tools built into the
// tools folder of the build, and collects what they printed.
#pragma once

#include <string>

namespace testing_support {

struct CommandRun {
  int exitCode;        // -1 when the command could not be run or did not exit
  std::string output;  // what the command wrote on its standard output
};

// Runs the command line through the shell.
CommandRun RunCommand(const std::string& command);

// Runs "<tools folder>/<tool> <args><redirect>"; redirect is appended as
// written (" 2>/dev/null" drops the error output).
CommandRun RunTool(const std::string& tool, const std::string& args,
                   const std::string& redirect = " 2>/dev/null");

// The moves of a game file as the gamefile tool reads them ("h2e2 h9g7 "),
// "<unread>" when it cannot read the file whole.
std::string GameFileMoves(const std::string& path);

// The source tree's root folder, ending in '/'; taken from the build, not
// from __FILE__, which a compiler cache may make relative.
inline std::string RepositoryRoot() { return VORELK_SOURCE_DIR "/"; }

}  // namespace testing_support
