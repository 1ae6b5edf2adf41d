#include "jobs/collection_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <utility>

#include "engine/exclusions.h"
#include "platform/path_helpers.h"
#include "settings/ini_batch.h"
#include "settings/ini_file.h"
#include "settings/ini_snapshot.h"

namespace zarnoft {
namespace {

constexpr char kAllgemein[] = "Allgemein";

// A damaged file may name a job or time-entry section far beyond the others ("Vorgang
// 2000000000"). Sections missing below the highest one still give records of defaults, but no
// more than this many per file, so that such a file costs neither the memory nor the time of
// the records it claims.
constexpr int64_t kFehlendeHoechstens = 10000;

std::string VorgangSektion(int64_t n) {
  return "Vorgang " + std::to_string(n);
}

std::string ZeitSektion(int64_t n, int64_t k) {
  return "Zeit V" + std::to_string(n) + " Z" + std::to_string(k);
}

// Values read into 8- and 32-bit fields keep their low bits, taken as a signed number.
int8_t Low8(int64_t v) {
  return static_cast<int8_t>(static_cast<uint8_t>(v & 0xFF));
}
int32_t Low32(int64_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(v & 0xFFFFFFFF));
}

bool StartsWithAsciiNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != prefix[i]) return false;
  }
  return true;
}

// A positive number written as this program writes it (no sign, no leading zero), so that the
// section found is the one that the name built from the number looks up.
bool ParseNummer(std::string_view s, int64_t* out) {
  if (s.empty() || s.size() > 18 || s[0] == '0') return false;
  int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *out = v;
  return true;
}

// The job and time-entry sections that a file holds, by number. Names match without regard to
// letter case, like every lookup; only ASCII letters occur in these names.
struct Abschnitte {
  std::set<int64_t> vorgaenge;
  std::map<int64_t, std::set<int64_t>> zeiten;  // job number -> entry numbers
};

Abschnitte AbschnitteVon(const IniSnapshot& ini) {
  Abschnitte a;
  for (const std::string& name : ini.SectionNames()) {
    std::string_view s = name;
    int64_t n = 0;
    int64_t k = 0;
    if (StartsWithAsciiNoCase(s, "vorgang ")) {
      if (ParseNummer(s.substr(8), &n)) a.vorgaenge.insert(n);
    } else if (StartsWithAsciiNoCase(s, "zeit v")) {
      s.remove_prefix(6);
      size_t sep = 0;
      while (sep < s.size() && s[sep] >= '0' && s[sep] <= '9') ++sep;
      if (ParseNummer(s.substr(0, sep), &n) && StartsWithAsciiNoCase(s.substr(sep), " z") &&
          ParseNummer(s.substr(sep + 2), &k)) {
        a.zeiten[n].insert(k);
      }
    }
  }
  return a;
}

// The numbers 1..count to read, given the sections that exist: the present ones in order and,
// for missing ones below the highest present, defaults, as long as the budget lasts.
template <typename Each>
void Nummern(int64_t count, const std::set<int64_t>& present, int64_t* budget, Each each) {
  int64_t next = 1;
  for (int64_t p : present) {
    if (p > count) break;
    for (; next < p; ++next) {
      if (*budget <= 0) {
        next = p;
        break;
      }
      --*budget;
      each(next, false);
    }
    each(p, true);
    next = p + 1;
  }
}

TZeitEintrag ZeitLesen(const IniSnapshot& ini, const std::string& sec) {
  TZeitEintrag z;
  z.Tag = Low8(ini.ReadInteger(sec, "Tag", 0));
  z.Stunde = Low8(ini.ReadInteger(sec, "Stunde", 12));
  z.Minute = Low8(ini.ReadInteger(sec, "Minute", 0));
  z.Nachholen = ini.ReadBool(sec, "Nachholen", false);
  return z;
}

// The last run: AufrufT and AufrufS as the older readers know them, and its start and end as UTC
// instants. All four are written every time (zeros for a job that never completed), so that a
// section that held another job before keeps no instants of that job.
void LaufSchreiben(IniBatch& ini, const std::string& sec, const TVergleichThread& job) {
  const AufrufTeile a = AufrufZerlegen(job.Aufruf);
  ini.WriteInteger(sec, "AufrufT", a.T);
  ini.WriteInteger(sec, "AufrufS", a.S);
  ini.WriteString(sec, "LaufBeginnUTC", UtcText(job.LaufBeginn));
  ini.WriteString(sec, "LaufEndeUTC", UtcText(job.LaufEnde));
}

