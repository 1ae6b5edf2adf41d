// DoppelteAenderung: a file changed on both sides since the last run, settled by the job's
// policy or by asking the user about this one file.
//
// Nothing is settled behind the user's back: when nobody can be asked (a run without a user),
// the file is left alone and the run counts a failure, so that its last run is not recorded and
// the next run meets the conflict again (a later run would otherwise take the older version for
// unchanged and copy the newer over it). A file written while the question was open is not
// overwritten either.
#include <string>
#include <vector>

#include "engine/conflict.h"
#include "engine/run_store.h"
#include "platform/date_time.h"

namespace zarnoft {
namespace {

std::string Anzeige(const std::string& wurzel) {
  return wurzel.empty() ? "/" : wurzel;
}

// A file's date as the question shows it: its DOS form turned back into a date-time.
std::string DatumText(const FileInfo& datei) {
  LocalTime lt;
  if (!LocalFromDos(DosFromFileTime(datei.mtime), &lt)) return "unbekannt";
  return DateTimeText(lt);
}

// Whether a file is still what the decision saw.
bool Unveraendert(FileSystem* fs, const std::string& pfad, const FileInfo& vorher) {
  FileInfo jetzt;
  return fs->Stat(pfad, &jetzt).ok() && jetzt.kind == vorher.kind && jetzt.size == vorher.size &&
         jetzt.mtime == vorher.mtime && jetzt.inode == vorher.inode &&
         jetzt.device == vorher.device;
}

// The answer of a window that has nobody to ask.
constexpr DoppelRegel kNiemandDa = static_cast<DoppelRegel>(-1);

// N with a version mark before its extension (from the last "." on): Brief.doc gives
// "Brief V1.doc", Liste gives "Liste V1", .profile gives " V1.profile".
std::string MitVersion(const std::string& name, const std::string& marke) {
  size_t punkt = name.rfind('.');
  if (punkt == std::string::npos) return name + marke;
  return name.substr(0, punkt) + marke + name.substr(punkt);
}

// The user's answer, as the policy it chooses for this one file; kNachfragen when the question
// was closed without an answer (nothing is done then), kNiemandDa when nobody could be asked.
DoppelRegel Fragen(LaufKontext& k, const std::string& rel, const std::string& name,
                   const FileInfo& a, const FileInfo& b) {
  const std::vector<std::string> zeilen = {
      "Die Datei " + rel + name,
      "wurde sowohl im Verzeichnis",
      "1: " + Anzeige(k.Herkunft),
      "   (geändert " + DatumText(a) + ")",
      "als auch im Verzeichnis",
      "2: " + Anzeige(k.Ziel),
      "   (geändert " + DatumText(b) + ")",
      "geändert.",
      "",
      " Soll die Datei im Verzeichnis 1 erhalten bleiben?",
      "",
      "Ja: 1 auf 2 kopieren, Nein: 2 auf 1 kopieren,",
      "Alle: beide bleiben erhalten (als V1 und V2),",
      "Ignorieren: keine Aktion durchführen",
  };
  Frage f;
  f.symbol = Frage::Symbol::kWarnung;
  f.anlass = Frage::Anlass::kDoppelteAenderung;
  f.titel = "Warnung";
  for (size_t i = 0; i < zeilen.size(); ++i) {
    if (i > 0) f.text += '\r';
    f.text += zeilen[i];
  }
  f.knoepfe = {"&Ja", "&Nein", "&Ignorieren", "&Alles"};
  f.standard = 0;   // Enter keeps the source
  f.abbrechen = 1;  // Esc keeps the target
  switch (k.fenster->FrageStellen(f)) {
    case 0:
      return DoppelRegel::kHerkunftBehalten;
    case 1:
      return DoppelRegel::kZielBehalten;
    case 2:
      return DoppelRegel::kKeineAktion;
    case 3:
      return DoppelRegel::kBeideBehalten;
    case kNiemandGefragt:
      return kNiemandDa;
    default:
      return DoppelRegel::kNachfragen;
  }
}

// Reports how a double change was settled.
void Melden(LaufKontext& k, AktionsArt art, AktionsSeite seite, const std::string& rel,
            const std::string& name, const FileInfo& h, const FileInfo& z) {
  Aktion a;
  a.art = art;
  a.seite = seite;
  a.rel = rel.substr(1) + name;
  a.herkunft = {h.size, h.mtime};
  a.ziel = {z.size, z.mtime};
  a.doppelt = true;
  k.Melden(a);
}

// Whether a name is taken; a name that cannot be queried counts as taken.
bool Belegt(FileSystem* fs, const std::string& pfad) {
  FileInfo info;
  return !fs->Stat(pfad, &info).missing();
}

// Both versions stay: the target's as N2, the source's as N1, each copied to the other side.
void BeideBehalten(LaufKontext& k, const std::string& rel, const std::string& name,
                   const FileInfo& hi, const FileInfo& zi) {
  const std::string h = k.Herkunft + rel;
  const std::string z = k.Ziel + rel;
  const std::string n1 = MitVersion(name, " V1");
  const std::string n2 = MitVersion(name, " V2");
  auto nicht_moeglich = [&](const Status& grund) {
    k.FehlschlagMitGrundzeile("Vergl: -> Umbenennen zu V1,V2 nicht möglich", grund);
  };

  // A cancelled run copies nothing, so renaming would leave each version on one side only.
  if (k.Abbruch()) return;
  // The two copies must not replace a third file that happens to carry N1 or N2 already; the
  // renames refuse existing names on their own.
  if (Belegt(k.fs, z + n1) || Belegt(k.fs, h + n2)) return nicht_moeglich(Status());
  if (k.Probelauf) {
    Melden(k, AktionsArt::kBeideBehalten, AktionsSeite::kBeide, rel, name, hi, zi);
    return;
  }
  // Each rename is journaled first, so that the run can be taken back.
  auto umbenennen = [&](const std::string& von, const std::string& nach, const FileInfo& info) {
    if (k.ablage != nullptr) k.ablage->Umbenennen(von, nach, info);
    return k.fs->RenameNoReplace(von, nach);
  };
  Status s = umbenennen(z + name, z + n2, zi);
  if (!s) return nicht_moeglich(s);
  s = umbenennen(h + name, h + n1, hi);
  if (!s) {
    // The target's version alone under N2 would count as new there and the source's N as
    // deleted on the other side; the conflict stays as it was instead.
    umbenennen(z + n2, z + name, zi);
    return nicht_moeglich(s);
  }
  k.Geschrieben(h + n1);
  k.Geschrieben(z + n2);

  KopierErgebnis erste = k.kopierer->Kopieren(h + n1, z + n1, hi.size);
  KopierErgebnis zweite = KopierErgebnis::kAbgebrochen;
  if (erste == KopierErgebnis::kKopiert) zweite = k.kopierer->Kopieren(z + n2, h + n2, zi.size);
  if (erste == KopierErgebnis::kKopiert && zweite == KopierErgebnis::kKopiert) {
    k.Log(LogStufe::kDateiAenderung, "Vergl: -> Herkunft als V1, Ziel als V2 behalten");
    Melden(k, AktionsArt::kBeideBehalten, AktionsSeite::kBeide, rel, name, hi, zi);
    return;
  }
  // A version present on one side only would be taken for a deletion by a later run. Both
  // copies went to names that were free, so taking them back removes no file of the user's.
  if (erste == KopierErgebnis::kKopiert) k.fs->DeleteFile(z + n1);
  umbenennen(h + n1, h + name, hi);
  umbenennen(z + n2, z + name, zi);
  k.Fehlschlag("Vergl: -> Beide behalten nicht möglich, Kopie fehlgeschlagen: " + rel + name);
}

// Copies one version over the other (onto the target when `zum_ziel`); the line that tells it
// only when the copy was made.
void Behalten(LaufKontext& k, const std::string& rel, const std::string& name, const FileInfo& hi,
              const FileInfo& zi, bool zum_ziel, const char* zeile) {
  const std::string h = k.Herkunft + rel + name;
  const std::string z = k.Ziel + rel + name;
  const std::string& von = zum_ziel ? h : z;
  const std::string& nach = zum_ziel ? z : h;
  if (k.kopierer->Kopieren(von, nach, zum_ziel ? hi.size : zi.size) != KopierErgebnis::kKopiert)
    return;
  k.Geschrieben(nach);
  k.Log(LogStufe::kDateiAenderung, zeile);
  Melden(k, AktionsArt::kKopieren, zum_ziel ? AktionsSeite::kZiel : AktionsSeite::kHerkunft, rel,
         name, hi, zi);
}

}  // namespace

void DoppelteAenderung(LaufKontext& k, const std::string& rel, const std::string& name,
                       const FileInfo& hi, const FileInfo& zi) {
  const std::string h = k.Herkunft + rel + name;
  const std::string z = k.Ziel + rel + name;
  k.Log(LogStufe::kWarnung, "Vergl: Doppelt geändert: " + z + " und " + h);

  DoppelRegel d = k.Regel();
  if (d == DoppelRegel::kNachfragen) {
    // After a cancel no copy is made any more, so the answer would have no effect.
    if (k.Abbruch()) return;
    Melden(k, AktionsArt::kNachfragen, AktionsSeite::kBeide, rel, name, hi, zi);
    // A probe run asks nobody: the question is its answer.
    if (k.Probelauf) return;
    d = Fragen(k, rel, name, hi, zi);
    if (d == kNiemandDa) {
      k.Fehlschlag("Vergl: Doppelte Änderung nicht entschieden: " + h);
      return;
    }
    k.Log(LogStufe::kDateiAenderung, "Vergl: (Auswahl durch Benutzer)");
    // The question may have been open for a long time; what was written meanwhile is newer than
    // what the user decided about.
    if (!Unveraendert(k.fs, h, hi) || !Unveraendert(k.fs, z, zi)) {
      k.Fehlschlag("Vergl: Während der Frage geändert, nichts getan: " + h);
      return;
    }
  }

  switch (d) {
    case DoppelRegel::kNeuerenBehalten:
      // The later date in the program's two-second steps wins; equal dates never get here.
      Behalten(k, rel, name, hi, zi, (zi.mtime.sec >> 1) <= (hi.mtime.sec >> 1),
               "Vergl: -> Neueren kopiert");
      break;
    case DoppelRegel::kHerkunftBehalten:
      Behalten(k, rel, name, hi, zi, true, "Vergl: -> Herkunft behalten");
      break;
    case DoppelRegel::kZielBehalten:
      Behalten(k, rel, name, hi, zi, false, "Vergl: -> Ziel behalten");
      break;
    case DoppelRegel::kBeideBehalten:
      BeideBehalten(k, rel, name, hi, zi);
      break;
    case DoppelRegel::kKeineAktion:
      k.Log(LogStufe::kDateiAenderung, "Vergl: -> Keine Aktion");
      Melden(k, AktionsArt::kBelassen, AktionsSeite::kBeide, rel, name, hi, zi);
      break;
    default:
      break;
  }
}

}  // namespace zarnoft
