// The program's own pseudo-random generator for its random choices (book
// moves, the coin flips of the lowest levels): a linear congruential
// generator with a fixed start, so every run draws the same sequence on
// every platform.
#pragma once

#include <cstdint>

// The next value, 0..32767: state = state * 214013 + 2531011 (modulo 2^32),
// value = bits 16 to 30 of the state. The state is 1 at start-up.
int32_t ProgramRandom();

// The generator state, read and set by tests that replay a draw sequence.
uint32_t ProgramRandomState();
void SetProgramRandomState(uint32_t state);
