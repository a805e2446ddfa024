// The main window's mean filter, greyscale and channel-split commands with the real
// windows: the checks and their messages, the windows made, their owners, captions, names,
// palettes and pixels, and the failures of the palette files.
#include <QToolButton>
#include <functional>

#include "tests/imageops/OperationsFixture.h"

namespace vandrel::testing {
namespace {

const char* const kSelecione = "Você deve primeiro selecionar uma imagem";
const char* const kOitoBits = "Essa não é uma imagem de 8 bits";
const char* const kVinteQuatro = "Só é possível converter imagens de 24 bits";

using Levels2 = std::vector<std::vector<int>>;

TEST_F(Operacoes, MeanFilterOpensAnOutputWindowOfTheSource) {
  const Bitmap fonte = Grey({{0, 0, 0}, {0, 255, 0}, {0, 0, 0}}, PaletaCinzaDeTeste());
  TFormImagem* w = Abrir(fonte, "centro.bmp");
  principal->FiltroMedia->trigger();
  Settle();
  const std::vector<TFormImagem*> novas = Novas(1);
  ASSERT_EQ(novas.size(), 1u);
  auto* saida = dynamic_cast<TFormImagemSaida*>(novas[0]);
  ASSERT_TRUE(saida);
  EXPECT_EQ(saida->ClassName(), "TFormImagemSaida");
  EXPECT_EQ(saida->Origem, w);
  EXPECT_EQ(saida->Owner(), w);
  EXPECT_EQ(saida->Caption(), "centro.bmp - Filtro da Média");
  EXPECT_EQ(saida->Nome, "");
  EXPECT_EQ(Levels(saida->BitmapImagem), (Levels2{{63, 42, 63}, {42, 28, 42}, {63, 42, 63}}));
  EXPECT_EQ(saida->BitmapImagem.palette(), PaletaCinzaDeTeste());
  EXPECT_EQ(w->BitmapImagem, fonte);
  EXPECT_TRUE(dialogs->messages.empty()) << dialogs->Texts().join("|").toStdString();

  // An output window is a source like any other.
  Ativar(saida);
  principal->FiltroMedia->trigger();
  Settle();
  ASSERT_EQ(Novas(2).size(), 1u);
  auto* segunda = dynamic_cast<TFormImagemSaida*>(Novas(2)[0]);
  ASSERT_TRUE(segunda);
  EXPECT_EQ(segunda->Origem, saida);
  EXPECT_EQ(segunda->Caption(), "centro.bmp - Filtro da Média - Filtro da Média");
  EXPECT_EQ(Levels(segunda->BitmapImagem), (Levels2{{43, 46, 43}, {46, 49, 46}, {43, 46, 43}}));
}

TEST_F(Operacoes, MeanFilterCaptionFollowsTheSourceCaption) {
  TFormImagem* w = Abrir(Grey({{1, 2}, {3, 4}}), "z.bmp");
  w->AlterarZoom(0.2);
  principal->FiltroMedia->trigger();
  ASSERT_EQ(Novas(1).size(), 1u);
  EXPECT_EQ(Novas(1)[0]->Caption(), "z.bmp 120% - Filtro da Média");
  EXPECT_EQ(Novas(1)[0]->Zoom, 1.0);
}

// What the commands say, and that they make no window, when the active child does not
// fit them.
struct Recusa {
  const char* caso;
  std::function<void(Operacoes&)> preparar;
  const char* comando;  // "media", "cinza" or "rgb"
  QStringList mensagens;
};

class OperacoesRecusadas : public Operacoes, public ::testing::WithParamInterface<Recusa> {
 public:
  TFormImagem* AbrirAqui(const Bitmap& b) { return Abrir(b, "fonte.bmp"); }
  void AtivarAqui(TForm* f) { Ativar(f); }
  void AdicionarOutra() {
    auto* outra = new JanelaQualquer;
    principal->AdicionarFilha(outra);
    Ativar(outra);
  }
  TFormImagemSaida* SaidaAqui(const Bitmap& b) {
    TFormImagem* fonte = Abrir(b, "fonte.bmp");
    return AbrirSaida(fonte, b, "fonte.bmp - Similares");
  }
};

TEST_P(OperacoesRecusadas, ShowTheirMessageAndMakeNoWindow) {
  const Recusa& r = GetParam();
  r.preparar(*this);
  const size_t antes = Imagens().size();
  const QString comando = r.comando;
  if (comando == "media") principal->FiltroMedia->trigger();
  if (comando == "cinza") principal->Greyscale->trigger();
  if (comando == "rgb") principal->btr_g_b->click();
  Settle();
  EXPECT_EQ(dialogs->Texts(), r.mensagens);
  for (const ScriptedDialogs::Shown& m : dialogs->messages) {
    EXPECT_EQ(m.kind, MsgKind::Information);
    EXPECT_EQ(m.buttons, mbOK);
  }
  EXPECT_EQ(Imagens().size(), antes);
}

const Bitmap kCinza = Grey({{1, 2}, {3, 4}});
const Bitmap kCor = Rgb({{{1, 2, 3}, {4, 5, 6}}});

INSTANTIATE_TEST_SUITE_P(
    Casos, OperacoesRecusadas,
    ::testing::Values(
        Recusa{"MediaSemJanela", [](Operacoes&) {}, "media", {kSelecione}},
        Recusa{"MediaOutraJanela",
               [](Operacoes& t) { static_cast<OperacoesRecusadas&>(t).AdicionarOutra(); },
               "media",
               {kSelecione}},
        Recusa{"MediaCor",
               [](Operacoes& t) { static_cast<OperacoesRecusadas&>(t).AbrirAqui(kCor); },
               "media",
               {kOitoBits}},
        Recusa{"CinzaSemJanela", [](Operacoes&) {}, "cinza", {kSelecione}},
        Recusa{"CinzaOutraJanela",
               [](Operacoes& t) { static_cast<OperacoesRecusadas&>(t).AdicionarOutra(); },
               "cinza",
               {kSelecione}},
        Recusa{"CinzaOitoBits",
               [](Operacoes& t) { static_cast<OperacoesRecusadas&>(t).AbrirAqui(kCinza); },
               "cinza",
               {kVinteQuatro}},
        Recusa{"CinzaSaidaOitoBits",
               [](Operacoes& t) { static_cast<OperacoesRecusadas&>(t).SaidaAqui(kCinza); },
               "cinza",
               {kVinteQuatro}},
        // The channel split ignores every active window but a plain image window.
        Recusa{"RgbSemJanela", [](Operacoes&) {}, "rgb", {}},
        Recusa{"RgbOutraJanela",
               [](Operacoes& t) { static_cast<OperacoesRecusadas&>(t).AdicionarOutra(); },
               "rgb",
               {}},
        Recusa{"RgbSaida",
               [](Operacoes& t) { static_cast<OperacoesRecusadas&>(t).SaidaAqui(kCor); },
               "rgb",
               {}},
        Recusa{"RgbOitoBits",
               [](Operacoes& t) { static_cast<OperacoesRecusadas&>(t).AbrirAqui(kCinza); },
               "rgb",
               {kVinteQuatro}}),
    [](const ::testing::TestParamInfo<Recusa>& info) { return std::string(info.param.caso); });

TEST_F(Operacoes, GreyscaleOpensAPlainWindowWithThePaletteOfPaletaPlt) {
  const Bitmap fonte = Rgb({{{10, 20, 31}, {255, 255, 254}}, {{0, 0, 1}, {2, 2, 1}}});
  TFormImagem* w = Abrir(fonte, "cor.bmp");
  principal->Greyscale->trigger();
  Settle();
  ASSERT_EQ(Novas(1).size(), 1u);
  TFormImagem* cinza = Novas(1)[0];
  EXPECT_EQ(cinza->ClassName(), "TFormImagem");
  EXPECT_EQ(cinza->Owner(), principal.get());
  EXPECT_EQ(cinza->Caption(), "cor.bmp-GreyScale");
  EXPECT_EQ(cinza->Nome, "");
  EXPECT_TRUE(cinza->SubWindow()->isVisible());
  EXPECT_EQ(cinza->BitmapImagem.format(), PixelFormat::pf8bit);
  EXPECT_EQ(cinza->BitmapImagem.palette(), PaletaCinzaDeTeste());
  EXPECT_EQ(Levels(cinza->BitmapImagem), (Levels2{{20, 255}, {0, 2}}));
  EXPECT_EQ(w->BitmapImagem, fonte);
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(Operacoes, GreyscaleAcceptsAnOutputWindow) {
  TFormImagem* fonte = Abrir(kCor, "a.bmp");
  AbrirSaida(fonte, kCor, "a.bmp - Similares");
  principal->Greyscale->trigger();
  ASSERT_EQ(Novas(2).size(), 1u);
  EXPECT_EQ(Novas(2)[0]->Caption(), "a.bmp - Similares-GreyScale");
  EXPECT_EQ(Levels(Novas(2)[0]->BitmapImagem), (Levels2{{2, 5}}));
}

TEST_F(Operacoes, GreyscaleWithoutPaletaPltReportsTheErrorBeforeAnyWindow) {
  Apagar("paleta.plt");
  Abrir(kCor, "a.bmp");
  principal->Greyscale->trigger();
  Settle();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, "File not found");
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  EXPECT_EQ(Imagens().size(), 1u);
}

TEST_F(Operacoes, ChannelSplitOpensOneNamedWindowPerChannel) {
  const Bitmap fonte = Rgb({{{1, 2, 3}, {40, 50, 60}}, {{7, 8, 9}, {255, 0, 128}}});
  TFormImagem* w = Abrir(fonte, "rgb.bmp");
  principal->btr_g_b->click();
  Settle();
  const std::vector<TFormImagem*> canais = Novas(1);
  ASSERT_EQ(canais.size(), 3u);
  const char* nomes[] = {"rgb.bmp-GreyScale-Canal R", "rgb.bmp-GreyScale-Canal G",
                         "rgb.bmp-GreyScale-Canal B"};
  const Levels2 niveis[] = {{{3, 60}, {9, 128}}, {{2, 50}, {8, 0}}, {{1, 40}, {7, 255}}};
  for (size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(canais[k]->ClassName(), "TFormImagem");
    EXPECT_EQ(canais[k]->Owner(), principal.get());
    EXPECT_EQ(canais[k]->Nome, nomes[k]);
    EXPECT_EQ(canais[k]->Caption(), nomes[k]);
    EXPECT_EQ(canais[k]->BitmapImagem.palette(), PaletaCanaisDeTeste());
    EXPECT_EQ(Levels(canais[k]->BitmapImagem), niveis[k]);
    EXPECT_TRUE(canais[k]->SubWindow()->isVisible());
  }
  EXPECT_EQ(w->BitmapImagem, fonte);
  EXPECT_EQ(TFormImagem::ContadorDeImagens, 4);
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(Operacoes, ChannelSplitWithoutPlt8ReportsTheErrorAndMakesNoWindow) {
  Apagar("system/plt8.bmp");
  Abrir(kCor, "a.bmp");
  principal->btr_g_b->click();
  Settle();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, "File not found");
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  // The palette is read before the windows are made: no empty window is left behind.
  EXPECT_TRUE(Novas(1).empty());
  EXPECT_EQ(TFormImagem::ContadorDeImagens, 1);
}

}  // namespace
}  // namespace vandrel::testing
