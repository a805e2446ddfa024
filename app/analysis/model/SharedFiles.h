#pragma once
// Working files that several open windows may name at once, such as the volume file and the
// ".MED" files of the homogeneity windows. Each window holds a registration for as long as it
// lives; the files it names are asked afresh whenever they are needed, since they change with
// its calculations. A window that lets go of its files deletes only those that no other
// registered window still names.
#include <functional>
#include <string>
#include <vector>

namespace vandrel {

class ArquivosCompartilhados {
 public:
  // The files a registered window names now.
  using Nomes = std::function<std::vector<std::string>()>;

  // A registration in `arquivos` from construction to destruction.
  class Uso {
   public:
    Uso(ArquivosCompartilhados& arquivos, Nomes nomes);
    ~Uso();
    Uso(const Uso&) = delete;
    Uso& operator=(const Uso&) = delete;

    // Deletes the files this registration names that no other one names; a file that is not
    // there is passed over. The registration stays.
    void ApagarOsSeus() const;

   private:
    ArquivosCompartilhados& arquivos_;
    Nomes nomes_;
  };

  ArquivosCompartilhados() = default;
  ArquivosCompartilhados(const ArquivosCompartilhados&) = delete;
  ArquivosCompartilhados& operator=(const ArquivosCompartilhados&) = delete;

  // Whether a registration other than `exceto` names `arquivo`.
  bool OutroUsa(const Uso* exceto, const std::string& arquivo) const;

 private:
  struct Registro {
    const Uso* uso;
    const Nomes* nomes;
  };
  std::vector<Registro> usos_;
};

}  // namespace vandrel
