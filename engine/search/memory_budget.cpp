// The memory budget of the engine's large tables, from the machine's memory,
// the control group's limit and the address space limit.
#include "engine/search/memory_budget.h"

#include <sys/resource.h>

#include <algorithm>
#include <fstream>

#include "engine/bridge.h"

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

uint64_t TableMemoryBudget(const MemoryFigures& figures) {
  uint64_t least = figures.physicalBytes != 0 ? figures.physicalBytes : UINT64_MAX;
  for (const std::string& text : figures.cgroupLimits) {
    uint64_t limit = 0;
    if (ParseLimit(text, &limit)) least = std::min(least, limit);
  }
  least = std::min(least, figures.addressSpaceLimit);
  if (least == UINT64_MAX) return 0;
  return std::max<uint64_t>(least / 2, 1);
}

MemoryFigures ReadMemoryFigures(const std::string& root) {
  MemoryFigures figures;
  uint64_t available = 0;
  GetMemoryStatus(&figures.physicalBytes, &available);
  rlimit addressSpace;
  if (getrlimit(RLIMIT_AS, &addressSpace) == 0) figures.addressSpaceLimit = addressSpace.rlim_cur;
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
