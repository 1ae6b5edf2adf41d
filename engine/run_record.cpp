#include "engine/run_record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zarnoft {
namespace {

constexpr char kKopf[] = "ZARNOFT-STAND\n";
constexpr size_t kKopfLaenge = sizeof kKopf - 1;
// The tail: the root block's place, the number of entries, the check sum, and a closing mark.
constexpr size_t kMarkeLaenge = 8;
constexpr char kMarke[kMarkeLaenge + 1] = "STENDE\n\n";
constexpr size_t kSchwanzLaenge = 3 * 8 + kMarkeLaenge;
// Longest identity or name the reader accepts; longer ones mean a damaged file.
constexpr uint64_t kLaengsterText = 4096;
// A block larger than this is damaged (a directory of 20 million entries would not fit anyway).
constexpr uint64_t kGroessterBlock = uint64_t{1} << 31;
constexpr size_t kPufferGrenze = 1 << 16;

// --- encoding ---

// The longest encoding of a number, and of an entry without its name: two name lengths, kind,
// size, two sides of five numbers each and a block's place.
constexpr size_t kLaengsteZahl = 10;
constexpr size_t kLaengsterEintrag = 15 * kLaengsteZahl;

// A number in 7-bit groups, the lowest first; every group but the last has its high bit set.
// Written at p, which has room for kLaengsteZahl bytes; returns the end.
char* ZahlHin(char* p, uint64_t v) {
  while (v >= 0x80) {
    *p++ = static_cast<char>((v & 0x7f) | 0x80);
    v >>= 7;
  }
  *p++ = static_cast<char>(v);
  return p;
}
void Zahl(std::string* out, uint64_t v) {
  char bytes[kLaengsteZahl];
  out->append(bytes, static_cast<size_t>(ZahlHin(bytes, v) - bytes));
}
uint64_t ZickZack(int64_t v) {
  return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63);
}

void Fest64(std::string* out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out->push_back(static_cast<char>(v >> (8 * i)));
}
void Text(std::string* out, const std::string& s) {
  Zahl(out, s.size());
  out->append(s);
}
char* SeiteHin(char* p, const StandSeite& s) {
  p = ZahlHin(p, ZickZack(s.mtime.sec));
  p = ZahlHin(p, static_cast<uint64_t>(s.mtime.nsec));
  // The status change lies near the last write as a rule: kept as the difference, taken modulo
  // 2^64 so that any two times (a damaged or odd file system's too) come back as they were.
  p = ZahlHin(p, ZickZack(static_cast<int64_t>(static_cast<uint64_t>(s.ctime.sec) -
                                               static_cast<uint64_t>(s.mtime.sec))));
  p = ZahlHin(p, static_cast<uint64_t>(s.ctime.nsec));
  return ZahlHin(p, s.inode);
}

// Reads from a byte range; any read past its end marks it broken, and all later reads give 0.
class Leser {
 public:
  Leser(const char* p, size_t n) : p_(p), ende_(p + n) {}
  bool kaputt() const { return kaputt_; }
  bool am_ende() const { return p_ == ende_; }
  size_t rest() const { return static_cast<size_t>(ende_ - p_); }
  uint64_t Zahl() {
    uint64_t v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      if (p_ == ende_) return Kaputt();
      const auto b = static_cast<unsigned char>(*p_++);
      v |= uint64_t{b & 0x7fu} << shift;
      if ((b & 0x80) == 0) return v;
    }
    return Kaputt();
  }
  int64_t VorzeichenZahl() {
    const uint64_t v = Zahl();
    return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1);
  }
  uint64_t Fest64() {
    if (ende_ - p_ < 8) return Kaputt();
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= uint64_t{static_cast<unsigned char>(p_[i])} << (8 * i);
    p_ += 8;
    return v;
  }
  bool Bytes(size_t n, std::string* out) {
    if (static_cast<size_t>(ende_ - p_) < n) return Kaputt() != 0;
    out->append(p_, n);
    p_ += n;
    return true;
  }
  bool Text(std::string* out) {
    const uint64_t n = Zahl();
    if (n > kLaengsterText) return Kaputt() != 0;
    out->clear();
    return Bytes(n, out);
  }
  void Seite(StandSeite* s) {
    s->mtime.sec = VorzeichenZahl();
    s->mtime.nsec = static_cast<int64_t>(Zahl());
    s->ctime.sec = static_cast<int64_t>(static_cast<uint64_t>(s->mtime.sec) +
                                        static_cast<uint64_t>(VorzeichenZahl()));
    s->ctime.nsec = static_cast<int64_t>(Zahl());
    s->inode = Zahl();
    if (s->mtime.nsec >= 1000000000 || s->ctime.nsec >= 1000000000) Kaputt();
  }

 private:
  uint64_t Kaputt() {
    kaputt_ = true;
    p_ = ende_;
    return 0;
  }
  const char* p_;
  const char* ende_;
  bool kaputt_ = false;
};

