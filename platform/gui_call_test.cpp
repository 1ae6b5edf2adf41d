#include "platform/gui_call.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace zarnoft {
namespace {

using std::chrono::milliseconds;

// A worker thread that asks one request and keeps its answer. When a test ends early (a failed
// assertion), the request is given up, so that the thread can be joined instead of waiting
// for an answer that will never come.
struct Frager {
  Frager(GuiCaller* gui, std::function<void(AntwortRueckruf)> stellen,
         std::function<bool()> aufgeben = {}) {
    t = std::thread([=, this] {
      antwort = gui->Anfrage(stellen,
                             [this, aufgeben] { return ende.load() || (aufgeben && aufgeben()); });
      fertig = true;
    });
  }
  ~Frager() {
    ende = true;
    t.join();
  }
  std::thread t;
  std::atomic<int> antwort{-99};
  std::atomic<bool> fertig{false};
  std::atomic<bool> ende{false};
};

TEST(GuiCallerTest, RequestIsAnsweredLaterWhileTheGuiThreadGoesOnServing) {
  QueueCaller gui;
  // The open boxes, as a window would keep them: [0] is a's, [1] is b's, whichever asked first.
  std::vector<AntwortRueckruf> offen(2);
  Frager a(&gui, [&](AntwortRueckruf x) { offen[0] = x; });
  Frager b(&gui, [&](AntwortRueckruf x) { offen[1] = x; });
  ASSERT_TRUE(gui.ServeUntil([&] { return offen[0] && offen[1]; }, milliseconds(5000)));
  // Both questions are open at once; the GUI thread serves other calls meanwhile.
  std::atomic<bool> anderer_lief{false};
  std::thread anderer([&] { gui.Call([&] { anderer_lief = true; }); });
  ASSERT_TRUE(gui.ServeUntil([&] { return anderer_lief.load(); }, milliseconds(5000)));
  anderer.join();
  EXPECT_FALSE(a.fertig || b.fertig);

  offen[1](3);
  offen[1](1);  // only the first answer counts
  ASSERT_TRUE(gui.ServeUntil([&] { return b.fertig.load(); }, milliseconds(5000)));
  EXPECT_FALSE(a.fertig);
  offen[0](0);
  ASSERT_TRUE(gui.ServeUntil([&] { return a.fertig.load(); }, milliseconds(5000)));
  EXPECT_EQ(a.antwort, 0);
  EXPECT_EQ(b.antwort, 3);
}

TEST(GuiCallerTest, ClosingAnswersOpenAndLaterRequestsButStillServesCalls) {
  QueueCaller gui;
  std::vector<AntwortRueckruf> offen;
  int gezeigt = 0;
  Frager a(&gui, [&](AntwortRueckruf x) {
    ++gezeigt;
    offen.push_back(x);
  });
  ASSERT_TRUE(gui.ServeUntil([&] { return !offen.empty(); }, milliseconds(5000)));
  gui.SchliessenBeginnen();
  ASSERT_TRUE(gui.ServeUntil([&] { return a.fertig.load(); }, milliseconds(5000)));
  EXPECT_EQ(a.antwort, kKeineAntwort);
  offen[0](2);  // the box answered after the close does nothing

  {
    Frager b(&gui, [&](AntwortRueckruf x) {
      ++gezeigt;
      x(1);
    });
    ASSERT_TRUE(gui.ServeUntil([&] { return b.fertig.load(); }, milliseconds(5000)));
    EXPECT_EQ(b.antwort, kKeineAntwort);
  }
  EXPECT_EQ(gezeigt, 1);  // nothing is shown any more once closing

  std::atomic<bool> gelaufen{false};
  std::thread t([&] { EXPECT_TRUE(gui.Call([&] { gelaufen = true; })); });
  ASSERT_TRUE(gui.ServeUntil([&] { return gelaufen.load(); }, milliseconds(5000)));
  t.join();
}

TEST(GuiCallerTest, AStoppedGuiThreadReleasesEveryWaitingCallUnrun) {
  QueueCaller gui;
  std::atomic<int> gelaufen{0};
  std::atomic<int> abgewiesen{0};
  std::vector<std::thread> arbeiter;
  for (int i = 0; i < 4; ++i) {
    arbeiter.emplace_back([&] {
      if (gui.Call([&] { ++gelaufen; })) return;
      ++abgewiesen;
      // Later calls and requests return at once too.
      EXPECT_FALSE(gui.Call([&] { ++gelaufen; }));
      EXPECT_EQ(gui.Anfrage([](AntwortRueckruf a) { a(0); }), kKeineAntwort);
    });
  }
  // Nobody serves: the event loop has ended.
  std::this_thread::sleep_for(milliseconds(50));
  gui.Einstellen();
  for (auto& t : arbeiter) t.join();
  EXPECT_EQ(gelaufen, 0);
  EXPECT_EQ(abgewiesen, 4);
}

TEST(GuiCallerTest, RequestGivesUpWhenItsRunIsCancelled) {
  QueueCaller gui;
  std::atomic<bool> abbruch{false};
  bool gezeigt = false;
  Frager a(
      &gui, [&](AntwortRueckruf) { gezeigt = true; }, [&] { return abbruch.load(); });
  ASSERT_TRUE(gui.ServeUntil([&] { return gezeigt; }, milliseconds(5000)));
  abbruch = true;
  ASSERT_TRUE(gui.ServeUntil([&] { return a.fertig.load(); }, milliseconds(5000)));
  EXPECT_EQ(a.antwort, kKeineAntwort);

  // On the GUI thread itself only an answer given at once counts; a later one cannot come.
  EXPECT_EQ(gui.Anfrage([](AntwortRueckruf x) { x(1); }), 1);
  EXPECT_EQ(gui.Anfrage([](AntwortRueckruf) {}), kKeineAntwort);
}

}  // namespace
}  // namespace zarnoft
