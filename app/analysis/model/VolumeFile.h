#pragma once
// The volume-fraction file "temp.vol": the phase percentages of every image of a results
// table, from which the homogeneity of a mosaic is computed.
//
//   Imagem         <15-character right-aligned phase names>          TOTAL           CHI2
//   1         <9 blanks, value> ... <9 blanks, total> <9 blanks, chi-square>
//   ...
//   Média     <9 blanks, mean> ...                        (no line end after the last one)
//
// Lines end with CR LF; reals are in the 23-character form with a point; the values are the
// table's cell texts read back, so they carry its three decimals.
#include <string>
#include <vector>

#include "app/analysis/model/ResultTable.h"

namespace vandrel {

// Writes the table (header, image rows, mean row) to `path`; `chi2[i]` belongs to image row
// i + 1 (missing entries write 0, as for the iterative methods). The file is put in place
// in one piece, so a failure leaves an earlier file as it was.
void EscreverArquivoVol(const std::string& path, const TabelaResultado& tabela,
                        const std::vector<double>& chi2);

// The phase values of every image of a "temp.vol", image v at entry v - 1.
struct ValoresVol {
  int numFases = 0;
  std::vector<std::vector<double>> imagens;
};

// Reads the phase values of `numImagens` images with `numFases` phases each. The header is
// skipped; data line v must begin with the number v followed by at least `numFases` reals.
// A missing file raises the runtime's error; a short file, a line that does not belong to
// its image or lacks values raises an Exception naming the file and the image; a token that
// is not a number, or a value that is not finite, raises "Invalid numeric input". Nothing
// is returned unless the whole file is good.
ValoresVol LerArquivoVol(const std::string& path, int numImagens, int numFases);

}  // namespace vandrel
