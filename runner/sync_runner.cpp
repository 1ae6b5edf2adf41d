#include "runner/sync_runner.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <utility>

#include "engine/actions.h"
#include "engine/comparison.h"
#include "engine/run_handle.h"
#include "jobs/collection_file.h"
#include "jobs/job.h"
#include "jobs/job_texts.h"
#include "jobs/run_starter.h"
#include "log/log_escape.h"
#include "log/log_writer.h"
#include "platform/date_time.h"
#include "platform/gui_call.h"
#include "platform/number_format.h"
#include "platform/stop_signals.h"
#include "runner/collection_lock.h"
#include "runner/terminal_window.h"
#include "runner/undo_command.h"
#include "settings/ini_file.h"
#include "settings/main_settings.h"

namespace zarnoft {
namespace {

void Meldung(const std::string& text) {
  std::fprintf(stderr, "zarnoft-sync: %s\n", EscapeControls(text).c_str());
}

// The log's own question has nobody to ask here: the line is dropped and said once on stderr.
class TerminalLogFrage : public LogFrage {
 public:
  LogAntwort FehlerFrage(const std::string&, const std::string&) override {
    if (!gemeldet_) Meldung("Zugriff auf Logdatei fehlgeschlagen; Zeilen gehen verloren.");
    gemeldet_ = true;
    return LogAntwort::kIgnorieren;
  }
  void StartFehler(const std::string& meldung) override { Meldung(meldung); }

