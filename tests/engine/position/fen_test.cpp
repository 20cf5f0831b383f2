// FEN text in both letter sets, the coordinate move text and its mirror.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "engine/position/position.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::SetUpFen;

constexpr const char* kStartSet1 =
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RHEAKAEHR";
constexpr const char* kStartSet0 =
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR";

std::string Fen(const int8_t* cells, int withSide, int mirrored, int letterSet) {
  char text[kFenBufferSize];
  std::memset(text, 'x', sizeof text);
  WriteFen(cells, text, withSide, mirrored, letterSet);
  return text;
}

TEST(Fen, StartPositionInBothLetterSets) {
  SetUpFen(testing_support::kStartFen);
  EXPECT_EQ(Fen(board, 1, 0, 1), std::string(kStartSet1) + " w");
  EXPECT_EQ(Fen(board, 1, 0, 0), std::string(kStartSet0) + " r");
  EXPECT_EQ(Fen(board, 0, 0, 1), kStartSet1);
  sideToMove = kBlack;
  EXPECT_EQ(Fen(board, 1, 0, 1), std::string(kStartSet1) + " b");
  EXPECT_EQ(Fen(board, 1, 0, 0), std::string(kStartSet0) + " b");
}

TEST(Fen, ParseAssignsIndicesInReadingOrder) {
  for (const char* text : {kStartSet1, kStartSet0}) {
    SetUpFen(std::string(text) + " w");
    // Black chariots: file 8 is read first.
    EXPECT_EQ(posPiece[24], MakeSquare(8, 0)) << text;
    EXPECT_EQ(posPiece[25], MakeSquare(0, 0)) << text;
    EXPECT_EQ(posPiece[28], MakeSquare(8, 3)) << text;
    EXPECT_EQ(posPiece[8], MakeSquare(8, 9)) << text;
    EXPECT_EQ(posPiece[1], kRedKingHome) << text;
    for (uint32_t i = 1; i <= 32; ++i) ASSERT_NE(posPiece[i], 0u) << text << " piece " << i;
    EXPECT_EQ(CheckPositionConsistency(), 1);
    EXPECT_EQ(Fen(board, 1, 0, 1), std::string(kStartSet1) + " w");
  }
}

TEST(Fen, SideLetters) {
  const std::string b = "4k4/9/9/9/9/9/9/9/9/4K4";
  EXPECT_EQ(SetUpFen(b + " w"), kRed);
  EXPECT_EQ(SetUpFen(b + " r"), kRed);
  EXPECT_EQ(SetUpFen(b + "\t \tw"), kRed);
  EXPECT_EQ(SetUpFen(b + " b"), kBlack);
  EXPECT_EQ(SetUpFen(b + " x"), kBlack);
  EXPECT_EQ(SetUpFen(b), kBlack) << "a missing side means black to move";
  EXPECT_EQ(SetUpFen(b + " W"), kBlack);
}

TEST(Fen, ParseResetsTheGameAndRebuildsKeysAndMasks) {
  SetUpFen(testing_support::kStartFen);
  gamePly = 7;
  gameLength = 9;
  uint32_t side = 5;
  ParseFen("3k5/9/9/9/9/9/9/9/9/4K2R1 w", board, posPiece, &side);
  EXPECT_EQ(side, kRed);
  EXPECT_EQ(gamePly, 0);
  EXPECT_EQ(gameLength, 0);
  EXPECT_EQ(rankOccupancy[0], 1u << 5);
  EXPECT_EQ(rankOccupancy[9], (1u << 4) | (1u << 1));
  EXPECT_EQ(fileOccupancy[1], 1u << 9);
  uint64_t lock = 0, key = 0;
  ComputePositionKeys(&lock, &key, posPiece);
  EXPECT_EQ(lock, positionLock);
  EXPECT_EQ(key, positionKey);
  SetUpFen(testing_support::kStartFen);
  EXPECT_NE(lock, positionLock);
}

TEST(Fen, SurplusPieceIsDroppedAndTakesNoSquare) {
  // Six red pawns and a chariot on rank 5: the sixth pawn is skipped, so the
  // chariot lands on file 3 and the rank ends exactly at file 0.
  SetUpFen("4k4/9/9/9/9/PPPPPPR3/9/9/9/4K4 w");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(posPiece[12 + i], MakeSquare(8 - i, 5));
  EXPECT_EQ(posPiece[8], MakeSquare(3, 5));
  EXPECT_EQ(posPiece[1], kRedKingHome);
  EXPECT_EQ(posPiece[17], kBlackKingHome);
  EXPECT_EQ(Fen(board, 1, 0, 0), "4k4/9/9/9/9/PPPPPR3/9/9/9/4K4 r");
  // A third king is dropped the same way.
  SetUpFen("4k4/9/9/9/9/9/9/9/K8/4K4 w");
  EXPECT_EQ(posPiece[1], MakeSquare(8, 8));
  EXPECT_EQ(board[kRedKingHome], 0);
}

