// KopierRegister: the register of the copies a run has handed over, which refuses the same copy
// and its exact reverse, so that a two-way run does not copy a file straight back after copying
// it. Paths are compared as exact texts: "A" and "a" are different files here.
//
// A run over a large tree enters one copy per copied file, so the register is kept small: the
// two paths of a copy usually share their tail (the relative path and the name) and differ only
// in their heads (the job's two roots), so a key is the numbers of the two heads and the common
// tail, stored back to back in blocks instead of as strings of their own. Some 30 bytes a copy
// for the paths of a usual tree, against some 150 as a set of strings.
//
// One per run, used by the run's thread only.
#ifndef ZARNOFT_COPY_COPY_REGISTER_H_
#define ZARNOFT_COPY_COPY_REGISTER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zarnoft {

class KopierRegister {
 public:
  KopierRegister();
  KopierRegister(const KopierRegister&) = delete;
  KopierRegister& operator=(const KopierRegister&) = delete;

  // Enters the copy `von` onto `nach` and returns true; returns false (and enters nothing) when
  // the same copy or its exact reverse was entered before.
  bool Eintragen(const std::string& von, const std::string& nach);

 private:
  // The key of a copy; `umgekehrt` gives the key of its reverse.
  std::string Schluessel(std::string_view von, std::string_view nach, bool umgekehrt);
  // The number of a head, entered when new; kOhneKopf when the table of heads is full.
  uint16_t KopfNummer(std::string_view kopf);
  bool Enthaelt(std::string_view schluessel) const;
  void Einfuegen(std::string_view schluessel);
  std::string_view Lesen(uint32_t ort) const;
  void Wachsen();

  std::unordered_map<std::string, uint16_t> koepfe_;
  std::vector<std::unique_ptr<char[]>> bloecke_;  // keys back to back, each after its length
  size_t belegt_;                                 // bytes used in the last block
  std::vector<uint32_t> plaetze_;                 // open addressing: place of a key + 1, 0 empty
  size_t anzahl_ = 0;
  std::unordered_set<std::string> lange_;  // keys too long for a block
};

}  // namespace zarnoft

#endif  // ZARNOFT_COPY_COPY_REGISTER_H_
