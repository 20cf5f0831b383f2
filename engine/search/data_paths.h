// Where the program's data files live: the install directory and the path
// joiner that every data-file path (books, learning files, the autosaved
// game) goes through.
#pragma once

#include <cstddef>

// Size of every path buffer built by JoinPath (terminating NUL included).
constexpr size_t kPathBufferSize = 4096;

// Directory of the program's data files. Until the interface sets it, it
// holds the per-user data folder: $XDG_DATA_HOME/Vorelk, or
// $HOME/.local/share/Vorelk (empty when neither variable is set).
extern char installDirectory[kPathBufferSize];

// Writes the per-user data folder into out (outSize bytes):
// $XDG_DATA_HOME/Vorelk when that variable holds an absolute path, else
// $HOME/.local/share/Vorelk; empty when neither is usable.
void SetDefaultInstallDirectory(char* out, size_t outSize);

// Writes the install directory that the stored setting `stored` names into
// out (outSize bytes): an absolute path as it is; a relative one below the
// per-user data folder (SetDefaultInstallDirectory), so that it never
// depends on the folder the program was started in; the per-user data
// folder itself when the text is empty or the result does not fit, or when
// the text is relative and that folder is unknown or the text has a ".."
// component (it would lead out of that folder). Returns 1 when the stored
// text was used, 0 when the per-user data folder was given instead.
int ResolveInstallDirectory(const char* stored, char* out, size_t outSize);

// Joins a file name to a directory into out (outSize bytes): an empty
// directory gives the name alone; otherwise the directory, a '/' unless it
// already ends with one, then the name. With any argument null nothing is
// written. Returns 1 when the whole path fit; otherwise out holds the empty
// text and 0 is returned, so a cut path can never name another file.
int JoinPath(const char* directory, const char* name, char* out, size_t outSize);
template <size_t N>
inline int JoinPath(const char* directory, const char* name, char (&out)[N]) {
  return JoinPath(directory, name, out, N);
}

// Creates installDirectory and any missing parent folders (the per-user
// data folder is made on demand, before the first file is written there).
// Returns 1 when the directory exists afterwards (or is empty, meaning the
// current directory), 0 otherwise.
int EnsureInstallDirectory();
