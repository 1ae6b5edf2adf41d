#include "runner/notification.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "runner/sync_runner.h"
#include "testing/temp_tree.h"

namespace zarnoft {
namespace {

// The session bus as a test sees it: every notification sent, and how often it was opened.
struct FakeBus {
  std::vector<Benachrichtigung> gesendet;
  int geoeffnet = 0;
  bool antwortet = true;

  Melder::Oeffnen Oeffner() {
    return [this]() -> std::unique_ptr<SitzungsBus> {
      ++geoeffnet;
      struct Bus : SitzungsBus {
        FakeBus* f;
        explicit Bus(FakeBus* fb) : f(fb) {}
        bool Senden(const Benachrichtigung& b) override {
          f->gesendet.push_back(b);
          return f->antwortet;
        }
      };
      return std::make_unique<Bus>(this);
    };
  }
};

// A run of zarnoft-sync with a desktop to tell: the job whose source is missing cannot start
// and is told (as one failure), the job that runs through is not; the bus is opened once, only
// when there is something to say.
TEST(MelderTest, AFailedRunOfTheRunnerIsToldThroughTheBus) {
  testing::TempTree t;
  t.Write("prog/Main.sda", "[Data]\nLoeschen=1\n");
  t.Write("A/a.txt", "a");
  t.Mkdir("B");
  auto job = [&](const std::string& h, const std::string& z) {
    return "Herkunft=" + h + "\nZiel=" + z + "\nUnterverzeichnisse=1\nArt=2\nDoppelt=2\n";
  };
  t.Write("s.syc", "[Allgemein]\nVersion=2\nAnzahl=2\n[Vorgang 1]\n" +
                       job(t.Path("A"), t.Path("B")) + "[Vorgang 2]\n" +
                       job(t.Path("fehlt"), t.Path("B")));
  FakeBus bus;
  Melder melder(bus.Oeffner());
  SyncOptionen o;
  o.sammlung = t.Path("s.syc");
  o.jobs = {1};
  o.melder = &melder;
  EXPECT_EQ(SyncAusfuehren(o, t.Path("prog/")), kSyncOk);
  EXPECT_EQ(bus.geoeffnet, 0);

  o.jobs = {2, 2};
  EXPECT_EQ(SyncAusfuehren(o, t.Path("prog/")), kSyncFehler);
  EXPECT_EQ(bus.geoeffnet, 1);
  ASSERT_EQ(bus.gesendet.size(), 2u);
  const Benachrichtigung& b = bus.gesendet[0];
  EXPECT_EQ(b.titel, "Zarnoft: 1 Fehler beim Synchronisieren von " + t.Path("fehlt"));
  EXPECT_EQ(b.programm, "Zarnoft");
  EXPECT_EQ(b.symbol, "zarnoft");
  EXPECT_EQ(b.dringlichkeit, 1);
  EXPECT_FALSE(b.text.empty());

  EXPECT_EQ(FehlerBenachrichtigung(1234, ""), "Zarnoft: 1.234 Fehler beim Synchronisieren von /");
}

// No session bus (none given, or one that refuses): nothing is sent, nothing fails, and no wait.
TEST(MelderTest, WithoutASessionBusNothingIsSentAndNothingFails) {
  testing::TempTree t;
  ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + t.Path("kein-bus")).c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", t.Path("").c_str(), 1);
  const auto beginn = std::chrono::steady_clock::now();
  Melder echt;
  EXPECT_FALSE(echt.Fehlschlag("/home/anna", 3));
  EXPECT_FALSE(echt.Fehlschlag("/home/anna", 3));
  EXPECT_LT(std::chrono::steady_clock::now() - beginn, std::chrono::seconds(2));

  Melder ohne([] { return std::unique_ptr<SitzungsBus>(); });
  EXPECT_FALSE(ohne.Fehlschlag("/home/anna", 3));
  FakeBus verweigert;
  verweigert.antwortet = false;
  Melder mit(verweigert.Oeffner());
  EXPECT_FALSE(mit.Fehlschlag("/home/anna", 3));
  EXPECT_EQ(verweigert.gesendet.size(), 1u);
}

}  // namespace
}  // namespace zarnoft
