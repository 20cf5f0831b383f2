// The settings store over an INI file in the spelling of QSettings. The file
// is read whole when a store is opened (unless the process has read it as it
// is now) and written whole, through a temporary file renamed over it, when
// a store that changed something is destroyed (or its batch ends). Changes not yet on disk are
// shared by the stores of the process (a value written through one store is seen by the next one
// before it is on disk), and a write that fails keeps them for the next one.
#include "platform/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QString>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "game/atomic_file.h"
#include "platform/message_box.h"
#include "platform/settings_encoding.h"
#include "platform/settings_ini.h"
#include "platform/settings_values.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"

namespace {

// A name the file can hold as one group or key: not empty and without the
// separators QSettings reads as nesting.
bool IsPlainName(const char* name) {
  return name != nullptr && name[0] != '\0' && std::strpbrk(name, "/\\") == nullptr;
}

std::string EnvironmentFolder(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

// A change not yet on disk: a new value, or (without one) the removal of a
// key and every key below it.
struct PendingChange {
  std::string key;
  std::optional<std::string> text;
};

// The changes of each file not yet on disk, shared by the stores of the
// process and kept until a write succeeds.
std::mutex pendingLock;
std::map<std::string, std::vector<PendingChange>>& PendingChanges() {
  static std::map<std::string, std::vector<PendingChange>> changes;
  return changes;
}

// kTooLarge: more than the program reads (kSettingsFileMostBytes or
// kSettingsFileMostLines), left unread.
enum class FileRead { kRead, kMissing, kUnreadable, kTooLarge };

// Why a file is not written, as the user is told: it cannot be (a full
// disk, a read-only or unreadable file), it is larger than the program
// reads, or the changes would make it so.
enum class NotWritten { kFailed, kTooLarge, kWouldBeTooLarge };

// The lines of a text: each ends in "\n", "\r\n" or "\r", the last one
// may have no end.
size_t LineCount(std::string_view text) {
  size_t lines = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
      ++lines;
  }
  if (!text.empty() && text.back() != '\n' && text.back() != '\r') ++lines;
  return lines;
}

// Whether a file of these bytes on disk, `text` once read, is within what
// the program reads: the one test for every file it reads or writes.
bool WithinReadLimits(size_t bytes, std::string_view text) {
  return bytes <= kSettingsFileMostBytes && LineCount(text) <= kSettingsFileMostLines;
}

// What tells one version of a file on disk from another: a write through a
// temporary file gives a new inode, an edit in place a new time or size.
struct FileVersion {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};
  bool operator==(const FileVersion& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
  }
};

// The document of each file as the process last read it, with its version:
// the stores opened one after another at start and exit share it while the
// file is unchanged, rather than reading and parsing a large file each time.
// Never changed once read (a write applies its changes to a copy).
struct ReadFile {
  FileVersion version;
  timespec readAt{};  // when it was read
  std::shared_ptr<const IniDocument> document;
  SettingsEncoding encoding = SettingsEncoding::kUtf8;  // of the bytes on disk
};

// Whether the version alone tells that the file is as read: a file changed
// within the clock tick of its reading can keep its times and size, so a
// file changed less than two seconds before it was read is read again (and
// its bytes compared).
bool SameVersion(const ReadFile& known, const FileVersion& version) {
  return known.document && known.version == version &&
         known.version.changed.tv_sec + 2 < known.readAt.tv_sec;
}
std::map<std::string, ReadFile>& ReadFiles() {
  static std::map<std::string, ReadFile> files;
  return files;
}

