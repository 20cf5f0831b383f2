// The settings file through start-up and exit when it cannot be written as
// a whole: under a file size limit smaller than the file, and on a disk with
// one page free; and hand-written files started and closed twice. Each
// scenario runs in a process of its own; the file is never cut or emptied,
// a failure is told once, and the exit writes the file once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QString>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/chess_app.h"
#include "game/atomic_file.h"
#include "platform/message_box.h"
#include "tests/support/file_bytes.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "windows/language_dlg.h"

namespace fs = std::filesystem;

namespace {

using testing_support::ReadFileText;

using testing_support::Check;
using testing_support::CloseFrame;
using testing_support::OpenStore;
using testing_support::StoredString;

using SettingsSurvivalTest = testing_support::ScenarioTest;

// Stored values of a settings file over 1 KiB: many options before the
// language, the piece values and a section the program does not know.
std::vector<std::pair<std::string, std::string>> StoredValues() {
  std::vector<std::pair<std::string, std::string>> values;
  for (int i = 0; i < 40; ++i) {
    values.emplace_back("Options/Extra" + std::to_string(i), "value number " + std::to_string(i));
  }
  values.emplace_back("Options/Language", "1");
  values.emplace_back("Pieces Value/Chariot", "1300");
  values.emplace_back("Pieces Value/Horse", "577");
  values.emplace_back("Someone else/kept", "yes");
  return values;
}

std::string SettingsText() {
  std::string text = "[Options]\n";
  for (int i = 0; i < 40; ++i)
    text += "Extra" + std::to_string(i) + "=value number " + std::to_string(i) + "\n";
  text += "Language=1\n\n[Pieces%20Value]\nChariot=1300\nHorse=577\n\n[Someone%20else]\nkept=yes\n";
  return text;
}

fs::path SettingsFile() {
  return fs::path(getenv("XDG_CONFIG_HOME")) / "Vorelk" / "Vorelk Freeware 2.5.ini";
}

// Messages about the settings file.
int settingsMessages = 0;
int CountSettingsMessages(const QString& text, int) {
  if (text.contains(QStringLiteral("Freeware 2.5.ini"))) ++settingsMessages;
  return 1;
}

// Starts the program, lets its event loop run, and closes it.
void StartAndClose() {
  testing_support::OffscreenApplication();
  messageBoxHook = CountSettingsMessages;
  theApp.InitInstance();
  QCoreApplication::processEvents();
  CloseFrame();
  QCoreApplication::processEvents();
}

void CheckStoredValues() {
  for (const auto& [key, value] : StoredValues()) {
    const size_t slash = key.find('/');
    const std::string section = key.substr(0, slash), entry = key.substr(slash + 1);
    Check(StoredString(section.c_str(), entry.c_str()) == value, key.c_str());
  }
}

// Start-up writes the install folder and exit the options; with files held
// below the settings file's size every write fails: the file stays as it
// was, byte for byte, and the user is told once.
TEST_F(SettingsSurvivalTest, AFileSizeLimitNeverCutsTheSettings) {
  RUN_SCENARIO({
    const std::string text = SettingsText();
    Check(text.size() > 1024, "the file is over 1 KiB");
    fs::create_directories(SettingsFile().parent_path());
    std::ofstream(SettingsFile(), std::ios::binary) << text;
    IgnoreFileSizeLimitSignal();
    const rlimit limit{1024, 1024};
    Check(setrlimit(RLIMIT_FSIZE, &limit) == 0, "the limit is set");
    StartAndClose();
    Check(ReadFileText(SettingsFile()) == text, "the file is as it was");
    Check(settingsMessages == 1, "told once");
    Check(fs::exists(SettingsFile().parent_path()) &&
              std::distance(fs::directory_iterator(SettingsFile().parent_path()),
                            fs::directory_iterator()) == 1,
          "nothing left beside it");
  });
}

// Puts a private tmpfs of `kib` KiB on `folder` (in a mount namespace of
// the process's own); false where that is not allowed.
bool MountPrivateTmpfs(const fs::path& folder, int kib) {
  if (unshare(CLONE_NEWNS) != 0) {
    // Without the privilege, as root of a user namespace of its own.
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
    std::ofstream("/proc/self/setgroups") << "deny";
    std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
    std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
  }
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
  fs::create_directories(folder);
  const std::string options = "size=" + std::to_string(kib) + "k";
  return mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

// Fills the file system of `folder` and frees one page again.
bool LeaveOnePageFree(const fs::path& folder) {
  const std::string filler = (folder / "filler").string();
  const int fd = open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return false;
  const std::vector<char> page(4096, 'x');
  off_t size = 0;
  while (write(fd, page.data(), page.size()) == static_cast<ssize_t>(page.size())) size += 4096;
  const bool freed = size >= 4096 && ftruncate(fd, size - 4096) == 0;
  close(fd);
  return freed;
}

// Whether this machine lets a process mount a tmpfs of its own.
bool CanMountTmpfs() {
  const pid_t child = fork();
  if (child == 0) _exit(MountPrivateTmpfs(fs::temp_directory_path() / "vorelk-probe", 64) ? 0 : 1);
  int status = -1;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

// With one page free on the settings folder's disk, start-up and exit keep
// every section of the file (the piece values, a section of someone else)
// and store what they write.
TEST_F(SettingsSurvivalTest, ANearlyFullDiskKeepsEverySection) {
  if (!CanMountTmpfs()) GTEST_SKIP() << "no private tmpfs can be mounted here";
  RUN_SCENARIO({
    const fs::path config = getenv("XDG_CONFIG_HOME");
    Check(MountPrivateTmpfs(config, 64), "the tmpfs is mounted");
    fs::create_directories(SettingsFile().parent_path());
    std::ofstream(SettingsFile(), std::ios::binary) << SettingsText();
    Check(LeaveOnePageFree(config), "one page free");
    StartAndClose();
    CheckStoredValues();
    Check(StoredString("Options", "InstallDirectory") != "<missing>", "the install folder stored");
    Check(settingsMessages == 0, "nothing to tell");
  });
}

// Hand-written files the program starts from and closes twice: the
// language is read (never asked for again), the sections after a damaged
// line and a byte-order mark are read, the exit writes the file once, and
// the second round leaves the bytes of the first. The last file has a large
// section of its own.
TEST_F(SettingsSurvivalTest, HandWrittenFilesTwiceThroughStartAndExit) {
  std::string large = "[User]\nx=1\n[Options]\nLanguage=1\n[Other]\ny=2\n[Large]\n";
  for (int i = 0; i < 50000; ++i) large += "entry" + std::to_string(i) + "=some text of its own\n";
  const std::string files[] = {
      "[User]\nr=\"unterminated\nx=1\n[Options]\nLanguage=1\n[Other]\ny=2\n",
      "\xEF\xBB\xBF[Options]\nLanguage=1\n[User]\nx=1\n[Other]\ny=2\n",
      large,
  };
  for (const std::string& file : files) {
    SCOPED_TRACE(file.substr(0, 40));
    fs::create_directories(SettingsFile().parent_path());
    std::ofstream(SettingsFile(), std::ios::binary) << file;
    std::string after[2];
    for (int round = 0; round < 2; ++round) {
      RUN_SCENARIO({
        testing_support::OffscreenApplication();
        bool asked = false;
        testing_support::AnswerWhenShown<CLanguageDlg>([&asked](CLanguageDlg* dialog) {
          asked = true;
          dialog->reject();
        });
        messageBoxHook = CountSettingsMessages;
        theApp.InitInstance();
        QCoreApplication::processEvents();
        Check(!asked, "the language is not asked for");
        const int writes = SettingsFileWrites();
        CloseFrame();
        QCoreApplication::processEvents();
        // Once; the second exit has nothing new to write.
        Check(SettingsFileWrites() - writes == (round == 0 ? 1 : 0), "the exit writes once");
        Check(StoredString("User", "x") == "1" && StoredString("Other", "y") == "2",
              "the other sections are read");
        Check(settingsMessages == 0, "nothing to tell");
      });
      after[round] = ReadFileText(SettingsFile());
    }
    EXPECT_EQ(after[0], after[1]);
    EXPECT_EQ(after[0].compare(0, 3, file, 0, 3), 0) << "the file begins as it did";
  }
}

}  // namespace
