// The working files that several windows name: a file goes only when no other registration
// still names it, and what a registration names is read when the files go, not when it was
// made.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/analysis/model/SharedFiles.h"
#include "tests/support/TempDir.h"

namespace vandrel {
namespace {

using testing::TempDir;
using Nomes = std::vector<std::string>;

bool Existe(const std::string& path) { return std::filesystem::exists(path); }

TEST(SharedFiles, AFileGoesOnlyWhenNoOtherRegistrationNamesIt) {
  TempDir dir;
  const std::string vol = dir / "temp.vol", a = dir / "A1.MED", b = dir / "A2.MED";
  const struct {
    const char* caso;
    Nomes meus, doOutro;
    Nomes ficam, vao;
  } cases[] = {
      {"alone", {vol, a}, {}, {b}, {vol, a}},
      {"the other names the volume file", {vol, a}, {vol}, {vol, b}, {a}},
      {"the other names every file", {vol, a}, {a, vol}, {vol, a, b}, {}},
      {"the other names other files", {a}, {b, vol}, {vol, b}, {a}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caso);
    for (const char* nome : {"temp.vol", "A1.MED", "A2.MED"}) dir.write(nome, "x");
    ArquivosCompartilhados arquivos;
    const ArquivosCompartilhados::Uso meu(arquivos, [&] { return c.meus; });
    const ArquivosCompartilhados::Uso outro(arquivos, [&] { return c.doOutro; });
    meu.ApagarOsSeus();
    for (const std::string& f : c.ficam) EXPECT_TRUE(Existe(f)) << f;
    for (const std::string& f : c.vao) EXPECT_FALSE(Existe(f)) << f;
  }
}

TEST(SharedFiles, NamesAreReadWhenTheFilesGoAndAnEndedRegistrationNamesNothing) {
  TempDir dir;
  const std::string a = dir / "A1.MED", b = dir / "A2.MED";
  dir.write("A1.MED", "x");
  dir.write("A2.MED", "x");
  ArquivosCompartilhados arquivos;
  Nomes meus, doOutro{a};
  const ArquivosCompartilhados::Uso meu(arquivos, [&] { return meus; });
  auto outro = std::make_unique<ArquivosCompartilhados::Uso>(arquivos, [&] { return doOutro; });
  // A later calculation of the other window names a new file.
  doOutro = {b};
  meus = {a, b};
  EXPECT_TRUE(arquivos.OutroUsa(&meu, b));
  EXPECT_FALSE(arquivos.OutroUsa(&meu, a));
  EXPECT_TRUE(arquivos.OutroUsa(outro.get(), a));
  outro.reset();
  EXPECT_FALSE(arquivos.OutroUsa(&meu, b));
  // A file that is already gone is passed over.
  std::filesystem::remove(a);
  meu.ApagarOsSeus();
  EXPECT_FALSE(Existe(a));
  EXPECT_FALSE(Existe(b));
}

}  // namespace
}  // namespace vandrel
