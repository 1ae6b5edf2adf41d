// Test kit of the copy tests: a run's copy step over a real temporary tree, with a scripted
// window, a recording log and a file system that fails on purpose.
#ifndef ZARNOFT_TESTING_COPY_TEST_KIT_H_
#define ZARNOFT_TESTING_COPY_TEST_KIT_H_

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "copy/copier.h"
#include "platform/gui_call.h"
#include "testing/fake_window.h"
#include "testing/recording_log.h"
#include "testing/temp_tree.h"

namespace zarnoft::testing {

// A written file that takes only `platz` bytes (a full disk), or whose Close fails. It has no
// descriptor, so copies go through its Write.
class KnappeDatei : public WritableFile {
 public:
  KnappeDatei(std::unique_ptr<WritableFile> f, int64_t platz, bool close_fehler)
      : f_(std::move(f)), platz_(platz), close_fehler_(close_fehler) {}
  Status Write(const char* d, size_t n) override {
    if (platz_ >= 0 && geschrieben_ + static_cast<int64_t>(n) > platz_)
      return Status::FromErrno(ENOSPC);
    geschrieben_ += static_cast<int64_t>(n);
    return f_->Write(d, n);
  }
  Status Sync() override { return f_->Sync(); }
  Status Close() override {
    Status s = f_->Close();
    return close_fehler_ && s.ok() ? Status::FromErrno(EIO) : s;
  }

 private:
  std::unique_ptr<WritableFile> f_;
  int64_t platz_;
  bool close_fehler_;
  int64_t geschrieben_ = 0;
};

class StoerFs : public FileSystemWrapper {
 public:
  StoerFs() : FileSystemWrapper(FileSystem::Default()) {}
  std::vector<uint64_t> stuecke;  // n of every CopyData call
  int64_t platz = -1;             // bytes a new file takes, -1 unlimited
  bool close_fehler = false;
  bool rename_fehler = false;
  bool datum_verloren = false;  // a target that drops the dates given (some FUSE drivers)
  bool ohne_attribute = false;  // a target without extended attributes (FAT, some network shares)
  // Called after each piece of content was copied (a test changes the source there).
  std::function<void()> nach_kopie;

  Status CopyData(ReadableFile* f, WritableFile* t, uint64_t n, uint64_t* c) override {
    stuecke.push_back(n);
    Status s = FileSystemWrapper::CopyData(f, t, n, c);
    if (nach_kopie) nach_kopie();
    return s;
  }
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& p, uint32_t m,
                                                Status* s) override {
    auto f = FileSystemWrapper::CreateExclusive(p, m, s);
    if (!f || (platz < 0 && !close_fehler)) return f;
    return std::make_unique<KnappeDatei>(std::move(f), platz, close_fehler);
  }
  Status CopyAttributes(ReadableFile* f, WritableFile* t) override {
    if (ohne_attribute) return Status::FromErrno(EOPNOTSUPP);
    return FileSystemWrapper::CopyAttributes(f, t);
  }
  Status SetTimes(const std::string& p, FileTime a, FileTime m) override {
    if (datum_verloren) return Status::Ok();
    return FileSystemWrapper::SetTimes(p, a, m);
  }
  Status RenameReplace(const std::string& f, const std::string& t) override {
    if (rename_fehler) return Status::FromErrno(EACCES);
    return FileSystemWrapper::RenameReplace(f, t);
  }
};

struct KopierUmgebung {
  TempTree tree;
  RecordingLog log;
  FakeWindow win;
  DirectCaller gui;
  Fortschritt rw{&gui, &win};
  StoerFs fs;
  std::unique_ptr<Kopierer> k = std::make_unique<Kopierer>(&fs, &log, &rw, true);

  KopierErgebnis Kopieren(const std::string& von, const std::string& nach, int64_t groesse) {
    return k->Kopieren(tree.Path(von), tree.Path(nach), groesse);
  }
  FileInfo Info(const std::string& rel) {
    FileInfo i;
    FileSystem::Default()->Stat(tree.Path(rel), &i);
    return i;
  }
  // The names in a directory of the tree (to see that no temporary file was left).
  std::vector<std::string> Namen(const std::string& rel = "") {
    std::vector<FileInfo> l;
    FileSystem::Default()->ListDirectory(tree.Path(rel), &l);
    std::vector<std::string> n;
    for (auto& i : l) n.push_back(i.name);
    std::sort(n.begin(), n.end());
    return n;
  }
};

// n bytes that differ from position to position.
inline std::string Inhalt(size_t n, char basis = 0) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(basis + i * 7 % 251);
  return s;
}

}  // namespace zarnoft::testing

#endif  // ZARNOFT_TESTING_COPY_TEST_KIT_H_
