// The stored window placement text: exact format, round trips over the
// whole range of each field, and texts that must count as "no placement".
#include "platform/placement.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

WindowPlacementValue Sample() {
  WindowPlacementValue p;
  p.flags = kPlacementRestoreToMaximized;
  p.showCommand = 3;
  p.minX = -32000;
  p.minY = -32000;
  p.maxX = -8;
  p.maxY = -8;
  p.left = -1270;  // on a monitor left of the primary one
  p.top = -30;
  p.right = -630;
  p.bottom = 690;
  return p;
}

TEST(WindowPlacement, FormatsTheTenNumbersInOrder) {
  EXPECT_EQ(FormatWindowPlacement(Sample()), "2,3,-32000,-32000,-8,-8,-1270,-30,-630,690");
  EXPECT_EQ(FormatWindowPlacement(WindowPlacementValue{}), "0,1,-1,-1,-1,-1,0,0,0,0");
}

TEST(WindowPlacement, RoundTripsIncludingNegativeAndExtremeValues) {
  EXPECT_EQ(ParseWindowPlacement(FormatWindowPlacement(Sample()).c_str()), Sample());

  WindowPlacementValue extremes;
  extremes.flags = UINT32_MAX;
  extremes.showCommand = 0;
  extremes.minX = INT32_MIN;
  extremes.minY = INT32_MAX;
  extremes.maxX = 0;
  extremes.maxY = -1;
  extremes.left = INT32_MIN;
  extremes.top = INT32_MIN;
  extremes.right = INT32_MAX;
  extremes.bottom = INT32_MAX;
  const std::string text = FormatWindowPlacement(extremes);
  EXPECT_EQ(text, "4294967295,0,-2147483648,2147483647,0,-1,-2147483648,-2147483648,"
                  "2147483647,2147483647");
  EXPECT_EQ(ParseWindowPlacement(text.c_str()), extremes);
}

TEST(WindowPlacement, ReadsAHandWrittenValue) {
  const auto p = ParseWindowPlacement("0,1,-1,-1,-1,-1,100,50,300,200");
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(p->flags, 0u);
  EXPECT_EQ(p->showCommand, 1u);
  EXPECT_EQ(p->minX, -1);
  EXPECT_EQ(p->maxY, -1);
  EXPECT_EQ(p->left, 100);
  EXPECT_EQ(p->top, 50);
  EXPECT_EQ(p->right, 300);
  EXPECT_EQ(p->bottom, 200);
  // Spaces around the numbers, as an editor may leave them.
  EXPECT_EQ(ParseWindowPlacement(" 0, 1 ,-1,-1,-1,-1, 100,50,300,200 "), p);
  EXPECT_EQ(ParseWindowPlacement("0,+1,-1,-1,-1,-1,100,50,300,200"), p);
}

TEST(WindowPlacement, MalformedOrPartialTextsAreNoPlacement) {
  const char* bad[] = {
      "",
      "   ",
      "0,1,-1,-1,-1,-1,100,50,300",          // nine numbers
      "0,1,-1,-1,-1,-1,100,50,300,",         // ten fields, the last empty
      "0,1,-1,-1,-1,-1,100,50,300,200,7",    // eleven numbers
      "0,1,-1,-1,-1,-1,100,50,300,200x",     // trailing text
      "0,1,-1,-1,-1,-1,100,,300,200",        // an empty field
      "0;1;-1;-1;-1;-1;100;50;300;200",      // wrong separator
      "0,1,-1,-1,-1,-1,1e2,50,300,200",      // not a whole number
      "0,1,-1,-1,-1,-1,0x10,50,300,200",     // not decimal
      "a,1,-1,-1,-1,-1,100,50,300,200",
      "-1,1,-1,-1,-1,-1,100,50,300,200",     // negative flags
      "0,-1,-1,-1,-1,-1,100,50,300,200",     // negative show command
      "4294967296,1,-1,-1,-1,-1,100,50,300,200",  // flags too large
      "0,1,-1,-1,-1,-1,2147483648,50,300,200",    // coordinate too large
      "0,1,-1,-1,-1,-1,-2147483649,50,300,200",   // coordinate too small
      "0,1,-1,-1,-1,-1,99999999999999999999999,50,300,200",
      "0,1,-1,-1,-1,-1,- 5,50,300,200",      // a sign on its own
  };
  for (const char* text : bad) {
    EXPECT_FALSE(ParseWindowPlacement(text).has_value()) << '"' << text << '"';
  }
  EXPECT_FALSE(ParseWindowPlacement(nullptr).has_value());
}

}  // namespace
