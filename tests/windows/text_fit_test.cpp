// Every dialog, page and sheet shows its whole text in all six languages:
// each window is opened in each language and every label, push button,
// check box, radio button, group title and tab title is measured with the
// font it is drawn in. A text wider or taller than its control, a control
// reaching past its window, or a sheet whose tabs need scroll arrows is a
// fault. The texts are measured in the widget's font made 15% larger, so
// that a desktop whose font is somewhat larger than Qt's default still shows
// them whole. Set VORELK_TEXT_FIT_PICTURES to a folder to keep a picture of
// each window in each language there for a look by eye.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/header.h"
#include "platform/qt_translations.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"
#include "windows/about_dlg.h"
#include "windows/clock_set_dlg.h"
#include "windows/comments_dlg.h"
#include "windows/folder_dlg.h"
#include "windows/game_info_dlg.h"
#include "windows/game_status_dlg.h"
#include "windows/input_dlg.h"
#include "windows/language_dlg.h"
#include "windows/logs_dlg.h"
#include "windows/mini_clock_dlg.h"
#include "windows/options_sheet.h"
#include "windows/side_to_move_dlg.h"
#include "windows/side_windows.h"
#include "windows/timing_sheet.h"

namespace {

const char* const kLanguageNames[kLanguageCount] = {
    "French", "English", "Spanish", "German", "Simplified Chinese", "Traditional Chinese"};

constexpr double kFontGrowth = 1.15;

// The metrics `w`'s text is measured with: the font grown by kFontGrowth
// for the controls a dialog places by its layout data, the font itself for
// the widgets Qt lays out by their texts (the sheets' tabs and buttons).
QFontMetrics GrownMetrics(const QWidget* w) {
  if (qobject_cast<const CDialog*>(w->parentWidget()) == nullptr) return w->fontMetrics();
  QFont font = w->font();
  if (font.pointSizeF() > 0) {
    font.setPointSizeF(font.pointSizeF() * kFontGrowth);
  } else {
    font.setPixelSize(static_cast<int>(font.pixelSize() * kFontGrowth + 0.5));
  }
  return QFontMetrics(font, w);
}

// Collects the faults of one window shown in one language.
class FitCheck {
 public:
  FitCheck(QWidget* window, std::string where, std::vector<std::string>& faults)
      : window_(window), where_(std::move(where)), faults_(faults) {}

  // Measures every visible text control of the window.
  void Run() {
    for (QWidget* w : window_->findChildren<QWidget*>()) {
      if (!w->isVisibleTo(window_)) continue;
      if (auto* bar = qobject_cast<QTabBar*>(w)) {
        CheckTabs(bar);
      } else if (auto* label = qobject_cast<QLabel*>(w)) {
        CheckLabel(label);
      } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
        CheckGroupBox(box);
      } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        if (qobject_cast<QToolButton*>(w) == nullptr) CheckButton(button);
      } else {
        continue;
      }
      const QRect inWindow(w->mapTo(window_, QPoint(0, 0)), w->size());
      if (!window_->rect().contains(inWindow)) Fault(w, Text(w), "reaches past its window");
    }
  }

 private:
  static QString Text(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    if (auto* box = qobject_cast<QGroupBox*>(w)) return box->title();
    return QString();
  }

  void Fault(QWidget* w, const QString& text, const std::string& what) {
    faults_.push_back(where_ + ": " + w->metaObject()->className() + " \"" + text.toStdString() +
                      "\" " + what);
  }

  void Cut(QWidget* w, const QString& text, QSize needed, QSize has) {
    Fault(w, text,
          "is cut: needs " + std::to_string(needed.width()) + "x" +
              std::to_string(needed.height()) + ", has " + std::to_string(has.width()) + "x" +
              std::to_string(has.height()));
  }

  // Wrapping labels may take several lines; no word may be wider than the
  // label and the lines must fit its height.
  void CheckLabel(QLabel* label) {
    const QString text = label->text();
    if (text.isEmpty() || label->textFormat() != Qt::PlainText) return;
    const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                      -label->margin(), -label->margin());
    int flags = Qt::TextExpandTabs | static_cast<int>(label->alignment());
    if (label->wordWrap()) flags |= Qt::TextWordWrap;
    const QRect needed =
        GrownMetrics(label).boundingRect(QRect(0, 0, room.width(), 1 << 16), flags, text);
    if (needed.width() > room.width() || needed.height() > room.height()) {
      Cut(label, text, needed.size(), room.size());
    }
  }

  // The size the style gives a button around its text: the text plus the
  // button's frame and margins, or the indicator and its spacing.
  void CheckButton(QAbstractButton* button) {
    const QString text = button->text();
    if (text.isEmpty()) return;
    const QFontMetrics metrics = GrownMetrics(button);
    const QSize textSize = metrics.size(Qt::TextShowMnemonic, text);
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = text;
    QSize needed;
    if (auto* push = qobject_cast<QPushButton*>(button)) {
      if (push->isDefault()) option.features |= QStyleOptionButton::DefaultButton;
      // Without its text the style adds no minimum width of its own.
      option.text.clear();
      needed = button->style()->sizeFromContents(QStyle::CT_PushButton, &option, textSize, button);
      needed.setHeight(textSize.height());
    } else {
      const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
      needed = button->style()->sizeFromContents(
          radio ? QStyle::CT_RadioButton : QStyle::CT_CheckBox, &option, textSize, button);
      needed.setHeight(textSize.height());
    }
    if (needed.width() > button->width() || needed.height() > button->height()) {
      Cut(button, text, needed, button->size());
    }
  }

  void CheckGroupBox(QGroupBox* box) {
    if (box->title().isEmpty()) return;
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.textAlignment = box->alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect title =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    const QSize needed = GrownMetrics(box).size(Qt::TextShowMnemonic, box->title());
    if (title.left() + needed.width() > box->width() || title.top() < 0) {
      Cut(box, box->title(), needed, QSize(box->width() - title.left(), title.height()));
    }
  }

  // Every tab as wide as its whole title, inside the bar, and no scroll
  // arrows.
  void CheckTabs(QTabBar* bar) {
    for (QToolButton* arrow : bar->findChildren<QToolButton*>()) {
      if (!arrow->isVisibleTo(bar)) continue;
      Fault(bar, bar->tabText(bar->count() - 1), "shows scroll arrows");
      break;
    }
    const int padding = bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
    for (int i = 0; i < bar->count(); ++i) {
      const QString text = bar->tabText(i);
      const QRect tab = bar->tabRect(i);
      const QSize needed = GrownMetrics(bar).size(Qt::TextShowMnemonic, text) + QSize(padding, 0);
      if (tab.width() < needed.width() || !bar->rect().contains(tab)) {
        Cut(bar, text, needed, tab.size());
      }
    }
  }

  QWidget* window_;
  std::string where_;
  std::vector<std::string>& faults_;
};

