#include "app/chess_app.h"

#include <QApplication>
#include <QIcon>
#include <QThreadPool>
#include <cstring>

#include "app/bridge_window.h"
#include "app/main_frame.h"
#include "engine/search/books.h"
#include "engine/search/data_paths.h"
#include "engine/search/memory_budget.h"
#include "game/atomic_file.h"
#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "platform/qt_translations.h"
#include "platform/settings_store.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"
#include "windows/language_dlg.h"

CChessApp theApp;

namespace {

// Copies `text` into a fixed buffer when it fits whole; a cut name could
// name another file, so a text that does not fit gives `fallback`.
template <size_t N>
void CopySetting(char (&out)[N], const std::string& text, const char* fallback) {
  const char* source = text.size() < N ? text.c_str() : fallback;
  std::strncpy(out, source, N - 1);
  out[N - 1] = '\0';
}

// The threads of Qt's pool that paint in parallel under an address space
// limit, within the threads AddressSpaceBesideTables counts (the pool
// would otherwise start one for each processor).
constexpr int kPoolThreadsUnderAddressLimit = 4;

// Under an address space limit too small for the program, says so (in the
// interface language) and returns false: it would end at the first dialog
// or thread that does not fit, losing the game.
bool AddressSpaceSuffices() {
  const MemoryFigures figures = ReadMemoryFigures();
  const uint64_t needed = AddressSpaceNeeded(figures);
  if (figures.addressSpaceLimit >= needed) return true;
  constexpr uint64_t kMiB = uint64_t{1} << 20;
  ShowMessageBox(nullptr, TrText(kTextAddressSpaceTooSmall)
                              .arg((needed + kMiB - 1) / kMiB)
                              .arg(figures.addressSpaceLimit / kMiB));
  return false;
}

}  // namespace

void ResetSettingsForShift(CSettingsStore& store) {
  for (const char* section : {"Vorelk Freeware 2.5", "Windows placement", "Analyze", "Database",
                              "Pieces Value", "Search"}) {
    store.WriteString(section, nullptr, nullptr);
  }
  store.WriteInt("Options", "ClockWindow", 1);
  store.WriteInt("Options", "BarGraphWindow", 1);
  store.WriteInt("Options", "GameListWindow", 1);
  store.WriteString("Options", "Book1", "USERVKBOOK");
  store.WriteString("Options", "Book2", "VKBOOK");
  store.WriteInt("Options", "Book Mode 1", 0);
  store.WriteInt("Options", "Book Mode 2", 1);
}

bool CChessApp::InitInstance() {
  // A file size limit makes a save fail (reported, the old file kept)
  // instead of ending the program part way through it.
  IgnoreFileSizeLimitSignal();
  CSettingsStore store(kSettingsNoRoot);
  OpenProgramSettings(store);
  // A file that was not read is told first: the language chooser below
  // comes because its language was not read.
  store.TellIfNotRead();

  if (IsKeyDown(VK_SHIFT)) ResetSettingsForShift(store);

  std::string text;
  store.GetString(text, "Options", "Book1", "USERVKBOOK");
  CopySetting(bookFile1, text, "USERVKBOOK");
  store.GetString(text, "Options", "Book2", "VKBOOK");
  CopySetting(bookFile2, text, "VKBOOK");

  // A stored value that names no language is treated as not chosen.
  int32_t language = store.GetInt("Options", "Language", kLanguageNotChosen);
  if (language < 0 || language >= kLanguageCount) language = kLanguageNotChosen;
  if (language == kLanguageNotChosen) {
    language = RunLanguageChooser(nullptr);
    if (language < 0 || language >= kLanguageCount) language = kLanguageEnglish;
  }
  currentLanguage = language;
  UseQtTranslation(language);
  if (!AddressSpaceSuffices()) return false;

  // The install directory: the stored one (a relative one below the
  // per-user data folder), else the per-user data folder, which is then
  // stored when nothing usable was.
  store.GetString(text, "Options", "InstallDirectory", "");
  const int storedUsed =
      ResolveInstallDirectory(text.c_str(), installDirectory, sizeof(installDirectory));
  if (storedUsed == 0 && installDirectory[0] != '\0') {
    store.WriteString("Options", "InstallDirectory", installDirectory);
  }
  EnsureInstallDirectory();

  InstallWindowBridge();
  CMainFrame* frame = new CMainFrame(m_lpCmdLine.c_str());
  m_pMainWnd = frame;
  frame->setWindowState(m_nCmdShow);
  frame->show();
  frame->update();
  return true;
}

int RunChessApp(int argc, char** argv) {
  // Before Qt starts its threads.
  const bool addressLimited = FitThreadsToAddressLimit();
  QApplication application(argc, argv);
  if (addressLimited)
    QThreadPool::globalInstance()->setMaxThreadCount(kPoolThreadsUnderAddressLimit);
  NoteAddressSpaceAtStart();
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/31235")));
  theApp.m_lpCmdLine.clear();
  for (int i = 1; i < argc; ++i) {
    if (i > 1) theApp.m_lpCmdLine += ' ';
    theApp.m_lpCmdLine += argv[i];
  }
  if (!theApp.InitInstance()) return 1;
  const int code = QApplication::exec();
  RemoveWindowBridge();
  return code;
}