 private:
  bool gemeldet_ = false;
};

bool ZahlLesen(const char* s, int* out) {
  char* end = nullptr;
  long v = std::strtol(s, &end, 10);
  if (end == s || *end != '\0' || v < 1 || v > 1000000) return false;
  *out = static_cast<int>(v);
  return true;
}

}  // namespace

const char* SyncHilfe() {
  return "Aufruf: zarnoft-sync [-n] [-q|-v] [--job N]... [--leer-erlaubt] [--loeschen-erlaubt]\n"
         "                    [--] SAMMLUNG.syc\n"
         "       zarnoft-sync --ausloeser start|ende [--leer-erlaubt] [--] [SAMMLUNG.syc]...\n"
         "       zarnoft-sync --anlegen SAMMLUNG.syc HERKUNFT ZIEL [--art N] [--doppelt N]\n"
         "                    [--unterverzeichnisse 0|1] [--ausnahme MUSTER]...\n"
         "       zarnoft-sync --rueckgaengig [-n] [-q] [--job N]... [--] SAMMLUNG.syc\n"
         "       zarnoft-sync --help | --version\n"
         "\n"
         "Führt die Aufträge einer Auftragssammlung ohne Fenster aus, zum Beispiel aus cron\n"
         "oder einem systemd-Timer. Ohne --job laufen alle Aufträge nacheinander in der\n"
         "Reihenfolge der Sammlung; --job N (mehrfach möglich, ab 1 gezählt) wählt einzelne.\n"
         "Nach jedem Lauf, der vollständig gelang (nicht abgebrochen, ohne Fehler), wird er\n"
         "als letzter Abgleich des Auftrags in die Sammlung geschrieben (AufrufT, AufrufS,\n"
         "LaufBeginnUTC, LaufEndeUTC). Ein Lauf mit Fehlern wird nicht eingetragen, damit\n"
         "der nächste Lauf dieselben Änderungen noch einmal betrachtet. Nach -- ist jedes\n"
         "Argument eine Sammlung, auch wenn es mit - beginnt.\n"
         "\n"
         "Aktionszeilen (-n, -v): Aktion, \" > \", Seite, zwei Leerzeichen, Pfad relativ\n"
         "zur Wurzel (ein Verzeichnis mit \"/\" am Ende), zwei Leerzeichen, Größe in Bytes\n"
         "oder \"-\", zum Beispiel \"kopieren > Ziel  d/a.txt  4.096\". Aktionen: kopieren,\n"
         "löschen, auslagern, anlegen, archivieren, beide behalten, nachfragen, belassen.\n"
         "Nach jedem Auftrag folgt eine Zusammenfassung auf stdout (Dateien und Bytes je\n"
         "Richtung, gelöscht, ausgelagert, doppelt geändert, Fehler, Dauer).\n"
         "\n"
         "Ist stderr ein Terminal, zeigt eine Zeile den Fortschritt. Jeder Fehler erscheint\n"
         "als Zeile mit Pfad und Grund auf stderr, zum Beispiel \"zarnoft-sync: Kopieren\n"
         "fehlgeschlagen: /home/a/x.txt: Kein Platz mehr auf dem Gerät\". Eine doppelt geänderte "
         "Datei wird im Terminal erfragt\n"
         "(j = Ja, n = Nein, i = Ignorieren, a = Alles), wenn stdin und stderr Terminals\n"
         "sind. Sonst bleibt sie bei der Einstellung \"Nachfragen\" unverändert, das\n"
         "Protokoll meldet \"Doppelte Änderung nicht entschieden\", und der Lauf gilt als\n"
         "fehlerhaft (Rückgabewert 1): der nächste Lauf stellt dieselbe Frage wieder.\n"
         "\n"
         "Automatische Läufe: --ausloeser start wartet die Verzögerung aus den\n"
         "Einstellungen ab (Hauptprogramm, 5 bis 60 Sekunden) und führt dann die Aufträge\n"
         "aus, die \"Beim Booten\" markiert sind, wenn \"Aufträge beim Startvorgang\"\n"
         "eingeschaltet ist. --ausloeser ende führt sofort die Aufträge mit \"Beim\n"
         "Herunterfahren\" aus, wenn \"Aufträge beim Herunterfahren\" eingeschaltet ist.\n"
         "Ohne SAMMLUNG.syc gelten die Sammlungen aus der Datei automatisch.txt neben\n"
         "Main.sda, eine je Zeile. Die systemd-Benutzereinheiten des Pakets rufen beides\n"
         "bei der Anmeldung und beim Abmelden oder Herunterfahren auf; eingeschaltet mit\n"
         "  systemctl --user enable zarnoft-start.service zarnoft-ende.service\n"
         "\n"
         "  --job N           führt nur Auftrag N aus (mehrfach möglich)\n"
         "  --ausloeser WANN  automatischer Lauf: start oder ende (siehe oben)\n"
         "  --leer-erlaubt    gleicht auch ab, wenn eines der beiden Verzeichnisse leer ist\n"
         "                    und das andere nicht (ohne diese Angabe wird ein solcher\n"
         "                    Abgleich abgelehnt: vielleicht ist ein Laufwerk nicht\n"
         "                    eingehängt, und der Abgleich würde Dateien löschen)\n"
         "  --anlegen         legt in SAMMLUNG.syc einen Auftrag von HERKUNFT nach ZIEL an,\n"
         "                    wie ihn der Editor übernähme (an erster Stelle; eine fehlende\n"
         "                    Sammlung wird angelegt; beide Verzeichnisse müssen bestehen)\n"
         "  --art N           1 Synchronisieren (vorgegeben), 2 Herkunft auf Ziel kopieren,\n"
         "                    3 Herkunft archivieren\n"
         "  --doppelt N       die Unterart: bei Art 1 was mit beidseitig geänderten Dateien\n"
         "                    geschieht (0 Nachfragen, 1 Neueren behalten, 2 Herkunft\n"
         "                    behalten, 3 Ziel behalten, 4 Beide behalten, 5 Keine Aktion),\n"
         "                    bei Art 2 welche Änderung kopiert wird (0 Herkunft, 1 Ziel,\n"
         "                    2 Egal welches), bei Art 3 0 Inkrementell, 1 Gesamt;\n"
         "                    vorgegeben 0, bei Art 2 aber 2\n"
         "  --unterverzeichnisse 0|1  mit Unterverzeichnissen (vorgegeben 0)\n"
         "  --ausnahme MUSTER  lässt aus, was auf MUSTER passt (mehrfach möglich), mit den\n"
         "                    Regeln des Editors: *.tmp, node_modules/, Projekte/build,\n"
         "                    **/cache/, !wichtig.tmp; Muster in Anführungszeichen setzen\n"
         "  --rueckgaengig    macht den letzten Lauf des Auftrags rückgängig (ohne --job\n"
         "                    muss die Sammlung genau einen Auftrag haben): was der Lauf\n"
         "                    ersetzt oder gelöscht hat, kommt aus .zarnoft/laeufe/ der\n"
         "                    jeweiligen Seite zurück, was er angelegt hat, geht; nur wo\n"
         "                    die Datei noch genau so ist, wie der Lauf sie hinterließ.\n"
         "                    Was seither geändert wurde, bleibt und zählt als Fehler.\n"
         "                    Mit -n wird nur der Plan ausgegeben (Aktionen:\n"
         "                    wiederherstellen, löschen, anlegen). Das Datum des letzten\n"
         "                    Abgleichs wird auf den Lauf davor zurückgesetzt.\n"
         "  --loeschen-erlaubt  löscht auch, wenn ein Lauf mehr Dateien einer Seite löschen\n"
         "                    würde als der Löschschutz erlaubt (Main.sda, [Data]\n"
         "                    LoeschGrenze, Prozent, vorgegeben 50, 0 = aus; erst ab 20\n"
         "                    Dateien). Ohne diese Angabe wird im Terminal gefragt; ohne\n"
         "                    Terminal bleiben alle Dateien dieser Seite, und der Lauf\n"
         "                    gilt als fehlerhaft.\n"
         "  -n, --probelauf   entscheidet alles wie ein echter Lauf und ändert nichts:\n"
         "                    keine Kopie, kein Löschen, kein Verzeichnis, kein Datum,\n"
         "                    keine Sperrdatei, kein Stand; gibt je Aktion eine Zeile auf\n"
         "                    stdout aus, dann die Zusammenfassung; Rückgabewert 0\n"
         "                    (2 falscher Aufruf)\n"
         "  -q, --leise       gibt nur die Fehler aus\n"
         "  -v, --ausfuehrlich  gibt auch jede ausgeführte Aktion aus (wie -n)\n"
         "  -h, --help        zeigt diese Hilfe\n"
         "  --version         zeigt die Version\n"
         "\n"
         "Dateien: Main.sda (Löschverhalten, Auslagerungsverzeichnis, Protokoll, automatische\n"
         "Läufe) und automatisch.txt liegen im Verzeichnis dieses Programms, wenn es\n"
         "beschreibbar ist (ein Build-Ordner), sonst (installiert) in\n"
         "$XDG_CONFIG_HOME/zarnoft/, vorgegeben ~/.config/zarnoft/; die Logdatei liegt dann\n"
         "in ~/.local/state/zarnoft/.\n"
         "\n"
         "SIGINT (Strg+C), SIGTERM und SIGHUP brechen den laufenden Auftrag ab; keine Datei\n"
         "bleibt halb geschrieben zurück, und der Lauf wird nicht eingetragen. Solange ein\n"
         "Lauf die Sammlung benutzt, verweigert ein zweiter den Start (Sperrdatei\n"
         "SAMMLUNG.syc.lock).\n"
         "\n"
         "Rückgabewerte: 0 alle Aufträge liefen vollständig; 1 ein Auftrag konnte nicht\n"
         "starten, eine Datei konnte nicht kopiert, gelöscht oder gelesen werden, eine\n"
         "doppelte Änderung blieb unentschieden, das Datum konnte nicht geschrieben werden\n"
         "oder eine Sammlung eines automatischen Laufs fehlte; 2 falscher Aufruf, oder die\n"
         "Sammlung ist nicht lesbar oder belegt, oder die Einstellungsdatei Main.sda ist\n"
         "beschädigt; 130 abgebrochen.\n";
}

namespace {

bool IstOption(const std::string& a, const std::string& name) {
  return a == name || a.rfind(name + "=", 0) == 0;
}

// The value of an option given as "--name value" or as "--name=value"; false when it is missing.
bool OptionsWert(int argc, char** argv, int* i, const std::string& name, std::string* wert) {
  const std::string a = argv[*i];
  if (a != name) {
    *wert = a.substr(name.size() + 1);
    return true;
  }
  if (*i + 1 >= argc) return false;
  *wert = argv[++*i];
  return true;
}

// What the collections named on the command line mean once the options are read.
bool SammlungenZuordnen(const std::vector<std::string>& sammlungen, SyncOptionen* o,
                        std::string* fehler) {
  if (o->anlegen) {
    if (!o->ausloeser.empty() || !o->jobs.empty() || o->leer_erlaubt) {
      *fehler = "--anlegen legt nur an; --job, --ausloeser und --leer-erlaubt gelten dabei nicht.";
      return false;
    }
    if (sammlungen.size() != 3) {
      *fehler = "--anlegen braucht SAMMLUNG.syc HERKUNFT ZIEL.";
      return false;
    }
    o->anlegen_werte.sammlung = sammlungen[0];
    o->anlegen_werte.herkunft = sammlungen[1];
    o->anlegen_werte.ziel = sammlungen[2];
    return true;
  }
  if (o->rueckgaengig && (o->anlegen || !o->ausloeser.empty())) {
    *fehler = "--rueckgaengig schließt --anlegen und --ausloeser aus.";
    return false;
  }
  if (!o->ausloeser.empty()) {
    // The trigger chooses the jobs by their flags; without collections it reads its list.
    if (!o->jobs.empty()) {
      *fehler = "--job und --ausloeser schließen einander aus.";
      return false;
    }
    o->sammlungen = sammlungen;
    return true;
  }
  if (sammlungen.empty()) {
    *fehler = "Keine Auftragssammlung angegeben.";
    return false;
  }
  if (sammlungen.size() > 1) {
    *fehler = "Nur eine Auftragssammlung angeben.";
    return false;
  }
  o->sammlung = sammlungen[0];
  return true;
}

}  // namespace

bool SyncOptionenLesen(int argc, char** argv, SyncOptionen* o, std::string* fehler) {
  std::vector<std::string> sammlungen;
  bool nur_noch_sammlungen = false;  // after "--", a collection may begin with "-"
  bool anlegen_werte = false;        // --art, --doppelt, --unterverzeichnisse or --ausnahme given
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    std::string wert;
    if (nur_noch_sammlungen) {
      sammlungen.push_back(a);
    } else if (a == "--") {
      nur_noch_sammlungen = true;
    } else if (a == "--help" || a == "-h") {
      o->hilfe = true;
      return true;
    } else if (a == "--version") {
      o->version = true;
      return true;
    } else if (a == "--leer-erlaubt") {
      o->leer_erlaubt = true;
    } else if (a == "--loeschen-erlaubt") {
      o->loeschen_erlaubt = true;
    } else if (a == "--probelauf" || a == "-n") {
      o->probelauf = true;
    } else if (a == "-q" || a == "--leise") {
      o->leise = true;
    } else if (a == "-v" || a == "--ausfuehrlich") {
      o->ausfuehrlich = true;
    } else if (IstOption(a, "--job")) {
      int n = 0;
      if (!OptionsWert(argc, argv, &i, "--job", &wert)) {
        *fehler = "--job braucht eine Auftragsnummer.";
        return false;
      }
      if (!ZahlLesen(wert.c_str(), &n)) {
        *fehler = "Ungültige Auftragsnummer: " + wert;
        return false;
      }
      o->jobs.push_back(n);
    } else if (IstOption(a, "--ausloeser")) {
      if (!OptionsWert(argc, argv, &i, "--ausloeser", &wert)) {
        *fehler = "--ausloeser braucht start oder ende.";
        return false;
      }
      if (wert != "start" && wert != "ende") {
        *fehler = "Unbekannter Auslöser: " + wert + " (start oder ende).";
        return false;
      }
      o->ausloeser = wert;
    } else if (a == "--anlegen") {
      o->anlegen = true;
    } else if (a == "--rueckgaengig") {
      o->rueckgaengig = true;
    } else if (IstOption(a, "--ausnahme")) {
      if (!OptionsWert(argc, argv, &i, "--ausnahme", &wert)) {
        *fehler = "--ausnahme braucht ein Muster.";
        return false;
      }
      o->anlegen_werte.ausnahmen.push_back(wert);
      anlegen_werte = true;
    } else if (IstOption(a, "--art") || IstOption(a, "--doppelt") ||
               IstOption(a, "--unterverzeichnisse")) {
      const std::string name = a.substr(0, a.find('='));
      int n = 0;
      if (!OptionsWert(argc, argv, &i, name, &wert) || !ZahlLesen(wert.c_str(), &n)) {
        *fehler = name + " braucht eine Zahl.";
        return false;
      }
      int* ziel = name == "--art"       ? &o->anlegen_werte.art
                  : name == "--doppelt" ? &o->anlegen_werte.doppelt
                                        : &o->anlegen_werte.unterverzeichnisse;
      *ziel = n;
      anlegen_werte = true;
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      *fehler = "Unbekannte Option: " + a;
      return false;
    } else {
      sammlungen.push_back(a);
    }
  }
  if (anlegen_werte && !o->anlegen) {
    *fehler = "--art, --doppelt, --unterverzeichnisse und --ausnahme gelten nur mit --anlegen.";
    return false;
  }
  return SammlungenZuordnen(sammlungen, o, fehler);
}

