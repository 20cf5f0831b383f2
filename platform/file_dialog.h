// The open and save file dialogs: Qt's own dialog (never the desktop's
// native one), with filters given as pairs of description and pattern list.
// Tests answer the dialog through fileDialogHook instead of showing it.
#pragma once

#include <QStringList>
#include <cstddef>
#include <string>

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
};

// When set, answers every dialog instead of showing it: returns false for
// a cancel, or true with the path typed in *path. The default suffix is
// added to a typed name without an extension, as the dialog does.
inline bool (*fileDialogHook)(const FileDialogRequest& request, std::string* path) = nullptr;

// Qt's name filter for one pair: the description followed by the patterns
// in parentheses, blank-separated.
QString FileDialogNameFilter(const FileDialogFilter& filter);

// Runs the open (save false) or save dialog modally over `parent`. Each
// filter shows its description alone; the first filter is selected;
// `defaultExtension` (a leading "." is ignored, null for none) is added to a
// name typed without one; `initialName` is the name the dialog starts with
// (empty for none). Returns true with the chosen path in *path (in the file
// system's 8-bit encoding), false on cancel.
bool RunFileDialog(QWidget* parent, bool save, const FileDialogFilter* filters, size_t count,
                   const char* defaultExtension, const QString& initialName, std::string* path);