// The document of the settings file, read under pendingLock, and the
// encoding of its bytes. Only a regular file is read (a pipe in its place
// would block); a file that exists but cannot be read (or holds no whole
// text in its encoding) is never written over, which would lose what it
// holds. Nor is a file larger than the program reads: its bytes are not
// read past that size, so that its lines never take more memory than those
// of the largest file read.
FileRead ReadDocument(const std::string& path, std::shared_ptr<const IniDocument>& document,
                      SettingsEncoding& encoding) {
  document.reset();
  encoding = SettingsEncoding::kUtf8;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT ? FileRead::kMissing : FileRead::kUnreadable;
  struct stat st;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  const FileVersion version{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
  ReadFile& known = ReadFiles()[path];
  if (ok && SameVersion(known, version)) {
    close(fd);
    document = known.document;
    encoding = known.encoding;
    return FileRead::kRead;
  }
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  bool tooLarge = ok && static_cast<uint64_t>(st.st_size) > kSettingsFileMostBytes;
  std::string bytes;
  if (ok && !tooLarge) bytes.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  // A file that grew since fstat is read no further than the limit.
  while (ok && !tooLarge) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    bytes.append(buffer, static_cast<size_t>(n));
    tooLarge = bytes.size() > kSettingsFileMostBytes;
  }
  close(fd);
  if (tooLarge) return FileRead::kTooLarge;
  std::string text;
  if (!ok || !ReadSettingsText(bytes, encoding, text)) return FileRead::kUnreadable;
  if (!WithinReadLimits(bytes.size(), text)) return FileRead::kTooLarge;
  if (known.document && known.encoding == encoding && known.document->Source() == text) {
    document = known.document;
  } else {
    document = std::make_shared<const IniDocument>(IniDocument::Parse(std::move(text)));
  }
  known = ReadFile{version, now, document, encoding};
  return FileRead::kRead;
}

// The file a write of path replaces or makes: path itself, or, when path
// is a symbolic link that leads to no file (through other links maybe),
// the name the last link gives, so that the file is made there and the
// links are kept (AtomicFile follows a link to an existing file, and would
// replace a link that leads nowhere). Empty for links that go round.
std::string WriteTarget(const std::string& path) {
  std::filesystem::path target = path;
  for (int links = 0; links < 40; ++links) {
    struct stat st;
    if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode) || stat(target.c_str(), &st) == 0)
      return target.string();
    std::error_code error;
    const std::filesystem::path next = std::filesystem::read_symlink(target, error);
    if (error) return target.string();
    target = target.parent_path() / next;
  }
  return std::string();
}

// Replaces the file with bytes through a temporary file beside it: the old
// file stays whole until the new one is complete on disk.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  AtomicFile out;
  if (!out.Open(path.c_str())) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out.file()) != bytes.size()) {
    out.Abandon();
    return false;
  }
  return out.Commit();
}

void Apply(IniDocument& document, const PendingChange& change) {
  if (change.text) {
    document.Set(change.key, *change.text);
  } else {
    document.Remove(change.key);
  }
}

// Stores made while a batch lives leave their changes pending.
int batchDepth = 0;
// The whole-file writes of the process.
std::atomic<int> fileWrites{0};

// Writes the changes of the file not yet on disk onto the file as it is now
// (another store or another copy of the program may have changed it); every
// other line keeps its bytes, and a file those changes leave as it is is not
// written. Nothing when written; else why not: the file could not be read
// (or is now larger than the program reads) or written, or the changes
// would make it larger than the program reads back (in bytes on disk or in
// lines), which would lose every setting it holds from the next start on.
// The file is then left as it is, and the changes are kept for the next
// write and for the stores of this run.
std::optional<NotWritten> WritePendingChanges(const std::string& path) {
  std::lock_guard lock(pendingLock);
  std::vector<PendingChange>& pending = PendingChanges()[path];
  if (pending.empty()) return std::nullopt;  // another store has written them
  std::shared_ptr<const IniDocument> read;
  SettingsEncoding encoding = SettingsEncoding::kUtf8;
  switch (ReadDocument(path, read, encoding)) {
    case FileRead::kUnreadable:
      return NotWritten::kFailed;
    case FileRead::kTooLarge:
      return NotWritten::kTooLarge;
    case FileRead::kRead:
    case FileRead::kMissing:
      break;
  }
  IniDocument document = read ? *read : IniDocument::Parse(std::string());
  for (const PendingChange& change : pending) Apply(document, change);
  const std::string written = document.Serialize();
  if (written != document.Source()) {
    // Whole in the file's own encoding.
    const std::string bytes = EncodeSettingsText(written, encoding);
    if (!WithinReadLimits(bytes.size(), written)) return NotWritten::kWouldBeTooLarge;
    ++fileWrites;
    // The file read is no longer the file on disk, whatever the outcome.
    ReadFiles().erase(path);
    if (!WriteWholeFile(WriteTarget(path), bytes)) return NotWritten::kFailed;
  }
  pending.clear();
  // The copy an earlier version kept while it wrote the file.
  unlink((path + ".previous").c_str());
  return std::nullopt;
}

