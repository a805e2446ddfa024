#pragma once
// The results table of an analysis run: a header row with the pattern's phase names and
// "Total", one row per image with its phase percentages and their total, and a mean row
// ("Média") that is recomputed whenever a row is added.
//
// Cells hold the texts the table shows: percentages with three decimals and the user's
// decimal separator. The mean is taken over the values those texts show, so that it
// agrees with what the user reads, and so is everything written from the table.
#include <array>
#include <string>
#include <vector>

namespace vandrel {

// The most phases one fit reports, and so the most columns of percentages.
constexpr int kMaxFasesAnalise = 16;

// The coefficients of one fit, one per phase (0 beyond the pattern's phase count).
using ResultadoAjuste = std::array<double, kMaxFasesAnalise>;

// The first `count` characters of a UTF-8 text (a character never cut in two).
std::string PrimeirosCaracteres(const std::string& text, size_t count);

// The header text of a phase: the first 10 characters of the ".pac" entry's file name
// without folder and extension ("/p/ferrita.his" gives "ferrita").
std::string NomeDaFase(const std::string& entrada);

// The phase names of the pattern `arquivoPadrao` (".pat"), from its ".pac" companion: the
// count on the first line, then one entry per line (missing lines read as empty names).
// A count outside 0 .. 16 is refused before anything is read past it: a fit reports 16
// coefficients, and a larger count would ask for columns that no fit fills.
std::vector<std::string> LerFases(const std::string& arquivoPadrao);

class TabelaResultado {
 public:
  // The header row: an empty corner, the phase names (NomeDaFase of each entry), "Total".
  explicit TabelaResultado(const std::vector<std::string>& entradasDoPac);

  int NumFases() const { return numFases_; }
  int Colunas() const { return numFases_ + 2; }
  int Linhas() const { return int(celulas_.size()); }
  // Rows of images: 0 while only the header stands.
  int LinhasDeImagem() const { return Linhas() > 1 ? Linhas() - 2 : 0; }

  // The text of a cell; empty outside the table.
  const std::string& Celula(int coluna, int linha) const;
  // The number a percentage cell shows (0 for an empty cell).
  double Valor(int coluna, int linha) const;

  // Adds the row of one image: the first 12 characters of `rotulo`, each phase's
  // coefficient as a percentage with three decimals (a negative one as 0), their total,
  // and then the mean row again below it.
  void AdicionarResultado(const std::string& rotulo, const ResultadoAjuste& f);

 private:
  void Definir(int coluna, int linha, std::string texto);

  int numFases_ = 0;
  std::vector<std::vector<std::string>> celulas_;  // [row][column]
  // Per phase column, the sum of the values shown in the image rows, added in row order.
  std::vector<double> somas_;
};

}  // namespace vandrel
