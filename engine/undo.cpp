#include "engine/undo.h"

#include <cerrno>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "engine/kept_runs.h"
#include "engine/root_identity.h"
#include "engine/run_journal.h"
#include "engine/run_record.h"
#include "engine/run_store.h"
#include "platform/number_format.h"
#include "platform/path_helpers.h"
#include "platform/reserved_dir.h"
#include "platform/temp_name.h"

namespace zarnoft {
namespace {

constexpr char kGeaendert[] = "Seit dem Lauf geändert, bleibt: ";
constexpr char kFehlt[] = "Aufbewahrte Fassung fehlt: ";
constexpr char kNichtMoeglich[] = "Nicht rückgängig gemacht: ";
constexpr size_t kHoechsteJournalGroesse = size_t{1} << 30;

bool WieGeschrieben(const FileInfo& jetzt, const JournalEintrag& e) {
  return !jetzt.IsDirectory() && jetzt.size == e.groesse && jetzt.mtime == e.datum &&
         jetzt.inode == e.inode;
}

class Rueckgaengig {
 public:
  Rueckgaengig(const RueckgaengigWerte& w, const RueckgaengigDienste& d, RueckgaengigErgebnis* erg)
      : w_(w), d_(d), erg_(erg) {}

  void Ausfuehren(const std::string& name, const std::vector<JournalEintrag>& schritte,
                  Laufablage* ablage) {
    name_ = name;
    u_ = ablage;
    for (size_t i = schritte.size(); i-- > 0;) {
      const JournalEintrag& e = schritte[i];
      // A kept version belongs to the file written right after it.
      const JournalEintrag* behalten = nullptr;
      if (e.schritt == JournalSchritt::kGeschrieben && i > 0 &&
          schritte[i - 1].schritt == JournalSchritt::kBehalten && schritte[i - 1].ziel == e.ziel &&
          schritte[i - 1].rel == e.rel) {
        behalten = &schritte[i - 1];
        --i;
      }
      Schritt(e, behalten);
    }
    // The dates last: every step above changes the date of its directory.
    for (const auto& [pfad, datum] : daten_) {
      FileInfo info;
      if (Probe() || !fs()->Stat(pfad.empty() ? "/" : pfad, &info).ok() || !info.IsDirectory())
        continue;
      fs()->SetTimes(pfad.empty() ? "/" : pfad, info.atime, datum);
    }
  }

 private:
  FileSystem* fs() const { return d_.fs; }
  bool Probe() const { return w_.Probelauf; }
  std::string Pfad(const JournalEintrag& e, const std::string& rel) const {
    return (e.ziel ? w_.Ziel : w_.Herkunft) + (rel.empty() ? "" : "/" + rel);
  }
  std::string Ablage(const JournalEintrag& e) const {
    return LaeufeVerzeichnis(e.ziel ? w_.Ziel : w_.Herkunft) + "/" + name_ + "/" + e.rel;
  }

  void Log(LogStufe stufe, const std::string& text) {
    if (d_.log != nullptr && d_.log->Will(stufe)) d_.log->Zeile(stufe, text);
  }
  void Melden(AktionsArt art, const JournalEintrag& e, const std::string& rel, bool verzeichnis,
              int64_t groesse) {
    ++erg_->schritte;
    Aktion a;
    a.art = art;
    a.seite = e.ziel ? AktionsSeite::kZiel : AktionsSeite::kHerkunft;
    a.rel = rel + (verzeichnis ? "/" : "");
    Dateistand& s = e.ziel ? a.ziel : a.herkunft;
    if (!verzeichnis) s.groesse = groesse;
    a.ziel.datum = e.datum;
    erg_->zaehlung.Zaehlen(a);
    if (d_.bericht != nullptr) d_.bericht->Getan(a);
  }
  void Fehlschlag(const std::string& text, const Status& grund = Status()) {
    ++erg_->fehler;
    Log(LogStufe::kWarnung,
        "Vergl: " + text + (grund.ok() ? std::string() : " (" + grund.Reason() + ")"));
    if (d_.bericht != nullptr) d_.bericht->Fehler({text, grund.ok() ? "" : grund.Reason()});
  }

