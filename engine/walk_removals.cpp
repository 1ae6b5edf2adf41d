// Verzeichnisvergleich::Entfernen: the removals a two-way walk collected, carried out after the
// walk. Each is decided again on a fresh look right before it goes, by the record of the last run
// as the walk decided it, so that a file saved or brought back while the walk went on stays.
#include <string>

#include "engine/deletion.h"
#include "engine/deletion_guard.h"
#include "engine/walk.h"

namespace zarnoft {
namespace {

// "d/e/name" gives "/d/e/" and "name"; "name" gives "/" and "name".
void Teilen(const std::string& rel, std::string* verzeichnis, std::string* name) {
  const size_t strich = rel.rfind('/');
  if (strich == std::string::npos) {
    *verzeichnis = "/";
    *name = rel;
  } else {
    *verzeichnis = "/" + rel.substr(0, strich + 1);
    *name = rel.substr(strich + 1);
  }
}

}  // namespace

void Verzeichnisvergleich::Entfernen() {
  if (k_.entfernungen.Leer() || k_.StopAngefordert() || k_.Abbruch()) return;
  const bool herkunft = LoeschenErlaubt(k_, AktionsSeite::kHerkunft);
  const bool ziel = LoeschenErlaubt(k_, AktionsSeite::kZiel);
  for (size_t i = 0; i < k_.entfernungen.Anzahl(); ++i) {
    // A cancelled or stopped run removes nothing more.
    if (k_.StopAngefordert() || k_.Abbruch()) return;
    const Entfernungsliste::Eintrag e = k_.entfernungen.Holen(i);
    if (!(e.seite == AktionsSeite::kHerkunft ? herkunft : ziel)) continue;
    if (e.verzeichnis) {
      BaumEntfernen(e);
    } else {
      DateiEntfernen(e);
    }
  }
}

void Verzeichnisvergleich::DateiEntfernen(const Entfernungsliste::Eintrag& e) {
  std::string rel;
  std::string name;
  Teilen(e.rel, &rel, &name);
  const std::string hpfad = k_.Herkunft + rel + name;
  const std::string zpfad = k_.Ziel + rel + name;
  const bool h = e.seite == AktionsSeite::kHerkunft;
  const std::string& pfad = h ? hpfad : zpfad;
  Seite hs;
  Seite zs;
  if (!Ansehen(hpfad, &hs) || !Ansehen(zpfad, &zs)) return;
  const bool ok_art = !(hs.da && zs.da);
  if (!ok_art || &Entscheiden(hs, zs, &e.stand) != e.entscheidung) {
    k_.Log(LogStufe::kDateiAenderung,
           "Vergl: Nicht gelöscht, seit dem Vergleich geändert: " + pfad);
    return;
  }
  if (!AndereSeiteErreichbar((h ? k_.Ziel : k_.Herkunft) + rel, pfad)) return;
  if (!DateiLoeschen(k_, pfad)) return;
  const Namen n{k_.Herkunft, k_.Ziel, rel, name};
  if (e.entscheidung->bericht != nullptr && k_.Will(LogStufe::kDateiAenderung))
    k_.log->Zeile(LogStufe::kDateiAenderung, e.entscheidung->bericht(n));
  if (e.entscheidung->grund != nullptr && k_.Will(LogStufe::kDiagnose))
    k_.log->Zeile(LogStufe::kDiagnose, e.entscheidung->grund(n));
}

void Verzeichnisvergleich::BaumEntfernen(const Entfernungsliste::Eintrag& e) {
  std::string rel;
  std::string name;
  Teilen(e.rel, &rel, &name);
  const bool h = e.seite == AktionsSeite::kHerkunft;
  const std::string da = (h ? k_.Herkunft : k_.Ziel) + rel + name;
  const std::string fehlt = (h ? k_.Ziel : k_.Herkunft) + rel + name;
  // The tree was as recorded when the walk met it. The directory itself must still be the one
  // recorded and the other side must still lack it; StandLoeschen then looks at each entry
  // again, so that what is new or changed since stays.
  Seite d;
  Seite andere;
  if (!Ansehen(da, &d) || !Ansehen(fehlt, &andere)) return;
  if (!d.da || andere.da || !Unveraendert(e.stand, h ? e.stand.h : e.stand.z, d.info)) {
    k_.Log(LogStufe::kDateiAenderung, "Vergl: Nicht gelöscht, seit dem Vergleich geändert: " + da);
    return;
  }
  if (AndereSeiteErreichbar((h ? k_.Ziel : k_.Herkunft) + rel, da)) StandLoeschen(da, e.stand, h);
}

}  // namespace zarnoft
