// The board view: the board picture of each size, the coordinate labels,
// the square geometry, the piece strips, the painter's marks and discs, the
// computing-moves arrows and the frame's size. The pictures are pure
// drawing, so one program (one frame) serves every test; each test puts
// back what it changed.
#include "app/board_view.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/chess_app.h"
#include "app/main_frame.h"
#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "engine/search/time_control.h"
#include "game/header.h"
#include "platform/services.h"
#include "platform/settings_store.h"
#include "platform/toolbar.h"
#include "res/menus.h"
#include "res/text_rows.h"

namespace {

CMainFrame* frame = nullptr;

class FrameEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    char pattern[] = "/tmp/vorelk-board-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
    // A screen lower than the big board with its menu bar.
    const std::string screens = (root_ / "screens.json").string();
    std::FILE* file = std::fopen(screens.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs(R"({"screens": [{"name": "low", "x": 0, "y": 0, "width": 1024, "height": 640,)"
               R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})",
               file);
    std::fclose(file);
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).c_str());
    static int argc = 1;
    static char name[] = "board_view_test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    {
      CSettingsStore store(kSettingsNoRoot);
      OpenProgramSettings(store);
      store.WriteInt("Options", "Language", kLanguageEnglish);
    }
    theApp.InitInstance();
    frame = pMainFrame;
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

 private:
  std::filesystem::path root_;
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new FrameEnvironment);

COLORREF Px(const QImage& image, int x, int y) { return QRgbToColorRef(image.pixel(x, y)); }
bool Dark(COLORREF c) { return GetRValue(c) < 0x60 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60; }
template <typename Test>
int Count(const QImage& image, const CRect& r, Test test) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += test(Px(image, x, y)) ? 1 : 0;
  return n;
}
// toward + ((pixel - toward) * weight >> 8) per channel.
COLORREF Blend(COLORREF toward, COLORREF pixel, int weight) {
  COLORREF out = 0;
  for (int k = 0; k < 24; k += 8) {
    const int t = (toward >> k) & 0xFF, p = (pixel >> k) & 0xFF;
    out |= static_cast<COLORREF>((t + (((p - t) * weight) >> 8)) & 0xFF) << k;
  }
  return out;
}

constexpr COLORREF kStyle0 = 0xB4C4AB;
constexpr COLORREF kMarker = 0xF01414;

class BoardViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(frame, nullptr);
    std::copy(std::begin(displayBoard), std::end(displayBoard), savedBoard_);
    savedPly_ = gamePly;
    savedHistory_[0] = history[1];
    savedHistory_[1] = history[2];
  }
  void TearDown() override {
    std::copy(std::begin(savedBoard_), std::end(savedBoard_), displayBoard);
    gamePly = savedPly_;
    history[1] = savedHistory_[0];
    history[2] = savedHistory_[1];
    engineState = kEngineIdle;
    sideToMove = shownSideToMove;
    redIronPawn = blackIronPawn = 0;
    frame->rotation = frame->mirror = frame->setupMode = 0;
    frame->coordinateKind = 0;
    frame->boardStyle = 7;
    frame->pieceSet = 2;
    LayOut(1);
  }
  // The layout of a size index with the current fields.
  static void LayOut(int index) {
    frame->boardSizeIndex = index;
    frame->Relayout(1);
  }
  static QImage Paint() {
    QImage& surface = frame->BoardView()->Surface();
    frame->OnPaint(CRect{0, 0, surface.width(), surface.height()});
    return surface.copy();
  }
  // Whether every non-black pixel of cell n stands at (x, y) of the image.
  static bool CellAt(const QImage& image, const CSpriteStrip& strip, int n, int x, int y) {
    int cx, cy;
    if (!strip.CellOrigin(n, cx, cy)) return false;
    for (int j = 0; j < strip.GetCellHeight(); ++j)
      for (int i = 0; i < strip.GetCellWidth(); ++i) {
        const QRgb p = strip.GetImage().pixel(cx + i, cy + j) & 0xFFFFFF;
        if (p != 0 && (image.pixel(x + i, y + j) & 0xFFFFFF) != p) return false;
      }
    return true;
  }

  int8_t savedBoard_[kBoardSize];
  int32_t savedPly_ = 0;
  HistoryRecord savedHistory_[2];
};

