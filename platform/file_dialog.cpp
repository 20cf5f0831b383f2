#include "platform/file_dialog.h"

#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <QTreeView>
#include <algorithm>

#include "platform/qt_translations.h"

namespace {

// QFileSystemModel's columns: name, size, type, date modified.
constexpr int kNameColumn = 0;
constexpr int kSizeColumn = 1;
constexpr int kDateColumn = 3;

// Qt's file model writes sizes and dates in the system's locale, whatever
// the program's; this shows them in the interface language's locale
// (QLocale's default, set with the language).
class InterfaceLocaleFileList : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || files == nullptr) return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    if (index.column() == kSizeColumn && source.isValid() && !files->isDir(source)) {
      return QLocale().formattedDataSize(files->size(source));
    }
    if (index.column() == kDateColumn && source.isValid()) {
      return ShortDateTimeText(files->lastModified(source));
    }
    return QIdentityProxyModel::data(index, role);
  }
};

// Whether the text after the last dot of a file name reads as an
// extension: one to four ASCII letters and digits. "Wang T. - Hu R" has
// none.
bool IsPlausibleExtension(const QString& text) {
  if (text.isEmpty() || text.size() > 4) return false;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    const bool alnum = (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
    if (!alnum) return false;
  }
  return true;
}

// The name as the save dialog gives it back: the suffix added when the file
// name has no plausible extension of its own (a trailing dot is dropped
// first, so "nm." becomes "nm.egf").
QString WithSaveSuffix(const QString& name, const QString& suffix) {
  if (suffix.isEmpty() || name.isEmpty()) return name;
  const QString file = QFileInfo(name).fileName();
  if (file.isEmpty() || file == QLatin1String(".") || file == QLatin1String("..")) return name;
  const qsizetype dot = file.lastIndexOf('.');
  if (dot > 0 && IsPlausibleExtension(file.mid(dot + 1))) return name;
  QString fixed = name;
  if (dot > 0 && dot == file.size() - 1) fixed.chop(1);
  return fixed + '.' + suffix;
}

// The save dialog: a name typed without a plausible extension gets the
// extension of the filter selected when it is accepted (the default one for
// a filter that has no single extension), so that the overwrite question
// and the path given back name the file that is written. Qt's own default
// suffix is added only to names without any dot.
class SaveFileDialog : public QFileDialog {
 public:
  SaveFileDialog(QWidget* parent, const QStringList& suffixes)
      : QFileDialog(parent), suffixes_(suffixes) {}

  void accept() override {
    // The selected filter as the list shows it: with its patterns, or by
    // its description alone when the patterns are hidden.
    const QString selected = selectedNameFilter();
    const QStringList filters = nameFilters();
    for (qsizetype i = 0; i < filters.size() && i < suffixes_.size(); ++i) {
      const QString& filter = filters[i];
      if (selected == filter || selected == filter.left(filter.lastIndexOf(QLatin1String(" (")))) {
        setDefaultSuffix(suffixes_[i]);
        break;
      }
    }
    const QStringList files = selectedFiles();
    if (!files.isEmpty() && !QFileInfo(files.first()).isDir()) {
      const QString fixed = WithSaveSuffix(files.first(), defaultSuffix());
      if (fixed != files.first()) {
        // selectFile leaves the name field alone while it has the focus.
        auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name != nullptr) name->clearFocus();
        selectFile(fixed);
        if (name != nullptr) name->setFocus();
      }
    }
    QFileDialog::accept();
  }

 private:
  QStringList suffixes_;
};

// The extension a name typed under `filter` gets: the filter's one
// extension, or defaultSuffix when it has none or several.
QString SaveSuffix(const FileDialogFilter& filter, const QString& defaultSuffix) {
  const QStringList patterns = QString::fromLatin1(filter.pattern).split(';', Qt::SkipEmptyParts);
  if (patterns.size() != 1) return defaultSuffix;
  const QString pattern = patterns.first().trimmed();
  const QString suffix = pattern.mid(2);
  const bool plain = pattern.startsWith(QLatin1String("*.")) && !suffix.isEmpty() &&
                     !suffix.contains('*') && !suffix.contains('?');
  return plain ? suffix : defaultSuffix;
}

}  // namespace

