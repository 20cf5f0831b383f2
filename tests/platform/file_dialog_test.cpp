// Qt's file dialog as the program runs it: the size a user gives it is the
// size it comes back at, in the open and the save dialog, for the rest of
// the run, whether it was left through Open, Save or Cancel.
#include "platform/file_dialog.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QSize>
#include <QTemporaryDir>
#include <string>

#include "tests/support/offscreen_app.h"

namespace {

const FileDialogFilter kFilters[] = {{"Games", "*.egf;"}};

// Runs the open or save dialog, sizes it to `resizeTo` once shown (when
// valid) and cancels it; returns the size it was shown at.
QSize ShownSize(bool save, QSize resizeTo = {}) {
  QSize shown;
  testing_support::AnswerWhenShown<QFileDialog>([&](QFileDialog* dialog) {
    shown = dialog->size();
    if (resizeTo.isValid()) dialog->resize(resizeTo);
    dialog->reject();
  });
  std::string path;
  EXPECT_FALSE(RunFileDialog(nullptr, save, kFilters, 1, "egf", QString(), &path));
  return shown;
}

TEST(FileDialog, KeepsTheSizeItWasLeftAtForTheRun) {
  testing_support::OffscreenApplication();
  fileDialogHook = nullptr;
  const QSize first = ShownSize(false);
  ASSERT_TRUE(first.isValid());
  const QSize larger = first + QSize(120, 80);
  EXPECT_EQ(ShownSize(false, larger), first);
  EXPECT_EQ(ShownSize(true), larger) << "the save dialog";
  const QSize smaller = first - QSize(60, 40);
  EXPECT_EQ(ShownSize(true, smaller), larger);
  EXPECT_EQ(ShownSize(false), smaller) << "the open dialog";
}

}  // namespace