std::string ZusammenfassungsZeile(const std::string& name, bool probelauf, const Zusammenfassung& z,
                                  int64_t millisekunden) {
  auto dateien = [](int64_t n, int64_t bytes, const char* seite) {
    return FormatDottedNumber(n) + (n == 1 ? " Datei (" : " Dateien (") +
           FormatDottedNumber(bytes) + " Bytes) > " + seite;
  };
  const int64_t zehntel = (millisekunden + 50) / 100;
  return name + (probelauf ? " (Probelauf): " : ": ") +
         dateien(z.dateien_zum_ziel, z.bytes_zum_ziel, "Ziel") + ", " +
         dateien(z.dateien_zur_herkunft, z.bytes_zur_herkunft, "Herkunft") + ", " +
         FormatDottedNumber(z.geloescht) + " gelöscht, " + FormatDottedNumber(z.ausgelagert) +
         " ausgelagert, " + FormatDottedNumber(z.doppelt) + " doppelt geändert, " +
         FormatDottedNumber(z.fehler) + " Fehler, " + std::to_string(zehntel / 10) + "," +
         std::to_string(zehntel % 10) + " s";
}

namespace {

// What the jobs of one call share.
struct Umgebung {
  const SyncOptionen& o;
  FileSystem* fs;
  Clock* uhr;
  LogSchreiber& log;
  EditorEinstellungen e;
  std::string stand_verzeichnis{};  // where the records of two-way runs lie
  bool terminal_aus = false;        // stderr is a terminal: progress line
  bool terminal_ein = false;        // stdin too: questions on the terminal
};

// Opens and locks the collection and reads it. Returns kSyncOk or the status to exit with.
int SammlungLaden(const Umgebung& u, SammlungsSperre* sperre, Sammlung* sammlung) {
  const std::string& pfad = u.o.sammlung;
  FileInfo info;
  if (!u.fs->Stat(pfad, &info) || info.IsDirectory() || !u.fs->OpenForReading(pfad)) {
    Meldung("Die Auftragssammlung " + pfad + " kann nicht gelesen werden.");
    return kSyncAufruf;
  }
  // A probe run writes nothing, not even the lock.
  switch (sperre == nullptr ? SammlungsSperre::Ergebnis::kGesperrt : sperre->Sperren(pfad)) {
    case SammlungsSperre::Ergebnis::kGesperrt:
      break;
    case SammlungsSperre::Ergebnis::kBelegt:
      Meldung("Die Auftragssammlung " + pfad +
              " wird gerade von einem anderen Lauf benutzt. Bitte später erneut versuchen.");
      return kSyncAufruf;
    case SammlungsSperre::Ergebnis::kFehler:
      Meldung("Die Auftragssammlung " + pfad + " kann nicht gesperrt werden.");
      return kSyncAufruf;
    case SammlungsSperre::Ergebnis::kFremd:
      Meldung("Die Sperrdatei " + pfad +
              ".lock ist keine gewöhnliche Datei des Besitzers der Auftragssammlung und wird "
              "nicht benutzt; bitte prüfen und entfernen.");
      return kSyncAufruf;
  }
  SammlungsZustand zustand;
  SammlungsDienste dienste;
  dienste.log = &u.log;
  dienste.fs = u.fs;
  const SammlungGeoeffnet geoeffnet = oeffnen(pfad, sammlung, &zustand, dienste);
  if (zustand.SammlungsVersion <= 0) {
    Meldung(pfad + " ist keine lesbare Auftragssammlung (Abschnitt [Allgemein] mit " +
            "Version und Anzahl fehlt).");
    return kSyncAufruf;
  }
  if (!geoeffnet.AnzahlStimmt) {
    // Cut off or damaged: running what is there would quietly do less than the user set up.
    Meldung(pfad + ": " + geoeffnet.AnzahlFehler() + ". Sie wird nicht ausgeführt.");
    u.log.Zeile(LogStufe::kWarnung, "Warn: " + pfad + ": " + geoeffnet.AnzahlFehler());
    return kSyncAufruf;
  }
  return kSyncOk;
}

// The job numbers to run, in order; false (said on stderr) when one does not exist.
bool AuftraegeWaehlen(const SyncOptionen& o, const Sammlung& sammlung, std::vector<int>* jobs) {
  *jobs = o.jobs;
  if (jobs->empty()) {
    for (size_t i = 1; i <= sammlung.Anzahl(); ++i) jobs->push_back(static_cast<int>(i));
  }
  for (int n : *jobs) {
    if (n < 1 || static_cast<size_t>(n) > sammlung.Anzahl()) {
      Meldung("Auftrag " + std::to_string(n) + " gibt es nicht; die Sammlung hat " +
              std::to_string(sammlung.Anzahl()) + " Aufträge.");
      return false;
    }
  }
  return true;
}

// Whether a job can run at all; says why not on stderr.
bool Ausfuehrbar(const TVergleichThread& job, const std::string& name) {
  if (!Bekannt(job.Art)) {
    Meldung(name + " übersprungen: unbekannte Art " + std::to_string(Zahl(job.Art)) + ".");
    return false;
  }
  if (job.Herkunft.empty() || job.Ziel.empty()) {
    Meldung(name + " übersprungen: Herkunft oder Ziel ist leer.");
    return false;
  }
  return true;
}

// A run's report as the terminal shows it: collected on the run's thread and printed on this one
// (Ausgeben), so that a line never cuts through the progress line: the actions (probe run, -v) on
// stdout, failures and notices on stderr, always.
class TerminalBericht : public LaufBericht {
 public:
  TerminalBericht(bool aktionen, bool terminal) : aktionen_(aktionen), terminal_(terminal) {}

