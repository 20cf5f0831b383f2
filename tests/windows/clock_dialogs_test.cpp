// The clock setting dialog and the timing sheet, driven while they run
// modally, and the property sheet under them: pages created when first
// shown, refusals that keep the sheet open on their page, OK applying the
// pages in tab order, Apply only after a change, Cancel changing nothing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "engine/bridge.h"
#include "game/game_clock.h"
#include "platform/message_box.h"
#include "platform/number_text.h"
#include "res/text_rows.h"
#include "tests/support/offscreen_app.h"
#include "windows/clock_set_dlg.h"
#include "windows/timing_sheet.h"

namespace {

// Runs `drive` once the modal run of `window` has started; a run left open
// ends with -99 after a minute.
template <typename Window>
int RunModal(Window& window, const std::function<void()>& drive) {
  bool reached = false;
  QTimer::singleShot(0, [&] {
    reached = QApplication::activeModalWidget() == &window;
    if (reached) drive();
  });
  QTimer::singleShot(60000, &window, [&] { window.done(-99); });
  const int code = window.DoModal();
  EXPECT_TRUE(reached);
  return code;
}

QLineEdit* Edit(CDialog& d, int id) { return qobject_cast<QLineEdit*>(d.GetDlgItem(id)); }

// Replaces the edit's text as the user does, key by key.
void Type(CDialog& d, int id, const QString& text) {
  QLineEdit* edit = Edit(d, id);
  edit->selectAll();
  QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
  QApplication::sendEvent(edit, &erase);
  for (QChar c : text) {
    QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &key);
  }
}

void Click(QAbstractButton* button) { button->click(); }

// Periods as the settings give them (one move at least).
constexpr TimePeriod kPeriod = {40, 1800, 0};

std::vector<QString> shownMessages;
int RecordMessage(const QString& text, int) {
  shownMessages.push_back(text);
  return kAnswerOk;
}

class ClockDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::OffscreenApplication();
    currentLanguage = kLanguageEnglish;
    gameClock = CGameClock();
    shownMessages.clear();
    messageBoxHook = RecordMessage;
  }
  void TearDown() override {
    messageBoxHook = nullptr;
    currentLanguage = kLanguageEnglish;
    gameClock = CGameClock();
  }
};

// A refused text says why, as the property pages do: its form, or the
// longest time the clock holds.
TEST_F(ClockDialogsTest, ClockSetStoresGoodTextsAndRefusesOthersStayingOpen) {
  const QString form = "Please enter the time as hours:minutes:seconds.";
  const QString tooLong = "Please enter a time of at most 596:31:23.";
  struct Case {
    const char* red;
    const char* black;
    bool accepted;
    int32_t redMs, blackMs;  // when accepted
    QString message;         // when refused
  };
  const Case cases[] = {
      {"1:02:03", "0:0:0", true, 3723000, 0, ""},
      {"::7", "2:60:0", true, 7000, 10800000, ""},
      {"12:30", "0:1:0", false, 0, 0, form},                       // red has one colon
      {"0:1:0", "5", false, 0, 0, form},                           // black has none: red is kept too
      {"1:2:3:4", "0:1:0", false, 0, 0, form},                     // three colons
      {"597:0:0", "0:0:0", false, 0, 0, tooLong},                  // beyond the clock's range
      {"596:31:23", " 0 : 2 :", true, 2147483000, 120000, ""},     // blanks around the numbers
      {"-1:30:0", "0:0:0", false, 0, 0, form},                     // no negative hours...
      {"0:0:0", "0:-1:30", false, 0, 0, form},                     // ...nor minutes
      {"1x:0:0", "0:0:0", false, 0, 0, form},                      // a letter after the number
      {"0:0:+5", "0:0:0", false, 0, 0, form},                      // a sign
      {"abc", "0:0:0", false, 0, 0, form},                         // no time at all
      {"0:0:0", "99999:00:", false, 0, 0, tooLong},                // black's is too long
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.red) + " " + c.black);
    gameClock.SetMode(kClockGameTime);
    gameClock.sideTimeMs[0] = 3725000;
    gameClock.sideTimeMs[1] = 65000;
    shownMessages.clear();
    CClockSetDlg dialog;
    const int code = RunModal(dialog, [&] {
      EXPECT_EQ(dialog.windowTitle(), "Clock Set");
      EXPECT_EQ(dialog.GetDlgItemText(kCtlClockSetRedLabel), "Red");
      EXPECT_EQ(dialog.GetDlgItemText(kCtlClockSetBlackLabel), "Black");
      EXPECT_EQ(dialog.GetDlgItemText(kCtlClockSetRedTime), "01:02:05");
      EXPECT_EQ(dialog.GetDlgItemText(kCtlClockSetBlackTime), "00:01:05");
      dialog.SetDlgItemText(kCtlClockSetRedTime, c.red);
      dialog.SetDlgItemText(kCtlClockSetBlackTime, c.black);
      dialog.OnCommand(IDOK);
      if (c.accepted) return;
      EXPECT_TRUE(dialog.isVisible());
      ASSERT_EQ(shownMessages.size(), 1u);
      EXPECT_EQ(shownMessages[0], c.message);
      // The focus is on the refused edit, its text selected for retyping.
      int32_t h, m, sec;
      const bool redRefused = !ReadClockSetText(c.red, &h, &m, &sec);
      QLineEdit* refused = Edit(dialog, redRefused ? kCtlClockSetRedTime : kCtlClockSetBlackTime);
      EXPECT_TRUE(refused->hasSelectedText());
      EXPECT_EQ(gameClock.sideTimeMs[0], 3725000u);
      EXPECT_EQ(gameClock.sideTimeMs[1], 65000u);
      EXPECT_EQ(dialog.GetDlgItemText(kCtlClockSetBlackTime), c.black);  // input kept
      dialog.OnCommand(IDCANCEL);
    });
    EXPECT_EQ(code, c.accepted ? IDOK : IDCANCEL);
    if (c.accepted) {
      EXPECT_TRUE(shownMessages.empty());
      EXPECT_EQ(gameClock.GetSideTimeMs(0), c.redMs);
      EXPECT_EQ(gameClock.GetSideTimeMs(1), c.blackMs);
    } else {
      EXPECT_EQ(gameClock.GetSideTimeMs(0), 3725000) << "cancel changes nothing";
    }
  }
}

