// Placeholders until the double-change, deletion and archive decisions are in place.
// (Removed when engine/conflict.cpp, engine/deletion.cpp, engine/archive.cpp land.)
#include "engine/run_hooks.h"

namespace zarnoft {

void DoppelteAenderung(LaufKontext&, const std::string&, const std::string&, int64_t, int64_t,
                       int64_t) {}
void DateiLoeschen(LaufKontext&, const std::string&) {}
void VerzeichnisLoeschen(LaufKontext&, const std::string&) {}
void Archivieren(LaufKontext&, const std::string&, const std::string&, int64_t, int64_t) {}
bool LeereSeiteErlaubt(LaufKontext&) { return true; }

}  // namespace zarnoft