// A settings file that cannot be written (a full disk, a file size limit, a
// read-only file, one larger than the program reads or changes that would
// make it so) is told once per run: every later store would fail the same
// way. Only a program with windows can tell it.
void ReportNotWritten(const std::string& path, NotWritten why) {
  static bool reported = false;
  if (reported) return;
  if (messageBoxHook == nullptr &&
      qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
    return;
  reported = true;
  const QString name = QFile::decodeName(path.c_str());
  if (why == NotWritten::kFailed) {
    ShowMessageBox(nullptr, TrText(kTextSettingsNotSaved).arg(name));
    return;
  }
  const TextRow& text =
      why == NotWritten::kTooLarge ? kTextSettingsTooLarge : kTextSettingsWouldBeTooLarge;
  ShowMessageBox(
      nullptr,
      TrText(text).arg(name).arg(kSettingsFileMostBytes >> 20).arg(kSettingsFileMostLines));
}

}  // namespace

CSettingsStore::CSettingsStore(int32_t rootKind) {
  if (rootKind == kSettingsNoRoot) return;
  openFailed_ = !OpenSoftwareKey(rootKind);
}

CSettingsStore::~CSettingsStore() { Sync(); }

void CSettingsStore::Sync() {
  if (!document_ || !changed_) return;
  changed_ = false;
  {
    std::lock_guard lock(pendingLock);
    if (batchDepth > 0) return;  // the batch writes them when it ends
  }
  if (const auto why = WritePendingChanges(filePath_)) ReportNotWritten(filePath_, *why);
}

CSettingsBatch::CSettingsBatch() {
  std::lock_guard lock(pendingLock);
  ++batchDepth;
}

CSettingsBatch::~CSettingsBatch() {
  std::vector<std::string> files;
  {
    std::lock_guard lock(pendingLock);
    if (--batchDepth > 0) return;
    for (const auto& [file, changes] : PendingChanges()) {
      if (!changes.empty()) files.push_back(file);
    }
  }
  for (const std::string& file : files) {
    if (const auto why = WritePendingChanges(file)) ReportNotWritten(file, *why);
  }
}

int SettingsFileWrites() { return fileWrites.load(); }

bool CSettingsStore::OpenSoftwareKey(int32_t rootKind) {
  rootKind_ = rootKind;
  rootDirectory_.clear();
  if (rootKind == kSettingsCurrentUser) {
    // XDG: a relative XDG_CONFIG_HOME is invalid and is ignored.
    std::string folder = EnvironmentFolder("XDG_CONFIG_HOME");
    if (!folder.empty() && folder[0] == '/') {
      rootDirectory_ = folder;
    } else {
      const std::string home = EnvironmentFolder("HOME");
      if (home.empty()) return false;
      rootDirectory_ = home + "/.config";
    }
  } else {
    std::string folders = EnvironmentFolder("XDG_CONFIG_DIRS");
    const std::string first = folders.substr(0, folders.find(':'));
    rootDirectory_ = (!first.empty() && first[0] == '/') ? first : std::string("/etc/xdg");
  }
  return true;
}

bool CSettingsStore::Open(const char* company, const char* application) {
  Sync();
  document_.reset();
  filePath_.clear();
  if (rootDirectory_.empty() || !IsPlainName(company)) return false;
  const bool hasApplication = application != nullptr && application[0] != '\0';
  if (hasApplication && !IsPlainName(application)) return false;

  companyName_ = company;
  applicationName_ = hasApplication ? application : "";
  std::filesystem::path file = rootDirectory_;
  if (hasApplication) {
    file /= companyName_;
    file /= applicationName_ + ".ini";
  } else {
    file /= companyName_ + ".ini";
  }
  // A folder that cannot be made (a file in its place) leaves the path
  // known without a document: every write is refused and told.
  filePath_ = file.string();
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error) return false;

  std::lock_guard lock(pendingLock);
  SettingsEncoding encoding = SettingsEncoding::kUtf8;
  const FileRead read = ReadDocument(filePath_, document_, encoding);
  readable_ = read == FileRead::kRead || read == FileRead::kMissing;
  tooLarge_ = read == FileRead::kTooLarge;
  if (!document_)
    document_ = std::make_shared<const IniDocument>(IniDocument::Parse(std::string()));
  return true;
}

