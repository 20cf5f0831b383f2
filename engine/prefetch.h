// A cache-line prefetch that the optimiser keeps.
#pragma once

// GCC takes a function whose only effect is __builtin_prefetch for one
// without side effects and drops every call to it whose result is unused,
// which is every call: a prefetch wrapped in a helper silently disappeared
// from the search. An asm statement marked volatile is always kept.
inline void PrefetchLine(const void* address) {
#if defined(__x86_64__) || defined(__i386__)
  asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(address)));
#else
  asm volatile("" : : "r"(address));
  __builtin_prefetch(address);
#endif
}
