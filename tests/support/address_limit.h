// Limiting the address space of a (child) test process, so that large
// allocations fail as they do on a machine without the memory for them,
// or the memory it may use, through a control group.
#pragma once

#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace testing_support {

// AddressSanitizer reserves terabytes of shadow address space and ends the
// process on a failed allocation, so under it no limit is set.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressLimitUsable = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressLimitUsable = false;
#else
inline constexpr bool kAddressLimitUsable = true;
#endif
#else
inline constexpr bool kAddressLimitUsable = true;
#endif

// The bytes of address space the process maps now; 0 when unknown.
inline uint64_t MappedAddressSpace() {
  long pages = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
    std::fclose(f);
  }
  return pages > 0 ? static_cast<uint64_t>(pages) * static_cast<uint64_t>(sysconf(_SC_PAGESIZE))
                   : 0;
}

// Limits the address space to what the process maps now plus headroom
// bytes. False when that could not be done.
inline bool LimitAddressSpace(uint64_t headroom) {
  const uint64_t mapped = MappedAddressSpace();
  if (mapped == 0) return false;
  const rlim_t limit = static_cast<rlim_t>(mapped + headroom);
  const rlimit r = {limit, limit};
  return setrlimit(RLIMIT_AS, &r) == 0;
}

// Maps bytes of address space that can never be used, so that a later
// LimitAddressSpace leaves the memory budget of the tables (the limit less
// what the program needs besides them) far above the headroom: allocations then fail within the
// budget as they do on a machine short of memory. False when the space could not be mapped.
inline bool ReserveAddressSpace(uint64_t bytes) {
  return mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0) !=
         MAP_FAILED;
}

// Writes text to a control group file; false when it is refused.
inline bool WriteGroupFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file);
  out << text;
  out.flush();
  return static_cast<bool>(out);
}

// Makes a memory control group of the test's own whose processes may use
// at most `bytes`, swap included: in the second cgroup version, or else in
// the first. Returns its folder; empty where the machine gives none (no
// memory controller, no permission): a caller then skips what needs it. The
// caller moves a child into it (JoinControlGroup) and removes the folder
// (std::filesystem::remove) once the child has ended.
inline std::string MakeMemoryGroup(uint64_t bytes) {
  namespace fs = std::filesystem;
  const std::string name = "vorelk-test-" + std::to_string(getpid());
  // The folder of each version, its limit file, and its swap file with
  // what it is given.
  const std::string kinds[][4] = {{"/sys/fs/cgroup", "memory.max", "memory.swap.max", "0"},
                                  {"/sys/fs/cgroup/unified", "memory.max", "memory.swap.max", "0"},
                                  {"/sys/fs/cgroup/memory", "memory.limit_in_bytes",
                                   "memory.memsw.limit_in_bytes", std::to_string(bytes)}};
  for (const auto& [root, limit, swap, swapLimit] : kinds) {
    std::error_code error;
    // The second version gives a group the controllers its parent names.
    if (fs::exists(fs::path(root) / "cgroup.subtree_control"))
      WriteGroupFile(fs::path(root) / "cgroup.subtree_control", "+memory");
    const fs::path group = fs::path(root) / name;
    if (!fs::create_directory(group, error)) continue;
    if (fs::exists(group / limit) && WriteGroupFile(group / limit, std::to_string(bytes))) {
      if (fs::exists(group / swap)) WriteGroupFile(group / swap, swapLimit);
      return group.string();
    }
    fs::remove(group, error);
  }
  return {};
}

// Moves the calling process into the control group of that folder.
inline bool JoinControlGroup(const std::string& group) {
  return WriteGroupFile(std::filesystem::path(group) / "cgroup.procs", std::to_string(getpid()));
}

}  // namespace testing_support
