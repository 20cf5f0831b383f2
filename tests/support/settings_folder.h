// The program's settings file in a configuration folder of a test's own.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/settings_store.h"

namespace testing_support {

// Points the settings at the folder config (XDG_CONFIG_HOME) and writes
// bytes as the program's settings file there (its folders made first);
// returns its path.
inline std::filesystem::path WriteProgramSettingsIn(const std::filesystem::path& config,
                                                    const std::string& bytes) {
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  const std::filesystem::path file =
      config / kSettingsCompany / (std::string(kSettingsApplication) + ".ini");
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
  return file;
}

}  // namespace testing_support
