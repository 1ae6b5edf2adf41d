#include "engine/removals.h"

#include <algorithm>
#include <limits>

namespace zarnoft {

void Entfernungsliste::Hinzufuegen(AktionsSeite seite, bool verzeichnis, const std::string& rel,
                                   const Entscheidung* entscheidung, int64_t dateien,
                                   const StandEintrag& stand) {
  Kompakt e;
  e.anfang = static_cast<uint32_t>(pfade_.size());
  e.laenge = static_cast<uint32_t>(rel.size());
  e.entscheidung = entscheidung;
  e.dateien =
      static_cast<uint32_t>(std::min<int64_t>(dateien, std::numeric_limits<uint32_t>::max()));
  e.seite = static_cast<uint8_t>(seite);
  e.verzeichnis = verzeichnis;
  e.art = stand.art;
  e.groesse_oder_block = verzeichnis ? static_cast<int64_t>(stand.block) : stand.size;
  e.war = seite == AktionsSeite::kHerkunft ? stand.h : stand.z;
  pfade_ += rel;
  eintraege_.push_back(e);
  (seite == AktionsSeite::kHerkunft ? dateien_herkunft_ : dateien_ziel_) += dateien;
}

Entfernungsliste::Eintrag Entfernungsliste::Holen(size_t i) const {
  const Kompakt& e = eintraege_[i];
  const AktionsSeite seite = static_cast<AktionsSeite>(e.seite);
  Eintrag r{seite,          e.verzeichnis, pfade_.substr(e.anfang, e.laenge),
            e.entscheidung, e.dateien,     StandEintrag()};
  const size_t strich = r.rel.rfind('/');
  r.stand.name = strich == std::string::npos ? r.rel : r.rel.substr(strich + 1);
  r.stand.art = e.art;
  if (e.verzeichnis) {
    r.stand.block = static_cast<uint64_t>(e.groesse_oder_block);
  } else {
    r.stand.size = e.groesse_oder_block;
  }
  (seite == AktionsSeite::kHerkunft ? r.stand.h : r.stand.z) = e.war;
  return r;
}

int64_t Entfernungsliste::Dateien(AktionsSeite seite) const {
  return seite == AktionsSeite::kHerkunft ? dateien_herkunft_ : dateien_ziel_;
}

size_t Entfernungsliste::Speicher() const {
  return eintraege_.capacity() * sizeof(Kompakt) + pfade_.capacity();
}

}  // namespace zarnoft
