// A scripted progress window for tests: records every call as a text, the display changes in
// the order the run makes them (through its Mitschrift, on the run's thread), and answers
// questions from a script (button indexes, kKeineAntwort for a box closed without answer).
//
// A test reads what it recorded after the run has ended (or from the GUI thread while the run
// waits in a call).
#ifndef ZARNOFT_TESTING_FAKE_WINDOW_H_
#define ZARNOFT_TESTING_FAKE_WINDOW_H_

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "window/progress_window.h"

namespace zarnoft::testing {

class FakeWindow : public FortschrittFenster, public AnzeigeMitschrift {
 public:
  // Everything the window was told, e.g. "Oeffnen /a|/b|1|5", "Art ...", "Verz /x/",
  // "Zaehlen 3 60", "NeueDatei <path>|<anzahl>|<kb>", "Schritt", "Fertig <text>", "Schliessen",
  // "Fehler <text>", "Frage <titel>|<text>".
  std::vector<std::string> calls;
  std::vector<std::string> fehler;  // texts of the error boxes
  std::vector<Frage> fragen;        // questions asked
  std::deque<int> antworten;        // scripted answers; kKeineAntwort when empty
  int schritte = 0;
  // Called at every SchrittFertig with the step count so far (a test may cancel there).
  std::function<void(int)> bei_schritt;
  // Called at every NeueDatei (a test may cancel there).
  std::function<void(const NeueDateiAnzeige&)> bei_neuer_datei;
  // The last state shown through Auffrischen, and how often one was shown.
  Fortschrittsstand gezeigt;
  int gezeigt_anzahl = 0;
  // False: the display changes are not recorded one by one (only the snapshot holds them).
  bool mitschreiben = true;
  // Called while a question is open (a test may change files there, as a user could meanwhile).
  std::function<void(const Frage&)> bei_frage;

  AnzeigeMitschrift* Mitschrift() override { return mitschreiben ? this : nullptr; }

  // --- the window (GUI thread) ---
  void FortschrittOeffnen(const std::string& h, const std::string& z, bool uv,
                          int32_t zaehler) override {
    calls.push_back("Oeffnen " + h + "|" + z + "|" + (uv ? "1" : "0") + "|" +
                    std::to_string(zaehler));
  }
  void Zeigen(const Fortschrittsstand& s) override {
    gezeigt = s;
    ++gezeigt_anzahl;
  }
  void FortschrittSchliessen() override { calls.push_back("Schliessen"); }
  void Fehlermeldung(const std::string& text, AntwortRueckruf geschlossen) override {
    fehler.push_back(text);
    calls.push_back("Fehler " + text);
    geschlossen(0);
  }
  void FrageStellen(const Frage& f, AntwortRueckruf antwort) override {
    fragen.push_back(f);
    calls.push_back("Frage " + f.titel + "|" + f.text);
    if (bei_frage) bei_frage(f);
    int a = kKeineAntwort;
    if (!antworten.empty()) {
      a = antworten.front();
      antworten.pop_front();
    }
    antwort(a);
  }

  // --- the display changes (the run's thread) ---
  void ArtSetzen(const std::string& t) override { calls.push_back("Art " + t); }
  void VerzeichnisZeigen(const std::string& p) override { calls.push_back("Verz " + p); }
  void DateiZaehlen(int32_t g, int prozent) override {
    calls.push_back("Zaehlen " + std::to_string(g) + " " + std::to_string(prozent));
  }
  void NeueDatei(const NeueDateiAnzeige& a) override {
    calls.push_back("NeueDatei " + a.akt_datei + "|" + a.anzahl_text + "|" + a.kb_text);
    if (bei_neuer_datei) bei_neuer_datei(a);
  }
  void SchrittFertig() override {
    ++schritte;
    calls.push_back("Schritt");
    if (bei_schritt) bei_schritt(schritte);
  }
  void DateiFertig(const std::string& t) override { calls.push_back("Fertig " + t); }

  int Count(const std::string& prefix) const {
    int n = 0;
    for (auto& c : calls) n += c.rfind(prefix, 0) == 0;
    return n;
  }
};

}  // namespace zarnoft::testing

#endif  // ZARNOFT_TESTING_FAKE_WINDOW_H_
