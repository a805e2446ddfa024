#include "app/analysis/model/ImageListFile.h"

#include "app/histograms/model/HistogramFiles.h"
#include "platform/Errors.h"
#include "platform/TextFile.h"

namespace vandrel {

void ReadImageList(const std::string& path, const std::function<void(std::string)>& entry) {
  TextReader list(path);
  const int32_t n = list.ReadInteger();
  list.SkipLine();
  // Every entry takes a line of the file: the end of the file ends the list, whatever the
  // count asks for.
  for (int32_t k = 0; k < n && !list.Eof(); ++k) entry(list.ReadLine());
  list.Close();
}

std::vector<std::string> ReadImageList(const std::string& path) {
  std::vector<std::string> paths;
  ReadImageList(path, [&](std::string p) { paths.push_back(std::move(p)); });
  return paths;
}

void WriteImageList(const std::string& path, const std::vector<std::string>& paths) {
  for (const std::string& p : paths)
    if (p.find_first_of("\r\n\x1A") != std::string::npos)
      throw Exception("O caminho " + p + " não pode ser gravado em uma lista de imagens");
  TextWriter list(path);
  list.WriteInteger(int64_t(paths.size()));
  list.WriteLine();
  for (const std::string& p : paths) list.WriteLine(p);
  list.Close();
}

std::string ImageListTarget(const std::string& chosen, int filterIndex) {
  const std::string extension = filterIndex == 2 ? ".txt" : ".lst";
  return FileExtension(chosen) == extension ? chosen : chosen + extension;
}

}  // namespace vandrel
