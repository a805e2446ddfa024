#include "app/analysis/model/SharedFiles.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace vandrel {

ArquivosCompartilhados::Uso::Uso(ArquivosCompartilhados& arquivos, Nomes nomes)
    : arquivos_(arquivos), nomes_(std::move(nomes)) {
  arquivos_.usos_.push_back({this, &nomes_});
}

ArquivosCompartilhados::Uso::~Uso() {
  auto& usos = arquivos_.usos_;
  usos.erase(
      std::remove_if(usos.begin(), usos.end(), [this](const Registro& r) { return r.uso == this; }),
      usos.end());
}

void ArquivosCompartilhados::Uso::ApagarOsSeus() const {
  for (const std::string& arquivo : nomes_())
    if (!arquivos_.OutroUsa(this, arquivo)) std::remove(arquivo.c_str());
}

bool ArquivosCompartilhados::OutroUsa(const Uso* exceto, const std::string& arquivo) const {
  for (const Registro& r : usos_) {
    if (r.uso == exceto) continue;
    const std::vector<std::string> nomes = (*r.nomes)();
    if (std::find(nomes.begin(), nomes.end(), arquivo) != nomes.end()) return true;
  }
  return false;
}

}  // namespace vandrel
