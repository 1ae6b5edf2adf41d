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

HauptLayout LayoutBerechnen(int breite, int hoehe, int art_position, int tabellen_zeilen,
                            const Textbedarf& bedarf) {
  HauptLayout l;
  l.StatusBreite = std::max(kZeitenRest - kStatusUndZeitenRand, bedarf.status);
  // The kind list and "Zeit..." end where the rules put them, kZGroesseRest - kZeitKnopfZugabe
  // from the right edge; the two lists need their room in that span.
  l.MindestBreite =
      std::max({kMinBreite, l.StatusBreite + kStatusUndZeitenRand + bedarf.zeiten,
                bedarf.listen + kArtDoppeltAbstand + kZGroesseRest - kZeitKnopfZugabe});
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
        l.LDoppeltText = "Bei Doppelten:";
        l.DoppeltBreite = kDoppeltSchmal;
      } else {
        l.LDoppeltText = "Bei doppelt geänderten Dateien:";
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
  l.ArtBreite = l.ZeitKnopfBreite - l.DoppeltBreite - kArtDoppeltAbstand;
  l.DoppeltLinks = b - l.DoppeltBreite - kDoppeltRechts;
  l.DoppeltSichtbar = true;
  return l;
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
