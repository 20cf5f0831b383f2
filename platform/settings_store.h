// The program's settings: integer and string values by section and entry,
// kept in one INI file per company and application,
//   $XDG_CONFIG_HOME/<company>/<application>.ini   (~/.config when unset),
// in the INI spelling of QSettings. Each section is an INI group ("Options",
// "Pieces Value", "Windows placement"...).
//
// A caller creates a store as a local object for one load or save, opens it
// on the company and application names, reads or writes values, and the
// destructor writes the changes to disk: the file is written whole beside
// the old one and renamed over it, so that the old file stays whole until
// a complete new one replaces it, and every line the store did not change
// keeps its bytes. Every read supplies a default, and
// every failure (a store that could not be opened, a missing value, a value
// that is not a number where a number is read, an unreadable file) yields
// that default without a message; a failed write returns false. Changes
// that cannot reach the file (a full disk, a read-only file) are told to the
// user once per run, in a message box of the program's windows.
//
// The program's exit writes its options and every window's placement
// through several stores inside one CSettingsBatch, so that the file is
// written once.
//
// The file holds only text, so a number is stored as its decimal text and
// read back by parsing it; a string read of a number gives its text. A file
// in UTF-16 (saved so by an editor) is read as well and written back whole
// in UTF-16, in its byte order; one read as UTF-16 (marked, or beginning
// as UTF-16 does) that holds no whole UTF-16 text is unreadable and never
// written over. A text that is not UTF-8 (a path with another byte) is
// stored as a byte array and reads back as the same bytes.
//
// A file larger than kSettingsFileMostBytes, or of more lines than
// kSettingsFileMostLines, is not read (its values give their defaults) and
// never written over, and that is told once: the program holds every line
// it reads, and a file far larger than it ever writes would take more
// memory than it has. Nor is a file ever written past those limits (a
// file of long notes near them): changes that would take it past are not
// written, the file is kept as it is and that is told once, rather than
// leaving a file the next start would not read. A symbolic link in the
// file's place is kept: the file it leads to is written, and made when
// missing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class IniDocument;

// The names every load and save of the program opens the store with.
inline constexpr const char* kSettingsCompany = "Vorelk";
inline constexpr const char* kSettingsApplication = "Vorelk Freeware 2.5";

// The most a settings file may hold for the program to read it, far above
// the few kilobytes and hundreds of lines the program writes; its bytes
// and lines then take a few tens of megabytes at most.
inline constexpr size_t kSettingsFileMostBytes = size_t{4} << 20;
inline constexpr size_t kSettingsFileMostLines = 100000;

// Store kinds: the user's own settings, or none opened yet.
inline constexpr int32_t kSettingsCurrentUser = 1;
inline constexpr int32_t kSettingsNoRoot = 3;

class CSettingsStore;

// While a batch lives, the stores of the process keep their changes pending
// when they are destroyed (a store opened meanwhile reads them); when the
// last batch ends, each file with changes is written once.
class CSettingsBatch {
 public:
  CSettingsBatch();
  ~CSettingsBatch();
  CSettingsBatch(const CSettingsBatch&) = delete;
  CSettingsBatch& operator=(const CSettingsBatch&) = delete;
};

// How many times the process has written a settings file whole (a file the
// changes leave as it was is not written).
int SettingsFileWrites();

// Opens `store` (made with kSettingsNoRoot) on the program's own settings,
// as every load and save of the program does. False when they cannot be
// opened; reads then give their defaults and writes fail.
bool OpenProgramSettings(CSettingsStore& store);

class CSettingsStore {
 public:
  // kSettingsNoRoot opens nothing (the caller follows with OpenSoftwareKey);
  // any other kind opens the settings root at once, and OpenFailed() reports
  // whether that failed.
  explicit CSettingsStore(int32_t rootKind = kSettingsCurrentUser);
  // Writes the pending changes to the file.
  ~CSettingsStore();

  CSettingsStore(const CSettingsStore&) = delete;
  CSettingsStore& operator=(const CSettingsStore&) = delete;

  // Finds the settings root: the user's configuration folder
  // ($XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config) for
  // kSettingsCurrentUser, the first folder of $XDG_CONFIG_DIRS (default
  // /etc/xdg) for other kinds. False when no folder can be named.
  bool OpenSoftwareKey(int32_t rootKind);

  // Creates or opens the company folder under the root and the application's
  // file in it ("<application>.ini"); with an empty application name the
  // file is "<company>.ini" under the root. False (and the store stays
  // closed) without a root or a company name, or when the folder cannot be
  // created.
  bool Open(const char* company, const char* application);

  // The integer `entry` of `section`, or `defaultValue` when the store is
  // closed, the value is missing, or its text is not a decimal number that
  // fits in 32 bits.
  int32_t GetInt(const char* section, const char* entry, int32_t defaultValue);

  // GetInt, with a value outside minValue..maxValue (inclusive) also giving
  // the default. Settings that become array indexes or sizes are read
  // through this, so that a hand-edited or damaged file cannot push them
  // out of their tables.
  int32_t GetIntInRange(const char* section, const char* entry, int32_t defaultValue,
                        int32_t minValue, int32_t maxValue);

  // The string `entry` of `section` into `out`, or `defaultValue` (an empty
  // text when null) on any failure.
  void GetString(std::string& out, const char* section, const char* entry,
                 const char* defaultValue = nullptr);

  // Stores the integer as its decimal text. True on success.
  bool WriteInt(const char* section, const char* entry, int32_t value);

  // Stores the string. With a null value the entry is deleted; with a null
  // entry the whole section is deleted. True on success.
  bool WriteString(const char* section, const char* entry, const char* value);

  // Tells the user when the open file exists but was not read (larger than
  // the program reads, not whole text in its encoding, not a file it can
  // read), as a write to it is told, once per run. The start-up tells it
  // before it asks anything the file may have held.
  void TellIfNotRead();

  // True when the constructor could not open the settings root.
  bool OpenFailed() const { return openFailed_; }
  // The file the store reads and writes; empty while it is not open.
  const std::string& FilePath() const { return filePath_; }

 private:
  // The file's key of (section, entry), or false for names the file
  // cannot hold as one value (empty, or containing a group separator).
  static bool MakeKey(const char* section, const char* entry, std::string& key);
  // The stored text of a key, false when missing or not a text.
  bool ReadText(const std::string& key, std::string& text);
  // Whether the open file may be written; a file that may not is told.
  bool Writable();
  // Records a change (a value, or without one a removal) for the file.
  void Change(std::string key, std::optional<std::string> text);
  // Writes the changes to the file (inside a batch, leaves them to the
  // batch); a write that fails or is cut short leaves the previous file and
  // is told, and the changes are kept for the next store's write.
  void Sync();

  bool openFailed_ = false;
  bool changed_ = false;   // a value was written or removed since the file was opened
  bool readable_ = false;  // the file could be read (or did not exist) when opened
  bool tooLarge_ = false;  // the file was larger than the program reads
  int32_t rootKind_ = 0;
  std::string rootDirectory_;
  std::string companyName_;
  std::string applicationName_;
  std::string filePath_;
  // The file as read when opened; its lazy reads happen under the lock of
  // the changes, as it may be shared with other stores.
  std::shared_ptr<const IniDocument> document_;
};
