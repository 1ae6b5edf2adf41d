// Numbers as the windows show them: thousands grouped with ".", as German texts write them.
// Any thread.
#ifndef ZARNOFT_PLATFORM_NUMBER_FORMAT_H_
#define ZARNOFT_PLATFORM_NUMBER_FORMAT_H_

#include <cstdint>
#include <string>

namespace zarnoft {

// A count of millions and units with "." grouping the thousands: (0, 1234) gives "1.234",
// (12, 345) gives "12.000.345".
std::string FormatDottedNumber(int64_t millions, int64_t units);
// The same for a plain count.
std::string FormatDottedNumber(int64_t count);

}  // namespace zarnoft

#endif  // ZARNOFT_PLATFORM_NUMBER_FORMAT_H_
