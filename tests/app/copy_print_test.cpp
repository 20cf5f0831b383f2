// The move list and the board picture on the clipboard, and both printed
// move lists, printed to a PDF file and read back with pdftotext.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/chess_app.h"
#include "app/main_frame.h"
#include "engine/position/position.h"
#include "game/header.h"
#include "game/notation.h"
#include "platform/message_box.h"
#include "platform/printer_dc.h"
#include "res/menus.h"
#include "res/text_rows.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/run_tool.h"

namespace {

using testing_support::Check;
using testing_support::OpenStore;

void StartProgram() {
  testing_support::OffscreenApplication();
  OpenStore()->WriteInt("Options", "Language", 1);
  theApp.InitInstance();
}

// A game record of `length` moves whose texts are numbered: the WXF text
// " W<n>", the AXF text " R<letter><n>" with pieces cycling through every
// letter, and the Chinese WXF field " X<n>" (plain letters, so the copy's
// code page does not matter).
void FillGame(int length, uint32_t firstSide) {
  static const char kLetters[] = "KRCHEAP";
  gameLength = length;
  startSideToMove = firstSide;
  for (int ply = 1; ply <= length; ++ply) {
    HistoryRecord& r = history[ply];
    const bool red = ((ply - 1) % 2 == 0) == (firstSide == 0);
    char letter = kLetters[ply % 7];
    if (!red) letter = static_cast<char>(letter - 'A' + 'a');
    std::snprintf(r.wxfText, sizeof r.wxfText, " W%d", ply);
    std::snprintf(r.axfText, sizeof r.axfText, " %cm%d", letter, ply);
    std::snprintf(r.wxfTextChinese, sizeof r.wxfTextChinese, " X%d", ply);
    r.move = ParseCoordMove("h2e2");
    r.captured = 0;
  }
}

std::string Clipboard() { return QApplication::clipboard()->text().toStdString(); }

using CopyPrintTest = testing_support::ScenarioTest;

TEST_F(CopyPrintTest, MoveListCopiesInBothColourOrders) {
  RUN_SCENARIO({
    StartProgram();
    struct Case {
      uint32_t firstSide;
      int length;
      int32_t kind;
      const char* text;
    };
    const Case cases[] = {
        {0, 0, kNotationWxf, ""},
        {0, 1, kNotationWxf, " 1.  W1"},
        {0, 3, kNotationWxf, " 1.  W1  W2\r\n 2.  W3"},
        {0, 4, kNotationAxf, " 1.  Rm1  cm2\r\n 2.  Hm3  em4\r\n"},
        {0, 2, kNotationWxfChinese, " 1.  X1  X2\r\n"},
        {1, 1, kNotationWxf, " 1.  ...    W1\r\n"},
        {1, 2, kNotationWxf, " 1.  ...    W1\r\n 2.  W2"},
        {1, 3, kNotationWxf, " 1.  ...    W1\r\n 2.  W2  W3\r\n"},
        {0, 2, kNotationCoordinate0, " 1.  h2-e2  h2-e2\r\n"},
    };
    for (const Case& c : cases) {
      QApplication::clipboard()->setText(QStringLiteral("old"));
      notationKind = c.kind;
      FillGame(c.length, c.firstSide);
      pMainFrame->OnCmdMsg(kCmdCopyMoveList);
      Check(Clipboard() == c.text, c.text);
    }

    // A long game is copied whole, one pair per line.
    notationKind = kNotationWxf;
    FillGame(300, 0);
    pMainFrame->OnCmdMsg(kCmdCopyMoveList);
    const std::string text = Clipboard();
    Check(text.size() > 2016, "longer than the old fixed buffer");
    std::istringstream lines(text);
    std::string line;
    int count = 0;
    bool paired = true;
    for (; std::getline(lines, line); ++count) {
      char expected[40];
      std::snprintf(expected, sizeof expected, "%2d.  W%d  W%d\r", count + 1, 2 * count + 1,
                    2 * count + 2);
      paired = paired && line == expected;
    }
    Check(count == 150 && paired, "150 numbered pairs");

    // The Chinese notations keep their GBK piece names in every interface
    // language.
    FillGame(2, 0);
    const std::string cannon = " \xC5\xDA", knight = " \xC2\xED";  // GBK 炮, 马
    std::strcpy(history[1].wxfTextChinese, (cannon + "2.5").c_str());
    std::strcpy(history[2].wxfTextChinese, (knight + "8.7").c_str());
    std::strcpy(history[1].axfTextChinese, (cannon + "h=e").c_str());
    std::strcpy(history[2].axfTextChinese, (knight + "h+g").c_str());
    for (int language = 0; language < 6; ++language) {
      currentLanguage = language;
      for (const auto& [kind, text] : {std::pair{kNotationWxfChinese, "炮2.5  马8.7"},
                                       std::pair{kNotationAxfChinese, "炮h=e  马h+g"}}) {
        notationKind = kind;
        pMainFrame->OnCmdMsg(kCmdCopyMoveList);
        const std::string expected = std::string(" 1.  ") + text + "\r\n";
        Check(Clipboard() == expected, (std::to_string(language) + " " + expected).c_str());
      }
    }
    currentLanguage = 1;
    testing_support::CloseFrame();
  });
}

TEST_F(CopyPrintTest, BoardPictureHasTheBoardsSize) {
  RUN_SCENARIO({
    StartProgram();
    FillGame(0, 0);
    for (int big = 0; big < 2; ++big) {
      if (big) pMainFrame->SetBigBoardSize(1);
      QApplication::clipboard()->clear();
      pMainFrame->OnCmdMsg(kCmdCopyChessboard);
      const QImage picture = QApplication::clipboard()->image();
      const int s = pMainFrame->squareSize;
      Check(picture.width() == 10 * s && picture.height() == 11 * s + pMainFrame->coordinateBand,
            "10 by 11 squares and the band");
      // The board texture and the pieces, not an empty surface.
      std::set<QRgb> colours;
      for (int y = 0; y < picture.height(); y += 7)
        for (int x = 0; x < picture.width(); x += 7) colours.insert(picture.pixel(x, y));
      Check(colours.size() > 20, "a drawn board");
    }
    testing_support::CloseFrame();
  });
}

// One word of a printed page as pdftotext places it.
struct PrintedWord {
  int page;
  double xMin, yMin, xMax, yMax;
  std::string text;
};

struct PrintedDocument {
  int pages = 0;
  double width = 0, height = 0;
  std::vector<PrintedWord> words;
  std::set<std::string> Texts() const {
    std::set<std::string> texts;
    for (const PrintedWord& w : words) texts.insert(w.text);
    return texts;
  }
};

// Prints through the menu command with the dialog answered by choosing a
// PDF file, and reads the words back with their places.
PrintedDocument Print(int command, const std::string& pdf) {
  SetPrintDialogHook([pdf](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    return true;
  });
  pMainFrame->OnCmdMsg(command);
  SetPrintDialogHook(nullptr);
  const auto run = testing_support::RunCommand("pdftotext -bbox '" + pdf + "' - 2>/dev/null");
  PrintedDocument doc;
  static const std::regex page(R"re(<page width="([0-9.]+)" height="([0-9.]+)">)re");
  static const std::regex word(
      R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
  std::istringstream in(run.output);
  std::smatch m;
  for (std::string line; std::getline(in, line);) {
    if (std::regex_search(line, m, page)) {
      ++doc.pages;
      doc.width = std::stod(m[1]);
      doc.height = std::stod(m[2]);
    } else if (std::regex_search(line, m, word)) {
      doc.words.push_back({doc.pages, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]),
                           std::stod(m[4]), m[5]});
    }
  }
  return doc;
}