// While Red's move runs, the dialog shows the clock as it stands, and after
// OK the clock shows exactly what was entered, left as shown or typed.
TEST_F(ClockDialogsTest, ClockSetWhileAMoveRunsShowsTheTimeEntered) {
  static uint32_t now = 0;
  tickSource = [] { return now; };
  for (const char* typed : {static_cast<const char*>(nullptr), "00:00:10"}) {
    now = 500000;
    gameClock.SetMode(kClockCountUp);
    gameClock.Reset();
    gameClock.SwitchSide(0);
    now += 28000;
    gameClock.SwitchSide(1);
    now += 20000;
    gameClock.SwitchSide(0);
    now += 98000;  // Red's running move
    gameClock.Tick();
    CClockSetDlg dialog;
    const int code = RunModal(dialog, [&] {
      EXPECT_EQ(dialog.GetDlgItemText(kCtlClockSetRedTime), "00:02:06");
      EXPECT_EQ(dialog.GetDlgItemText(kCtlClockSetBlackTime), "00:00:20");
      if (typed != nullptr) Type(dialog, kCtlClockSetRedTime, typed);
      dialog.OnCommand(IDOK);
    });
    EXPECT_EQ(code, IDOK);
    char red[kClockTextSize], black[kClockTextSize];
    gameClock.FormatSideTime(0, red);
    gameClock.FormatSideTime(1, black);
    EXPECT_STREQ(red, typed != nullptr ? typed : "00:02:06");
    EXPECT_STREQ(black, "00:00:20");
  }
  tickSource = nullptr;
}