TEST_F(BoardViewTest, BoardPictureDrawsGridRiverPalacesFrameAndBevel) {
  frame->boardStyle = 0;
  for (int index : {0, 1, 2}) {
    for (int kind : {3, 2}) {
      SCOPED_TRACE(testing::Message() << "size " << index << " kind " << kind);
      frame->coordinateKind = kind;
      LayOut(index);
      const QImage b = frame->boardBitmap->GetImage();
      const int s = frame->squareSize, band = kind == 2 ? 20 : 0, mid = s / 2;
      ASSERT_EQ(frame->coordinateBand, band);
      ASSERT_EQ(b.size(), QSize(13 * s, 12 * s + band));
      // Files: the inner ones stop at the river, the outer ones cross it;
      // each has its light line one pixel to the right.
      for (int c = 0; c <= 8; ++c) {
        const int x = s + c * s;
        EXPECT_TRUE(Dark(Px(b, x, s + band + mid)) && Dark(Px(b, x - 1, 7 * s + band + mid)));
        EXPECT_EQ(Dark(Px(b, x, 5 * s + band + 2)), c == 0 || c == 8) << c;
        if (c < 8) {
          EXPECT_EQ(Px(b, x + 1, 2 * s + band + mid), Blend(0xFFFFFF, kStyle0, 128));
        }
      }
      for (int t = 0; t <= 9; ++t) EXPECT_TRUE(Dark(Px(b, 2 * s + mid, s + t * s + band)));
      // Palace diagonals cross at the palace centres; grid corners are closed.
      EXPECT_TRUE(Dark(Px(b, 5 * s, 2 * s + band)) && Dark(Px(b, 5 * s, 9 * s + band)));
      EXPECT_TRUE(Dark(Px(b, 9 * s, s + band - 1)) && Dark(Px(b, s - 1, 10 * s + band)));
      EXPECT_EQ(Px(b, 2 * s + mid, 2 * s + band + mid), kStyle0);
      // Point marks: four corners 3-4 pixels off the intersection; the
      // edge files only on their inner side (the left file's outer side is
      // under the frame on the big board).
      const int a = s / 4 - 3;
      struct Point {
        int c, t;
        bool left, right;
      };
      for (const Point p :
           {Point{1, 7, true, true}, Point{0, 6, false, true}, Point{8, 3, true, false}}) {
        const int x = s + p.c * s, y = s + p.t * s + band;
        if (p.c != 0) {
          EXPECT_EQ(Dark(Px(b, x - 4, y - 3 - a / 2)), p.left);
        }
        if (p.c != 0) {
          EXPECT_EQ(Dark(Px(b, x - 4, y + 3 + a / 2)), p.left);
        }
        EXPECT_EQ(Dark(Px(b, x + 3, y - 3 - a / 2)), p.right);
        EXPECT_EQ(Dark(Px(b, x + 3, y + 3 + a / 2)), p.right);
      }
      // Frame lines 6 pixels outside the grid.
      const int fy = 5 * s + band + mid;
      EXPECT_TRUE(Dark(Px(b, s - 6, fy)) && Dark(Px(b, 9 * s + 6, fy)));
      EXPECT_TRUE(Dark(Px(b, 5 * s + mid, s + band - 6)) &&
                  Dark(Px(b, 5 * s + mid, 10 * s + band + 6)));
      EXPECT_EQ(Px(b, s - 10, fy), kStyle0);
      // Bevel of four rings around the 10 x 11 squares, whatever the band.
      for (int i = 1; i <= 4; ++i) {
        const int w = 33 * i + 90;
        EXPECT_EQ(Px(b, i, fy), Blend(0xDCDCDC, kStyle0, w));
        EXPECT_EQ(Px(b, 7 * s + mid, i), Blend(0xDCDCDC, kStyle0, w));
        EXPECT_EQ(Px(b, 10 * s - i, fy), Blend(0x505050, kStyle0, w));
        // (the frame's lower line meets the inner rings on the small board
        // with the band)
        if (i <= 2) {
          EXPECT_EQ(Px(b, 7 * s + mid, 11 * s - i), Blend(0x505050, kStyle0, w));
        }
      }
      // Without labels the turned board is the same picture: every point
      // mark lands on its turned place with its sides exchanged.
      if (kind == 3) {
        frame->rotation = 1;
        LayOut(index);
        EXPECT_TRUE(frame->boardBitmap->GetImage() == b);
        frame->rotation = 0;
      }
    }
  }
}

