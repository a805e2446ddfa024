#include "app/analysis/model/PatternFiles.h"

#include <cstdint>

#include "app/histograms/model/HistogramFiles.h"
#include "platform/Errors.h"
#include "platform/TextFile.h"

namespace vandrel {

std::string PatternCompanion(const std::string& patPath, const std::string& extension) {
  return WithoutExtension(patPath) + extension;
}

std::vector<std::string> ReadPatternLines(const std::string& pacPath) {
  TextReader pac(pacPath);
  pac.SkipLine();
  std::vector<std::string> lines;
  while (!pac.Eof()) lines.push_back(pac.ReadLine());
  return lines;
}

void WritePatternFromHistograms(const std::vector<std::string>& hisPaths,
                                const std::string& patPath) {
  std::vector<GreyHistogram> values;
  values.reserve(hisPaths.size());
  for (const std::string& his : hisPaths) values.push_back(ReadHis(his));

  // The same bytes as the histogram control's pattern writer (WritePattern), but with the
  // ".pat" at the given path: a pattern opened as "x.PAT" is written back there, not to a
  // new "x.pat" beside its old values.
  TextWriter pac(PatternCompanion(patPath, ".pac"));
  TextWriter pat(patPath);
  TextWriter err(PatternCompanion(patPath, ".err"));
  pac.WriteInteger(int64_t(hisPaths.size()));
  pac.WriteLine();
  for (const std::string& his : hisPaths) pac.WriteLine(his);
  for (int g = 0; g < 256; ++g) {
    for (const GreyHistogram& column : values) {
      pat.WriteReal(column[g]);
      pat.Write(" ");
    }
    pat.WriteLine();
    err.WriteInteger(g);
    err.WriteLine(" 1");
  }
  pac.Close();
  pat.Close();
  err.Close();
}

PatternSet ReadPatternSet(const std::string& patPath) {
  const std::string pacPath = PatternCompanion(patPath, ".pac");
  TextReader pac(pacPath);
  TextReader pat(patPath);
  TextReader err(PatternCompanion(patPath, ".err"));
  const int64_t phases = pac.ReadInteger();
  pac.SkipLine();
  // Each column takes at least a digit and a separator on 256 lines: a count beyond that is
  // a damaged file, not a reason to reserve memory for it. The names are another matter:
  // only the count line is needed, and names that are missing read as empty.
  if (phases < 0 || phases > MaxPatternColumns(pat.BytesLeft()))
    throw Exception("O arquivo " + pacPath + " tem uma contagem de fases inválida (" +
                    std::to_string(phases) + ")");
  PatternSet set;
  set.names.reserve(size_t(phases));
  for (int64_t k = 0; k < phases; ++k) set.names.push_back(pac.ReadLine());
  set.columns = ReadPatternValues(pat, int(phases));
  for (double& w : set.weights) {
    err.ReadInteger();
    w = err.ReadReal();
    err.SkipLine();
  }
  return set;
}

}  // namespace vandrel