Status LesenBei(int fd, uint64_t wo, size_t n, std::string* out) {
  out->resize(n);
  size_t gelesen = 0;
  while (gelesen < n) {
    const ssize_t r =
        ::pread(fd, out->data() + gelesen, n - gelesen, static_cast<off_t>(wo + gelesen));
    if (r < 0) {
      if (errno == EINTR) continue;
      return Status::FromErrno(errno);
    }
    if (r == 0) return Status::FromErrno(EIO);
    gelesen += static_cast<size_t>(r);
  }
  return Status();
}

std::string Kurz(const std::string& s, size_t n) {
  return s.size() > n ? s.substr(0, n) : s;
}

// One element of a file name, readable and safe: letters, digits, "-", "_" and "." stay, every
// other byte becomes "_".
std::string Namensteil(const std::string& pfad) {
  std::string letzter = pfad.substr(pfad.find_last_of('/') + 1);
  if (letzter.empty()) letzter = "Wurzel";
  std::string s;
  for (char c : Kurz(letzter, 40)) {
    const bool gut = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == '.';
    s.push_back(gut ? c : '_');
  }
  if (s[0] == '.') s[0] = '_';
  return s;
}

// A short, file-name-safe form of an identity: a root's random identifier as it is, a path
// identity (of a root that cannot be written) as the check sum of its text.
std::string KennungKurz(const std::string& kennung) {
  StandPruefsumme p;
  p.Dazu(kennung.data(), kennung.size());
  static const char kHex[] = "0123456789abcdef";
  std::string s;
  uint64_t w = p.Wert();
  for (int i = 0; i < 16; ++i, w >>= 4) s.push_back(kHex[w & 15]);
  return s;
}

}  // namespace

void StandPruefsumme::Dazu(const char* p, size_t n) {
  while (n > 0) {
    rest_[voll_++] = static_cast<unsigned char>(*p++);
    --n;
    if (voll_ < 8) continue;
    Wort();
    // Whole words straight from the input while there are any.
    while (n >= 8) {
      std::memcpy(rest_, p, 8);
      p += 8;
      n -= 8;
      Wort();
    }
  }
}

uint64_t StandPruefsumme::Wert() const {
  uint64_t h = h_ ^ (woerter_ * 8 + voll_);
  for (size_t i = 0; i < voll_; ++i) h = (h ^ rest_[i]) * 0x100000001b3ULL;
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  return h;
}

void StandPruefsumme::Wort() {
  uint64_t w;
  std::memcpy(&w, rest_, 8);
  const uint64_t x = h_ ^ (w * 0x9e3779b97f4a7c15ULL);
  h_ = ((x << 29) | (x >> 35)) * 0xc2b2ae3d27d4eb4fULL;
  ++woerter_;
  voll_ = 0;
}

std::string StandDateiName(const std::string& herkunft, const std::string& ziel,
                           const StandPaar& paar) {
  return Namensteil(herkunft) + "--" + Namensteil(ziel) + "--" + KennungKurz(paar.herkunft) + "-" +
         KennungKurz(paar.ziel) + ".stand";
}

StandSeite SeiteVon(const FileInfo& info, bool dauerhaft) {
  StandSeite s;
  s.mtime = info.mtime;
  if (dauerhaft) {
    s.ctime = info.ctime;
    s.inode = info.inode;
  }
  return s;
}