// Each kind's labels in their rectangles with their characters, and nothing
// where another kind would put a label.
TEST_F(BoardViewTest, CoordinateLabelsOfEveryKindInAllTurnings) {
  struct Label {
    CRect r;
    char c;
  };
  for (int s : {30, 56}) {
    frame->squareSize = s;
    for (int kind = 0; kind <= 4; ++kind) {
      for (int turn = 0; turn < 4; ++turn) {
        const int rot = turn & 1, mir = turn >> 1;
        SCOPED_TRACE(testing::Message() << s << " kind " << kind << " rot " << rot << mir);
        frame->coordinateKind = kind;
        frame->rotation = rot;
        frame->mirror = mir;
        CDC none;
        auto actual = frame->BuildBoardBitmap(none, s, kStyle0, 0);
        auto expected = frame->BuildBoardBitmap(none, s, kStyle0, 0);
        const int band = kind == 2 ? 20 : 0, fy = 10 * s + s / 2 + band;
        std::vector<Label> labels;
        for (int i = 0; i <= 8; ++i) {
          const int l = s - 10 + i * s, r = s + 10 + i * s;
          if (kind <= 1)
            labels.push_back({{l, fy, r, fy + 20}, char(rot == mir ? 'a' + i : 'i' - i)});
          if (kind == 4)
            labels.push_back({{l, fy, r, fy + 20}, char(rot == mir ? '9' - i : '1' + i)});
          if (kind == 2) {
            labels.push_back({{l, fy - 2, r, fy + 19}, char(mir ? '1' + i : '9' - i)});
            labels.push_back(
                {{l, band + s / 10 - 2, r, band + s / 10 + 18}, char(mir ? '9' - i : '1' + i)});
          }
        }
        for (int i = 0; i <= 9; ++i) {
          const int y = s + band + (9 - i) * s;
          const char c = kind == 0   ? char('0' + (rot ? 9 - i : i))
                         : kind == 4 ? char(rot ? 'J' - i : 'A' + i)
                                     : 0;
          if (c != 0) labels.push_back({{0, y - 10, s / 2, y + 10}, c});
        }
        CDC dc(expected->GetBitmapHandle());
        for (const Label& l : labels) DrawCenteredText(dc, l.r, QString(QChar(l.c)), 10, 0);
        if (kind == 1) {  // 1..10 from the bottom
          for (int i = 1; i <= 10; ++i) {
            const int y = s + (10 - i) * s;
            labels.push_back({{0, y - 10, s / 2, y + 10}, 'x'});
            DrawCenteredText(dc, labels.back().r, QString::number(rot ? 11 - i : i), 10, 0);
          }
        }
        CDC labelled(actual->GetBitmapHandle());
        frame->DrawCoordinateLabels(labelled);
        EXPECT_TRUE(actual->GetImage() == expected->GetImage());
        for (const Label& l : labels) EXPECT_GT(Count(actual->GetImage(), l.r, Dark), 4) << l.c;
      }
    }
  }
}

// The set-up watermark in the plain colour less a tenth with red and blue
// exchanged (ink on a texture), and the players' names at the top.
TEST_F(BoardViewTest, SetupWatermarkColourAndNameStrip) {
  const GameHeader savedHeader = currentGameHeader;
  SetHeaderText(currentGameHeader.redName, "Red Player");
  SetHeaderText(currentGameHeader.blackName, "Black Player");
  frame->setupMode = 1;
  for (const auto& [style, watermark] : {std::pair{0, 0x9AB1A2u}, std::pair{7, 0x282828u}}) {
    const COLORREF ink = watermark;
    frame->boardStyle = style;
    LayOut(1);
    const int s = frame->squareSize;
    const QImage& b = frame->boardBitmap->GetImage();
    EXPECT_GT(Count(b, {s, 4 * s, 9 * s, 7 * s}, [&](COLORREF c) { return c == ink; }), 200);
    EXPECT_GT(Count(b, {0, 0, 11 * s, s / 2 + 4}, [](COLORREF c) { return c == 0x282828; }), 20);
  }
  currentGameHeader = savedHeader;
}

