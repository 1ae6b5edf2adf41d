// AusnahmeRegeln: a job's exclusion patterns, and the question whether a path inside the job's roots
// is left out of the job.
//
// The rules are those users know from ignore files:
//   - a pattern without "/" matches a name at any depth ("*.tmp", "node_modules");
//   - a pattern with a "/" in it (a trailing one aside) is anchored at the job's root, on both
//     sides ("Projekte/build"; a leading "/" only anchors);
//   - a trailing "/" matches directories only ("cache/");
//   - "*" and "?" never match "/", "[...]" is a class of characters ("[!...]" or "[^...]" its
//     complement), "**" as a whole component matches any number of directories, and a backslash
//     takes the next character as it is;
//   - a leading "!" takes back what an earlier pattern left out ("\!" for a name that begins
//     with "!"); the last pattern that matches decides.
// Matching is on the path relative to the root, byte for byte and case-sensitive. A directory
// that is left out is not walked, so nothing below it can be taken back.
//
// In the collection the list is one value, the patterns separated by "|" and a "|" inside a
// pattern written as "\|" (AusnahmenLesen, AusnahmenSchreiben).
//
// An AusnahmeRegeln is immutable once built and may be shared by any number of threads.
#ifndef ZARNOFT_ENGINE_EXCLUSIONS_H_
#define ZARNOFT_ENGINE_EXCLUSIONS_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarnoft {

// The patterns of a stored value, in order. An empty value is an empty list.
std::vector<std::string> AusnahmenLesen(std::string_view gespeichert);
// The stored value of a list of patterns; AusnahmenLesen(AusnahmenSchreiben(l)) == l for every
// list whose patterns MusterFehler accepts.
std::string AusnahmenSchreiben(const std::vector<std::string>& muster);

// Why a pattern cannot be used (a German sentence for the dialog and the log), or nothing when it
// can: an empty pattern, an unmatched "[", a backslash at its end.
std::optional<std::string> MusterFehler(std::string_view muster);

// The patterns that "Übliche Ausnahmen" offers: caches, the desktop's trash, editor swap and lock
// files, the thumbnail files of other systems, and installed JavaScript packages.
const std::vector<std::string>& UeblicheAusnahmen();

class AusnahmeRegeln {
 public:
  struct Verworfen {
    std::string muster;
    std::string grund;  // MusterFehler's sentence
  };

  // No pattern: nothing is left out.
  AusnahmeRegeln();
  // Compiles the usable patterns; each unusable one is left out and, when verworfen is given,
  // named there with its reason.
  explicit AusnahmeRegeln(const std::vector<std::string>& muster,
                     std::vector<Verworfen>* verworfen = nullptr);
  ~AusnahmeRegeln();
  AusnahmeRegeln(AusnahmeRegeln&&) noexcept;
  AusnahmeRegeln& operator=(AusnahmeRegeln&&) noexcept;
  AusnahmeRegeln(const AusnahmeRegeln&) = delete;
  AusnahmeRegeln& operator=(const AusnahmeRegeln&) = delete;

  bool Leer() const { return anzahl_ == 0; }
  // How many patterns were compiled.
  size_t Anzahl() const { return anzahl_; }

  // Whether the entry at rel (relative to the root, without a leading or trailing "/":
  // "Projekte/build/a.o") is left out. verzeichnis: the entry is a directory. The cost grows
  // with the patterns that can match the entry's name, not with all patterns: patterns without
  // wildcards are looked up by name or path, "*.ext" patterns by ending.
  bool Ausgenommen(std::string_view rel, bool verzeichnis) const;

 private:
  struct Tabellen;
  std::unique_ptr<Tabellen> t_;
  size_t anzahl_ = 0;
};

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_EXCLUSIONS_H_
