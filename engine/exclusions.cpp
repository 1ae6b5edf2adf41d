#include "engine/exclusions.h"

#include <algorithm>
#include <bitset>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace zarnoft {
namespace {

constexpr char kTrenner = '|';
constexpr char kMaske = '\\';
constexpr std::string_view kBeliebigTief = "**";

// What the last component of a pattern demands of an entry's name in any case: its fixed
// beginning and end (the letters before the first and after the last wildcard), and its exact
// length when it has no wildcard. Checked before the matcher, so that a pattern that cannot
// match a name costs two comparisons.
struct NamensRahmen {
  bool pruefen = false;  // false for "**", which matches names of any form
  std::string anfang;
  std::string ende;
  bool woertlich = false;

  bool Moeglich(std::string_view name) const {
    if (!pruefen) return true;
    if (woertlich) return name == anfang;
    return name.size() >= anfang.size() + ende.size() && name.starts_with(anfang) &&
           name.ends_with(ende);
  }
};

// One compiled pattern. Its components are still in pattern syntax (escapes and wildcards), so
// that one matcher serves every form.
struct Muster {
  size_t nummer = 0;  // place in the list: the last matching pattern decides
  bool zuruecknehmen = false;
  bool nur_verzeichnisse = false;
  bool verankert = false;
  std::vector<std::string> teile;
  NamensRahmen rahmen;  // of the last component
};

// Hash and equality for tables keyed by std::string that are searched with a string_view, so
// that a lookup copies nothing.
struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
template <typename T>
using TextTabelle = std::unordered_map<std::string, T, TextHash, std::equal_to<>>;

// The last bytes and the lengths (modulo 64) of a table's keys: a name whose last byte or length
// is none of them needs no lookup.
struct Vorfilter {
  std::bitset<256> enden;
  std::bitset<64> laengen;

