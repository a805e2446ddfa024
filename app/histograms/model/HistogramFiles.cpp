#include "app/histograms/model/HistogramFiles.h"

#include <algorithm>

#include "platform/Format.h"

namespace vandrel {

namespace {

// A negative value brings its own "-" in place of the blank that separates a field from
// the one before it; a blank is put in front so that the file reads back.
void WriteField(TextWriter& w, double value) {
  const std::string text = RealText(value);
  if (text[0] == '-') w.Write(" ");
  w.Write(text);
}

}  // namespace

std::string CurveName(const std::string& path) {
  const size_t start = FileNameStart(path);
  return path.substr(start, ExtensionStart(path) - start);
}

GreyHistogram ReadHis(const std::string& path) {
  TextReader r(path);
  GreyHistogram values;
  for (double& v : values) {
    r.ReadInteger();
    v = r.ReadReal();
    r.SkipLine();
  }
  return values;
}

void WriteHis(const std::string& path, const GreyHistogram& values) {
  TextWriter w(path);
  for (int g = 0; g < 256; ++g) {
    w.WriteInteger(g);
    WriteField(w, values[g]);
    w.WriteLine();
  }
  w.Close();
}

void WriteColumns(const std::string& path, const std::vector<const GreyHistogram*>& columns) {
  TextWriter w(path);
  for (int g = 0; g < 256; ++g) {
    bool first = true;
    for (const GreyHistogram* c : columns) {
      if (first)
        w.WriteReal((*c)[g]);
      else
        WriteField(w, (*c)[g]);
      first = false;
    }
    w.WriteLine();
  }
  w.Close();
}

int64_t MaxPatternColumns(int64_t fileSize) {
  return std::max<int64_t>(256, std::max<int64_t>(fileSize, 0) / (256 * 2));
}

std::vector<GreyHistogram> ReadPatternValues(TextReader& pat, int columns) {
  std::vector<GreyHistogram> values(size_t(std::max(columns, 0)));
  for (int g = 0; g < 256; ++g) {
    for (GreyHistogram& column : values) column[g] = pat.ReadReal();
    pat.SkipLine();
  }
  return values;
}

void WritePattern(const std::string& base, const std::vector<const GreyHistogram*>& columns,
                  const std::vector<std::string>& names) {
  TextWriter pac(base + ".pac");
  TextWriter pat(base + ".pat");
  TextWriter err(base + ".err");
  for (int g = 0; g < 256; ++g) {
    for (const GreyHistogram* c : columns) {
      pat.WriteReal((*c)[g]);
      pat.Write(" ");
    }
    pat.WriteLine();
    err.WriteInteger(g);
    err.WriteLine(" 1");
  }
  pac.WriteInteger(int64_t(names.size()));
  pac.WriteLine();
  for (const std::string& name : names) pac.WriteLine(name);
  pac.Close();
  pat.Close();
  err.Close();
}

}  // namespace vandrel