// Lays the window out, measures it and keeps its picture when asked.
void Measure(QWidget* window, const std::string& where, std::vector<std::string>& faults) {
  window->show();
  QApplication::processEvents();
  FitCheck(window, where, faults).Run();
  if (const char* folder = getenv("VORELK_TEXT_FIT_PICTURES")) {
    QDir().mkpath(QString::fromLocal8Bit(folder));
    QString name = QString::fromStdString(where);
    name.replace(QLatin1Char(' '), QLatin1Char('_')).replace(QLatin1Char('/'), QLatin1Char('-'));
    window->grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + name +
                        QStringLiteral(".png"));
  }
}

// A sheet is measured once per page, each page shown in turn.
void MeasureSheet(CPropertySheet& sheet, const std::string& where,
                  std::vector<std::string>& faults) {
  for (int i = 0; i < sheet.GetPageCount(); ++i) {
    EXPECT_TRUE(sheet.SetActivePage(i));
    Measure(&sheet, where + " page " + std::to_string(i + 1), faults);
  }
  sheet.hide();
}

// A modal dialog shown as its run would show it, without the modal loop.
void MeasureDialog(CDialog& dialog, const std::string& where, std::vector<std::string>& faults) {
  dialog.OnInitDialog();
  Measure(&dialog, where, faults);
  dialog.hide();
}

// A side window opened as the main frame opens it, then closed.
template <typename Window>
void MeasureSideWindow(Window*& pointer, const std::function<void()>& open,
                       const std::string& where, std::vector<std::string>& faults) {
  open();
  ASSERT_NE(pointer, nullptr) << where;
  Measure(pointer, where, faults);
  EXPECT_TRUE(testing_support::CloseAsCloseBox(pointer)) << where;
  pointer = nullptr;
}

using Measurer = std::function<void(const std::string& where, std::vector<std::string>& faults)>;

// One window of the interface and the templates it is built from.
struct Subject {
  const char* name;
  std::vector<int> templates;
  Measurer measure;
};

// A modal dialog made with its default arguments.
template <typename Dialog>
Measurer Modal() {
  return [](const std::string& where, std::vector<std::string>& faults) {
    Dialog dialog;
    MeasureDialog(dialog, where, faults);
  };
}