void ShowFilesInInterfaceLocale(QFileDialog& dialog) {
  dialog.setProxyModel(new InterfaceLocaleFileList(&dialog));
  // The size and date columns are as wide as the longest size and date
  // texts of the locale: at Qt's default widths "442 bytes" showed as
  // "442...tes" and French dates lost their year.
  auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  if (details == nullptr) return;
  const QFontMetrics metrics(details->font());
  int widestSize = 0;
  for (qint64 bytes : {qint64{1023}, qint64{1023} << 10, qint64{1023} << 20, qint64{1023} << 30})
    widestSize =
        std::max(widestSize, metrics.horizontalAdvance(QLocale().formattedDataSize(bytes)));
  // Two-digit days, months and hours, in the morning and in the afternoon
  // (month names where the locale writes them).
  int widestDate = 0;
  for (int month = 1; month <= 12; ++month) {
    for (int hour : {10, 22}) {
      const QDateTime time(QDate(2000, month, 28), QTime(hour, 58));
      widestDate = std::max(widestDate, metrics.horizontalAdvance(ShortDateTimeText(time)));
    }
  }
  const int margins = 2 * details->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 12;
  QHeaderView* header = details->header();
  header->resizeSection(kSizeColumn,
                        std::max(header->sectionSize(kSizeColumn), widestSize + margins));
  header->resizeSection(kDateColumn,
                        std::max(header->sectionSize(kDateColumn), widestDate + margins));
  // The name column, not the last one, takes the width the list has or
  // lacks: the date stays whole in view when the list's scroll bar takes
  // its width or the dialog is narrow.
  header->setStretchLastSection(false);
  header->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
}

QString FileDialogNameFilter(const FileDialogFilter& filter) {
  QStringList patterns;
  for (const QString& p : QString::fromLatin1(filter.pattern).split(';', Qt::SkipEmptyParts))
    patterns << p.trimmed();
  return QString::fromLatin1(filter.description).trimmed() + " (" + patterns.join(' ') + ')';
}

bool RunFileDialog(QWidget* parent, bool save, const FileDialogFilter* filters, size_t count,
                   const char* defaultExtension, const QString& initialName, std::string* path) {
  FileDialogRequest request;
  request.save = save;
  QString suffix = QString::fromLatin1(defaultExtension != nullptr ? defaultExtension : "");
  while (suffix.startsWith('.')) suffix.remove(0, 1);
  QStringList suffixes;  // what a name typed under each filter gets
  for (size_t i = 0; i < count; ++i) {
    request.nameFilters << FileDialogNameFilter(filters[i]);
    suffixes << SaveSuffix(filters[i], suffix);
  }
  request.defaultSuffix = suffix;
  request.initialName = initialName;

  QString chosen;
  if (fileDialogHook != nullptr) {
    std::string typed;
    int selected = 0;
    request.selectedFilter = &selected;
    if (!fileDialogHook(request, &typed)) return false;
    chosen = QFile::decodeName(typed.c_str());
    if (save) chosen = WithSaveSuffix(chosen, suffixes.value(selected, suffix));
  } else {
    SaveFileDialog dialog(parent, save ? suffixes : QStringList());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    ShowFilesInInterfaceLocale(dialog);
    // The descriptions already name their patterns: show them alone.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(request.nameFilters);
    if (!request.nameFilters.isEmpty()) dialog.selectNameFilter(request.nameFilters.first());
    dialog.setDefaultSuffix(save ? suffixes.value(0, suffix) : QString());
    if (!request.initialName.isEmpty()) dialog.selectFile(request.initialName);
    // The dialog comes back at the size it was last left at in this run.
    static QSize lastSize;
    if (lastSize.isValid()) dialog.resize(lastSize);
    const int result = dialog.exec();
    lastSize = dialog.size();
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chosen = dialog.selectedFiles().first();
  }
  if (chosen.isEmpty()) return false;
  *path = QFile::encodeName(chosen).toStdString();
  return true;
}
