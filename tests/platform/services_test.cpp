// Window placements through the settings (normal, maximised, damaged,
// off-screen and fixed-size), the clipboard in the interface's code pages,
// and the one-line text drawing.
#include "platform/services.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QClipboard>
#include <QScreen>
#include <QWidget>
#include <filesystem>
#include <string>

#include "platform/placement.h"
#include "platform/settings_store.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"

#include "tests/support/offscreen_app.h"

namespace {

// A fresh settings folder for the whole process, named before any store
// is opened, and the headless application every test needs.
class HeadlessEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    char pattern[] = "/tmp/vorelk_services_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    setenv("XDG_CONFIG_HOME", pattern, 1);
    testing_support::OffscreenApplication();
  }
  void TearDown() override {
    std::error_code error;
    std::filesystem::remove_all(root_, error);
  }

 private:
  std::filesystem::path root_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new HeadlessEnvironment);

std::string StoredPlacement(const char* name) {
  CSettingsStore store(kSettingsNoRoot);
  OpenProgramSettings(store);
  std::string text;
  store.GetString(text, kPlacementSection, name, "");
  return text;
}

void StorePlacement(const char* name, const char* text) {
  CSettingsStore store(kSettingsNoRoot);
  OpenProgramSettings(store);
  ASSERT_TRUE(store.WriteString(kPlacementSection, name, text));
}

// Restores a placement and lets the window system's answers arrive.
int Restore(QWidget* window, const char* name) {
  const int result = LoadWindowPlacement(window, name);
  QCoreApplication::processEvents();
  return result;
}

QRect StoredRect(const WindowPlacementValue& p) {
  return QRect(p.left, p.top, p.right - p.left, p.bottom - p.top);
}

TEST(WindowPlacement, NormalWindowRoundTrip) {
  QWidget window;
  window.setGeometry(100, 120, 300, 200);
  window.show();
  const QRect saved = window.frameGeometry();
  ASSERT_EQ(SaveWindowPlacement(&window, "Clock"), 1);

  const auto stored = ParseWindowPlacement(StoredPlacement("Clock").c_str());
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->flags, 0u);
  EXPECT_EQ(stored->showCommand, 1u);
  EXPECT_EQ(stored->minX, -1);
  EXPECT_EQ(stored->minY, -1);
  EXPECT_EQ(stored->maxX, -1);
  EXPECT_EQ(stored->maxY, -1);
  // Right and bottom are exclusive: the width is right - left.
  EXPECT_EQ(StoredRect(*stored), saved);

  window.setGeometry(10, 20, 150, 90);
  window.hide();
  ASSERT_EQ(Restore(&window, "Clock"), 1);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.frameGeometry(), saved);

  // The same window restored in a fresh widget.
  QWidget other;
  ASSERT_EQ(Restore(&other, "Clock"), 1);
  EXPECT_EQ(other.frameGeometry(), saved);
}

TEST(WindowPlacement, MaximisedWindowComesBackNormalInItsNormalRectangle) {
  QWidget window;
  window.setGeometry(60, 70, 320, 240);
  window.show();
  const QRect normal = window.frameGeometry();
  window.showMaximized();
  QCoreApplication::processEvents();
  ASSERT_TRUE(window.isMaximized());
  ASSERT_NE(window.frameGeometry(), normal);
  ASSERT_EQ(SaveWindowPlacement(&window, "MainWindow"), 1);

  const auto stored = ParseWindowPlacement(StoredPlacement("MainWindow").c_str());
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->flags, kPlacementRestoreToMaximized);
  EXPECT_EQ(stored->showCommand, 3u);
  EXPECT_EQ(StoredRect(*stored), normal);

  // Loading into the maximised window itself and into a fresh one: both
  // come back normal, in the normal rectangle.
  ASSERT_EQ(Restore(&window, "MainWindow"), 1);
  EXPECT_FALSE(window.isMaximized());
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.frameGeometry(), normal);
  QWidget fresh;
  ASSERT_EQ(Restore(&fresh, "MainWindow"), 1);
  EXPECT_FALSE(fresh.isMaximized());
  EXPECT_EQ(fresh.frameGeometry(), normal);
}