  // The state of a place: false when it could not be queried (a failure, counted).
  bool Ansehen(const std::string& pfad, FileInfo* info, bool* da) {
    if (Probe() && gedacht_weg_.count(pfad)) {
      *da = false;
      return true;
    }
    Status s = fs()->Stat(pfad, info);
    *da = s.ok();
    if (s.ok() || s.missing()) return true;
    Fehlschlag(kNichtMoeglich + pfad, s);
    return false;
  }

  // In a probe, what the steps so far would have removed (or put back) at `pfad`, so that the
  // plan decides each later step as the undo itself will.
  void Gedacht(const std::string& pfad, bool weg) {
    if (!Probe()) return;
    if (weg) {
      gedacht_weg_.insert(pfad);
    } else {
      gedacht_weg_.erase(pfad);
    }
  }

  // Puts the version at `von` (described by `info`) at the free or replaced place `pfad`.
  Status Einsetzen(const std::string& von, const std::string& pfad, const FileInfo& info,
                   const FileInfo* ersetzt) {
    if (u_ != nullptr) {
      u_->VorDemSchreiben(pfad);
      if (Status s = u_->VorDemEinsetzen(pfad, ersetzt, info); !s) return s;
    }
    Status s =
        ersetzt != nullptr ? fs()->RenameReplace(von, pfad) : fs()->RenameNoReplace(von, pfad);
    if (s.error() == EXDEV && ersetzt == nullptr) s = DateiAblegen(fs(), von, pfad, info);
    return s;
  }

  void Geschrieben(const JournalEintrag& e, const JournalEintrag* behalten) {
    const std::string pfad = Pfad(e, e.rel);
    FileInfo jetzt;
    bool da = false;
    if (!Ansehen(pfad, &jetzt, &da)) return;
    FileInfo alt;
    bool alt_da = false;
    if (behalten != nullptr && !Ansehen(Ablage(*behalten), &alt, &alt_da)) return;
    if (da && !WieGeschrieben(jetzt, e)) {
      // The run never got to put its copy in place: the version there is the kept one.
      if (behalten != nullptr && jetzt.inode == behalten->inode &&
          jetzt.size == behalten->groesse && jetzt.mtime == behalten->datum)
        return;
      return Fehlschlag(kGeaendert + pfad);
    }
    if (behalten != nullptr && !alt_da) {
      if (!da) return;  // neither the run's version nor the kept one: nothing to put back
      return Fehlschlag(kFehlt + Ablage(*behalten));
    }
    if (behalten != nullptr) {
      Melden(AktionsArt::kWiederherstellen, e, e.rel, false, alt.size);
      Gedacht(pfad, false);
      if (Probe()) return;
      Status s = Einsetzen(Ablage(*behalten), pfad, alt, da ? &jetzt : nullptr);
      if (!s) Fehlschlag(kNichtMoeglich + pfad, s);
      return;
    }
    if (!da) return;  // the run's own file is gone already (taken back by the run itself)
    Melden(AktionsArt::kLoeschen, e, e.rel, false, jetzt.size);
    Gedacht(pfad, true);
    if (Probe()) return;
    Status s = u_ != nullptr ? u_->Entfernen(pfad, jetzt) : fs()->DeleteFile(pfad);
    if (!s) Fehlschlag(kNichtMoeglich + pfad, s);
  }

  void Entfernt(const JournalEintrag& e) {
    const std::string pfad = Pfad(e, e.rel);
    FileInfo jetzt;
    bool da = false;
    FileInfo alt;
    bool alt_da = false;
    if (!Ansehen(pfad, &jetzt, &da) || !Ansehen(Ablage(e), &alt, &alt_da)) return;
    // The run was stopped before the file went: it is still in place.
    if (da && jetzt.inode == e.inode && !alt_da) return;
    if (!alt_da) return Fehlschlag(kFehlt + Ablage(e));
    if (da) return Fehlschlag(kGeaendert + pfad);
    Melden(AktionsArt::kWiederherstellen, e, e.rel, false, alt.size);
    Gedacht(pfad, false);
    if (Probe()) return;
    if (Status s = Einsetzen(Ablage(e), pfad, alt, nullptr); !s)
      Fehlschlag(kNichtMoeglich + pfad, s);
  }