  void Getan(const Aktion& a) override {
    std::lock_guard<std::mutex> l(mu_);
    zusammenfassung_.Zaehlen(a);
    if (aktionen_) offen_.emplace_back(true, AktionsZeile(a));
  }
  void Fehler(const Fehlerzeile& f) override {
    std::lock_guard<std::mutex> l(mu_);
    offen_.emplace_back(false, f.Zeile());
  }
  void Hinweis(const std::string& text) override {
    std::lock_guard<std::mutex> l(mu_);
    offen_.emplace_back(false, text);
  }

  void Ausgeben() {
    std::vector<std::pair<bool, std::string>> zeilen;
    {
      std::lock_guard<std::mutex> l(mu_);
      zeilen.swap(offen_);
    }
    for (const auto& [aktion, text] : zeilen) {
      if (aktion) {
        std::fprintf(stdout, "%s\n", text.c_str());
      } else {
        // The progress line is cleared first; it is drawn again at its next refresh.
        if (terminal_) std::fprintf(stderr, "\r\033[K");
        Meldung(text);
      }
    }
    if (!zeilen.empty()) std::fflush(stdout);
  }
  Zusammenfassung Stand() {
    std::lock_guard<std::mutex> l(mu_);
    return zusammenfassung_;
  }

 private:
  const bool aktionen_;
  const bool terminal_;
  std::mutex mu_;
  std::vector<std::pair<bool, std::string>> offen_;
  Zusammenfassung zusammenfassung_;
};

// One run of one job, from its start to its end notification, served on this thread.
class AuftragsLauf {
 public:
  AuftragsLauf(const Umgebung& u, QueueCaller* gui, Protokoll* log)
      : u_(u), gui_(gui), log_(log), bericht_(u.o.probelauf || u.o.ausfuehrlich, u.terminal_aus) {}

