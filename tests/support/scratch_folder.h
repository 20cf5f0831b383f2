// A test fixture with a folder of each test's own under the test temporary
// folder: named after the test and the process (so that parallel runs never
// meet), made empty before the test and removed after it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

namespace testing_support {

class ScratchFolderTest : public ::testing::Test {
 protected:
  explicit ScratchFolderTest(std::string prefix) : prefix_(std::move(prefix)) {}

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::path(::testing::TempDir()) /
           (prefix_ + "_" + std::to_string(getpid()) + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // The path of `name` in the folder.
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // Writes `bytes` as the file `name` (its folders made first); its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories((dir_ / name).parent_path());
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }

  std::filesystem::path dir_;

 private:
  std::string prefix_;
};

}  // namespace testing_support
