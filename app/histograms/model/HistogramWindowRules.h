#pragma once
// The rules of the histogram window that do not depend on its widgets: the size steps, the
// loader a chosen file goes to, the name a save writes, the steps of the vertical scale
// (arrows and mouse drag) and the layout of the curve legend.
#include <optional>
#include <string>
#include <vector>

#include "app/histograms/model/HistogramLayout.h"

namespace vandrel {

// ---- size ----

// The size label after one step up ("128" -> "256" -> "512" -> "1024", which stays) or
// down ("1024" -> "512" -> "256" -> "128", which stays). Any other text stays as it is.
std::string TamanhoMaior(const std::string& label);
std::string TamanhoMenor(const std::string& label);
// The control size a label stands for; "256" for a text that is none of the four.
TTamanho TamanhoDoRotulo(const std::string& label);
// The label a click on the control brings back from the sizes whose panels are hidden:
// "256" from hs128, "512" from hs1024, nothing from the others.
std::optional<std::string> RotuloDoClique(TTamanho tamanho);
// Curves per legend row: 8 at hs512, 4 at every other size.
int CurvasPorLinha(TTamanho tamanho);

// ---- files ----

// What the open dialog's filter indices stand for.
enum TipoDeArquivo { tHistograma = 1, tPadrao = 2, tImagem = 3, tLista = 4, tTodos = 5 };

// The loader of one chosen file: the filter index itself, except under "Todos os
// Histogramas" (5), where the extension decides, compared exactly: ".his" 1, ".pat" 2,
// ".lst" 4, ".bmp", ".gif" or ".tif" 3; any other leaves 5 (nothing is loaded). An index
// outside 1..5 counts as 5.
int TipoDoArquivo(int filterIndex, const std::string& path);

// The name a save writes: `nome` when its extension is exactly `ext` (".his", ".pat",
// ".bmp"), else `nome` + `ext`.
std::string NomeDeGravacao(const std::string& nome, const std::string& ext);

// ---- vertical scale ----

// The number an edit shows, written with the user's decimal separator (a point is taken
// too). Raises EConvertError for a text that is not a number.
double NumeroExibido(const std::string& text);
// The text an edit shows for a number: the general form, up to 15 significant digits.
std::string TextoDoNumero(double value);

// One arrow step of the scale edit: when the number shown is greater than 0.2, the text of
// that number plus (up) or minus (down) 0.2; at 0.2 or below nothing.
std::optional<std::string> PassoDaSeta(const std::string& shown, bool up);

// One mouse move of a scale drag: a move to a smaller y than the last point raises the
// number shown by 0.05, any other move lowers it by 0.05. `texto` is what the edit then
// shows and `fator`, when set, the factor to apply: below 0.1 the edit goes back to 0.1
// and the factor stays as it was.
struct PassoDeArraste {
  std::string texto;
  std::optional<double> fator;
};
PassoDeArraste PassoDoArraste(const std::string& shown, int y, int yAnterior);

// ---- legend ----

// Where the square (10 x 10) and the label (50 x 13) of one curve go in the legend panel.
struct LugarNaLegenda {
  int quadradoX, quadradoY;
  int rotuloX, rotuloY;
};
struct LayoutDaLegenda {
  std::vector<LugarNaLegenda> lugares;
  int alturaDoPainel;  // the top of the last square (4 without curves) + 18
};
// `curvas` curves, `porLinha` per row (at least 1), in list order, row by row.
LayoutDaLegenda LayoutLegenda(int curvas, int porLinha);

}  // namespace vandrel
