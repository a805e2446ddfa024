#pragma once
// The histogram files: ".his" (one histogram), the multi-column values file of an overlay,
// the pattern set (".pat" values, ".pac" names, ".err" weights), and the file-name rules
// the histogram control applies to them.
#include <cstdint>
#include <string>
#include <vector>

#include "app/histograms/model/GreyLevels.h"
#include "platform/FileNames.h"
#include "platform/TextFile.h"

namespace vandrel {

// The file name without folder and without its last extension: "/a/b/ferrita.his" gives
// "ferrita".
std::string CurveName(const std::string& path);

// Reads a ".his" file: 256 times an integer (the grey level, not checked), a real, and the
// rest of the line. Blank lines are skipped, missing numbers read as 0, later lines are
// ignored; a token that is not a number raises "Invalid numeric input".
GreyHistogram ReadHis(const std::string& path);

// Writes a ".his" file: line g is g immediately followed by the value in the 23-character
// form, then CR LF.
void WriteHis(const std::string& path, const GreyHistogram& values);

// Writes the multi-column values file of an overlay: line g holds value g of every column
// in the 23-character form with nothing between them, then CR LF.
void WriteColumns(const std::string& path, const std::vector<const GreyHistogram*>& columns);

// Most columns a ".pat" file of `fileSize` bytes may ask for: any count up to 256, and
// beyond that only as many as 256 full lines of the file could hold (each value takes at
// least a digit and a separator).
int64_t MaxPatternColumns(int64_t fileSize);

// Reads `columns` reals for each of the 256 grey levels, skipping the rest of each line. The
// reals run as a stream: a line with fewer numbers takes the missing ones from the next line.
std::vector<GreyHistogram> ReadPatternValues(TextReader& pat, int columns);

// Writes a pattern set beside `base` (a path without extension): base.pac (the count, then
// one name per line), base.pat (256 lines, each value in the 23-character form followed by
// a blank) and base.err (256 lines "g 1"). The three files are put in place together, in
// the order ".pac", ".pat", ".err", after all of them were written.
void WritePattern(const std::string& base, const std::vector<const GreyHistogram*>& columns,
                  const std::vector<std::string>& names);

}  // namespace vandrel
