#include "editor/run_collector.h"

#include <utility>

namespace zarnoft {

void LaufSammler::Getan(const Aktion& a) {
  if (!aktionen_) return;
  std::lock_guard<std::mutex> l(mu_);
  g_.aktionen.push_back(a);
}

void LaufSammler::Fehler(const Fehlerzeile& f) {
  std::lock_guard<std::mutex> l(mu_);
  ++g_.fehler_anzahl;
  if (g_.fehler.size() < kBehalteneFehler) g_.fehler.push_back(f);
}

void LaufSammler::Hinweis(const std::string& text) {
  std::lock_guard<std::mutex> l(mu_);
  g_.hinweise.push_back(text);
}

Gesammelt LaufSammler::Nehmen() {
  std::lock_guard<std::mutex> l(mu_);
  return std::exchange(g_, Gesammelt{});
}

}  // namespace zarnoft
