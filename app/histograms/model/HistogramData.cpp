#include "app/histograms/model/HistogramData.h"

#include <sys/stat.h>

#include <algorithm>

#include "app/histograms/model/HistogramFiles.h"
#include "app/settings/model/URecursos.h"
#include "platform/Errors.h"
#include "platform/PictureLoader.h"
#include "platform/TextFile.h"

namespace vandrel {

namespace {

const char kNot8Bit[] = "Essa não é uma imagem de 8 bits";

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string TrimRight(std::string s) {
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.pop_back();
  return s;
}

// The number of columns of a pattern may not exceed what its file can hold.
int CheckedColumns(int64_t columns, const std::string& fileName, int64_t fileSize) {
  if (columns <= 0) return 0;
  if (columns > MaxPatternColumns(fileSize))
    throw Exception("O arquivo " + fileName + " tem colunas demais para um padrão (" +
                    std::to_string(columns) + ")");
  return int(columns);
}

}  // namespace

void HistogramData::Refuse8Bit() {
  if (Aviso) Aviso(kNot8Bit);
}

void HistogramData::Append(const GreyHistogram& values, const std::string& nome) {
  THistoCompleto h;
  h.Valores = values;
  h.Nome = nome;
  h.Cor = CorDaFase(uint8_t(histogramas_.size()));
  h.Espessura = 1;
  histogramas_.push_back(std::move(h));
}

// ---- single mode ----

bool HistogramData::CalcularDeBitmap(const Bitmap& bitmap) {
  if (bitmap.format() != PixelFormat::pf8bit) {
    Refuse8Bit();
    return false;
  }
  sobreposicao_ = false;
  DefinirContagem(CountGreyLevels(bitmap));
  return true;
}

bool HistogramData::CarregarImagem(const std::string& fileName) {
  const Bitmap picture = LoadPicture(fileName);
  return CalcularDeBitmap(picture);
}

void HistogramData::AdicionarContagem(const GreyCounts& counts) {
  sobreposicao_ = false;
  // Signed 32-bit sums that wrap as the counts' own type does.
  for (int g = 0; g < 256; ++g)
    contagem_[g] = int32_t(uint32_t(contagem_[g]) + uint32_t(counts[g]));
  valores_ = HistogramOfCounts(contagem_);
}

void HistogramData::DefinirContagem(const GreyCounts& counts) {
  contagem_ = counts;
  DefinirValores(HistogramOfCounts(counts));
}

void HistogramData::DefinirValores(const GreyHistogram& values) {
  sobreposicao_ = false;
  valores_ = values;
}

void HistogramData::Limpar() {
  if (sobreposicao_) {
    histogramas_.clear();
    sobreposicao_ = false;
  } else {
    valores_.fill(0.0);
    contagem_.fill(0);
  }
}

// ---- overlay list ----

void HistogramData::DefinirSobreposicao(bool on) {
  sobreposicao_ = on;
  if (!on) {
    Limpar();
    return;
  }
  histogramas_.resize(1);
  THistoCompleto& first = histogramas_[0];
  first.Valores = valores_;
  first.Cor = CorDaFase(0);
  first.Espessura = 1;
}

void HistogramData::AdicionarValores(const GreyHistogram& values) {
  if (!sobreposicao_) {
    sobreposicao_ = true;
    histogramas_.clear();
  }
  Append(values, "");
}

void HistogramData::DefinirLinha(int index, const std::string& nome, int32_t espessura,
                                 int32_t cor) {
  if (index < 0 || size_t(index) >= histogramas_.size()) return;
  THistoCompleto& h = histogramas_[size_t(index)];
  h.Nome = nome;
  h.Espessura = espessura;
  h.Cor = cor;
}

void HistogramData::DefinirNome(int index, const std::string& nome) {
  if (index < 0 || size_t(index) >= histogramas_.size()) return;
  histogramas_[size_t(index)].Nome = nome;
}

void HistogramData::RemoverHistograma(int index) {
  if (index < 0 || size_t(index) >= histogramas_.size()) return;
  histogramas_.erase(histogramas_.begin() + index);
}

// ---- files ----

void HistogramData::CarregarArquivo(const std::string& fileName) {
  const std::string ext = FileExtension(fileName);
  if (ext == ".his")
    CarregarHis(fileName);
  else if (ext == ".pat")
    CarregarPadrao(fileName);
  else if (ext == ".lst")
    CarregarLista(fileName);
  else
    CarregarImagem(fileName);
}

void HistogramData::AdicionarArquivo(const std::string& fileName) {
  const std::string ext = FileExtension(fileName);
  if (!sobreposicao_) {
    CarregarArquivo(fileName);
    // A pattern or an image list loaded this way already is the overlay list.
    if (!sobreposicao_) {
      DefinirSobreposicao(true);
      if (ext != ".pat" && ext != ".lst") histogramas_[0].Nome = CurveName(fileName);
    }
    return;
  }
  if (ext == ".his")
    SobreporHis(fileName);
  else if (ext == ".pat")
    SobreporPadrao(fileName);
  else if (ext == ".lst")
    SobreporLista(fileName);
  else
    SobreporImagem(fileName);
}

void HistogramData::CarregarHis(const std::string& fileName) {
  sobreposicao_ = false;
  valores_ = ReadHis(fileName);
}

void HistogramData::SobreporHis(const std::string& fileName) {
  Append(ReadHis(fileName), CurveName(fileName));
}

bool HistogramData::SobreporImagem(const std::string& fileName) {
  const Bitmap picture = LoadPicture(fileName);
  if (picture.format() != PixelFormat::pf8bit) {
    Refuse8Bit();
    return false;
  }
  if (!sobreposicao_) DefinirSobreposicao(true);
  Append(HistogramOfCounts(CountGreyLevels(picture)), CurveName(fileName));
  return true;
}

void HistogramData::SobreporLista(const std::string& fileName) {
  TextReader list(fileName);
  const int32_t n = list.ReadInteger();
  list.SkipLine();
  // Past the last line a name reads as empty, which no reader loads: the loop ends there
  // at the latest, whatever the count says.
  for (int32_t k = 0; k < n; ++k) SobreporImagem(list.ReadLine());
}

void HistogramData::CarregarLista(const std::string& fileName) {
  sobreposicao_ = true;
  TextReader list(fileName);
  const int32_t n = std::max<int32_t>(list.ReadInteger(), 0);
  list.SkipLine();
  // The list is cut to the count at once but grows only by the images actually loaded, so
  // a count beyond the lines of the file allocates nothing for them.
  if (size_t(n) < histogramas_.size()) histogramas_.resize(size_t(n));
  for (int32_t k = 0; k < n; ++k) {
    const std::string name = list.ReadLine();
    const Bitmap picture = LoadPicture(name);
    THistoCompleto entry;
    if (picture.format() == PixelFormat::pf8bit) {
      const GreyCounts counts = CountGreyLevels(picture);
      const double pixels = double(picture.width()) * double(picture.height());
      if (pixels > 0)
        for (int g = 0; g < 256; ++g) entry.Valores[g] = counts[g] / pixels;
    } else {
      Refuse8Bit();  // an image that is not 8-bit gives an empty curve
    }
    entry.Cor = CorDaFase(uint8_t(k));
    entry.Espessura = 1;
    entry.Nome = CurveName(name);
    if (size_t(k) < histogramas_.size())
      histogramas_[size_t(k)] = std::move(entry);
    else
      histogramas_.push_back(std::move(entry));
  }
}

namespace {
// Leaves `line` in "linha.tmp" in the current folder, or, where that folder cannot be written
// (read-only, or deleted), in the program's "temp" folder; returns the file written.
std::string EscreverLinhaTmp(const std::string& line) {
  const std::string aqui = "linha.tmp";
  try {
    TextWriter tmp(aqui);
    tmp.Write(line);
    tmp.Close();
    return aqui;
  } catch (const EInOutError&) {
  }
  const std::string temp = PastaPrograma() + "temp/linha.tmp";
  TextWriter tmp(temp);
  tmp.Write(line);
  tmp.Close();
  return temp;
}
}  // namespace

void HistogramData::CarregarPadrao(const std::string& fileName) {
  DefinirSobreposicao(true);
  int columns = 0;
  {
    TextReader pat(fileName);
    const int64_t fileSize = pat.BytesLeft();
    const std::string line = TrimRight(pat.ReadLine());
    pat.Close();
    // The first line, without a line end, is left in "linha.tmp"; its numbers are the
    // columns of the pattern.
    TextReader count(EscreverLinhaTmp(line));
    int64_t n = 0;
    while (!count.Eof()) {
      count.ReadReal();
      ++n;
    }
    columns = CheckedColumns(n, fileName, fileSize);
  }
  std::vector<GreyHistogram> values;
  {
    TextReader pat(fileName);
    values = ReadPatternValues(pat, columns);
  }
  histogramas_.resize(size_t(columns));
  for (int k = 0; k < columns; ++k) {
    THistoCompleto& h = histogramas_[size_t(k)];
    h.Valores = values[size_t(k)];
    h.Cor = CorDaFase(uint8_t(k));
    h.Espessura = 1;
  }
  const std::string pacName = WithoutExtension(fileName) + ".pac";
  if (FileExists(pacName)) {
    TextReader pac(pacName);
    pac.SkipLine();
    std::vector<std::string> names(static_cast<size_t>(columns));
    for (std::string& name : names) name = pac.ReadLine();
    for (int k = 0; k < columns; ++k) histogramas_[size_t(k)].Nome = std::move(names[size_t(k)]);
  } else {
    for (int k = 0; k < columns; ++k) histogramas_[size_t(k)].Nome = "fase#" + std::to_string(k);
  }
}

void HistogramData::SobreporPadrao(const std::string& fileName) {
  TextReader pat(fileName);
  TextReader pac(WithoutExtension(fileName) + ".pac");
  const int64_t patSize = pat.BytesLeft();
  const int columns = CheckedColumns(pac.ReadInteger(), fileName, patSize);
  pac.SkipLine();
  const std::vector<GreyHistogram> values = ReadPatternValues(pat, columns);
  for (int k = 0; k < columns; ++k) {
    AdicionarValores(values[size_t(k)]);
    histogramas_.back().Nome = CurveName(pac.ReadLine());
  }
}

void HistogramData::SalvarArquivo(const std::string& fileName) const {
  if (!sobreposicao_) {
    WriteHis(fileName, valores_);
    return;
  }
  std::vector<const GreyHistogram*> columns;
  for (const THistoCompleto& h : histogramas_) columns.push_back(&h.Valores);
  WriteColumns(fileName, columns);
}

void HistogramData::SalvarPadrao(const std::string& fileName) const {
  std::vector<const GreyHistogram*> columns;
  std::vector<std::string> names;
  for (const THistoCompleto& h : histogramas_) {
    columns.push_back(&h.Valores);
    names.push_back(h.Nome);
  }
  WritePattern(WithoutExtension(fileName), columns, names);
}

}  // namespace vandrel
