// Temporary file beside the target, renamed over it once complete.
#include "game/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "game/regular_file.h"

namespace {

// The temporary files of a target are "<folder>/.<name>.<8 hex digits>.tmp"
// (the name cut to 200 bytes, to leave room for the rest within a name's
// 255 bytes). A save holds an exclusive lock on its temporary file until it
// is renamed or removed, so a file of that pattern that nobody locks was
// left by a save that was killed part-way.
constexpr size_t kTemporaryNameLength = 200;
constexpr size_t kTemporarySuffixLength = 13;  // ".XXXXXXXX.tmp"

void SplitTarget(const std::string& target, std::string& folder, std::string& name) {
  const size_t slash = target.rfind('/');
  folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  name = slash == std::string::npos ? target : target.substr(slash + 1);
  if (name.size() > kTemporaryNameLength) name.resize(kTemporaryNameLength);
}

bool IsTemporaryName(const char* entry, const std::string& name) {
  const size_t length = std::strlen(entry);
  if (length != 1 + name.size() + kTemporarySuffixLength || entry[0] != '.' ||
      std::memcmp(entry + 1, name.data(), name.size()) != 0) {
    return false;
  }
  const char* suffix = entry + 1 + name.size();
  if (suffix[0] != '.' || std::strcmp(suffix + 9, ".tmp") != 0) return false;
  for (int i = 1; i <= 8; ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(suffix[i]))) return false;
  }
  return true;
}

// Removes the temporary files of the target that earlier saves left: only
// regular files of the pattern that no running save holds. A link of that
// name is left alone and never followed.
void RemoveLeftoverTemporaries(const std::string& target) {
  std::string folder, name;
  SplitTarget(target, folder, name);
  const int dirFd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return;
  DIR* dir = fdopendir(dirFd);
  if (dir == nullptr) {
    close(dirFd);
    return;
  }
  while (const dirent* entry = readdir(dir)) {
    if (!IsTemporaryName(entry->d_name, name)) continue;
    const int fd = openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat opened, named;
    // Still the file of that name once locked (not renamed or replaced
    // meanwhile), and a regular file.
    if (fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
      unlinkat(dirFd, entry->d_name, 0);
    }
    close(fd);
  }
  closedir(dir);
}

// True when the name still leads to the file open at fd.
bool NameLeadsTo(const std::string& name, int fd) {
  struct stat opened, named;
  return fstat(fd, &opened) == 0 && lstat(name.c_str(), &named) == 0 &&
         named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

// Creates a new temporary file for the target, exclusively and never
// through a link, and locks it. The file is created with mode 0666 so the
// process's umask (and a default ACL of the folder) applies exactly as for
// fopen. Between its creation and its lock another save's clean-up may take
// it for a leftover and remove it: a file that is then locked elsewhere or
// no longer under its name is given up for a new one. Returns the locked
// descriptor, or -1 with temporary empty.
int CreateTemporary(const std::string& target, std::string& temporary) {
  std::string folder, name;
  SplitTarget(target, folder, name);
  static std::atomic<uint32_t> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const uint64_t clock =
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    uint64_t mix = (static_cast<uint64_t>(getpid()) << 32) ^ clock ^
                   (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    mix ^= mix >> 29;
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<uint32_t>(mix ^ (mix >> 32)));
    temporary.assign(folder).append(".").append(name).append(suffix);
    const int fd =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno != EEXIST) break;
      continue;
    }
    if (AtomicFile::momentHook != nullptr)
      AtomicFile::momentHook(AtomicFile::Moment::kCreated, temporary.c_str());
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && NameLeadsTo(temporary, fd)) return fd;
    close(fd);  // the clean-up that holds it or removed it has it
  }
  temporary.clear();
  return -1;
}