TEST(WindowPlacement, MinimisedWindowIsStoredWithItsNormalRectangle) {
  QWidget window;
  window.setGeometry(40, 50, 200, 100);
  window.show();
  const QRect normal = window.frameGeometry();
  window.showMinimized();
  ASSERT_EQ(SaveWindowPlacement(&window, "MiniClockWindow"), 1);
  const auto stored = ParseWindowPlacement(StoredPlacement("MiniClockWindow").c_str());
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->flags, 0u);
  EXPECT_EQ(stored->showCommand, 2u);
  EXPECT_EQ(StoredRect(*stored), normal);
}

TEST(WindowPlacement, DamagedOrMissingValuesLeaveTheWindowAlone) {
  QWidget window;
  window.setGeometry(30, 40, 250, 150);
  const QRect before = window.geometry();
  const char* damaged[] = {
      "0,1,-1,-1,-1,-1,10,10,200",          // nine numbers
      "0,1,-1,-1,-1,-1,10,10,200,150,7",    // eleven
      "0,1,-1,-1,-1,-1,10,10,200,abc",      // garbage
      "window",
  };
  for (const char* text : damaged) {
    StorePlacement("Comment", text);
    EXPECT_EQ(LoadWindowPlacement(&window, "Comment"), 0) << text;
    EXPECT_EQ(window.geometry(), before) << text;
    EXPECT_FALSE(window.isVisible()) << text;
  }
  EXPECT_EQ(LoadWindowPlacement(&window, "Never saved"), 0);
  StorePlacement("Comment", "");
  EXPECT_EQ(LoadWindowPlacement(&window, "Comment"), 0);
  EXPECT_EQ(window.geometry(), before);
}

TEST(WindowPlacement, NullWindowOrNameDoesNothing) {
  StorePlacement("Liste", "0,1,-1,-1,-1,-1,10,10,200,150");
  EXPECT_EQ(SaveWindowPlacement(nullptr, "Liste"), 0);
  EXPECT_EQ(LoadWindowPlacement(nullptr, "Liste"), 0);
  EXPECT_EQ(StoredPlacement("Liste"), "0,1,-1,-1,-1,-1,10,10,200,150");

  QWidget window;
  window.setGeometry(30, 40, 250, 150);
  EXPECT_EQ(SaveWindowPlacement(&window, nullptr), 0);
  EXPECT_EQ(SaveWindowPlacement(&window, ""), 0);
  EXPECT_EQ(LoadWindowPlacement(&window, nullptr), 0);
  EXPECT_EQ(LoadWindowPlacement(&window, ""), 0);
  EXPECT_FALSE(window.isVisible());
}

