#include "editor/size_listing.h"

#include <utility>
#include <vector>

#include "platform/number_format.h"
#include "platform/path_helpers.h"
#include "platform/reserved_dir.h"

namespace zarnoft {

namespace {

constexpr int64_t kEineMillion = 1000000;
constexpr LogStufe kListingLogStufe = LogStufe::kDebug;

}  // namespace

std::string ListingText(const ListingErgebnis& e, bool fertig) {
  const char* auf = fertig ? " " : "(";
  const char* zu = fertig ? " " : ")";
  // Appended piece by piece: a const char* + std::string chain trips GCC 12's -Wrestrict at -O3.
  std::string text = auf;
  text += FormatDottedNumber(e.Millionen, e.Bytes);
  text += " Bytes in ";
  text += FormatDottedNumber(0, e.Dateien);
  text += " Dateien";
  text += zu;
  return text;
}

// ---------------------------------------------------------------------------------------------
// One listing.

Verzlisting::Verzlisting(std::string pfad, ListingSeite seite, bool rekursiv, FileSystem* fs,
                         ListingMelder* melder, std::shared_ptr<const AusnahmeRegeln> ausnahmen)
    : pfad_(std::move(pfad)),
      seite_(seite),
      rekursiv_(rekursiv),
      fs_(fs != nullptr ? fs : FileSystem::Default()),
      melder_(melder),
      ausnahmen_(ausnahmen != nullptr && !ausnahmen->Leer() ? std::move(ausnahmen) : nullptr) {}

void Verzlisting::Execute() {
  ergebnis_ = ListingErgebnis{};
  // The existence test must not change the current directory: the comparison runs and the
  // other side's listing share it.
  if (pfad_.empty() || !fs_->IsEnterableDirectory(pfad_)) return;
  VerzeichnisDurchlaufen(pfad_, std::string());
  fertig_ = true;
  ErgebnisZeigen();
}

void Verzlisting::VerzeichnisDurchlaufen(std::string verzeichnis, const std::string& rel) {
  verzeichnis = WithTrailingSlash(verzeichnis);
  melder_->PfadGemeldet(verzeichnis);
  if (Gestoppt()) return;
  std::vector<FileInfo> eintraege;
  // An unreadable directory contributes nothing; the walk goes on with the next entry above.
  if (!fs_->ListDirectory(verzeichnis, &eintraege)) eintraege.clear();
  ReservierteWeglassen(&eintraege);  // the program's own files are no part of the user's tree
  for (const FileInfo& e : eintraege) {
    if (Gestoppt()) break;  // unwind quickly once a newer listing waits
    const bool ist_verzeichnis = e.kind == EntryKind::kDirectory;
    std::string e_rel;
    if (ausnahmen_ != nullptr) {
      e_rel = rel.empty() ? e.name : rel + "/" + e.name;
      if (ausnahmen_->Ausgenommen(e_rel, ist_verzeichnis)) continue;
    }
    switch (e.kind) {
      case EntryKind::kDirectory:
        // Without subdirectories a directory counts for nothing (its size here is that of its
        // index blocks, not of any content).
        if (rekursiv_) VerzeichnisDurchlaufen(verzeichnis + e.name, e_rel);
        break;
      case EntryKind::kFile:
      case EntryKind::kSymlink:
        // A link counts as itself, as a run copies it: it is never followed, so a link to "/"
        // or a loop of links cannot make the walk go on for ever.
        DateiZaehlen(e.size);
        break;
      case EntryKind::kSpecial:
        break;  // FIFOs, sockets and devices hold no data of the user's
    }
  }
  ErgebnisZeigen();
}

void Verzlisting::DateiZaehlen(int64_t groesse) {
  if (groesse > 0) ++ergebnis_.Dateien;
  const int64_t s = ergebnis_.Bytes + groesse;
  if (s >= kEineMillion) {
    ergebnis_.Millionen += s / kEineMillion;
    ergebnis_.Bytes = s % kEineMillion;
  } else {
    ergebnis_.Bytes = s;
  }
}

void Verzlisting::ErgebnisZeigen() {
  // A stopped listing has been replaced; its figures belong to nobody.
  if (Gestoppt()) return;
  melder_->ErgebnisGemeldet(ergebnis_, fertig_);
}

// ---------------------------------------------------------------------------------------------
// The main window's side.

// Shared with the calls queued for the GUI thread, so that a call that runs after the listings
// are gone finds out and does nothing. GUI thread only.
struct GroessenListings::Zustand {
  bool lebt = true;
};

// One side: its entry in the list and stored result (GUI thread), its worker with the mailbox
// of the next listing, and the snapshot that the worker fills for the GUI thread.
struct GroessenListings::Seitenarbeit : ListingMelder {
  Seitenarbeit(GroessenListings* o, ListingSeite s) : owner(o), seite(s) {}

