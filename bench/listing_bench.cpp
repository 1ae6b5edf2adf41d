// Lists one directory tree as the editor's size label does and measures it: wall time, the
// totals, and how many times the window was updated. The main thread plays the GUI thread: it
// runs the display calls that the listing hands over, with a text measure of 7 pixels a
// character, while the listing walks on its own thread.
//
//   bench_listing_bench [--flach] VERZEICHNIS
//
// --flach lists without subdirectories. Prints one line of key=value pairs.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "editor/size_listing.h"

namespace zarnoft {
namespace {

using Uhr = std::chrono::steady_clock;

class GuiSchlange {
 public:
  GuiPost Post() {
    return [this](std::function<void()> f) {
      std::lock_guard<std::mutex> l(mu_);
      q_.push_back(std::move(f));
      cv_.notify_one();
    };
  }
  // Runs calls as they come until done() holds after one of them.
  void Bedienen(const std::function<bool()>& done) {
    for (;;) {
      std::function<void()> f;
      {
        std::unique_lock<std::mutex> l(mu_);
        cv_.wait(l, [&] { return !q_.empty(); });
        f = std::move(q_.front());
        q_.pop_front();
      }
      f();
      ++aufrufe;
      if (done()) return;
    }
  }
  long aufrufe = 0;

 private:
  std::mutex mu_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> q_;
};

class ZaehlendeAnzeige : public ListingAnzeige {
 public:
  void GroesseZeigen(ListingSeite, const std::string& t) override {
    text = t;
    ++labels;
  }
  void ListingPfadZeigen(const std::string&) override { ++pfade; }
  int ListingPfadBreite() override { return 400; }
  int TextBreite(const std::string& t) override { return 7 * static_cast<int>(t.size()); }
  std::string text;
  long labels = 0;
  long pfade = 0;
};

int Main(int argc, char** argv) {
  bool rekursiv = true;
  const char* pfad = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--flach") == 0)
      rekursiv = false;
    else
      pfad = argv[i];
  }
  if (pfad == nullptr) {
    std::fprintf(stderr, "Aufruf: bench_listing_bench [--flach] VERZEICHNIS\n");
    return 2;
  }
  GuiSchlange gui;
  ZaehlendeAnzeige anzeige;
  GroessenListings listings(&anzeige, gui.Post(), nullptr, nullptr);
  const auto t0 = Uhr::now();
  listings.ListingStarten(ListingSeite::kHerkunft, pfad, rekursiv, {});
  gui.Bedienen([&] { return !listings.Laeuft(ListingSeite::kHerkunft); });
  const double s = std::chrono::duration<double>(Uhr::now() - t0).count();
  const ListingErgebnis e = listings.Ergebnis(ListingSeite::kHerkunft);
  std::printf("sekunden=%.4f dateien=%lld bytes=%lld%06lld gui_aufrufe=%ld labels=%ld pfade=%ld\n",
              s, static_cast<long long>(e.Dateien), static_cast<long long>(e.Millionen),
              static_cast<long long>(e.Bytes), gui.aufrufe, anzeige.labels, anzeige.pfade);
  return 0;
}

}  // namespace
}  // namespace zarnoft

int main(int argc, char** argv) {
  return zarnoft::Main(argc, argv);
}
