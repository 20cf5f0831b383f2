// Font heights on screen and on paper, and the printer context's document
// calls on a PDF printer.
#include "platform/printer_dc.h"

#include <gtest/gtest.h>

#include <QPrinter>
#include <QTemporaryDir>
#include <cstdlib>

#include "tests/support/offscreen_app.h"

namespace {

// A positive height is the whole line cell, a negative one the character
// alone, so the same number gives a smaller line when positive.
TEST(FontHeight, PositiveIsTheCellNegativeTheCharacter) {
  testing_support::OffscreenApplication();
  QImage surface = CreateCompatibleBitmap(200, 200);
  CDC dc(&surface);
  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.filePath("fonts.pdf"));
  CPrinterDC paper(&printer);
  ASSERT_GT(paper.StartDoc("fonts"), 0);
  ASSERT_GT(paper.StartPage(), 0);
  for (int height : {20, 40, 200}) {
    for (CDC* target : {&dc, static_cast<CDC*>(&paper)}) {
      target->SelectFont(CFont{QStringLiteral("arial"), height, 700, true});
      const int cell = target->GetTextExtent(QStringLiteral("12. a10-a20")).cy;
      target->SelectFont(CFont{QStringLiteral("arial"), -height, 700, true});
      const int character = target->GetTextExtent(QStringLiteral("12. a10-a20")).cy;
      EXPECT_LE(cell, height) << height;
      EXPECT_GE(cell, height * 8 / 10) << height;
      EXPECT_GT(character, height) << height;
    }
  }
  EXPECT_GT(paper.EndPage(), 0);
  EXPECT_GT(paper.EndDoc(), 0);
}

TEST(PrinterDC, PagesStateAndFailures) {
  testing_support::OffscreenApplication();
  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.filePath("pages.pdf"));
  CPrinterDC dc(&printer);
  EXPECT_LE(dc.StartPage(), 0) << "no page before the document";
  ASSERT_GT(dc.StartDoc("pages"), 0);
  EXPECT_EQ(dc.GetDeviceCaps(HORZRES), printer.width());
  EXPECT_EQ(dc.GetDeviceCaps(VERTRES), printer.height());
  EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), printer.resolution());
  EXPECT_LE(dc.EndPage(), 0) << "no page open";

  // The saved font and colours come back, the depth counts down.
  const CFont first = dc.GetFont();
  EXPECT_EQ(dc.SaveDC(), 1);
  dc.SelectFont(CFont{QStringLiteral("courier"), 99, 400, false});
  dc.SetTextColor(0x123456);
  EXPECT_TRUE(dc.RestoreDC(-1));
  EXPECT_EQ(dc.GetFont().height, first.height);
  EXPECT_EQ(dc.SetTextColor(0), 0u);
  EXPECT_FALSE(dc.RestoreDC(-1));

  for (int page = 0; page < 3; ++page) {
    ASSERT_GT(dc.StartPage(), 0);
    EXPECT_LE(dc.StartPage(), 0) << "a page is already open";
    dc.TextOut(100, 100, QStringLiteral("page"));
    ASSERT_GT(dc.EndPage(), 0);
  }
  EXPECT_GT(dc.EndDoc(), 0);
  EXPECT_EQ(printer.printerState(), QPrinter::Idle);
  EXPECT_LE(dc.EndDoc(), 0) << "the document is closed";
}

}  // namespace