TEST(WindowPlacement, RectangleOffEveryScreenIsBroughtBack) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  ASSERT_FALSE(screen.isEmpty());
  // Wholly above and left of the screen, then wholly beyond its far corner.
  const char* lost[] = {"0,1,-1,-1,-1,-1,-5000,-5000,-4700,-4800",
                        "0,1,-1,-1,-1,-1,30000,30000,30300,30200"};
  for (const char* text : lost) {
    StorePlacement("Game status", text);
    QWidget window;
    ASSERT_EQ(Restore(&window, "Game status"), 1) << text;
    EXPECT_TRUE(screen.contains(window.frameGeometry())) << text;
    EXPECT_EQ(window.frameGeometry().size(), QSize(300, 200)) << text;
  }

  // A window partly off the work area is moved, keeping its size, to lie
  // wholly on it: one left on a larger screen past the right edge (its
  // title bar on the work area), one over the bottom right corner, one an
  // earlier version left above the top edge, one past the left edge. One
  // wider than the work area (by its minimum size) has its left edge at
  // the work area's and lies wholly on it from top to bottom.
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QPoint farCorner = area.bottomRight() + QPoint(1, 1);
  const struct {
    QRect stored;
    QPoint shownAt;
    QSize minimum;
  } partly[] = {
      {QRect(area.right() - 23, area.y() + 100, 420, 200),
       QPoint(farCorner.x() - 420, area.y() + 100),
       {0, 0}},
      {QRect(area.right() - 100, area.bottom() - 50, 300, 200),
       farCorner - QPoint(300, 200),
       {0, 0}},
      {QRect(area.x() - 3, area.y() - 60, 386, 519), area.topLeft(), {0, 0}},
      {QRect(area.x() - 50, area.y() + 100, 300, 200), QPoint(area.x(), area.y() + 100), {0, 0}},
      {QRect(area.x() + 40, area.bottom() - 10, area.width() + 60, 100),
       QPoint(area.x(), farCorner.y() - 100), QSize(area.width() + 60, 1)},
      {QRect(area.x() + 10, area.y() + 20, 300, 200), QPoint(area.x() + 10, area.y() + 20), {0, 0}},
  };
  for (const auto& c : partly) {
    WindowPlacementValue placement;
    placement.left = c.stored.x();
    placement.top = c.stored.y();
    placement.right = c.stored.x() + c.stored.width();
    placement.bottom = c.stored.y() + c.stored.height();
    StorePlacement("Game status", FormatWindowPlacement(placement).c_str());
    QWidget window;
    window.setMinimumSize(c.minimum);
    ASSERT_EQ(Restore(&window, "Game status"), 1);
    // The minimum is the client's: the frame comes on top of it.
    const QSize size = c.minimum.isEmpty() ? c.stored.size() : window.frameGeometry().size();
    EXPECT_EQ(window.frameGeometry(), QRect(c.shownAt, size))
        << c.stored.x() << "," << c.stored.y();
    EXPECT_GE(size.width(), c.minimum.width());
  }
}

TEST(WindowPlacement, SizeIsHeldToTheScreenAndToTheWindowsMinimum) {
  const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
  ASSERT_FALSE(room.isEmpty());
  // Sizes are outer sizes (frame included); a minimum is the client's, so
  // the frame is added to it.
  const struct {
    const char* text;
    QSize minimum;
    QSize expected;
  } cases[] = {
      {"0,1,-1,-1,-1,-1,0,0,16000000,16000000", {0, 0}, room},
      {"0,1,-1,-1,-1,-1,10,20,16000010,220", {0, 0}, {room.width(), 200}},
      {"0,1,-1,-1,-1,-1,-3000,-3000,16000000,-2000", {0, 0},
       {room.width(), std::min(1000, room.height())}},
      {"0,1,-1,-1,-1,-1,10,20,60,50", {120, 90}, {120, 90}},
      {"0,1,-1,-1,-1,-1,0,0,16000000,16000000", {room.width() + 50, 40},
       {room.width() + 50, room.height()}},
  };
  for (const auto& c : cases) {
    StorePlacement("Liste", c.text);
    QWidget window;
    window.setMinimumSize(c.minimum);
    ASSERT_EQ(Restore(&window, "Liste"), 1) << c.text;
    const QSize frame = window.frameGeometry().size() - window.size();
    QSize expected = c.expected;
    if (expected.width() == c.minimum.width()) expected.rwidth() += frame.width();
    if (expected.height() == c.minimum.height()) expected.rheight() += frame.height();
    EXPECT_EQ(window.frameGeometry().size(), expected) << c.text;
    // What is written back is the size shown.
    ASSERT_EQ(SaveWindowPlacement(&window, "Liste"), 1);
    const auto stored = ParseWindowPlacement(StoredPlacement("Liste").c_str());
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(StoredRect(*stored).size(), expected) << c.text;
  }
}