  void Dazu(std::string_view schluessel) {
    enden.set(static_cast<unsigned char>(schluessel.back()));
    laengen.set(schluessel.size() % 64);
  }
  bool Moeglich(std::string_view s) const {
    return !s.empty() && enden.test(static_cast<unsigned char>(s.back())) &&
           laengen.test(s.size() % 64);
  }
};

bool IstPlatzhalter(char c) {
  return c == '*' || c == '?' || c == '[';
}

// The end of the character class that starts at p[i] == '[' (the index of its "]"), or npos.
size_t KlassenEnde(std::string_view p, size_t i) {
  size_t j = i + 1;
  if (j < p.size() && (p[j] == '!' || p[j] == '^')) ++j;
  if (j < p.size() && p[j] == ']') ++j;  // a "]" right after the opening is a member
  for (; j < p.size(); ++j) {
    if (p[j] == kMaske && j + 1 < p.size()) {
      ++j;
    } else if (p[j] == ']') {
      return j;
    }
  }
  return std::string_view::npos;
}

// Whether c is in the class p[i..ende] ("[...]").
bool InKlasse(std::string_view p, size_t i, size_t ende, unsigned char c) {
  size_t j = i + 1;
  bool umgekehrt = false;
  if (p[j] == '!' || p[j] == '^') {
    umgekehrt = true;
    ++j;
  }
  bool drin = false;
  while (j < ende) {
    unsigned char von = static_cast<unsigned char>(p[j]);
    if (p[j] == kMaske && j + 1 < ende) von = static_cast<unsigned char>(p[++j]);
    unsigned char bis = von;
    if (j + 2 < ende && p[j + 1] == '-') {
      j += 2;
      bis = static_cast<unsigned char>(p[j]);
      if (p[j] == kMaske && j + 1 < ende) bis = static_cast<unsigned char>(p[++j]);
    }
    if (c >= von && c <= bis) drin = true;
    ++j;
  }
  return drin != umgekehrt;
}

// Glob match of one component (no "/" in either): "*", "?", classes and escapes.
bool TeilPasst(std::string_view p, std::string_view s) {
  size_t pi = 0, si = 0;
  size_t stern_p = std::string_view::npos, stern_s = 0;
  while (si < s.size()) {
    if (pi < p.size() && p[pi] == '*') {
      stern_p = ++pi;
      stern_s = si;
      continue;
    }
    if (pi < p.size()) {
      if (p[pi] == '?') {
        ++pi;
        ++si;
        continue;
      }
      if (p[pi] == '[') {
        size_t ende = KlassenEnde(p, pi);
        if (ende != std::string_view::npos) {
          if (InKlasse(p, pi, ende, static_cast<unsigned char>(s[si]))) {
            pi = ende + 1;
            ++si;
            continue;
          }
        }
      } else {
        char soll = p[pi];
        size_t weiter = pi + 1;
        if (soll == kMaske && pi + 1 < p.size()) {
          soll = p[pi + 1];
          weiter = pi + 2;
        }
        if (soll == s[si]) {
          pi = weiter;
          ++si;
          continue;
        }
      }
    }
    if (stern_p == std::string_view::npos) return false;
    pi = stern_p;
    si = ++stern_s;
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

std::vector<std::string_view> Teile(std::string_view pfad) {
  std::vector<std::string_view> teile;
  size_t anfang = 0;
  while (anfang <= pfad.size()) {
    size_t ende = pfad.find('/', anfang);
    if (ende == std::string_view::npos) ende = pfad.size();
    teile.push_back(pfad.substr(anfang, ende - anfang));
    anfang = ende + 1;
  }
  return teile;
}

// Component-wise match of an anchored pattern; "**" stands for any number of components, but for
// at least one at the pattern's end ("a/**" is what lies inside a, not a itself).
bool TeilePassen(const std::vector<std::string>& p, size_t pi,
                 const std::vector<std::string_view>& s, size_t si) {
  if (pi == p.size()) return si == s.size();
  if (p[pi] == kBeliebigTief) {
    if (pi + 1 == p.size()) return si < s.size();
    for (size_t k = si; k <= s.size(); ++k) {
      if (TeilePassen(p, pi + 1, s, k)) return true;
    }
    return false;
  }
  return si < s.size() && TeilPasst(p[pi], s[si]) && TeilePassen(p, pi + 1, s, si + 1);
}

bool Passt(const Muster& m, std::string_view rel, std::string_view name) {
  if (!m.verankert) return TeilPasst(m.teile.front(), name);
  return TeilePassen(m.teile, 0, Teile(rel), 0);
}

// The pattern without its escapes, or nothing when it has a wildcard.
std::optional<std::string> Woertlich(std::string_view p) {
  std::string w;
  for (size_t i = 0; i < p.size(); ++i) {
    if (IstPlatzhalter(p[i])) return std::nullopt;
    if (p[i] == kMaske && i + 1 < p.size()) ++i;
    w.push_back(p[i]);
  }
  return w;
}

// The frame of one component as TeilPasst reads it: "*", "?" and "[" (a class, or a "[" that
// never matches) are wildcards, a backslash takes the next character as it is.
NamensRahmen RahmenVon(std::string_view p) {
  NamensRahmen r;
  if (p == kBeliebigTief) return r;
  r.pruefen = true;
  bool platzhalter = false;
  for (size_t i = 0; i < p.size(); ++i) {
    if (IstPlatzhalter(p[i])) {
      platzhalter = true;
      r.ende.clear();
      if (p[i] == '[') {
        const size_t e = KlassenEnde(p, i);
        if (e != std::string_view::npos) i = e;
      }
      continue;
    }
    if (p[i] == kMaske && i + 1 < p.size()) ++i;
    (platzhalter ? r.ende : r.anfang).push_back(p[i]);
  }
  r.woertlich = !platzhalter;
  return r;
}

Muster Uebersetzen(std::string_view p, size_t nummer) {
  Muster m;
  m.nummer = nummer;
  if (p.front() == '!') {
    m.zuruecknehmen = true;
    p.remove_prefix(1);
  }
  if (p.size() > 1 && p.back() == '/') {
    m.nur_verzeichnisse = true;
    p.remove_suffix(1);
  }
  if (p.front() == '/') {
    m.verankert = true;
    p.remove_prefix(1);
  }
  if (p.find('/') != std::string_view::npos) m.verankert = true;
  for (std::string_view t : Teile(p)) {
    if (t.empty()) continue;  // "a//b" is "a/b"
    if (t == kBeliebigTief && !m.teile.empty() && m.teile.back() == kBeliebigTief) continue;
    m.teile.emplace_back(t);
  }
  // A lone "**" is anchored by nature: it matches every path.
  if (m.teile.size() == 1 && m.teile.front() == kBeliebigTief) m.verankert = true;
  m.rahmen = RahmenVon(m.teile.back());
  return m;
}

}  // namespace

std::vector<std::string> AusnahmenLesen(std::string_view gespeichert) {
  std::vector<std::string> muster;
  if (gespeichert.empty()) return muster;
  std::string aktuell;
  for (size_t i = 0; i < gespeichert.size(); ++i) {
    char c = gespeichert[i];
    if (c == kMaske && i + 1 < gespeichert.size() && gespeichert[i + 1] == kTrenner) {
      aktuell.push_back(kTrenner);
      ++i;
    } else if (c == kTrenner) {
      muster.push_back(std::move(aktuell));
      aktuell.clear();
    } else {
      aktuell.push_back(c);
    }
  }
  muster.push_back(std::move(aktuell));
  return muster;
}

std::string AusnahmenSchreiben(const std::vector<std::string>& muster) {
  std::string wert;
  for (size_t n = 0; n < muster.size(); ++n) {
    if (n > 0) wert.push_back(kTrenner);
    for (char c : muster[n]) {
      if (c == kTrenner) wert.push_back(kMaske);
      wert.push_back(c);
    }
  }
  return wert;
}

std::optional<std::string> MusterFehler(std::string_view muster) {
  std::string_view kern = muster;
  if (!kern.empty() && kern.front() == '!') kern.remove_prefix(1);
  if (kern.find_first_not_of('/') == std::string_view::npos) {
    return std::string("Das Muster ist leer.");
  }
  // A closing backslash, even an escaped one, would run into the "|" that follows it in the
  // stored value and be read as "\|"; "[\\]" matches a backslash at the end.
  if (kern.back() == kMaske) return std::string("Das Muster endet mit einem „\\“.");
  for (size_t i = 0; i < kern.size(); ++i) {
    if (kern[i] == kMaske) {
      ++i;
    } else if (kern[i] == '[' && KlassenEnde(kern, i) == std::string_view::npos) {
      return std::string("Zu „[“ fehlt die schließende „]“.");
    }
  }
  return std::nullopt;
}

const std::vector<std::string>& UeblicheAusnahmen() {
  static const std::vector<std::string> kUeblich = {".cache/",   ".Trash-*/",    "*.swp",
                                                    "*~",        ".~lock.*#",    "Thumbs.db",
                                                    ".DS_Store", "node_modules/"};
  return kUeblich;
}

struct AusnahmeRegeln::Tabellen {
  // Patterns without wildcards, by the name or path they match.
  TextTabelle<std::vector<const Muster*>> namen;
  TextTabelle<std::vector<const Muster*>> pfade;
  // "*<ending>" patterns by their ending, and the lengths of those endings.
  TextTabelle<std::vector<const Muster*>> endungen;
  std::vector<size_t> endungslaengen;
  Vorfilter namen_filter, pfade_filter, endungen_filter;
  // Every other pattern, last first.
  std::vector<const Muster*> uebrige;
  std::vector<Muster> alle;
};

AusnahmeRegeln::AusnahmeRegeln() = default;
AusnahmeRegeln::~AusnahmeRegeln() = default;
AusnahmeRegeln::AusnahmeRegeln(AusnahmeRegeln&&) noexcept = default;
AusnahmeRegeln& AusnahmeRegeln::operator=(AusnahmeRegeln&&) noexcept = default;

AusnahmeRegeln::AusnahmeRegeln(const std::vector<std::string>& muster,
                               std::vector<Verworfen>* verworfen)
    : t_(std::make_unique<Tabellen>()) {
  t_->alle.reserve(muster.size());
  for (const std::string& p : muster) {
    if (auto grund = MusterFehler(p)) {
      if (verworfen != nullptr) verworfen->push_back({p, *grund});
      continue;
    }
    t_->alle.push_back(Uebersetzen(p, t_->alle.size()));
  }
  anzahl_ = t_->alle.size();
  std::unordered_set<size_t> laengen;
  for (const Muster& m : t_->alle) {
    const std::string& erstes = m.teile.front();
    if (!m.verankert) {
      if (auto w = Woertlich(erstes)) {
        t_->namen[*w].push_back(&m);
        continue;
      }
      if (erstes.size() > 1 && erstes[0] == '*') {
        if (auto w = Woertlich(std::string_view(erstes).substr(1))) {
          t_->endungen[*w].push_back(&m);
          laengen.insert(w->size());
          continue;
        }
      }
    } else {
      std::string pfad;
      bool woertlich = true;
      for (const std::string& teil : m.teile) {
        auto w = Woertlich(teil);
        if (!w || teil == kBeliebigTief) {
          woertlich = false;
          break;
        }
        if (!pfad.empty()) pfad.push_back('/');
        pfad += *w;
      }
      if (woertlich) {
        t_->pfade[pfad].push_back(&m);
        continue;
      }
    }
    t_->uebrige.push_back(&m);
  }
  t_->endungslaengen.assign(laengen.begin(), laengen.end());
  std::reverse(t_->uebrige.begin(), t_->uebrige.end());
  for (const auto& eintrag : t_->namen) t_->namen_filter.Dazu(eintrag.first);
  for (const auto& eintrag : t_->pfade) t_->pfade_filter.Dazu(eintrag.first);
  // An ending is looked for at the end of longer names too: only its last byte filters.
  for (const auto& eintrag : t_->endungen)
    t_->endungen_filter.enden.set(static_cast<unsigned char>(eintrag.first.back()));
  t_->endungen_filter.laengen.set();
}

bool AusnahmeRegeln::Ausgenommen(std::string_view rel, bool verzeichnis) const {
  if (anzahl_ == 0) return false;
  std::string_view name = rel.substr(rel.rfind('/') + 1);
  const Muster* letztes = nullptr;
  auto nimm = [&](const std::vector<const Muster*>& kandidaten) {
    for (const Muster* m : kandidaten) {
      if (m->nur_verzeichnisse && !verzeichnis) continue;
      if (letztes == nullptr || m->nummer > letztes->nummer) letztes = m;
    }
  };
  // Most names match no pattern: each table is searched only when a key of it could be the
  // name.
  auto suche = [&](const auto& tabelle, const Vorfilter& filter, std::string_view schluessel) {
    if (!filter.Moeglich(schluessel)) return;
    auto it = tabelle.find(schluessel);
    if (it != tabelle.end()) nimm(it->second);
  };
  suche(t_->namen, t_->namen_filter, name);
  suche(t_->pfade, t_->pfade_filter, rel);
  if (t_->endungen_filter.Moeglich(name)) {
    for (size_t laenge : t_->endungslaengen) {
      if (laenge <= name.size())
        suche(t_->endungen, t_->endungen_filter, name.substr(name.size() - laenge));
    }
  }
  for (const Muster* m : t_->uebrige) {
    if (letztes != nullptr && m->nummer < letztes->nummer) break;
    if (m->nur_verzeichnisse && !verzeichnis) continue;
    if (m->rahmen.Moeglich(name) && Passt(*m, rel, name)) {
      letztes = m;
      break;
    }
  }
  return letztes != nullptr && !letztes->zuruecknehmen;
}

}  // namespace zarnoft