std::vector<Subject> AllWindows() {
  auto input = [](const TextRow& caption, const TextRow& prompt) {
    return [&caption, &prompt](const std::string& where, std::vector<std::string>& faults) {
      CInputDlg dialog;
      std::snprintf(dialog.caption, sizeof dialog.caption, "%s", Tr(caption));
      std::snprintf(dialog.prompt, sizeof dialog.prompt, "%s", Tr(prompt));
      std::snprintf(dialog.text, sizeof dialog.text, "%s", "30");
      MeasureDialog(dialog, where, faults);
    };
  };
  return {
      {"language chooser", {kDialogLanguage}, Modal<CLanguageDlg>()},
      {"about box", {kDialogAbout}, Modal<CAboutDlg>()},
      {"folder chooser", {kDialogGetFolder}, Modal<CGetFolderDlg>()},
      {"side to move", {kDialogSideToMove}, Modal<CSideToMoveDlg>()},
      // The one-line input with the captions and prompts the program gives it.
      {"goto move input", {kDialogInput}, input(kTextGotoMoveCaption, kTextEnterMoveNumber)},
      {"automove input", {kDialogInput}, input(kTextSecondsPerMove, kTextSecondsPerMove)},
      {"game header editor",
       {kDialogGameInfo},
       [](const std::string& where, std::vector<std::string>& faults) {
         CGameInfoDlg dialog(currentGameHeader);
         MeasureDialog(dialog, where, faults);
       }},
      {"clock setting", {kDialogClockSet}, Modal<CClockSetDlg>()},
      {"game information",
       {kDialogGameStatus},
       [](const std::string& where, std::vector<std::string>& faults) {
         MeasureSideWindow(
             gameStatusDlg, [] { CGameStatusDlg::CreateAndShow(nullptr); }, where, faults);
       }},
      {"comments",
       {kDialogComments},
       [](const std::string& where, std::vector<std::string>& faults) {
         MeasureSideWindow(
             commentsDlg, [] { CCommentsDlg::CreateAndShow(nullptr); }, where, faults);
       }},
      {"mini clock",
       {kDialogMiniClock},
       [](const std::string& where, std::vector<std::string>& faults) {
         MeasureSideWindow(
             miniClockDlg,
             [] {
               CMiniClockDlg::CreateAndShow(nullptr);
               if (miniClockDlg != nullptr) miniClockDlg->Refresh(0);
             },
             where, faults);
       }},
      {"log window",
       {kDialogLogs},
       [](const std::string& where, std::vector<std::string>& faults) {
         MeasureSideWindow(
             logsDlg, [] { CLogsDlg::CreateAndShow(nullptr); }, where, faults);
       }},
      {"timing sheet",
       {kDialogTiming},
       [](const std::string& where, std::vector<std::string>& faults) {
         CTimingSheet sheet;
         MeasureSheet(sheet, where, faults);
       }},
      {"options sheet",
       {kDialogGeneralConfig, kDialogOpeningBook, kDialogLearning, kDialogPiecesValue,
        kDialogEndgame},
       [](const std::string& where, std::vector<std::string>& faults) {
         COptionsSheet sheet;
         MeasureSheet(sheet, where, faults);
         // The knowledge label grows by the level once the track bar moves.
         sheet.SetActivePage(0);
         qobject_cast<QSlider*>(sheet.generalPage.GetDlgItem(kCtlGeneralKnowledge))->setValue(12);
         Measure(&sheet, where + " knowledge 1200", faults);
       }},
  };
}

using TextFitTest = testing_support::ScenarioTest;

TEST_F(TextFitTest, EveryWindowShowsItsWholeTextInEveryLanguage) {
  testing_support::InitTestProcess();
  testing_support::OffscreenApplication();
  const std::vector<Subject> windows = AllWindows();

  // Every dialog template belongs to a window measured here.
  std::set<int> covered;
  for (const Subject& s : windows) covered.insert(s.templates.begin(), s.templates.end());
  for (size_t i = 0; i < kDialogTemplateCount; ++i) {
    EXPECT_TRUE(covered.count(kAllDialogTemplates[i]->id))
        << "template " << kAllDialogTemplates[i]->id << " is measured by no window";
  }

  std::vector<std::string> faults;
  for (int language = 0; language < kLanguageCount; ++language) {
    currentLanguage = language;
    // The sheets' and dialogs' standard buttons take Qt's texts of the
    // language when they are installed.
    UseQtTranslation(language);
    for (const Subject& s : windows) {
      s.measure(std::string(kLanguageNames[language]) + " " + s.name, faults);
    }
  }
  UseQtTranslation(kLanguageEnglish);
  currentLanguage = kLanguageEnglish;
  std::string all;
  for (const std::string& f : faults) all += "\n  " + f;
  EXPECT_TRUE(faults.empty()) << faults.size() << " texts do not fit:" << all;
}

}  // namespace
