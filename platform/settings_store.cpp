// The settings store over a QSettings INI file. Keys are "<section>/<entry>";
// QSettings keeps one group per section and shares a file's contents
// between the stores of the process, so a value written through one store
// is seen by the next one even before it is on disk.
#include "platform/settings_store.h"
#include "platform/settings_values.h"

#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/message_box.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"

namespace {

// A name the file can hold as one group or key: not empty and without the
// separators QSettings reads as nesting.
bool IsPlainName(const char* name) {
  return name != nullptr && name[0] != '\0' && std::strpbrk(name, "/\\") == nullptr;
}

QString ToQString(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string EnvironmentFolder(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

// Whether the INI file at path holds `keys` values and ends with its last
// line: one "key=value" line per value, each section's name in brackets.
bool IniFileIsWhole(const std::string& path, qsizetype keys) {
  QFile file(QFile::decodeName(path.c_str()));
  if (!file.open(QIODevice::ReadOnly)) return keys == 0;
  const QByteArray text = file.readAll();
  if (text.isEmpty()) return keys == 0;
  if (!text.endsWith('\n')) return false;
  qsizetype lines = 0;
  for (const QByteArray& line : text.split('\n')) {
    if (!line.startsWith('[') && line.contains('=')) ++lines;
  }
  return lines == keys;
}

// A settings file that cannot be written (a full disk, a file size limit, a
// read-only file) is told once per run: every later store would fail the
// same way. Only a program with windows can tell it.
void ReportNotWritten(const std::string& path) {
  static bool reported = false;
  if (reported) return;
  if (messageBoxHook == nullptr && qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
    return;
  reported = true;
  ShowMessageBox(nullptr, TrText(kTextSettingsNotSaved).arg(QFile::decodeName(path.c_str())));
}

}  // namespace

CSettingsStore::CSettingsStore(int32_t rootKind) {
  if (rootKind == kSettingsNoRoot) return;
  openFailed_ = !OpenSoftwareKey(rootKind);
}

CSettingsStore::~CSettingsStore() { Sync(); }

void CSettingsStore::Sync() {
  if (!settings_) return;
  if (!changed_) {
    settings_->sync();
    return;
  }
  changed_ = false;
  // The file is replaced whole, but a write cut short (a full disk, a file
  // size limit) can leave it cut: the previous file is kept under a second
  // name until the new one is known to be whole.
  const std::string previous = filePath_ + ".previous";
  unlink(previous.c_str());
  const bool kept = link(filePath_.c_str(), previous.c_str()) == 0;
  settings_->sync();
  // A file that could not be read gives a format error, which says nothing
  // about the write.
  const bool written = settings_->status() != QSettings::AccessError &&
                       IniFileIsWhole(filePath_, settings_->allKeys().size());
  if (written) {
    if (kept) unlink(previous.c_str());
    return;
  }
  if (kept) rename(previous.c_str(), filePath_.c_str());
  ReportNotWritten(filePath_);
}

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
  settings_.reset();
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
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error) return false;

  filePath_ = file.string();
  settings_ = std::make_unique<QSettings>(ToQString(filePath_), QSettings::IniFormat);
  return true;
}

bool CSettingsStore::MakeKey(const char* section, const char* entry, std::string& key) {
  if (!IsPlainName(section) || !IsPlainName(entry)) return false;
  key = std::string(section) + "/" + entry;
  return true;
}

bool CSettingsStore::ReadText(const std::string& key, std::string& text) {
  if (!settings_) return false;
  const QVariant value = settings_->value(ToQString(key));
  QString stored;
  switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
      stored = value.toString();
      break;
    case QMetaType::QStringList:
      // An unquoted text with commas (a hand-edited window placement) comes
      // back from the INI reader as a list; it is one value to us.
      stored = value.toStringList().join(QLatin1Char(','));
      break;
    default:
      return false;  // missing, or a typed value no caller writes
  }
  text = stored.toStdString();
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

bool CSettingsStore::Writable() {
  if (!settings_) return false;
  if (settings_->isWritable()) return true;
  ReportNotWritten(filePath_);
  return false;
}

bool CSettingsStore::WriteInt(const char* section, const char* entry, int32_t value) {
  std::string key;
  if (!settings_ || !MakeKey(section, entry, key) || !Writable()) return false;
  changed_ = true;
  settings_->setValue(ToQString(key), QString::number(value));
  return settings_->status() == QSettings::NoError;
}

bool CSettingsStore::WriteString(const char* section, const char* entry, const char* value) {
  if (!Writable()) return false;
  changed_ = true;
  if (entry == nullptr) {
    // The whole section, with every value in it.
    if (!IsPlainName(section)) return false;
    settings_->remove(QString::fromUtf8(section));
    return settings_->status() == QSettings::NoError;
  }
  std::string key;
  if (!MakeKey(section, entry, key)) return false;
  if (value == nullptr) {
    settings_->remove(ToQString(key));
  } else {
    settings_->setValue(ToQString(key), QString::fromUtf8(value));
  }
  return settings_->status() == QSettings::NoError;
}

bool OpenProgramSettings(CSettingsStore& store) {
  return store.OpenSoftwareKey(kSettingsCurrentUser) &&
         store.Open(kSettingsCompany, kSettingsApplication);
}
