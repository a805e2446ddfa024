#pragma once
// The pattern file set: the values (".pat"), the phase names (".pac") and the per-level
// weights (".err") that share one base name. The layout is the histogram control's (see
// HistogramFiles.h); this file adds what the pattern editor and the fits need: the
// companions of a ".pat" named by any extension, the pattern built from ".his" files, and
// the whole set read back with its counts checked against what the files can hold.
#include <string>
#include <vector>

#include "app/histograms/model/GreyLevels.h"

namespace vandrel {

// The companion of a ".pat" file: the path with the extension of its file name replaced by
// `extension` (".pac", ".err"), or `extension` appended when the name has none.
// "a/x.pat" gives "a/x.pac", "a/x.pat.pat" gives "a/x.pat.pac", "a/x.PAT" gives "a/x.pac".
std::string PatternCompanion(const std::string& patPath, const std::string& extension);

// The lines of a ".pac" after its count line, each whole, until the end of the file (a
// last line without a line break counts). The count line itself is not looked at.
std::vector<std::string> ReadPatternLines(const std::string& pacPath);

// Writes the pattern set of `patPath` from the ".his" files `hisPaths`, in column order:
// the ".pac" (the count, then the paths), the ".pat" (line g: value g of each file in the
// 23-character form followed by a blank) and the ".err" (256 lines "g 1"). The ".pat" is
// `patPath` itself, whatever its extension; its companions are named by PatternCompanion.
// Every histogram file is read and all three files are written in memory before the first
// is put in place (".pac", ".pat", ".err", in that order): an unreadable histogram file
// or a folder that cannot take the files changes nothing.
void WritePatternFromHistograms(const std::vector<std::string>& hisPaths,
                                const std::string& patPath);

// A pattern set as the fits and the results read it.
struct PatternSet {
  std::vector<std::string> names;      // the ".pac" lines after the count, one per phase
  std::vector<GreyHistogram> columns;  // the ".pat" columns, one per phase
  GreyHistogram weights{};             // the second number of each ".err" line
};

// Reads the pattern set of `patPath`: N from the first line of the ".pac", N names, N
// columns of the ".pat" (read as the histogram control reads them) and the 256 weights. A
// count below 0, or beyond what the ".pat" can hold, raises an Exception that names the
// ".pac"; missing files and text that is not a number raise the runtime's input/output
// errors. Missing names read as empty (a ".pac" of its count line alone will do), missing
// numbers as 0.
PatternSet ReadPatternSet(const std::string& patPath);

}  // namespace vandrel
