#include "settings/ini_replace.h"

#include <atomic>
#include <charconv>
#include <memory>
#include <random>

#include "platform/path_helpers.h"
#include "settings/ini_file.h"
#include "settings/ini_text.h"

namespace zarnoft::ini {
namespace {

// Temporary names carry a per-process random start so that two processes writing into the
// same directory rarely meet; a clash is resolved by trying the next number.
std::string NextTempSuffix() {
  static std::atomic<uint64_t> counter{[] {
    std::random_device rd;
    return (uint64_t{rd()} << 32) ^ rd();
  }()};
  char buf[17];
  const uint64_t n = counter.fetch_add(1, std::memory_order_relaxed) & 0xFFFFFFFFFFFFull;
  auto r = std::to_chars(buf, buf + sizeof buf, n, 16);
  return std::string(buf, r.ptr);
}

}  // namespace

std::string LoadForReading(FileSystem* fs, const std::string& path) {
  std::string text;
  if (fs->ReadWholeFile(path, &text, kMaxFileBytes)) return text;
  // Opening for reading follows no link; the file a link names is read through its real path.
  FileInfo info;
  std::string real;
  if (fs->Stat(path, &info) && info.kind == EntryKind::kSymlink && fs->RealPath(path, &real) &&
      fs->ReadWholeFile(real, &text, kMaxFileBytes)) {
    return text;
  }
  return {};
}

void CheckStorable(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) {
  if (!IsStorableSection(Trim(section)) || !IsStorableKey(Trim(key)) ||
      value.find_first_of("\r\n") != std::string::npos) {
    throw IniWriteError(path);
  }
}

WriteTarget LoadForWriting(FileSystem* fs, const std::string& path) {
  WriteTarget t;
  t.path = path;
  FileInfo info;
  if (!fs->Stat(path, &info)) return t;  // a new file
  if (info.kind == EntryKind::kSymlink) {
    if (!fs->RealPath(path, &t.path) || !fs->Stat(t.path, &info)) throw IniWriteError(path);
  }
  // Root could replace a write-protected file; the owner-write bit is what the user set.
  if (info.kind != EntryKind::kFile || (info.mode & 0200) == 0) throw IniWriteError(path);
  t.exists = true;
  t.mode = info.mode;
  if (!fs->ReadWholeFile(t.path, &t.text, kMaxFileBytes + 1) || t.text.size() > kMaxFileBytes) {
    throw IniWriteError(path);
  }
  return t;
}

void Replace(FileSystem* fs, const std::string& shown_path, const WriteTarget& t,
             const std::string& text) {
  const std::string dir = DirectoryPart(t.path);
  const std::string base = NamePart(t.path).substr(0, 200);  // room for the suffix in NAME_MAX
  std::string tmp;
  std::unique_ptr<WritableFile> f;
  for (int attempt = 0; attempt < 16 && !f; ++attempt) {
    tmp = dir + "." + base + "." + NextTempSuffix() + ".tmp";
    // A replaced file gets its own mode below; until then nobody else may read the new text.
    f = fs->CreateExclusive(tmp, t.exists ? 0600 : 0666);
    FileInfo clash;
    if (!f && !fs->Stat(tmp, &clash)) break;  // no name clash: the directory refuses
  }
  if (!f) throw IniWriteError(shown_path);
  bool ok = f->Write(text.data(), text.size()).ok();
  ok = f->Close().ok() && ok;
  f.reset();
  if (ok && t.exists) ok = fs->SetMode(tmp, t.mode).ok();
  if (ok) {
    ok = (t.exists ? fs->RenameReplace(tmp, t.path) : fs->RenameNoReplace(tmp, t.path)).ok();
  }
  if (!ok) {
    fs->DeleteFile(tmp);
    throw IniWriteError(shown_path);
  }
}

}  // namespace zarnoft::ini
