#include "editor/ini_batch.h"

#include <atomic>
#include <charconv>
#include <memory>
#include <random>
#include <utility>

#include "editor/ini_snapshot.h"
#include "settings/ini_file.h"
#include "settings/ini_text.h"

namespace zarnoft {
namespace {

constexpr size_t kMaxFileBytes = size_t{16} << 20;

// Temporary names carry a per-process random start, so that two processes writing into one
// directory rarely meet; a clash is resolved by the next number.
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

struct Target {
  std::string path;  // the regular file that gets replaced (a link's target)
  bool exists = false;
  uint32_t mode = 0;
  std::string text;
};

// False when the file must not be rewritten: no regular file, write-protected, a dangling link,
// unreadable (rewriting would lose what could not be read) or too large to be held whole.
bool LoadForWriting(FileSystem* fs, const std::string& path, Target* t) {
  t->path = path;
  FileInfo info;
  if (!fs->Stat(path, &info)) return true;  // a new file
  if (info.kind == EntryKind::kSymlink) {
    if (!fs->RealPath(path, &t->path) || !fs->Stat(t->path, &info)) return false;
  }
  if (info.kind != EntryKind::kFile || (info.mode & 0200) == 0) return false;
  t->exists = true;
  t->mode = info.mode;
  return fs->ReadWholeFile(t->path, &t->text, kMaxFileBytes + 1) && t->text.size() <= kMaxFileBytes;
}

void Replace(FileSystem* fs, const std::string& shown_path, const Target& t,
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
  bool ok = f->Write(text.data(), text.size());
  ok = f->Close() && ok;
  f.reset();
  if (ok && t.exists) ok = fs->SetMode(tmp, t.mode);
  // A new file never replaces one that appeared meanwhile.
  if (ok) ok = t.exists ? fs->RenameReplace(tmp, t.path) : fs->RenameNoReplace(tmp, t.path);
  if (!ok) {
    fs->DeleteFile(tmp);
    throw IniWriteError(shown_path);
  }
}

}  // namespace

IniBatch::IniBatch(std::string path, FileSystem* fs)
    : path_(std::move(path)), fs_(fs != nullptr ? fs : FileSystem::Default()) {}

void IniBatch::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  if (!ini::IsStorableSection(ini::Trim(section)) || !ini::IsStorableKey(ini::Trim(key)) ||
      value.find_first_of("\r\n") != std::string::npos) {
    throw IniWriteError(path_);
  }
  changes_.push_back(Change{false, section, key, value});
}

void IniBatch::WriteInteger(const std::string& section, const std::string& key, int64_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniBatch::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniBatch::EraseSection(const std::string& section) {
  changes_.push_back(Change{true, section, {}, {}});
}

void IniBatch::Commit() {
  std::vector<Change> changes = std::move(changes_);
  changes_.clear();
  if (changes.empty()) return;
  bool writes = false;
  for (const Change& c : changes) writes = writes || !c.erase;
  if (!writes) {
    // Erasing sections that are not there changes nothing and needs no write access, as with
    // the accessor.
    const IniSnapshot now = IniSnapshot::Load(path_, fs_);
    bool any = false;
    for (const Change& c : changes) any = any || now.HasSection(c.section);
    if (!any) return;
  }
  Target t;
  if (!LoadForWriting(fs_, path_, &t)) throw IniWriteError(path_);
  std::string text = t.text;
  for (const Change& c : changes) {
    if (c.erase) {
      bool found = false;
      std::string next = ini::RemoveSection(text, c.section, &found);
      if (found) text = std::move(next);
    } else {
      text = ini::SetValue(text, c.section, c.key, c.value);
    }
  }
  if (t.exists && text == t.text) return;
  if (!t.exists && !writes) return;
  Replace(fs_, path_, t, text);
}

}  // namespace zarnoft
