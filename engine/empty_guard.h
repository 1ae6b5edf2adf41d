// LeereSeiteErlaubt: the question before a two-way run whose one side is empty.
// Called on the run's thread with the run's LaufKontext.
#ifndef ZARNOFT_ENGINE_EMPTY_GUARD_H_
#define ZARNOFT_ENGINE_EMPTY_GUARD_H_

#include "engine/run_context.h"

namespace zarnoft {

// Before a two-way run of a job that ran before walks: when one root is empty and the other is
// not, asks whether to go on. False: the run must not walk (the refusal is logged here).
bool LeereSeiteErlaubt(LaufKontext& k);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_EMPTY_GUARD_H_
