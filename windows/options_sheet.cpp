#include "windows/options_sheet.h"

#include <QApplication>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <cstring>

#include "engine/bridge.h"
#include "engine/eval/evaluate.h"
#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/data_paths.h"
#include "engine/search/learning.h"
#include "engine/search/memory_budget.h"
#include "engine/search/search.h"
#include "engine/search/tt.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"

namespace {

constexpr int kKnowledgeMax = 12;
constexpr int kDefaultKnowledge = 8;

uint64_t TotalPhysicalBytes() {
  uint64_t total = 0;
  uint64_t available = 0;
  GetMemoryStatus(&total, &available);
  return total;
}

// The largest new hash size the page takes, in megabytes: what the process
// may give its tables beside the learning tables (the table would be cut to
// it without a word; the start sizes it within the same bound), or the
// physical memory when no bound is known. The size in force is always
// taken: it changes nothing.
uint64_t HashLimitMegabytes() {
  const uint64_t budget = TableMemoryBudgetBeside(LearningTablesBytes());
  return (budget != 0 ? budget : TotalPhysicalBytes()) >> 20;
}

// The largest new learning tables size the page takes, in megabytes: what
// the process may give them beside the hash table (or the physical memory
// when no bound is known), and no more than the settings keep. Beyond it
// the tables would be cut without a word. The size in force is always
// taken.
uint64_t LearningLimitMegabytes() {
  const uint64_t budget = TableMemoryBudgetBeside(HashTablesBytes());
  const uint64_t memory = (budget != 0 ? budget : TotalPhysicalBytes()) >> 20;
  return std::min<uint64_t>(memory, kMaxLearningMegabytes);
}

// The hash size as the page shows it: the inverse of SetHashSize's
// rounding, so that an unchanged number gives the same size back.
int32_t ShownHashMegabytes() {
  return static_cast<int32_t>(((hashTotalEntries + 1) * kHashEntryBytes) >> 20);
}

// The learning tables' size in megabytes, 0 before they exist.
int32_t LearningMegabytes() {
  const uint64_t bytes = uint64_t{learningTableSize} * sizeof(LearningRecord) +
                         uint64_t{mateTableSize} * sizeof(LearningMateEntry);
  return static_cast<int32_t>(bytes >> 20);
}

QString Percent(uint32_t used, uint32_t size) {
  const double share = size == 0 ? 0.0 : 100.0 * used / size;
  return QString::asprintf("%0.2f", share);
}

QSlider* Slider(const CDialog& page) {
  return qobject_cast<QSlider*>(page.GetDlgItem(kCtlGeneralKnowledge));
}

// The controls of one opening book.
struct BookControls {
  int on, file, normal, tournament, blitz;
  int32_t* mode;
  char* name;
};
const BookControls kBooks[2] = {
    {kCtlBook1On, kCtlBook1File, kCtlBook1Normal, kCtlBook1Tournament, kCtlBook1Blitz, &bookMode1,
     bookFile1},
    {kCtlBook2On, kCtlBook2File, kCtlBook2Normal, kCtlBook2Tournament, kCtlBook2Blitz, &bookMode2,
     bookFile2},
};

}  // namespace

// ---- General configuration ----

CGeneralConfigPage::CGeneralConfigPage()
    : CPropertyPage(kDialogGeneralConfig, TrText(kTextGeneralConfigurationTab)) {
  if (QSlider* slider = Slider(*this)) {
    slider->setRange(0, kKnowledgeMax);
    connect(slider, &QSlider::valueChanged, this, [this](int value) { ShowKnowledgeLabel(value); });
  }
}

void CGeneralConfigPage::SetLabels() {
  SetDlgItemText(kCtlOptionsDefault, TrText(kTextDefault));
  SetDlgItemText(kCtlGeneralHashLabel, TrText(kTextHashTableSize));
  SetDlgItemText(kCtlGeneralContemptRedLabel, TrText(kTextContemptRed));
  SetDlgItemText(kCtlGeneralContemptBlackLabel, TrText(kTextContemptBlack));
  SetDlgItemText(kCtlGeneralMinLabel, TrText(kTextMin));
  SetDlgItemText(kCtlGeneralMaxLabel, TrText(kTextMax));
  SetDlgItemText(kCtlGeneralKnowledgeLabel, TrText(kTextGameKnowledge));
}