void JobSchreiben(IniBatch& ini, int64_t n, const TVergleichThread& job) {
  const std::string sec = VorgangSektion(n);
  ini.WriteBool(sec, "Booten", job.Booten);
  ini.WriteBool(sec, "Herunterfahren", job.Herunterfahren);
  ini.WriteBool(sec, "Idle", job.Idle);
  ini.WriteString(sec, "Herkunft", job.Herkunft);
  ini.WriteString(sec, "Ziel", job.Ziel);
  ini.WriteBool(sec, "Unterverzeichnisse", job.Unterverzeichnisse);
  ini.WriteInteger(sec, "Art", Zahl(job.Art));
  ini.WriteInteger(sec, "Doppelt", job.Doppelt);
  ini.WriteInteger(sec, "Zaehler", job.Zaehler);
  ini.WriteBool(sec, "ZaehlArt", job.ZaehlArt);
  // Only a job with patterns has the key, so that a collection whose jobs have none keeps its
  // bytes; a section that held another job's patterns loses them.
  if (job.Ausnahmen.empty()) {
    ini.EraseKey(sec, "Ausnahmen");
  } else {
    ini.WriteString(sec, "Ausnahmen", AusnahmenSchreiben(job.Ausnahmen));
  }
  LaufSchreiben(ini, sec, job);
  // Always written, also empty: a section that held another job must not keep its identity.
  ini.WriteString(sec, "Kennung", job.Kennung);
  int64_t k = 0;
  for (const TZeitEintrag& z : job.Zeiten) {
    const std::string zs = ZeitSektion(n, ++k);
    ini.WriteInteger(zs, "Tag", z.Tag);
    ini.WriteInteger(zs, "Stunde", z.Stunde);
    ini.WriteInteger(zs, "Minute", z.Minute);
    ini.WriteBool(zs, "Nachholen", z.Nachholen);
  }
  ini.WriteInteger(sec, "Zeiten", k);
}

}  // namespace

std::string SammlungGeoeffnet::AnzahlFehler() const {
  if (AnzahlStimmt) return {};
  return "Die Sammlung nennt " + std::to_string(GenannteAnzahl) + " Aufträge, enthält " +
         std::to_string(EnthalteneAnzahl);
}

std::string SammlungsZustand::Pfad() const {
  return JoinPath(SammlungsVerzeichnis, SammlungsDatei);
}

AufrufTeile AufrufZerlegen(double aufruf) {
  // Beyond 2^53 days there is no fraction left, and a cast of a value beyond the 64-bit range
  // would be undefined; such a date is nonsense from a damaged file and is kept as its day.
  constexpr double kGrenze = 9007199254740992.0;
  if (!std::isfinite(aufruf)) return {};
  aufruf = std::clamp(aufruf, -kGrenze, kGrenze);
  const double t = std::trunc(aufruf);
  return {static_cast<int64_t>(t), static_cast<int64_t>(std::trunc((aufruf - t) * 86400 + 0.2))};
}

double AufrufZusammensetzen(int64_t t, int64_t s) {
  return static_cast<double>(t) + static_cast<double>(s) / 86400;
}

SammlungGespeichert SammlungSpeichern(const Sammlung& sammlung, SammlungsZustand* zustand,
                                      const SammlungsDienste& dienste) {
  const std::string pfad = zustand->Pfad();
  const IniSnapshot alt = IniSnapshot::Load(pfad, dienste.fs);

  IniBatch ini(pfad, dienste.fs);
  zustand->SammlungsVersion = zustand->SpeicherVersion;
  ini.WriteInteger(kAllgemein, "Version", zustand->SpeicherVersion);
  int64_t n = 0;
  for (const TVergleichThread& job : sammlung) JobSchreiben(ini, ++n, job);
  ini.WriteInteger(kAllgemein, "Anzahl", n);

  // A collection that shrank leaves no stale job sections behind, also none beyond a count that
  // was wrong. Only sections that exist are visited, so a nonsense old count costs nothing.
  const Abschnitte ab = AbschnitteVon(alt);
  for (int64_t k : ab.vorgaenge) {
    if (k <= n) continue;
    const int64_t zeiten = alt.ReadInteger(VorgangSektion(k), "Zeiten", 0);
    auto z = ab.zeiten.find(k);
    if (z != ab.zeiten.end()) {
      for (int64_t j : z->second) {
        if (j > zeiten) break;
        ini.EraseSection(ZeitSektion(k, j));
      }
    }
    ini.EraseSection(VorgangSektion(k));
  }
  ini.Commit();

  zustand->Geaendert = false;
  if (dienste.log != nullptr)
    dienste.log->Zeile(LogStufe::kSpeichernLaden, zustand->SammlungsDatei + " gespeichert");
  return {zustand->SammlungsDatei, n};
}

