// The file-system seam of the program. Everything in the core that touches the disk goes through
// a FileSystem, so that a test can hand in a FileSystemWrapper that fails one call on purpose
// (a full disk after N bytes, a refused rename) and every error branch is exercised.
//
// Paths are plain byte strings with "/" as separator. Calls never follow a symbolic link unless
// they say so. All methods may be called from any thread at the same time; an object that is
// returned (a file) belongs to the caller and is used by one thread at a time.
#ifndef ZARNOFT_PLATFORM_FILE_SYSTEM_H_
#define ZARNOFT_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zarnoft {

// A moment as the file system keeps it: seconds and nanoseconds since 1970-01-01 UTC.
struct FileTime {
  int64_t sec = 0;
  int64_t nsec = 0;
  friend bool operator==(const FileTime&, const FileTime&) = default;
  friend auto operator<=>(const FileTime&, const FileTime&) = default;
};

enum class EntryKind { kFile, kDirectory, kSymlink, kSpecial };

// One directory entry, as lstat() sees it: a symbolic link is reported as a link, never as what
// it points to. kSpecial covers sockets, FIFOs and device files.
struct FileInfo {
  std::string name;  // the last path element only
  EntryKind kind = EntryKind::kFile;
  int64_t size = 0;
  FileTime mtime;     // last write
  FileTime atime;     // last access
  FileTime ctime;     // last status change
  uint32_t mode = 0;  // permission bits (07777)

  bool IsDirectory() const { return kind == EntryKind::kDirectory; }
};

class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // Reads up to n bytes. Sets *got to the number read (0 at the end). False on a read error.
  virtual bool Read(char* buf, size_t n, size_t* got) = 0;
  // The file's current size, or -1 when it cannot be read.
  virtual int64_t Size() = 0;
  // The descriptor, for kernel-side copies; -1 when the file has none (fakes).
  virtual int Descriptor() const { return -1; }
};

class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // Writes all n bytes or fails.
  virtual bool Write(const char* data, size_t n) = 0;
  // Flushes to the disk (fsync). Needed before a rename makes the file visible under its name.
  virtual bool Sync() = 0;
  // Closes the file; false when the last writes could not be completed. A file that is
  // destroyed without Close() is closed silently.
  virtual bool Close() = 0;
  virtual int Descriptor() const { return -1; }
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The process-wide POSIX file system. Never destroyed.
  static FileSystem* Default();

  // Lists a directory without "." and "..". False when it cannot be opened or read; *out then
  // holds what was read before the failure.
  virtual bool ListDirectory(const std::string& dir, std::vector<FileInfo>* out) = 0;

  // lstat(): information on the path itself. False when it does not exist or cannot be queried.
  // info->name is the last path element.
  virtual bool Stat(const std::string& path, FileInfo* info) = 0;

  // True when path is a directory (after following links) that this process may enter.
  // Never changes the current directory, which all threads share.
  virtual bool IsEnterableDirectory(const std::string& path) = 0;

  // Permission bits. SetMode on a symbolic link does nothing and succeeds.
  virtual bool GetMode(const std::string& path, uint32_t* mode) = 0;
  virtual bool SetMode(const std::string& path, uint32_t mode) = 0;

  // Sets the last-write time (the access time is left as it is); does not follow a link.
  virtual bool SetModificationTime(const std::string& path, FileTime t) = 0;

  // Removes a file or a symbolic link (never a directory).
  virtual bool DeleteFile(const std::string& path) = 0;

  // Renames; fails when `to` exists (so nothing is ever overwritten by it).
  virtual bool RenameNoReplace(const std::string& from, const std::string& to) = 0;
  // Renames, replacing `to` atomically. Used to put a finished temporary file in place.
  virtual bool RenameReplace(const std::string& from, const std::string& to) = 0;

  // One level each. CreateDirectory gives the new directory the mode 0777 less the umask.
  virtual bool CreateDirectory(const std::string& path) = 0;
  virtual bool RemoveDirectory(const std::string& path) = 0;

  // Opens for reading. Fails for directories, FIFOs and other non-regular files (a FIFO would
  // block). Follows no link.
  virtual std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) = 0;

  // Creates a new file that must not exist yet (O_EXCL), with the given permission bits.
  virtual std::unique_ptr<WritableFile> CreateExclusive(const std::string& path, uint32_t mode) = 0;

  // Opens for appending; creates the file (mode 0666 less the umask) only when `create` is set.
  virtual std::unique_ptr<WritableFile> OpenForAppend(const std::string& path, bool create) = 0;

  // Creates or truncates a file to zero length.
  virtual std::unique_ptr<WritableFile> CreateTruncate(const std::string& path) = 0;

  // Symbolic links: the stored link text, and a new link holding `target`.
  virtual bool ReadLink(const std::string& path, std::string* target) = 0;
  virtual bool CreateSymlink(const std::string& target, const std::string& path) = 0;

  // The canonical absolute path with every link resolved; false when it does not exist.
  virtual bool RealPath(const std::string& path, std::string* out) = 0;

  // Copies up to n bytes from the current position of `from` to `to`. *copied is set to what
  // was copied (less than n only at the end of the source). False on a read or write error.
  // The default reads and writes through a bounded buffer; the POSIX file system uses
  // copy_file_range where the kernel offers it.
  virtual bool CopyData(ReadableFile* from, WritableFile* to, uint64_t n, uint64_t* copied);

  // Convenience: whole small files, for settings files and tests.
  bool ReadWholeFile(const std::string& path, std::string* out, size_t limit = SIZE_MAX);
};