bool Unveraendert(const StandEintrag& war, const StandSeite& war_seite, const FileInfo& jetzt) {
  if (jetzt.kind != war.art) return false;
  if (war.art != EntryKind::kDirectory) {
    if (jetzt.size != war.size || jetzt.mtime != war_seite.mtime) return false;
  }
  if (war_seite.inode != 0 && jetzt.inode != war_seite.inode) return false;
  if (war_seite.ctime != FileTime{} && war.art != EntryKind::kDirectory &&
      jetzt.ctime != war_seite.ctime)
    return false;
  return true;
}

// --- reading ---

StandLeser::~StandLeser() {
  if (fd_ >= 0) ::close(fd_);
}

Status StandLeser::Oeffnen(const std::string& pfad, const StandPaar& paar, std::string* grund) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd_ < 0) {
    const Status s = Status::FromErrno(errno);
    if (!s.missing()) *grund = "nicht lesbar (" + s.Reason() + ")";
    return s;
  }
  auto ablehnen = [&](const std::string& warum) {
    *grund = warum;
    ::close(fd_);
    fd_ = -1;
    return Status::FromErrno(EINVAL);
  };
  struct stat st;
  if (::fstat(fd_, &st) != 0) return ablehnen("nicht lesbar (" + ErrnoText(errno) + ")");
  if (!S_ISREG(st.st_mode)) return ablehnen("keine Datei");
  groesse_ = static_cast<uint64_t>(st.st_size);

  // The header: mark, version, the two identities.
  std::string kopf;
  const size_t kopf_lesen =
      static_cast<size_t>(std::min<uint64_t>(groesse_, 2 * kLaengsterText + 64));
  Status s = LesenBei(fd_, 0, kopf_lesen, &kopf);
  if (!s) return ablehnen("nicht lesbar (" + s.Reason() + ")");
  if (kopf.compare(0, kKopfLaenge, kKopf) != 0) {
    return ablehnen(kopf.size() < kKopfLaenge &&
                            std::string(kKopf).compare(0, kopf.size(), kopf) == 0
                        ? "abgeschnitten"
                        : "beschädigt (kein Stand)");
  }
  Leser l(kopf.data() + kKopfLaenge, kopf.size() - kKopfLaenge);
  const uint64_t version = l.Zahl();
  if (l.kaputt()) return ablehnen("abgeschnitten");
  if (version != kStandVersion) {
    return ablehnen("Version " + std::to_string(version) + " unbekannt (diese Version liest " +
                    std::to_string(kStandVersion) + ")");
  }
  StandPaar hier;
  l.Text(&hier.herkunft);
  l.Text(&hier.ziel);
  if (l.kaputt()) return ablehnen("abgeschnitten");
  daten_beginn_ = kopf.size() - l.rest();

  // The tail, then the check sum over everything before it.
  if (groesse_ < daten_beginn_ + kSchwanzLaenge) return ablehnen("abgeschnitten");
  std::string schwanz;
  s = LesenBei(fd_, groesse_ - kSchwanzLaenge, kSchwanzLaenge, &schwanz);
  if (!s) return ablehnen("nicht lesbar (" + s.Reason() + ")");
  if (schwanz.compare(3 * 8, kMarkeLaenge, kMarke, kMarkeLaenge) != 0)
    return ablehnen("abgeschnitten");
  Leser t(schwanz.data(), schwanz.size());
  wurzel_ = t.Fest64();
  eintraege_ = t.Fest64();
  const uint64_t summe = t.Fest64();
  StandPruefsumme p;
  std::string stueck;
  const uint64_t summiert = groesse_ - 8 - kMarkeLaenge;
  for (uint64_t wo = 0; wo < summiert;) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(1 << 20, summiert - wo));
    s = LesenBei(fd_, wo, n, &stueck);
    if (!s) return ablehnen("nicht lesbar (" + s.Reason() + ")");
    p.Dazu(stueck.data(), n);
    wo += n;
  }
  if (p.Wert() != summe) return ablehnen("beschädigt (Prüfsumme falsch)");
  if (wurzel_ < daten_beginn_ || wurzel_ >= groesse_ - kSchwanzLaenge)
    return ablehnen("beschädigt (Wurzel)");
  if (hier.herkunft != paar.herkunft || hier.ziel != paar.ziel)
    return ablehnen("gehört zu anderen Verzeichnissen");
  return Status();
}

