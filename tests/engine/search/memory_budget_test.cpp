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

// Half of the physical memory and of the group limits; the address limit
// less what the program takes besides its tables (352 MiB when the start
// was not noted and threads get 8 MiB stacks).
TEST(MemoryBudgetTest, HalfOfTheMemoryAndTheAddressLimitLessTheRestOfTheProgram) {
  struct Case {
    const char* what;
    uint64_t physical;
    std::vector<std::string> cgroups;
    uint64_t addressSpace;
    uint64_t expected;
    uint64_t startBytes = 0;
    uint64_t threadStack = 0;
  };
  const Case cases[] = {
      {"physical memory only", 24 * kGiB, {}, kNone, 12 * kGiB},
      {"first version's no-limit number", 24 * kGiB, {"9223372036854771712\n"}, kNone, 12 * kGiB},
      {"second version's max", 24 * kGiB, {"max\n"}, kNone, 12 * kGiB},
      {"container of 1.5 GiB", 24 * kGiB, {"1610612736\n"}, kNone, 768 * kMiB},
      {"the least of a group and its parents", 24 * kGiB, {"max", "2147483648", "1073741824"},
       kNone, 512 * kMiB},
      {"address space limit", 24 * kGiB, {"max"}, kGiB, 672 * kMiB},
      {"address space of 512 MiB", 24 * kGiB, {}, 512 * kMiB, 160 * kMiB},
      {"a start noted above the floor", 24 * kGiB, {}, kGiB, 532 * kMiB, 300 * kMiB},
      {"a start noted below the floor", 24 * kGiB, {}, kGiB, 672 * kMiB, 100 * kMiB},
      {"threads of 2 MiB stacks", 24 * kGiB, {}, kGiB, 744 * kMiB, 0, 2 * kMiB},
      {"threads of 64 MiB stacks", 24 * kGiB, {}, 2 * kGiB, kGiB, 0, 64 * kMiB},
      {"address space above the group's half", 24 * kGiB, {"4294967296"}, 3 * kGiB, 2 * kGiB},
      {"group below the address space", 24 * kGiB, {"1073741824"}, 3 * kGiB, 512 * kMiB},
      {"address space below the rest of the program", 24 * kGiB, {}, 300 * kMiB, 1},
      {"a tiny limit still leaves a byte", 24 * kGiB, {"1"}, kNone, 1},
      {"a zero limit still leaves a byte", 24 * kGiB, {"0\n"}, kNone, 1},
      {"unreadable texts are no limit", 8 * kGiB, {"", "12abc", "-5", "99999999999999999999999"},
       kNone, 4 * kGiB},
      {"unknown memory, a group limit", 0, {"2147483648"}, kNone, kGiB},
      {"unknown memory, an address limit", 0, {}, 2 * kGiB, 1696 * kMiB},
      {"nothing known", 0, {"max"}, kNone, 0},
  };
  for (const Case& c : cases) {
    MemoryFigures figures;
    figures.physicalBytes = c.physical;
    figures.cgroupLimits = c.cgroups;
    figures.addressSpaceLimit = c.addressSpace;
    figures.startBytes = c.startBytes;
    figures.threadStackBytes = c.threadStack;
    EXPECT_EQ(TableMemoryBudget(figures), c.expected) << c.what;
  }
}

// The program runs within 512 MiB as it starts under a bare X server, its
// smallest tables fit at the least limit it asks for, and not below it.
TEST(MemoryBudgetTest, TheSmallestTablesFitAtTheLeastLimitTheProgramNeeds) {
  MemoryFigures figures;
  figures.threadStackBytes = 8 * kMiB;
  figures.startBytes = 130 * kMiB;
  const uint64_t needed = AddressSpaceNeeded(figures);
  EXPECT_LE(needed, 512 * kMiB);
  figures.addressSpaceLimit = needed;
  EXPECT_GE(TableMemoryBudget(figures),
            kMinHashEntries * kHashEntryBytes +
                uint64_t{kDefaultLearningTableSize} * sizeof(LearningRecord) +
                uint64_t{kDefaultMateTableSize} * sizeof(LearningMateEntry));
  figures.startBytes = 300 * kMiB;  // a heavier theme asks for more
  EXPECT_GT(AddressSpaceNeeded(figures), needed);
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

// Under an address limit of 512 MiB more than the process maps, a stored
// 64 GiB hash table and 4 GiB learning tables leave what the program needs
// besides them: that room (less what the process mapped before the tables)
// can still be mapped once both are sized. Both sizes in force are what the
// settings get back.
void SizeTablesUnderAddressLimit() {
  const uint64_t before = testing_support::MappedAddressSpace();
  if (!testing_support::LimitAddressSpace(512 * kMiB)) std::_Exit(2);
  const uint64_t beside = AddressSpaceBesideTables(ReadMemoryFigures());
  if (before == 0 || beside <= before + 64 * kMiB) std::_Exit(3);
  SetLearningPaths(-1);
  SetHashSize(65536);
  if (HashTablesBytes() == 0) std::_Exit(4);
  SetLearningPaths(4096);
  // The learning tables' smallest size (1 MB) is their floor.
  if (!testing_support::ReserveAddressSpace(beside - before - 2 * kMiB)) std::_Exit(5);
  if (HashEntriesForMegabytes(HashSizeMegabytes()) != hashTotalEntries) std::_Exit(6);
  std::_Exit(learningTable != nullptr && mateTable != nullptr ? 0 : 7);
}

TEST(MemoryBudgetDeathTest, BothTablesLeaveWhatTheRestOfTheProgramNeeds) {
  if (!testing_support::kAddressLimitUsable) GTEST_SKIP() << "no address limit under ASan";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(SizeTablesUnderAddressLimit(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