// The set-up banner lies inside the board, half a square clear of its
// edges, at every size in every language, and is the language's own text
// (accents and Chinese characters included), as large as fits up to s
// points.
TEST_F(BoardViewTest, SetupBannerFitsTheBoardInEveryLanguage) {
  const int savedLanguage = currentLanguage;
  frame->boardStyle = 7;  // a texture: the banner in ink
  const char* const kBanners[kLanguageCount] = {
      "Mode setup", "Setup mode", "Edición de posición", "Stellung aufbauen", "摆设局面", "擺設局面"};
  for (int language = 0; language < kLanguageCount; ++language) {
    currentLanguage = language;
    for (int size : {0, 1, 2}) {
      SCOPED_TRACE(std::to_string(language) + " size " + std::to_string(size));
      frame->setupMode = 0;
      LayOut(size);
      QImage expected = frame->boardBitmap->GetImage().copy();
      frame->setupMode = 1;
      LayOut(size);
      const QImage banner = frame->boardBitmap->GetImage().copy();
      const int s = frame->squareSize;
      constexpr int kSquares[3] = {30, 38, 56};
      ASSERT_EQ(s, kSquares[size]);
      // Where the banner drew.
      int left = banner.width(), right = -1, top = banner.height(), bottom = -1;
      for (int y = 0; y < banner.height(); ++y)
        for (int x = 0; x < banner.width(); ++x)
          if (banner.pixel(x, y) != expected.pixel(x, y)) {
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
          }
      ASSERT_GE(right, 0);
      EXPECT_GE(left, s / 2);
      EXPECT_LT(right, 10 * s - s / 2);
      EXPECT_GE(top, s / 2);
      EXPECT_LT(bottom, 11 * s - s / 2);
      EXPECT_GT(right - left, 4 * s);  // not shrunk beyond need
      // The same picture as the language's text drawn there.
      const QString text = QString::fromUtf8(kBanners[language]);
      CDC dc(&expected);
      DrawCenteredText(dc, CRect{0, 0, 10 * s, 11 * s}, text,  // no coordinate band
                       FitCenteredTextPoints(dc, text, s, 8 * s), 0x282828);
      EXPECT_TRUE(expected == banner);
    }
  }
  currentLanguage = savedLanguage;
  frame->setupMode = 0;
  LayOut(1);
}

// Names read from a GBK file (not in the pinyin table) show as the same
// Chinese text in every language; names of unknown code page keep the
// interface language's.
TEST_F(BoardViewTest, NamesFromGbkFilesLookTheSameInEveryLanguage) {
  const GameHeader savedHeader = currentGameHeader;
  const int savedLanguage = currentLanguage;
  SetHeaderText(currentGameHeader.redName, "\xD5\xC5\xC8\xFD");    // 张三
  SetHeaderText(currentGameHeader.blackName, "\xC0\xEE\xCB\xC4");  // 李四
  auto strip = [](int language) {
    currentLanguage = language;
    LayOut(1);
    const int s = frame->squareSize;
    return frame->boardBitmap->GetImage().copy(0, 0, 11 * s, s / 2 + 4);
  };
  for (int gbk : {1, 0}) {
    currentGameHeader.textPage = gbk == 1 ? kHeaderTextsGbk : kHeaderTextsUnknown;
    const QImage chinese = strip(kLanguageSimplifiedChinese);
    for (int language = 0; language < kLanguageCount; ++language) {
      EXPECT_EQ(strip(language) == chinese, gbk == 1 || language == kLanguageSimplifiedChinese)
          << "gbk " << gbk << " language " << language;
    }
  }
  currentGameHeader = savedHeader;
  currentLanguage = savedLanguage;
  LayOut(1);
}

// Long names are shortened in their middle, so that the strip never draws
// from 9 squares on, where the move number and the side-to-move disc stand,
// nor before 2 squares, at every board size.
TEST_F(BoardViewTest, LongNamesStayClearOfTheMoveNumber) {
  const GameHeader savedHeader = currentGameHeader;
  for (int size : {0, 1, 2}) {
    SCOPED_TRACE(size);
    const auto strip = [&] {
      LayOut(size);
      const int s = frame->squareSize;
      return frame->boardBitmap->GetImage().copy(0, 0, 11 * s, s / 2 + 4);
    };
    SetHeaderText(currentGameHeader.redName, "");
    SetHeaderText(currentGameHeader.blackName, "");
    const QImage empty = strip();
    SetHeaderText(currentGameHeader.redName, "Wolfgang Amadeus Xiangqi-Meisterspieler");
    SetHeaderText(currentGameHeader.blackName, "Maximiliane Schwarzenberg-Lichtenstein");
    const QImage named = strip();
    const int s = frame->squareSize;
    int inked = 0, outside = 0;
    for (int y = 0; y < named.height(); ++y) {
      for (int x = 0; x < named.width(); ++x) {
        if (named.pixel(x, y) == empty.pixel(x, y)) continue;
        ++inked;
        if (x < 2 * s || x >= 9 * s) ++outside;
      }
    }
    EXPECT_GT(inked, 0) << "the names are drawn";
    EXPECT_EQ(outside, 0) << "the names reach the move number or the far edge";
  }
  currentGameHeader = savedHeader;
  LayOut(1);
}

