// The lowest levels (0, -1 and -2) play from the one-ply root scores without
// a search, with a little chance and a preference for short moves so that
// the engine plays weakly but not absurdly.
#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "engine/search/program_random.h"
#include "engine/search/search.h"

namespace {

constexpr int32_t kIllegalScore = -3200000;

// A move of one or two squares along a file or a rank.
bool IsShortStraightMove(Move m) {
  const int d = static_cast<int>(MoveTo(m)) - static_cast<int>(MoveFrom(m));
  const int a = d < 0 ? -d : d;
  return a == 1 || a == 2 || a == 16 || a == 32;
}

bool SameDestinationAsPrevious(int i) {
  return i > 0 && MoveTo(rootMoves[i - 1].move) == MoveTo(rootMoves[i].move);
}

// The engine's previous move (record gamePly - 1) is an engine move whose
// stored score is above -300: the choice may then take a chance.
bool CarefulPick() {
  if (gamePly <= 2) return false;
  const HistoryRecord& previous = history[gamePly - 1];
  return previous.engineMove != 0 && previous.engineScore > -300;
}

bool TakesLevel0Candidate(int i) {
  const int32_t score = rootMoves[i].score;
  if (score > 300 && (ProgramRandom() & 1) == 0) return true;
  if (score >= 300) return IsShortStraightMove(rootMoves[i].move) || SameDestinationAsPrevious(i);
  return true;
}

bool TakesLevelMinusCandidate(int i) {
  const int32_t score = rootMoves[i].score;
  if (score > 200 && (ProgramRandom() & 3) == 0) return true;
  if (score < 500 && (ProgramRandom() & 1) == 1) return true;
  return IsShortStraightMove(rootMoves[i].move) || SameDestinationAsPrevious(i);
}

void ChooseRootMove(bool (*takesCandidate)(int)) {
  principalVariation[0][0] = kNoRootMove;
  const bool careful = CarefulPick();
  int best = -1;
  for (int i = 0; i < rootMoveCount; ++i) {
    const RootMoveEntry& e = rootMoves[i];
    // An excluded move (0) is never chosen.
    if (e.move == 0 || e.score == kIllegalScore) continue;
    if (best < 0) {
      best = i;
      continue;
    }
    if (e.score <= rootMoves[best].score) continue;
    if (!careful || takesCandidate(i)) best = i;
  }
  if (best < 0) {
    bestScore = kIllegalScore;
    return;
  }
  principalVariation[0][0] = rootMoves[best].move;
  pvLength[0] = 1;
  bestScore = rootMoves[best].score;
}

}  // namespace

void ChooseRootMoveLevel0() { ChooseRootMove(TakesLevel0Candidate); }

void ChooseRootMoveLevelMinus() { ChooseRootMove(TakesLevelMinusCandidate); }
