#pragma once
// The homogeneity of a mosaic of images, level by level: the mosaic of side L is cut into
// pieces of s x s images for s = L/2, L/4, ..., 1; at each level every piece gets the mean
// of its images' phase values, and each phase the spread of those piece means (population
// standard deviation, in percentage points). Their sum Sigma rates the level: a sample whose
// phases are spread evenly has piece means that agree, and a Sigma near 0.
//
// The method follows the usual reading of compositional homogeneity by quadrat sampling
// (successively finer square cells, variance of the cell means).
//
// ".MED" file of one level (CR LF line ends, reals in the 23-character form):
//   one line per phase j:  j M_j S_j sigma_j     (mean of the piece means, mean of their
//                                                 squares, standard deviation)
//   closing line:          - - Sigma <sum of sigma_j>
#include <string>
#include <vector>

#include "app/analysis/model/VolumeFile.h"

namespace vandrel {

struct NivelHomogeneidade {
  int s = 0;                        // piece side, in images
  int k = 0;                        // images per piece
  int pecas = 0;                    // number of pieces
  std::vector<double> M, S, sigma;  // per phase
  double Sigma = 0;                 // sum of sigma
  // The degree of homogeneity: 1 less Sigma taken as a fraction (the values are in
  // percentage points), so that pieces that agree exactly give 1.
  double Grau() const { return 1.0 - Sigma / 100.0; }
};

// Every level of the mosaic of `numImagens` images (a power of 4: see PotenciaParDe2), from
// the coarsest (s = L/2) to single images (s = 1); none for a mosaic of one image. Any
// other image count, or values for fewer images or phases than asked, is refused with an
// Exception.
std::vector<NivelHomogeneidade> CalcularNiveis(const ValoresVol& valores, int numImagens);

// The file of a level in `pasta` (ending in "/"): "A" + s + ".MED".
std::string ArquivoMED(const std::string& pasta, int s);

// Writes a level's ".MED" file in one piece.
void EscreverMED(const std::string& path, const NivelHomogeneidade& nivel);

// The report of a level, in two parts: what comes before its file is written (the number
// and size of the pieces, and the images of every piece, s lines of "v, " each) and what
// follows it (the degree of homogeneity, Format("%e") with the user's decimal separator,
// and the file's name).
std::vector<std::string> RelatorioDasPecas(const NivelHomogeneidade& nivel, int lado);
std::vector<std::string> RelatorioDoGrau(const NivelHomogeneidade& nivel,
                                         const std::string& arquivo);

}  // namespace vandrel
