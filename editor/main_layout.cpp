#include "editor/main_layout.h"

#include <algorithm>
#include <cstdint>

#include "jobs/job_texts.h"

namespace zarnoft {

using namespace hauptlayout;

std::vector<int> SpaltenBreiten(int tabelle_breite, int tabelle_hoehe, int tabellen_zeilen) {
  const bool passen = tabelle_hoehe >= kZeilenHoehe * (tabellen_zeilen + 1);
  const int rest = passen ? kSpaltenRestOhneBalken : kSpaltenRestMitBalken;
  int fest = 0;
  int teilende = 0;
  for (const TabellenSpalte& s : TabellenSpalten()) {
    fest += s.feste_breite;
    if (s.feste_breite == 0) ++teilende;
  }
  // An integer division that cuts toward zero, as the halving of the two directory columns did.
  const int teil = teilende > 0 ? (tabelle_breite - fest) / teilende : 0;
  std::vector<int> breiten;
  for (const TabellenSpalte& s : TabellenSpalten())
    breiten.push_back(s.feste_breite > 0 ? s.feste_breite : teil - rest);
  return breiten;
}

std::vector<int> SpaltenFuerSchrift(const std::vector<int>& breiten,
                                    const std::vector<int>& muster) {
  const std::vector<TabellenSpalte>& spalten = TabellenSpalten();
  const size_t n = std::min(spalten.size(), breiten.size());
  std::vector<int> w(breiten.begin(), breiten.begin() + static_cast<std::ptrdiff_t>(n));
  int mehr = 0;
  std::vector<size_t> teilende;
  for (size_t c = 0; c < n; ++c) {
    if (spalten[c].feste_breite == 0) {
      teilende.push_back(c);
    } else if (c < muster.size()) {
      const int dazu = std::max(0, muster[c] - w[c]);
      w[c] += dazu;
      mehr += dazu;
    }
  }
  int abgegeben = 0;
  for (size_t i = 0; i < teilende.size(); ++i) {
    const int teil =
        i + 1 < teilende.size() ? mehr / static_cast<int>(teilende.size()) : mehr - abgegeben;
    w[teilende[i]] -= teil;
    abgegeben += teil;
  }
  return w;
}

HauptLayout LayoutBerechnen(int breite, int hoehe, int art_position, int tabellen_zeilen,
                            const Textbedarf& bedarf) {
  HauptLayout l;
  l.StatusBreite = std::max(kZeitenRest - kStatusUndZeitenRand, bedarf.status);
  // The kind list and "Zeit..." end where the rules put them, kZGroesseRest - kZeitKnopfZugabe
  // from the right edge; the two lists need their room in that span.
  l.MindestBreite = std::max(
      {kMinBreite, l.StatusBreite + kStatusUndZeitenRand + bedarf.zeiten,
       bedarf.art + bedarf.doppelt + kArtDoppeltAbstand + kZGroesseRest - kZeitKnopfZugabe});
  l.Breite = std::max(breite, l.MindestBreite);
  l.Hoehe = std::max(hoehe, kMinHoehe);
  const int b = l.Breite;
  const int h = l.Hoehe;

  l.LeisteBreite = b;
  l.TabelleBreite = b;
  l.TabelleHoehe = h - kUeberUndUnterTabelle;
  l.StatusGruppeOben = h - kStatusGruppeVonUnten;
  l.ZeitenOben = l.StatusGruppeOben + kZeitenUnterStatusGruppe;
  l.BeendenLinks = b - kRechterKnopfAbstand;
  l.Spalten = SpaltenBreiten(l.TabelleBreite, l.TabelleHoehe, tabellen_zeilen);
  l.OrdnerKnopfLinks = b - kRechterKnopfAbstand;
  l.VerzeichnisBreite = b - kVerzeichnisRest;
  l.ZGroesseBreite = b - kZGroesseRest;
  l.Panel2Breite = b - kPanel2Rest;  // the status bar spans the client width
  l.TrennerBreite = b - kTrennerRest;
  l.ZeitenBreite = b - kStatusUndZeitenRand - l.StatusBreite;
  l.ZeitKnopfBreite = l.ZGroesseBreite + kZeitKnopfZugabe;

  switch (ArtAusPosition(art_position)) {
    case VorgangsArt::kSynchronisieren:
      if (b < kBreitAb) {
        l.LDoppeltText = kDoppeltKurz;
        l.DoppeltBreite = kDoppeltSchmal;
      } else {
        l.LDoppeltText = kDoppeltLang;
        l.DoppeltBreite = kDoppeltBreit;
      }
      break;
    case VorgangsArt::kKopieren:
      l.LDoppeltText = "Wann:";
      l.DoppeltBreite = kDoppeltSchmal;
      break;
    case VorgangsArt::kArchivieren:
      l.LDoppeltText = "Umfang:";
      l.DoppeltBreite = kDoppeltSchmal;
      break;
    default:
      l.ArtBreite = l.ZeitKnopfBreite;
      l.DoppeltSichtbar = false;
      return l;
  }
  // The sub-mode list shows its longest item whole where its rule width is too narrow for the
  // font; the kind list gives up the room.
  l.DoppeltBreite = std::max(l.DoppeltBreite, bedarf.doppelt);
  l.ArtBreite = l.ZeitKnopfBreite - l.DoppeltBreite - kArtDoppeltAbstand;
  l.DoppeltLinks = b - l.DoppeltBreite - kDoppeltRechts;
  l.DoppeltSichtbar = true;
  if (l.LDoppeltText == kDoppeltLang && l.DoppeltLinks + bedarf.doppelt_lang > b - kDoppeltTextRand)
    l.LDoppeltText = kDoppeltKurz;
  return l;
}

namespace {

// The top bar; returns its height.
int KopfPlatzieren(const HauptLayout& l, const Masse& m, Platzierung* p) {
  const int leiste = std::max(kWerkzeug, m.datei_knopf) + 2;
  p->leiste = {0, 0, l.LeisteBreite, leiste};
  int x = 2;
  for (Rechteck& k : p->datei_knoepfe) {
    k = {x, 1, kWerkzeug, leiste - 2};
    x += kWerkzeug + 1;
  }
  p->beenden = {l.BeendenLinks, 1, kWerkzeug, leiste - 2};
  p->einzeln = {x + 3 * kRand, 0, l.BeendenLinks - x - 4 * kRand, leiste};
  return leiste;
}

// Source and target with their size listings, and the subdirectory switch, from `y`; returns
// the top of what follows.
int VerzeichnissePlatzieren(const HauptLayout& l, const Masse& m, int y, Platzierung* p) {
  auto verzeichnis = [&](Rechteck* label, Rechteck* feld, Rechteck* knopf) {
    *label = {kRand, y, kFeldLinks - kRand - 2, m.feld};
    *feld = {kFeldLinks, y, l.VerzeichnisBreite, m.feld};
    *knopf = {l.OrdnerKnopfLinks, y, kOrdnerKnopf, m.feld};
    y += m.feld + 1;
  };
  verzeichnis(&p->l_herkunft, &p->herkunft, &p->h_verz_b);
  p->hgroesse = {kFeldLinks, y, l.VerzeichnisBreite, m.zeile};
  y += m.zeile + kLuecke;
  verzeichnis(&p->l_ziel, &p->ziel, &p->z_verz_b);
  p->unterverzeichnisse = {kRand, y, kLinkeSpalte, m.haken};
  p->z_groesse = {kZGroesseLinks, y + (m.haken - m.zeile) / 2, l.ZGroesseBreite, m.zeile};
  return y + m.haken + kLuecke;
}

// Left the triggers; right kind, sub-mode, "Zeit..." and "Ausnahmen...", from `y`; returns the
// top of what follows. Where the kind's label reaches over the sub-mode's, the sub-mode label
// moves to a line of its own.
int ArtPlatzieren(const HauptLayout& l, const Masse& m, int y, Platzierung* p) {
  const int b = l.Breite;
  p->ausfuehrung = {kRand, y, kLinkeSpalte, m.ausfuehrung};
  p->l_art = {kRechteSpalte, y, std::min(m.art_titel, b - kRechteSpalte - kDoppeltRechts), m.zeile};
  const int doppelt_text = b - l.DoppeltLinks - kDoppeltTextRand;
  int listen = y + m.zeile + 1;
  if (kRechteSpalte + m.art_titel + kRand > l.DoppeltLinks && l.DoppeltSichtbar) {
    p->l_doppelt = {l.DoppeltLinks, listen, doppelt_text, m.zeile};
    listen += m.zeile + 1;
  } else {
    p->l_doppelt = {l.DoppeltLinks, y, doppelt_text, m.zeile};
  }
  p->art = {kRechteSpalte, listen, l.ArtBreite, m.feld};
  p->doppelt = {l.DoppeltLinks, listen, l.DoppeltBreite, m.feld};
  const int zeit_oben = listen + m.feld + 3;
  p->zeit = {kRechteSpalte, zeit_oben, l.ZeitKnopfBreite, m.zeit};
  // As wide as its text needs where that is more than "Zeit..." is; the smallest width keeps it
  // inside the window.
  const int ausnahmen_oben = zeit_oben + m.zeit + kLuecke;
  p->ausnahmen = {kRechteSpalte, ausnahmen_oben, std::max(l.ZeitKnopfBreite, m.ausnahmen_breite),
                  m.ausnahmen};
  return std::max(y + m.ausfuehrung, ausnahmen_oben + m.ausnahmen) + kLuecke;
}

// The collection's heading row from `y`: heading, separator, the four tool buttons at the
// right; returns the grid's top.
int SammlungsKopfPlatzieren(const HauptLayout& l, const Masse& m, int y, Platzierung* p) {
  const int kopf = std::max(kWerkzeug, m.sammlungs_knopf);
  p->l_sammlung = {kRand, y, m.sammlung_titel, kopf};
  const int trenner_links = kRand + m.sammlung_titel + kRand;
  p->trenner = {trenner_links, y + kopf / 2 - 1, std::max(0, l.TrennerBreite - trenner_links), 2};
  int x = l.TrennerBreite + 2;
  for (Rechteck& k : p->sammlungs_knoepfe) {
    k = {x, y, kWerkzeug, kopf};
    x += kWerkzeug;
  }
  return y + kopf + kLuecke;
}

// From the bottom: status bar, status group and schedule list, the running count; then the grid
// in the room between `tabelle_oben` and the running count.
void UntenPlatzieren(const HauptLayout& l, const Masse& m, int tabelle_oben, Platzierung* p) {
  const int b = l.Breite;
  const int h = std::max(l.Hoehe, m.client_hoehe);
  const int leiste = m.zeile + kStatusleisteZugabe;
  p->status_leiste = {0, h - leiste, b, leiste};
  p->panels[0] = {0, 0, kPanel0Breite, leiste};
  p->panels[1] = {kPanel0Breite, 0, kPanel1Breite, leiste};
  p->panels[2] = {kPanel0Breite + kPanel1Breite, 0, std::max(0, l.Panel2Breite), leiste};
  const int status_bedarf = m.status + (m.status_ausnahmen_sichtbar ? 0 : m.status_ausnahmen);
  const int status_oben = std::min(l.StatusGruppeOben, h - leiste - status_bedarf);
  const int zeiten_links = b - kRand - l.ZeitenBreite;
  p->status = {kStatusLinks, status_oben, zeiten_links - kStatusLinks - kRand,
               h - leiste - status_oben - 1};
  const int zeiten_oben = status_oben + kZeitenUnterStatusGruppe;
  p->zeiten = {zeiten_links, zeiten_oben, l.ZeitenBreite, h - leiste - zeiten_oben - 2};
  const int anz_oben = status_oben - m.zeile - kLuecke;
  p->l_anz_vergl = {kRand, anz_oben, b - 2 * kRand, m.zeile};
  const int tabelle_unten = anz_oben - kLuecke;
  p->tabelle = {0, tabelle_oben, l.TabelleBreite, std::max(0, tabelle_unten - tabelle_oben)};
  p->mindest_hoehe = std::max(
      kMinHoehe, tabelle_oben + kTabelleMindestZeilen * m.tabellen_zeile + (h - tabelle_unten));
}

}  // namespace

Platzierung SteuerelementePlatzieren(const HauptLayout& l, const Masse& m) {
  Platzierung p;
  int y = KopfPlatzieren(l, m, &p) + kLuecke;
  y = VerzeichnissePlatzieren(l, m, y, &p);
  y = ArtPlatzieren(l, m, y, &p);
  UntenPlatzieren(l, m, SammlungsKopfPlatzieren(l, m, y, &p), &p);
  p.mindest_breite = l.MindestBreite;
  return p;
}

namespace {

int64_t Ueberlappung(const Rechteck& a, int64_t x, int64_t y, int64_t w, int64_t h) {
  int64_t links = std::max<int64_t>(a.x, x);
  int64_t rechts = std::min<int64_t>(int64_t{a.x} + a.breite, x + w);
  int64_t oben = std::max<int64_t>(a.y, y);
  int64_t unten = std::min<int64_t>(int64_t{a.y} + a.hoehe, y + h);
  if (rechts <= links || unten <= oben) return 0;
  return (rechts - links) * (unten - oben);
}

// v held within [lo, hi]; lo wins when the range is empty.
int64_t Halten(int64_t v, int64_t lo, int64_t hi) {
  return std::max(lo, std::min(v, hi));
}

}  // namespace

StartPlatz FensterPlatzieren(const FensterGeometrie& g, const std::vector<Rechteck>& bildschirme,
                             const Rahmen& rahmen) {
  StartPlatz p;
  int64_t breite = std::max(g.Breite, kMinBreite);
  int64_t hoehe = std::max(g.Hoehe, kMinHoehe);
  if (bildschirme.empty()) {
    p.x = g.AnGespeicherterStelle() ? g.PosX : 0;
    p.y = g.AnGespeicherterStelle() ? g.PosY : 0;
    p.breite = static_cast<int>(breite);
    p.hoehe = static_cast<int>(hoehe);
    return p;
  }
  const int64_t rahmen_b = int64_t{rahmen.links} + rahmen.rechts;
  const int64_t rahmen_h = int64_t{rahmen.oben} + rahmen.unten;

  // The screen: the one holding most of the stored window, else the primary one.
  const Rechteck* schirm = &bildschirme.front();
  bool gespeichert = g.AnGespeicherterStelle();
  if (gespeichert) {
    int64_t beste = 0;
    for (const Rechteck& s : bildschirme) {
      int64_t f = Ueberlappung(s, g.PosX, g.PosY, breite + rahmen_b, hoehe + rahmen_h);
      if (f > beste) {
        beste = f;
        schirm = &s;
      }
    }
    gespeichert = beste > 0;
  }

  // A screen smaller than the minimum wins over the minimum: the window must fit.
  breite = std::max<int64_t>(1, std::min(breite, schirm->breite - rahmen_b));
  hoehe = std::max<int64_t>(1, std::min(hoehe, schirm->hoehe - rahmen_h));
  const int64_t aussen_b = breite + rahmen_b;
  const int64_t aussen_h = hoehe + rahmen_h;

  int64_t x;
  int64_t y;
  if (gespeichert) {
    x = g.PosX;
    y = g.PosY;
  } else {
    x = schirm->x + (schirm->breite - aussen_b) / 2;
    y = schirm->y + (schirm->hoehe - aussen_h) / 2;
  }
  x = Halten(x, schirm->x, int64_t{schirm->x} + schirm->breite - aussen_b);
  y = Halten(y, schirm->y, int64_t{schirm->y} + schirm->hoehe - aussen_h);
  p.x = static_cast<int>(x);
  p.y = static_cast<int>(y);
  p.breite = static_cast<int>(breite);
  p.hoehe = static_cast<int>(hoehe);
  return p;
}

}  // namespace zarnoft
