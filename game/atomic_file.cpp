// Temporary file beside the target, renamed over it once complete.
#include "game/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>

#include "game/regular_file.h"

namespace {

// Creates "<folder>/.<name>.<8 hex digits>.tmp" for the target, exclusively.
// The file is created with mode 0666 so the process's umask (and a default
// ACL of the folder) applies exactly as for fopen. Returns the descriptor,
// or -1 with temporary empty.
int CreateTemporary(const std::string& target, std::string& temporary) {
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  if (name.size() > 200) name.resize(200);  // room for the suffix within a name's 255 bytes
  static std::atomic<uint32_t> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const uint64_t clock =
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    uint64_t mix = (static_cast<uint64_t>(getpid()) << 32) ^ clock ^
                   (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    mix ^= mix >> 29;
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<uint32_t>(mix ^ (mix >> 32)));
    temporary = folder + "." + name + suffix;
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
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
  const int out = open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
    if (n > 1) name += "." + std::to_string(n);
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
  if (ready) file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    close(fd);
    unlink(temporary_.c_str());
    temporary_.clear();
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
  if (ok) ok = std::rename(temporary_.c_str(), target_.c_str()) == 0;
  if (!ok) unlink(temporary_.c_str());
  temporary_.clear();
  target_.clear();
  return ok;
}

void AtomicFile::Abandon() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
  target_.clear();
}
