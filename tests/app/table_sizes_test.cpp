// The table sizes stored in the settings under an address space limit, each
// start in a process of its own through the program's start-up: the
// sizes in force are what fits of the stored ones, the same at every start
// under the same limit; the options sheet takes them unchanged (a new hash
// size is held to the bound the start used); and the stored sizes stay the
// user's choice through start and exit.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QString>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/chess_app.h"
#include "app/main_frame.h"
#include "engine/search/learning.h"
#include "engine/search/memory_budget.h"
#include "engine/search/tt.h"
#include "platform/message_box.h"
#include "tests/support/address_limit.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "windows/options_sheet.h"

namespace {

using testing_support::Check;
using testing_support::CloseFrame;
using testing_support::OpenStore;
using testing_support::StoredInt;

constexpr uint64_t kMiB = uint64_t{1} << 20;
constexpr int kGeneral = 0, kLearning = 2;

std::string lastMessage;
int RecordMessage(const QString& text, int) {
  lastMessage = text.toStdString();
  return kAnswerOk;
}

using TableSizesTest = testing_support::ScenarioTest;

// Starts under the address space limit with the stored sizes (stored here
// before the first start, as the previous exit left them after it),
// confirms the unchanged options sheet, then a hash size one above the
// bound, and exits. Returns the sizes in force as "<hash> <learning>".
std::string StartConfirmAndExit(uint64_t limit, bool first, int32_t storedHash,
                                int32_t storedLearning) {
  testing_support::OffscreenApplication();
  if (first) {
    auto store = OpenStore();
    store->WriteInt("Options", "Language", 1);
    store->WriteInt("Options", "HTSize", storedHash);
    store->WriteInt("Options", "LearningTSize", storedLearning);
  }
  const rlimit bound = {limit, limit};
  Check(setrlimit(RLIMIT_AS, &bound) == 0, "address space limited");
  theApp.InitInstance();
  const int32_t hash = HashSizeMegabytes();
  const int32_t learning = GetLearningTableSize(0);
  Check(hash < storedHash, "the hash table held to the limit");
  Check(learning == storedLearning, "the small learning tables get their stored size");
  Check(HashTablesBytes() + LearningTablesBytes() <= ProcessTableMemoryBudget() + kMiB,
        "both tables within the budget");
  Check(StoredInt("Options", "HTSize", -1) == storedHash &&
            StoredInt("Options", "LearningTSize", -1) == storedLearning,
        "the start keeps the stored sizes");

  messageBoxHook = RecordMessage;
  {
    COptionsSheet sheet;
    sheet.SetActivePage(kGeneral);
    sheet.SetActivePage(kLearning);
    Check(sheet.generalPage.GetDlgItemInt(kCtlGeneralHashSize) == hash, "the hash size shown");
    sheet.generalPage.SetDlgItemText(kCtlGeneralContemptRed, "7");
    sheet.setResult(-1);
    sheet.PressOK();
    Check(sheet.result() == IDOK && lastMessage.empty(), "the unchanged sheet is taken");
    Check(contemptRed == 7, "with the change made on it");
    Check(HashSizeMegabytes() == hash && GetLearningTableSize(0) == learning,
          "the sizes in force unchanged");
  }
  {
    // A larger hash than the bound the start sized the table within.
    COptionsSheet sheet;
    sheet.SetActivePage(kGeneral);
    sheet.generalPage.SetDlgItemInt(kCtlGeneralHashSize, hash + 1);
    sheet.setResult(-1);
    sheet.PressOK();
    Check(sheet.result() == -1 && lastMessage == "Hash table size too big",
          "one more megabyte is refused");
    sheet.PressCancel();
  }
  CloseFrame();
  Check(StoredInt("Options", "HTSize", -1) == storedHash &&
            StoredInt("Options", "LearningTSize", -1) == storedLearning,
        "the exit keeps the stored sizes");
  return std::to_string(hash) + " " + std::to_string(learning);
}

TEST_F(TableSizesTest, UnderALimitTheSheetTakesTheSizesInForceAndTheyStayFromStartToStart) {
  if (!testing_support::kAddressLimitUsable) GTEST_SKIP() << "no address limit under ASan";
  // One limit for every start: the budget, and so the sizes, depend on it.
  for (const uint64_t headroom : {uint64_t{1} << 30, uint64_t{2} << 30}) {
    SCOPED_TRACE(headroom / kMiB);
    const uint64_t limit = testing_support::MappedAddressSpace() + headroom;
    const std::filesystem::path sizes = root_ / "sizes";
    std::filesystem::remove_all(root_ / "config");
    for (int start = 0; start < 2; ++start) {
      SCOPED_TRACE(start);
      RUN_SCENARIO({
        const std::string inForce = StartConfirmAndExit(limit, start == 0, 65536, 3);
        if (start == 0) {
          std::ofstream(sizes) << inForce;
        } else {
          std::string first;
          std::getline(std::ifstream(sizes), first);
          Check(inForce == first,
                ("the same sizes as the first start: " + first + ", now " + inForce).c_str());
        }
      });
    }
  }
}

}  // namespace
