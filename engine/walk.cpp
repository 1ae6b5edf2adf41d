#include "engine/walk.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "copy/file_copy.h"
#include "engine/archive.h"
#include "engine/conflict.h"
#include "engine/deletion.h"
#include "engine/file_date.h"
#include "engine/run_store.h"
#include "platform/date_time.h"
#include "platform/fs_kind.h"
#include "platform/path_helpers.h"
#include "platform/reserved_dir.h"

namespace zarnoft {
namespace {

// The blanks after "Vergl:" belong to the text.
constexpr char kKeineAenderung[] = "Vergl:              ... Keine Änderung";

constexpr char kKeineRegulaereDatei[] = ": keine reguläre Datei, übersprungen";
constexpr char kZukunft[] = "Datum in der Zukunft: ";
constexpr char kKeineLinks[] = "Ziel kann keine symbolischen Verknüpfungen speichern: ";
constexpr char kNichtErstellt[] = "Vergl: Verzeichnis nicht erstellt: ";
constexpr char kNichtLesbar[] = "Vergl: Verzeichnis nicht lesbar: ";
constexpr char kNichtAbfragbar[] = "Vergl: Nicht abfragbar: ";
constexpr char kGleicherName[] = "Vergl: Übersprungen, Datei und Verzeichnis gleichen Namens: ";
constexpr char kDateiUndLink[] = "Vergl: Übersprungen, Datei und Link gleichen Namens: ";
constexpr char kRechte[] = "Vergl: Besitzer und Rechte nicht gesetzt: ";
constexpr char kLager[] = "Vergl: Übersprungen, Auslagerungsverzeichnis: ";
constexpr char kZurueck[] = "Vergl: Übersprungen, führt zurück in einen verglichenen Ordner: ";
constexpr char kAusgenommen[] = "Vergl: Ausgenommen: ";
constexpr char kGrossKlein[] = "Vergl: Namen unterscheiden sich nur in Groß-/Kleinschreibung: ";

// A directory the walk creates gets its counterpart's permission bits, without set-user-ID and
// set-group-ID (as a copied file).
constexpr uint32_t kVerzeichnisBits = 01777;

bool Besonders(const FileInfo& i) {
  return i.kind == EntryKind::kSpecial;
}

std::pair<uint64_t, uint64_t> Kennung(const FileInfo& i) {
  return {i.device, i.inode};
}

// The file date of one side for the log: kDosMissing when there is nothing or a directory.
int64_t Datum(const Seite& s) {
  return s.da ? DateiDatum(s.info) : kDosMissing;
}

}  // namespace

Verzeichnisvergleich::Verzeichnisvergleich(LaufKontext& k) : k_(k) {
  // A root that does not exist yet is met by the walk's own steps, which report it.
  herkunft_halt_ = k_.fs->HoldRoot(k_.Herkunft.empty() ? "/" : k_.Herkunft);
  ziel_halt_ = k_.fs->HoldRoot(k_.Ziel.empty() ? "/" : k_.Ziel);
  // The roots' own identities: a directory inside the trees that is one of them (reached again
  // through a bind mount) would make the walk copy a tree into itself. With the trailing "/"
  // the query follows a root that is a link to a directory.
  for (FileInfo* i : {&wurzel_h_, &wurzel_z_}) {
    const std::string& wurzel = i == &wurzel_h_ ? k_.Herkunft : k_.Ziel;
    if (k_.fs->Stat(wurzel + "/", i).ok()) offen_.push_back(Kennung(*i));
  }
  // An archive target is never listed: its copies have names of their own.
  if (k_.Art != VorgangsArt::kArchivieren) {
    falten_h_ = k_.fs->FoldsCase(k_.Herkunft.empty() ? "/" : k_.Herkunft);
    falten_z_ = k_.fs->FoldsCase(k_.Ziel.empty() ? "/" : k_.Ziel);
  }
}

void Verzeichnisvergleich::DateiZaehlen() {
  ++gezaehlt_;
  if (k_.fenster != nullptr)
    k_.fenster->DateiZaehlen(gezaehlt_, GaugeProzent(gezaehlt_, k_.Zaehler));
}

void Verzeichnisvergleich::VerzeichnisZeigen(const std::string& rel) {
  if (k_.fenster != nullptr) k_.fenster->VerzeichnisZeigen(rel);
}

bool Verzeichnisvergleich::Ansehen(const std::string& pfad, Seite* s) {
  Status st = k_.fs->Stat(pfad, &s->info);
  s->da = st.ok();
  if (st.ok() || st.missing()) return true;
  k_.Fehlschlag(kNichtAbfragbar + pfad, st);
  return false;
}

bool Verzeichnisvergleich::Auflisten(const std::string& dir, std::vector<FileInfo>* eintraege) {
  Status s = k_.fs->ListDirectory(dir, eintraege);
  if (!s) {
    eintraege->clear();
    k_.Fehlschlag(kNichtLesbar + dir, s);
    return false;
  }
  ReservierteWeglassen(eintraege);
  std::sort(eintraege->begin(), eintraege->end(),
            [](const FileInfo& x, const FileInfo& y) { return x.name < y.name; });
  return true;
}

bool Verzeichnisvergleich::AndereSeiteErreichbar(const std::string& dir, const std::string& path) {
  Status s = k_.fs->IsEnterableDirectory(dir);
  if (s.ok()) return true;
  // A directory that the real run would have created by now.
  if (k_.Probelauf && s.missing() && gedachte_.count(StripTrailingSlash(dir)) != 0) return true;
  k_.Fehlschlag("Vergl: Nicht gelöscht: " + path + ", " + dir + " nicht erreichbar", s);
  return false;
}

void Verzeichnisvergleich::AusgenommeneEntfernen(const std::string& rel,
                                                 std::vector<FileInfo>* quelle,
                                                 std::vector<FileInfo>* ziel) {
  if (k_.ausnahmen.Leer()) return;
  // rel begins and ends with "/"; the patterns see the path below the root without either. A
  // directory left out is named once, also when both sides hold it.
  // One buffer for every entry's path, so that asking costs no allocation per name.
  std::string pfad = rel.substr(1);
  const size_t basis = pfad.size();
  std::vector<std::string> genannt;
  auto entfernen = [&](std::vector<FileInfo>* eintraege) {
    std::erase_if(*eintraege, [&](const FileInfo& e) {
      pfad.resize(basis);
      pfad += e.name;
      if (!k_.ausnahmen.Ausgenommen(pfad, e.IsDirectory())) return false;
      if (e.IsDirectory() && !std::binary_search(genannt.begin(), genannt.end(), e.name)) {
        k_.Log(LogStufe::kDateizugriff, kAusgenommen + pfad);
        if (eintraege == quelle) genannt.push_back(e.name);
      }
      return true;
    });
  };
  entfernen(quelle);
  entfernen(ziel);
}

bool Verzeichnisvergleich::IstLager(const std::string& pfad) {
  // The move-aside store inside one of the trees is the program's own: synchronising it would
  // copy what was moved aside back into the trees, and moving aside would feed the walk. Named
  // through a link or "/./", it is still the same directory by device and inode.
  bool gleich = k_.LoeschenWohin.size() == pfad.size() + 1 &&
                k_.LoeschenWohin.compare(0, pfad.size(), pfad) == 0;
  if (!gleich && !k_.LoeschenWohin.empty()) {
    if (!lager_kennung_) {
      // Resolved first: a link to the store inside a tree is not followed there. A store that
      // is not there (yet) costs one look per directory, not a resolution of every element.
      std::string echt;
      FileInfo lager;
      if (!k_.fs->Stat(k_.LoeschenWohin, &lager).missing() &&
          k_.fs->RealPath(k_.LoeschenWohin, &echt).ok() && k_.fs->Stat(echt, &lager).ok() &&
          lager.IsDirectory() && lager.inode != 0)
        lager_kennung_ = Kennung(lager);
    }
    FileInfo i;
    gleich = lager_kennung_ && k_.fs->Stat(pfad, &i).ok() && i.IsDirectory() &&
             Kennung(i) == *lager_kennung_;
  }
  if (gleich) k_.Log(LogStufe::kWarnung, kLager + pfad);
  return gleich;
}

bool Verzeichnisvergleich::FuehrtZurueck(const FileInfo& verzeichnis, const std::string& pfad) {
  if (verzeichnis.inode == 0) return false;  // a file system that names no inodes
  if (std::find(offen_.begin(), offen_.end(), Kennung(verzeichnis)) == offen_.end()) return false;
  k_.Fehlschlag(kZurueck + pfad);
  return true;
}

void Verzeichnisvergleich::VerzeichnisVergleichen(const std::string& rel_in) {
  const uint64_t alt_block = alt_block_;
  alt_block_ = 0;
  neu_block_ = 0;
  if (k_.StopAngefordert()) return;
  k_.Log(LogStufe::kDateizugriff, "Vergl: **** Verzeichnis: " + rel_in);

  const std::string rel = WithTrailingSlash(rel_in);
  const std::string hdir = k_.Herkunft + rel;
  const std::string zdir = k_.Ziel + rel;

  // The target pass creates a source directory before it visits it, so this is only needed
  // when that creation went wrong or the directory vanished meanwhile.
  Status s = gedacht_ == Gedacht::kHerkunft ? Status() : k_.fs->IsEnterableDirectory(hdir);
  if (!s) {
    const std::string pfad = k_.Herkunft + StripTrailingSlash(rel);
    FileInfo vorhanden;
    if (!s.missing() || k_.fs->Stat(pfad, &vorhanden).ok()) {
      k_.Fehlschlag(kNichtLesbar + pfad, s);
      return;
    }
    s = Anlegen(pfad);
    if (!s) {
      k_.Fehlschlag(kNichtErstellt + pfad, s);
      return;
    }
  }

  // This directory's entries in the old record, and those of the new one.
  std::vector<StandEintrag> alt;
  std::vector<StandEintrag> neu;
  if (k_.stand_alt != nullptr && (rel_in.empty() || alt_block != 0)) {
    if (rel_in.empty()) {
      std::string grund;
      if (!k_.stand_alt->Wurzel(&alt, &grund)) AltLesen(0, &alt);
    } else {
      AltLesen(alt_block, &alt);
    }
  }
  const std::vector<StandEintrag>* alt_oben = alt_;
  const size_t alt_naechstes_oben = alt_naechstes_;
  std::vector<StandEintrag>* neu_oben = neu_;
  alt_ = &alt;
  alt_naechstes_ = 0;
  neu_ = k_.stand_neu != nullptr ? &neu : nullptr;
  neu.reserve(alt.size());

  VerzeichnisZeigen(rel);
  if (!k_.Abbruch()) Durchgaenge(rel, hdir, zdir);

  alt_ = alt_oben;
  alt_naechstes_ = alt_naechstes_oben;
  neu_ = neu_oben;
  if (k_.stand_neu != nullptr) {
    // The target pass adds its names after the source pass's: the block is in name order.
    auto nach_name = [](const StandEintrag& x, const StandEintrag& y) { return x.name < y.name; };
    if (!std::is_sorted(neu.begin(), neu.end(), nach_name))
      std::sort(neu.begin(), neu.end(), nach_name);
    neu_block_ = k_.stand_neu->BlockSchreiben(neu);
  }
  if (rel_in.empty()) DatumUebertragen(hdir, zdir, wurzel_h_, wurzel_z_);
  k_.Log(LogStufe::kDateizugriff, "Vergl: **** Verzeichnis fertig: " + rel);
}

const StandEintrag* Verzeichnisvergleich::AltEintrag(const std::string& name) const {
  if (alt_ == nullptr || k_.stand_alt == nullptr) return nullptr;
  // Each pass asks for the names in their order, so the entry after the last one found is
  // tried before a search.
  if (alt_naechstes_ < alt_->size() && (*alt_)[alt_naechstes_].name == name)
    return &(*alt_)[alt_naechstes_++];
  auto it =
      std::lower_bound(alt_->begin(), alt_->end(), name,
                       [](const StandEintrag& e, const std::string& n) { return e.name < n; });
  if (it == alt_->end() || it->name != name) return nullptr;
  alt_naechstes_ = static_cast<size_t>(it - alt_->begin()) + 1;
  return &*it;
}

bool Verzeichnisvergleich::AltLesen(uint64_t block, std::vector<StandEintrag>* eintraege) {
  eintraege->clear();
  if (k_.stand_alt == nullptr) return false;
  std::string grund;
  if (block != 0 && k_.stand_alt->Block(block, eintraege, &grund)) return true;
  if (grund.empty()) grund = "beschädigt (Block)";
  k_.Fehlschlag("Vergl: Stand nicht mehr verwendet, es wird nichts mehr gelöscht: " + grund);
  k_.stand_alt = nullptr;
  return false;
}

void Verzeichnisvergleich::Eintragen(const std::string& name, const FileInfo& h, const FileInfo& z,
                                     uint64_t block) {
  if (neu_ == nullptr) return;
  StandEintrag e;
  e.name = name;
  e.art = h.kind;
  e.size = h.IsDirectory() ? 0 : h.size;
  e.h = SeiteVon(h, k_.h_dauerhaft);
  e.z = SeiteVon(z, k_.z_dauerhaft);
  // A directory's own status change follows its entries, which every run may change.
  if (h.IsDirectory()) e.h.ctime = e.z.ctime = FileTime{};
  e.block = block;
  neu_->push_back(std::move(e));
}

void Verzeichnisvergleich::Uebernehmen(const StandEintrag& alt) {
  if (neu_ == nullptr) return;
  StandEintrag e = alt;
  if (e.art == EntryKind::kDirectory) e.block = BlockUebernehmen(alt.block);
  neu_->push_back(std::move(e));
}

uint64_t Verzeichnisvergleich::BlockUebernehmen(uint64_t alt_block) {
  if (alt_block == 0 || k_.stand_neu == nullptr) return 0;
  std::vector<StandEintrag> eintraege;
  if (!AltLesen(alt_block, &eintraege)) return 0;
  for (StandEintrag& e : eintraege) {
    if (e.art == EntryKind::kDirectory) e.block = BlockUebernehmen(e.block);
  }
  return k_.stand_neu->BlockSchreiben(eintraege);
}

void Verzeichnisvergleich::Durchgaenge(const std::string& rel, const std::string& hdir,
                                       const std::string& zdir) {
  // Both directories are listed once, so that each name costs one look per side; a step that
  // changes a file is decided again on fresh dates (DateiPruefen). An archive target is not
  // listed: it holds every dated copy ever made. Both listings are taken in name order, so the
  // target's entry of a source name is found by walking along; `geprueft` marks the target
  // entries whose names the source pass saw, and the target pass leaves those out.
  std::vector<FileInfo> quelle;
  std::vector<FileInfo> ziel;
  const bool quelle_gelesen = gedacht_ == Gedacht::kHerkunft || Auflisten(hdir, &quelle);
  bool ziel_gelesen = false;
  if (k_.Art != VorgangsArt::kArchivieren) {
    Status s = gedacht_ == Gedacht::kZiel ? Status() : k_.fs->ListDirectory(zdir, &ziel);
    ziel_gelesen = s.ok();
    ReservierteWeglassen(&ziel);
    // Only a two-way run decides on what the target lacks; a copy job reports a missing or
    // unreadable target with each copy.
    if (!ziel_gelesen) {
      ziel.clear();
      if (k_.Art == VorgangsArt::kSynchronisieren && quelle_gelesen)
        k_.Fehlschlag(kNichtLesbar + zdir, s);
    }
    std::sort(ziel.begin(), ziel.end(),
              [](const FileInfo& x, const FileInfo& y) { return x.name < y.name; });
  }
  AusgenommeneEntfernen(rel, &quelle, &ziel);
  if (falten_h_ || falten_z_) FaltungenAbgleichen(rel, &quelle, &ziel);
  // The deletion guard measures a side by its files; what the job leaves out never counts.
  for (const FileInfo& e : quelle) k_.dateien_herkunft += e.IsDirectory() ? 0 : 1;
  for (const FileInfo& e : ziel) k_.dateien_ziel += e.IsDirectory() ? 0 : 1;
  std::vector<bool> geprueft(ziel.size(), false);
  Quelldurchgang(rel, hdir, zdir, quelle, ziel, ziel_gelesen, &geprueft);

  // When either side could not be read, every entry would look deleted on the other side, so
  // the target pass is left out.
  if (!quelle_gelesen || k_.Abbruch()) return;
  for (size_t j = 0; j < ziel.size(); ++j) {
    if (geprueft[j]) continue;
    if (IstKopierTempName(ziel[j].name)) {
      k_.UeberbleibselEntfernen(zdir, ziel[j]);
    } else if (k_.Art == VorgangsArt::kSynchronisieren) {
      ZielEintrag(rel, hdir, zdir, ziel[j]);
    }
  }
}

void Verzeichnisvergleich::FaltungenAbgleichen(const std::string& rel,
                                               std::vector<FileInfo>* quelle,
                                               std::vector<FileInfo>* ziel) {
  // Each name with its folded form and its side, grouped by the folded form.
  struct Name {
    std::string gefaltet;
    bool ziel;
    size_t i;
  };
  std::vector<Name> namen;
  namen.reserve(quelle->size() + ziel->size());
  for (size_t i = 0; i < quelle->size(); ++i)
    namen.push_back({GefalteterName((*quelle)[i].name), false, i});
  for (size_t i = 0; i < ziel->size(); ++i)
    namen.push_back({GefalteterName((*ziel)[i].name), true, i});
  std::sort(namen.begin(), namen.end(), [](const Name& a, const Name& b) {
    return a.gefaltet < b.gefaltet || (a.gefaltet == b.gefaltet && a.ziel < b.ziel);
  });
  std::vector<bool> weg_h(quelle->size(), false);
  std::vector<bool> weg_z(ziel->size(), false);
  bool umbenannt = false;
  for (size_t a = 0; a < namen.size();) {
    size_t b = a;
    size_t nh = 0;
    while (b < namen.size() && namen[b].gefaltet == namen[a].gefaltet)
      nh += namen[b++].ziel ? 0 : 1;
    const size_t nz = b - a - nh;
    const FileInfo* h = nh == 1 ? &(*quelle)[namen[a].i] : nullptr;
    FileInfo* z = nz == 1 ? &(*ziel)[namen[b - 1].i] : nullptr;
    if (nh > 1 || nz > 1) {
      // Only one of them can stand on the side that folds: none is compared, copied or deleted,
      // and what the last run knew of each is kept for the next.
      std::string zeile = kGrossKlein;
      std::set<std::string> gesehen;
      for (size_t j = a; j < b; ++j) {
        const FileInfo& e = namen[j].ziel ? (*ziel)[namen[j].i] : (*quelle)[namen[j].i];
        (namen[j].ziel ? weg_z : weg_h)[namen[j].i] = true;
        zeile += (j == a ? "" : " / ") + (namen[j].ziel ? k_.Ziel : k_.Herkunft) + rel + e.name;
        if (!gesehen.insert(e.name).second) continue;
        if (const StandEintrag* alt = AltEintrag(e.name)) Uebernehmen(*alt);
      }
      k_.Fehlschlag(zeile);
    } else if (h != nullptr && z != nullptr && h->name != z->name) {
      // One file spelt two ways: it is taken under the spelling that the side which does not
      // fold holds (where both fold, the source's).
      FileInfo& umbenennen = falten_z_ ? *z : (*quelle)[namen[a].i];
      const std::string& behalten = falten_z_ ? h->name : z->name;
      fremd_[rel + behalten] = (falten_z_ ? k_.Ziel : k_.Herkunft) + rel + umbenennen.name;
      umbenennen.name = behalten;
      umbenannt = true;
    }
    a = b;
  }
  auto weglassen = [](std::vector<FileInfo>* v, const std::vector<bool>& weg) {
    size_t n = 0;
    for (size_t i = 0; i < v->size(); ++i) {
      if (weg[i]) continue;
      if (n != i) (*v)[n] = std::move((*v)[i]);
      ++n;
    }
    v->resize(n);
  };
  weglassen(quelle, weg_h);
  weglassen(ziel, weg_z);
  if (!umbenannt) return;
  auto nach_name = [](const FileInfo& x, const FileInfo& y) { return x.name < y.name; };
  std::sort(quelle->begin(), quelle->end(), nach_name);
  std::sort(ziel->begin(), ziel->end(), nach_name);
}

bool Verzeichnisvergleich::SchreibungErlaubt(const std::string& rel, const std::string& name,
                                             Schritt schritt) {
  if (fremd_.empty() || falten_h_ == falten_z_) return true;
  auto it = fremd_.find(rel + name);
  if (it == fremd_.end()) return true;
  // The copy would read the folding side's file under a name it does not hold exactly and write
  // it under that name on the other side.
  const bool vom_faltenden =
      schritt == Schritt::kDoppelteAenderung || (schritt == Schritt::kZumZiel) == falten_h_;
  if (!vom_faltenden) return true;
  const std::string& andere = falten_z_ ? k_.Herkunft : k_.Ziel;
  k_.Fehlschlag(kGrossKlein + it->second + " / " + andere + rel + name);
  return false;
}

void Verzeichnisvergleich::Quelldurchgang(const std::string& rel, const std::string& hdir,
                                          const std::string& zdir,
                                          const std::vector<FileInfo>& quelle,
                                          const std::vector<FileInfo>& ziel, bool ziel_gelesen,
                                          std::vector<bool>* geprueft) {
  size_t j = 0;
  for (const FileInfo& e : quelle) {
    while (j < ziel.size() && ziel[j].name < e.name) ++j;
    const bool im_ziel = j < ziel.size() && ziel[j].name == e.name;
    if (im_ziel) (*geprueft)[j] = true;
    if (IstKopierTempName(e.name)) {
      k_.UeberbleibselEntfernen(hdir, e);
      if (im_ziel) k_.UeberbleibselEntfernen(zdir, ziel[j]);
      continue;
    }
    if (Besonders(e)) {
      NichtRegulaer(hdir + e.name);
      continue;
    }
    Seite z;
    if (im_ziel) {
      z = Seite{true, ziel[j]};
    } else if (!ziel_gelesen && !Ansehen(zdir + e.name, &z)) {
      continue;
    }
    if (e.IsDirectory() && k_.Unterverzeichnisse) {
      if (!IstLager(hdir + e.name) && !IstLager(zdir + e.name)) HerkunftsVerzeichnis(rel, e, z);
      continue;
    }
    if (k_.ZaehlArt || (z.da && !z.info.IsDirectory())) DateiZaehlen();
    DateiPruefen(rel, e.name, Seite{true, e}, z);
  }
}

void Verzeichnisvergleich::ZielEintrag(const std::string& rel, const std::string& hdir,
                                       const std::string& zdir, const FileInfo& e) {
  if (Besonders(e)) {
    NichtRegulaer(zdir + e.name);
    return;
  }
  if (e.IsDirectory() && k_.Unterverzeichnisse) {
    if (!IstLager(zdir + e.name) && !IstLager(hdir + e.name)) ZielVerzeichnis(rel, e);
    return;
  }
  if (!k_.ZaehlArt) DateiZaehlen();
  // A name that turned up in the source during the run is left to the next run.
  Seite h;
  if (!Ansehen(hdir + e.name, &h) || h.da) return;
  DateiPruefen(rel, e.name, h, Seite{true, e});
}

void Verzeichnisvergleich::Besuchen(const std::string& rel_name, const FileInfo& h,
                                    const FileInfo& z) {
  const StandEintrag* alt = AltEintrag(h.name);
  alt_block_ = alt != nullptr && alt->art == EntryKind::kDirectory ? alt->block : 0;
  offen_.push_back(Kennung(h));
  offen_.push_back(Kennung(z));
  VerzeichnisVergleichen(rel_name);
  offen_.resize(offen_.size() - 2);
  DatumUebertragen(k_.Herkunft + rel_name + "/", k_.Ziel + rel_name + "/", h, z);
  Eintragen(h.name, h, z, neu_block_);
}

void Verzeichnisvergleich::HerkunftsVerzeichnis(const std::string& rel, const FileInfo& e,
                                                Seite z) {
  const std::string hpfad = k_.Herkunft + rel + e.name;
  const std::string zpfad = k_.Ziel + rel + e.name;
  // What follows from a missing target (a removal or a creation) rests on a fresh look.
  if (!z.da && !Ansehen(zpfad, &z)) return;
  if (!z.da) return EinseitigesVerzeichnis(rel, e, /*h=*/true);
  if (!z.info.IsDirectory()) {
    // Never removes the directory for the sake of a file (or a link) of the same name.
    k_.Fehlschlag(kGleicherName + hpfad + " / " + zpfad);
    return;
  }
  Status s = k_.fs->IsEnterableDirectory(zpfad);
  if (!s) {
    k_.Fehlschlag(kNichtLesbar + zpfad, s);
    return;
  }
  if (FuehrtZurueck(e, hpfad) || FuehrtZurueck(z.info, zpfad)) return;
  Besuchen(rel + e.name, e, z.info);
  VerzeichnisZeigen(rel);
}

void Verzeichnisvergleich::ZielVerzeichnis(const std::string& rel, const FileInfo& e) {
  const std::string hpfad = k_.Herkunft + rel + e.name;
  const std::string zpfad = k_.Ziel + rel + e.name;
  Seite h;
  if (!Ansehen(hpfad, &h)) return;
  if (!h.da) return EinseitigesVerzeichnis(rel, e, /*h=*/false);
  // Not in the source listing, yet there now: it turned up during the run.
  if (!h.info.IsDirectory()) {
    k_.Fehlschlag(kGleicherName + hpfad + " / " + zpfad);
    return;
  }
  if (FuehrtZurueck(h.info, hpfad) || FuehrtZurueck(e, zpfad)) return;
  Besuchen(rel + e.name, h.info, e);
  VerzeichnisZeigen(rel);
}

void Verzeichnisvergleich::EinseitigesVerzeichnis(const std::string& rel, const FileInfo& e,
                                                  bool h) {
  const std::string& da_wurzel = h ? k_.Herkunft : k_.Ziel;
  const std::string& andere_wurzel = h ? k_.Ziel : k_.Herkunft;
  const std::string da = da_wurzel + rel + e.name;
  const std::string fehlt = andere_wurzel + rel + e.name;
  // A two-way run removes a directory that the last run left on both sides: its copy on the
  // other side was deleted since. When everything below it is still as recorded, the whole tree
  // is collected and goes after the walk; otherwise it is created on the other side and visited
  // with its record: what inside it is new or changed goes to the other side, and what is as
  // recorded is collected name by name. Copy and archive jobs never delete in their source; they
  // create the directory in the target like a new one.
  const StandEintrag* alt = AltEintrag(e.name);
  uint64_t alt_block = 0;
  if (k_.Art == VorgangsArt::kSynchronisieren && alt != nullptr &&
      alt->art == EntryKind::kDirectory && !alt->offen &&
      Unveraendert(*alt, h ? alt->h : alt->z, e)) {
    if (!AndereSeiteErreichbar(andere_wurzel + rel, da)) return;
    const StandEintrag war = *alt;
    // Never deleting: the directory stays on its side, as the record has it.
    if (k_.Loeschen == LoeschModus::kNie) return Uebernehmen(war);
    int64_t dateien = 0;
    if (GanzWieZuletzt(da, war.block, h, &dateien)) {
      k_.entfernungen.Hinzufuegen(h ? AktionsSeite::kHerkunft : AktionsSeite::kZiel, true,
                                  rel.substr(1) + e.name, nullptr, dateien, war);
      (h ? k_.dateien_herkunft : k_.dateien_ziel) += dateien;
      return Uebernehmen(war);
    }
    if (k_.stand_alt == nullptr) return Uebernehmen(war);  // the record failed while it was read
    alt_block = war.block;
  }
  if (FuehrtZurueck(e, da)) return;
  Status s = Anlegen(fehlt);
  if (!s) {
    k_.Fehlschlag(kNichtErstellt + fehlt, s);
    return;
  }
  NeuBesuchen(rel + e.name, fehlt, e, h, alt_block);
  VerzeichnisZeigen(rel);
}

bool Verzeichnisvergleich::StandLoeschen(const std::string& da, const StandEintrag& alt, bool h) {
  // The old record's blocks of the directories along the path being removed, the top first; a
  // directory's block is read when the removal enters it.
  std::vector<std::pair<std::string, std::vector<StandEintrag>>> bloecke(1);
  bloecke[0].first = da;
  if (!AltLesen(alt.block, &bloecke[0].second) && alt.block != 0) return false;
  const WieZuletzt wie_zuletzt = [&](const std::string& pfad, const FileInfo& jetzt) {
    if (k_.stand_alt == nullptr) return false;
    const std::string dir = pfad.substr(0, pfad.find_last_of('/'));
    while (bloecke.size() > 1 && bloecke.back().first != dir) bloecke.pop_back();
    if (bloecke.back().first != dir) return false;
    const std::vector<StandEintrag>& eintraege = bloecke.back().second;
    auto it =
        std::lower_bound(eintraege.begin(), eintraege.end(), jetzt.name,
                         [](const StandEintrag& e, const std::string& n) { return e.name < n; });
    if (it == eintraege.end() || it->name != jetzt.name || it->offen ||
        !Unveraendert(*it, h ? it->h : it->z, jetzt))
      return false;
    if (jetzt.IsDirectory()) {
      bloecke.emplace_back(pfad, std::vector<StandEintrag>());
      if (it->block != 0 && !AltLesen(it->block, &bloecke.back().second)) return false;
    }
    return true;
  };
  VerzeichnisLoeschen(k_, da, wie_zuletzt);
  Seite d;
  return Ansehen(da, &d) && !d.da;
}

bool Verzeichnisvergleich::GanzWieZuletzt(const std::string& dir, uint64_t block, bool h,
                                          int64_t* dateien) {
  // What cannot be read counts as changed: the directory is then visited, and what it holds is
  // decided name by name.
  std::vector<StandEintrag> war;
  if (block != 0 && !AltLesen(block, &war)) return false;
  std::vector<FileInfo> eintraege;
  if (!k_.fs->ListDirectory(dir + "/", &eintraege).ok()) return false;
  for (const FileInfo& e : eintraege) {
    if (IstReserviert(e.name) || k_.Ausgenommen(dir + "/" + e.name, e.IsDirectory())) return false;
    auto it =
        std::lower_bound(war.begin(), war.end(), e.name,
                         [](const StandEintrag& x, const std::string& n) { return x.name < n; });
    if (it == war.end() || it->name != e.name || it->offen ||
        !Unveraendert(*it, h ? it->h : it->z, e))
      return false;
    if (e.IsDirectory()) {
      if (!GanzWieZuletzt(dir + "/" + e.name, it->block, h, dateien)) return false;
    } else {
      ++*dateien;
    }
  }
  return true;
}

Status Verzeichnisvergleich::Anlegen(const std::string& pfad) {
  if (!k_.Probelauf) {
    if (k_.ablage != nullptr) k_.ablage->Anlegen(pfad);
    Status s = k_.fs->CreateDirectory(pfad);
    if (!s) return s;
    k_.Geschrieben(pfad);
  } else {
    gedachte_.insert(pfad);
  }
  FileInfo verzeichnis;
  verzeichnis.kind = EntryKind::kDirectory;
  k_.MeldenFuer(AktionsArt::kAnlegen, pfad, &verzeichnis);
  return Status();
}

void Verzeichnisvergleich::NeuBesuchen(const std::string& rel_name, const std::string& neu,
                                       const FileInfo& vorbild, bool h, uint64_t alt_block) {
  const LetzterLauf gespeichert = k_.Letzter;
  const Gedacht gedacht = gedacht_;
  k_.Letzter = LetzterLauf();
  if (k_.Probelauf) {
    gedacht_ = h ? Gedacht::kZiel : Gedacht::kHerkunft;
  } else {
    // Created by the run, also when nothing comes into it.
    k_.verzeichnisse_geschrieben.insert(neu + "/");
  }
  offen_.push_back(Kennung(vorbild));
  alt_block_ = alt_block;
  VerzeichnisVergleichen(rel_name);
  const uint64_t block = neu_block_;
  offen_.pop_back();
  k_.Letzter = gespeichert;
  gedacht_ = gedacht;
  if (k_.Probelauf) return;
  const FileInfo keins;
  DatumUebertragen(k_.Herkunft + rel_name + "/", k_.Ziel + rel_name + "/", h ? vorbild : keins,
                   h ? keins : vorbild);
  // The bits come last: a directory without write permission is filled first. Giving a
  // directory away (as root) clears its set-ID bits, so the owner comes before them.
  // Refused owners (a user cannot give a directory away) stay unreported as before; a directory
  // that was replaced meanwhile is a failure.
  Status s;
  if (vorbild.uid != ProcessUid() || vorbild.gid != ProcessGid())
    s = k_.fs->SetOwner(neu, vorbild.uid, vorbild.gid);
  if (!s.replaced()) s = k_.fs->SetMode(neu, vorbild.mode & kVerzeichnisBits);
  if (s.replaced()) return k_.Fehlschlag(kRechte + neu, s);
  Seite n;
  if (neu_ == nullptr || !Ansehen(neu, &n) || !n.da || !n.info.IsDirectory()) return;
  Eintragen(vorbild.name, h ? vorbild : n.info, h ? n.info : vorbild, block);
}

void Verzeichnisvergleich::DatumUebertragen(const std::string& hdir, const std::string& zdir,
                                            const FileInfo& h, const FileInfo& z) {
  const bool h_geaendert = k_.verzeichnisse_geschrieben.erase(hdir) > 0;
  const bool z_geaendert = k_.verzeichnisse_geschrieben.erase(zdir) > 0;
  if (h_geaendert == z_geaendert || k_.Art == VorgangsArt::kArchivieren || k_.Probelauf) return;
  // A visit cut short by a cancel or a stop left the directory unfinished: it keeps the date
  // that says so.
  if (k_.Abbruch() || k_.StopAngefordert()) return;
  const FileInfo& vorbild = h_geaendert ? z : h;
  if (!vorbild.IsDirectory()) return;
  const std::string dir = StripTrailingSlash(h_geaendert ? hdir : zdir);
  // Through the held root, never following a link; a directory that cannot take the date keeps
  // its own, which decides nothing (directories are compared by their entries).
  k_.fs->SetTimes(dir.empty() ? "/" : dir, vorbild.atime, vorbild.mtime);
}

void Verzeichnisvergleich::NichtRegulaer(const std::string& pfad) {
  if (!gemeldet_.insert(pfad).second) return;
  ++k_.Uebersprungen;
  k_.Hinweis(pfad + kKeineRegulaereDatei);
}

const Entscheidung& Verzeichnisvergleich::Entscheiden(const Seite& h, const Seite& z,
                                                      const StandEintrag* alt) const {
  Lage l(h, z, k_.Letzter, ZukunftsGrenze(k_.Laufbeginn), alt);
  if (k_.Art == VorgangsArt::kSynchronisieren) return SyncEntscheidung(l);
  l.prueft_herkunft = PrueftHerkunft(k_.Pruefung());
  l.prueft_ziel = PrueftZiel(k_.Pruefung());
  return KopierEntscheidung(l);
}

void Verzeichnisvergleich::DateiPruefen(const std::string& rel, const std::string& name, Seite h,
                                        Seite z) {
  const Entscheidung* e = nullptr;
  const StandEintrag* alt = AltEintrag(name);
  if (k_.Art != VorgangsArt::kArchivieren) {
    e = &Entscheiden(h, z, alt);
    // Both sides were read when their directory was listed; the step may come much later
    // (after large copies or a question to the user). A step that changes a file is therefore
    // decided again on a fresh look at both sides, so that a file saved meanwhile is not lost.
    if (e->schritt != Schritt::kNichts) {
      if (!Ansehen(k_.Herkunft + rel + name, &h) || !Ansehen(k_.Ziel + rel + name, &z)) return;
      e = &Entscheiden(h, z, alt);
    }
  }

  if (k_.Will(LogStufe::kDateizugriff))
    k_.log->Zeile(LogStufe::kDateizugriff, "Vergl: Prüfe Datei: " + name);
  if (k_.Will(LogStufe::kDiagnose)) {
    k_.log->Zeile(LogStufe::kDiagnose, "Vergl: Herkunftsfile: " + DosLogText(Datum(h)) +
                                           " Zielfile: " + DosLogText(Datum(z)) +
                                           " Vergleichsdatum: " + DosLogText(k_.Letzter.Dos()));
  }

  // An archive copy gets a name of its own, so what the target holds under the file's name
  // does not matter to it.
  if (k_.Art == VorgangsArt::kArchivieren) return Archivieren(k_, rel, name, h.info);
  // Neither a FIFO nor a device is ever opened, and a file never replaces a directory (or the
  // other way round): such names are left as they are.
  if ((h.da && Besonders(h.info)) || (z.da && Besonders(z.info))) {
    const bool hb = h.da && Besonders(h.info);
    NichtRegulaer((hb ? k_.Herkunft : k_.Ziel) + rel + name);
    return;
  }
  if (h.da && z.da && h.info.IsDirectory() != z.info.IsDirectory()) {
    k_.Fehlschlag(kGleicherName + k_.Herkunft + rel + name + " / " + k_.Ziel + rel + name);
    return;
  }
  // A file on one side and a link on the other is no change of content but a change of kind:
  // copying the link over the file would lose its content (a link to the very file it replaces
  // would point at itself), and deleting either rests on no decision. Left as it is.
  if (h.da && z.da &&
      (h.info.kind == EntryKind::kSymlink) != (z.info.kind == EntryKind::kSymlink)) {
    k_.Fehlschlag(kDateiUndLink + k_.Herkunft + rel + name + " / " + k_.Ziel + rel + name);
    return;
  }
  Ausfuehren(*e, rel, name, h, z, alt);
}

void Verzeichnisvergleich::Ausfuehren(const Entscheidung& e, const std::string& rel,
                                      const std::string& name, const Seite& h, const Seite& z,
                                      const StandEintrag* alt) {
  // Most files of a run are in step: they cost no path of their own.
  if (e.schritt == Schritt::kNichts) {
    k_.Log(LogStufe::kDateizugriff, kKeineAenderung);
    return Nachtragen(e.schritt, true, rel, name, h, z, alt);
  }
  const std::string hpfad = k_.Herkunft + rel + name;
  const std::string zpfad = k_.Ziel + rel + name;
  // The target's fresh look (DateiPruefen) goes along, so that the copy does not look again.
  auto kopieren = [&](const std::string& von, const std::string& nach, int64_t groesse,
                      const Seite& ziel) {
    if (k_.kopierer == nullptr) return false;
    const ZielBlick gesehen{ziel.da, ziel.info};
    const KopierErgebnis ergebnis = k_.kopierer->Kopieren(von, nach, groesse, &gesehen);
    // A link the other side cannot hold stays where it is: a warning, once per run. The record
    // does not take it as in step, so the next run meets it as new again and never deletes it.
    if (ergebnis == KopierErgebnis::kKeinLink && !keine_links_gemeldet_) {
      keine_links_gemeldet_ = true;
      k_.Hinweis(kKeineLinks + nach);
    }
    if (ergebnis != KopierErgebnis::kKopiert) return false;
    k_.Geschrieben(nach);
    Aktion a;
    a.art = AktionsArt::kKopieren;
    a.seite = nach == zpfad ? AktionsSeite::kZiel : AktionsSeite::kHerkunft;
    a.rel = rel.substr(1) + name;
    if (h.da) a.herkunft = {h.info.size, h.info.mtime};
    if (z.da) a.ziel = {z.info.size, z.info.mtime};
    k_.Melden(a);
    return true;
  };
  // A deletion waits until the walk is done (Entfernen), where it is decided again; the record
  // meanwhile carries the name over. Never deleting is settled at once: nothing goes.
  auto vormerken = [&](bool herkunft, const std::string& andere, const std::string& pfad) {
    if (k_.Loeschen == LoeschModus::kNie || alt == nullptr) return DateiLoeschen(k_, pfad);
    if (!AndereSeiteErreichbar(andere, pfad)) return false;
    k_.entfernungen.Hinzufuegen(herkunft ? AktionsSeite::kHerkunft : AktionsSeite::kZiel, false,
                                rel.substr(1) + name, &e, 1, *alt);
    return false;
  };
  bool getan = false;
  switch (e.schritt) {
    case Schritt::kNichts:
      return;
    case Schritt::kDoppelteAenderung:
      if (SchreibungErlaubt(rel, name, e.schritt)) DoppelteAenderung(k_, rel, name, h.info, z.info);
      return Nachtragen(e.schritt, true, rel, name, h, z, alt);
    case Schritt::kZukunft: {
      const FileTime grenze = ZukunftsGrenze(k_.Laufbeginn);
      if (h.info.mtime > grenze) k_.Hinweis(kZukunft + hpfad);
      if (z.info.mtime > grenze) k_.Hinweis(kZukunft + zpfad);
      // Written on both sides since the last run: a double change that the future date only
      // hides. Recording this run would let the later run, once the date has passed, take the
      // future file for the only change and copy it over the other edit; so the double change
      // stays undecided, the run is not recorded, and each run meets it again.
      if (k_.Art == VorgangsArt::kSynchronisieren && h.da && z.da) {
        const Lage beide(h, z, k_.Letzter);
        if (beide.HSeitEnde() && beide.ZSeitEnde())
          k_.Fehlschlag("Vergl: Doppelte Änderung nicht entschieden: " + hpfad);
      }
      return Nachtragen(e.schritt, true, rel, name, h, z, alt);
    }
    case Schritt::kZumZiel:
      getan = SchreibungErlaubt(rel, name, e.schritt) && kopieren(hpfad, zpfad, h.info.size, z);
      break;
    case Schritt::kZurHerkunft:
      getan = SchreibungErlaubt(rel, name, e.schritt) && kopieren(zpfad, hpfad, z.info.size, h);
      break;
    case Schritt::kHerkunftLoeschen:
      getan = vormerken(true, k_.Ziel + rel, hpfad);
      break;
    case Schritt::kZielLoeschen:
      getan = vormerken(false, k_.Herkunft + rel, zpfad);
      break;
  }
  Nachtragen(e.schritt, getan, rel, name, h, z, alt);
  // The lines tell what was done: nothing is claimed for a copy that failed or a file kept.
  if (!getan) return;
  const Namen n{k_.Herkunft, k_.Ziel, rel, name};
  if (e.bericht != nullptr && k_.Will(LogStufe::kDateiAenderung))
    k_.log->Zeile(LogStufe::kDateiAenderung, e.bericht(n));
  if (e.grund != nullptr && k_.Will(LogStufe::kDiagnose))
    k_.log->Zeile(LogStufe::kDiagnose, e.grund(n));
}

void Verzeichnisvergleich::Nachtragen(Schritt schritt, bool getan, const std::string& rel,
                                      const std::string& name, const Seite& h, const Seite& z,
                                      const StandEintrag* alt) {
  if (neu_ == nullptr) return;
  auto beide_dateien = [](const Seite& x, const Seite& y) {
    return x.da && y.da && !x.info.IsDirectory() && !y.info.IsDirectory();
  };
  Seite hn;
  Seite zn;
  switch (schritt) {
    case Schritt::kNichts:
      // The same version on both sides, as the listings found them.
      if (beide_dateien(h, z)) Eintragen(name, h.info, z.info);
      return;
    case Schritt::kZumZiel:
    case Schritt::kZurHerkunft:
      if (!getan) return;
      break;
    case Schritt::kHerkunftLoeschen:
    case Schritt::kZielLoeschen:
      // A deletion not carried out (never deleting, a failure) is met again by the next run.
      if (!getan && alt != nullptr) Uebernehmen(*alt);
      return;
    case Schritt::kZukunft:
      // Both versions stay as they are, and a date in the future says nothing about which is
      // newer: what the last run knew of the name is kept for the next one.
      if (alt != nullptr) Uebernehmen(*alt);
      return;
    case Schritt::kDoppelteAenderung:
      break;
  }
  if (!Ansehen(k_.Herkunft + rel + name, &hn) || !Ansehen(k_.Ziel + rel + name, &zn)) return;
  if (beide_dateien(hn, zn) && (hn.info.mtime.sec >> 1) == (zn.info.mtime.sec >> 1)) {
    Eintragen(name, hn.info, zn.info);
    return;
  }
  // A double change left alone: the entry from before it stays, marked, so that the next run
  // meets the same double change and treats it by the job's policy again.
  if (schritt != Schritt::kDoppelteAenderung || !hn.da || !zn.da) return;
  StandEintrag offen;
  if (alt != nullptr) offen = *alt;
  offen.name = name;
  offen.art = EntryKind::kFile;
  offen.offen = true;
  offen.block = 0;
  neu_->push_back(std::move(offen));
}

}  // namespace zarnoft
