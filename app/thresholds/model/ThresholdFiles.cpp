#include "app/thresholds/model/ThresholdFiles.h"

#include <string_view>

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/RegularFile.h"
#include "platform/TextFile.h"

namespace vandrel {

namespace {

// The first `count` bytes of a file, read without looking at the rest of it.
template <size_t N>
std::array<uint8_t, N> LerInicio(const std::string& path) {
  const OpenedFile file = OpenFileForReading(path);
  std::array<uint8_t, N> bytes{};
  if (ReadFileAt(file.fd.get(), 0, bytes.data(), N) != N)
    throw EInOutError("Read beyond end of file");
  return bytes;
}

}  // namespace

std::array<uint8_t, kTamanhoRegistroLimiares> BytesDoRegistro(const RegistroLimiares& r) {
  std::array<uint8_t, kTamanhoRegistroLimiares> out{};
  out[0] = r.n;
  for (size_t i = 0; i < r.lim.size(); ++i) out[i + 1] = r.lim[i];
  return out;
}

RegistroLimiares RegistroDosBytes(std::span<const uint8_t> bytes) {
  if (bytes.size() < kTamanhoRegistroLimiares) throw EInOutError("Read beyond end of file");
  RegistroLimiares r;
  r.n = bytes[0];
  for (size_t i = 0; i < r.lim.size(); ++i) r.lim[i] = bytes[i + 1];
  return r;
}

bool RegistroValido(const RegistroLimiares& r) {
  return r.n >= 1 && r.n <= kMaxNiveis && r.lim[0] == 0 && r.lim[16] == 255;
}

RegistroLimiares LerArquivoLimiares(const std::string& path) {
  const RegistroLimiares r = RegistroDosBytes(LerInicio<kTamanhoRegistroLimiares>(path));
  if (!RegistroValido(r))
    throw Exception("O arquivo " + path + " não é um arquivo de limiares válido");
  return r;
}

void GravarArquivoLimiares(const std::string& path, const RegistroLimiares& r) {
  const auto bytes = BytesDoRegistro(r);
  WriteFileAtomically(path,
                      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

PaletaFases LerArquivoPaleta(const std::string& path) {
  const auto bytes = LerInicio<kTamanhoPaleta>(path);
  PaletaFases p{};
  for (size_t k = 0; k < p.size(); ++k)
    for (size_t c = 0; c < 3; ++c) p[k][c] = bytes[3 * k + c];
  return p;
}

void GravarArquivoPaleta(const std::string& path, const PaletaFases& p) {
  std::array<char, kTamanhoPaleta> bytes{};
  for (size_t k = 0; k < p.size(); ++k)
    for (size_t c = 0; c < 3; ++c) bytes[3 * k + c] = char(p[k][c]);
  WriteFileAtomically(path, std::string_view(bytes.data(), bytes.size()));
}

std::string ComExtensao(const std::string& name, const std::string& extension) {
  return FileExtension(name) == extension ? name : name + extension;
}

}  // namespace vandrel