TEST_F(BoardViewTest, SquareToPixelInAllFourTurnings) {
  struct Case {
    int rot, mir, c, r, x, y;
  };
  // 38-pixel squares under the 20-pixel band of Chinese coordinates.
  const Case cases[] = {{0, 0, 0, 0, 19, 381},  {0, 0, 8, 9, 323, 39},  {0, 0, 2, 7, 95, 115},
                        {0, 1, 0, 0, 323, 381}, {0, 1, 2, 7, 247, 115}, {1, 0, 0, 0, 323, 39},
                        {1, 0, 2, 7, 247, 305}, {1, 1, 0, 0, 19, 39},   {1, 1, 2, 7, 95, 305}};
  frame->coordinateKind = 2;
  LayOut(1);
  for (const Case& c : cases) {
    frame->rotation = c.rot;
    frame->mirror = c.mir;
    int x = -1, y = -1;
    frame->SquareToPixel(c.c, c.r, x, y);
    EXPECT_EQ(x, c.x) << c.rot << c.mir << " " << c.c << "," << c.r;
    EXPECT_EQ(y, c.y) << c.rot << c.mir << " " << c.c << "," << c.r;
  }
}

TEST_F(BoardViewTest, PieceStripsBySizeAndSetAndDefaultsOutOfRange) {
  struct Case {
    int index, set, strip, cell, storedSet;
  };
  const Case cases[] = {{0, 1, 190, 28, 1}, {0, 4, 190, 28, 4}, {0, 2, 202, 28, 2},
                        {1, 3, 155, 36, 3}, {1, 4, 144, 36, 4}, {2, 1, 192, 48, 1},
                        {2, 2, 114, 54, 2}, {2, 4, 145, 54, 4}, {1, 0, 113, 36, 2},
                        {1, 9, 113, 36, 2}, {7, 3, 155, 36, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.index << " set " << c.set);
    frame->boardSizeIndex = c.index;
    frame->LoadPieceSet(c.set);
    const CDibBitmap reference(nullptr, QString::number(c.strip), true);
    EXPECT_TRUE(frame->pieceStrip->GetImage() == reference.GetImage());
    EXPECT_EQ(frame->pieceStrip->GetCellWidth(), c.cell);
    EXPECT_EQ(frame->pieceSet, c.storedSet);
  }
  for (int style : {-1, 22, 99}) {
    frame->boardStyle = style;
    EXPECT_EQ(frame->BoardStyleBitmapId(), 137);
    EXPECT_EQ(frame->GetBoardColor(), 0xB4C4ABu);
  }
  frame->boardStyle = 11;
  EXPECT_EQ(frame->BoardStyleBitmapId(), 147);
  frame->coordinateKind = 9;
  LayOut(1);
  EXPECT_EQ(frame->coordinateBand, 0);
}

TEST_F(BoardViewTest, PiecesStandCentredOnTheirSquaresInAllTurnings) {
  for (int index : {0, 1, 2}) {
    for (int turn = 0; turn < 4; ++turn) {
      frame->rotation = turn & 1;
      frame->mirror = turn >> 1;
      LayOut(index);
      const QImage shown = Paint();
      const CSpriteStrip& strip = *frame->pieceStrip;
      const int s = frame->squareSize;
      // Red king (4,0) cell 0, black chariot (0,9) cell 8, red pawn (2,3)
      // cell 6.
      struct Piece {
        int c, r, cell;
      };
      for (const Piece p : {Piece{4, 0, 0}, Piece{0, 9, 8}, Piece{2, 3, 6}}) {
        int x, y;
        frame->SquareToPixel(p.c, p.r, x, y);
        EXPECT_TRUE(CellAt(shown, strip, p.cell, x + s / 2 - strip.GetCellWidth() / 2,
                           y + toolbarBandHeight + s / 2 - strip.GetCellHeight() / 2))
            << index << " turn " << turn << " cell " << p.cell;
      }
    }
  }
}