// Every word inside its page and none drawn over another.
bool LaidOutCleanly(const PrintedDocument& doc) {
  for (size_t i = 0; i < doc.words.size(); ++i) {
    const PrintedWord& a = doc.words[i];
    if (a.xMin < 0 || a.yMin < 0 || a.xMax > doc.width || a.yMax > doc.height) return false;
    for (size_t j = i + 1; j < doc.words.size(); ++j) {
      const PrintedWord& b = doc.words[j];
      if (a.page == b.page && a.xMin < b.xMax - 0.5 && b.xMin < a.xMax - 0.5 &&
          a.yMin < b.yMax - 0.5 && b.yMin < a.yMax - 0.5)
        return false;
    }
  }
  return true;
}

TEST_F(CopyPrintTest, PrintedListsHoldEveryMove) {
  RUN_SCENARIO({
    StartProgram();
    std::strcpy(currentGameHeader.redName, "Alder");
    std::strcpy(currentGameHeader.blackName, "Birch");
    std::strcpy(currentGameHeader.round, "R7");
    currentGameHeader.result = 3;
    struct Case {
      int command;
      uint32_t firstSide;
      int length;
      int32_t kind;
      bool header;
      int pages;
    };
    // Long games run over several columns and pages.
    const Case cases[] = {
        {kCmdPrintMoveList, 0, 600, kNotationAxf, false, 2},
        {kCmdPrintMoveList, 1, 41, kNotationWxf, false, 1},
        {kCmdPrintGraphicalMoveList, 0, 300, kNotationWxfChinese, true, 2},
        {kCmdPrintGraphicalMoveList, 1, 41, kNotationAxf, true, 1},
    };
    int n = 0;
    for (const Case& c : cases) {
      const int command = c.command, length = c.length;
      const uint32_t firstSide = c.firstSide;
      const bool graphical = command == kCmdPrintGraphicalMoveList;
      notationKind = c.kind;
      FillGame(length, firstSide);
      const std::string pdf = (root_ / ("list" + std::to_string(n++) + ".pdf")).string();
      const PrintedDocument doc = Print(command, pdf);
      const std::set<std::string> words = doc.Texts();
      Check(doc.pages == c.pages, "pages");
      Check(LaidOutCleanly(doc), "every word on its page, none over another");
      bool all = true;
      for (int ply = 1; ply <= length; ++ply) {
        const bool red = ((ply - 1) % 2 == 0) == (firstSide == 0);
        // The graphical list writes AXF after each picture; its black
        // moves of a game black began are AXF too.
        std::string want;
        if (graphical && (firstSide == 0 || !red)) {
          want = std::string(history[ply].axfText + 2);
        } else {
          want = std::string(GameMoveText(ply)).substr(1);
        }
        if (words.count(want) == 0) {
          std::fprintf(stderr, "case %d: move %d (%s) not printed\n", n, ply, want.c_str());
          all = false;
        }
      }
      Check(all, "every move printed");
      const bool header = words.count("Alder") == 1 && words.count("Birch") == 1 &&
                          words.count("R7") == 1 && words.count("0-0") == 1;
      Check(header == c.header, "players, round and result on the graphical list");
      Check(words.count("...") == (firstSide == 1 ? 1u : 0u), "black began: 1. ...");
    }

    // A cancelled dialog prints nothing.
    const std::string cancelled = (root_ / "cancelled.pdf").string();
    SetPrintDialogHook([cancelled](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(cancelled));
      return false;
    });
    pMainFrame->OnCmdMsg(kCmdPrintMoveList);
    SetPrintDialogHook(nullptr);
    Check(!std::filesystem::exists(cancelled), "no file after cancel");
    testing_support::CloseFrame();
  });
}

