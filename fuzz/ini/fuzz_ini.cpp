// Feeds arbitrary bytes to the configuration file "system/config.ini" and reads every key
// the program reads; then writes one key with a value made of the input's first bytes,
// which must read back while every other key reads as before. Never a crash, a hang or a runaway
// allocation.
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "app/settings/model/URecursos.h"
#include "fuzz/support/FuzzFiles.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"

namespace {

using Keys = std::array<std::pair<const char*, const char*>, 10>;
constexpr Keys kKeys = {{{"caminhos", "caminhos_padrao"},
                         {"imagens_abertas", "ima0"},
                         {"imagens_abertas", "ima1"},
                         {"imagens_abertas", "ima2"},
                         {"imagens_abertas", "ima3"},
                         {"imagens_abertas", "ima4"},
                         {"caixa_sobre", "mostrar_inicio"},
                         {"Configuracao_selecao", "largura"},
                         {"Configuracao_selecao", "cor"},
                         {"Configuracao_selecao", "marcar"}}};

std::array<std::string, kKeys.size()> ReadAll() {
  std::array<std::string, kKeys.size()> values;
  for (size_t k = 0; k < kKeys.size(); ++k)
    values[k] = vandrel::LerConfig(kKeys[k].first, kKeys[k].second);
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vandrel::fuzz::FuzzFolder& folder = vandrel::fuzz::Folder();
  static const bool ready = [&] {
    vandrel::DefinirPastaPrograma(folder.path());
    return ::mkdir((folder / "system").c_str(), 0755) == 0;
  }();
  if (!ready) std::abort();
  folder.Write("system/config.ini", std::string_view(reinterpret_cast<const char*>(data), size));

  const auto before = ReadAll();
  vandrel::LerConfigInteiro("Configuracao_selecao", "largura", 1);
  // A recent image taken into the list: the key written reads back, the others stay. The
  // name is the input's first bytes, up to the first NUL; one with a line end is refused
  // and changes nothing.
  const size_t written = 2;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const std::string value(all.substr(0, std::min<size_t>(all.find('\0'), 64)));
  try {
    vandrel::GravarConfig(kKeys[written].first, kKeys[written].second, value);
  } catch (const vandrel::Exception&) {
    if (value.find_first_of("\r\n") == std::string::npos) std::abort();
    if (ReadAll() != before) std::abort();
    return 0;
  }
  const auto after = ReadAll();
  for (size_t k = 0; k < kKeys.size(); ++k)
    if (after[k] != (k == written ? value : before[k])) std::abort();
  return 0;
}
