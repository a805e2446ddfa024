// The histogram window's file commands through its own buttons: opening under each
// filter, overlaying, saving histograms, patterns and pictures, and the failures of bad
// files.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "app/settings/model/URecursos.h"
#include "platform/PictureLoader.h"
#include "tests/histwin/HistwinFixture.h"

namespace vandrel::testing {
namespace {

const char* const kFiltro =
    "Fases de Materiais (*.his)|*.his|Padrões (*.pat)|*.pat|Imagens (*.tif,*.gif,*.bmp)|*.tif;"
    "*.gif;*.bmp|Lista de Imagens (*.lst)|*.lst|Todos os Histogramas (*.his,*.pat,*.lst,*.tif,"
    "*.gif,*.bmp)|*.pat;*.lst;*.his;*.tif;*.gif;*.bmp";

// 10 x 4 pixels: 3 at level 40 and 7 at 200 in every row.
GreyHistogram DaImagem() {
  GreyHistogram h{};
  h[40] = 0.3;
  h[200] = 0.7;
  return h;
}

TEST_F(HistwinTest, NewWindowIsEmptyWithItsControlsAsDesigned) {
  TFormHistograma* w = Novo();
  ASSERT_TRUE(w);
  EXPECT_EQ(w->ClassName(), "TFormHistograma");
  EXPECT_EQ(w->Caption(), "Histograma");
  EXPECT_EQ(w->SubWindow()->windowTitle(), "Histograma");
  EXPECT_TRUE(w->SubWindow()->isVisible());
  EXPECT_EQ(w->Owner(), principal.get());
  EXPECT_EQ(principal->FilhaAtiva(), w);
  EXPECT_EQ(w->size(), QSize(264, 224));

  const TDSHistograma* h = w->Histograma;
  EXPECT_EQ(h->geometry(), QRect(0, 0, 264, 188));
  EXPECT_EQ(h->Estilo(), eLinha);
  EXPECT_EQ(h->CorDeFundo(), 0xA6FE96);
  EXPECT_EQ(h->CorDeDesenho(), 0xFF0000);
  EXPECT_EQ(h->CorDaLinha(), 0x0000FF);
  EXPECT_EQ(h->Tamanho(), hs256);
  EXPECT_EQ(h->NumLinhasHor(), 3);
  EXPECT_EQ(h->NumLinhasVert(), qTodas);
  EXPECT_EQ(h->Espessura(), 1);
  EXPECT_EQ(h->Fator(), 1.0);
  EXPECT_TRUE(h->AtivarTexto());
  EXPECT_FALSE(h->Sobreposicao());
  EXPECT_EQ(h->Valores(), GreyHistogram{});

  EXPECT_EQ(w->PainelDaLegenda->geometry(), QRect(0, 190, 264, 3));
  EXPECT_EQ(w->PainelDosBotoes->geometry(), QRect(0, 194, 264, 30));
  EXPECT_EQ(w->LbTamanho->text(), "256");
  EXPECT_EQ(w->BtMenosTamanho->text(), "<");
  EXPECT_EQ(w->BtMenosTamanho->toolTip(), "Menor");
  EXPECT_EQ(w->BtMaisTamanho->text(), ">");
  EXPECT_EQ(w->BtMaisTamanho->toolTip(), "Maior");
  EXPECT_EQ(w->BtAbrirHistograma->toolTip(), "Abrir Histograma");
  EXPECT_FALSE(w->BtSobrepor->isEnabled());
  EXPECT_EQ(w->BtSalvarHistograma->toolTip(), "Salvar Histograma");
  EXPECT_EQ(w->BtSalvarImagem->toolTip(), "Salvar Como Imagem");
  EXPECT_EQ(w->BtMais->text(), ">>");
  EXPECT_TRUE(w->BtMais->font().bold());
  EXPECT_EQ(w->BtMais->toolTip(), "Mais");
  EXPECT_TRUE(w->PainelDasOpcoes->isHidden());
  EXPECT_EQ(w->PainelDasOpcoes->title(), "Opções");
  EXPECT_EQ(w->CbEstilo->placeholderText(), "Estilo do Histograma");
  EXPECT_EQ(w->CbCores->placeholderText(), "Cores do Histograma");
  EXPECT_EQ(w->CbLinhasVerticais->placeholderText(), "Linhas Verticais");
  EXPECT_EQ(w->CbEstilo->count(), 3);
  EXPECT_EQ(w->EditLinhasHorizontais->text(), "3");
  EXPECT_TRUE(w->EditLinhasHorizontais->isReadOnly());
  EXPECT_EQ(w->EditEspessura->text(), "1");
  EXPECT_EQ(w->EditEscala->text(), "1");
  EXPECT_EQ(w->UpDLinhasHor->Min(), 0);
  EXPECT_EQ(w->UpDLinhasHor->Max(), 7);
  EXPECT_EQ(w->UpDEspessura->Min(), 1);
  EXPECT_EQ(w->UpDEspessura->Max(), 10);
  EXPECT_EQ(w->UpDEscala->Associate(), nullptr);
  EXPECT_TRUE(w->ChbTexto->isChecked());
  EXPECT_EQ(w->ChbTexto->toolTip(), "Ativar Texto");
  EXPECT_EQ(ModoSimples(w), kLigados);
  EXPECT_FALSE(w->Arrastando);
  EXPECT_FALSE(w->LegendaCriada);
  EXPECT_FALSE(w->Salvo);
  EXPECT_TRUE(w->NomeArquivo.isEmpty());
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(HistwinTest, OneFileUnderEachFilter) {
  const QString his = His("ferrita.his", Pico(30));
  const QString pat = Padrao("duas.pat", {Pico(10), Pico(90)}, {"/x/alfa.his", "/x/beta.his"});
  const QString img = Imagem("amostra.bmp", DuasFases(10, 4, 3));
  const QString lst = folder.File("listaimagens/l.lst");
  WriteFile(lst, ("2\r\n" + img + "\r\n" + img + "\r\n").toUtf8());
  WriteFile(Fases("nota.txt"), "x");

  struct Case {
    QString file;
    int filter;
    bool overlay;
    size_t curves;
    const char* caption;
  } cases[] = {
      {his, 5, false, 0, "ferrita.his"}, {his, 1, false, 0, "ferrita.his"},
      {pat, 5, true, 2, "duas.pat"},     {pat, 2, true, 2, "duas.pat"},
      {img, 5, false, 0, "amostra.bmp"}, {img, 3, false, 0, "amostra.bmp"},
      {lst, 5, true, 2, "l.lst"},        {lst, 4, true, 2, "l.lst"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption + std::string(" filter ") + std::to_string(c.filter));
    TFormHistograma* w = Novo();
    Abrir(w, {c.file}, c.filter);
    EXPECT_TRUE(dialogs->messages.empty());
    const FileDialogSpec& spec = dialogs->fileDialogs.back();
    EXPECT_EQ(spec.title, "Abrir Arquivo de Histograma");
    EXPECT_EQ(spec.filter, kFiltro);
    EXPECT_EQ(spec.initialDir.toStdString(), CaminhoFases());
    EXPECT_TRUE(spec.multiSelect);
    EXPECT_EQ(w->OpenDialog.filterIndex, c.filter);  // the dialog keeps the filter chosen

    EXPECT_EQ(w->Caption(), c.caption);
    EXPECT_EQ(w->Histograma->Sobreposicao(), c.overlay);
    EXPECT_TRUE(w->BtSobrepor->isEnabled());
    if (c.overlay) {
      ASSERT_EQ(w->Histograma->Histogramas().size(), c.curves);
      EXPECT_EQ(ModoSimples(w), kDesligados);
      EXPECT_EQ(w->BtSalvarHistograma->toolTip(), "Salvar Padrão");
      EXPECT_TRUE(w->LegendaCriada);
      EXPECT_EQ(w->QuadradosDaLegenda().size(), c.curves);
    } else {
      EXPECT_TRUE(Proximos(w->Histograma->Valores(), c.file == his ? Pico(30) : DaImagem()))
          << c.caption;
      EXPECT_EQ(ModoSimples(w), kLigados);
      EXPECT_EQ(w->BtSalvarHistograma->toolTip(), "Salvar Histograma");
      EXPECT_FALSE(w->LegendaCriada);
    }
  }
  // Names: the pattern's from its ".pac", the list's from the image files.
  const std::vector<TFormHistograma*> j = Janelas();
  EXPECT_EQ(Nomes(j[2]), (std::vector<std::string>{"/x/alfa.his", "/x/beta.his"}));
  EXPECT_EQ(j[2]->RotulosDaLegenda()[1]->text(), "beta");
  EXPECT_TRUE(Proximos(j[2]->Histograma->Histogramas()[1].Valores, Pico(90))) << "pattern column";
  EXPECT_EQ(Nomes(j[6]), (std::vector<std::string>{"amostra", "amostra"}));
}

TEST_F(HistwinTest, UnknownExtensionUnderAllHistogramsLoadsNothing) {
  const QString nota = Fases("nota.txt");
  WriteFile(nota, "1 2 3");
  TFormHistograma* w = Novo();
  Abrir(w, {His("a.his", Pico(5))});
  Abrir(w, {nota});
  EXPECT_EQ(w->Caption(), "nota.txt");
  EXPECT_FALSE(w->Histograma->Sobreposicao());
  EXPECT_EQ(w->Histograma->Valores(), GreyHistogram{});  // cleared before the load
  EXPECT_TRUE(w->BtSobrepor->isEnabled());
  EXPECT_TRUE(dialogs->messages.empty());
  // Extensions are compared exactly: capitals are no histogram file either.
  const QString grande = Fases("B.HIS");
  WriteHis(grande.toStdString(), Pico(9));
  Abrir(w, {grande});
  EXPECT_EQ(w->Histograma->Valores(), GreyHistogram{});
}

TEST_F(HistwinTest, FilterChoosesTheLoaderNotTheExtension) {
  TFormHistograma* w = Novo();
  Abrir(w, {His("a.his", Pico(5))}, 3);  // a histogram file under "Imagens"
  EXPECT_EQ(dialogs->Texts(), QStringList{"Unknown picture file extension (.his)"});
  EXPECT_EQ(dialogs->messages.back().kind, MsgKind::Error);
  EXPECT_EQ(w->Caption(), "a.his");
  EXPECT_EQ(w->Histograma->Valores(), GreyHistogram{});
}

TEST_F(HistwinTest, SeveralFilesMakeAnOverlayWithALegend) {
  TFormHistograma* w = Novo();
  const QString a = His("alfa.his", Pico(20)), b = His("beta-longo-demais.his", Pico(200));
  Abrir(w, {a, b});
  EXPECT_EQ(w->Caption(), "Histograma");  // not changed by several files
  ASSERT_TRUE(w->Histograma->Sobreposicao());
  EXPECT_EQ(Nomes(w), (std::vector<std::string>{"alfa", "beta-longo-demais"}));
  EXPECT_TRUE(Proximos(w->Histograma->Histogramas()[0].Valores, Pico(20))) << "first";
  EXPECT_TRUE(Proximos(w->Histograma->Histogramas()[1].Valores, Pico(200))) << "second";
  EXPECT_EQ(ModoSimples(w), kDesligados);
  EXPECT_EQ(w->BtSalvarHistograma->toolTip(), "Salvar Padrão");
  EXPECT_TRUE(w->BtSobrepor->isEnabled());

  // One row: panel 4 + 18 high, the buttons under it, the window fitted.
  ASSERT_TRUE(w->LegendaCriada);
  ASSERT_EQ(w->QuadradosDaLegenda().size(), 2u);
  EXPECT_EQ(w->QuadradosDaLegenda()[0]->geometry(), QRect(4, 4, 10, 10));
  EXPECT_EQ(w->QuadradosDaLegenda()[1]->geometry(), QRect(68, 4, 10, 10));
  EXPECT_EQ(w->QuadradosDaLegenda()[0]->Cor(), 0xFF0000);
  EXPECT_EQ(w->QuadradosDaLegenda()[1]->Cor(), 0x0000FF);
  EXPECT_EQ(w->RotulosDaLegenda()[0]->text(), "alfa");
  EXPECT_EQ(w->RotulosDaLegenda()[1]->text(), "beta-long");  // 9 characters
  EXPECT_EQ(w->RotulosDaLegenda()[1]->geometry(), QRect(81, 2, 50, 13));
  EXPECT_EQ(w->PainelDaLegenda->height(), 22);
  EXPECT_EQ(w->PainelDosBotoes->y(), 190 + 22 + 1);
  EXPECT_EQ(w->size(), QSize(264, 213 + 30));
}

TEST_F(HistwinTest, CancelledOpenClearsOnlyTheLegendAndTheWidthControls) {
  TFormHistograma* w = Novo();
  Abrir(w, {His("a.his", Pico(20)), His("b.his", Pico(40))});
  ASSERT_TRUE(w->LegendaCriada);
  Cancelar();
  w->BtAbrirHistograma->click();
  EXPECT_FALSE(w->LegendaCriada);
  EXPECT_TRUE(w->QuadradosDaLegenda().empty());
  EXPECT_EQ(w->PainelDaLegenda->height(), 3);
  EXPECT_EQ(w->PainelDosBotoes->y(), 194);
  EXPECT_EQ(w->size(), QSize(264, 224));
  EXPECT_EQ(w->Histograma->Histogramas().size(), 2u);  // the curves stay
  EXPECT_FALSE(w->EditEspessura->isEnabled());

  // In single mode the width controls go off too and come back with the next histogram
  // (the style being "Linhas").
  TFormHistograma* s = Novo();
  Cancelar();
  s->BtAbrirHistograma->click();
  EXPECT_EQ(ModoSimples(s), (std::vector<bool>{true, true, true, false, false}));
  Abrir(s, {Fases("a.his")});
  EXPECT_EQ(ModoSimples(s), kLigados);
}

TEST_F(HistwinTest, OverlayButtonAddsCurvesAfterTheShownHistogram) {
  TFormHistograma* w = Novo();
  Abrir(w, {His("ferrita.his", Pico(20))});
  ASSERT_EQ(w->Caption(), "ferrita.his");
  Sobrepor(w, {His("perlita.his", Pico(60)), His("cementita.his", Pico(99))});
  const FileDialogSpec& spec = dialogs->fileDialogs.back();
  EXPECT_EQ(spec.title, "Adicionar Arquivo de Histograma");
  EXPECT_EQ(spec.filter, kFiltro);
  EXPECT_EQ(spec.initialDir.toStdString(), CaminhoFases());  // as the open left it
  EXPECT_EQ(w->Caption(), "Histograma");
  ASSERT_TRUE(w->Histograma->Sobreposicao());
  // The histogram shown becomes the first curve, named after the window's caption.
  EXPECT_EQ(Nomes(w), (std::vector<std::string>{"Histograma", "perlita", "cementita"}));
  EXPECT_TRUE(Proximos(w->Histograma->Histogramas()[0].Valores, Pico(20))) << "first";
  EXPECT_EQ(w->QuadradosDaLegenda().size(), 3u);
  EXPECT_EQ(ModoSimples(w), kDesligados);
  EXPECT_EQ(w->BtSalvarHistograma->toolTip(), "Salvar Padrão");

  // Adding to an overlay appends; a cancelled add leaves the caption "Histograma" and no
  // legend.
  Sobrepor(w, {Fases("perlita.his")});
  EXPECT_EQ(w->Histograma->Histogramas().size(), 4u);
  EXPECT_EQ(w->Histograma->Histogramas()[3].Cor, TDSHistograma::CorDaFase(3));
  w->SetCaption("outro");
  Cancelar();
  w->BtSobrepor->click();
  EXPECT_EQ(w->Caption(), "Histograma");
  EXPECT_FALSE(w->LegendaCriada);
  EXPECT_EQ(w->Histograma->Histogramas().size(), 4u);
}

TEST_F(HistwinTest, AFirstCurveThatHasANameKeepsIt) {
  TFormHistograma* w = Novo();
  Abrir(w, {His("a.his", Pico(20)), His("b.his", Pico(40))});
  // Remove the first curve with the list dialog: back to a single histogram of "b".
  dialogs->forms.push_back([](QDialog& f) {
    auto& l = static_cast<TFormListaDeFases&>(f);
    l.Lista->SetChecked(0, true);
    l.BtOK->click();
  });
  Click(w->Histograma, QPoint(100, 100), Qt::RightButton);
  ASSERT_FALSE(w->Histograma->Sobreposicao());
  Sobrepor(w, {His("c.his", Pico(60))});
  EXPECT_EQ(Nomes(w), (std::vector<std::string>{"b", "c"}));
}

TEST_F(HistwinTest, SavesGoToTheFirstNameWithoutAskingAgain) {
  struct Case {
    const char* typed;
    const char* written;
  } cases[] = {{"x", "x.his"}, {"y.his", "y.his"}, {"z.HIS", "z.HIS.his"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    TFormHistograma* w = Novo();
    Abrir(w, {His("a.his", Pico(20))});
    dialogs->fileDialogs.clear();
    Escolher({Fases(c.typed)}, 1);
    w->BtSalvarHistograma->click();
    ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs->fileDialogs[0].title, "Salvar Arquivo de Histograma");
    EXPECT_EQ(dialogs->fileDialogs[0].filter, "Fases de Materiais (*.his)|*.his");
    EXPECT_TRUE(w->Salvo);
    EXPECT_EQ(w->NomeArquivo, Fases(c.typed));
    const QString escrito = Fases(c.written);
    EXPECT_TRUE(Proximos(ReadHis(escrito.toStdString()), Pico(20))) << c.written;

    // Whatever is opened since, the next save writes the same file without a dialog.
    Abrir(w, {His("b.his", Pico(77))});
    dialogs->fileDialogs.clear();
    w->BtSalvarHistograma->click();
    EXPECT_TRUE(dialogs->fileDialogs.empty());
    EXPECT_TRUE(Proximos(ReadHis(escrito.toStdString()), Pico(77))) << c.written;
  }
  // The file written reads back as the histogram it holds.
  TFormHistograma* v = Novo();
  Abrir(v, {Fases("x.his")});
  EXPECT_TRUE(Proximos(v->Histograma->Valores(), Pico(77))) << "reopened";
}

TEST_F(HistwinTest, AnOverlaySavesAsAPatternUnderTheSameBaseName) {
  TFormHistograma* w = Novo();
  Abrir(w, {His("a.his", Pico(20))});
  Escolher({Fases("x")}, 1);
  w->BtSalvarHistograma->click();
  ASSERT_TRUE(w->Salvo);
  Sobrepor(w, {His("b.his", Pico(40))});
  dialogs->fileDialogs.clear();
  w->BtSalvarHistograma->click();
  EXPECT_TRUE(dialogs->fileDialogs.empty());
  for (const char* f : {"x.his", "x.pat", "x.pac", "x.err"})
    EXPECT_TRUE(QFileInfo::exists(Fases(f))) << f;
  EXPECT_EQ(ReadFile(Fases("x.pac")), "2\r\nHistograma\r\nb\r\n");

  // A first save in overlay mode asks with the pattern dialog; the set reads back.
  TFormHistograma* p = Novo();
  Abrir(p, {Fases("a.his"), Fases("b.his")});
  Escolher({Fases("par.pat")}, 1);
  p->BtSalvarHistograma->click();
  const FileDialogSpec& spec = dialogs->fileDialogs.back();
  EXPECT_EQ(spec.title, "Salvar como Arquivo de Padrões");
  EXPECT_EQ(spec.filter, "Arquivo de Padrão (*.pat)|*.pat");
  EXPECT_EQ(spec.initialDir.toStdString(), CaminhoFases());
  EXPECT_FALSE(QFileInfo::exists(Fases("par.pat.pat")));
  TFormHistograma* r = Novo();
  Abrir(r, {Fases("par.pat")});
  ASSERT_EQ(r->Histograma->Histogramas().size(), 2u);
  EXPECT_EQ(Nomes(r), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(Proximos(r->Histograma->Histogramas()[1].Valores, Pico(40))) << "pattern read back";

  // A single save after a first overlay save writes "par.pat.his": the base name is kept
  // as typed.
  Abrir(p, {Fases("a.his")});
  p->BtSalvarHistograma->click();
  EXPECT_TRUE(QFileInfo::exists(Fases("par.pat.his")));
}

TEST_F(HistwinTest, CancelledFirstSaveWritesNothing) {
  TFormHistograma* w = Novo();
  Abrir(w, {His("a.his", Pico(20))});
  const QStringList before = QDir(folder.File("fases")).entryList(QDir::Files);
  Cancelar();
  w->BtSalvarHistograma->click();
  EXPECT_FALSE(w->Salvo);
  EXPECT_TRUE(w->NomeArquivo.isEmpty());
  EXPECT_EQ(QDir(folder.File("fases")).entryList(QDir::Files), before);
  // The next save asks again.
  Escolher({Fases("depois")}, 1);
  w->BtSalvarHistograma->click();
  EXPECT_TRUE(QFileInfo::exists(Fases("depois.his")));
}

TEST_F(HistwinTest, PictureIsSavedAsABitmapOfTheControl) {
  TFormHistograma* w = Novo();
  Abrir(w, {His("a.his", Pico(20))});
  for (const char* typed : {"pic", "pic2.bmp"}) {
    Escolher({Fases(typed)}, 1);
    w->BtSalvarImagem->click();
    const FileDialogSpec& spec = dialogs->fileDialogs.back();
    EXPECT_EQ(spec.title, "Salvar Histograma Como Imagem");
    EXPECT_EQ(spec.filter, "Bitmaps do Windows(*.bmp) |*.bmp");
    EXPECT_EQ(spec.initialDir.toStdString(), CaminhoFases());
  }
  EXPECT_FALSE(QFileInfo::exists(Fases("pic2.bmp.bmp")));
  for (const char* f : {"pic.bmp", "pic2.bmp"}) {
    const Bitmap b = LoadPicture(Fases(f).toStdString());
    ASSERT_EQ(b.width(), 264) << f;
    ASSERT_EQ(b.height(), 188) << f;
    ASSERT_EQ(b.format(), PixelFormat::pf24bit);
    const uint8_t* frame = b.scanLine(0);
    EXPECT_EQ(frame[0] | frame[1] | frame[2], 0) << "black frame";
    const uint8_t* inside = b.scanLine(100) + 3 * 250;  // right of the curve's peak
    EXPECT_EQ(inside[2] | inside[1] << 8 | inside[0] << 16, 0xA6FE96) << "background";
  }
  // Cancelled: nothing written.
  Cancelar();
  w->BtSalvarImagem->click();
  EXPECT_EQ(QDir(folder.File("fases")).entryList({"*.bmp"}).size(), 2);
}

TEST_F(HistwinTest, BadFilesRaiseTheRuntimeErrorsAndStopTheOpen) {
  const QString ruim = Fases("ruim.his");
  WriteFile(ruim, "0 0.5\r\n1 abc\r\n");
  const QString curto = Fases("curto.his");
  WriteFile(curto, "0 0.25\r\n\r\n1 0.75\r\n");
  struct Case {
    QStringList files;
    int filter;
    QString message;
  } cases[] = {
      {{ruim}, 5, "Invalid numeric input"},
      {{Fases("falta.his")}, 5, "File not found"},
      {{Fases("a.his"), Fases("falta.his")}, 5, "File not found"},
      {{Fases("falta.pat")}, 2, "File not found"},
  };
  His("a.his", Pico(20));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.files.join(",").toStdString());
    TFormHistograma* w = Novo();
    dialogs->messages.clear();
    Abrir(w, c.files, c.filter);
    EXPECT_EQ(dialogs->Texts(), QStringList{c.message});
    EXPECT_EQ(dialogs->messages.back().kind, MsgKind::Error);
    // Nothing read from a failing file is shown.
    if (c.files.size() == 1) {
      EXPECT_EQ(w->Histograma->Valores(), GreyHistogram{});
    }
  }
  // Several files stop at the failing one: what came before it stays.
  EXPECT_EQ(Nomes(Janelas()[2]), std::vector<std::string>{"a"});

  // A short file with a blank line loads, the missing values 0.
  TFormHistograma* w = Novo();
  dialogs->messages.clear();
  Abrir(w, {curto});
  EXPECT_TRUE(dialogs->messages.empty());
  EXPECT_EQ(w->Histograma->Valores()[0], 0.25);
  EXPECT_EQ(w->Histograma->Valores()[1], 0.75);
  EXPECT_EQ(w->Histograma->Valores()[2], 0.0);

  // A colour image is refused by the 8-bit check.
  Abrir(w, {Imagem("cor.bmp", Bitmap(4, 4, PixelFormat::pf24bit))});
  EXPECT_EQ(dialogs->Texts(), QStringList{"Essa não é uma imagem de 8 bits"});
}

TEST_F(HistwinTest, ComparisonAddsTheImageAndThenTheFittedHistogram) {
  TFormHistograma* w = Novo();
  w->AbrirComparacao(Imagem("amostra.bmp", DuasFases(10, 4, 3)));
  ASSERT_TRUE(w->Histograma->Sobreposicao());
  EXPECT_EQ(Nomes(w), std::vector<std::string>{"amostra"});
  EXPECT_TRUE(w->BtSobrepor->isEnabled());
  EXPECT_EQ(ModoSimples(w), kDesligados);
  EXPECT_EQ(w->BtSalvarHistograma->toolTip(), "Salvar Padrão");
  w->AbrirComparacao(His("H_Ajustado.his", DaImagem()));
  EXPECT_EQ(Nomes(w), (std::vector<std::string>{"amostra", "H_Ajustado"}));
  EXPECT_TRUE(Proximos(w->Histograma->Histogramas()[0].Valores, DaImagem())) << "image";
  EXPECT_EQ(w->QuadradosDaLegenda().size(), 2u);  // rebuilt, not added to
}

}  // namespace
}  // namespace vandrel::testing
