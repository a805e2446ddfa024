#pragma once
// Process-wide number settings and conversions.
#include <cstdint>

namespace vandrel {

// The user's decimal separator: taken from the system locale at start and read by every
// number shown in or read from an edit or a table cell. Files always use '.'.
char DecimalSeparator();
void SetDecimalSeparator(char separator);

// Real to integer, to the nearest, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
int64_t Round(double value);

}  // namespace vandrel
