// Laufablage: what one run keeps of the user's files, and its journal (engine/run_journal.h).
//
// Before a run replaces a file, the file's old version gets a second name in the run's store on
// its side (a hard link: no data is copied, and the name in the tree is never missing); before
// it removes a file, the file is renamed into the store. Where the file system cannot (FAT has no
// hard links, a mount point lies between), the old version is copied into the store first. A
// version that cannot be kept is neither replaced nor removed: the call fails with the reason.
// Each step is written into the journal before it is carried out.
//
// Nothing is created before the first step: a run that changes nothing leaves no trace, and the
// store is made only for a run that replaces or removes something.
//
// Paths are full paths in one of the two trees; a path in neither (the move-aside store) is left
// to the caller and not journaled. One object per run, used by the run's thread only.
#ifndef ZARNOFT_ENGINE_RUN_STORE_H_
#define ZARNOFT_ENGINE_RUN_STORE_H_

#include <memory>
#include <set>
#include <string>

#include "copy/copy_service.h"
#include "engine/run_journal.h"
#include "platform/file_system.h"

namespace zarnoft {

class Laufablage : public Aufbewahrung {
 public:
  // `herkunft` and `ziel` are the roots without a trailing "/"; `lager` the move-aside store
  // (ending in "/", may be empty), whose files are never journaled. The journal lies in the
  // target's reserved directory. `fs` must outlive the object.
  Laufablage(FileSystem* fs, const std::string& herkunft, const std::string& ziel,
             const std::string& lager, const JournalKopf& kopf);
  ~Laufablage() override;
  Laufablage(const Laufablage&) = delete;
  Laufablage& operator=(const Laufablage&) = delete;

  void VorDemSchreiben(const std::string& nach) override;
  Status VorDemEinsetzen(const std::string& nach, const FileInfo* alt,
                         const FileInfo& neu) override;
  void NeuEingesetzt(const std::string& pfad, const FileInfo& neu) override;

  // Moves the file or link `pfad` (`info`: as just queried) into its side's store. On failure it
  // stays where it is.
  Status Entfernen(const std::string& pfad, const FileInfo& info);
  // Removes the empty directory `pfad` (`info`: as just queried), noting its date and mode.
  Status VerzeichnisEntfernen(const std::string& pfad, const FileInfo& info);
  // Before the directory `pfad` is created.
  void Anlegen(const std::string& pfad);
  // Before `von` (`info`) is renamed to `nach` in the same tree.
  void Umbenennen(const std::string& von, const std::string& nach, const FileInfo& info);
  // The file `pfad` (`info`) has its copy at `lagerpfad` in the move-aside store and is about to
  // be deleted.
  void Ausgelagert(const std::string& pfad, const std::string& lagerpfad, const FileInfo& info);
  // A directory is about to change (an entry is added or removed): its date is noted once.
  void Aendern(const std::string& verzeichnis);

  // Forces the journal to the disk. Fails when a step could not be journaled or the journal not
  // be written: the run then cannot be taken back in full and must not count as done.
  Status Sichern();
  // Whether the run wrote a journal, and its name.
  bool Begonnen() const { return journal_ != nullptr; }
  const std::string& Name() const { return name_; }

 private:
  // Which side `pfad` lies in and its relative path; false for neither (or the store).
  bool Zuordnen(const std::string& pfad, bool* ziel, std::string* rel) const;
  const std::string& Wurzel(bool ziel) const { return ziel ? ziel_ : herkunft_; }
  // The place of `rel` in the side's store, its directories created.
  Status Ablageplatz(bool ziel, const std::string& rel, std::string* platz);
  Status Schreiben(const JournalEintrag& e);
  Status Beginnen();

  FileSystem* fs_;
  std::string herkunft_;
  std::string ziel_;
  std::string lager_;
  JournalKopf kopf_;
  std::string name_;
  std::unique_ptr<WritableFile> journal_;
  Status fehler_;                    // the first step that could not be journaled
  std::set<std::string> datiert_;    // directories whose date is noted ("H/rel", "Z/rel")
  std::set<std::string> ablage_da_;  // store directories known to exist
};

// Copies a file or link to the new name `nach` (which must not exist) with its date and
// permission bits. For file systems where a version cannot be linked or moved into place.
Status DateiAblegen(FileSystem* fs, const std::string& von, const std::string& nach,
                    const FileInfo& info);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_RUN_STORE_H_
