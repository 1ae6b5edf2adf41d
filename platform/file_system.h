// The file-system seam of the program. Everything in the core that touches the disk goes through
// a FileSystem, so that a test can hand in a FileSystemWrapper that fails one call on purpose
// (a full disk after N bytes, a refused rename) and every error branch is exercised.
//
// Paths are plain byte strings with "/" as separator. Calls never follow a symbolic link unless
// they say so, and each that can fail says why (platform/status.h). All methods may be called
// from any thread at the same time; an object that is returned (a file) belongs to the caller and
// is used by one thread at a time.
#ifndef ZARNOFT_PLATFORM_FILE_SYSTEM_H_
#define ZARNOFT_PLATFORM_FILE_SYSTEM_H_

#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/status.h"

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
  FileTime mtime;       // last write
  FileTime atime;       // last access
  FileTime ctime;       // last status change
  uint32_t mode = 0;    // permission bits (07777)
  uint32_t uid = 0;     // owner
  uint32_t gid = 0;     // group
  uint64_t device = 0;  // with `inode`, which file this is, whatever path led to it
  uint64_t inode = 0;

  bool IsDirectory() const { return kind == EntryKind::kDirectory; }
};

// Where a directory lies: its device, and the path by which this process reaches it without a
// bind mount that shows a part of a file system elsewhere, where such a path exists. A directory
// shown by a bind mount and the directory it shows have the same location; so do two paths
// through links. Found by device and inode, so also right inside a chroot or a container.
struct FsLocation {
  uint64_t device = 0;
  std::string path;  // begins with "/"
};

class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // Reads up to n bytes. Sets *got to the number read (0 at the end).
  virtual Status Read(char* buf, size_t n, size_t* got) = 0;
  // The file's current size, or -1 when it cannot be read.
  virtual int64_t Size() = 0;
  // The descriptor, for kernel-side copies; -1 when the file has none (fakes).
  virtual int Descriptor() const { return -1; }
  // Whether the file takes less room on the disk than its size says (it has holes), so that a
  // copy should look for them.
  virtual bool MayHaveHoles() const { return false; }
  // What the file was when it was opened (its kind, size, dates and identity), so that a copy
  // need not look it up by name again; false when the file cannot tell (fakes).
  virtual bool InfoAtOpen(FileInfo* /*info*/) const { return false; }
};

class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // Writes all n bytes or fails.
  virtual Status Write(const char* data, size_t n) = 0;
  // Flushes to the disk (fsync). Needed before a rename makes the file visible under its name.
  virtual Status Sync() = 0;
  // Closes the file; fails when the last writes could not be completed. A file that is
  // destroyed without Close() is closed silently.
  virtual Status Close() = 0;
  virtual int Descriptor() const { return -1; }
  // Owner and permission bits set through the open file, with no look-up by name. ENOTSUP when
  // the file cannot (fakes): the caller then sets them by name.
  virtual Status SetOwner(uint32_t /*uid*/, uint32_t /*gid*/) { return Status::FromErrno(ENOTSUP); }
  virtual Status SetMode(uint32_t /*mode*/) { return Status::FromErrno(ENOTSUP); }
};

// A directory held open as the root of a run's paths (FileSystem::HoldRoot). Releasing it ends
// the hold.
class RootHold {
 public:
  virtual ~RootHold() = default;
};