TEST(Fen, TextBeyondTheBoardNeverWritesOutsideIt) {
  // ParseFen is handed a board with guard cells behind it; every rank past
  // the tenth, and every run past the last square, must leave them alone.
  struct Guarded {
    int8_t cells[kBoardSize];
    int8_t guard[4096];
  };
  std::string manyRanks;
  for (int i = 0; i < 60; ++i) manyRanks += "rnbakabnr/RNBAKABNR/";
  std::string longRuns(3000, '9');
  std::string emptyRanks;
  for (int i = 0; i < 16; ++i) emptyRanks += "9/";
  const std::string texts[] = {manyRanks, longRuns + "R", emptyRanks + "1R7",
                               "rrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrr"};
  for (const std::string& text : texts) {
    static Guarded g;
    uint32_t pieces[33];
    std::memset(&g, 0x55, sizeof g);
    uint32_t side = 9;
    ParseFen(text.c_str(), g.cells, pieces, &side);
    for (int8_t v : g.guard) ASSERT_EQ(v, 0x55) << text.substr(0, 40);
    for (int s = 0; s < kBoardSize; ++s) {
      if (!onBoard[s]) {
        EXPECT_EQ(g.cells[s], 0) << "frame cell " << s;
      }
      if (g.cells[s] != 0) {
        EXPECT_EQ(pieces[g.cells[s]], static_cast<uint32_t>(s));
      }
    }
    for (uint32_t i = 1; i <= 32; ++i) {
      if (pieces[i] != 0) {
        EXPECT_EQ(g.cells[pieces[i]], static_cast<int8_t>(i));
      }
    }
    EXPECT_EQ(side, kBlack);
  }
  // After sixteen empty ranks the cursor, left to run on, would come back to
  // file 8 of the first rank; the chariot after them is not placed at all.
  {
    static Guarded g;
    uint32_t pieces[33];
    ParseFen(texts[2].c_str(), g.cells, pieces, &sideToMove);
    EXPECT_EQ(pieces[8], 0u);
    EXPECT_EQ(g.cells[MakeSquare(8, 0)], 0);
  }
  // The long run of chariots fills no more than their two indices.
  SetUpFen(texts[3]);
  EXPECT_EQ(posPiece[24], MakeSquare(8, 0));
  EXPECT_EQ(posPiece[25], MakeSquare(7, 0));
  EXPECT_EQ(Fen(board, 0, 0, 1), "rr7/9/9/9/9/9/9/9/9/9");
  SetUpFen(testing_support::kStartFen);
}

// Random boards with a random subset of each side's pieces anywhere.
std::string RandomBoardFen(std::mt19937& rng) {
  int8_t cells[kBoardSize] = {};
  for (int i = 1; i <= 32; ++i) {
    if (rng() % 4 == 0) continue;
    for (;;) {
      const Square s = MakeSquare(static_cast<int>(rng() % 9), static_cast<int>(rng() % 10));
      if (cells[s] != 0) continue;
      cells[s] = static_cast<int8_t>(i);
      break;
    }
  }
  return Fen(cells, 0, 0, static_cast<int>(rng() % 2));
}

TEST(Fen, RoundTripsInBothLetterSetsAndMirrored) {
  std::mt19937 rng(5);
  for (int n = 0; n < 200; ++n) {
    const std::string text = RandomBoardFen(rng) + (n % 2 ? " b" : " w");
    SetUpFen(text);
    int8_t first[kBoardSize];
    uint32_t firstPieces[33];
    std::memcpy(first, board, sizeof first);
    std::memcpy(firstPieces, posPiece, sizeof firstPieces);
    const uint32_t side = sideToMove;
    ASSERT_EQ(side, n % 2u);
    for (int set = 0; set < 2; ++set) {
      const std::string written = Fen(board, 1, 0, set);
      EXPECT_EQ(SetUpFen(written), side) << written;
      EXPECT_EQ(std::memcmp(first, board, sizeof first), 0) << text << " -> " << written;
      EXPECT_EQ(std::memcmp(firstPieces, posPiece, sizeof firstPieces), 0) << written;
      EXPECT_EQ(Fen(board, 1, 0, set), written);
    }
    // The mirrored text read back is the position with every file mirrored.
    const std::string mirrored = Fen(board, 1, 1, n % 2);
    SetUpFen(mirrored);
    for (Square s = kFirstSquare; s <= kLastSquare; ++s) {
      if (!onBoard[s]) continue;
      const int a = first[s], b = board[mirrorSquare[s]];
      EXPECT_EQ(a == 0, b == 0) << mirrored;
      if (a != 0 && b != 0) {
        EXPECT_EQ(colouredTypeOf[a], colouredTypeOf[b]) << mirrored;
      }
    }
  }
}

