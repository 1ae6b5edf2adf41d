#include "engine/run_journal.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "platform/reserved_dir.h"

namespace zarnoft {
namespace {

constexpr char kKopfZeile[] = "zarnoft-journal";
constexpr char kTrenner[] = "---";
constexpr int kFelder = 9;
// The header's lines: the version line, four fields, the separator.
constexpr size_t kKopfZeilen = 6;
// A step's size is its fifth field.
constexpr size_t kGroessenFeld = 4;

struct SchrittName {
  JournalSchritt schritt;
  const char* name;
};
constexpr SchrittName kSchrittNamen[] = {
    {JournalSchritt::kDatum, "datum"},
    {JournalSchritt::kAngelegt, "angelegt"},
    {JournalSchritt::kBehalten, "behalten"},
    {JournalSchritt::kGeschrieben, "geschrieben"},
    {JournalSchritt::kEntfernt, "entfernt"},
    {JournalSchritt::kVerzeichnis, "verzeichnis"},
    {JournalSchritt::kAusgelagert, "ausgelagert"},
    {JournalSchritt::kUmbenannt, "umbenannt"},
};

std::string Maskiert(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
  return out;
}

bool Demaskiert(const std::string& s, std::string* out) {
  out->clear();
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      *out += s[i];
      continue;
    }
    if (++i == s.size()) return false;
    switch (s[i]) {
      case '\\':
        *out += '\\';
        break;
      case 't':
        *out += '\t';
        break;
      case 'n':
        *out += '\n';
        break;
      default:
        return false;
    }
  }
  return true;
}

std::vector<std::string> Felder(const std::string& zeile) {
  std::vector<std::string> f;
  size_t start = 0;
  for (;;) {
    size_t tab = zeile.find('\t', start);
    f.push_back(zeile.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return f;
    start = tab + 1;
  }
}

template <typename T>
bool Zahl(const std::string& s, T* out) {
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
  return ec == std::errc() && p == s.data() + s.size();
}

template <typename T>
std::string Text(T v) {
  char buf[40];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, p) : std::string("0");
}

std::string ZeitText(FileTime t) {
  return Text(t.sec) + "\t" + Text(t.nsec);
}

bool ZeitLesen(const std::string& sec, const std::string& nsec, FileTime* t) {
  return Zahl(sec, &t->sec) && Zahl(nsec, &t->nsec) && t->nsec >= 0 && t->nsec < 1000000000;
}

// A header line "key<TAB>value...": its fields after the key, or empty when the key differs.
bool KopfFelder(const std::string& zeile, const char* schluessel, size_t anzahl,
                std::vector<std::string>* werte) {
  std::vector<std::string> f = Felder(zeile);
  if (f.size() != anzahl + 1 || f[0] != schluessel) return false;
  werte->assign(f.begin() + 1, f.end());
  return true;
}

bool EintragLesen(const std::string& zeile, JournalEintrag* e) {
  std::vector<std::string> f = Felder(zeile);
  if (f.size() != kFelder) return false;
  bool bekannt = false;
  for (const SchrittName& s : kSchrittNamen) {
    if (f[0] == s.name) {
      e->schritt = s.schritt;
      bekannt = true;
    }
  }
  if (!bekannt || (f[1] != "H" && f[1] != "Z")) return false;
  e->ziel = f[1] == "Z";
  return Demaskiert(f[2], &e->rel) && Demaskiert(f[3], &e->zweit) && Zahl(f[4], &e->groesse) &&
         ZeitLesen(f[5], f[6], &e->datum) && Zahl(f[7], &e->inode) && Zahl(f[8], &e->modus);
}

// The header from the journal's first lines (at least kKopfZeilen of them, or fewer when the text
// has no more): the version first, then the fields. False with the reason in *fehler.
bool KopfLesen(const std::vector<std::string>& zeilen, JournalKopf* kopf, std::string* fehler) {
  const std::string kopf_zeile = std::string(kKopfZeile) + " ";
  if (zeilen.empty() || zeilen[0].rfind(kopf_zeile, 0) != 0) {
    *fehler = "Die Datei ist kein Protokoll eines Laufs.";
    return false;
  }
  int version = 0;
  if (!Zahl(zeilen[0].substr(kopf_zeile.size()), &version) || version < 1) {
    *fehler = "Die Datei ist kein Protokoll eines Laufs.";
    return false;
  }
  if (version > kJournalVersion) {
    *fehler = "Das Protokoll des Laufs stammt von einer neueren Programmversion (Version " +
              std::to_string(version) + ").";
    return false;
  }
  std::vector<std::string> w;
  const bool kopf_ok =
      zeilen.size() >= kKopfZeilen && KopfFelder(zeilen[1], "herkunft", 1, &w) &&
      Demaskiert(w[0], &kopf->herkunft) && KopfFelder(zeilen[2], "ziel", 1, &w) &&
      Demaskiert(w[0], &kopf->ziel) && KopfFelder(zeilen[3], "beginn", 2, &w) &&
      ZeitLesen(w[0], w[1], &kopf->beginn) && KopfFelder(zeilen[4], "vorher", 5, &w) &&
      ZeitLesen(w[0], w[1], &kopf->vorher_beginn) && ZeitLesen(w[2], w[3], &kopf->vorher_ende) &&
      Zahl(w[4], &kopf->vorher_aufruf) && zeilen[kKopfZeilen - 1] == kTrenner;
  if (!kopf_ok) {
    *fehler = "Der Kopf des Protokolls ist unvollständig oder beschädigt.";
    return false;
  }
  return true;
}