TEST_F(ClockDialogsTest, TimingPageEnablesOnlyTheControlsOfTheChosenMode) {
  const int radios[] = {kCtlTimingModePerMove, kCtlTimingModeDepth, kCtlTimingModeGame,
                        kCtlTimingModePeriods};
  // Each control with the mode that enables it.
  const std::pair<int, int> controls[] = {
      {kCtlTimingSecondsPerMove, 1}, {kCtlTimingExact, 1},          {kCtlTimingDepth, 2},
      {kCtlTimingGameMinutes, 3},    {kCtlTimingGameSeconds, 3},    {kCtlTimingPeriod1Moves, 4},
      {kCtlTimingPeriod1Seconds, 4}, {kCtlTimingPeriod2Moves, 4},   {kCtlTimingPeriod2Seconds, 4},
      {kCtlTimingPeriod3Moves, 4},   {kCtlTimingPeriod3Seconds, 4}};
  auto expectMode = [&](CTimingPage& page, int mode) {
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(page.IsDlgButtonChecked(radios[i]), i + 1 == mode ? 1 : 0) << mode << " " << i;
    }
    for (const auto& control : controls) {
      EXPECT_EQ(page.GetDlgItem(control.first)->isEnabled(), control.second == mode)
          << "mode " << mode << " control " << control.first;
    }
  };
  for (int mode : {1, 2, 3, 4, 0, 7}) {
    CTimingSheet sheet;
    sheet.page.mode = mode;
    sheet.page.period1 = sheet.page.period2 = sheet.page.period3 = kPeriod;
    const int code = RunModal(sheet, [&] {
      expectMode(sheet.page, mode);
      // A radio click chooses its mode.
      const int next = mode % 4 + 1;
      Click(qobject_cast<QAbstractButton*>(sheet.page.GetDlgItem(radios[next - 1])));
      EXPECT_EQ(sheet.page.mode, next);
      expectMode(sheet.page, next);
      sheet.PressOK();
    });
    EXPECT_EQ(code, IDOK);
  }
}

TEST_F(ClockDialogsTest, TimingSheetShowsItsMembersAndApplyWaitsForAMarkingChange) {
  CTimingSheet sheet;
  sheet.page.mode = 1;
  sheet.page.gameMinutes = 7;
  sheet.page.secondsPerMove = 9;
  sheet.page.level = 4;
  sheet.page.exactTime = 1;
  sheet.page.period1 = {40, 3600, 1};
  sheet.page.period3 = {10, 600, 0};
  std::vector<int32_t> appliedMinutes;
  sheet.applyTiming = [&](CTimingSheet& s) { appliedMinutes.push_back(s.page.gameMinutes); };
  currentLanguage = kLanguageGerman;
  QPushButton* apply = sheet.GetButton(ID_APPLY_NOW);
  const int code = RunModal(sheet, [&] {
    CTimingPage& page = sheet.page;
    EXPECT_EQ(sheet.windowTitle(), "Properties");
    EXPECT_EQ(sheet.GetTabControl()->tabText(0), "Timing");
    EXPECT_EQ(page.GetDlgItemText(kCtlTimingDepthLabel), "feste Tiefe");
    EXPECT_EQ(page.GetDlgItemText(kCtlTimingPeriod2SecondsLabel), "Sekunden");
    EXPECT_EQ(page.GetDlgItemText(kCtlTimingGameMinutes), "7");
    EXPECT_EQ(page.GetDlgItemText(kCtlTimingPeriod1Seconds), "3600");
    EXPECT_EQ(page.GetDlgItemText(kCtlTimingPeriod3Moves), "10");
    EXPECT_EQ(page.IsDlgButtonChecked(kCtlTimingExact), 1);
    EXPECT_FALSE(apply->isEnabled());
    // Neither the seconds per move nor the periods enable Apply...
    auto choose = [&](int radio) {
      Click(qobject_cast<QAbstractButton*>(page.GetDlgItem(radio)));
    };
    Type(page, kCtlTimingSecondsPerMove, "12");
    choose(kCtlTimingModePeriods);
    Type(page, kCtlTimingPeriod2Moves, "20");
    EXPECT_FALSE(apply->isEnabled());
    // ...the game time and the depth do.
    const std::pair<int, int> marking[] = {{kCtlTimingModeGame, kCtlTimingGameMinutes},
                                           {kCtlTimingModeGame, kCtlTimingGameSeconds},
                                           {kCtlTimingModeDepth, kCtlTimingDepth}};
    for (const auto& [radio, id] : marking) {
      page.SetModified(false);
      EXPECT_FALSE(apply->isEnabled());
      choose(radio);
      Type(page, id, "3");
      EXPECT_TRUE(apply->isEnabled()) << id;
    }
    Click(apply);
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_EQ(appliedMinutes, std::vector<int32_t>{3});
    choose(kCtlTimingModePeriods);
    Type(page, kCtlTimingPeriod3Seconds, "-5");
    choose(kCtlTimingModePerMove);
    Click(qobject_cast<QAbstractButton*>(page.GetDlgItem(kCtlTimingExact)));
    Click(sheet.GetButton(IDOK));
  });
  EXPECT_EQ(code, IDOK);
  EXPECT_EQ(appliedMinutes.size(), 1u) << "OK leaves applying to the caller";
  EXPECT_EQ(sheet.page.secondsPerMove, 12);
  EXPECT_EQ(sheet.page.level, 3);
  EXPECT_EQ(sheet.page.gameSeconds, 3);
  EXPECT_EQ(sheet.page.exactTime, 0);
  EXPECT_EQ(sheet.page.mode, 1);
  EXPECT_EQ(sheet.page.period2.moves, 20);
  EXPECT_EQ(sheet.page.period3.seconds, -5);
  EXPECT_EQ(sheet.page.period1.entered, 1) << "the entered flags come back as given";
  EXPECT_TRUE(shownMessages.empty());
}