TEST(Fen, WriteFenTreatsCellsWithoutAPieceIndexAsEmpty) {
  int8_t cells[kBoardSize] = {};
  cells[MakeSquare(4, 0)] = 17;
  cells[MakeSquare(3, 0)] = 40;
  cells[MakeSquare(2, 0)] = -3;
  cells[MakeSquare(4, 9)] = 1;
  EXPECT_EQ(Fen(cells, 0, 0, 0), "4k4/9/9/9/9/9/9/9/9/4K4");
}

TEST(CoordMove, ParsesBothForms) {
  const Move h2e2 = 57u * 65536u + 105u;
  EXPECT_EQ(ParseCoordMove("h2e2"), h2e2);
  EXPECT_EQ(ParseCoordMove("h2e2 and more"), h2e2);
  EXPECT_EQ(ParseCoordMove("(12) H2-E2"), h2e2);
  EXPECT_EQ(ParseCoordMove("(1)xH2xE2"), h2e2);
  EXPECT_EQ(ParseCoordMove("a0i9"), MakeMoveCode(MakeSquare(8, 9), MakeSquare(0, 0)));
  EXPECT_EQ(ParseCoordMove("(1) A0-I9"), MakeMoveCode(MakeSquare(8, 9), MakeSquare(0, 0)));
}

TEST(CoordMove, RefusesShortOrMalformedText) {
  const char* bad[] = {"",         "h",         "h2e",       "h2e:",     "j2e2",  "h2`2",
                       "H2E2",     "h2E2",      "h/e2",      "(1) h2-e2", "(1",   "(1)",
                       "(1) H2-E", "(1) H2",    "(1) J2-E2", "(1) H2-E:", "(1)\0"};
  for (const char* text : bad) EXPECT_EQ(ParseCoordMove(text), 0u) << '"' << text << '"';
  EXPECT_EQ(ParseCoordMove(nullptr), 0u);
  // A text that ends right after its ")" is not read beyond its end.
  char tight[4] = {'(', '1', ')', '\0'};
  EXPECT_EQ(ParseCoordMove(tight), 0u);
}

TEST(CoordMove, FormatAndParseAreInverse) {
  int pairs = 0;
  for (Square from = kFirstSquare; from <= kLastSquare; ++from) {
    if (!onBoard[from]) continue;
    for (Square to = kFirstSquare; to <= kLastSquare; ++to) {
      if (!onBoard[to]) continue;
      char text[5];
      FormatCoordMove(MakeMoveCode(from, to), text);
      ASSERT_EQ(ParseCoordMove(text), MakeMoveCode(from, to)) << text;
      ++pairs;
    }
  }
  EXPECT_EQ(pairs, 90 * 90);
  EXPECT_EQ(testing_support::MoveText(57u * 65536u + 105u), "h2e2");
  EXPECT_EQ(testing_support::MoveText(MakeMoveCode(MakeSquare(0, 9), 44)), "i0--");
  EXPECT_EQ(testing_support::MoveText(0), "----");
}

TEST(CoordMove, MirrorMoveSwapsFilesAndKeepsRanks) {
  EXPECT_EQ(MirrorMove(ParseCoordMove("h2e2")), ParseCoordMove("b2e2"));
  EXPECT_EQ(MirrorMove(ParseCoordMove("e0e1")), ParseCoordMove("e0e1"));
  for (Square from = kFirstSquare; from <= kLastSquare; ++from) {
    if (!onBoard[from]) continue;
    for (Square to = kFirstSquare; to <= kLastSquare; ++to) {
      if (!onBoard[to]) continue;
      const Move m = MakeMoveCode(from, to);
      const Move r = MirrorMove(m);
      ASSERT_EQ(MirrorMove(r), m);
      EXPECT_EQ(FileOf(MoveFrom(r)), 8 - FileOf(from));
      EXPECT_EQ(RankOf(MoveFrom(r)), RankOf(from));
      EXPECT_EQ(FileOf(MoveTo(r)), 8 - FileOf(to));
      EXPECT_EQ(RankOf(MoveTo(r)), RankOf(to));
    }
  }
  const Square e0 = MakeSquare(4, 9);
  EXPECT_EQ(MirrorMove(0), 0u);
  EXPECT_EQ(MirrorMove(MakeMoveCode(e0, 44)), 0u) << "rank 10";
  EXPECT_EQ(MirrorMove(MakeMoveCode(e0, MakeSquare(9, 3))), 0u) << "file 9";
  EXPECT_EQ(MirrorMove(MakeMoveCode(0xFFFF, e0)), 0u);
  EXPECT_EQ(MirrorMove(MakeMoveCode(e0, 208)), 0u);
}

}  // namespace