// Placing the track bar from the program is no user move: the label keeps
// its plain text until the user moves it.
void CGeneralConfigPage::PlaceKnowledge(int position) {
  if (QSlider* slider = Slider(*this)) {
    const QSignalBlocker quiet(slider);
    slider->setValue(position);
  }
}

void CGeneralConfigPage::ShowKnowledgeLabel(int position) {
  SetDlgItemText(kCtlGeneralKnowledgeLabel,
                 QStringLiteral("%1 \t%2").arg(TrText(kTextGameKnowledge)).arg(position * 100));
}

bool CGeneralConfigPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  SetLabels();
  SetDlgItemInt(kCtlGeneralContemptRed, contemptRed);
  SetDlgItemInt(kCtlGeneralContemptBlack, contemptBlack);
  SetDlgItemInt(kCtlGeneralHashSize, ShownHashMegabytes());
  PlaceKnowledge(middleKnowledge);
  CheckDlgButton(kCtlGeneralSelection, useSelection != 0 ? 1 : 0);
  return true;
}

bool CGeneralConfigPage::OnApply() {
  const int megabytes = GetDlgItemInt(kCtlGeneralHashSize);
  if (megabytes < 1) return false;
  for (int id : {kCtlGeneralContemptRed, kCtlGeneralContemptBlack}) {
    const int contempt = GetDlgItemInt(id);
    if (contempt < -kContemptLimit || contempt > kContemptLimit) return false;
  }
  if (megabytes != ShownHashMegabytes() &&
      static_cast<uint64_t>(megabytes) > HashLimitMegabytes()) {
    ShowMessageBox(this, TrText(kTextHashTableTooBig));
    return false;
  }
  if (QSlider* slider = Slider(*this)) middleKnowledge = slider->value();
  SelectEvaluator();
  useSelection = IsDlgButtonChecked(kCtlGeneralSelection);
  OnOK();
  return true;
}

void CGeneralConfigPage::OnOK() {
  const int megabytes = GetDlgItemInt(kCtlGeneralHashSize);
  if (megabytes != ShownHashMegabytes()) {
    SetHashSize(megabytes);
    ClearHashTables();
  }
  contemptRed = GetDlgItemInt(kCtlGeneralContemptRed);
  contemptBlack = GetDlgItemInt(kCtlGeneralContemptBlack);
}

void CGeneralConfigPage::OnCommand(int id) {
  if (id != kCtlOptionsDefault) {
    CPropertyPage::OnCommand(id);
    return;
  }
  SetDlgItemText(kCtlGeneralContemptRed, QStringLiteral("0"));
  SetDlgItemText(kCtlGeneralContemptBlack, QStringLiteral("0"));
  SetDlgItemInt(kCtlGeneralHashSize,
                static_cast<int>(std::min(TotalPhysicalBytes() >> 22, HashLimitMegabytes())));
  PlaceKnowledge(kDefaultKnowledge);
  SetLabels();
}

// ---- Learning ----

CLearningPage::CLearningPage() : CPropertyPage(kDialogLearning, TrText(kTextLearningTab)) {}

bool CLearningPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  SetDlgItemText(kCtlOptionsDefault, TrText(kTextDefault));
  SetDlgItemText(kCtlLearningSizeLabel, TrText(kTextLearningTablesSize));
  SetDlgItemText(kCtlLearningUsedLabel, TrText(kTextLearningTableUsed));
  SetDlgItemText(kCtlLearningMateUsedLabel, TrText(kTextLearningKillerTableUsed));
  const int32_t megabytes = LearningMegabytes();
  ShowValues(megabytes == 0 ? 1 : megabytes);
  return true;
}

