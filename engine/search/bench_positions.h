// The positions of the search benchmark: openings, middle games, endgames
// and positions with the side to move in check, each a FEN with its side.
#pragma once

inline constexpr const char* kBenchPositions[] = {
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w",
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b",
    "rnbakab1r/9/1c4n1c/p1p1p3p/6p2/1C7/P1P1P1P1P/4C1N2/9/RNBAKAB1R w",
    "r1bak1bnr/4a4/1cn4c1/p3p1p1p/2p6/6P2/P1P1P3P/1CN3NC1/9/R1BAKAB1R w",
    "rnbakab1r/9/1c4n2/p1p1p3p/6p2/2P6/P3P1PcP/1CN4C1/4A4/R1B1KABNR w",
    "rnbakab1r/9/4c3n/p1p1p1C1p/9/9/P1P1P1P1P/1C7/R6c1/1NBAKABNR w",
    "r2akab1r/9/c1n3n2/2p1p3p/p5P2/1c7/P1P1P3P/4C1N2/4A4/RNB1KAB1R w",
    "3akab1r/4n4/2n6/c1p1p1P2/7Rp/prP6/P3P3P/4C1N2/4A4/R1B1KAB2 w",
    "r1bak1bnr/4a4/7c1/4p1p1p/pnp6/6P1P/P1P1P4/1CN1B1N2/4A4/R3KAB1R w",
    "r1bak1b1r/4a4/c7n/4p1pRp/1n7/2p2CP1P/1p2P4/2N1B1N2/4A4/3RKAB2 w",
    "r1nak1br1/2R1a4/c3b3n/4p1p1p/9/2B1C1P1P/2p1P4/2N3N2/4A4/R3KAB2 w",
    "rn2kab1r/4a4/4b4/p1p1p3p/5n3/2P1P1B2/Pc5cP/1CN3NC1/4A4/R3KAB1R w",
    "rn2kab2/4a4/4b3r/p1P1p3p/1c7/4n1B2/P6RP/1CN1B1NC1/4A4/4KA2R w",
    "r1baka2r/9/1c1n3c1/p3p2Cp/2pn2b2/8P/P1P1P4/1C2B1N2/4A4/RN2KAB1R w",
    "r1baka1r1/9/1c1n2c2/p2C4p/2p1P1b2/1C2nN2P/P8/2N1B4/4A4/R3KAB1R w",
    "r1bakab1r/9/3cc1n2/1C2p1p1p/p2n5/2p3PCP/P1P1P4/2N3N2/4A4/1RB1KAB1R w",
    "r1bak1b2/4a4/3cc1n2/6p1p/2PRp2r1/P5PCP/4P4/2N3N2/4A4/2B1KAB1R w",
    "2bakab1r/6n2/n3c4/p3p3C/9/9/P1P1P1P1P/1rN6/7R1/2BAKABNR w",
    "3akab2/4n4/2n4Rr/2p1p1P2/8p/p1P2C3/c2rP3P/4B1N2/4A4/1RB1KA3 w",
    "3akab2/1R2n4/9/2p1n1P2/8C/2P2pB2/2c1r4/4B4/4A4/4KA3 w",
    "3a1k3/9/4b4/2R1n2rp/4N4/4P3P/2p6/4B4/4A4/r2NKAB2 w",
    "2b1kab2/9/3a3r1/1R7/3R4P/P5B2/9/4B1c2/4A4/3AK4 w",
    "4ka3/4a4/b2nb2r1/2cN2c1p/p2Cr3P/2C6/P5n2/3RB4/N3A4/4KAB1R w",
    "2bak1r2/4a4/4b4/7R1/P2Rp4/1nB6/8P/9/4A4/r2AK4 w",
    "4k1b2/4a4/2c2a3/7rp/p2R2b2/2B5P/P3C4/9/4A4/4KAB2 b",
    "r1bakab1r/9/4n4/pC2C4/2ccp3p/P8/4P1p1P/4B4/4A4/1RB1KA1NR b",
    "1rb1kab2/9/5a3/p5nRC/1C6p/P8/3R4P/4rp3/3c1c3/2BAKA3 w",
    "r1bakabn1/8r/c1n3c2/pC2p1p1p/2p6/4C4/P1P1P1P1P/2N1B4/9/R1BAKA1NR b",
    "1nbak2R1/r3a4/1C1nb3r/6c1C/2p1p3P/p8/P1P1P1P2/2N1B4/5Nc2/1RBAKA3 b",
    "2Raka3/3R5/9/p2N5/4p1b1p/C2r5/P2r4P/9/4A4/1c1AKN3 w",
    "3k5/9/9/9/9/9/9/9/9/4K3R w",
    "4ka3/4a4/4b4/9/9/9/9/9/4A4/3AK1N2 w",
    "3aka3/9/9/9/4P4/9/9/9/4C4/4K4 b",
    "3k5/9/9/9/9/2P1P4/9/9/9/5K3 w",
};
inline constexpr int kBenchPositionCount =
    static_cast<int>(sizeof kBenchPositions / sizeof kBenchPositions[0]);
// Depth and hash size of the benchmark searches.
inline constexpr int kBenchDepth = 6;
inline constexpr int kBenchHashMegabytes = 16;