  void PfadGemeldet(const std::string& verzeichnis) override {
    std::lock_guard<std::mutex> l(mu);
    schnapp_von = aktiv;
    schnapp_pfad = verzeichnis;
    Melden();
  }
  void ErgebnisGemeldet(const ListingErgebnis& e, bool fertig) override {
    std::lock_guard<std::mutex> l(mu);
    schnapp_von = aktiv;
    schnapp_ergebnis = e;
    schnapp_fertig = fertig;
    schnapp_hat_ergebnis = true;
    Melden();
  }
  // Expects mu held. One call at a time waits for the GUI thread; updates meanwhile only change
  // the snapshot, which that call shows when it runs.
  void Melden() {
    if (post_offen) return;
    post_offen = true;
    owner->post_([z = owner->zustand_, o = owner, s = seite] {
      if (z->lebt) o->SchnappschussZeigen(s);
    });
  }

  GroessenListings* const owner;
  const ListingSeite seite;

  // GUI thread only.
  std::shared_ptr<Verzlisting> eintrag;  // the side's listing in the list; null when none
  ListingErgebnis gespeichert;
  std::string text_gezeigt;  // what the label shows now

  std::mutex mu;
  std::condition_variable cv;
  std::shared_ptr<Verzlisting> wartend;  // the next listing to run
  bool ende = false;
  const Verzlisting* aktiv = nullptr;  // the listing the worker runs; written by the worker
  const Verzlisting* schnapp_von = nullptr;
  std::string schnapp_pfad;
  ListingErgebnis schnapp_ergebnis;
  bool schnapp_fertig = false;
  bool schnapp_hat_ergebnis = false;
  bool post_offen = false;
  std::thread worker;
};

GroessenListings::GroessenListings(ListingAnzeige* anzeige, GuiPost post, FileSystem* fs,
                                   Protokoll* log)
    : anzeige_(anzeige),
      post_(std::move(post)),
      fs_(fs != nullptr ? fs : FileSystem::Default()),
      log_(log),
      zustand_(std::make_shared<Zustand>()),
      herkunft_(std::make_unique<Seitenarbeit>(this, ListingSeite::kHerkunft)),
      ziel_(std::make_unique<Seitenarbeit>(this, ListingSeite::kZiel)) {}

GroessenListings::~GroessenListings() {
  zustand_->lebt = false;
  for (Seitenarbeit* a : {herkunft_.get(), ziel_.get()}) {
    if (a->eintrag) a->eintrag->Stoppen();
    {
      std::lock_guard<std::mutex> l(a->mu);
      a->ende = true;
      a->wartend.reset();
    }
    a->cv.notify_all();
  }
  for (Seitenarbeit* a : {herkunft_.get(), ziel_.get()}) {
    if (a->worker.joinable()) a->worker.join();
  }
}

GroessenListings::Seitenarbeit& GroessenListings::Arbeit(ListingSeite seite) {
  return seite == ListingSeite::kHerkunft ? *herkunft_ : *ziel_;
}

const GroessenListings::Seitenarbeit& GroessenListings::Arbeit(ListingSeite seite) const {
  return seite == ListingSeite::kHerkunft ? *herkunft_ : *ziel_;
}

void GroessenListings::ListingStarten(ListingSeite seite, const std::string& pfad, bool rekursiv,
                                      const std::vector<std::string>& ausnahmen) {
  ListingStoppen(seite);
  Seitenarbeit& a = Arbeit(seite);
  if (!a.text_gezeigt.empty()) {
    a.text_gezeigt.clear();
    anzeige_->GroesseZeigen(seite, "");
  }
  auto listing = std::make_shared<Verzlisting>(
      pfad, seite, rekursiv, fs_, &a,
      ausnahmen.empty() ? nullptr : std::make_shared<const AusnahmeRegeln>(ausnahmen));
  a.eintrag = listing;
  a.gespeichert = ListingErgebnis{};
  if (log_ != nullptr && log_->Will(kListingLogStufe)) {
    log_->Zeile(kListingLogStufe, seite == ListingSeite::kHerkunft
                                      ? "Main: Verzeichnislisting (Herkunft) gestartet"
                                      : "Main: Verzeichnislisting (Ziel) gestartet");
  }
  {
    std::lock_guard<std::mutex> l(a.mu);
    a.wartend = std::move(listing);  // a listing still waiting was stopped above: dropped
  }
  a.cv.notify_all();
  if (!a.worker.joinable()) a.worker = std::thread([this, &a] { Arbeiten(&a); });
}

void GroessenListings::ListingStoppen(ListingSeite seite) {
  Seitenarbeit& a = Arbeit(seite);
  if (!a.eintrag) return;
  a.eintrag->Stoppen();
  a.eintrag.reset();
}

ListingErgebnis GroessenListings::Ergebnis(ListingSeite seite) const {
  return Arbeit(seite).gespeichert;
}

bool GroessenListings::Laeuft(ListingSeite seite) const {
  return Arbeit(seite).eintrag != nullptr;
}

void GroessenListings::Arbeiten(Seitenarbeit* a) {
  for (;;) {
    std::shared_ptr<Verzlisting> listing;
    {
      std::unique_lock<std::mutex> l(a->mu);
      a->cv.wait(l, [a] { return a->ende || a->wartend != nullptr; });
      if (a->ende) return;
      listing = std::move(a->wartend);
      // Replaced before it began: nobody waits for its figures.
      if (listing->Gestoppt()) continue;
      a->aktiv = listing.get();
    }
    listing->Execute();
    {
      std::lock_guard<std::mutex> l(a->mu);
      a->aktiv = nullptr;
    }
    post_([z = zustand_, this, listing] {
      if (z->lebt) ListingFertig(listing);
    });
  }
}

void GroessenListings::SchnappschussZeigen(ListingSeite seite) {
  Seitenarbeit& a = Arbeit(seite);
  const Verzlisting* von;
  std::string pfad;
  ListingErgebnis ergebnis;
  bool fertig, hat_ergebnis;
  {
    std::lock_guard<std::mutex> l(a.mu);
    a.post_offen = false;
    von = a.schnapp_von;
    pfad = std::move(a.schnapp_pfad);
    a.schnapp_pfad.clear();
    ergebnis = a.schnapp_ergebnis;
    fertig = a.schnapp_fertig;
    hat_ergebnis = a.schnapp_hat_ergebnis;
    a.schnapp_hat_ergebnis = false;
  }
  // Figures of a listing that was stopped and replaced meanwhile change nothing.
  if (a.eintrag == nullptr || a.eintrag.get() != von) return;
  if (!pfad.empty()) PfadAnzeigen(pfad);
  if (hat_ergebnis) {
    std::string text = ListingText(ergebnis, fertig);
    if (text != a.text_gezeigt) {
      a.text_gezeigt = text;
      anzeige_->GroesseZeigen(seite, text);
    }
  }
}

void GroessenListings::ListingFertig(const std::shared_ptr<Verzlisting>& listing) {
  if (log_ != nullptr && log_->Will(kListingLogStufe))
    log_->Zeile(kListingLogStufe, "Main: Verzeichnislisting beendet");
  Seitenarbeit& a = Arbeit(listing->Listingseite());
  if (a.eintrag != listing) return;  // stopped and replaced: nothing of it counts any more
  if (listing->Fertig()) {
    a.gespeichert = listing->Ergebnis();
    // The last snapshot may still be queued; the label must end with the final figures.
    std::string text = ListingText(a.gespeichert, true);
    if (text != a.text_gezeigt) {
      a.text_gezeigt = text;
      anzeige_->GroesseZeigen(a.seite, text);
    }
  } else {
    a.gespeichert = ListingErgebnis{};
  }
  ListingStoppen(a.seite);
  // Panel 2 tells what is being listed; with nothing left to list it says nothing.
  if (!herkunft_->eintrag && !ziel_->eintrag && !pfad_gezeigt_.empty()) {
    pfad_gezeigt_.clear();
    anzeige_->ListingPfadZeigen("");
  }
}

void GroessenListings::PfadAnzeigen(const std::string& verzeichnis) {
  const TextMeasure messen = [this](const std::string& t) { return anzeige_->TextBreite(t); };
  std::string text = ShortenPathToWidth(verzeichnis, anzeige_->ListingPfadBreite(), messen);
  if (text == pfad_gezeigt_) return;
  pfad_gezeigt_ = text;
  anzeige_->ListingPfadZeigen(text);
}

}  // namespace zarnoft