  // Starts the run and serves its window until it has ended. On a signal the run is cancelled
  // and its questions are answered as closed; serving goes on until its end notification.
  void Ausfuehren(Sammlung* sammlung, TVergleichThread* job) {
    LaufHandle lauf;
    {
      // The run's thread inherits a mask without the stop signals, so that they reach this
      // thread, which serves the window and may be waiting for an answer on the terminal.
      StoppSignaleSperren sperren;
      lauf = VergleichStarten(
          job, u_.e.LoeschenWohin, u_.e.Loeschen, Dienste(),
          [this, sammlung](const LaufHandle& l, const LaufErgebnis& e) {
            // The job model records the run, as in the editor.
            if (TVergleichThread* j = sammlung->MitThread(l)) LaufBeendet(j, e, u_.uhr);
            ergebnis_ = e;
            gemeldet_ = true;
          },
          u_.e.LoeschGrenze, u_.o.probelauf, u_.e.RueckgaengigTage, u_.e.RueckgaengigAnteil);
    }
    if (lauf.Leer()) {
      ergebnis_.abgebrochen = true;
      return;
    }
    Bedienen(lauf);
    bericht_.Ausgeben();
  }

  const LaufErgebnis& Ergebnis() const { return ergebnis_; }
  Zusammenfassung Stand() { return bericht_.Stand(); }

