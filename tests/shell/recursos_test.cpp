// Configuration access, default folders, the recent-image list and the small routines.
#include <gtest/gtest.h>

#include "app/settings/model/URecursos.h"
#include "platform/Errors.h"
#include "tests/support/GuiTest.h"

using namespace vandrel;
using vandrel::testing::ProgramFolder;

TEST(Config, MissingFileReadsEmptyAndFirstWriteCreatesIt) {
  ProgramFolder folder;
  EXPECT_EQ(LerConfig("caixa_sobre", "mostrar_inicio"), "");
  GravarConfig("caixa_sobre", "mostrar_inicio", "FALSE");
  EXPECT_EQ(LerConfig("caixa_sobre", "mostrar_inicio"), "FALSE");
  EXPECT_EQ(folder.ReadFile("system/config.ini"), "[caixa_sobre]\nmostrar_inicio=FALSE\n");
}

TEST(Config, IntegersFallBackWhenAbsentOrNotDecimal) {
  ProgramFolder folder("[Configuracao_selecao]\nlargura=7\ncor=x3\n");
  EXPECT_EQ(LerConfigInteiro("Configuracao_selecao", "largura", 1), 7);
  EXPECT_EQ(LerConfigInteiro("Configuracao_selecao", "cor", 0), 0);
  EXPECT_EQ(LerConfigInteiro("Configuracao_selecao", "marcar", 1), 1);
  folder.WriteConfig("[Configuracao_selecao]\nlargura=3.5\ncor=-2\n");
  EXPECT_EQ(LerConfigInteiro("Configuracao_selecao", "largura", 1), 1);
  EXPECT_EQ(LerConfigInteiro("Configuracao_selecao", "cor", 0), -2);
}

TEST(DefaultFolders, FollowCaminhosPadrao) {
  ProgramFolder folder;
  for (auto* f : {&CaminhoListaImagens, &CaminhoImagens, &CaminhoPadroes, &CaminhoFases})
    EXPECT_EQ(f(), "");
  folder.WriteConfig("[caminhos]\ncaminhos_padrao=vandrel\n");
  const std::string base = folder.Path().toStdString();
  EXPECT_EQ(CaminhoListaImagens(), base + "listaimagens");
  EXPECT_EQ(CaminhoImagens(), base + "imagens");
  EXPECT_EQ(CaminhoPadroes(), base + "padroes");
  EXPECT_EQ(CaminhoFases(), base + "fases");
  for (const char* other : {"windows", "Vandrel", "VANDREL", ""}) {
    folder.WriteConfig(QByteArray("[caminhos]\ncaminhos_padrao=") + other + "\n");
    EXPECT_EQ(CaminhoImagens(), "") << other;
  }
}

TEST(RecentImages, NewestFirstFiveAtMostListedOnce) {
  ProgramFolder folder;
  for (const char* f : {"/i/a", "/i/b", "/i/c", "/i/d", "/i/e", "/i/f"}) AdicionarImagemAberta(f);
  const char* expected[] = {"/i/f", "/i/e", "/i/d", "/i/c", "/i/b"};
  auto check = [&] {
    for (int k = 0; k < 5; ++k)
      EXPECT_EQ(LerConfig("imagens_abertas", "ima" + std::to_string(k)), expected[k]) << k;
  };
  check();
  AdicionarImagemAberta("/I/C");  // listed already, in another letter case: no change
  check();
  AdicionarImagemAberta("/i/a");  // fell out: comes back at the head
  EXPECT_EQ(LerConfig("imagens_abertas", "ima0"), "/i/a");
  EXPECT_EQ(LerConfig("imagens_abertas", "ima4"), "/i/c");
}

// Whatever a file name holds, the list reads back exactly what was opened, or leaves a
// name that cannot be kept on one line out, and the keys after it read as they were.
TEST(RecentImages, EveryNameReadsBackExactlyOrIsLeftOut) {
  ProgramFolder folder;
  GravarConfig("caixa_sobre", "mostrar_inicio", "TRUE");
  struct Case {
    std::string name;
    bool kept;
  } cases[] = {
      {"/i/a\nima1=/i/forged.bmp", false},
      {"/i/b\r\n[caixa_sobre]\r\nmostrar_inicio=FALSE", false},
      {"/i/c\r.bmp", false},
      {" /i/lead.bmp", true},
      {"/i/trail.bmp ", true},
      {"/i/tab.bmp\t", true},
      {"\"/i/quoted.bmp\"", true},
      {"'/i/single.bmp'", true},
      {"\"/i/half.bmp", true},
      {"/i/a=b;c[d].bmp", true},
      {"/i/plain.bmp", true},
  };
  std::string head;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string second = LerConfig("imagens_abertas", "ima1");
    AdicionarImagemAberta(c.name);
    if (c.kept) {
      EXPECT_EQ(LerConfig("imagens_abertas", "ima1"), head);
      head = c.name;
    } else {
      EXPECT_EQ(LerConfig("imagens_abertas", "ima1"), second);
    }
    EXPECT_EQ(LerConfig("imagens_abertas", "ima0"), head);
    EXPECT_EQ(LerConfig("caixa_sobre", "mostrar_inicio"), "TRUE");
  }
  const QByteArray before = folder.ReadFile("system/config.ini");
  EXPECT_THROW(GravarConfig("imagens_abertas", "ima0", "a\nb"), Exception);
  EXPECT_EQ(folder.ReadFile("system/config.ini"), before);
}

TEST(Colours, TripleRoundTripsEveryColour) {
  for (int32_t v = 0; v <= 0xFFFFFF; ++v)
    if (RGBParaInteiro(InteiroParaRGB(v)) != v) FAIL() << v;
  EXPECT_EQ(InteiroParaRGB(0x123456), (TriploCor{0x12, 0x34, 0x56}));
  EXPECT_EQ(InteiroParaRGB(255), (TriploCor{0, 0, 255}));  // red: last byte
}

TEST(NumeroTresDigitos, PadsToThree) {
  struct Case {
    int32_t n;
    const char* text;
  } cases[] = {{0, "000"}, {7, "007"}, {42, "042"}, {99, "099"}, {255, "255"}, {1000, "1000"}};
  for (const Case& c : cases) EXPECT_EQ(NumeroTresDigitos(c.n), c.text);
}