TEST(WindowPlacement, FixedSizeWindowTakesOnlyThePosition) {
  StorePlacement("Logs", "0,1,-1,-1,-1,-1,50,60,450,360");
  QWidget window;
  window.setFixedSize(150, 100);
  ASSERT_EQ(Restore(&window, "Logs"), 1);
  EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(50, 60));
  EXPECT_EQ(window.size(), QSize(150, 100));
}

// Clipboard.

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override { language_ = currentLanguage; }
  void TearDown() override { currentLanguage = language_; }

 private:
  int32_t language_ = kLanguageEnglish;
};

TEST_F(ClipboardTest, LongTextReadsBackAsItsFirst119Bytes) {
  currentLanguage = kLanguageEnglish;
  std::string text;
  for (int i = 0; i < 200; ++i) text += static_cast<char>('a' + i % 26);
  SetClipboardText(nullptr, text.c_str());
  EXPECT_EQ(GetClipboardText(), text.substr(0, 119));
  EXPECT_EQ(GetClipboardText(10), text.substr(0, 10));
  EXPECT_EQ(GetClipboardText(500), text);
}

TEST_F(ClipboardTest, TextTravelsInTheLanguagesCodePage) {
  currentLanguage = kLanguageFrench;
  SetClipboardText(nullptr, "Caf\xE9 \xE0 la cr\xE8me");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("Café à la crème"));
  EXPECT_EQ(GetClipboardText(), "Caf\xE9 \xE0 la cr\xE8me");

  // A null text leaves the clipboard as it was.
  SetClipboardText(nullptr, nullptr);
  EXPECT_EQ(GetClipboardText(), "Caf\xE9 \xE0 la cr\xE8me");

  // Text typed elsewhere ends at a NUL as a C text would.
  QGuiApplication::clipboard()->setText(QStringLiteral("rnbakabnr") + QChar(0) +
                                        QStringLiteral("junk"));
  EXPECT_EQ(GetClipboardText(), "rnbakabnr");
}

TEST_F(ClipboardTest, NoTextReadsAsEmpty) {
  currentLanguage = kLanguageEnglish;
  SetClipboardText(nullptr, "stale text");
  ASSERT_EQ(GetClipboardText(), "stale text");
  QGuiApplication::clipboard()->clear();
  EXPECT_EQ(GetClipboardText(), "");

  // A picture is not text either; it reaches the clipboard unchanged.
  SetClipboardText(nullptr, "stale text");
  QImage picture(8, 6, QImage::Format_RGB32);
  picture.fill(qRgb(10, 200, 30));
  SetClipboardBitmap(nullptr, picture);
  EXPECT_EQ(GetClipboardText(), "");
  EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), picture);
}

TEST_F(ClipboardTest, DoubleByteTextIsNeverCutInsideACharacter) {
  // "ab" then two-byte characters: the 119th byte would be the first half
  // of a character, which must be left out whole.
  const QString chinese = QString::fromUtf8("ab") + QString::fromUtf8("象棋").repeated(40);
  for (int32_t language : {kLanguageSimplifiedChinese, kLanguageTraditionalChinese}) {
    currentLanguage = language;
    const QByteArray full = EncodeLanguageText(chinese, language);
    ASSERT_EQ(full.size(), 2 + 160);
    SetClipboardText(nullptr, full.constData());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), chinese);
    const std::string got = GetClipboardText();
    EXPECT_EQ(got.size(), 118u) << language;
    EXPECT_EQ(got, std::string(full.constData(), 118)) << language;
    EXPECT_EQ(DecodeLanguageText(got.c_str(), language), chinese.left(2 + 58));
    // One byte more takes exactly one more character.
    EXPECT_EQ(GetClipboardText(120).size(), 120u);
    EXPECT_EQ(GetClipboardText(1).size(), 1u);
  }
  // Bytes of a Western text are never taken for character halves.
  EXPECT_EQ(ClipTextLength("\xE9\xE9\xE9", 3, 2, CodePage::kWindows1252), 2u);
  EXPECT_EQ(ClipTextLength("a\xCF\xF3", 3, 2, CodePage::kGbk), 1u);
  // A lone lead byte at the very end counts as one byte.
  EXPECT_EQ(ClipTextLength("ab\xCF", 3, 3, CodePage::kGbk), 3u);
}