void CLearningPage::ShowValues(int megabytes) {
  SetDlgItemInt(kCtlLearningSize, megabytes);
  uint32_t used = 0;
  if (learningTable != nullptr) {
    for (uint32_t i = 0; i < learningTableSize; ++i) {
      uint32_t words[2];
      std::memcpy(words, &learningTable[i], sizeof words);
      if (words[0] != 0 || words[1] != 0) ++used;
    }
  }
  uint32_t mates = 0;
  if (mateTable != nullptr) {
    for (uint32_t i = 0; i < mateTableSize; ++i) {
      if (mateTable[i].lockLow != 0) ++mates;
    }
  }
  SetDlgItemText(kCtlLearningUsed, Percent(used, learningTableSize));
  SetDlgItemText(kCtlLearningMateUsed, Percent(mates, mateTableSize));
  CheckDlgButton(kCtlLearningUse, useLearning != 0 ? 1 : 0);
  CheckDlgButton(kCtlLearningLearnMoves, learnMoves != 0 ? 1 : 0);
  UpdateSizeEnabled();
}

void CLearningPage::UpdateSizeEnabled() {
  const bool on = IsDlgButtonChecked(kCtlLearningUse) || IsDlgButtonChecked(kCtlLearningLearnMoves);
  if (QWidget* edit = GetDlgItem(kCtlLearningSize)) edit->setEnabled(on);
}

bool CLearningPage::OnApply() {
  const int megabytes = GetDlgItemInt(kCtlLearningSize);
  if (megabytes <= 0) return false;
  if (megabytes != LearningMegabytes() &&
      static_cast<uint64_t>(megabytes) > LearningLimitMegabytes()) {
    ShowMessageBox(this, TrText(kTextLearningTablesTooBig));
    return false;
  }
  OnOK();
  return true;
}

void CLearningPage::OnOK() {
  useLearning = IsDlgButtonChecked(kCtlLearningUse) ? 1 : 0;
  learnMoves = IsDlgButtonChecked(kCtlLearningLearnMoves) ? 1 : 0;
  const int megabytes = GetDlgItemInt(kCtlLearningSize);
  if (megabytes > 0 && megabytes != LearningMegabytes()) {
    SetLearningPaths(megabytes);
    CloseLearningFiles();
  }
  if (useLearning != 0 || learnMoves != 0) OpenLearningFiles();
}

void CLearningPage::OnCommand(int id) {
  switch (id) {
    case kCtlLearningUse:
    case kCtlLearningLearnMoves:
      UpdateSizeEnabled();
      return;
    case kCtlLearningAmnesy:
      if (ShowMessageBox(this, TrText(kTextRemoveLearningFiles),
                         kMessageBoxOkCancel | kMessageBoxIconExclamation) == kAnswerOk) {
        ResetLearning();
      }
      return;
    case kCtlOptionsDefault:
      ShowValues(GetLearningTableSize(1));
      return;
    default:
      CPropertyPage::OnCommand(id);
  }
}

// ---- Opening books ----

COpeningBookPage::COpeningBookPage() : CPropertyPage(kDialogOpeningBook, TrText(kTextOpening)) {
  // Each book's radios form a group of their own: radios exclude each other
  // by parent, so each book's three move into a frame of their own.
  for (const BookControls& book : kBooks) {
    QRect bounds;
    for (int id : {book.normal, book.tournament, book.blitz}) {
      if (QWidget* radio = GetDlgItem(id)) bounds = bounds.united(radio->geometry());
    }
    auto* group = new QWidget(this);
    group->setGeometry(bounds);
    for (int id : {book.normal, book.tournament, book.blitz}) {
      if (QWidget* radio = GetDlgItem(id)) {
        const QRect at = radio->geometry().translated(-bounds.topLeft());
        radio->setParent(group);
        radio->setGeometry(at);
      }
    }
  }
}

bool COpeningBookPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  SetDlgItemText(kCtlBook1Label, TrText(kTextOpening));
  SetDlgItemText(kCtlBook2Label, TrText(kTextOpening));
  for (const BookControls& book : kBooks) {
    SetDlgItemText(book.normal, TrText(kTextNormal));
    SetDlgItemText(book.tournament, TrText(kTextTournament));
    SetDlgItemText(book.blitz, TrText(kTextBlitz));
  }
  ShowBooks();
  return true;
}