bool StandLeser::Wurzel(std::vector<StandEintrag>* eintraege, std::string* grund) {
  return Block(wurzel_, eintraege, grund);
}

bool StandLeser::Block(uint64_t wo, std::vector<StandEintrag>* eintraege, std::string* grund) {
  eintraege->clear();
  auto kaputt = [&](const std::string& warum) {
    eintraege->clear();
    *grund = warum;
    return false;
  };
  if (fd_ < 0) return kaputt("nicht geöffnet");
  if (wo < daten_beginn_ || wo + 4 > groesse_ - kSchwanzLaenge) return kaputt("beschädigt (Block)");
  std::string laenge;
  Status s = LesenBei(fd_, wo, 4, &laenge);
  if (!s) return kaputt("nicht lesbar (" + s.Reason() + ")");
  uint64_t n = 0;
  for (int i = 0; i < 4; ++i) n |= uint64_t{static_cast<unsigned char>(laenge[i])} << (8 * i);
  if (n > kGroessterBlock || wo + 4 + n > groesse_ - kSchwanzLaenge)
    return kaputt("beschädigt (Block)");
  s = LesenBei(fd_, wo + 4, static_cast<size_t>(n), &daten_);
  if (!s) return kaputt("nicht lesbar (" + s.Reason() + ")");

  Leser l(daten_.data(), daten_.size());
  const uint64_t anzahl = l.Zahl();
  if (anzahl > n) return kaputt("beschädigt (Block)");
  eintraege->resize(static_cast<size_t>(anzahl));
  const std::string leer;
  const std::string* vorher_zeiger = &leer;
  for (StandEintrag& e : *eintraege) {
    const std::string& vorher = *vorher_zeiger;
    const uint64_t gemeinsam = l.Zahl();
    const uint64_t rest = l.Zahl();
    if (gemeinsam > vorher.size() || rest > kLaengsterText) return kaputt("beschädigt (Name)");
    e.name.assign(vorher, 0, static_cast<size_t>(gemeinsam));
    if (!l.Bytes(static_cast<size_t>(rest), &e.name)) break;
    const uint64_t art = l.Zahl();
    e.offen = (art & 8) != 0;
    switch (art & 7) {
      case 0:
        e.art = EntryKind::kFile;
        break;
      case 1:
        e.art = EntryKind::kDirectory;
        break;
      case 2:
        e.art = EntryKind::kSymlink;
        break;
      default:
        return kaputt("beschädigt (Art)");
    }
    e.size = static_cast<int64_t>(l.Zahl());
    l.Seite(&e.h);
    l.Seite(&e.z);
    e.block = e.art == EntryKind::kDirectory ? l.Zahl() : 0;
    // Names come in strictly rising order; anything else is damage.
    if (&e != &eintraege->front() && !(vorher < e.name)) return kaputt("beschädigt (Reihenfolge)");
    vorher_zeiger = &e.name;
  }
  if (l.kaputt() || !l.am_ende()) return kaputt("beschädigt (Block)");
  return true;
}

// --- writing ---

StandSchreiber::~StandSchreiber() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(temp_.c_str());
  }
}

Status StandSchreiber::Beginnen(const std::string& pfad, const StandPaar& paar) {
  pfad_ = pfad;
  temp_ = pfad + ".neu";
  // A temporary file a crashed run left behind is replaced.
  ::unlink(temp_.c_str());
  fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd_ < 0) return fehler_ = Status::FromErrno(errno);
  std::string kopf(kKopf);
  Zahl(&kopf, kStandVersion);
  Text(&kopf, paar.herkunft);
  Text(&kopf, paar.ziel);
  return Schreiben(kopf);
}

Status StandSchreiber::Schreiben(const std::string& bytes) {
  puffer_.append(bytes);
  if (puffer_.size() >= kPufferGrenze) return Leeren();
  return fehler_;
}

Status StandSchreiber::Leeren() {
  if (!fehler_ || fd_ < 0) return fehler_;
  summe_.Dazu(puffer_.data(), puffer_.size());
  size_t weg = 0;
  while (weg < puffer_.size()) {
    const ssize_t w = ::write(fd_, puffer_.data() + weg, puffer_.size() - weg);
    if (w < 0) {
      if (errno == EINTR) continue;
      return fehler_ = Status::FromErrno(errno);
    }
    weg += static_cast<size_t>(w);
  }
  geschrieben_ += puffer_.size();
  puffer_.clear();
  return fehler_;
}

