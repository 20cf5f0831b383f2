// Saving a file so that a failed save leaves the previous file as it was.
// The bytes go to a temporary file in the target's folder, which is renamed
// over the target only once everything was written, flushed and closed
// without an error; otherwise the temporary file is removed.
//
//   AtomicFile out;
//   if (!out.Open(path)) return cannot-create;
//   ... std::fwrite(..., out.file()) ...
//   return out.Commit() ? ok : write-error;
#pragma once

#include <cstdio>
#include <string>

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile() { Abandon(); }  // unless committed, the target stays as it was
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Opens a new temporary file beside path for writing (binary, like "wb"),
  // "<folder>/.<name>.<8 hex digits>.tmp", created new and exclusive (never
  // through a link planted at its name); temporary files of that pattern
  // that earlier saves left (killed part-way) are removed first.
  // A symbolic link is followed, so the file it leads to is replaced. A new
  // file gets the mode fopen would give it; an existing one keeps its mode
  // and owner. An existing target that is not a regular file (a device, a
  // pipe) cannot be replaced and is written directly (a pipe only while
  // something reads it: the open never waits for a reader). Returns false, with
  // nothing created, when the file cannot be created or the existing one
  // may not be written.
  bool Open(const char* path);
  // The stream to write to; null when not open.
  std::FILE* file() const { return file_; }
  // Flushes the stream, syncs it to the disk, closes it and renames the
  // temporary file over the target. Returns false when any step failed (or
  // the stream had an error); the target is then as it was and the
  // temporary file is gone.
  bool Commit();
  // Closes and removes the temporary file; the target stays as it was.
  void Abandon();

  // The moments of a save at which another save of the same file (another
  // copy of the program) could take the temporary file for a leftover: just
  // created and not locked yet, and written and closed but not renamed yet.
  enum class Moment { kCreated, kClosed };
  // For tests: called at those moments with the temporary file's name, so
  // that a test can start another save there. Null in the program.
  static inline void (*momentHook)(Moment, const char* temporary) = nullptr;

 private:
  void Release();

  std::FILE* file_ = nullptr;
  // A second descriptor of the temporary file that holds its lock from its
  // creation until it has been renamed or removed: closing the stream alone
  // would release the lock before the rename.
  int lock_ = -1;
  std::string target_;
  std::string temporary_;  // empty when the target is written directly
};

// Keeps a copy of the file at path beside it before it is written over:
// "<path>.damaged", or "<path>.damaged.2" up to ".damaged.99" when the names
// before are taken (nothing kept earlier is replaced). The copy is a second
// name for the same file where the file system allows it, else a copy of its
// bytes. Returns the name kept, empty when no copy could be made.
std::string KeepFileCopy(const char* path);

// A write beyond the process's file size limit (ulimit -f) then fails with
// an error, as on a full disk, instead of ending the program with SIGXFSZ.
// Called once at start-up.
void IgnoreFileSizeLimitSignal();