namespace {

// The job of section "Vorgang n" as the file holds it. A version-1 copying job gets the sub-mode
// it always acted on, written into `nachtrag` too.
TVergleichThread VorgangLesen(const IniSnapshot& ini, int64_t n, int version, const Abschnitte& ab,
                              int64_t* zeit_budget, IniBatch* nachtrag) {
  static const std::set<int64_t> kKeine;
  TVergleichThread job;
  const std::string sec = VorgangSektion(n);
  job.Herkunft = ini.ReadString(sec, "Herkunft", "");
  job.Ziel = ini.ReadString(sec, "Ziel", "");
  job.Unterverzeichnisse = ini.ReadBool(sec, "Unterverzeichnisse", false);
  job.Art = static_cast<VorgangsArt>(Low32(ini.ReadInteger(sec, "Art", 0)));
  job.Doppelt = Low8(ini.ReadInteger(sec, "Doppelt", 0));
  // In version 1 the sub-mode of a copying job meant nothing; "Egal welches" is what such a job
  // did.
  if (version == 1 && job.Art == VorgangsArt::kKopieren) {
    job.Doppelt = Zahl(KopierPruefung::kBeide);
    nachtrag->WriteInteger(sec, "Doppelt", job.Doppelt);
  }
  job.Booten = ini.ReadBool(sec, "Booten", false);
  job.Herunterfahren = ini.ReadBool(sec, "Herunterfahren", false);
  job.Idle = ini.ReadBool(sec, "Idle", false);
  const int64_t zeiten = ini.ReadInteger(sec, "Zeiten", 0);
  auto z = ab.zeiten.find(n);
  Nummern(zeiten, z != ab.zeiten.end() ? z->second : kKeine, zeit_budget, [&](int64_t k, bool da) {
    job.Zeiten.push_back(da ? ZeitLesen(ini, ZeitSektion(n, k)) : TZeitEintrag{});
  });
  job.Zaehler = Low32(ini.ReadInteger(sec, "Zaehler", 0));
  job.ZaehlArt = ini.ReadBool(sec, "ZaehlArt", false);
  job.Aufruf =
      AufrufZusammensetzen(ini.ReadInteger(sec, "AufrufT", 0), ini.ReadInteger(sec, "AufrufS", 0));
  job.LaufBeginn = UtcLesen(ini.ReadString(sec, "LaufBeginnUTC", ""));
  job.LaufEnde = UtcLesen(ini.ReadString(sec, "LaufEndeUTC", ""));
  job.Ausnahmen = AusnahmenLesen(ini.ReadString(sec, "Ausnahmen", ""));
  job.Kennung = ini.ReadString(sec, "Kennung", "");
  return job;
}

}  // namespace

SammlungGeoeffnet oeffnen(const std::string& name, Sammlung* sammlung, SammlungsZustand* zustand,
                          const SammlungsDienste& dienste) {
  SammlungGeoeffnet ergebnis;
  ergebnis.name = name;
  zustand->SammlungsDatei = NamePart(name);
  zustand->SammlungsVerzeichnis = DirectoryPart(name);
  zustand->Geaendert = false;

  const IniSnapshot ini = IniSnapshot::Load(name, dienste.fs);
  const int64_t anzahl = ini.ReadInteger(kAllgemein, "Anzahl", 0);
  const int version = Low8(ini.ReadInteger(kAllgemein, "Version", 0));
  zustand->SammlungsVersion = version;

  const Abschnitte ab = AbschnitteVon(ini);
  ergebnis.GenannteAnzahl = anzahl;
  ergebnis.EnthalteneAnzahl = static_cast<int64_t>(ab.vorgaenge.size());
  // The sections must be exactly 1 to the count: as many as it names, the highest being it.
  ergebnis.AnzahlStimmt =
      version <= 0 || (anzahl == ergebnis.EnthalteneAnzahl &&
                       (anzahl == 0 || (anzahl > 0 && *ab.vorgaenge.rbegin() == anzahl)));
  if (version > 0 && !ergebnis.AnzahlStimmt && !ab.vorgaenge.empty()) {
    // What the file holds, without records of defaults for what it lacks.
    IniBatch nachtrag(name, dienste.fs);
    int64_t zeit_budget = kFehlendeHoechstens;
    for (int64_t n : ab.vorgaenge)
      sammlung->Anhaengen(VorgangLesen(ini, n, version, ab, &zeit_budget, &nachtrag));
    if (dienste.log != nullptr)
      dienste.log->Zeile(LogStufe::kWarnung, "Warn: " + name + ": " + ergebnis.AnzahlFehler());
    ergebnis.gelesen = true;
  } else if (anzahl > 0 && version > 0) {
    IniBatch nachtrag(name, dienste.fs);
    int64_t job_budget = kFehlendeHoechstens;
    int64_t zeit_budget = kFehlendeHoechstens;
    Nummern(anzahl, ab.vorgaenge, &job_budget, [&](int64_t n, bool vorhanden) {
      sammlung->Anhaengen(vorhanden ? VorgangLesen(ini, n, version, ab, &zeit_budget, &nachtrag)
                                    : TVergleichThread{});
    });
    if (version == 1) {
      // The upgrade goes into the file at once, even if the user never saves. A file that
      // cannot be written (read-only, say) is still read in full; the upgrade then lives in
      // memory only, and saving later reports the file.
      nachtrag.WriteInteger(kAllgemein, "Version", kSammlungsFormat);
      try {
        nachtrag.Commit();
      } catch (const IniWriteError& e) {
        if (dienste.log != nullptr)
          dienste.log->Zeile(LogStufe::kDateiAenderung, std::string("Warn: ") + e.what());
      }
      zustand->SammlungsVersion = kSammlungsFormat;
    }
    ergebnis.gelesen = true;
    if (dienste.log != nullptr)
      dienste.log->Zeile(LogStufe::kDebugAusfuehrlich, "Main: Werte in Tabelle übernommen");
  }

  if (dienste.log != nullptr) {
    dienste.log->Zeile(LogStufe::kSpeichernLaden, "Main: " + zustand->SammlungsDatei + " geöffnet");
  }
  return ergebnis;
}

