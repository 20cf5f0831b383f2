// The memory budget of the engine's large tables, from the machine's memory,
// the control group's limit and the address space limit.
#include "engine/search/memory_budget.h"

#include <malloc.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>

#include "engine/bridge.h"
#include "engine/search/learning.h"
#include "engine/search/tt.h"

static_assert(RLIM_INFINITY == UINT64_MAX, "no address limit reads as UINT64_MAX");

namespace {

// The byte count of a limit file's text; false for "max", an empty or
// malformed text and a number beyond 64 bits (all: no limit).
bool ParseLimit(const std::string& text, uint64_t* out) {
  size_t end = text.find_last_not_of(" \t\r\n");
  if (end == std::string::npos) return false;
  uint64_t value = 0;
  for (size_t i = 0; i <= end; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return false;
    value = value * 10 + digit;
  }
  *out = value;
  return true;
}

// Reads the first line of the limit file in the group at path below base
// and in every group above it, up to the hierarchy's root: a limit set on a
// parent group binds this process as well.
void ReadGroupLimits(const std::string& base, std::string path, const char* file,
                     std::vector<std::string>* out) {
  for (;;) {
    std::ifstream in(base + (path == "/" ? "" : path) + "/" + file);
    std::string line;
    if (in && std::getline(in, line)) out->push_back(line);
    if (path.empty() || path == "/") return;
    const size_t slash = path.find_last_of('/');
    path = slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
  }
}

// The address space noted at start besides the tables; 0 until noted.
std::atomic<uint64_t> startAddressSpace{0};

bool NamesMemoryController(const std::string& controllers) {
  size_t start = 0;
  for (;;) {
    const size_t comma = controllers.find(',', start);
    if (controllers.compare(start, comma - start, "memory") == 0) return true;
    if (comma == std::string::npos) return false;
    start = comma + 1;
  }
}

}  // namespace

uint64_t AddressSpaceBesideTables(const MemoryFigures& figures) {
  const uint64_t stack = figures.threadStackBytes != 0
                             ? std::min<uint64_t>(figures.threadStackBytes, uint64_t{1} << 40)
                             : kMaxThreadStackBytes;
  return std::max(figures.startBytes, kProgramStartBytes) + kLaterBytes + kLaterThreads * stack;
}

uint64_t AddressSpaceNeeded(const MemoryFigures& figures) {
  // The smallest hash table and the learning tables' default size, their
  // last resort.
  constexpr uint64_t kSmallestTables =
      kMinHashEntries * kHashEntryBytes +
      uint64_t{kDefaultLearningTableSize} * sizeof(LearningRecord) +
      uint64_t{kDefaultMateTableSize} * sizeof(LearningMateEntry);
  return AddressSpaceBesideTables(figures) + kSmallestTables;
}

uint64_t TableMemoryBudget(const MemoryFigures& figures) {
  uint64_t least = figures.physicalBytes != 0 ? figures.physicalBytes : UINT64_MAX;
  for (const std::string& text : figures.cgroupLimits) {
    uint64_t limit = 0;
    if (ParseLimit(text, &limit)) least = std::min(least, limit);
  }
  uint64_t budget = least != UINT64_MAX ? least / 2 : UINT64_MAX;
  if (figures.addressSpaceLimit != UINT64_MAX) {
    const uint64_t beside = AddressSpaceBesideTables(figures);
    budget =
        std::min(budget, figures.addressSpaceLimit > beside ? figures.addressSpaceLimit - beside
                                                            : uint64_t{0});
  }
  if (budget == UINT64_MAX) return 0;
  return std::max<uint64_t>(budget, 1);
}

MemoryFigures ReadMemoryFigures(const std::string& root) {
  MemoryFigures figures;
  uint64_t available = 0;
  GetMemoryStatus(&figures.physicalBytes, &available);
  rlimit addressSpace;
  if (getrlimit(RLIMIT_AS, &addressSpace) == 0) figures.addressSpaceLimit = addressSpace.rlim_cur;
  pthread_attr_t attributes;
  if (pthread_getattr_default_np(&attributes) == 0) {
    size_t stack = 0;
    if (pthread_attr_getstacksize(&attributes, &stack) == 0) figures.threadStackBytes = stack;
    pthread_attr_destroy(&attributes);
  }
  figures.startBytes = startAddressSpace.load();
  // Lines "id:controllers:path"; the second version's line is "0::path",
  // its hierarchy mounted at /sys/fs/cgroup or, beside the first version's
  // controllers, at /sys/fs/cgroup/unified.
  std::ifstream groups(root + "/proc/self/cgroup");
  std::string line;
  while (std::getline(groups, line)) {
    const size_t first = line.find(':');
    const size_t second = first == std::string::npos ? first : line.find(':', first + 1);
    if (second == std::string::npos) continue;
    const std::string controllers = line.substr(first + 1, second - first - 1);
    const std::string path = line.substr(second + 1);
    if (path.empty() || path[0] != '/') continue;
    if (controllers.empty() && line.compare(0, first, "0") == 0) {
      ReadGroupLimits(root + "/sys/fs/cgroup", path, "memory.max", &figures.cgroupLimits);
      ReadGroupLimits(root + "/sys/fs/cgroup/unified", path, "memory.max", &figures.cgroupLimits);
    } else if (NamesMemoryController(controllers)) {
      ReadGroupLimits(root + "/sys/fs/cgroup/memory", path, "memory.limit_in_bytes",
                      &figures.cgroupLimits);
    }
  }
  return figures;
}

uint64_t ProcessTableMemoryBudget() { return TableMemoryBudget(ReadMemoryFigures()); }

uint64_t TableMemoryBudgetBeside(uint64_t otherTablesBytes) {
  const uint64_t budget = ProcessTableMemoryBudget();
  if (budget == 0) return 0;
  return budget > otherTablesBytes ? budget - otherTablesBytes : 1;
}

int32_t LearningMegabytesAtStart(int32_t megabytes) {
  const uint64_t budget = ProcessTableMemoryBudget();
  if (budget == 0 || megabytes <= 0) return megabytes;
  const uint64_t half = std::max<uint64_t>(budget / 2 >> 20, 1);
  return static_cast<int32_t>(std::min<uint64_t>(static_cast<uint64_t>(megabytes), half));
}

bool FitThreadsToAddressLimit() {
  rlimit addressSpace;
  if (getrlimit(RLIMIT_AS, &addressSpace) != 0 || addressSpace.rlim_cur == RLIM_INFINITY)
    return false;
  mallopt(M_ARENA_MAX, 1);
  pthread_attr_t attributes;
  if (pthread_getattr_default_np(&attributes) == 0) {
    size_t stack = 0;
    if (pthread_attr_getstacksize(&attributes, &stack) == 0 && stack > kMaxThreadStackBytes &&
        pthread_attr_setstacksize(&attributes, kMaxThreadStackBytes) == 0) {
      pthread_setattr_default_np(&attributes);
    }
    pthread_attr_destroy(&attributes);
  }
  return true;
}

void NoteAddressSpaceAtStart() {
  long pages = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
    std::fclose(f);
  }
  const uint64_t mapped = pages > 0 ? uint64_t(pages) * uint64_t(sysconf(_SC_PAGESIZE)) : 0;
  const uint64_t tables = HashTablesBytes() + LearningTablesBytes();
  startAddressSpace = mapped > tables ? mapped - tables : 0;
}