void COpeningBookPage::ShowBooks() {
  for (const BookControls& book : kBooks) {
    const bool on = *book.mode != 0;
    SetDlgItemText(book.file, QString::fromLocal8Bit(book.name));
    CheckDlgButton(book.on, on ? 1 : 0);
    const int radios[3] = {book.normal, book.tournament, book.blitz};
    for (int m = 0; m < 3; ++m) {
      CheckDlgButton(radios[m], on && *book.mode == m + 1 ? 1 : 0);
    }
    for (int id : {book.file, book.normal, book.tournament, book.blitz}) {
      if (QWidget* item = GetDlgItem(id)) item->setEnabled(on);
    }
  }
}

void COpeningBookPage::OnOK() {
  for (const BookControls& book : kBooks) {
    if (!IsDlgButtonChecked(book.on)) {
      *book.mode = 0;
    } else {
      // Tested in this order: the last checked one wins.
      if (IsDlgButtonChecked(book.normal)) *book.mode = 1;
      if (IsDlgButtonChecked(book.blitz)) *book.mode = 3;
      if (IsDlgButtonChecked(book.tournament)) *book.mode = 2;
    }
    const QByteArray name = GetDlgItemText(book.file).toLocal8Bit().left(kBookFileNameSize - 2);
    std::memset(book.name, 0, kBookFileNameSize);
    std::memcpy(book.name, name.constData(), static_cast<size_t>(name.size()));
  }
  FreeBooks();
  LoadBooks();
}

void COpeningBookPage::OnCommand(int id) {
  for (const BookControls& book : kBooks) {
    if (id != book.on) continue;
    const bool on = IsDlgButtonChecked(book.on) != 0;
    for (int item : {book.file, book.normal, book.tournament, book.blitz}) {
      if (QWidget* w = GetDlgItem(item)) w->setEnabled(on);
    }
    if (on) {
      CheckDlgButton(book.normal, 1);
    } else {
      CheckDlgButton(book.tournament, 0);
      CheckDlgButton(book.blitz, 0);
    }
    return;
  }
  if (id == kCtlOptionsDefault) {
    // The modes change at once, even when the sheet is then cancelled.
    bookMode1 = 0;
    bookMode2 = 1;
    ShowBooks();
    SetDlgItemText(kCtlBook1File, QStringLiteral("USERVKBOOK"));
    SetDlgItemText(kCtlBook2File, QStringLiteral("VKBOOK"));
    return;
  }
  CPropertyPage::OnCommand(id);
}

// ---- Endgame tablebase ----

CEndgamePage::CEndgamePage() : CPropertyPage(kDialogEndgame, TrText(kTextEndgameTablebaseTab)) {}

bool CEndgamePage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  SetDlgItemInt(kCtlEndgameDepth, egDepth);
  CheckDlgButton(kCtlEndgameUse, useEg != 0 ? 1 : 0);
  SetDlgItemText(kCtlEndgameDirectory, QString::fromLocal8Bit(installDirectory));
  SetDlgItemText(kCtlEndgameVersion,
                 tablebaseEntry != nullptr
                     ? QStringLiteral("DLL version : %1").arg(tablebaseEntry(105, 0, 0, 0))
                     : QStringLiteral("?"));
  return true;
}

bool CEndgamePage::OnApply() {
  const int depth = GetDlgItemInt(kCtlEndgameDepth);
  if (depth < 1 || depth > 255) return false;
  egDepth = depth;
  useEg = IsDlgButtonChecked(kCtlEndgameUse);
  OnOK();
  return true;
}

void CEndgamePage::OnCommand(int id) {
  if (id != kCtlOptionsDefault) {
    CPropertyPage::OnCommand(id);
    return;
  }
  SetDlgItemText(kCtlEndgameDepth, QStringLiteral("8"));
  CheckDlgButton(kCtlEndgameUse, 1);
}

// ---- The sheet ----

COptionsSheet::COptionsSheet(QWidget* parent)
    : CPropertySheet(QStringLiteral("Properties"), parent) {
  AddPage(&generalPage);
  AddPage(&openingPage);
  AddPage(&learningPage);
  AddPage(&piecesValuePage);
  AddPage(&endgamePage);
}

COptionsSheet::~COptionsSheet() = default;

void COptionsSheet::OnApplyNow() {
  if (CPropertyPage* page = GetActivePage()) page->UpdateData(true);
  piecesValuePage.SetModified(false);
}

int RunOptionsSheet(QWidget* parent) {
  COptionsSheet sheet(parent);
  return sheet.DoModal();
}
