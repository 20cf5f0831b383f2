// How much memory the engine's large tables (the transposition table and the
// learning tables) may take: half of the least of the machine's physical
// memory and the memory limits of the process's control group, and at most
// its address space limit less what the rest of the program takes there. A
// table sized to the physical memory alone gets the process killed inside a
// container or a memory-limited session as soon as a long search fills it;
// a table that leaves the rest of the program too little address space
// makes a thread or a dialog fail to start.
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
  // The stack a new thread gets (from RLIMIT_STACK); 0 when unknown.
  uint64_t threadStackBytes = 0;
  // The address space the process had mapped at start besides its tables
  // (NoteAddressSpaceAtStart); 0 when not noted.
  uint64_t startBytes = 0;
};

// The address space the program takes besides its tables: what it mapped
// at start (its libraries, the platform theme's among them, and its first
// threads: about 130 MiB under a bare X server, 300 MiB with the GTK theme,
// which loads a GL driver), at least kProgramStartBytes; and what its
// dialogs, pictures and later threads add (up to 8 more threads: Qt's
// painting pool, the file dialog's and the GTK theme's), kLaterBytes and
// kLaterThreads stacks of threadStackBytes each (8 MiB when unknown). With
// the Open dialog, the options sheet and a game, the program was seen to
// take 175 MiB besides its tables, 418 MiB with the GTK theme.
inline constexpr uint64_t kProgramStartBytes = uint64_t{160} << 20;
inline constexpr uint64_t kLaterBytes = uint64_t{96} << 20;
inline constexpr uint64_t kLaterThreads = 12;
uint64_t AddressSpaceBesideTables(const MemoryFigures& figures);

// The least address space limit the program runs within: what it takes
// besides its tables and its tables at their smallest.
uint64_t AddressSpaceNeeded(const MemoryFigures& figures);

// Half of the least of the physical memory and the control group limits,
// and at most the address space limit less AddressSpaceBesideTables, in
// bytes (at least 1); 0 when no figure sets a bound (nothing is known), so
// that callers leave sizes as they are.
uint64_t TableMemoryBudget(const MemoryFigures& figures);

// Reads the figures of this process: the physical memory, the limits named
// by /proc/self/cgroup below /sys/fs/cgroup (both cgroup versions),
// RLIMIT_AS, the default stack size of new threads and the address space
// noted at start. root is prefixed to those two paths ("" for the real
// system).
MemoryFigures ReadMemoryFigures(const std::string& root = "");

// TableMemoryBudget of this process's figures.
uint64_t ProcessTableMemoryBudget();
// What is left of this process's budget beside tables that already take
// otherTablesBytes: at least 1, or 0 when the budget is unknown.
uint64_t TableMemoryBudgetBeside(uint64_t otherTablesBytes);

// The learning tables' size at start for a stored size in megabytes: at
// most half of this process's budget (at least 1), so that the hash table
// sized beside them after keeps the other half; as stored when no bound is
// known.
int32_t LearningMegabytesAtStart(int32_t megabytes);

// Under an address space limit, keeps the threads the process starts from
// here on within what AddressSpaceBesideTables counts for them: malloc
// keeps to one arena (each thread's own would reserve 64 MiB of address
// space) and a new thread's stack is at most kMaxThreadStackBytes. Called
// at start-up before any other thread exists. Returns whether a limit is
// in force.
inline constexpr uint64_t kMaxThreadStackBytes = uint64_t{8} << 20;
bool FitThreadsToAddressLimit();

// Notes the address space the process maps now besides its tables, as what
// it takes at start. Called once the window system and its theme are
// loaded, before the tables are sized; the budget of a process that never
// notes it counts kProgramStartBytes.
void NoteAddressSpaceAtStart();