  void Ausgelagert(const JournalEintrag& e) {
    const std::string pfad = Pfad(e, e.rel);
    FileInfo jetzt;
    bool da = false;
    FileInfo alt;
    bool alt_da = false;
    if (!Ansehen(pfad, &jetzt, &da) || !Ansehen(e.zweit, &alt, &alt_da)) return;
    if (da && jetzt.inode == e.inode) return;  // not deleted after all
    if (!alt_da || alt.size != e.groesse) return Fehlschlag(kFehlt + e.zweit);
    if (da) return Fehlschlag(kGeaendert + pfad);
    Melden(AktionsArt::kWiederherstellen, e, e.rel, false, alt.size);
    Gedacht(pfad, false);
    if (Probe()) return;
    // The copy in the move-aside store is the user's: it is copied back and stays.
    if (u_ != nullptr) {
      u_->VorDemSchreiben(pfad);
      u_->VorDemEinsetzen(pfad, nullptr, alt);
    }
    Status s = DateiAblegen(fs(), e.zweit, pfad, alt);
    if (s.ok()) s = fs()->SetTimes(pfad, alt.atime, e.datum);
    if (!s) Fehlschlag(kNichtMoeglich + pfad, s);
  }

  void Umbenannt(const JournalEintrag& e) {
    const std::string von = Pfad(e, e.rel);
    const std::string nach = Pfad(e, e.zweit);
    FileInfo jetzt;
    bool da = false;
    FileInfo frei;
    bool belegt = false;
    if (!Ansehen(nach, &jetzt, &da) || !Ansehen(von, &frei, &belegt)) return;
    if (!da) {
      if (belegt && frei.inode == e.inode) return;  // the rename was never done
      return Fehlschlag(kGeaendert + nach);
    }
    if (jetzt.inode != e.inode || belegt) return Fehlschlag(kGeaendert + nach);
    Melden(AktionsArt::kWiederherstellen, e, e.rel, false, jetzt.size);
    Gedacht(nach, true);
    Gedacht(von, false);
    if (Probe()) return;
    if (u_ != nullptr) u_->Umbenennen(nach, von, jetzt);
    if (Status s = fs()->RenameNoReplace(nach, von); !s) Fehlschlag(kNichtMoeglich + nach, s);
  }

  void Angelegt(const JournalEintrag& e) {
    const std::string pfad = Pfad(e, e.rel);
    FileInfo jetzt;
    bool da = false;
    if (!Ansehen(pfad, &jetzt, &da) || !da) return;
    if (!jetzt.IsDirectory()) return Fehlschlag(kGeaendert + pfad);
    std::vector<FileInfo> inhalt;
    if (Status s = fs()->ListDirectory(pfad, &inhalt); !s)
      return Fehlschlag(kNichtMoeglich + pfad, s);
    // What the undo took out of it is gone by now (the steps run backwards); a probe only thinks
    // it gone.
    for (const FileInfo& i : inhalt) {
      if (gedacht_weg_.count(pfad + "/" + i.name)) continue;
      // A copy's temporary file that a killed run left behind goes with the directory.
      if (i.kind == EntryKind::kFile && IstKopierTempName(i.name) &&
          (Probe() || fs()->DeleteUnlockedFile(pfad + "/" + i.name).ok()))
        continue;
      return Fehlschlag(kGeaendert + pfad);
    }
    Melden(AktionsArt::kLoeschen, e, e.rel, true, -1);
    Gedacht(pfad, true);
    if (Probe()) return;
    Status s = u_ != nullptr ? u_->VerzeichnisEntfernen(pfad, jetzt) : fs()->RemoveDirectory(pfad);
    if (!s) Fehlschlag(kNichtMoeglich + pfad, s);
  }

  void Verzeichnis(const JournalEintrag& e) {
    const std::string pfad = Pfad(e, e.rel);
    FileInfo jetzt;
    bool da = false;
    if (!Ansehen(pfad, &jetzt, &da)) return;
    daten_.emplace_back(pfad, e.datum);
    if (da) {
      if (!jetzt.IsDirectory()) Fehlschlag(kGeaendert + pfad);
      return;
    }
    Melden(AktionsArt::kAnlegen, e, e.rel, true, -1);
    if (Probe()) return;
    if (u_ != nullptr) u_->Anlegen(pfad);
    Status s = fs()->CreateDirectory(pfad);
    if (s.ok()) s = fs()->SetMode(pfad, e.modus & 07777);
    if (!s) Fehlschlag(kNichtMoeglich + pfad, s);
  }