uint64_t StandSchreiber::BlockSchreiben(const std::vector<StandEintrag>& eintraege) {
  if (fd_ < 0 || !fehler_) return 0;
  // The block is encoded straight into the buffer, behind room for its length, which is filled
  // in at the end. Before each entry the buffer gets room for its longest encoding, growing as a
  // string grows, so that a directory of millions of entries needs no more than its block.
  const uint64_t wo = geschrieben_ + puffer_.size();
  const size_t anfang = puffer_.size();
  size_t ende = anfang + 4;
  auto platz = [&](size_t n) {
    if (puffer_.size() < ende + n) puffer_.resize(std::max(2 * puffer_.size(), ende + n));
    return puffer_.data() + ende;
  };
  char* p = ZahlHin(platz(kLaengsteZahl), eintraege.size());
  ende = static_cast<size_t>(p - puffer_.data());
  const std::string* vorher = nullptr;
  for (const StandEintrag& e : eintraege) {
    size_t gemeinsam = 0;
    if (vorher != nullptr) {
      const size_t grenze = std::min(vorher->size(), e.name.size());
      while (gemeinsam < grenze && (*vorher)[gemeinsam] == e.name[gemeinsam]) ++gemeinsam;
    }
    p = platz(e.name.size() + kLaengsterEintrag);
    p = ZahlHin(p, gemeinsam);
    p = ZahlHin(p, e.name.size() - gemeinsam);
    std::memcpy(p, e.name.data() + gemeinsam, e.name.size() - gemeinsam);
    p += e.name.size() - gemeinsam;
    const uint64_t art = e.art == EntryKind::kDirectory ? 1 : e.art == EntryKind::kSymlink ? 2 : 0;
    p = ZahlHin(p, art | (e.offen ? 8 : 0));
    p = ZahlHin(p, static_cast<uint64_t>(e.size < 0 ? 0 : e.size));
    p = SeiteHin(p, e.h);
    p = SeiteHin(p, e.z);
    if (e.art == EntryKind::kDirectory) p = ZahlHin(p, e.block);
    ende = static_cast<size_t>(p - puffer_.data());
    vorher = &e.name;
  }
  puffer_.resize(ende);
  eintraege_ += eintraege.size();
  const size_t laenge = ende - anfang - 4;
  for (size_t i = 0; i < 4; ++i) puffer_[anfang + i] = static_cast<char>(laenge >> (8 * i));
  if (puffer_.size() >= kPufferGrenze) Leeren();
  return fehler_ ? wo : 0;
}

Status StandSchreiber::Abschliessen(uint64_t wurzel) {
  if (fd_ < 0) return fehler_ ? Status::FromErrno(EBADF) : fehler_;
  Leeren();
  if (fehler_) {
    // The check sum covers the root's place and the count too.
    std::string schwanz;
    Fest64(&schwanz, wurzel);
    Fest64(&schwanz, eintraege_);
    Schreiben(schwanz);
    Leeren();
    schwanz.clear();
    Fest64(&schwanz, summe_.Wert());
    schwanz.append(kMarke, kMarkeLaenge);
    Schreiben(schwanz);
    Leeren();
  }
  if (fehler_ && ::fsync(fd_) != 0) fehler_ = Status::FromErrno(errno);
  if (::close(fd_) != 0 && fehler_) fehler_ = Status::FromErrno(errno);
  fd_ = -1;
  if (fehler_ && ::rename(temp_.c_str(), pfad_.c_str()) != 0) fehler_ = Status::FromErrno(errno);
  if (!fehler_) {
    ::unlink(temp_.c_str());
    return fehler_;
  }
  // The rename is only lasting once the directory that holds the name is on the disk.
  const std::string dir = pfad_.substr(0, pfad_.find_last_of('/') + 1);
  const int d = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (d < 0) return fehler_ = Status::FromErrno(errno);
  if (::fsync(d) != 0) fehler_ = Status::FromErrno(errno);
  ::close(d);
  return fehler_;
}

}  // namespace zarnoft
