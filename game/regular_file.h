// Opening the user's files: for reading only regular files are opened. A
// named pipe, a device or a socket in place of a book, a learning file or a
// game would block the program in fopen or in the first read for ever (or
// feed it endless bytes), so such a path fails at once like a missing file.
// A file written in place is opened without waiting for a reader.
#pragma once

#include <cstdio>

// fopen(path, mode) for a path that names a regular file (symbolic links
// followed). For the modes that create ("w", "a", with or without "+" and
// "b"), a missing file is created; a "w" mode truncates only after the check.
// Null when path is null, cannot be opened, or names anything but a regular
// file (errno EISDIR for a folder, ENXIO for anything else); the open never
// waits on a pipe or device.
std::FILE* OpenRegularFile(const char* path, const char* mode);

// fopen(path, mode) for any kind of file, except that the open never waits:
// a named pipe that nobody reads fails at once (errno ENXIO) instead of
// blocking until a reader comes. A "w" mode truncates only a regular file.
std::FILE* OpenFileWithoutWaiting(const char* path, const char* mode);