// Text drawing.

QImage White(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(qRgb(255, 255, 255));
  return image;
}

// The bounding box of every pixel that is not white.
QRect Ink(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) box |= QRect(x, y, 1, 1);
  return box;
}

bool SameFont(const CFont& a, const CFont& b) {
  return a.face == b.face && a.height == b.height && a.weight == b.weight && a.italic == b.italic;
}

TEST(TextDrawing, CentredTextIsBoldItalicTimesInsideItsRectangle) {
  const CRect r{20, 10, 220, 70};
  QImage image = White(240, 90);
  CDC dc(&image);
  const CFont callerFont{QStringLiteral("courier"), -11, 400, false};
  dc.SelectFont(callerFont);
  dc.SetTextColor(RGB(200, 0, 0));
  dc.SetBkColor(RGB(0, 255, 0));
  dc.SetBkMode(OPAQUE);
  DrawCenteredText(dc, r, QStringLiteral("Vorelk"), 14, RGB(0, 0, 255));

  // The same line drawn by hand with the font the call is to use.
  QImage expected = White(240, 90);
  CDC reference(&expected);
  reference.SelectFont(CFont{QStringLiteral("Times New Roman"), -(14 * 96 / 72), 700, true});
  reference.SetTextColor(RGB(0, 0, 255));
  reference.SetBkMode(TRANSPARENT);
  reference.DrawText(QStringLiteral("Vorelk"), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  EXPECT_EQ(image, expected);

  const QRect ink = Ink(image);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_TRUE(QRect(r.left, r.top, r.Width(), r.Height()).contains(ink));
  EXPECT_NEAR(ink.center().x(), (r.left + r.right) / 2, 3);
  EXPECT_NEAR(ink.center().y(), (r.top + r.bottom) / 2, 5);

  // The caller's font, colour and background mode are back.
  EXPECT_TRUE(SameFont(dc.GetFont(), callerFont));
  EXPECT_EQ(dc.SetTextColor(0), RGB(200, 0, 0));
  EXPECT_EQ(dc.SetBkMode(OPAQUE), OPAQUE);
}

TEST(TextDrawing, TextWithTheCallersFont) {
  const CFont font{QStringLiteral("arial"), -16, 400, false};
  const CFont previous{QStringLiteral("courier"), -9, 700, true};
  const CRect r{30, 5, 230, 45};
  for (bool centred : {true, false}) {
    QImage image = White(260, 50), expected = White(260, 50);
    CDC dc(&image), reference(&expected);
    dc.SelectFont(previous);
    dc.SetBkMode(TRANSPARENT);
    if (centred) {
      DrawCenteredTextWithFont(dc, r, QStringLiteral("Round 7"), font);
    } else {
      DrawLeftTextWithFont(dc, r, QStringLiteral("Round 7"), font);
    }
    reference.SelectFont(font);
    reference.SetBkMode(TRANSPARENT);
    reference.DrawText(QStringLiteral("Round 7"), r,
                       (centred ? DT_CENTER : DT_LEFT) | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(image, expected) << centred;
    EXPECT_TRUE(SameFont(dc.GetFont(), previous)) << centred;

    const QRect ink = Ink(image);
    ASSERT_FALSE(ink.isEmpty());
    if (centred) {
      EXPECT_NEAR(ink.center().x(), (r.left + r.right) / 2, 3);
    } else {
      EXPECT_LE(ink.left() - r.left, 3);
    }
    EXPECT_NEAR(ink.center().y(), (r.top + r.bottom) / 2, 5);
  }
}

}  // namespace
