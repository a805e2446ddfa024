#include "app/histograms/model/HistogramWindowRules.h"

#include <algorithm>
#include <charconv>

#include "app/histograms/model/HistogramFiles.h"
#include "platform/Errors.h"
#include "platform/Format.h"
#include "platform/Numbers.h"

namespace vandrel {

namespace {

const char* const kRotulos[] = {"128", "256", "512", "1024"};
constexpr int kNumRotulos = 4;

int IndiceDoRotulo(const std::string& label) {
  for (int i = 0; i < kNumRotulos; ++i)
    if (label == kRotulos[i]) return i;
  return -1;
}

}  // namespace

std::string TamanhoMaior(const std::string& label) {
  const int i = IndiceDoRotulo(label);
  if (i < 0 || i == kNumRotulos - 1) return label;
  return kRotulos[i + 1];
}

std::string TamanhoMenor(const std::string& label) {
  const int i = IndiceDoRotulo(label);
  if (i <= 0) return label;
  return kRotulos[i - 1];
}

TTamanho TamanhoDoRotulo(const std::string& label) {
  switch (IndiceDoRotulo(label)) {
    case 0:
      return hs128;
    case 2:
      return hs512;
    case 3:
      return hs1024;
    default:
      return hs256;
  }
}

std::optional<std::string> RotuloDoClique(TTamanho tamanho) {
  if (tamanho == hs128) return std::string("256");
  if (tamanho == hs1024) return std::string("512");
  return std::nullopt;
}

int CurvasPorLinha(TTamanho tamanho) { return tamanho == hs512 ? 8 : 4; }

int TipoDoArquivo(int filterIndex, const std::string& path) {
  if (filterIndex >= tHistograma && filterIndex < tTodos) return filterIndex;
  const std::string ext = FileExtension(path);
  if (ext == ".his") return tHistograma;
  if (ext == ".pat") return tPadrao;
  if (ext == ".lst") return tLista;
  if (ext == ".bmp" || ext == ".gif" || ext == ".tif") return tImagem;
  return tTodos;
}

std::string NomeDeGravacao(const std::string& nome, const std::string& ext) {
  return FileExtension(nome) == ext ? nome : nome + ext;
}

double NumeroExibido(const std::string& text) {
  std::string s = text;
  const char separator = DecimalSeparator();
  std::replace(s.begin(), s.end(), separator, '.');
  double value = 0;
  const char* first = s.data();
  const char* last = s.data() + s.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, value);
  if (first == last || error != std::errc() || end != last)
    throw EConvertError("'" + text + "' is not a valid floating point value");
  return value;
}

std::string TextoDoNumero(double value) { return FormatGeneral(value); }

std::optional<std::string> PassoDaSeta(const std::string& shown, bool up) {
  const double n = NumeroExibido(shown);
  if (!(n > 0.2)) return std::nullopt;
  return TextoDoNumero(up ? n + 0.2 : n - 0.2);
}

PassoDeArraste PassoDoArraste(const std::string& shown, int y, int yAnterior) {
  const double n = NumeroExibido(shown);
  PassoDeArraste passo;
  passo.texto = TextoDoNumero(y < yAnterior ? n + 0.05 : n - 0.05);
  const double novo = NumeroExibido(passo.texto);
  if (novo >= 0.1)
    passo.fator = novo;
  else
    passo.texto = TextoDoNumero(0.1);
  return passo;
}

LayoutDaLegenda LayoutLegenda(int curvas, int porLinha) {
  porLinha = std::max(porLinha, 1);
  LayoutDaLegenda layout;
  layout.lugares.reserve(size_t(std::max(curvas, 0)));
  int ultimoTopo = 4;
  for (int k = 0; k < curvas; ++k) {
    const int linha = k / porLinha, coluna = k % porLinha;
    LugarNaLegenda l;
    l.quadradoX = 64 * coluna + 4;
    l.quadradoY = 14 * linha + 4;
    l.rotuloX = 64 * coluna + 17;
    l.rotuloY = 14 * linha + 2;
    ultimoTopo = l.quadradoY;
    layout.lugares.push_back(l);
  }
  layout.alturaDoPainel = ultimoTopo + 18;
  return layout;
}

}  // namespace vandrel
