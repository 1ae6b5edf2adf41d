#include "editor/size_listing.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <chrono>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "jobs/job.h"
#include "testing/recording_log.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

using std::chrono::milliseconds;
using testing::RecordingLog;
using testing::TempTree;

constexpr ListingSeite kH = ListingSeite::kHerkunft;
constexpr ListingSeite kZ = ListingSeite::kZiel;

// The GUI thread of these tests: the test thread drains what the workers hand in.
class PostQueue {
 public:
  GuiPost Post() {
    return [this](std::function<void()> f) {
      std::lock_guard<std::mutex> l(mu_);
      q_.push_back(std::move(f));
    };
  }
  // Runs queued calls until done() holds; false after a timeout.
  bool DrainUntil(const std::function<bool()>& done, milliseconds timeout = milliseconds(20000)) {
    auto ende = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      Drain();
      if (done()) return true;
      if (std::chrono::steady_clock::now() > ende) return false;
      std::this_thread::sleep_for(milliseconds(1));
    }
  }
  void Drain() {
    for (;;) {
      std::function<void()> f;
      {
        std::lock_guard<std::mutex> l(mu_);
        if (q_.empty()) return;
        f = std::move(q_.front());
        q_.pop_front();
      }
      f();
    }
  }

 private:
  std::mutex mu_;
  std::deque<std::function<void()>> q_;
};

// Records what the window would show; 7 pixels a character.
class FakeAnzeige : public ListingAnzeige {
 public:
  void GroesseZeigen(ListingSeite s, const std::string& text) override {
    label[s] = text;
    texte[s].push_back(text);
  }
  void ListingPfadZeigen(const std::string& text) override {
    panel = text;
    panels.push_back(text);
  }
  int ListingPfadBreite() override { return breite; }
  int TextBreite(const std::string& t) override { return 7 * static_cast<int>(t.size()); }

  std::map<ListingSeite, std::string> label;
  std::map<ListingSeite, std::vector<std::string>> texte;
  std::string panel;
  std::vector<std::string> panels;
  int breite = 1000;
};

// A file system whose directory listings wait while a gate is closed, and that counts how many
// listings run at the same time below each side's root.
class GateFs : public FileSystemWrapper {
 public:
  GateFs() : FileSystemWrapper(FileSystem::Default()) {}
  Status ListDirectory(const std::string& d, std::vector<FileInfo>* out) override {
    const std::string seite = d.find("/ziel") != std::string::npos ? "ziel" : "herkunft";
    {
      std::unique_lock<std::mutex> l(mu);
      int n = ++laufend[seite];
      if (n > hoechstens[seite]) hoechstens[seite] = n;
      ++gelistet;
      cv.notify_all();
      cv.wait(l, [&] { return !zu.count(seite); });
    }
    if (verzoegerung.count() > 0) std::this_thread::sleep_for(verzoegerung);
    Status s = unlesbar.count(d) ? Status::FromErrno(EACCES) : target()->ListDirectory(d, out);
    std::lock_guard<std::mutex> l(mu);
    --laufend[seite];
    return s;
  }
  void Schliessen(const std::string& seite) {
    std::lock_guard<std::mutex> l(mu);
    zu.insert(seite);
  }
  void Oeffnen(const std::string& seite) {
    std::lock_guard<std::mutex> l(mu);
    zu.erase(seite);
    cv.notify_all();
  }
  void WarteAufListing(int n) {
    std::unique_lock<std::mutex> l(mu);
    cv.wait(l, [&] { return gelistet >= n; });
  }

  std::mutex mu;
  std::condition_variable cv;
  std::set<std::string> zu;
  std::set<std::string> unlesbar;
  std::map<std::string, int> laufend, hoechstens;
  int gelistet = 0;
  milliseconds verzoegerung{0};
};

void Groesse(const std::string& pfad, off_t n) {
  ASSERT_EQ(::truncate(pfad.c_str(), n), 0);
}

class SizeListingTest : public ::testing::Test {
 protected:
  void Listen(ListingSeite s, const std::string& pfad, bool rekursiv = true) {
    listings.ListingStarten(s, pfad, rekursiv, {});
  }
  bool Fertig() {
    return q.DrainUntil([&] { return !listings.Laeuft(kH) && !listings.Laeuft(kZ); });
  }

  TempTree baum;
  GateFs fs;
  FakeAnzeige anzeige;
  RecordingLog log;
  PostQueue q;
  GroessenListings listings{&anzeige, q.Post(), &fs, &log};
};

TEST(ListingTextTest, MarksWhileWalkingAndBlanksAtTheEnd) {
  EXPECT_EQ(ListingText({0, 12345, 3}, false), "(12.345 Bytes in 3 Dateien)");
  EXPECT_EQ(ListingText({0, 12345, 3}, true), " 12.345 Bytes in 3 Dateien ");
  EXPECT_EQ(ListingText({}, true), " 0 Bytes in 0 Dateien ");
  // Beyond 2 GiB and 2^31 files nothing overflows.
  EXPECT_EQ(ListingText({5000000, 1, 3000000000}, true),
            " 5.000.000.000.001 Bytes in 3.000.000.000 Dateien ");
}

