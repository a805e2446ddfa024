#pragma once
// Shared routines of the program: configuration access, default folders, the recent-image
// list, colour and number helpers.
#include <array>
#include <cstdint>
#include <string>

namespace vandrel {

// The program folder, ending in "/": every path of the program starts with it. Set by the
// main window when it is created.
const std::string& PastaPrograma();
void DefinirPastaPrograma(const std::string& folder);

// The configuration file, PastaPrograma() + "system/config.ini".
std::string ArquivoConfig();

// One value of the configuration file; an absent key reads as the empty string. A value
// written reads back exactly as it was; one that holds a line break cannot be stored on its
// line and is refused (Exception), the file unchanged.
std::string LerConfig(const std::string& section, const std::string& key);
void GravarConfig(const std::string& section, const std::string& key, const std::string& value);
// False for a value that holds a line break.
bool CabeNumaLinha(const std::string& value);
// A value read as a decimal integer; `fallback` when absent or not a decimal integer.
int LerConfigInteiro(const std::string& section, const std::string& key, int fallback);

// Default folders under the program folder (no separator at the end), or the empty string
// when "caminhos"/"caminhos_padrao" is not "vandrel".
std::string CaminhoListaImagens();
std::string CaminhoImagens();
std::string CaminhoPadroes();
std::string CaminhoFases();

// Puts a file at the head of the five-entry recent-image list, unless it is listed already
// (letter case ignored) or its name holds a line break, which the list cannot keep.
void AdicionarImagemAberta(const std::string& fileName);

// A colour integer (red in the low byte) as three bytes: blue, green, red.
using TriploCor = std::array<uint8_t, 3>;
TriploCor InteiroParaRGB(int32_t value);
int32_t RGBParaInteiro(TriploCor triple);

// 7 -> "007", 42 -> "042", 255 -> "255", 1000 -> "1000".
std::string NumeroTresDigitos(int32_t n);

}  // namespace vandrel
