// The calls of worker threads onto the GUI thread, and the closing state.
//
// Windows are touched on the GUI thread only. A worker (a comparison run) reaches its window in
// two ways:
//   - Call(f): f runs on the GUI thread while the worker waits (open and close a window, the end
//     notification). Such a call needs no one's answer, so it is still served while the program
//     closes.
//   - Anfrage(stellen): a request that waits for an answer from a person (a question, an error
//     box). `stellen` runs on the GUI thread and must return at once; it receives an
//     AntwortRueckruf that the GUI side calls later, when the person has answered (no nested event
//     loop, so that two runs can each have a question open and the user can still edit meanwhile).
//     The worker waits for that answer.
//
// The closing state: when the program closes (or the runner is interrupted) SchliessenBeginnen
// answers every open request with kKeineAntwort, and every later request gets kKeineAntwort at
// once, without being shown. Calls are still served, so the runs can close their windows and
// deliver their end notifications. When the GUI thread stops serving for good (its event loop has
// ended), Einstellen releases every waiting call unrun: Call returns false from then on, and no
// worker can hang on a thread that is gone.
//
// Usage on the GUI side (the Qt caller is a QueueCaller whose Wecken posts an event that calls
// Abarbeiten):
//
//   QueueCaller gui;                       // on the GUI thread
//   ... runs use &gui ...
//   gui.SchliessenBeginnen();              // closing: questions are answered "closed"
//   for (LaufHandle& h : laeufe) h.Abbrechen();
//   gui.ServeUntil([&] { return alle_beendet; });
//   gui.Einstellen();                      // nothing is served from here on
//
// Lifetime: a GuiCaller must outlive every worker that uses it (wait for the runs' handles before
// destroying it).
#ifndef ZARNOFT_PLATFORM_GUI_CALL_H_
#define ZARNOFT_PLATFORM_GUI_CALL_H_

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace zarnoft {

// The answer of a request closed without a choice: a box closed by its close button, a program
// that is closing.
constexpr int kKeineAntwort = -1;
// The answer of a window that has nobody to ask (a run without a user). Unlike a box the user
// closed, it decides nothing: a double change stays for a later run to ask about.
constexpr int kNiemandGefragt = -2;

// Hands an answer back to the worker that waits for it. Copyable; call it on the GUI thread, at
// once or later, as often as you like: the first answer counts. Calling it after the worker has
// stopped waiting (closing, cancel) does nothing.
using AntwortRueckruf = std::function<void(int antwort)>;

class GuiCaller {
 public:
  virtual ~GuiCaller();

  // Runs f on the GUI thread and returns after it has returned: true. A call from the GUI thread
  // itself runs f at once. False when the GUI thread has stopped serving (Einstellen): f did not
  // run. Any thread.
  virtual bool Call(const std::function<void()>& f) = 0;

  // Shows a request on the GUI thread and waits for its answer: `stellen` runs on the GUI thread
  // (through Call) and hands its AntwortRueckruf to the window, which answers now or later. Returns
  // the answer, or kKeineAntwort at once when the program is closing, when the GUI thread has
  // stopped serving, or when `aufgeben` turns true while waiting (looked at every few milliseconds;
  // the run's cancel flag). Worker threads only (a request from the GUI thread would wait for
  // itself; there it returns kKeineAntwort unless `stellen` answers at once).
  int Anfrage(const std::function<void(AntwortRueckruf)>& stellen,
              const std::function<bool()>& aufgeben = {});

  // Enters the closing state (see above). Any thread; idempotent.
  void SchliessenBeginnen();
  bool Schliesst() const;

  // The GUI thread stops serving for good: every queued and later Call returns false unrun, every
  // request kKeineAntwort. Implies the closing state. Any thread; idempotent.
  void Einstellen();
  bool Eingestellt() const;

  // Whether the calling thread is the GUI thread; a request from there cannot wait.
  virtual bool ImGuiThread() const = 0;

 protected:
  // For implementations: called under no lock once Einstellen has been entered, to release the
  // calls that wait in a queue.
  virtual void EingestelltMelden() {}

 private:
  struct Offen;  // one open request
  void AlleBeantworten();

  mutable std::mutex mu_;
  bool schliesst_ = false;
  bool eingestellt_ = false;
  std::vector<std::shared_ptr<Offen>> offen_;
};

// Runs every call on the calling thread. For benchmarks and single-threaded tests; its requests
// are answered by `stellen` at once or not at all.
class DirectCaller : public GuiCaller {
 public:
  bool Call(const std::function<void()>& f) override;
  bool ImGuiThread() const override { return true; }
};

// A queue served by one thread, the GUI thread: the thread that constructed it. The headless
// runner and the tests serve it with ServeUntil; a toolkit's caller derives from it and overrides
// Wecken to make its event loop call Abarbeiten.
class QueueCaller : public GuiCaller {
 public:
  QueueCaller() : owner_(std::this_thread::get_id()) {}

  bool Call(const std::function<void()>& f) override;

  // Runs the calls queued so far, on the serving thread. Returns how many ran.
  int Abarbeiten();

  // Runs queued calls until done() is true (looked at after every call and at short intervals)
  // or the timeout has passed. Returns done(). Only the owning thread may serve.
  bool ServeUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = std::chrono::minutes(5));

  bool ImGuiThread() const override { return std::this_thread::get_id() == owner_; }

 protected:
  // Called (on the calling worker's thread, under no lock) after a call was queued: the serving
  // thread should call Abarbeiten soon. The default wakes ServeUntil.
  virtual void Wecken();
  void EingestelltMelden() override;

 private:
  struct Item {
    const std::function<void()>* f;
    bool finished = false;
    bool ran = false;
  };
  std::thread::id owner_;
  std::mutex qmu_;
  std::condition_variable cv_;  // new items for the server, finished items for the callers
  std::deque<Item*> queue_;
  bool released_ = false;  // Einstellen: nothing is queued any more
};

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_GUI_CALL_H_
