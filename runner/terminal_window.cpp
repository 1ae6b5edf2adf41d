#include "runner/terminal_window.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

#include "log/log_escape.h"

namespace zarnoft {
namespace {

long long MonotonMs() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// The terminal line is at most this many bytes wide, so it never wraps on a common terminal.
constexpr size_t kBreite = 78;

// Cuts a text to n bytes from its end without splitting a UTF-8 character.
std::string Ende(const std::string& s, size_t n) {
  if (s.size() <= n) return s;
  size_t from = s.size() - n;
  while (from < s.size() && (static_cast<unsigned char>(s[from]) & 0xC0) == 0x80) ++from;
  return "..." + s.substr(from);
}

}  // namespace

std::string MitZeilenumbruechen(const std::string& text) {
  // A name in the text must not steer the terminal: control characters are shown escaped; only
  // the messages' own line breaks become lines.
  std::string out = EscapeControls(text, /*zeilen=*/true);
  for (char& c : out)
    if (c == '\r') c = '\n';
  return out;
}

char Kuerzel(const std::string& caption) {
  size_t amp = caption.find('&');
  if (amp == std::string::npos || amp + 1 >= caption.size()) return 0;
  return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[amp + 1])));
}

TerminalFenster::~TerminalFenster() {
  ZeileLoeschen();
  if (beim_ende_) beim_ende_();
}

void TerminalFenster::FortschrittOeffnen(const std::string& herkunft, const std::string& ziel,
                                         bool uv, int32_t) {
  if (o_.fortschritt)
    std::fprintf(
        o_.aus, "Von:  %s\nNach: %s%s\n", herkunft.empty() ? "/" : EscapeControls(herkunft).c_str(),
        ziel.empty() ? "/" : EscapeControls(ziel).c_str(), uv ? "  (mit Unterverzeichnissen)" : "");
}

void TerminalFenster::Zeigen(const Fortschrittsstand& stand) {
  if (o_.fortschritt && !art_gezeigt_) {
    ZeileLoeschen();
    std::fprintf(o_.aus, "%s\n", stand.art.c_str());
    art_gezeigt_ = true;
  }
  stand_ = stand;
  Zeile();
}

void TerminalFenster::FortschrittSchliessen() {
  ZeileLoeschen();
  if (o_.fortschritt && !stand_.akt_datei.empty())
    std::fprintf(o_.aus, "%s\n", stand_.anzahl_text.c_str());
}

void TerminalFenster::Fehlermeldung(const std::string& text, AntwortRueckruf geschlossen) {
  ++fehler_;
  ZeileLoeschen();
  std::fprintf(o_.aus, "Fehler: %s\n", MitZeilenumbruechen(text).c_str());
  std::fflush(o_.aus);
  geschlossen(0);
}

void TerminalFenster::FrageStellen(const Frage& frage, AntwortRueckruf antwort) {
  antwort(Fragen(frage));
}

int TerminalFenster::Fragen(const Frage& frage) {
  if (frage.anlass == Frage::Anlass::kLeereSeite) {
    // Never ask on the terminal: a timer-started run must not depend on who is watching.
    ZeileLoeschen();
    std::fprintf(o_.aus, "%s: %s\n", frage.titel.c_str(), MitZeilenumbruechen(frage.text).c_str());
    if (o_.leer_erlaubt) {
      std::fprintf(o_.aus, "Antwort: Ja (--leer-erlaubt)\n");
      return 0;
    }
    std::fprintf(o_.aus, "Antwort: Nein (mit --leer-erlaubt würde abgeglichen)\n");
    return frage.abbrechen >= 0 ? frage.abbrechen : kKeineAntwort;
  }
  if (frage.anlass == Frage::Anlass::kLoeschSchutz && (o_.loeschen_erlaubt || !o_.fragen)) {
    ZeileLoeschen();
    std::fprintf(o_.aus, "%s: %s\n", frage.titel.c_str(), MitZeilenumbruechen(frage.text).c_str());
    if (o_.loeschen_erlaubt) {
      std::fprintf(o_.aus, "Antwort: Ja (--loeschen-erlaubt)\n");
      return 0;
    }
    std::fprintf(o_.aus, "Antwort: Nein (mit --loeschen-erlaubt würde gelöscht)\n");
    return kNiemandGefragt;
  }
  if (!o_.fragen) return kNiemandGefragt;
  ZeileLoeschen();
  std::string wahl;
  for (size_t i = 0; i < frage.knoepfe.size(); ++i) {
    std::string ohne;
    for (char c : frage.knoepfe[i])
      if (c != '&') ohne += c;
    if (!wahl.empty()) wahl += ", ";
    wahl += std::string(1, Kuerzel(frage.knoepfe[i])) + " = " + ohne;
  }
  for (;;) {
    std::fprintf(o_.aus, "\n%s\n%s\n(%s) ", frage.titel.c_str(),
                 MitZeilenumbruechen(frage.text).c_str(), wahl.c_str());
    std::fflush(o_.aus);
    char buf[64];
    if (!EingabeAbwarten() || std::fgets(buf, sizeof buf, o_.ein) == nullptr) {
      // End of input or a signal: as if the box had been closed without an answer.
      std::clearerr(o_.ein);
      std::fprintf(o_.aus, "\n");
      return kKeineAntwort;
    }
    std::string a(buf);
    while (!a.empty() && std::isspace(static_cast<unsigned char>(a.back()))) a.pop_back();
    if (a.empty() && frage.standard >= 0) return frage.standard;
    char k = a.size() == 1 ? static_cast<char>(std::tolower(static_cast<unsigned char>(a[0]))) : 0;
    for (size_t i = 0; i < frage.knoepfe.size(); ++i)
      if (k != 0 && Kuerzel(frage.knoepfe[i]) == k) return static_cast<int>(i);
    std::fprintf(o_.aus, "Bitte eine der Antworten %s eingeben.\n", wahl.c_str());
  }
}

bool TerminalFenster::EingabeAbwarten() {
  // Wait in short slices, so that a signal that arrives just before the wait is not missed.
  for (;;) {
    if (o_.abgebrochen && o_.abgebrochen()) return false;
    struct pollfd p = {::fileno(o_.ein), POLLIN, 0};
    int r = ::poll(&p, 1, 200);
    if (r > 0) return true;
    if (r < 0 && errno != EINTR) return false;
  }
}

void TerminalFenster::Zeile() {
  if (!o_.fortschritt) return;
  // Redrawing for every file would cost more than the files; ten times a second is enough.
  long long now = MonotonMs();
  if (now - letzte_ausgabe_ms_ < 100) return;
  letzte_ausgabe_ms_ = now;
  // While a copy is under way its file is shown, else the directory being walked.
  const bool kopiert = !stand_.akt_datei.empty() && stand_.datei_prozent < 100;
  std::string z = std::to_string(stand_.verzeichnisse_prozent) + " % ";
  if (!stand_.akt_datei.empty()) z += stand_.anzahl_text + " ";
  z += kopiert ? stand_.akt_datei : stand_.verzeichnis;
  if (kopiert && stand_.datei_prozent > 0) z += " (" + std::to_string(stand_.datei_prozent) + " %)";
  std::fprintf(o_.aus, "\r\033[K%s", Ende(EscapeControls(z), kBreite).c_str());
  std::fflush(o_.aus);
  zeile_steht_ = true;
}

void TerminalFenster::ZeileLoeschen() {
  if (!zeile_steht_) return;
  std::fprintf(o_.aus, "\r\033[K");
  std::fflush(o_.aus);
  zeile_steht_ = false;
}

}  // namespace zarnoft
