// The open and save file dialogs: Qt's own dialog (never the desktop's
// native one), with filters given as pairs of description and pattern list.
// Tests answer the dialog through fileDialogHook instead of showing it.
#pragma once

#include <QStringList>
#include <cstddef>
#include <string>

class QFileDialog;
class QWidget;

// One entry of a dialog's filter: the text shown and the patterns it
// selects, separated by ";" ("*.egf;*.vgf;").
struct FileDialogFilter {
  const char* description;
  const char* pattern;
};

// What the dialog is asked to show.
struct FileDialogRequest {
  bool save = false;
  QStringList nameFilters;  // in Qt's "description (patterns)" form
  QString defaultSuffix;    // without the dot; empty for none
  QString initialName;
  // Where a hook may store the index of the filter its name was typed
  // under; the dialog starts with the first one (0) selected.
  int* selectedFilter = nullptr;
};

// When set, answers every dialog instead of showing it: returns false for
// a cancel, or true with the path typed in *path. A save name typed without
// a plausible extension gets the one of the selected filter, as the dialog
// does.
inline bool (*fileDialogHook)(const FileDialogRequest& request, std::string* path) = nullptr;

// Qt's name filter for one pair: the description followed by the patterns
// in parentheses, blank-separated.
QString FileDialogNameFilter(const FileDialogFilter& filter);

// Makes Qt's own (not native) file dialog show its file list's sizes and
// dates in the interface language's locale; its words follow Qt's
// translation of that language.
void ShowFilesInInterfaceLocale(QFileDialog& dialog);

// Runs the open (save false) or save dialog modally over `parent`. Each
// filter shows its description alone; the first filter is selected. A save
// name typed without a plausible extension (after its last dot, one to four
// ASCII letters and digits; a trailing dot is dropped) gets the one of the
// filter selected when it is accepted, or `defaultExtension` (a leading "." is ignored, null for
// none) when that filter has no single extension; `initialName` is the
// name the dialog starts with (empty for none). Returns true with the
// chosen path in *path (in the file system's 8-bit encoding), false on
// cancel. The dialog opens at the size it was last left at in this run
// (open and save alike).
bool RunFileDialog(QWidget* parent, bool save, const FileDialogFilter* filters, size_t count,
                   const char* defaultExtension, const QString& initialName, std::string* path);