// The to-square is marked large when a piece stands there, the from-square
// small when it is empty; while pondering the marks are the move before.
TEST_F(BoardViewTest, LastMoveMarksAlsoWhilePondering) {
  // A mark: the top-left corner bar and the lower-right one, which lies just
  // below the mark's square (bars 3 pixels thick on the big board, else 2).
  auto markedAt = [](const QImage& shown, int c, int r, bool large) {
    const int s = frame->squareSize, m = large ? 9 * s / 10 : 8 * s / 10, o = (s - m) / 2;
    const int t = frame->boardSizeIndex == 2 ? 3 : 2;
    int x, y;
    frame->SquareToPixel(c, r, x, y);
    const int x0 = x + o, y0 = y + o + toolbarBandHeight;
    return Px(shown, x0, y0) == kMarker && Px(shown, x0 + m - 1, y0 + m + t - 1) == kMarker &&
           Px(shown, x0 + m - 1, y0 + m + t) != kMarker;
  };
  auto square = [](int c, int r) { return static_cast<Square>(171 - 16 * c - r); };
  // Red cannon (1,2) to (4,2); then black's chariot (0,9) to (0,8).
  displayBoard[square(4, 2)] = displayBoard[square(1, 2)];
  displayBoard[square(1, 2)] = 0;
  history[1].move = MakeMoveCode(square(1, 2), square(4, 2));
  history[2].move = MakeMoveCode(square(0, 9), square(0, 8));
  for (int index : {0, 2}) {
    LayOut(index);
    for (int pondering : {0, 1}) {
      gamePly = 1 + pondering;
      engineState = pondering ? kEnginePondering : kEngineIdle;
      // While pondering the search has made the predicted move: the side to
      // move differs from the shown one.
      sideToMove = shownSideToMove ^ static_cast<uint32_t>(pondering);
      const QImage shown = Paint();
      EXPECT_TRUE(markedAt(shown, 4, 2, true) && markedAt(shown, 1, 2, false)) << index;
      EXPECT_FALSE(markedAt(shown, 4, 2, false) || markedAt(shown, 0, 9, true) ||
                   markedAt(shown, 0, 9, false) || markedAt(shown, 0, 8, false));
    }
  }
  gamePly = 1;  // a pondered reply with a single move played: no marks
  engineState = kEnginePondering;
  sideToMove = shownSideToMove ^ 1u;
  const QImage shown = Paint();
  EXPECT_FALSE(markedAt(shown, 4, 2, true) || markedAt(shown, 1, 2, false));
}

TEST_F(BoardViewTest, IronPawnMarkerOnlyOnTheCentralPawnOfItsSide) {
  LayOut(2);
  const CSpriteStrip& marker = *frame->ironPawnMarker;
  const int s = frame->squareSize;
  auto markerAt = [&](const QImage& shown, int c, int r) {
    int x, y;
    frame->SquareToPixel(c, r, x, y);
    return CellAt(shown, marker, 0, x + s / 2 - 10, y + toolbarBandHeight + s / 2 - 10);
  };
  for (int turn = 0; turn < 2; ++turn) {
    frame->rotation = turn;
    LayOut(2);
    redIronPawn = blackIronPawn = 0;
    QImage shown = Paint();
    EXPECT_FALSE(markerAt(shown, 4, 3) || markerAt(shown, 4, 6));
    redIronPawn = 1;
    shown = Paint();
    EXPECT_TRUE(markerAt(shown, 4, 3) && !markerAt(shown, 4, 6));
    redIronPawn = 0;
    blackIronPawn = 1;
    shown = Paint();
    EXPECT_TRUE(!markerAt(shown, 4, 3) && markerAt(shown, 4, 6));
  }
}

// The disc of the side to move is lit (weight 200 over its shadow), the
// other faint (weight 60); both keep their rows with the Chinese band.
TEST_F(BoardViewTest, SideToMoveDiscsKeepTheirRowsWithTheChineseBand) {
  for (int kind : {0, 2}) {
    for (int turn : {0, 1}) {
      for (uint32_t side : {kRed, kBlack}) {
        frame->coordinateKind = kind;
        frame->rotation = turn;
        LayOut(0);
        shownSideToMove = side;
        const int s = frame->squareSize, x = 9 * s + s / 2 + 10;
        const QImage shown = Paint();
        const QImage& board = frame->boardBitmap->GetImage();
        auto spritePx = [](const CSpriteStrip& d, int i) { return Px(d.GetImage(), i, i); };
        const CSpriteStrip* upper = turn ? frame->redDisc.get() : frame->blackDisc.get();
        const CSpriteStrip* lower = turn ? frame->blackDisc.get() : frame->redDisc.get();
        for (const auto& [disc, y] :
             {std::pair{upper, s / 2 + 10}, std::pair{lower, 10 * s + 10}}) {
          const bool lit = (disc == frame->redDisc.get()) == (side == kRed);
          const COLORREF ground = Px(board, x, y);
          const COLORREF expected =
              lit ? Blend(Blend(ground, spritePx(*disc, 7), 60), spritePx(*disc, 10), 200)
                  : Blend(ground, spritePx(*disc, 10), 60);
          EXPECT_EQ(Px(shown, x, y + toolbarBandHeight), expected)
              << "kind " << kind << " rot " << turn << " side " << side << " y " << y;
        }
      }
    }
  }
  shownSideToMove = kRed;
}