  void Schritt(const JournalEintrag& e, const JournalEintrag* behalten) {
    switch (e.schritt) {
      case JournalSchritt::kDatum:
        daten_.emplace_back(Pfad(e, e.rel), e.datum);
        return;
      case JournalSchritt::kAngelegt:
        return Angelegt(e);
      case JournalSchritt::kBehalten:
        return;  // a version kept for a copy that was never journaled as written: still in place
      case JournalSchritt::kGeschrieben:
        return Geschrieben(e, behalten);
      case JournalSchritt::kEntfernt:
        return Entfernt(e);
      case JournalSchritt::kVerzeichnis:
        return Verzeichnis(e);
      case JournalSchritt::kAusgelagert:
        return Ausgelagert(e);
      case JournalSchritt::kUmbenannt:
        return Umbenannt(e);
    }
  }

  const RueckgaengigWerte& w_;
  const RueckgaengigDienste& d_;
  RueckgaengigErgebnis* erg_;
  std::string name_;
  Laufablage* u_ = nullptr;
  std::vector<std::pair<std::string, FileTime>> daten_;
  std::set<std::string> gedacht_weg_;
};

// After an undo the pair's record describes a state that is gone: it is dropped, so that the
// next two-way run deletes nothing on its account.
void StandVerwerfen(const RueckgaengigWerte& w, const RueckgaengigDienste& d) {
  if (d.stand_verzeichnis.empty()) return;
  Wurzelkennung h;
  Wurzelkennung z;
  std::string fehler;
  if (!WurzelkennungLesen(d.fs, w.Herkunft, &h, &fehler) ||
      !WurzelkennungLesen(d.fs, w.Ziel, &z, &fehler) || h.kennung.empty() || z.kennung.empty())
    return;
  const std::string pfad =
      d.stand_verzeichnis + StandDateiName(w.Herkunft, w.Ziel, StandPaar{h.kennung, z.kennung});
  d.fs->DeleteFile(pfad);
}

std::string WurzelnPruefen(const RueckgaengigWerte& w, FileSystem* fs) {
  for (const std::string* wurzel : {&w.Herkunft, &w.Ziel}) {
    if (!fs->IsEnterableDirectory(wurzel->empty() ? "/" : *wurzel).ok())
      return (wurzel->empty() ? "/" : *wurzel) + " Verzeichnis nicht gefunden";
    FileInfo info;
    if (fs->Stat(ReserviertesVerzeichnis(*wurzel), &info).missing()) continue;
    std::string fehler;
    ReserviertesVerzeichnisBereiten(fs, *wurzel, &fehler);
    if (!fehler.empty()) return fehler;
  }
  return "";
}

}  // namespace

RueckgaengigErgebnis LetztenLaufRueckgaengig(const RueckgaengigWerte& werte,
                                             const RueckgaengigDienste& dienste) {
  static KeinProtokoll kein_protokoll;
  RueckgaengigDienste d = dienste;
  if (d.fs == nullptr) d.fs = FileSystem::Default();
  if (d.uhr == nullptr) d.uhr = Clock::System();
  if (d.log == nullptr) d.log = &kein_protokoll;
  RueckgaengigWerte w = werte;
  w.Herkunft = StripTrailingSlash(w.Herkunft);
  w.Ziel = StripTrailingSlash(w.Ziel);

  RueckgaengigErgebnis erg;
  if (erg.abgelehnt = WurzelnPruefen(w, d.fs); !erg.abgelehnt.empty()) return erg;
  const std::vector<BehaltenerLauf> laeufe = BehalteneLaeufe(d.fs, w.Herkunft, w.Ziel);
  if (laeufe.empty()) {
    erg.abgelehnt =
        "Für diesen Auftrag ist kein Lauf aufbewahrt, der rückgängig gemacht werden kann.";
    return erg;
  }
  erg.lauf = laeufe.back().name;
  if (!w.Lauf.empty() && w.Lauf != erg.lauf) {
    erg.abgelehnt =
        "Seit der Vorschau ist ein anderer Lauf dieses Auftrags der letzte geworden; nichts "
        "wurde rückgängig gemacht. Bitte lassen Sie sich erneut zeigen, was geschehen würde.";
    return erg;
  }
  // The job's last run changed nothing and kept nothing: the newest kept run is an older one,
  // which the job's dates no longer describe.
  if (w.LaufBeginn.sec > 0 && laeufe.back().beginn < w.LaufBeginn) {
    erg.abgelehnt =
        "Der letzte Lauf dieses Auftrags hat nichts verändert; es gibt nichts "
        "rückgängig zu machen.";
    return erg;
  }
  std::string text;
  JournalKopf kopf;
  std::vector<JournalEintrag> schritte;
  std::string fehler;
  Status s = d.fs->ReadWholeFile(JournalPfad(w.Ziel, erg.lauf), &text, kHoechsteJournalGroesse);
  if (!s) {
    erg.abgelehnt =
        "Das Protokoll des Laufs " + erg.lauf + " ist nicht lesbar (" + s.Reason() + ").";
    return erg;
  }
  if (!JournalLesen(text, &kopf, &schritte, &fehler)) {
    erg.abgelehnt = fehler + " Der Lauf " + erg.lauf + " wird nicht rückgängig gemacht.";
    return erg;
  }
  erg.vorher_beginn = kopf.vorher_beginn;
  erg.vorher_ende = kopf.vorher_ende;
  erg.vorher_aufruf = kopf.vorher_aufruf;

  // Both trees held: nothing below the roots is reached through a link.
  auto h_halt = d.fs->HoldRoot(w.Herkunft.empty() ? "/" : w.Herkunft);
  auto z_halt = d.fs->HoldRoot(w.Ziel.empty() ? "/" : w.Ziel);
  std::unique_ptr<Laufablage> ablage;
  if (!w.Probelauf && w.RueckgaengigTage > 0) {
    JournalKopf eigen;
    eigen.herkunft = w.Herkunft;
    eigen.ziel = w.Ziel;
    eigen.beginn = d.uhr->Now();
    // Two undos in the same second still sort after the run they take back.
    if (eigen.beginn <= kopf.beginn) eigen.beginn = FileTime{kopf.beginn.sec + 1, 0};
    eigen.vorher_beginn = w.LaufBeginn;
    eigen.vorher_ende = w.LaufEnde;
    eigen.vorher_aufruf = w.Aufruf;
    ablage = std::make_unique<Laufablage>(d.fs, w.Herkunft, w.Ziel, "", eigen);
  }
  if (d.log->Will(LogStufe::kDateiAenderung))
    d.log->Zeile(LogStufe::kDateiAenderung, std::string("Vergl: ") + (w.Probelauf ? "Plan: " : "") +
                                                "Lauf " + erg.lauf + " rückgängig machen");
  Rueckgaengig r(w, d, &erg);
  r.Ausfuehren(erg.lauf, schritte, ablage.get());
  if (w.Probelauf) return erg;
  if (ablage) {
    if (Status t = ablage->Sichern(); !t) {
      ++erg.fehler;
      if (d.log->Will(LogStufe::kWarnung))
        d.log->Zeile(
            LogStufe::kWarnung,
            "Vergl: Protokoll des Rückgängigmachens nicht geschrieben (" + t.Reason() + ")");
    }
  } else if (erg.fehler == 0) {
    // Without a journal of its own the undo leaves nothing to take back; the run it undid goes,
    // so that it is not taken back twice.
    LaufVerwerfen(d.fs, w.Herkunft, w.Ziel, erg.lauf);
  }
  StandVerwerfen(w, d);
  return erg;
}

std::string SchritteText(const RueckgaengigErgebnis& e) {
  const Zusammenfassung& z = e.zaehlung;
  return FormatDottedNumber(e.schritte) + (e.schritte == 1 ? " Schritt (" : " Schritte (") +
         FormatDottedNumber(z.wiederhergestellt) + " wiederhergestellt, " +
         FormatDottedNumber(z.geloescht) + " gelöscht, " + FormatDottedNumber(z.angelegt) +
         " angelegt), " + FormatDottedNumber(e.fehler) + " Fehler";
}

}  // namespace zarnoft
