#include "app/analysis/model/PatternChecks.h"

#include <sys/stat.h>

#include <cstdint>

#include "app/analysis/model/PatternFiles.h"
#include "platform/Errors.h"
#include "platform/TextFile.h"

namespace vandrel {

namespace {

bool IsFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// 256 lines "g x" with g the line number; `accept` judges x. The reading is the histogram
// files' own: numbers are tokens, so blank lines between records do not count.
template <typename Accept>
bool LevelLines(TextReader& r, Accept accept) {
  for (int32_t i = 0; i < 256; ++i) {
    if (r.Eof()) return false;
    const int32_t g = r.ReadInteger();
    const double x = r.ReadReal();
    r.SkipLine();
    if (g != i || !accept(x)) return false;
  }
  return true;
}

bool PatternValues(const std::string& patPath, int64_t phases) {
  TextReader pat(patPath);
  // Every read counts, the one at the end of the file too: it yields 0, so a file of
  // N * 256 values that ends in white space gives N * 256 + 1 reads.
  int64_t reads = 0;
  while (!pat.Eof()) {
    const double v = pat.ReadReal();
    ++reads;
    if (!(v >= 0.0 && v <= 1.0)) return false;
  }
  // In 64 bits: a count near the 32-bit limit must not wrap round to a small number.
  return reads == phases * 256 + 1;
}

bool PatternNames(const std::string& pacPath, int64_t phases) {
  TextReader pac(pacPath);
  pac.ReadInteger();
  pac.SkipLine();
  int64_t lines = 0;
  while (!pac.Eof()) {
    pac.SkipLine();
    if (++lines > phases) return false;
  }
  return lines == phases;
}

}  // namespace

bool ValidarHistograma(const std::string& path) {
  if (!IsFile(path)) return false;
  try {
    TextReader his(path);
    return LevelLines(his, [](double value) { return value >= 0.0; });
  } catch (const Exception&) {
    return false;
  }
}

bool ValidarPadrao(const std::string& patPath) {
  const std::string pacPath = PatternCompanion(patPath, ".pac");
  const std::string errPath = PatternCompanion(patPath, ".err");
  if (!IsFile(patPath) || !IsFile(pacPath) || !IsFile(errPath)) return false;
  try {
    int64_t phases;
    {
      TextReader pac(pacPath);
      phases = pac.ReadInteger();
    }
    if (!PatternValues(patPath, phases) || !PatternNames(pacPath, phases)) return false;
    TextReader err(errPath);
    return LevelLines(err, [](double weight) { return weight != 0.0; });
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace vandrel
