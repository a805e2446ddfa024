#pragma once
// The checks of the pattern editor: a histogram file (".his") before it becomes a column of
// a pattern, and a pattern set (".pat", ".pac", ".err") before the editor opens it. Both
// answer only true or false; every file they open is closed before they return.
#include <string>

namespace vandrel {

// True when `path` is a usable phase histogram: 256 records "index value" whose index is
// the record's number (0 .. 255) and whose value is at least 0. Records after the 256th are
// not read.
bool ValidarHistograma(const std::string& path);

// True when the pattern set of the ".pat" file `patPath` is complete and consistent: its
// ".pac" and ".err" companions exist; the ".pat" holds exactly N * 256 values in [0, 1],
// N being the count on the first line of the ".pac", and ends in white space; the ".pac"
// names exactly N phases; the ".err" has 256 lines "g w" with g the line number and w not 0.
bool ValidarPadrao(const std::string& patPath);

}  // namespace vandrel