// The graphical list's piece pictures stand on the paper as on the board
// (their black ground transparent), not in black squares: read back from
// the PDF, the corners of each picture's square show the paper.
TEST_F(CopyPrintTest, GraphicalListDrawsThePiecesOverThePaper) {
  RUN_SCENARIO({
    StartProgram();
    FillGame(14, 0);
    const std::string pdf = (root_ / "pieces.pdf").string();
    int pageWidth = 0, pageHeight = 0;
    SetPrintDialogHook([&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(pdf));
      printer.setFullPage(true);  // device pixels from the paper's corner
      pageWidth = printer.width();
      pageHeight = printer.height();
      return true;
    });
    pMainFrame->OnCmdMsg(kCmdPrintGraphicalMoveList);
    SetPrintDialogHook(nullptr);
    const std::string png = (root_ / "pieces").string();
    testing_support::RunCommand("pdftoppm -r 100 -png -singlefile '" + pdf + "' '" + png + "'");
    const QImage page(QString::fromStdString(png + ".png"));
    Check(!page.isNull() && pageWidth > 0, "the page rendered");
    if (page.isNull() || pageWidth == 0) return;
    const double k = static_cast<double>(page.width()) / pageWidth;
    const int p = static_cast<int>(pageWidth / 40 * k);  // a picture's side
    auto paper = [&](int x, int y) { return qGray(page.pixel(x, y)) > 230; };
    // The first row's two pictures (the row begins an eighth of the page
    // down): across their middle no paper shows for most of a picture's
    // width, as a line of text never does; the corners of each picture's
    // square show the paper.
    const int top = static_cast<int>(pageHeight / 8 * k);
    std::vector<int> centres;
    for (int x = 0, run = 0; x <= page.width(); ++x) {
      if (x < page.width() && !paper(x, top + p / 2)) {
        ++run;
        continue;
      }
      if (run >= 3 * p / 4) centres.push_back(x - run / 2);
      run = 0;
    }
    Check(centres.size() == 2, "two pictures in the first row");
    for (int cx : centres) {
      const int left = cx - p / 2 + 2, right = cx + p / 2 - 2;
      Check(paper(left, top + 2) && paper(right, top + 2) && paper(left, top + p - 2) &&
                paper(right, top + p - 2),
            "paper at the corners of a picture");
    }
    testing_support::CloseFrame();
  });
}

