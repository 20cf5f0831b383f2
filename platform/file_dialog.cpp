#include "platform/file_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace {

// The name as the dialog gives it back: the default suffix added when the
// file name has no extension of its own.
QString WithDefaultSuffix(const QString& name, const QString& suffix) {
  if (suffix.isEmpty() || name.isEmpty()) return name;
  const QString file = QFileInfo(name).fileName();
  if (file.lastIndexOf('.') > 0) return name;
  return name + '.' + suffix;
}

}  // namespace

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
  for (size_t i = 0; i < count; ++i) request.nameFilters << FileDialogNameFilter(filters[i]);
  QString suffix = QString::fromLatin1(defaultExtension != nullptr ? defaultExtension : "");
  while (suffix.startsWith('.')) suffix.remove(0, 1);
  request.defaultSuffix = suffix;
  request.initialName = initialName;

  QString chosen;
  if (fileDialogHook != nullptr) {
    std::string typed;
    if (!fileDialogHook(request, &typed)) return false;
    chosen = save ? WithDefaultSuffix(QFile::decodeName(typed.c_str()), suffix)
                  : QFile::decodeName(typed.c_str());
  } else {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The descriptions already name their patterns: show them alone.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(request.nameFilters);
    if (!request.nameFilters.isEmpty()) dialog.selectNameFilter(request.nameFilters.first());
    dialog.setDefaultSuffix(suffix);
    if (!request.initialName.isEmpty()) dialog.selectFile(request.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chosen = dialog.selectedFiles().first();
  }
  if (chosen.isEmpty()) return false;
  *path = QFile::encodeName(chosen).toStdString();
  return true;
}
