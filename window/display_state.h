// What a run's progress window shows, and the place where the run leaves it for the window.
//
// The run never waits for the window to repaint: it writes each change of the display into the
// window's StandAblage (a few stores under a short lock) and goes on. The GUI side reads the
// latest state when it likes, coalesced: the Qt window every ~50 ms from a timer, the headless
// runner from its serving loop, and the run makes the window read it once more right before it
// closes (FortschrittFenster::Auffrischen). So the user sees what the run did, only not every
// single step of it.
#ifndef ZARNOFT_WINDOW_DISPLAY_STATE_H_
#define ZARNOFT_WINDOW_DISPLAY_STATE_H_

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace zarnoft {

// The design texts of the window, shown until the run changes them.
inline constexpr const char* kArtEntwurfstext = "Abgleich, kopieren neuerer Dateien";
inline constexpr const char* kAnzahlEntwurfstext = "Anzahl Dateien: ";
inline constexpr const char* kKbEntwurfstext = "Bytes:";

// Every text of the kind label `Art` that a run sets (by kind and sub-mode), so that a window can
// make room for the longest of them before any run sets one.
inline constexpr const char* kArtTexte[] = {
    kArtEntwurfstext,                                // two-way
    "Herkunft auf Ziel (neuere Herkunft)",           // source onto target, by the check
    "Herkunft auf Ziel (neueres Ziel)",              //
    "Herkunft auf Ziel (Herkunft oder Ziel neuer)",  //
    "Archivieren inkrementell",                      // archive, by the extent
    "Archivieren gesamt",                            //
};

// The display of one window at one moment. Paths come unshortened: the window shortens them to
// its fields' width. All texts are computed in the core.
struct Fortschrittsstand {
  std::string art = kArtEntwurfstext;  // the kind label `Art`
  std::string verzeichnis;  // `AktVerz`: relative path, beginning and ending with "/"; "" before
  int32_t gezaehlt = 0;     // files examined so far (Gezaehlt)
  int verzeichnisse_prozent = 0;  // the overall gauge `GVerzeichnisse`, 0..100
  std::string akt_datei;          // `AktDat`: full source path of the last copy started
  int datei_prozent = 0;          // the per-file gauge `GDateien`, 0..100
  std::string anzahl_text = kAnzahlEntwurfstext;  // `AnzahlDat`
  std::string kb_text = kKbEntwurfstext;          // `KB`

  friend bool operator==(const Fortschrittsstand&, const Fortschrittsstand&) = default;
};

// What the run copies into the window at the start of a copy.
struct NeueDateiAnzeige {
  std::string akt_datei;    // full source path (the window shortens it to its field)
  std::string anzahl_text;  // "Anzahl Dateien: 12 kopiert"
  std::string kb_text;      // "Summe: 123 kB / Akt.: 2,048 kB"
};

// The changes of the display, one by one, in the order in which the run makes them. Called on the
// run's thread. The StandAblage applies them to its state; a test window may record them.
class AnzeigeMitschrift {
 public:
  virtual ~AnzeigeMitschrift() = default;
  // The kind label.
  virtual void ArtSetzen(const std::string& text) = 0;
  // The walk enters (or returns to) a directory.
  virtual void VerzeichnisZeigen(const std::string& relativer_pfad) = 0;
  // One more file examined: the count and the overall gauge's percentage (core-computed).
  virtual void DateiZaehlen(int32_t gezaehlt, int prozent) = 0;
  // A copy starts: per-file gauge 0, the current file, the count and the byte texts.
  virtual void NeueDatei(const NeueDateiAnzeige& anzeige) = 0;
  // One step of a stepped copy is done: per-file gauge + 1.
  virtual void SchrittFertig() = 0;
  // A copy is finished: per-file gauge 100, the count text.
  virtual void DateiFertig(const std::string& anzahl_text) = 0;
};

// The latest display of one window. Written by the run's thread, read by any thread (the GUI);
// never blocks either for longer than a copy of a few short strings.
class StandAblage : public AnzeigeMitschrift {
 public:
  void ArtSetzen(const std::string& text) override;
  void VerzeichnisZeigen(const std::string& relativer_pfad) override;
  void DateiZaehlen(int32_t gezaehlt, int prozent) override;
  void NeueDatei(const NeueDateiAnzeige& anzeige) override;
  void SchrittFertig() override;
  void DateiFertig(const std::string& anzahl_text) override;

  // Grows with every change; a reader that saw this number has seen everything up to it.
  uint64_t Version() const { return version_.load(std::memory_order_acquire); }
  // Copies the state; returns the version it belongs to.
  uint64_t Lesen(Fortschrittsstand* stand) const;

 private:
  mutable std::mutex mu_;
  Fortschrittsstand stand_;
  std::atomic<uint64_t> version_{0};
};

}  // namespace zarnoft

#endif  // ZARNOFT_WINDOW_DISPLAY_STATE_H_
