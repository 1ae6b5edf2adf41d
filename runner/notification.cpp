#include "runner/notification.h"

#include <systemd/sd-bus.h>

#include <utility>

#include "platform/number_format.h"

namespace zarnoft {

namespace {

// A notification service that does not answer within this time is not waited for longer: the
// runner may be ending a session.
constexpr uint64_t kAntwortFrist_us = 5'000'000;

class SdBus : public SitzungsBus {
 public:
  explicit SdBus(sd_bus* bus) : bus_(bus) {}
  ~SdBus() override { sd_bus_flush_close_unref(bus_); }
  SdBus(const SdBus&) = delete;
  SdBus& operator=(const SdBus&) = delete;

  bool Senden(const Benachrichtigung& b) override {
    sd_bus_message* m = nullptr;
    sd_bus_message* antwort = nullptr;
    sd_bus_error fehler = SD_BUS_ERROR_NULL;
    int r = sd_bus_message_new_method_call(bus_, &m, "org.freedesktop.Notifications",
                                           "/org/freedesktop/Notifications",
                                           "org.freedesktop.Notifications", "Notify");
    if (r >= 0)
      r = sd_bus_message_append(m, "susssasa{sv}i", b.programm.c_str(), uint32_t{0},
                                b.symbol.c_str(), b.titel.c_str(), b.text.c_str(), 0, 2, "urgency",
                                "y", b.dringlichkeit, "desktop-entry", "s", b.symbol.c_str(),
                                b.ablauf_ms);
    if (r >= 0) r = sd_bus_call(bus_, m, kAntwortFrist_us, &fehler, &antwort);
    sd_bus_error_free(&fehler);
    sd_bus_message_unref(antwort);
    sd_bus_message_unref(m);
    return r >= 0;
  }

 private:
  sd_bus* bus_;
};

}  // namespace

std::unique_ptr<SitzungsBus> SitzungsBusOeffnen() {
  sd_bus* bus = nullptr;
  if (sd_bus_open_user(&bus) < 0) return nullptr;
  return std::make_unique<SdBus>(bus);
}

std::string FehlerBenachrichtigung(int64_t fehler, const std::string& herkunft) {
  return "Zarnoft: " + FormatDottedNumber(fehler) + " Fehler beim Synchronisieren von " +
         (herkunft.empty() ? "/" : herkunft);
}

bool Melder::Fehlschlag(const std::string& herkunft, int64_t fehler) {
  if (!versucht_) {
    versucht_ = true;
    if (oeffnen_) bus_ = oeffnen_();
  }
  if (bus_ == nullptr) return false;
  Benachrichtigung b;
  b.titel = FehlerBenachrichtigung(fehler, herkunft);
  b.text =
      "Der Lauf wurde nicht als letzter Abgleich eingetragen. Jede fehlgeschlagene Datei nennt "
      "journalctl --user -u zarnoft-start -u zarnoft-ende.";
  return bus_->Senden(b);
}

}  // namespace zarnoft
