// Regular-file opening: the path is opened without blocking, checked with
// fstat on the open descriptor (no window between a check and the open), and
// only then handed to stdio.
#include "game/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// The open(2) flags of an fopen mode, without truncation (done after the
// check); -1 for a mode fopen would refuse.
int OpenFlags(const char* mode) {
  const bool update = std::strchr(mode, '+') != nullptr;
  switch (mode[0]) {
    case 'r':
      return update ? O_RDWR : O_RDONLY;
    case 'w':
      return (update ? O_RDWR : O_WRONLY) | O_CREAT;
    case 'a':
      return (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    default:
      return -1;
  }
}

// Opens path without blocking, refuses anything but a regular file when
// regularOnly, then hands the descriptor to stdio in blocking mode.
std::FILE* OpenWithoutBlocking(const char* path, const char* mode, bool regularOnly) {
  if (path == nullptr || mode == nullptr) {
    errno = EINVAL;
    return nullptr;
  }
  const int flags = OpenFlags(mode);
  if (flags < 0) {
    errno = EINVAL;
    return nullptr;
  }
  // O_NONBLOCK: opening a pipe (or a device) returns at once.
  const int fd = open(path, flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  struct stat st;
  int error = 0;
  if (fstat(fd, &st) != 0) {
    error = errno;
  } else if (regularOnly && !S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
  } else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    error = errno;
  } else if (mode[0] == 'w' && S_ISREG(st.st_mode) && ftruncate(fd, 0) != 0) {
    error = errno;
  }
  std::FILE* file = error == 0 ? fdopen(fd, mode) : nullptr;
  if (file == nullptr) {
    if (error == 0) error = errno;
    close(fd);
    errno = error;
  }
  return file;
}

}  // namespace

std::FILE* OpenRegularFile(const char* path, const char* mode) {
  return OpenWithoutBlocking(path, mode, true);
}

std::FILE* OpenFileWithoutWaiting(const char* path, const char* mode) {
  return OpenWithoutBlocking(path, mode, false);
}