namespace {

// Whether section `sec` names the directories and kind of `job`: a last run means nothing for
// another pair of directories, where it would let the next run take new files for deleted ones.
bool NenntDenJob(const IniSnapshot& ini, const std::string& sec, const TVergleichThread& job) {
  return ini.HasSection(sec) && ini.ReadString(sec, "Herkunft", "") == job.Herkunft &&
         ini.ReadString(sec, "Ziel", "") == job.Ziel &&
         Low32(ini.ReadInteger(sec, "Art", 0)) == Zahl(job.Art);
}

}  // namespace

int64_t JobAbschnitt(const IniSnapshot& ini, int n, const TVergleichThread& job) {
  if (!job.Kennung.empty()) {
    for (int64_t k : AbschnitteVon(ini).vorgaenge) {
      const std::string sec = VorgangSektion(k);
      if (ini.ReadString(sec, "Kennung", "") != job.Kennung) continue;
      // The same job edited by hand to other directories or another kind is another job now.
      return NenntDenJob(ini, sec, job) ? k : 0;
    }
    return 0;
  }
  // An older collection: the section is still the job's when it names the same directories
  // and kind.
  return n >= 1 && NenntDenJob(ini, VorgangSektion(n), job) ? n : 0;
}

bool AufrufSchreiben(const std::string& pfad, int n, const TVergleichThread& job, FileSystem* fs) {
  const int64_t k = JobAbschnitt(IniSnapshot::Load(pfad, fs), n, job);
  if (k == 0) return false;
  // All keys of the last run or none: a new day with the old second, or a new date with the
  // instants of an older run, would be a wrong last run.
  IniBatch ini(pfad, fs);
  LaufSchreiben(ini, VorgangSektion(k), job);
  ini.Commit();
  return true;
}

std::string UtcText(FileTime t) {
  if (t.sec <= 0) return "0";
  char b[48];
  std::snprintf(b, sizeof b, "%lld.%09lld", static_cast<long long>(t.sec),
                static_cast<long long>(t.nsec));
  return b;
}

FileTime UtcLesen(const std::string& text) {
  // "<seconds>" or "<seconds>.<up to 9 digits>"; anything else reads as unknown.
  FileTime t;
  size_t i = 0;
  int64_t sec = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (i >= 18) return FileTime{};
    sec = sec * 10 + (text[i] - '0');
  }
  if (i == 0) return FileTime{};
  int64_t nsec = 0;
  if (i < text.size()) {
    if (text[i] != '.' || text.size() - i - 1 > 9 || text.size() - i - 1 == 0) return FileTime{};
    int stellen = 0;
    for (++i; i < text.size(); ++i, ++stellen) {
      if (text[i] < '0' || text[i] > '9') return FileTime{};
      nsec = nsec * 10 + (text[i] - '0');
    }
    for (; stellen < 9; ++stellen) nsec *= 10;
  }
  t.sec = sec;
  t.nsec = nsec;
  return t;
}

}  // namespace zarnoft