 private:
  LaufDienste Dienste() {
    TerminalOptionen to;
    to.fortschritt = u_.terminal_aus;
    to.fragen = u_.terminal_aus && u_.terminal_ein;
    to.leer_erlaubt = u_.o.leer_erlaubt;
    to.loeschen_erlaubt = u_.o.loeschen_erlaubt;
    to.abgebrochen = [] { return StoppSignal() != 0; };
    LaufDienste ld;
    ld.fs = u_.fs;
    ld.uhr = u_.uhr;
    ld.log = log_;
    ld.gui = gui_;
    ld.stand_verzeichnis = u_.stand_verzeichnis;
    ld.bericht = &bericht_;
    // The window is created and destroyed through the GUI queue, so fenster_ is touched on this
    // thread only.
    ld.fenster = [this, to]() -> std::unique_ptr<FortschrittFenster> {
      auto w = std::make_unique<TerminalFenster>(to);
      w->BeimEnde([this] { fenster_ = nullptr; });
      fenster_ = w.get();
      return w;
    };
    return ld;
  }

  // Serves until the end notification has come; after it the run's thread needs this one no
  // more and is waited for.
  void Bedienen(const LaufHandle& lauf) {
    bool schliesst = false;
    while (!gemeldet_ && !lauf.Beendet()) {
      gui_->ServeUntil(
          [&] { return gemeldet_ || lauf.Beendet() || (StoppSignal() != 0 && !schliesst); },
          kAuffrischen);
      if (StoppSignal() != 0 && !schliesst) {
        schliesst = true;
        gui_->SchliessenBeginnen();
        lauf.Abbrechen();
      }
      bericht_.Ausgeben();
      if (fenster_ != nullptr) fenster_->Auffrischen();
    }
    lauf.Warten();
  }

