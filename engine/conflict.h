// DoppelteAenderung: a file changed on both sides since the last run, settled by the job's
// policy or by asking the user.
// Called on the run's thread with the run's LaufKontext.
#ifndef ZARNOFT_ENGINE_CONFLICT_H_
#define ZARNOFT_ENGINE_CONFLICT_H_

#include <string>

#include "engine/run_context.h"

namespace zarnoft {

// A double change: N exists on both sides with different dates, both written since the last
// run; h and z are the two files as the decision saw them. rel begins and ends with "/". What
// cannot be settled (nobody to ask, a file changed while the question was open, a failed
// rename) is counted as a failure.
void DoppelteAenderung(LaufKontext& k, const std::string& rel, const std::string& name,
                       const FileInfo& h, const FileInfo& z);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_CONFLICT_H_