bool CSettingsStore::MakeKey(const char* section, const char* entry, std::string& key) {
  if (!IsPlainName(section) || !IsPlainName(entry)) return false;
  key = std::string(section) + "/" + entry;
  return true;
}

bool CSettingsStore::ReadText(const std::string& key, std::string& text) {
  if (!document_) return false;
  std::optional<std::string> value;
  {
    // The latest change not yet on disk decides, else the file as read.
    std::lock_guard lock(pendingLock);
    const std::vector<PendingChange>& pending = PendingChanges()[filePath_];
    bool changed = false;
    for (auto it = pending.rbegin(); it != pending.rend() && !changed; ++it) {
      if (it->key == key) {
        value = it->text;
        changed = true;
      } else if (!it->text && key.compare(0, it->key.size() + 1, it->key + "/") == 0) {
        changed = true;
      }
    }
    if (!changed) value = document_->Text(key);
  }
  if (!value) return false;
  text = std::move(*value);
  return true;
}

int32_t CSettingsStore::GetInt(const char* section, const char* entry, int32_t defaultValue) {
  std::string key;
  std::string text;
  int32_t value = 0;
  if (!MakeKey(section, entry, key) || !ReadText(key, text) || !ParseSettingInt(text, value)) {
    return defaultValue;
  }
  return value;
}

int32_t CSettingsStore::GetIntInRange(const char* section, const char* entry, int32_t defaultValue,
                                      int32_t minValue, int32_t maxValue) {
  std::string key;
  std::string text;
  if (!MakeKey(section, entry, key) || !ReadText(key, text)) return defaultValue;
  return SettingIntInRange(text, defaultValue, minValue, maxValue);
}

void CSettingsStore::GetString(std::string& out, const char* section, const char* entry,
                               const char* defaultValue) {
  std::string key;
  std::string text;
  if (MakeKey(section, entry, key) && ReadText(key, text)) {
    out = std::move(text);
  } else {
    out = defaultValue != nullptr ? defaultValue : "";
  }
}

void CSettingsStore::TellIfNotRead() {
  if (filePath_.empty()) return;
  if (!document_) {
    ReportNotWritten(filePath_, NotWritten::kFailed);  // not even its folder can be made
  } else if (!readable_) {
    ReportNotWritten(filePath_, tooLarge_ ? NotWritten::kTooLarge : NotWritten::kFailed);
  }
}

bool CSettingsStore::Writable() {
  if (!document_) {
    if (!filePath_.empty()) ReportNotWritten(filePath_, NotWritten::kFailed);
    return false;
  }
  // An existing file must be readable too: it is written whole, with what
  // it already holds. A new one is made where a link in its place leads.
  const std::string target = WriteTarget(filePath_);
  const std::string folder = std::filesystem::path(target).parent_path().string();
  struct stat st;
  const bool writable = readable_ && !target.empty() &&
                        (stat(target.c_str(), &st) == 0 ? access(target.c_str(), W_OK) == 0
                                                        : access(folder.c_str(), W_OK) == 0);
  if (writable) return true;
  ReportNotWritten(filePath_, tooLarge_ ? NotWritten::kTooLarge : NotWritten::kFailed);
  return false;
}

void CSettingsStore::Change(std::string key, std::optional<std::string> text) {
  changed_ = true;
  std::lock_guard lock(pendingLock);
  PendingChanges()[filePath_].push_back(PendingChange{std::move(key), std::move(text)});
}

bool CSettingsStore::WriteInt(const char* section, const char* entry, int32_t value) {
  std::string key;
  if (!MakeKey(section, entry, key) || !Writable()) return false;
  Change(std::move(key), std::to_string(value));
  return true;
}

bool CSettingsStore::WriteString(const char* section, const char* entry, const char* value) {
  if (!Writable()) return false;
  if (entry == nullptr) {
    // The whole section, with every value in it.
    if (!IsPlainName(section)) return false;
    Change(section, std::nullopt);
    return true;
  }
  std::string key;
  if (!MakeKey(section, entry, key)) return false;
  Change(std::move(key), value != nullptr ? std::optional<std::string>(value) : std::nullopt);
  return true;
}

bool OpenProgramSettings(CSettingsStore& store) {
  return store.OpenSoftwareKey(kSettingsCurrentUser) &&
         store.Open(kSettingsCompany, kSettingsApplication);
}
