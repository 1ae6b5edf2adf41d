// Archivieren: the dated copy an archive job makes of a source file.
// Called on the run's thread with the run's LaufKontext.
#ifndef ZARNOFT_ENGINE_ARCHIVE_H_
#define ZARNOFT_ENGINE_ARCHIVE_H_

#include <string>

#include "engine/run_context.h"

namespace zarnoft {

// The decision of an archive job for one source file, as the listing found it.
void Archivieren(LaufKontext& k, const std::string& rel, const std::string& name,
                 const FileInfo& datei);

}  // namespace zarnoft

#endif  // ZARNOFT_ENGINE_ARCHIVE_H_