// The size field of a "behalten" or "entfernt" step line; 0 for any other line.
uint64_t GehalteneBytes(std::string_view zeile) {
  constexpr std::string_view kZaehlende[] = {"behalten\t", "entfernt\t"};
  bool zaehlt = false;
  for (std::string_view z : kZaehlende) zaehlt = zaehlt || zeile.substr(0, z.size()) == z;
  if (!zaehlt) return 0;
  size_t start = 0;
  for (size_t feld = 0; feld < kGroessenFeld; ++feld) {
    start = zeile.find('\t', start);
    if (start == std::string_view::npos) return 0;
    ++start;
  }
  const size_t ende = zeile.find('\t', start);
  if (ende == std::string_view::npos) return 0;
  int64_t groesse = 0;
  auto [p, ec] = std::from_chars(zeile.data() + start, zeile.data() + ende, groesse);
  return ec == std::errc() && p == zeile.data() + ende && groesse > 0
             ? static_cast<uint64_t>(groesse)
             : 0;
}
}  // namespace

std::string JournalKopfText(const JournalKopf& kopf) {
  return std::string(kKopfZeile) + " " + std::to_string(kJournalVersion) + "\n" + "herkunft\t" +
         Maskiert(kopf.herkunft) + "\n" + "ziel\t" + Maskiert(kopf.ziel) + "\n" + "beginn\t" +
         ZeitText(kopf.beginn) + "\n" + "vorher\t" + ZeitText(kopf.vorher_beginn) + "\t" +
         ZeitText(kopf.vorher_ende) + "\t" + Text(kopf.vorher_aufruf) + "\n" + kTrenner + "\n";
}

std::string JournalZeile(const JournalEintrag& e) {
  const char* name = "?";
  for (const SchrittName& s : kSchrittNamen) {
    if (s.schritt == e.schritt) name = s.name;
  }
  return std::string(name) + "\t" + (e.ziel ? "Z" : "H") + "\t" + Maskiert(e.rel) + "\t" +
         Maskiert(e.zweit) + "\t" + Text(e.groesse) + "\t" + ZeitText(e.datum) + "\t" +
         Text(e.inode) + "\t" + Text(e.modus) + "\n";
}

bool JournalLesen(const std::string& text, JournalKopf* kopf,
                  std::vector<JournalEintrag>* eintraege, std::string* fehler) {
  eintraege->clear();
  std::vector<std::string> zeilen;
  size_t start = 0;
  while (start < text.size()) {
    size_t nl = text.find('\n', start);
    if (nl == std::string::npos) {
      // Each step is one write; a line without its end was cut off (a full disk, a crash of the
      // machine), and what it would have said is unknown.
      *fehler = "Das Protokoll des Laufs ist abgeschnitten (Zeile " +
                std::to_string(zeilen.size() + 1) + ").";
      return false;
    }
    zeilen.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  if (!KopfLesen(zeilen, kopf, fehler)) return false;
  for (size_t i = kKopfZeilen; i < zeilen.size(); ++i) {
    JournalEintrag e;
    if (!EintragLesen(zeilen[i], &e)) {
      *fehler = "Das Protokoll des Laufs ist beschädigt (Zeile " + std::to_string(i + 1) + ").";
      return false;
    }
    eintraege->push_back(std::move(e));
  }
  return true;
}

bool JournalUeberblick(const std::string& text, JournalKopf* kopf, uint64_t* bytes) {
  std::vector<std::string> zeilen;
  size_t start = 0;
  while (zeilen.size() < kKopfZeilen) {
    const size_t nl = text.find('\n', start);
    if (nl == std::string::npos) return false;
    zeilen.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  std::string fehler;
  if (!KopfLesen(zeilen, kopf, &fehler)) return false;
  *bytes = 0;
  const std::string_view rest(text);
  for (size_t nl; (nl = rest.find('\n', start)) != std::string_view::npos; start = nl + 1)
    *bytes += GehalteneBytes(rest.substr(start, nl - start));
  return true;
}

std::string LaufName(FileTime beginn) {
  const time_t t = static_cast<time_t>(beginn.sec);
  struct tm u {};
  gmtime_r(&t, &u);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d%02d%02dT%02d%02d%02dZ", u.tm_year + 1900, u.tm_mon + 1,
                u.tm_mday, u.tm_hour, u.tm_min, u.tm_sec);
  return buf;
}

bool LaufNameLesen(const std::string& name, FileTime* beginn) {
  // "YYYYMMDDTHHMMSSZ", then anything (a number, the journal's ending).
  if (name.size() < 16 || name[8] != 'T' || name[15] != 'Z') return false;
  struct tm u {};
  auto teil = [&](size_t von, size_t n, int* out) { return Zahl(name.substr(von, n), out); };
  int jahr = 0, monat = 0;
  if (!teil(0, 4, &jahr) || !teil(4, 2, &monat) || !teil(6, 2, &u.tm_mday) ||
      !teil(9, 2, &u.tm_hour) || !teil(11, 2, &u.tm_min) || !teil(13, 2, &u.tm_sec))
    return false;
  if (monat < 1 || monat > 12 || u.tm_mday < 1 || u.tm_mday > 31) return false;
  u.tm_year = jahr - 1900;
  u.tm_mon = monat - 1;
  beginn->sec = static_cast<int64_t>(timegm(&u));
  beginn->nsec = 0;
  return true;
}

std::string LaeufeVerzeichnis(const std::string& wurzel) {
  return ReserviertesVerzeichnis(wurzel) + "/" + kLaeufeName;
}

}  // namespace zarnoft