// Every call that can fail says why (Status): whether the thing was not there or the call failed,
// with the system's reason. Calls that open a file return nullptr on failure and, when `status`
// is given, put the reason there.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The process-wide POSIX file system. Never destroyed.
  static FileSystem* Default();

  // Opens the directory `dir` (its own path may pass through links the user chose) and holds it
  // as a root until the hold is destroyed. Meanwhile every call on this thread whose path lies
  // beneath `dir` resolves the rest of the path from the directory held, never through a link,
  // never above it, and acts on the last element through its parent directory's descriptor; a
  // path with ".." beneath it is refused. A directory that a listing or a creation saw is
  // remembered by device and inode: a call through it once it is a link or another directory
  // fails with Status::Replaced(), and touches nothing. Holds nest: the innermost root that
  // contains a path is the one it is resolved from. The hold belongs to the thread that took it
  // and is destroyed there. nullptr when `dir` cannot be opened; the default holds nothing.
  virtual std::unique_ptr<RootHold> HoldRoot(const std::string& dir, Status* status = nullptr);

  // Lists a directory without "." and "..". Fails when it cannot be opened or read, or when an
  // entry that it names cannot be queried (so that a listing never silently lacks an entry);
  // *out then holds what was read before the failure.
  virtual Status ListDirectory(const std::string& dir, std::vector<FileInfo>* out) = 0;

  // lstat(): information on the path itself. info->name is the last path element.
  virtual Status Stat(const std::string& path, FileInfo* info) = 0;

  // Ok when path is a directory (after following links) that this process may enter; missing
  // when there is nothing, or no directory, of that name. Never changes the current directory,
  // which all threads share.
  virtual Status IsEnterableDirectory(const std::string& path) = 0;

  // Permission bits. SetMode on a symbolic link does nothing and succeeds.
  virtual Status GetMode(const std::string& path, uint32_t* mode) = 0;
  virtual Status SetMode(const std::string& path, uint32_t mode) = 0;
  // Owner and group of the path itself (a link is not followed). Only root may give a file away.
  virtual Status SetOwner(const std::string& path, uint32_t uid, uint32_t gid) = 0;

  // Sets the last access and the last write, both given (some FUSE drivers for FAT mishandle a
  // time left out), to the nanosecond where the file system keeps it; does not follow a link.
  virtual Status SetTimes(const std::string& path, FileTime zugriff, FileTime aenderung) = 0;

  // Removes a file or a symbolic link (never a directory).
  virtual Status DeleteFile(const std::string& path) = 0;
  // Removes a regular file only while no open file holds its lock (CreateExclusive); fails with
  // EAGAIN when one does. For leftovers of a copy whose writer may still be alive.
  virtual Status DeleteUnlockedFile(const std::string& path) = 0;

  // Renames; fails when `to` exists (so nothing is ever overwritten by it).
  virtual Status RenameNoReplace(const std::string& from, const std::string& to) = 0;
  // Renames, replacing `to` atomically. Used to put a finished temporary file in place.
  virtual Status RenameReplace(const std::string& from, const std::string& to) = 0;

  // One level each. CreateDirectory gives the new directory the mode 0777 less the umask.
  virtual Status CreateDirectory(const std::string& path) = 0;
  virtual Status RemoveDirectory(const std::string& path) = 0;

  // Opens for reading. Fails for directories, FIFOs and other non-regular files (a FIFO would
  // block). Follows no link.
  virtual std::unique_ptr<ReadableFile> OpenForReading(const std::string& path,
                                                       Status* status = nullptr) = 0;

  // Creates a new file that must not exist yet (O_EXCL), with the given permission bits. The file
  // is locked (flock) for as long as it stays open, so that DeleteUnlockedFile leaves it alone.
  virtual std::unique_ptr<WritableFile> CreateExclusive(const std::string& path, uint32_t mode,
                                                        Status* status = nullptr) = 0;

  // Opens for appending; creates the file (mode 0666 less the umask) only when `create` is set.
  virtual std::unique_ptr<WritableFile> OpenForAppend(const std::string& path, bool create,
                                                      Status* status = nullptr) = 0;

  // Creates or truncates a file to zero length.
  virtual std::unique_ptr<WritableFile> CreateTruncate(const std::string& path,
                                                       Status* status = nullptr) = 0;

  // Symbolic links: the stored link text, and a new link holding `target`.
  virtual Status ReadLink(const std::string& path, std::string* target) = 0;
  virtual Status CreateSymlink(const std::string& target, const std::string& path) = 0;

  // The canonical absolute path with every link resolved; missing when it does not exist.
  virtual Status RealPath(const std::string& path, std::string* out) = 0;

  // Where an existing directory lies in its file system (see FsLocation).
  virtual Status Location(const std::string& path, FsLocation* out) = 0;

  // A second name `neu` for the existing file `vorhanden` (a hard link; a link is linked as the
  // link itself). Fails when `neu` exists, and with EXDEV, EPERM or ENOTSUP where the file system
  // has no hard links (FAT) or the two names lie on different ones. The default cannot.
  virtual Status CreateHardLink(const std::string& /*vorhanden*/, const std::string& /*neu*/) {
    return Status::FromErrno(ENOTSUP);
  }

  // Whether the directory `dir` finds a name whatever the case of its letters (FAT, exFAT, a
  // case-folding ext4 directory; platform/fs_kind.h). The default does not.
  virtual bool FoldsCase(const std::string& /*dir*/) { return false; }

  // The bytes an ordinary user may still write on the file system holding `path`.
  virtual Status FreeSpace(const std::string& /*path*/, uint64_t* /*bytes*/) {
    return Status::FromErrno(ENOTSUP);
  }

  // Writes everything the file system holding `path` has cached to its disk (syncfs), and
  // reports a write that the disk refused since the file system was last asked.
  virtual Status SyncFileSystem(const std::string& path) = 0;
  // Forces a directory's entries to the disk: a rename into it survives a power cut. The
  // default has nothing to force (fakes without a disk).
  virtual Status SyncDirectory(const std::string& /*dir*/) { return Status::Ok(); }

  // Copies up to n bytes from the current position of `from` to `to`. *copied is set to what
  // was copied (less than n only at the end of the source). Fails on a read or write error.
  // The default reads and writes through a bounded buffer; the POSIX file system uses
  // copy_file_range where the kernel offers it, and keeps the holes of a file that has some.
  virtual Status CopyData(ReadableFile* from, WritableFile* to, uint64_t n, uint64_t* copied);

  // Copies the extended attributes that go with a copy (platform/attributes.h) from `from` to
  // `to`. The default works on the files' descriptors, and does nothing for files without one.
  // ENOTSUP/EOPNOTSUPP: the target's file system cannot hold them.
  virtual Status CopyAttributes(ReadableFile* from, WritableFile* to);

  // Convenience: whole small files, for settings files and tests.
  Status ReadWholeFile(const std::string& path, std::string* out, size_t limit = SIZE_MAX);
};