// Copies the bytes of `from` into the new file `to`, made exclusively; -1
// with errno EEXIST when `to` exists, 0 on success, -1 otherwise (nothing
// left behind).
int CopyToNewFile(const char* from, const char* to) {
  const int in = open(from, O_RDONLY | O_CLOEXEC);
  if (in < 0) return -1;
  const int out = open(to, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (out < 0) {
    const int error = errno;
    close(in);
    errno = error;
    return -1;
  }
  bool ok = true;
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(in, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    for (ssize_t done = 0; ok && done < n;) {
      const ssize_t w = write(out, buffer + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      ok = w > 0;
      if (ok) done += w;
    }
    if (!ok) break;
  }
  close(in);
  if (ok) ok = fsync(out) == 0;
  if (close(out) != 0) ok = false;
  if (!ok) {
    unlink(to);
    errno = EIO;
    return -1;
  }
  return 0;
}

}  // namespace

std::string KeepFileCopy(const char* path) {
  if (path == nullptr || path[0] == '\0') return {};
  for (int n = 1; n <= 99; ++n) {
    std::string name = std::string(path) + ".damaged";
    if (n > 1) name.append(".").append(std::to_string(n));
    // A second link to the file (the one a symbolic link leads to), so
    // that the rename of the next save leaves it as it is now.
    if (linkat(AT_FDCWD, path, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return name;
    if (errno == EEXIST) continue;
    if (CopyToNewFile(path, name.c_str()) == 0) return name;
    if (errno != EEXIST) return {};
  }
  return {};
}

void IgnoreFileSizeLimitSignal() { signal(SIGXFSZ, SIG_IGN); }

bool AtomicFile::Open(const char* path) {
  Abandon();
  if (path == nullptr || path[0] == '\0') return false;
  std::string target = path;
  struct stat st;
  bool exists = lstat(path, &st) == 0;
  if (exists && S_ISLNK(st.st_mode)) {
    // Replace the file the link leads to and keep the link; a link that
    // leads nowhere is replaced itself.
    exists = false;
    if (char* resolved = realpath(path, nullptr)) {
      target = resolved;
      std::free(resolved);
      exists = stat(target.c_str(), &st) == 0;
    }
  }
  if (exists && !S_ISREG(st.st_mode)) {
    // Written in place; a pipe that nobody reads fails at once.
    file_ = OpenFileWithoutWaiting(target.c_str(), "wb");
    return file_ != nullptr;
  }
  // A file that may not be written is not replaced either (rename would
  // need only the folder's permission).
  if (exists && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;

  RemoveLeftoverTemporaries(target);
  const int fd = CreateTemporary(target, temporary_);
  if (fd < 0) return false;
  bool ready = true;
  if (exists) {
    // The owner first: changing it may clear set-id bits that the mode
    // then puts back. Only a privileged process can give the file away, so
    // a refusal is expected and harmless; a mode that cannot be kept is not.
    const int ownerKept = fchown(fd, st.st_uid, st.st_gid);
    (void)ownerKept;
    ready = fchmod(fd, st.st_mode & 07777) == 0;
  }
  if (ready) lock_ = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (lock_ >= 0) file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    close(fd);
    Release();
    return false;
  }
  target_ = target;
  return true;
}

bool AtomicFile::Commit() {
  if (file_ == nullptr) return false;
  std::FILE* file = file_;
  file_ = nullptr;
  bool ok = std::fflush(file) == 0 && std::ferror(file) == 0;
  // On the disk before the rename, so that a crash leaves the old file or
  // the new one, never an empty one.
  if (ok && !temporary_.empty()) ok = fsync(fileno(file)) == 0;
  if (std::fclose(file) != 0) ok = false;
  if (temporary_.empty()) return ok;
  // The lock is still held here: another save's clean-up leaves the file.
  if (ok && momentHook != nullptr) momentHook(Moment::kClosed, temporary_.c_str());
  if (ok) ok = std::rename(temporary_.c_str(), target_.c_str()) == 0;
  if (ok) temporary_.clear();  // renamed: nothing to remove
  Release();
  return ok;
}

void AtomicFile::Abandon() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  Release();
}

// Removes the temporary file (unless renamed), then lets go of its lock.
void AtomicFile::Release() {
  if (!temporary_.empty()) unlink(temporary_.c_str());
  if (lock_ >= 0) close(lock_);
  lock_ = -1;
  temporary_.clear();
  target_.clear();
}
