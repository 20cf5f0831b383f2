// The staged move picker of the main search and the ordering routines shared
// with the quiescence pickers. Each ply owns one MovePicker record; moves are
// generated only when a stage needs them, so a cut-off on a suggested move or
// an early capture saves the rest of the generation.
#include "engine/position/position.h"
#include "engine/search/search_tables.h"

namespace {

inline int32_t MoverValue(const MoveEntry& e) { return pieceOrderValue[board[MoveFrom(e.move)]]; }

inline void SwapIntoNext(MovePicker& r, int best) {
  if (best == r.next) return;
  const MoveEntry t = r.entries[r.next];
  r.entries[r.next] = r.entries[best];
  r.entries[best] = t;
}

}  // namespace

// Best remaining entry to `next`; among equal scores the cheaper moving piece
// (read from the board now), then the entry nearest to `next`.
void PickBestWithTieBreak(MovePicker& r) {
  int best = r.next;
  int32_t bestScore = r.entries[best].score;
  int32_t bestMover = MoverValue(r.entries[best]);
  for (int i = r.next + 1; i < r.count; ++i) {
    const int32_t score = r.entries[i].score;
    if (score > bestScore) {
      best = i;
      bestScore = score;
      bestMover = MoverValue(r.entries[i]);
    } else if (score == bestScore) {
      const int32_t mover = MoverValue(r.entries[i]);
      if (mover < bestMover) {
        best = i;
        bestMover = mover;
      }
    }
  }
  SwapIntoNext(r, best);
}

// Best remaining entry to `next`; the first of equal scores wins.
void PickBest(MovePicker& r) {
  int best = r.next;
  for (int i = r.next + 1; i < r.count; ++i) {
    if (r.entries[i].score > r.entries[best].score) best = i;
  }
  SwapIntoNext(r, best);
}

// Shell sort, highest score first, gaps 1093, 364, 121, 40, 13, 4, 1 (each
// used only when smaller than the count). The exact passes matter: they fix
// the order among equal scores.
void SortByScore(MovePicker& r) {
  static constexpr int kGaps[] = {1093, 364, 121, 40, 13, 4, 1};
  const int n = r.count;
  MoveEntry* const e = r.entries;
  for (const int h : kGaps) {
    if (h >= n) continue;
    for (MoveEntry* p = e + h; p != e + n; ++p) {
      // Most entries are already in place (equal history scores are common);
      // they are left as they stand instead of being lifted and put back.
      if (p->score <= p[-h].score) continue;
      const MoveEntry lifted = *p;
      MoveEntry* q = p;
      do {
        *q = q[-h];
        q -= h;
      } while (q - e >= h && lifted.score > q[-h].score);
      *q = lifted;
    }
  }
}

// Hands out the next move of the node at the current ply: PV move, TT move,
// captures best-first, killer 1, killer 2, quiet moves by history; 0 when
// the node has no move left. A stage that yields nothing falls through to the
// next within the same call.
Move NextMove() {
  MovePicker& r = movePickers[historyPly];
  switch (r.stage) {
    case kStagePv:
      if (followPv && r.pvMove != 0) {
        if (IsValidMove(r.pvMove)) {
          r.stage = kStageTt;
          r.returnedPv = r.pvMove;
          return r.pvMove;
        }
        followPv = 0;
      }
      [[fallthrough]];
    case kStageTt:
      if (r.ttMove != 0 && r.ttMove != r.returnedPv && IsValidMove(r.ttMove)) {
        r.stage = kStageGenCaptures;
        r.returnedTt = r.ttMove;
        return r.ttMove;
      }
      [[fallthrough]];
    case kStageGenCaptures:
      r.next = 0;
      r.count = 0;
      GenerateCaptures();
      [[fallthrough]];
    case kStageCaptures:
      while (r.next < r.count) {
        r.stage = kStageCaptures;
        PickBestWithTieBreak(r);
        const Move m = r.entries[r.next++].move;
        if (m != r.returnedPv && m != r.returnedTt) return m;
      }
      [[fallthrough]];
    case kStageKiller1:
      if (r.killer1 != 0 && r.killer1 != r.returnedPv && r.killer1 != r.returnedTt &&
          IsValidMove(r.killer1)) {
        r.stage = kStageKiller2;
        r.returnedKiller1 = r.killer1;
        return r.killer1;
      }
      [[fallthrough]];
    case kStageKiller2:
      if (r.killer2 != 0 && r.killer2 != r.returnedPv && r.killer2 != r.returnedTt &&
          r.killer2 != r.returnedKiller1 && IsValidMove(r.killer2)) {
        r.stage = kStageGenQuiet;
        r.returnedKiller2 = r.killer2;
        return r.killer2;
      }
      [[fallthrough]];
    case kStageGenQuiet:
      r.next = 0;
      r.count = 0;
      GenerateQuietMoves();
      SortByScore(r);
      r.stage = kStageQuiet;
      [[fallthrough]];
    case kStageQuiet:
      while (r.next < r.count) {
        const Move m = r.entries[r.next++].move;
        if (m != r.returnedPv && m != r.returnedTt && m != r.returnedKiller1 && m != r.returnedKiller2) {
          return m;
        }
      }
      return 0;
    default:
      return 0;
  }
}
