#include "app/analysis/model/VolumeFile.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "platform/Errors.h"
#include "platform/Format.h"
#include "platform/TextFile.h"

namespace vandrel {

namespace {

const char kNoveBrancos[] = "         ";

// Right-aligns a text in a field of `width` characters (counted as characters, not bytes,
// so that accented names keep the columns); a longer text is kept whole.
std::string Alinhado(const std::string& text, size_t width) {
  size_t chars = 0;
  for (char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
  return chars >= width ? text : std::string(width - chars, ' ') + text;
}

// The whitespace-separated tokens of a line (every character up to code 32 separates).
std::vector<std::string_view> Tokens(const std::string& line) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ') ++i;
    const size_t start = i;
    while (i < line.size() && static_cast<unsigned char>(line[i]) > ' ') ++i;
    if (i > start) out.emplace_back(line.data() + start, i - start);
  }
  return out;
}

EInOutError InvalidNumber() { return EInOutError("Invalid numeric input"); }

bool Integer(std::string_view token, int64_t& value) {
  const char* first = token.data();
  const char* last = first + token.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, value);
  return first != last && error == std::errc() && end == last;
}

// Percentages of a few hundred at most; the bound keeps every sum of squares finite.
constexpr double kMaiorValor = 1e100;

double Real(std::string_view token) {
  const char* first = token.data();
  const char* last = first + token.size();
  if (first != last && *first == '+') ++first;
  double value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (first == last || error != std::errc() || end != last || !std::isfinite(value) ||
      std::fabs(value) > kMaiorValor)
    throw InvalidNumber();
  return value;
}

}  // namespace

void EscreverArquivoVol(const std::string& path, const TabelaResultado& tabela,
                        const std::vector<double>& chi2) {
  const int n = tabela.NumFases();
  const int imagens = tabela.LinhasDeImagem();
  TextWriter w(path);
  std::string cabecalho = "Imagem         ";
  for (int j = 1; j <= n; ++j) cabecalho += Alinhado(tabela.Celula(j, 0), 15);
  cabecalho += Alinhado("TOTAL", 15) + Alinhado("CHI2", 15);
  w.WriteLine(cabecalho);
  for (int i = 1; i <= imagens; ++i) {
    w.WriteInteger(i);
    w.Write(kNoveBrancos);
    for (int j = 1; j <= n + 1; ++j) {  // the phases, then "Total"
      w.Write(kNoveBrancos);
      w.WriteReal(tabela.Valor(j, i));
    }
    w.Write(kNoveBrancos);
    w.WriteReal(size_t(i - 1) < chi2.size() ? chi2[size_t(i - 1)] : 0.0);
    w.WriteLine();
  }
  if (imagens > 0) {
    const int media = imagens + 1;
    w.Write(tabela.Celula(0, media));
    w.Write("     ");
    for (int j = 1; j <= n; ++j) {
      w.Write(kNoveBrancos);
      w.WriteReal(tabela.Valor(j, media));
    }
  }
  w.Close();
}

ValoresVol LerArquivoVol(const std::string& path, int numImagens, int numFases) {
  TextReader r(path);
  ValoresVol out;
  out.numFases = numFases;
  r.SkipLine();  // the header
  for (int v = 1; v <= numImagens; ++v) {
    const auto faltam = [&] {
      return Exception("O arquivo " + path + " não traz os valores da imagem " + std::to_string(v));
    };
    if (r.Eof()) throw faltam();
    const std::string linha = r.ReadLine();
    const std::vector<std::string_view> tokens = Tokens(linha);
    int64_t numero = 0;
    if (tokens.empty()) throw faltam();
    if (!Integer(tokens[0], numero)) throw InvalidNumber();
    if (numero != v || tokens.size() < size_t(numFases) + 1) throw faltam();
    std::vector<double> valores(static_cast<size_t>(numFases));
    for (int j = 0; j < numFases; ++j) valores[size_t(j)] = Real(tokens[size_t(j) + 1]);
    out.imagens.push_back(std::move(valores));
  }
  return out;
}

}  // namespace vandrel
