// The deletion guard: before a two-way run removes what its walk collected, it compares the files
// it would remove on each side with that side's files. A run that would remove more than the
// limit (the setting LoeschGrenze, a percentage) of a side's files asks first; Nein, a closed box
// or nobody to ask keep every file of that side, and the run counts as failed, so that its last
// run is not recorded and the next run meets the same question. A wrong directory, a drive
// mounted one level lower or a folder emptied by mistake then costs nothing.
//
// Called on the run's thread with the run's LaufKontext.
#ifndef ZARNOFT_ENGINE_DELETION_GUARD_H_
#define ZARNOFT_ENGINE_DELETION_GUARD_H_

#include <cstdint>

#include "engine/run_context.h"

namespace zarnoft {

// Below this many files to remove on a side the guard never asks.
constexpr int64_t kLoeschSchutzMindestens = 20;

// Whether removing n of a side's m files goes beyond the limit `grenze` (percent; 0: never).
bool UeberLoeschGrenze(int64_t n, int64_t m, int grenze);

// Whether the removals collected for one side may go: true when they are within the limit or the
// user said Ja. A refusal is logged at level 1 and counted as a failure. A probe run asks nobody:
// it reports the question as a notice and goes on.
bool LoeschenErlaubt(LaufKontext& k, AktionsSeite seite);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_DELETION_GUARD_H_
