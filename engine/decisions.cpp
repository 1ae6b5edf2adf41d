#include "engine/decisions.h"

#include <iterator>

namespace zarnoft {
namespace {

// The blanks after "Vergl:" belong to the texts.
constexpr char kVorSyncGeaendert[] = "Vergl:              Andere Version vor letztem Sync geändert";
constexpr char kNachSyncGeaendert[] =
    "Vergl:                Andere Version nach letztem Sync geändert";
constexpr char kZugriffTrotzGeloescht[] =
    "Vergl:                Zugriff nach letztem Sync, trotz gelöscht unter ";
constexpr char kWeilNichtIn[] = "Vergl:                weil nicht in ";

// The two-second step of a date: the program's date form keeps no finer time, and the coarsest
// file systems a copy may land on (FAT) keep no finer either.
int64_t Schritt2(FileTime t) {
  return t.sec >> 1;
}

std::string KopiertAus(const std::string& name, const std::string& wurzel) {
  return "Vergl: Kopiert: " + name + " aus Verzeichnis " + wurzel;
}

std::string GeloeschtAus(const std::string& name, const std::string& wurzel) {
  return "Vergl: Gelöscht: " + name + " aus Verzeichnis " + wurzel;
}

// The two-way table. Each row says what holds and what follows; the comment says why.
const Entscheidung kSync[] = {
    // The date alone tells versions apart: equal dates mean the same version, whatever the
    // content or the size.
    {"the same date on both sides: nothing to do", [](const Lage& l) { return l.gleich; },
     Schritt::kNichts, nullptr, nullptr},

    // A date in the future says nothing about which version is newer, and it would read as
    // "changed since the last run" on every run: such a file neither replaces the other
    // version nor wins a double change. Both stay, and the file is named.
    {"a file on both sides, one dated in the future: both stay",
     [](const Lage& l) { return l.h_datei && l.z_datei && (l.h_zukunft || l.z_zukunft); },
     Schritt::kZukunft, nullptr, nullptr},

    // Neither version may simply replace the other: both hold changes of their own. A double
    // change that a run left alone stays one until it is settled.
    {"written on both sides since the last run: a double change",
     [](const Lage& l) { return (l.HSeitEnde() && l.ZSeitEnde()) || l.offener_konflikt; },
     Schritt::kDoppelteAenderung, nullptr, nullptr},

    // Only the source changed since the last run, so its version is the one to keep.
    {"source newer, target unchanged since the last run: copy to the target",
     [](const Lage& l) { return l.h_datei && l.z_datei && l.h_neuer; }, Schritt::kZumZiel,
     [](const Namen& n) { return KopiertAus(n.name, n.herkunft); },
     [](const Namen&) { return std::string(kVorSyncGeaendert); }},

    // Not left on both sides by the last run, or changed since: it is new (or was brought
    // back), not deleted. Its date does not matter: a file put on a stick keeps its old one.
    {"in the source only, not as the last run left it: new, copy to the target",
     [](const Lage& l) { return l.h_datei && !l.z_datei && !l.HGeloeschtDrueben(); },
     Schritt::kZumZiel, [](const Namen& n) { return KopiertAus(n.name, n.herkunft); },
     [](const Namen& n) { return kZugriffTrotzGeloescht + n.ziel; }},

    // As the last run left it on both sides: it was deleted in the target since, and the
    // deletion follows.
    {"in the source only, as the last run left it: deleted in the target, delete it",
     [](const Lage& l) { return l.h_datei && !l.z_datei && l.HGeloeschtDrueben(); },
     Schritt::kHerkunftLoeschen, [](const Namen& n) { return GeloeschtAus(n.name, n.herkunft); },
     [](const Namen& n) { return kWeilNichtIn + n.ziel + " gefunden"; }},

    // Only the target changed since the last run, so its version is the one to keep.
    {"target newer, source unchanged since the last run: copy to the source",
     [](const Lage& l) { return l.h_datei && l.z_datei && l.z_neuer; }, Schritt::kZurHerkunft,
     [](const Namen& n) { return KopiertAus(n.name, n.ziel); },
     [](const Namen&) { return std::string(kNachSyncGeaendert); }},

    {"in the target only, not as the last run left it: new, copy to the source",
     [](const Lage& l) { return l.z_datei && !l.h_datei && !l.ZGeloeschtDrueben(); },
     Schritt::kZurHerkunft, [](const Namen& n) { return KopiertAus(n.name, n.ziel); },
     [](const Namen& n) { return kZugriffTrotzGeloescht + n.herkunft; }},

    {"in the target only, as the last run left it: deleted in the source, delete it",
     [](const Lage& l) { return l.z_datei && !l.h_datei && l.ZGeloeschtDrueben(); },
     Schritt::kZielLoeschen, [](const Namen& n) { return GeloeschtAus(n.name, n.ziel); },
     [](const Namen& n) { return kWeilNichtIn + n.herkunft + " gefunden"; }},
};

// No row holds: a copy job without a reason to copy, or a name that vanished from both sides.
const Entscheidung kNichtsZuTun = {"no row holds: nothing to do", [](const Lage&) { return true; },
                                   Schritt::kNichts, nullptr, nullptr};

// The copy table. A copy job writes only onto the target and never deletes.
const Entscheidung kKopie[] = {
    // A source dated in the future would be copied again on every run; the target keeps a
    // version of its own against it (the same one, with an equal date, is simply left).
    {"the source dated in the future, the target holds the same version: nothing to do",
     [](const Lage& l) { return l.h_zukunft && l.z_datei && l.gleich; }, Schritt::kNichts, nullptr,
     nullptr},
    {"the source dated in the future, the target holds another version: both stay",
     [](const Lage& l) { return l.h_zukunft && l.z_datei; }, Schritt::kZukunft, nullptr, nullptr},

    // The target is to hold the source's version: a target written since the last run is put
    // back, when the job checks the target.
    {"target written since the last run, the job checks the target: copy the source over it",
     [](const Lage& l) { return l.h_datei && l.prueft_ziel && l.ZSeitBeginn(); }, Schritt::kZumZiel,
     [](const Namen& n) { return "Vergl: Wegen Ziel kopiere " + n.name + " aus " + n.rel; },
     nullptr},

    // A source written since the last run has content the target lacks.
    {"source written since the last run, the job checks the source: copy it to the target",
     [](const Lage& l) { return l.prueft_herkunft && l.HSeitBeginn(); }, Schritt::kZumZiel,
     [](const Namen& n) { return "Vergl: Herkunft kopiere " + n.name + " aus " + n.rel; }, nullptr},
};

template <size_t N>
const Entscheidung& Erste(const Entscheidung (&tabelle)[N], const Lage& l) {
  for (const Entscheidung& e : tabelle) {
    if (e.gilt(l)) return e;
  }
  return kNichtsZuTun;
}

}  // namespace

Lage::Lage(const Seite& h, const Seite& z, const LetzterLauf& letzter, FileTime grenze,
           const StandEintrag* alt)
    : h_(h), z_(z), letzter_(letzter), alt_(alt) {
  h_datei = h.da && !h.info.IsDirectory();
  z_datei = z.da && !z.info.IsDirectory();
  h_zukunft = h_datei && h.info.mtime > grenze;
  z_zukunft = z_datei && z.info.mtime > grenze;
  if (h_datei && z_datei) {
    const int64_t a = Schritt2(h.info.mtime);
    const int64_t b = Schritt2(z.info.mtime);
    gleich = a == b;
    h_neuer = a > b;
    z_neuer = b > a;
    offener_konflikt = alt != nullptr && alt->offen && !Unveraendert(*alt, alt->h, h.info) &&
                       !Unveraendert(*alt, alt->z, z.info);
  } else {
    // No date on either side: as in the older form, where both read "missing", nothing is done.
    gleich = !h_datei && !z_datei;
    h_neuer = h_datei;
    z_neuer = z_datei;
  }
}

bool Lage::HGeloeschtDrueben() const {
  return h_datei && alt_ != nullptr && !alt_->offen && Unveraendert(*alt_, alt_->h, h_.info);
}

bool Lage::ZGeloeschtDrueben() const {
  return z_datei && alt_ != nullptr && !alt_->offen && Unveraendert(*alt_, alt_->z, z_.info);
}

const Entscheidung& SyncEntscheidung(const Lage& l) {
  return Erste(kSync, l);
}

const Entscheidung& KopierEntscheidung(const Lage& l) {
  return Erste(kKopie, l);
}

}  // namespace zarnoft
