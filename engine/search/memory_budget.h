// How much memory the engine's large tables (the transposition table and the
// learning tables) may take: half of the least of the machine's physical
// memory, the memory limit of the process's control group and its address
// space limit. A table sized to the physical memory alone gets the process
// killed inside a container or a memory-limited session as soon as a long
// search fills it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The figures that bound the process's memory, as the system states them.
struct MemoryFigures {
  uint64_t physicalBytes = 0;  // 0 when unknown
  // The texts of the memory limit files of the process's control group and
  // of each group above it ("max" or a byte count; a huge number means no
  // limit in the first cgroup version).
  std::vector<std::string> cgroupLimits;
  // The soft RLIMIT_AS; UINT64_MAX (RLIM_INFINITY) for none.
  uint64_t addressSpaceLimit = UINT64_MAX;
};

// Half of the least of the figures in bytes (at least 1); 0 when no figure
// sets a bound (nothing is known), so that callers leave sizes as they are.
uint64_t TableMemoryBudget(const MemoryFigures& figures);

// Reads the figures of this process: the physical memory, the limits named
// by /proc/self/cgroup below /sys/fs/cgroup (both cgroup versions), and
// RLIMIT_AS. root is prefixed to those two paths ("" for the real system).
MemoryFigures ReadMemoryFigures(const std::string& root = "");

// TableMemoryBudget of this process's figures.
uint64_t ProcessTableMemoryBudget();
// What is left of this process's budget beside tables that already take
// otherTablesBytes: at least 1, or 0 when the budget is unknown.
uint64_t TableMemoryBudgetBeside(uint64_t otherTablesBytes);
