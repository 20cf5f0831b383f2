// The program's pseudo-random generator (see program_random.h).
#include "engine/search/program_random.h"

namespace {
uint32_t randomState = 1;
}  // namespace

int32_t ProgramRandom() {
  randomState = randomState * 214013u + 2531011u;
  return static_cast<int32_t>((randomState >> 16) & 0x7FFF);
}

uint32_t ProgramRandomState() { return randomState; }

void SetProgramRandomState(uint32_t state) { randomState = state; }