  // How often the terminal's progress line follows the run.
  static constexpr std::chrono::milliseconds kAuffrischen{100};

  const Umgebung& u_;
  QueueCaller* gui_;
  Protokoll* log_;
  TerminalFenster* fenster_ = nullptr;
  TerminalBericht bericht_;
  LaufErgebnis ergebnis_;
  bool gemeldet_ = false;  // the end notification has come
};

// Runs job n and records a completed run in the collection file. Returns its exit status.
int AuftragAusfuehren(const Umgebung& u, QueueCaller* gui, Sammlung* sammlung, int n) {
  TVergleichThread* job = sammlung->InZeile(n);
  const std::string name = "Auftrag " + std::to_string(n);
  if (!Ausfuehrbar(*job, name)) return kSyncFehler;
  if (u.terminal_aus) std::fprintf(stderr, "%s\n", name.c_str());

  AuftragsLauf lauf(u, gui, &u.log);
  const auto beginn = std::chrono::steady_clock::now();
  lauf.Ausfuehren(sammlung, job);
  if (StoppSignal() != 0) return kSyncAbgebrochen;
  const LaufErgebnis& e = lauf.Ergebnis();
  if (!e.kein_stand.empty()) Meldung(e.kein_stand);
  if (!u.o.leise) {
    Zusammenfassung z = lauf.Stand();
    z.fehler = e.fehler;
    const auto dauer = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - beginn);
    std::fprintf(stdout, "%s\n",
                 ZusammenfassungsZeile(name, u.o.probelauf, z, dauer.count()).c_str());
    std::fflush(stdout);
  }
  // A probe run changed nothing and records nothing; what it met is in its lines.
  if (u.o.probelauf) {
    if (e.abgebrochen)
      Meldung(name + " könnte nicht ausgeführt werden (" + job->Herkunft + " - " + job->Ziel +
              ").");
    return kSyncOk;
  }
  u.log.Zeile(LogStufe::kWarnung, VergleichEndeText(*job, e));
  // An automatic run has nobody watching: its failures (the deletion guard's refusal among
  // them) and a run that could not start go to the desktop too.
  if (u.o.melder != nullptr && (e.abgebrochen || e.fehler > 0))
    u.o.melder->Fehlschlag(job->Herkunft, std::max(e.fehler, 1));
  // Warnings that are no failures: the run counts as done all the same.
  for (const std::string& h : e.hinweise) Meldung(name + ": " + h);
  if (e.uebersprungen > 0)
    Meldung(name + ": " + std::to_string(e.uebersprungen) +
            " übersprungen (keine regulären Dateien).");
  // The job model recorded the run only when it completed (LaufBeendet, as in the editor).
  if (e.abgebrochen) {
    Meldung(name + " wurde nicht ausgeführt (" + job->Herkunft + " - " + job->Ziel + ").");
    return kSyncFehler;
  }
  if (e.fehler > 0) {
    Meldung(name + ": " + std::to_string(e.fehler) +
            " Fehler; der Lauf wird nicht als letzter Abgleich eingetragen (Einzelheiten im "
            "Protokoll).");
    return kSyncFehler;
  }
  try {
    if (!AufrufSchreiben(u.o.sammlung, n, *job, u.fs)) {
      Meldung(name + ": Auftrag in der Sammlung geändert, Datum nicht eingetragen.");
      u.log.Zeile(LogStufe::kWarnung,
                  "Warn: " + name + ": Auftrag in der Sammlung geändert, Datum nicht eingetragen");
      return kSyncFehler;
    }
  } catch (const IniWriteError& err) {
    Meldung(std::string(err.what()) + ". Das Datum des Laufs von " + name +
            " fehlt in der Sammlung.");
    return kSyncFehler;
  }
  return kSyncOk;
}

