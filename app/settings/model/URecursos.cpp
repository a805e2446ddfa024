#include "app/settings/model/URecursos.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "platform/Errors.h"
#include "platform/IniFile.h"

namespace vandrel {

namespace {
std::string& Folder() {
  static std::string folder;
  return folder;
}

std::string Upper(std::string s) {
  for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string DefaultFolder(const char* name) {
  if (LerConfig("caminhos", "caminhos_padrao") != "vandrel") return {};
  return PastaPrograma() + name;
}
}  // namespace

const std::string& PastaPrograma() { return Folder(); }

void DefinirPastaPrograma(const std::string& folder) {
  Folder() = folder;
  if (!Folder().empty() && Folder().back() != '/') Folder() += '/';
}

std::string ArquivoConfig() { return PastaPrograma() + "system/config.ini"; }

std::string LerConfig(const std::string& section, const std::string& key) {
  return IniFile(ArquivoConfig()).ReadString(section, key, "");
}

bool CabeNumaLinha(const std::string& value) {
  return value.find_first_of("\r\n") == std::string::npos;
}

void GravarConfig(const std::string& section, const std::string& key, const std::string& value) {
  // The INI file writes a value so that it reads back as it was, and refuses a line break.
  IniFile(ArquivoConfig()).WriteString(section, key, value);
}

int LerConfigInteiro(const std::string& section, const std::string& key, int fallback) {
  const std::string text = LerConfig(section, key);
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return fallback;
  return value;
}

std::string CaminhoListaImagens() { return DefaultFolder("listaimagens"); }
std::string CaminhoImagens() { return DefaultFolder("imagens"); }
std::string CaminhoPadroes() { return DefaultFolder("padroes"); }
std::string CaminhoFases() { return DefaultFolder("fases"); }

void AdicionarImagemAberta(const std::string& fileName) {
  if (!CabeNumaLinha(fileName)) return;  // cannot be stored: the list stays as it is
  const std::string wanted = Upper(fileName);
  for (int k = 0; k <= 4; ++k)
    if (Upper(LerConfig("imagens_abertas", "ima" + std::to_string(k))) == wanted) return;
  for (int k = 4; k >= 1; --k)
    GravarConfig("imagens_abertas", "ima" + std::to_string(k),
                 LerConfig("imagens_abertas", "ima" + std::to_string(k - 1)));
  GravarConfig("imagens_abertas", "ima0", fileName);
}

TriploCor InteiroParaRGB(int32_t value) {
  const int32_t first = value / 65536;
  const int32_t second = (value - first * 65536) / 256;
  const int32_t third = value & 255;
  return {uint8_t(first), uint8_t(second), uint8_t(third)};
}

int32_t RGBParaInteiro(TriploCor t) { return t[2] + t[1] * 256 + t[0] * 65536; }

std::string NumeroTresDigitos(int32_t n) {
  if (n < 10) return "00" + std::to_string(n);
  if (n < 100) return "0" + std::to_string(n);
  return std::to_string(n);
}

}  // namespace vandrel
