#include "copy/copy_register.h"

#include <cstring>
#include <functional>

namespace zarnoft {
namespace {

// Blocks of this size hold the keys; a key's place is its block number and offset in 16 bits
// each. A key with its length prefix must fit into one block.
constexpr size_t kBlockGroesse = 1 << 16;
constexpr size_t kLaengenFeld = 2;
constexpr size_t kLaengsterSchluessel = kBlockGroesse - kLaengenFeld;
// Head numbers in 16 bits; the last one marks a key that holds both whole paths.
constexpr uint16_t kOhneKopf = 0xFFFF;
constexpr size_t kMeisteKoepfe = 4096;
constexpr size_t kErstePlaetze = 1024;
// Block numbers in 16 bits, and place + 1 must not wrap to the empty mark.
constexpr size_t kMeisteBloecke = 0xFFFF;

size_t Streuwert(std::string_view s) {
  return std::hash<std::string_view>{}(s);
}

void Anhaengen(std::string* s, uint16_t n) {
  s->push_back(static_cast<char>(n & 0xFF));
  s->push_back(static_cast<char>(n >> 8));
}

}  // namespace

KopierRegister::KopierRegister() : belegt_(kBlockGroesse), plaetze_(kErstePlaetze, 0) {}

uint16_t KopierRegister::KopfNummer(std::string_view kopf) {
  auto it = koepfe_.find(std::string(kopf));
  if (it != koepfe_.end()) return it->second;
  if (koepfe_.size() >= kMeisteKoepfe) return kOhneKopf;
  const auto nummer = static_cast<uint16_t>(koepfe_.size());
  koepfe_.emplace(std::string(kopf), nummer);
  return nummer;
}

std::string KopierRegister::Schluessel(std::string_view von, std::string_view nach,
                                       bool umgekehrt) {
  // The common tail, from a "/" on, so that a head is a directory (a job's root, mostly).
  size_t gemeinsam = 0;
  while (gemeinsam < von.size() && gemeinsam < nach.size() &&
         von[von.size() - 1 - gemeinsam] == nach[nach.size() - 1 - gemeinsam])
    ++gemeinsam;
  std::string_view schwanz = von.substr(von.size() - gemeinsam);
  const size_t schnitt = schwanz.find('/');
  schwanz = schnitt == std::string_view::npos ? std::string_view() : schwanz.substr(schnitt);
  // Paths without a common directory tail (an archive copy's dated name) get no head numbers:
  // their heads would fill the table with one-off entries.
  uint16_t a = kOhneKopf, b = kOhneKopf;
  if (!schwanz.empty()) {
    a = KopfNummer(von.substr(0, von.size() - schwanz.size()));
    b = KopfNummer(nach.substr(0, nach.size() - schwanz.size()));
  }
  std::string s;
  if (a != kOhneKopf && b != kOhneKopf) {
    Anhaengen(&s, umgekehrt ? b : a);
    Anhaengen(&s, umgekehrt ? a : b);
    s.append(schwanz);
    return s;
  }
  // Without numbers for both heads the key holds both paths; paths never contain a NUL byte.
  Anhaengen(&s, kOhneKopf);
  Anhaengen(&s, kOhneKopf);
  s.append(umgekehrt ? nach : von);
  s.push_back('\0');
  s.append(umgekehrt ? von : nach);
  return s;
}

bool KopierRegister::Eintragen(const std::string& von, const std::string& nach) {
  const std::string hin = Schluessel(von, nach, false);
  if (Enthaelt(hin) || Enthaelt(Schluessel(von, nach, true))) return false;
  Einfuegen(hin);
  return true;
}

std::string_view KopierRegister::Lesen(uint32_t ort) const {
  const char* p = bloecke_[ort >> 16].get() + (ort & 0xFFFF);
  const size_t laenge = static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8;
  return std::string_view(p + kLaengenFeld, laenge);
}

bool KopierRegister::Enthaelt(std::string_view schluessel) const {
  if (lange_.count(std::string(schluessel)) != 0) return true;
  const size_t maske = plaetze_.size() - 1;
  for (size_t i = Streuwert(schluessel) & maske; plaetze_[i] != 0; i = (i + 1) & maske) {
    if (Lesen(plaetze_[i] - 1) == schluessel) return true;
  }
  return false;
}

void KopierRegister::Einfuegen(std::string_view schluessel) {
  if (schluessel.size() > kLaengsterSchluessel || bloecke_.size() >= kMeisteBloecke) {
    lange_.emplace(schluessel);
    return;
  }
  if ((anzahl_ + 1) * 2 > plaetze_.size()) Wachsen();
  const size_t bedarf = kLaengenFeld + schluessel.size();
  if (belegt_ + bedarf > kBlockGroesse) {
    bloecke_.push_back(std::make_unique<char[]>(kBlockGroesse));
    belegt_ = 0;
  }
  char* p = bloecke_.back().get() + belegt_;
  p[0] = static_cast<char>(schluessel.size() & 0xFF);
  p[1] = static_cast<char>(schluessel.size() >> 8);
  std::memcpy(p + kLaengenFeld, schluessel.data(), schluessel.size());
  const auto ort = static_cast<uint32_t>((bloecke_.size() - 1) << 16 | belegt_);
  belegt_ += bedarf;
  const size_t maske = plaetze_.size() - 1;
  size_t i = Streuwert(schluessel) & maske;
  while (plaetze_[i] != 0) i = (i + 1) & maske;
  plaetze_[i] = ort + 1;
  ++anzahl_;
}

void KopierRegister::Wachsen() {
  std::vector<uint32_t> alt(plaetze_.size() * 2, 0);
  alt.swap(plaetze_);
  const size_t maske = plaetze_.size() - 1;
  for (uint32_t platz : alt) {
    if (platz == 0) continue;
    size_t i = Streuwert(Lesen(platz - 1)) & maske;
    while (plaetze_[i] != 0) i = (i + 1) & maske;
    plaetze_[i] = platz;
  }
}

}  // namespace zarnoft