TEST_F(BoardViewTest, ComputingMovesDrawNoArrowFromAnEmptySquare) {
  LayOut(1);
  showComputingMoves = 1;
  engineState = kEngineThinking;
  const QImage plain = Paint();
  const Square emptyFrom = 171 - 16 * 4 - 4, redCannon = 171 - 16 * 1 - 2;
  drawnBestMove = drawnBestReply = 0;
  analysisBestMove = MakeMoveCode(emptyFrom, emptyFrom + 1);
  analysisReply = 0;
  frame->DrawComputingMoves();
  EXPECT_TRUE(frame->BoardView()->Surface() == plain);
  EXPECT_EQ(drawnBestMove, analysisBestMove);
  // A red cannon's move through the engine's event: nothing once a stop
  // was requested, else a red arrow along its file.
  analysisBestMove = MakeMoveCode(redCannon, redCannon - 4);
  stopRequested = 1;
  NotifyEngineEvent(kEventDrawComputingMoves);
  EXPECT_TRUE(frame->BoardView()->Surface() == plain);
  stopRequested = 0;
  NotifyEngineEvent(kEventDrawComputingMoves);
  const QImage& shown = frame->BoardView()->Surface();
  int x, y;
  frame->SquareToPixel(1, 4, x, y);
  const int s = frame->squareSize;
  EXPECT_EQ(Px(shown, x + s / 2, y + s / 2 + toolbarBandHeight), 0x3232FAu);
  // Unchanged moves draw nothing again; a repaint removes the arrows.
  EXPECT_TRUE(Paint() == plain);
  frame->DrawComputingMoves();
  EXPECT_TRUE(frame->BoardView()->Surface() == plain);
  analysisBestMove = 0;
}

TEST_F(BoardViewTest, PaintKeepsToItsRectangleAndShowsTheBoardBelowTheBand) {
  LayOut(1);
  const QImage before = Paint();
  const int s = frame->squareSize, band = toolbarBandHeight;
  int x, y;
  frame->SquareToPixel(4, 0, x, y);
  const CRect kingSquare{x, y + band, x + s, y + band + s};
  displayBoard[171 - 16 * 4] = 0;  // the red king leaves the board
  frame->OnPaint(CRect{0, band, s, band + s});
  QImage& surface = frame->BoardView()->Surface();
  EXPECT_TRUE(surface == before);
  frame->OnPaint(kingSquare);
  for (int j = 0; j < s; ++j)
    for (int i = 0; i < s; ++i)
      ASSERT_EQ(Px(surface, x + i, y + band + j), Px(frame->boardBitmap->GetImage(), x + i, y + j));
  // Without a back buffer the board is drawn in place, below the band.
  QImage* saved = backBuffer;
  backBuffer = nullptr;
  const QImage direct = Paint();
  backBuffer = saved;
  EXPECT_TRUE(direct == Paint());
}

// Everything the painter draws lies inside the client at every board size:
// the lit side-to-move disc with its shadow at the right edge (its last
// pixels shown over the board), and every ink pixel of the file letters
// below the board (descenders included), with and without the Chinese band.
TEST_F(BoardViewTest, EverythingThePainterDrawsIsInsideTheClient) {
  gamePly = 0;
  for (int index : {0, 1, 2}) {
    for (int kind : {0, 2}) {
      for (int turn : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "size " << index << " kind " << kind << " rot " << turn);
        frame->coordinateKind = kind;
        frame->rotation = turn;
        LayOut(index);
        shownSideToMove = kRed;
        const QImage shown = Paint();
        const QImage& board = frame->boardBitmap->GetImage();
        const int s = frame->squareSize, band = toolbarBandHeight;
        const CSpriteStrip& disc = *frame->redDisc;
        const int w = disc.GetWidth(), h = disc.GetHeight();
        const int x = 9 * s + s / 2, y = turn ? s - s / 2 : 10 * s;
        EXPECT_GE(shown.width(), x + w + 3);
        EXPECT_GE(shown.height(), band + y + h + 3);
        int i = w - 1;
        while (i > 0 && (disc.GetImage().pixel(i, h / 2) & 0xFFFFFF) == 0) --i;
        ASSERT_LT(x + i, shown.width());
        EXPECT_NE(Px(shown, x + i, band + y + h / 2), Px(board, x + i, y + h / 2));

        const int top = 10 * s + s / 2 + frame->coordinateBand - 2;
        int ink = 0;
        for (int ly = top; ly < top + 22; ++ly) {
          for (int lx = s - 10; lx < 9 * s + 10; ++lx) {
            if (!Dark(Px(board, lx, ly))) continue;
            ++ink;
            ASSERT_LT(band + ly, shown.height()) << lx << "," << ly;
            ASSERT_EQ(Px(shown, lx, band + ly), Px(board, lx, ly)) << lx << "," << ly;
          }
        }
        EXPECT_GT(ink, 50);
      }
    }
  }
}