// A field of the chosen mode outside what the clock or the level holds is
// refused with the range named, the sheet open on that field with its text
// selected and the member unchanged; the edge values are taken. A field of
// another mode is not range-checked: that mode's apply does not read it.
TEST_F(ClockDialogsTest, TimingSheetRefusesValuesTheClockAndTheLevelCannotHold) {
  struct Case {
    int mode;
    int id;
    const char* text;
    const char* refusal;  // nullptr: taken
  };
  const Case cases[] = {
      {kTimingGameTime, kCtlTimingGameMinutes, "-1", "between 0 and 35790"},
      {kTimingGameTime, kCtlTimingGameMinutes, "35791", "between 0 and 35790"},
      {kTimingGameTime, kCtlTimingGameMinutes, "35790", nullptr},
      {kTimingGameTime, kCtlTimingGameSeconds, "60", "between 0 and 59"},
      {kTimingGameTime, kCtlTimingGameSeconds, "-30", "between 0 and 59"},
      {kTimingSecondsPerMove, kCtlTimingSecondsPerMove, "-1", "between 1 and 1073741"},
      {kTimingSecondsPerMove, kCtlTimingSecondsPerMove, "0", "between 1 and 1073741"},
      {kTimingSecondsPerMove, kCtlTimingSecondsPerMove, "1073742", "between 1 and 1073741"},
      {kTimingSecondsPerMove, kCtlTimingSecondsPerMove, "1", nullptr},
      {kTimingFixedDepth, kCtlTimingDepth, "9", "between -2 and 8"},
      {kTimingFixedDepth, kCtlTimingDepth, "-3", "between -2 and 8"},
      {kTimingFixedDepth, kCtlTimingDepth, "-2", nullptr},
      {kTimingPeriods, kCtlTimingPeriod1Moves, "0", "between 1 and 1073741823"},
      {kTimingPeriods, kCtlTimingPeriod3Moves, "1073741824", "between 1 and 1073741823"},
      {kTimingPeriods, kCtlTimingPeriod2Seconds, "-5", "between 0 and 2147483"},
      {kTimingPeriods, kCtlTimingPeriod3Seconds, "2147484", "between 0 and 2147483"},
      {kTimingPeriods, kCtlTimingPeriod1Seconds, "2147483", nullptr},
      {kTimingSecondsPerMove, kCtlTimingGameMinutes, "-1", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.id << " " << c.text);
    shownMessages.clear();
    CTimingSheet sheet;
    sheet.page.mode = c.mode;
    sheet.page.period1 = sheet.page.period2 = sheet.page.period3 = kPeriod;
    int applied = 0;
    sheet.applyTiming = [&](CTimingSheet&) { ++applied; };
    const CTimingPage before = {};
    const int code = RunModal(sheet, [&] {
      Type(sheet.page, c.id, c.text);
      Click(sheet.GetButton(IDOK));
      if (c.refusal == nullptr) return;
      EXPECT_TRUE(sheet.isVisible());
      ASSERT_EQ(shownMessages.size(), 1u);
      EXPECT_EQ(shownMessages[0],
                QString("Please enter an integer %1.").arg(QString::fromLatin1(c.refusal)));
      QLineEdit* edit = Edit(sheet.page, c.id);
      EXPECT_EQ(sheet.page.focusWidget(), edit);
      EXPECT_EQ(edit->selectedText(), c.text);
      sheet.page.SetModified(true);
      Click(sheet.GetButton(ID_APPLY_NOW));  // Apply refuses it too
      EXPECT_EQ(shownMessages.size(), 2u);
      EXPECT_EQ(applied, 0);
      sheet.PressCancel();
    });
    EXPECT_EQ(code, c.refusal == nullptr ? IDOK : IDCANCEL);
    if (c.refusal != nullptr) {
      const int32_t* members[] = {&sheet.page.gameMinutes,     &sheet.page.gameSeconds,
                                  &sheet.page.secondsPerMove,  &sheet.page.level,
                                  &sheet.page.period1.moves,   &sheet.page.period3.moves,
                                  &sheet.page.period2.seconds, &sheet.page.period3.seconds};
      const int32_t expected[] = {before.gameMinutes, before.gameSeconds, before.secondsPerMove,
                                  before.level,       kPeriod.moves,      kPeriod.moves,
                                  kPeriod.seconds,    kPeriod.seconds};
      for (int i = 0; i < 8; ++i) EXPECT_EQ(*members[i], expected[i]) << i;
    } else {
      EXPECT_TRUE(shownMessages.empty());
    }
  }
}