// Forwards every call to another FileSystem. A test derives from it and overrides the one call
// that shall fail.
class FileSystemWrapper : public FileSystem {
 public:
  explicit FileSystemWrapper(FileSystem* target) : target_(target) {}
  FileSystem* target() const { return target_; }

  bool ListDirectory(const std::string& d, std::vector<FileInfo>* o) override {
    return target_->ListDirectory(d, o);
  }
  bool Stat(const std::string& p, FileInfo* i) override { return target_->Stat(p, i); }
  bool IsEnterableDirectory(const std::string& p) override {
    return target_->IsEnterableDirectory(p);
  }
  bool GetMode(const std::string& p, uint32_t* m) override { return target_->GetMode(p, m); }
  bool SetMode(const std::string& p, uint32_t m) override { return target_->SetMode(p, m); }
  bool SetModificationTime(const std::string& p, FileTime t) override {
    return target_->SetModificationTime(p, t);
  }
  bool DeleteFile(const std::string& p) override { return target_->DeleteFile(p); }
  bool RenameNoReplace(const std::string& f, const std::string& t) override {
    return target_->RenameNoReplace(f, t);
  }
  bool RenameReplace(const std::string& f, const std::string& t) override {
    return target_->RenameReplace(f, t);
  }
  bool CreateDirectory(const std::string& p) override { return target_->CreateDirectory(p); }
  bool RemoveDirectory(const std::string& p) override { return target_->RemoveDirectory(p); }
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& p) override {
    return target_->OpenForReading(p);
  }
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& p, uint32_t m) override {
    return target_->CreateExclusive(p, m);
  }
  std::unique_ptr<WritableFile> OpenForAppend(const std::string& p, bool c) override {
    return target_->OpenForAppend(p, c);
  }
  std::unique_ptr<WritableFile> CreateTruncate(const std::string& p) override {
    return target_->CreateTruncate(p);
  }
  bool ReadLink(const std::string& p, std::string* t) override { return target_->ReadLink(p, t); }
  bool CreateSymlink(const std::string& t, const std::string& p) override {
    return target_->CreateSymlink(t, p);
  }
  bool RealPath(const std::string& p, std::string* o) override { return target_->RealPath(p, o); }
  bool CopyData(ReadableFile* f, WritableFile* t, uint64_t n, uint64_t* c) override {
    return target_->CopyData(f, t, n, c);
  }

 private:
  FileSystem* target_;
};

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_FILE_SYSTEM_H_