// The print dialog offers Qt's print-to-file (PDF) choice, the only one
// where no printer is installed: choosing it with a file name prints the
// list there. A print that cannot be written is reported.
TEST_F(CopyPrintTest, PrintingToAFileIsOfferedAndAFailedPrintIsReported) {
  RUN_SCENARIO({
    StartProgram();
    FillGame(6, 0);
    notationKind = kNotationWxf;
    const QString pdf = QString::fromStdString((root_ / "chosen.pdf").string());
    bool offered = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      for (QComboBox* printers : dialog->findChildren<QComboBox*>()) {
        const int pdfItem = printers->findText("Print to File (PDF)");
        if (pdfItem < 0) continue;
        offered = true;
        printers->setCurrentIndex(pdfItem);
      }
      for (QLineEdit* name : dialog->findChildren<QLineEdit*>("filename")) name->setText(pdf);
      if (offered) dialog->accept();
    });
    QTimer::singleShot(5000, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    pMainFrame->OnCmdMsg(kCmdPrintMoveList);
    Check(offered, "the print-to-file choice is offered");
    const auto text = testing_support::RunCommand("pdftotext '" + pdf.toStdString() + "' -");
    Check(text.output.find("W6") != std::string::npos, "the list printed to the chosen file");

    static std::vector<std::string> messages;
    messageBoxHook = [](const QString& message, int) {
      messages.push_back(message.toStdString());
      return static_cast<int>(kAnswerOk);
    };
    for (int command : {kCmdPrintMoveList, kCmdPrintGraphicalMoveList}) {
      SetPrintDialogHook([this](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString((root_ / "no/such/folder.pdf").string()));
        return true;
      });
      pMainFrame->OnCmdMsg(command);
    }
    SetPrintDialogHook(nullptr);
    messageBoxHook = nullptr;
    Check(messages == std::vector<std::string>(2, "The move list could not be printed."),
          "each failed print is reported");
    testing_support::CloseFrame();
  });
}

}  // namespace
