// The memory budget of the engine's tables: computed from the figures
// (physical memory, control group limits, address space limit), read from
// a planted /proc and /sys tree, and applied to the hash and learning
// tables together in a process with a limited address space.
#include "engine/search/memory_budget.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/bridge.h"
#include "engine/search/learning.h"
#include "engine/search/tt.h"
#include "tests/support/address_limit.h"

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kMiB = uint64_t{1} << 20;
constexpr uint64_t kGiB = uint64_t{1} << 30;
constexpr uint64_t kNone = UINT64_MAX;  // RLIM_INFINITY

TEST(MemoryBudgetTest, HalfOfTheLeastFigure) {
  struct Case {
    const char* what;
    uint64_t physical;
    std::vector<std::string> cgroups;
    uint64_t addressSpace;
    uint64_t expected;
  };
  const Case cases[] = {
      {"physical memory only", 24 * kGiB, {}, kNone, 12 * kGiB},
      {"first version's no-limit number", 24 * kGiB, {"9223372036854771712\n"}, kNone, 12 * kGiB},
      {"second version's max", 24 * kGiB, {"max\n"}, kNone, 12 * kGiB},
      {"container of 1.5 GiB", 24 * kGiB, {"1610612736\n"}, kNone, 768 * kMiB},
      {"the least of a group and its parents", 24 * kGiB, {"max", "2147483648", "1073741824"},
       kNone, 512 * kMiB},
      {"address space limit", 24 * kGiB, {"max"}, kGiB, 512 * kMiB},
      {"address space below the group", 24 * kGiB, {"4294967296"}, 3 * kGiB, 1536 * kMiB},
      {"group below the address space", 24 * kGiB, {"1073741824"}, 3 * kGiB, 512 * kMiB},
      {"a tiny limit still leaves a byte", 24 * kGiB, {"1"}, kNone, 1},
      {"a zero limit still leaves a byte", 24 * kGiB, {"0\n"}, kNone, 1},
      {"unreadable texts are no limit", 8 * kGiB, {"", "12abc", "-5", "99999999999999999999999"},
       kNone, 4 * kGiB},
      {"unknown memory, a group limit", 0, {"2147483648"}, kNone, kGiB},
      {"unknown memory, an address limit", 0, {}, 2 * kGiB, kGiB},
      {"nothing known", 0, {"max"}, kNone, 0},
  };
  for (const Case& c : cases) {
    MemoryFigures figures;
    figures.physicalBytes = c.physical;
    figures.cgroupLimits = c.cgroups;
    figures.addressSpaceLimit = c.addressSpace;
    EXPECT_EQ(TableMemoryBudget(figures), c.expected) << c.what;
  }
}

void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

// Both cgroup versions of one process in a planted tree: each group's limit
// and those of the groups above it are read; groups of other controllers
// are not.
TEST(MemoryBudgetTest, FiguresAreReadForTheProcessOwnGroupsAndTheirParents) {
  const fs::path root = fs::temp_directory_path() / ("vorelk_cgroup_" + std::to_string(getpid()));
  fs::remove_all(root);
  WriteText(root / "proc/self/cgroup",
            "5:cpu,cpuacct:/other\n4:memory,pids:/app/session\n0::/user.slice/run.scope\n");
  const fs::path v1 = root / "sys/fs/cgroup/memory";
  WriteText(v1 / "app/session/memory.limit_in_bytes", "9223372036854771712\n");
  WriteText(v1 / "app/memory.limit_in_bytes", "3221225472\n");
  WriteText(v1 / "memory.limit_in_bytes", "9223372036854771712\n");
  WriteText(root / "sys/fs/cgroup/cpu/other/memory.limit_in_bytes", "1\n");
  const fs::path v2 = root / "sys/fs/cgroup/unified";
  WriteText(v2 / "user.slice/run.scope/memory.max", "1610612736\n");
  WriteText(v2 / "user.slice/memory.max", "max\n");

  const MemoryFigures figures = ReadMemoryFigures(root.string());
  const std::vector<std::string> expected = {"9223372036854771712", "3221225472",
                                             "9223372036854771712", "1610612736", "max"};
  EXPECT_EQ(figures.cgroupLimits, expected);
  uint64_t total = 0, available = 0;
  GetMemoryStatus(&total, &available);
  EXPECT_EQ(figures.physicalBytes, total);
  rlimit limit;
  ASSERT_EQ(getrlimit(RLIMIT_AS, &limit), 0);
  EXPECT_EQ(figures.addressSpaceLimit, limit.rlim_cur);
  if (total > 2 * kGiB && limit.rlim_cur == RLIM_INFINITY) {
    EXPECT_EQ(TableMemoryBudget(figures), 768 * kMiB);
  }

  // Without any cgroup file only the machine and the address limit count.
  EXPECT_TRUE(ReadMemoryFigures((root / "missing").string()).cgroupLimits.empty());
  fs::remove_all(root);
}

// Under an address limit of 1 GiB more than the process maps, a stored
// 64 GiB table is cut to half the limit and the learning tables get what is
// left of that half: together they stay within it, and both sizes in force
// are what the settings get back.
void SizeTablesUnderAddressLimit() {
  if (!testing_support::LimitAddressSpace(kGiB)) std::_Exit(2);
  rlimit limit;
  if (getrlimit(RLIMIT_AS, &limit) != 0) std::_Exit(3);
  const uint64_t budget = limit.rlim_cur / 2;
  SetLearningPaths(-1);
  SetHashSize(65536);
  if (HashTablesBytes() == 0 || HashTablesBytes() > budget) std::_Exit(4);
  SetLearningPaths(4096);
  // The learning tables' smallest size (1 MB) is their floor.
  if (HashTablesBytes() + LearningTablesBytes() > budget + kMiB) std::_Exit(5);
  if (HashEntriesForMegabytes(HashSizeMegabytes()) != hashTotalEntries) std::_Exit(6);
  std::_Exit(learningTable != nullptr && mateTable != nullptr ? 0 : 7);
}

TEST(MemoryBudgetDeathTest, BothTablesTogetherStayWithinHalfTheAddressLimit) {
  if (!testing_support::kAddressLimitUsable) GTEST_SKIP() << "no address limit under ASan";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(SizeTablesUnderAddressLimit(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