// --rueckgaengig: each chosen job's last run taken back, one after the other.
int RueckgaengigAlle(const Umgebung& u, Sammlung* sammlung, const std::vector<int>& jobs) {
  if (u.o.jobs.empty() && sammlung->Anzahl() != 1) {
    Meldung("--rueckgaengig braucht --job N; die Sammlung hat " +
            std::to_string(sammlung->Anzahl()) + " Aufträge.");
    return kSyncAufruf;
  }
  RueckgaengigAufruf a;
  a.sammlung = u.o.sammlung;
  a.probelauf = u.o.probelauf;
  a.leise = u.o.leise;
  a.rueckgaengig_tage = u.e.RueckgaengigTage;
  a.stand_verzeichnis = u.stand_verzeichnis;
  a.fs = u.fs;
  a.uhr = u.uhr;
  a.log = &u.log;
  int ergebnis = kSyncOk;
  for (int n : jobs) {
    if (!Ausfuehrbar(*sammlung->InZeile(n), "Auftrag " + std::to_string(n))) {
      ergebnis = kSyncFehler;
      continue;
    }
    const int status = RueckgaengigAusfuehren(a, sammlung, n);
    if (status != kSyncOk && ergebnis != kSyncAufruf) ergebnis = status;
  }
  return ergebnis;
}

}  // namespace

bool EinstellungenVertrauen(const DateiOrte& orte, FileSystem* fs, Protokoll* log) {
  const std::string fehler = EinstellungsDateiFehler(orte.EinstellungsDatei(), fs);
  if (fehler.empty()) return true;
  const std::string text = EinstellungsDateiBeschaedigt(orte.EinstellungsDatei(), fehler) +
                           " Kein Auftrag läuft, bis sie repariert oder in den Einstellungen "
                           "neu gespeichert ist.";
  Meldung(text);
  if (log != nullptr) log->Zeile(LogStufe::kWarnung, "Warn: " + text);
  return false;
}

int SyncAusfuehren(const SyncOptionen& o, const std::string& program_dir) {
  return SyncAusfuehren(o, PortableDateiOrte(program_dir));
}

int SyncAusfuehren(const SyncOptionen& o, const DateiOrte& orte) {
  Umgebung u{o, FileSystem::Default(), Clock::System(), GlobalLog(), {}};
  const std::vector<std::string> orts_meldungen = DateiOrteVorbereiten(orte, u.fs);
  for (const std::string& m : orts_meldungen) Meldung(m);

  TerminalLogFrage log_frage;
  u.log.SetProgrammteil("Sync");
  u.log.SetGuiThread(std::this_thread::get_id());
  u.log.SetFrage(&log_frage);
  u.log.LogStart(orte, true);
  for (const std::string& m : orts_meldungen) u.log.LogZeile(LogStufe::kWarnung, "Warn: " + m);
  if (!EinstellungenVertrauen(orte, u.fs, &u.log)) return kSyncAufruf;
  u.e.SammlungsVerzeichnis = orte.sammlungs_verzeichnis;
  u.stand_verzeichnis = orte.StandVerzeichnis();
  EinstellungenLesen(orte, &u.e, u.fs);

  SammlungsSperre sperre;
  Sammlung sammlung;
  std::vector<int> jobs;
  if (int status = SammlungLaden(u, o.probelauf ? nullptr : &sperre, &sammlung); status != kSyncOk)
    return status;
  if (!AuftraegeWaehlen(o, sammlung, &jobs)) return kSyncAufruf;
  if (o.rueckgaengig) return RueckgaengigAlle(u, &sammlung, jobs);

  StoppSignaleEinrichten();
  u.terminal_aus = ::isatty(STDERR_FILENO) == 1;
  u.terminal_ein = ::isatty(STDIN_FILENO) == 1;
  // Answers are read after a wait for input on the descriptor; input that stdio had already
  // buffered would not wake that wait, so stdin is read unbuffered.
  if (u.terminal_ein) std::setvbuf(stdin, nullptr, _IONBF, 0);
  QueueCaller gui;
  int ergebnis = kSyncOk;
  for (int n : jobs) {
    if (StoppSignal() != 0) break;
    const int status = AuftragAusfuehren(u, &gui, &sammlung, n);
    if (status != kSyncOk) ergebnis = status;
    if (status == kSyncAbgebrochen) break;
  }
  // Every run has ended (its handle said so) before the queue goes.
  gui.Einstellen();
  if (StoppSignal() != 0) {
    Meldung("Abgebrochen.");
    return kSyncAbgebrochen;
  }
  return ergebnis;
}

}  // namespace zarnoft
