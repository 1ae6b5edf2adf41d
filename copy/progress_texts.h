// The texts the progress window shows about the run's copies. They are computed here, in the
// core, so that the Qt window, the headless runner and the tests all show the same thing.
#ifndef ZARNOFT_COPY_PROGRESS_TEXTS_H_
#define ZARNOFT_COPY_PROGRESS_TEXTS_H_

#include <cstdint>
#include <string>

namespace zarnoft {

// "Anzahl Dateien: 1.234 kopiert".
std::string AnzahlDateienText(int64_t anzahl_kopiert);

// The byte line: the sum of all copies started so far (held as whole millions plus the rest
// below one million) and the size of the copy in progress, e.g.
// "Summe: 123 kB / Akt.: 2,048 kB" or "Summe: 2,345 GB / Akt.:1,234.567 MB".
//
// Units are decimal. A grouped number is turned into the next unit by making its first "." a
// decimal comma ("5.500 kB" reads "5,500 MB"); a second "." moves one unit further without
// changing the digits. Sums below 1000 MB are shown in kB; only that form has a blank after
// "Akt.:", which is how the window has always shown it. A current file of 10^9 bytes or more is
// shown from whole megabytes like the sum ("Akt.:1,048 GB"), so that its size reads right.
std::string KbText(int64_t summe_mio, int64_t summe_rest, int64_t akt_groesse);

}  // namespace zarnoft

#endif  // ZARNOFT_COPY_PROGRESS_TEXTS_H_
