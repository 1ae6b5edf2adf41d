#include "settings/ini_batch.h"

#include <utility>

#include "settings/ini_replace.h"
#include "settings/ini_snapshot.h"
#include "settings/ini_text.h"

namespace zarnoft {

IniBatch::IniBatch(std::string path, FileSystem* fs)
    : path_(std::move(path)), fs_(fs != nullptr ? fs : FileSystem::Default()) {}

void IniBatch::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  ini::CheckStorable(path_, section, key, value);
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

void IniBatch::EraseKey(const std::string& section, const std::string& key) {
  changes_.push_back(Change{true, section, key, {}});
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
    for (const Change& c : changes)
      any = any || (c.key.empty() ? now.HasSection(c.section) : now.HasKey(c.section, c.key));
    if (!any) return;
  }
  const ini::WriteTarget t = ini::LoadForWriting(fs_, path_);
  std::string text = t.text;
  for (const Change& c : changes) {
    if (c.erase) {
      bool found = false;
      std::string next = c.key.empty() ? ini::RemoveSection(text, c.section, &found)
                                       : ini::RemoveValue(text, c.section, c.key, &found);
      if (found) text = std::move(next);
    } else {
      text = ini::SetValue(text, c.section, c.key, c.value);
    }
  }
  if (t.exists && text == t.text) return;
  if (!t.exists && !writes) return;
  ini::Replace(fs_, path_, t, text);
}

}  // namespace zarnoft
