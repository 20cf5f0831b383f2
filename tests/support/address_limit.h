// Limiting the address space of a (child) test process, so that large
// allocations fail as they do on a machine without the memory for them.
#pragma once

#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

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

}  // namespace testing_support
