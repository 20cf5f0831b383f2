// Position keys: the fixed-seed random generator and the two 64-bit XOR
// hashes over (coloured piece type, square). The learning files store lock
// and key values, so the generator, its seed words and the order in which the
// tables are filled must never change.
#include <cstring>

#include "engine/position/position.h"

uint64_t lockTable[15][kBoardSize];
uint64_t keyTable[15][kBoardSize];

namespace {

// Additive lagged-Fibonacci generator, lags 55 and 24, started from a fixed
// table so that every run builds the same keys.
constexpr int kRandomWords = 55;
constexpr uint32_t kRandomSeed[kRandomWords] = {
    0x5414D5F4, 0xB3935330, 0xD0773E27, 0xAC62A182, 0x5DB20C92,
    0xC1E618AC, 0xD003926A, 0x171FA3B3, 0x9AD12101, 0x762172C1,
    0xBC5D9DC3, 0x07B72A70, 0x6E5AC890, 0xF7BE54D1, 0x0D6332FA,
    0x56BA8FBE, 0xEBA585EC, 0x571421C5, 0x96B3C079, 0x12EB9B92,
    0xC07C0978, 0x0700C5BD, 0x31A43513, 0x74EBA4AA, 0x4EC55DB5,
    0x2C91C2E9, 0x208771F6, 0x304EE204, 0x1E004673, 0xF3AC22F9,
    0xA8561FEB, 0xDED13435, 0xD03E7513, 0xDAE66BC2, 0x01C20BE1,
    0x46638997, 0xFB26CE62, 0x01F87FC3, 0xC0016099, 0x44429270,
    0xB04F4481, 0xF31B8AD7, 0x86DD7A46, 0x03E72091, 0x96A22589,
    0x74DCB7D4, 0x12D0FC03, 0x474A16E8, 0x2FF5717C, 0x54BDED92,
    0x783A9487, 0xE767978C, 0x3052D5CD, 0x16ECA191, 0x8EAF6D15,
};

struct RandomState {
  uint32_t words[kRandomWords];
  int i = 54;
  int j = 23;
  bool firstCall = true;
};

RandomState randomState;

bool keyTablesFilled = false;

}  // namespace

uint32_t NextRandom32() {
  RandomState& r = randomState;
  if (r.firstCall) {
    r.firstCall = false;
    std::memcpy(r.words, kRandomSeed, sizeof r.words);
    r.i = 54;
    r.j = 23;
  }
  const uint32_t s = r.words[r.i] + r.words[r.j];
  r.words[r.i] = s;
  if (--r.j < 0) r.j = 54;
  if (--r.i < 0) r.i = 54;
  return s;
}

uint64_t NextRandom64() {
  const uint64_t high = NextRandom32();
  const uint64_t low = NextRandom32();
  return high << 32 | low;
}

void InitKeyTables() {
  // The generator is never reseeded, so a second fill would draw new values
  // and change every hash (and the learning files' keys) under the callers.
  if (keyTablesFilled) return;
  keyTablesFilled = true;
  std::memset(lockTable, 0, sizeof lockTable);
  std::memset(keyTable, 0, sizeof keyTable);
  // Part of the learning-file format: types upwards, files and ranks
  // downwards, lock and key drawn alternately.
  for (int type = 1; type <= 14; ++type) {
    for (int file = 8; file >= 0; --file) {
      for (int rank = 9; rank >= 0; --rank) {
        const Square s = MakeSquare(file, rank);
        lockTable[type][s] = NextRandom64();
        keyTable[type][s] = NextRandom64();
      }
    }
  }
}

void ComputePositionKeys(uint64_t* lockOut, uint64_t* keyOut, const uint32_t pieces[33]) {
  uint64_t lock = 0;
  uint64_t key = 0;
  for (uint32_t i = 1; i <= 32; ++i) {
    const uint32_t s = pieces[i];
    if (s == 0 || s >= kBoardSize) continue;  // absent, or not a square at all
    lock ^= lockTable[colouredTypeOf[i]][s];
    key ^= keyTable[colouredTypeOf[i]][s];
  }
  if (lockOut != nullptr) *lockOut = lock;
  if (keyOut != nullptr) *keyOut = key;
}

void ComputeMirroredPositionKeys(uint64_t* lockOut, uint64_t* keyOut,
                                 const uint32_t pieces[33]) {
  uint64_t lock = 0;
  uint64_t key = 0;
  for (uint32_t i = 1; i <= 32; ++i) {
    const uint32_t s = pieces[i];
    if (s == 0 || s >= kBoardSize) continue;
    const uint32_t m = mirrorSquare[s];
    lock ^= lockTable[colouredTypeOf[i]][m];
    key ^= keyTable[colouredTypeOf[i]][m];
  }
  if (lockOut != nullptr) *lockOut = lock;
  if (keyOut != nullptr) *keyOut = key;
}
