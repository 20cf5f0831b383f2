// The install directory and the path joiner of the program's data files.
#include "engine/search/data_paths.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>

void SetDefaultInstallDirectory(char* out, size_t outSize) {
  if (out == nullptr || outSize == 0) return;
  out[0] = '\0';
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') {
    JoinPath(xdg, "Vorelk", out, outSize);
    return;
  }
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') {
    char share[kPathBufferSize];
    if (JoinPath(home, ".local/share", share)) JoinPath(share, "Vorelk", out, outSize);
  }
}

namespace {

// Copies text whole into out, or writes the empty text when it does not fit.
bool CopyWhole(const char* text, char* out, size_t outSize) {
  const size_t length = std::strlen(text);
  if (length >= outSize) {
    out[0] = '\0';
    return false;
  }
  std::memcpy(out, text, length + 1);
  return true;
}

// A relative path with a ".." component may lead out of the folder it is
// taken below.
bool HasParentComponent(const char* path) {
  for (const char* p = path; *p != '\0';) {
    const char* end = std::strchr(p, '/');
    const size_t length = end != nullptr ? static_cast<size_t>(end - p) : std::strlen(p);
    if (length == 2 && p[0] == '.' && p[1] == '.') return true;
    p += length;
    if (*p == '/') ++p;
  }
  return false;
}

}  // namespace

int ResolveInstallDirectory(const char* stored, char* out, size_t outSize) {
  if (out == nullptr || outSize == 0) return 0;
  if (stored != nullptr && stored[0] == '/' && CopyWhole(stored, out, outSize)) return 1;
  char base[kPathBufferSize];
  SetDefaultInstallDirectory(base, sizeof base);
  if (stored != nullptr && stored[0] != '\0' && stored[0] != '/' && base[0] != '\0' &&
      !HasParentComponent(stored) && JoinPath(base, stored, out, outSize))
    return 1;
  CopyWhole(base, out, outSize);
  return 0;
}

namespace {

bool IsDirectory(const char* path) {
  struct stat st;
  return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

char installDirectory[kPathBufferSize];

namespace {
const bool installDirectoryDefaulted =
    (SetDefaultInstallDirectory(installDirectory, sizeof installDirectory), true);
}  // namespace

int JoinPath(const char* directory, const char* name, char* out, size_t outSize) {
  if (directory == nullptr || name == nullptr || out == nullptr || outSize == 0) return 0;
  const size_t dirLength = std::strlen(directory);
  const size_t nameLength = std::strlen(name);
  const bool separator = dirLength != 0 && directory[dirLength - 1] != '/';
  const size_t total = dirLength + (separator ? 1 : 0) + nameLength;
  if (total >= outSize) {
    out[0] = '\0';
    return 0;
  }
  // out may be the directory's or the name's own buffer: the name is moved
  // into place first, the directory last.
  std::memmove(out + total - nameLength, name, nameLength + 1);
  if (separator) out[dirLength] = '/';
  std::memmove(out, directory, dirLength);
  return 1;
}

int EnsureInstallDirectory() {
  if (installDirectory[0] == '\0') return 1;
  if (IsDirectory(installDirectory)) return 1;
  // Create every missing folder along the path, parents first.
  char path[kPathBufferSize];
  std::snprintf(path, sizeof path, "%s", installDirectory);
  for (char* p = path + 1; *p != '\0'; ++p) {
    if (*p != '/') continue;
    *p = '\0';
    if (mkdir(path, 0755) != 0 && errno != EEXIST) {
      *p = '/';
      return 0;
    }
    *p = '/';
  }
  if (mkdir(path, 0755) != 0 && errno != EEXIST) return 0;
  return IsDirectory(installDirectory) ? 1 : 0;
}