TEST_F(ClockDialogsTest, TimingSheetRefusesANonNumberAndCancelChangesNothing) {
  CTimingSheet sheet;
  sheet.page.mode = 2;
  sheet.page.level = 6;
  int applied = 0;
  sheet.applyTiming = [&](CTimingSheet&) { ++applied; };
  const int code = RunModal(sheet, [&] {
    CTimingPage& page = sheet.page;
    for (const char* bad : {"", "4x", "1 2", "99999999999", "--1"}) {
      Type(page, kCtlTimingDepth, bad);
      Click(sheet.GetButton(IDOK));
      EXPECT_TRUE(sheet.isVisible()) << bad;
      Click(sheet.GetButton(ID_APPLY_NOW));
      EXPECT_TRUE(sheet.isVisible());
    }
    EXPECT_EQ(shownMessages, std::vector<QString>(10, "Please enter an integer."));
    EXPECT_EQ(page.level, 6);
    EXPECT_EQ(applied, 0);
    Type(page, kCtlTimingDepth, " 9 ");
    Type(page, kCtlTimingGameMinutes, "8");
    // Escape in a field cancels the sheet.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(Edit(page, kCtlTimingDepth), &escape);
  });
  EXPECT_EQ(code, IDCANCEL);
  EXPECT_EQ(sheet.page.level, 6);
  EXPECT_EQ(sheet.page.gameMinutes, 5);
  EXPECT_EQ(applied, 0);
}

// A page of the generic sheet that records when it is created and applied
// and can refuse to be applied.
class RecordingPage : public CPropertyPage {
 public:
  RecordingPage(int index, std::vector<std::string>* log)
      : CPropertyPage(kDialogTiming, QString("Page %1").arg(index)), index_(index), log_(log) {}
  bool OnInitDialog() override {
    log_->push_back("create " + std::to_string(index_));
    return CPropertyPage::OnInitDialog();
  }
  void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, kCtlTimingDepth, value); }
  bool OnApply() override {
    log_->push_back("apply " + std::to_string(index_));
    return !refuse;
  }
  int32_t value = 0;
  bool refuse = false;

 private:
  int index_;
  std::vector<std::string>* log_;
};

TEST_F(ClockDialogsTest, SheetCreatesPagesWhenShownAndAppliesThemInTabOrder) {
  std::vector<std::string> log;
  CPropertySheet sheet("Sheet", nullptr);
  RecordingPage pages[3] = {{0, &log}, {1, &log}, {2, &log}};
  for (RecordingPage& page : pages) sheet.AddPage(&page);
  QTabWidget* tabs = sheet.GetTabControl();
  const int code = RunModal(sheet, [&] {
    EXPECT_EQ(log, std::vector<std::string>{"create 0"});
    tabs->setCurrentIndex(2);
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    // A field it cannot read keeps the sheet on its page.
    Type(pages[2], kCtlTimingDepth, "x");
    tabs->setCurrentIndex(0);
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    EXPECT_EQ(tabs->currentIndex(), 2);
    Type(pages[2], kCtlTimingDepth, "22");
    // The first page refuses its values: the sheet stays open on it.
    pages[0].refuse = true;
    log.clear();
    sheet.PressOK();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(pages[2].value, 22);
    pages[0].refuse = false;
    log.clear();
    // The page never shown is neither created nor applied.
    sheet.PressOK();
  });
  EXPECT_EQ(code, IDOK);
  EXPECT_EQ(log, (std::vector<std::string>{"apply 0", "apply 2"}));
  EXPECT_FALSE(pages[1].IsCreated());
  EXPECT_EQ(shownMessages.size(), 1u);
}

}  // namespace
