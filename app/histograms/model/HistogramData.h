#pragma once
// The data of the histogram control and the operations that fill it: one histogram (single
// mode) or a list of named, coloured curves (overlay mode), computed from 8-bit bitmaps and
// pixel counts or loaded from histogram, pattern, image-list and image files.
//
// An operation raises what its files raise (the runtime's input/output errors, the picture
// loader's errors). Mode changes made before the failing read stay made; values read are
// applied only once their file has been read to the end.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/histograms/model/GreyLevels.h"
#include "app/histograms/model/HistogramLayout.h"
#include "platform/Bitmap.h"

namespace vandrel {

// One curve of the overlay list.
struct THistoCompleto {
  GreyHistogram Valores{};
  std::string Nome;
  int32_t Cor = 0;
  int32_t Espessura = 0;
};
using TArrayDeHistogramas = std::vector<THistoCompleto>;

class HistogramData {
 public:
  // Told the text of an error message to show the user ("Essa não é uma imagem de 8
  // bits"); the operation goes on as the message box would let it.
  std::function<void(const std::string&)> Aviso;

  bool Sobreposicao() const { return sobreposicao_; }
  const TArrayDeHistogramas& Histogramas() const { return histogramas_; }
  const GreyHistogram& Valores() const { return valores_; }
  const GreyCounts& ContagemAcumulada() const { return contagem_; }

  // ---- single mode ----
  // The histogram of an 8-bit bitmap; any other format is refused with the message and
  // changes nothing (returns false).
  bool CalcularDeBitmap(const Bitmap& bitmap);
  // Loads an image with the picture loader and takes its histogram.
  bool CarregarImagem(const std::string& fileName);
  void AdicionarContagem(const GreyCounts& counts);
  void DefinirContagem(const GreyCounts& counts);
  void DefinirValores(const GreyHistogram& values);
  // Overlay mode: empties the list and leaves the mode. Single mode: zeroes the values and
  // the counts.
  void Limpar();

  // ---- overlay list ----
  void DefinirSobreposicao(bool on);
  void AdicionarValores(const GreyHistogram& values);
  // Indices outside the list are ignored.
  void DefinirLinha(int index, const std::string& nome, int32_t espessura, int32_t cor);
  void DefinirNome(int index, const std::string& nome);
  void RemoverHistograma(int index);

  // ---- files ----
  void CarregarArquivo(const std::string& fileName);
  void AdicionarArquivo(const std::string& fileName);
  void CarregarHis(const std::string& fileName);
  void SobreporHis(const std::string& fileName);
  bool SobreporImagem(const std::string& fileName);
  void SobreporLista(const std::string& fileName);
  void CarregarLista(const std::string& fileName);
  // Loads a ".pat" as the whole overlay list; leaves "linha.tmp" in the current folder, or
  // in the program's "temp" folder where the current one cannot be written.
  void CarregarPadrao(const std::string& fileName);
  void SobreporPadrao(const std::string& fileName);
  void SalvarArquivo(const std::string& fileName) const;
  void SalvarPadrao(const std::string& fileName) const;

 private:
  void Append(const GreyHistogram& values, const std::string& nome);
  void Refuse8Bit();

  bool sobreposicao_ = false;
  TArrayDeHistogramas histogramas_;
  GreyHistogram valores_{};
  GreyCounts contagem_{};
};

}  // namespace vandrel