TEST_F(SizeListingTest, EmptyFilesAreNoFilesOfTheCount) {
  baum.Write("h/leer", "");
  baum.Write("h/zehn", "0123456789");
  Listen(kH, baum.Path("h"));
  ASSERT_TRUE(Fertig());
  EXPECT_EQ(anzeige.label[kH], " 10 Bytes in 1 Dateien ");
  EXPECT_EQ(listings.Ergebnis(kH), (ListingErgebnis{0, 10, 1}));
  EXPECT_TRUE(log.Has(LogStufe::kDebug, "Main: Verzeichnislisting (Herkunft) gestartet"));
  EXPECT_TRUE(log.Has(LogStufe::kDebug, "Main: Verzeichnislisting beendet"));
}

TEST_F(SizeListingTest, MillionsCarryAcrossFilesAndSubdirectoriesCountOnlyWhenAsked) {
  for (auto [name, n] :
       {std::pair{"z/a", 1000000}, {"z/b", 999999}, {"z/c", 400001}, {"z/unter/d", 100000}}) {
    baum.Write(name, "");
    Groesse(baum.Path(name), n);
  }
  Listen(kZ, baum.Path("z") + "/");
  ASSERT_TRUE(Fertig());
  EXPECT_EQ(anzeige.label[kZ], " 2.500.000 Bytes in 4 Dateien ");
  EXPECT_EQ(listings.Ergebnis(kZ), (ListingErgebnis{2, 500000, 4}));

  Listen(kZ, baum.Path("z"), false);
  ASSERT_TRUE(Fertig());
  EXPECT_EQ(anzeige.label[kZ], " 2.400.000 Bytes in 3 Dateien ");
}

// The label counts what a run would take: what the job's patterns leave out is not counted, and
// a directory left out is not read. An unusable pattern is passed over, as a run passes it.
TEST_F(SizeListingTest, TheJobsExclusionsAreLeftOutAndTheirDirectoriesNotRead) {
  baum.Write("h/a", "abc");
  baum.Write("h/x.tmp", "12345");
  baum.Write("h/cache/gross", "0123456789");
  baum.Write("h/Projekte/build/o", "1234567");
  baum.Write("h/unter/Projekte/build/p", "1234");
  baum.Write("h/unter/wichtig.tmp", "12");
  listings.ListingStarten(kH, baum.Path("h"), true,
                          {"*.tmp", "cache/", "Projekte/build", "[", "!wichtig.tmp"});
  ASSERT_TRUE(Fertig());
  // a (3), unter/Projekte/build/p (4, the pattern is anchored) and unter/wichtig.tmp (2).
  EXPECT_EQ(listings.Ergebnis(kH), (ListingErgebnis{0, 9, 3}));
  // h, h/Projekte, h/unter, h/unter/Projekte, h/unter/Projekte/build: not cache, not the build.
  EXPECT_EQ(fs.gelistet, 5);
}

TEST_F(SizeListingTest, LinksAreNeverFollowedAndSpecialFilesAndUnreadableDirectoriesSkipped) {
  baum.Write("h/a", "abc");
  baum.Write("h/tief/b", "12345");
  baum.Write("h/zu/geheim", "0123456789");
  fs.unlesbar.insert(baum.Path("h/zu/"));
  ASSERT_EQ(::symlink("/", baum.Path("h/wurzel").c_str()), 0);  // 1 byte of link text
  ASSERT_EQ(::symlink("schleife", baum.Path("h/schleife").c_str()), 0);
  ASSERT_EQ(::symlink("..", baum.Path("h/tief/hoch").c_str()), 0);
  ASSERT_EQ(::mkfifo(baum.Path("h/fifo").c_str(), 0600), 0);
  Listen(kH, baum.Path("h"));
  ASSERT_TRUE(Fertig());
  // a (3) + b (5) + the links "/" (1), "schleife" (8), ".." (2).
  EXPECT_EQ(listings.Ergebnis(kH), (ListingErgebnis{0, 19, 5}));
}

TEST_F(SizeListingTest, APathThatCannotBeEnteredLeavesTheLabelEmpty) {
  baum.Write("h/datei", "x");
  Listen(kH, baum.Path("h"));
  ASSERT_TRUE(Fertig());
  ASSERT_FALSE(anzeige.label[kH].empty());
  for (const std::string& p : {baum.Path("fehlt"), baum.Path("h/datei"), std::string()}) {
    Listen(kH, p);
    ASSERT_TRUE(Fertig());
    EXPECT_EQ(anzeige.label[kH], "") << p;
    EXPECT_EQ(listings.Ergebnis(kH), ListingErgebnis{}) << p;
  }
}