// Forwards every call to another FileSystem. A test derives from it and overrides the one call
// that shall fail.
class FileSystemWrapper : public FileSystem {
 public:
  explicit FileSystemWrapper(FileSystem* target) : target_(target) {}
  FileSystem* target() const { return target_; }

  std::unique_ptr<RootHold> HoldRoot(const std::string& d, Status* s) override {
    return target_->HoldRoot(d, s);
  }
  Status ListDirectory(const std::string& d, std::vector<FileInfo>* o) override {
    return target_->ListDirectory(d, o);
  }
  Status Stat(const std::string& p, FileInfo* i) override { return target_->Stat(p, i); }
  Status IsEnterableDirectory(const std::string& p) override {
    return target_->IsEnterableDirectory(p);
  }
  Status GetMode(const std::string& p, uint32_t* m) override { return target_->GetMode(p, m); }
  Status SetMode(const std::string& p, uint32_t m) override { return target_->SetMode(p, m); }
  Status SetOwner(const std::string& p, uint32_t u, uint32_t g) override {
    return target_->SetOwner(p, u, g);
  }
  Status SetTimes(const std::string& p, FileTime a, FileTime m) override {
    return target_->SetTimes(p, a, m);
  }
  Status DeleteFile(const std::string& p) override { return target_->DeleteFile(p); }
  Status DeleteUnlockedFile(const std::string& p) override {
    return target_->DeleteUnlockedFile(p);
  }
  Status RenameNoReplace(const std::string& f, const std::string& t) override {
    return target_->RenameNoReplace(f, t);
  }
  Status RenameReplace(const std::string& f, const std::string& t) override {
    return target_->RenameReplace(f, t);
  }
  Status CreateDirectory(const std::string& p) override { return target_->CreateDirectory(p); }
  Status RemoveDirectory(const std::string& p) override { return target_->RemoveDirectory(p); }
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& p, Status* s) override {
    return target_->OpenForReading(p, s);
  }
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& p, uint32_t m,
                                                Status* s) override {
    return target_->CreateExclusive(p, m, s);
  }
  std::unique_ptr<WritableFile> OpenForAppend(const std::string& p, bool c, Status* s) override {
    return target_->OpenForAppend(p, c, s);
  }
  std::unique_ptr<WritableFile> CreateTruncate(const std::string& p, Status* s) override {
    return target_->CreateTruncate(p, s);
  }
  Status ReadLink(const std::string& p, std::string* t) override { return target_->ReadLink(p, t); }
  Status CreateSymlink(const std::string& t, const std::string& p) override {
    return target_->CreateSymlink(t, p);
  }
  Status RealPath(const std::string& p, std::string* o) override { return target_->RealPath(p, o); }
  Status Location(const std::string& p, FsLocation* o) override { return target_->Location(p, o); }
  Status SyncFileSystem(const std::string& p) override { return target_->SyncFileSystem(p); }
  Status SyncDirectory(const std::string& d) override { return target_->SyncDirectory(d); }
  Status CreateHardLink(const std::string& v, const std::string& n) override {
    return target_->CreateHardLink(v, n);
  }
  bool FoldsCase(const std::string& d) override { return target_->FoldsCase(d); }
  Status FreeSpace(const std::string& p, uint64_t* b) override { return target_->FreeSpace(p, b); }
  Status CopyData(ReadableFile* f, WritableFile* t, uint64_t n, uint64_t* c) override {
    return target_->CopyData(f, t, n, c);
  }
  Status CopyAttributes(ReadableFile* f, WritableFile* t) override {
    return target_->CopyAttributes(f, t);
  }

 private:
  FileSystem* target_;
};

// The effective user and group of the process: what a file the program creates belongs to. Read
// once; any thread.
uint32_t ProcessUid();
uint32_t ProcessGid();

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_FILE_SYSTEM_H_