// The board view at its size, centred under a wider menu bar; the frame
// with its border fits on the 640-pixel screen, the big board cut at the
// bottom.
TEST_F(BoardViewTest, FrameFitsTheBoardTheMenuBarAndTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  bool clamped = false;
  for (int language : {kLanguageEnglish, kLanguageFrench, kLanguageSimplifiedChinese}) {
    currentLanguage = language;
    frame->RefreshFrameTexts();
    for (int index : {0, 1, 2}) {
      for (int setup : {0, 1}) {
        SCOPED_TRACE(testing::Message() << language << index << setup);
        frame->setupMode = setup;
        LayOut(index);
        const int s = frame->squareSize;
        // The board's squares, widened for the lit disc's shadow and
        // lengthened for the file letters (see the test below).
        const QSize board(
            setup ? 13 * s : std::max(10 * s, 9 * s + s / 2 + 23),
            toolbarBandHeight + (setup ? 12 * s : std::max(11 * s, 10 * s + s / 2 + 20)));
        EXPECT_EQ(frame->BoardView()->size(), board);
        const QSize bar = frame->menuBar()->sizeHint();
        const QSize border = frame->frameGeometry().size() - frame->size();
        const QSize wanted(std::max(board.width(), bar.width()), board.height() + bar.height());
        EXPECT_EQ(frame->size(), wanted.boundedTo(screen.size() - border));
        EXPECT_EQ(frame->BoardView()->x(), (frame->width() - board.width()) / 2);
        EXPECT_EQ(frame->minimumSize(), frame->maximumSize());
        clamped |= frame->height() < wanted.height();
      }
    }
  }
  EXPECT_TRUE(clamped);
  currentLanguage = kLanguageEnglish;
  frame->RefreshFrameTexts();
}

TEST_F(BoardViewTest, DropDownOpensTheFirstSubmenuOfItsMenu) {
  struct Case {
    int command, language, menu;
  };
  const Case cases[] = {
      {kCmdPiecesStyle, kLanguageEnglish, kMenuPiecesDropDown},
      {kCmdChangeBoardSize, kLanguageEnglish, kMenuBoardSizeDropDown},
      {kCmdChangeBoardSize, kLanguageSimplifiedChinese, kMenuBoardSizeDropDownChinese},
      {kCmdExit, kLanguageEnglish, 0}};
  for (const Case& c : cases) {
    currentLanguage = c.language;
    QStringList shown;
    frame->OnToolbarDropDown(c.command);
    QApplication::processEvents();
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      for (QAction* a : menu->actions()) shown << a->text();
      menu->close();
    }
    if (c.menu == 0) {
      EXPECT_TRUE(shown.isEmpty());
      continue;
    }
    // The first item of the first sub-menu of the resource.
    const MenuResource* resource = FindMenuResource(c.menu);
    QMenu* reference = BuildPopupMenu(resource->nodes, resource->nodeCount, resource->language,
                                      frame, frame, nullptr);
    ASSERT_FALSE(shown.isEmpty()) << c.command;
    EXPECT_EQ(shown.first(), reference->actions().first()->menu()->actions().first()->text());
    delete reference;
  }
  currentLanguage = kLanguageEnglish;
}

}  // namespace

namespace {

TEST_F(BoardViewTest, SetupPaletteReadsTheShownBoard) {
  // The palette's red chariot box is drawn at full strength once a red
  // chariot is off the shown board, whatever the working position holds.
  frame->setupMode = 1;
  LayOut(1);
  const int s = frame->squareSize;
  const CRect box{10 * s + s / 2 + 4, s / 2 + frame->coordinateBand + toolbarBandHeight,
                  10 * s + s / 2 + 4 + s, s / 2 + frame->coordinateBand + toolbarBandHeight + s};
  auto boxPixels = [&box](const QImage& image) {
    std::vector<QRgb> pixels;
    for (int y = box.top; y < box.bottom; ++y)
      for (int x = box.left; x < box.right; ++x) pixels.push_back(image.pixel(x, y));
    return pixels;
  };
  const auto allOn = boxPixels(Paint());
  const uint32_t chariotSquare = posPiece[8];
  ASSERT_NE(chariotSquare, 0u);
  displayBoard[chariotSquare] = 0;  // taken off the shown board only
  const auto oneOff = boxPixels(Paint());
  EXPECT_NE(allOn, oneOff);
  EXPECT_NE(posPiece[8], 0u) << "the working position is left alone";
}

}  // namespace