TEST_F(SizeListingTest, AStoppedListingsFiguresAndNotificationChangeNothing) {
  baum.Write("herkunft-alt/a", "aaaa");
  baum.Write("herkunft-neu/b", "bb");
  fs.Schliessen("herkunft");
  Listen(kH, baum.Path("herkunft-alt"));
  fs.WarteAufListing(1);  // the old walk hangs in its first directory
  Listen(kH, baum.Path("herkunft-neu"));
  EXPECT_TRUE(listings.Laeuft(kH));
  fs.Oeffnen("herkunft");
  ASSERT_TRUE(Fertig());
  EXPECT_EQ(anzeige.label[kH], " 2 Bytes in 1 Dateien ");
  EXPECT_EQ(listings.Ergebnis(kH), (ListingErgebnis{0, 2, 1}));
  for (const std::string& t : anzeige.texte[kH]) EXPECT_EQ(t.find("4 Bytes"), std::string::npos);
  EXPECT_EQ(log.CountPrefix("Main: Verzeichnislisting beendet"), 2);
}

TEST_F(SizeListingTest, ATakeWhileTheTargetStillListsCountsTheSource) {
  for (int i = 0; i < 7; ++i) baum.Write("herkunft/f" + std::to_string(i), "x");
  baum.Write("ziel/g", "y");
  fs.Schliessen("ziel");
  Listen(kH, baum.Path("herkunft"));
  Listen(kZ, baum.Path("ziel"));
  ASSERT_TRUE(q.DrainUntil([&] { return !listings.Laeuft(kH); }));
  EXPECT_TRUE(listings.Laeuft(kZ));
  TVergleichThread job;
  ZaehlerSetzen(&job, listings.Ergebnis(kH).Dateien, listings.Ergebnis(kZ).Dateien);
  EXPECT_EQ(job.Zaehler, 7);
  EXPECT_TRUE(job.ZaehlArt);
  fs.Oeffnen("ziel");
  ASSERT_TRUE(Fertig());
}

TEST_F(SizeListingTest, TypingAPathLetterByLetterRunsOneWalkPerSideAtATime) {
  for (int d = 0; d < 20; ++d)
    for (int f = 0; f < 5; ++f)
      baum.Write("herkunft/d" + std::to_string(d) + "/f" + std::to_string(f), "x");
  for (int f = 0; f < 3; ++f)
    baum.Write("herkunft/ein-recht-langer-name/f" + std::to_string(f), "x");
  fs.verzoegerung = milliseconds(1);
  // The prefixes pass the whole tree "herkunft" on their way.
  const std::string ziel = baum.Path("herkunft/ein-recht-langer-name");
  for (size_t n = ziel.size() - 29; n <= ziel.size(); ++n) {
    Listen(kH, ziel.substr(0, n));
    std::this_thread::sleep_for(milliseconds(2));
    q.Drain();
  }
  ASSERT_TRUE(Fertig());
  EXPECT_EQ(fs.hoechstens["herkunft"], 1);
  EXPECT_EQ(log.CountPrefix("Main: Verzeichnislisting (Herkunft) gestartet"), 30);
  EXPECT_EQ(anzeige.label[kH], " 3 Bytes in 3 Dateien ");
}

TEST_F(SizeListingTest, PanelTwoShowsTheShortenedDirectoryWhileWalkingAndClearsAtTheEnd) {
  baum.Write("herkunft/ein/recht/langer/pfad/x", "x");
  anzeige.breite = 7 * 30;
  Listen(kH, baum.Path("herkunft"));
  ASSERT_TRUE(Fertig());
  ASSERT_GE(anzeige.panels.size(), 2u);
  const std::string& gezeigt = anzeige.panels[anzeige.panels.size() - 2];
  EXPECT_NE(gezeigt.find(".."), std::string::npos) << gezeigt;
  EXPECT_EQ(gezeigt.substr(gezeigt.size() - 1), "/");
  EXPECT_EQ(anzeige.panel, "");
}

TEST(SizeListingLifetimeTest, DestroyingWhileWalkingStopsAndLaterCallsDoNothing) {
  TempTree baum;
  for (int d = 0; d < 50; ++d) baum.Write("herkunft/d" + std::to_string(d) + "/f", "x");
  GateFs fs;
  fs.verzoegerung = milliseconds(2);
  FakeAnzeige anzeige;
  PostQueue q;
  {
    GroessenListings listings(&anzeige, q.Post(), &fs, nullptr);
    listings.ListingStarten(kH, baum.Path("herkunft"), true, {});
    fs.WarteAufListing(3);
  }
  q.Drain();  // queued snapshots and the end notification find the listings gone
  EXPECT_LT(fs.gelistet, 50);
}

}  // namespace
}  // namespace zarnoft
