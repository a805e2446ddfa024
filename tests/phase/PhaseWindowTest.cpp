// The phase window driven through the real main window: new phases, selections added from
// image and output windows, undo and redo with the undo log on disk, saving, the close
// rules of both modes, and the failures of the log and of the save.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>
#include <ostream>

#include "app/histograms/ui/UDSHistograma.h"
#include "app/histograms/ui/UHistoFixo.h"
#include "app/histograms/ui/UHistograma.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/MainWindowFixture.h"

// Texts in failure messages, as text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace vandrel::testing {
namespace {

const QByteArray kConfig =
    "[caixa_sobre]\nmostrar_inicio=FALSE\n"
    "[Configuracao_selecao]\nlargura=1\ncor=0\nmarcar=NAO\n";

const char* const kTotal = "Total de pixels selecionados:";
const char* const kNovaFase = "Você deve clicar em \"Nova Fase\"";

// A child window that is not an image window.
class OutraJanela : public TForm {
 public:
  QString ClassName() const override { return "TFormHistograma"; }
};

// 40 x 20, 8 bits: grey level 10 left of column 20, 200 from it on.
Bitmap DuasFases() {
  Bitmap b(40, 20, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) b.scanLine(y)[x] = x < 20 ? 10 : 200;
  return b;
}

// 64 x 48, 8 bits, pixel (x, y) = (7x + y) & 255: every column of a row a different level.
uint8_t Nivel(int x, int y) { return uint8_t((7 * x + y) & 255); }
Bitmap Gradiente() {
  Bitmap b(64, 48, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) b.scanLine(y)[x] = Nivel(x, y);
  return b;
}

GreyCounts Contar(const Bitmap& b, QRect r) {
  GreyCounts c{};
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) ++c[b.scanLine(y)[x]];
  return c;
}

class PhaseWindowTest : public MainWindowTest {
 protected:
  PhaseWindowTest() : MainWindowTest(kConfig) {}
  void SetUp() override {
    MainWindowTest::SetUp();
    Start();  // composition mode
  }

  void Ativar(TForm* form) {
    form->Show();
    Settle();
    ASSERT_EQ(principal->FilhaAtiva(), form);
  }
  // Drags a selection over the image pixels of `r` (zoom 100 %), both corners included.
  static void Selecionar(TFormImagem* w, QRect r) {
    w->ImagezoomMouseDown(Qt::LeftButton, Qt::NoModifier, r.left(), r.top());
    w->ImagezoomMouseMove(Qt::NoModifier, r.right(), r.bottom());
    w->ImagezoomMouseUp(Qt::LeftButton, Qt::NoModifier, r.right(), r.bottom());
  }
  // What the user does: click the image, drag, press F5.
  void Adicionar(TFormImagem* w, QRect r) {
    Ativar(w);
    Selecionar(w, r);
    principal->AdicionarSelecao->trigger();
    Settle();
  }
  TFormHistoFixo* NovaFase() {
    principal->NovaFase->trigger();
    Settle();
    EXPECT_TRUE(principal->JanelaFase);
    return principal->JanelaFase;
  }
  TFormHistoFixo* Fase() const {
    const std::vector<TFormHistoFixo*> fases = FilhasDoTipo<TFormHistoFixo>();
    return fases.empty() ? nullptr : fases.front();
  }
  qint64 TamanhoDoLog() const { return QFileInfo(folder.File("zundo.tmp")).size(); }
  QString Total() const { return principal->JanelaFase->Label1->text(); }
  void EscolherArquivo(const QString& path) { Escolher({path}, 1); }
};

// The expected ".his" text: every level 0 but two.
QByteArray His(int a, const char* va, int b, const char* vb) {
  QByteArray out;
  for (int g = 0; g < 256; ++g)
    out += QByteArray::number(g) + (g == a ? va : g == b ? vb : " 0.00000000000000E+0000") + "\r\n";
  return out;
}

}  // namespace

TEST_F(PhaseWindowTest, NewPhaseOpensAnEmptyWindowAndEmptiesTheLog) {
  Abrir("duas.bmp", DuasFases());
  {
    QFile f(folder.File("zundo.tmp"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(5000, 'x'));
  }
  principal->Desfazer->setEnabled(true);
  TFormHistoFixo* fase = NovaFase();
  ASSERT_TRUE(fase);
  EXPECT_EQ(fase->ClassName(), "TFormHistoFixo");
  EXPECT_EQ(fase->Caption(), "Adicionar Seleção");
  EXPECT_EQ(fase->SubWindow()->windowTitle(), "Adicionar Seleção");
  EXPECT_TRUE(fase->SubWindow()->isVisible());
  EXPECT_EQ(principal->FilhaAtiva(), fase);
  EXPECT_TRUE(principal->FaseAberta);
  EXPECT_EQ(TamanhoDoLog(), 0);
  EXPECT_TRUE(principal->AdicionarSelecao->isEnabled());
  EXPECT_TRUE(principal->BAdicionar->isEnabled());
  EXPECT_TRUE(principal->AdicionarSeleo1->isEnabled());
  EXPECT_TRUE(principal->SalvarFase1->isEnabled());
  EXPECT_FALSE(principal->Desfazer->isEnabled());
  EXPECT_FALSE(principal->Refazer->isEnabled());
  EXPECT_FALSE(fase->Salvo);
  EXPECT_TRUE(fase->NomeArquivo.isEmpty());
  EXPECT_EQ(fase->TotalDePixels, 0);
  EXPECT_EQ(fase->Label1->text(), kTotal);
  EXPECT_EQ(fase->Histograma->ContagemAcumulada(), GreyCounts{});
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(PhaseWindowTest, ControlAndWindowSettings) {
  Abrir("duas.bmp", DuasFases());
  TFormHistoFixo* fase = NovaFase();
  ASSERT_TRUE(fase);
  const TDSHistograma* h = fase->Histograma;
  EXPECT_EQ(h->size(), QSize(264, 188));
  EXPECT_TRUE(h->AtivarTexto());
  EXPECT_EQ(h->Espessura(), 1);
  EXPECT_EQ(h->Fator(), 1.0);
  EXPECT_EQ(h->Tamanho(), hs256);
  EXPECT_EQ(h->Estilo(), eGradiente);
  EXPECT_FALSE(h->GradienteRGB());
  EXPECT_EQ(h->CorDaLinha(), 0x0000FF);
  EXPECT_EQ(h->CorDaLinhaGradiente(), 0);
  EXPECT_EQ(h->NumLinhasHor(), 3);
  EXPECT_EQ(h->NumLinhasVert(), qTodas);
  EXPECT_EQ(h->CorDeFundo(), 0xF0CAA6);
  EXPECT_EQ(h->CorDeDesenho(), 0x800000);
  EXPECT_EQ(fase->BtSalvarHistograma->toolTip(), "Salvar Histograma");
  EXPECT_EQ(fase->BtNovoHisto->toolTip(), "Abrir Novo Histograma ");
  EXPECT_EQ(fase->SaveDialog.filter, "Fases de Materiais (*.his)|*.his");
  // Under the control, inside the window.
  EXPECT_GE(fase->PainelDosBotoes->y(), h->geometry().bottom());
  EXPECT_LE(fase->PainelDosBotoes->geometry().bottom(), fase->height());
  const Qt::WindowFlags flags = fase->SubWindow()->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

// Three selections of 100, 50 and 20 pixels, two undos, a selection of 30, a redo that
// cannot be done, and the save of the result.
TEST_F(PhaseWindowTest, TheExampleRunEndToEnd) {
  TFormImagem* img = Abrir("duas.bmp", DuasFases());
  ASSERT_TRUE(img);
  TFormHistoFixo* fase = NovaFase();
  ASSERT_TRUE(fase);

  struct Step {
    char op;  // 'a' add, 'u' undo, 'r' redo
    QRect sel;
    int total;
    qint64 logSize;
    bool undo, redo;  // the actions afterwards
  };
  const Step steps[] = {
      {'a', QRect(0, 0, 10, 10), 100, 1024, true, false},
      {'a', QRect(20, 0, 10, 5), 150, 2048, true, false},
      {'a', QRect(0, 10, 4, 5), 170, 3072, true, false},
      {'u', {}, 150, 3072, true, true},
      {'u', {}, 100, 3072, true, true},
      {'a', QRect(20, 10, 6, 5), 130, 3072, true, true},  // Refazer is left as it was...
      {'r', {}, 130, 3072, true, false},                  // ...and finds nothing to redo
  };
  int n = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(::testing::Message() << "step " << n++ << " " << s.op);
    if (s.op == 'a')
      Adicionar(img, s.sel);
    else
      (s.op == 'u' ? principal->Desfazer : principal->Refazer)->trigger();
    EXPECT_EQ(fase->TotalDePixels, s.total);
    EXPECT_EQ(fase->Label1->text(), kTotal + QString::number(s.total));
    EXPECT_EQ(TamanhoDoLog(), s.logSize);
    EXPECT_EQ(principal->Desfazer->isEnabled(), s.undo);
    EXPECT_EQ(principal->Refazer->isEnabled(), s.redo);
    EXPECT_EQ(principal->Contagens, GreyCounts{});
  }
  EXPECT_TRUE(fase->PodeDesfazer);
  EXPECT_FALSE(fase->PodeRefazer);
  EXPECT_EQ(fase->Histograma->ContagemAcumulada()[10], 100);
  EXPECT_EQ(fase->Histograma->ContagemAcumulada()[200], 30);
  EXPECT_EQ(principal->FilhaAtiva(), fase);  // each addition shows the phase window
  EXPECT_TRUE(dialogs->messages.empty()) << dialogs->Texts().join("|").toStdString();

  // The first save asks for a name in the "fases" folder.
  EscolherArquivo(folder.File("fases/fase1"));
  principal->SalvarFase->trigger();
  ASSERT_EQ(dialogs->fileDialogs.size(), 2u);  // the open dialog, then the save dialog
  const FileDialogSpec& spec = dialogs->fileDialogs.back();
  EXPECT_EQ(spec.title, "Salvar Arquivo de Histograma");
  EXPECT_EQ(spec.filter, "Fases de Materiais (*.his)|*.his");
  EXPECT_EQ(spec.initialDir, folder.Path() + "fases");
  EXPECT_TRUE(fase->Salvo);
  EXPECT_EQ(fase->NomeArquivo, folder.File("fases/fase1.his"));
  EXPECT_EQ(fase->Caption(), "fase1.his");
  EXPECT_EQ(folder.ReadFile("fases/fase1.his"),
            His(10, " 7.69230769230769E-0001", 200, " 2.30769230769231E-0001"));
  EXPECT_FALSE(QFileInfo::exists(folder.File("fases/fase1")));

  // Later saves write to the same file without a dialog.
  principal->Desfazer->trigger();
  principal->SalvarFase->trigger();
  EXPECT_EQ(dialogs->fileDialogs.size(), 2u);
  EXPECT_EQ(folder.ReadFile("fases/fase1.his"),
            His(10, " 1.00000000000000E+0000", 200, " 0.00000000000000E+0000"));
  EXPECT_EQ(QDir(folder.File("fases")).entryList(QDir::Files), QStringList{"fase1.his"});
}

TEST_F(PhaseWindowTest, SaveNamesGetHisAppendedUnlessTheyHoldIt) {
  struct Case {
    const char* chosen;
    const char* written;
  };
  const Case cases[] = {{"fase1", "fase1.his"},
                        {"FASE1.HIS", "FASE1.HIS.his"},
                        {"ferrita.his", "ferrita.his"},
                        {"a.history", "a.history"},
                        {"b.his.txt", "b.his.txt"}};
  Abrir("duas.bmp", DuasFases());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    TFormHistoFixo* fase = NovaFase();
    ASSERT_TRUE(fase);
    EscolherArquivo(folder.File(QString("fases/") + c.chosen));
    fase->BtSalvarHistograma->click();
    EXPECT_EQ(fase->NomeArquivo, folder.File(QString("fases/") + c.written));
    EXPECT_EQ(fase->Caption(), c.written);
    EXPECT_TRUE(QFileInfo::exists(fase->NomeArquivo));
  }
}

TEST_F(PhaseWindowTest, CancellingTheFirstSaveWritesNothingAndAsksAgainNextTime) {
  Abrir("duas.bmp", DuasFases());
  TFormHistoFixo* fase = NovaFase();
  principal->SalvarFase->trigger();  // no answer queued: cancelled
  EXPECT_FALSE(fase->Salvo);
  EXPECT_TRUE(fase->NomeArquivo.isEmpty());
  EXPECT_EQ(fase->Caption(), "Adicionar Seleção");
  EXPECT_TRUE(QDir(folder.File("fases")).entryList(QDir::Files).isEmpty());
  EscolherArquivo(folder.File("fases/vazia"));
  principal->SalvarFase->trigger();
  EXPECT_EQ(dialogs->fileDialogs.size(), 3u);
  EXPECT_TRUE(fase->Salvo);
  // An empty phase is all zeros.
  EXPECT_EQ(folder.ReadFile("fases/vazia.his"), His(-1, "", -1, ""));
}

TEST_F(PhaseWindowTest, SelectionsCountTheirImagePixelsBothEndsIncluded) {
  const Bitmap b = Gradiente();
  TFormImagem* img = Abrir("grad.bmp", b);
  ASSERT_TRUE(img);
  TFormHistoFixo* fase = NovaFase();
  const QRect cases[] = {QRect(5, 7, 1, 1), QRect(3, 2, 10, 5), QRect(0, 0, 64, 48),
                         QRect(60, 40, 4, 8)};
  GreyCounts expected{};
  for (const QRect& r : cases) {
    SCOPED_TRACE(::testing::Message()
                 << r.x() << "," << r.y() << " " << r.width() << "x" << r.height());
    const int64_t before = fase->TotalDePixels;
    Adicionar(img, r);
    EXPECT_EQ(fase->TotalDePixels - before, int64_t(r.width()) * r.height());
    const GreyCounts c = Contar(b, r);
    for (size_t g = 0; g < 256; ++g) expected[g] += c[g];
    EXPECT_EQ(fase->Histograma->ContagemAcumulada(), expected);
  }
  // A drag past the right and bottom edges stops at the last column and row.
  Ativar(img);
  img->ImagezoomMouseDown(Qt::LeftButton, Qt::NoModifier, 62, 46);
  img->ImagezoomMouseMove(Qt::NoModifier, 63, 47);
  img->ImagezoomMouseMove(Qt::NoModifier, 90, 90);  // outside: ignored
  img->ImagezoomMouseUp(Qt::LeftButton, Qt::NoModifier, 90, 90);
  const int64_t before = fase->TotalDePixels;
  principal->AdicionarSelecao->trigger();
  EXPECT_EQ(fase->TotalDePixels - before, 4);
}

TEST_F(PhaseWindowTest, AResultWindowsSelectionIsCountedOnItsSource) {
  const Bitmap b = Gradiente();
  TFormImagem* img = Abrir("grad.bmp", b);
  ASSERT_TRUE(img);
  // The result holds other pixels: all 255.
  Bitmap outro(64, 48, PixelFormat::pf8bit);
  outro.setPalette(GreyRamp());
  for (int y = 0; y < 48; ++y) std::fill_n(outro.scanLine(y), 64, uint8_t(255));
  TFormImagemSaida* saida = TFormImagemSaida::CreateComOrigem(img, img);
  saida->DefinirBitmap(outro);
  saida->DefinirNome("grad.bmp - Brilho");
  folder.WriteConfig(
      "[caixa_sobre]\nmostrar_inicio=FALSE\n"
      "[Configuracao_selecao]\nlargura=1\ncor=0\nmarcar=SIM\n");
  TFormHistoFixo* fase = NovaFase();

  const QRect r(10, 20, 6, 3);
  Adicionar(saida, r);  // the drag on the result is passed on to the source
  EXPECT_EQ(fase->Histograma->ContagemAcumulada(), Contar(b, r));
  // The marking goes to the window that was counted; the result is left alone.
  EXPECT_EQ(img->CopiaExibida().format(), PixelFormat::pf24bit);
  EXPECT_EQ(saida->CopiaExibida(), saida->BitmapImagem);
  EXPECT_EQ(img->BitmapImagem, b);
}

TEST_F(PhaseWindowTest, MarkingFollowsTheSetting) {
  struct Case {
    const char* marcar;  // null: key absent
    bool marks;
  };
  const Case cases[] = {
      {"SIM", true}, {"NAO", false}, {"", false}, {"sim", false}, {nullptr, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.marcar ? c.marcar : "(absent)");
    QByteArray config = "[caixa_sobre]\nmostrar_inicio=FALSE\n[Configuracao_selecao]\n";
    if (c.marcar) config += QByteArray("marcar=") + c.marcar + "\n";
    folder.WriteConfig(config);
    TFormImagem* img = Abrir("m.bmp", DuasFases());
    ASSERT_TRUE(img);
    TFormHistoFixo* fase = NovaFase();
    const QRect r(18, 2, 4, 3);
    Adicionar(img, r);
    const Bitmap& shown = img->CopiaExibida();
    EXPECT_EQ(img->BitmapImagem, DuasFases());  // the image itself is never painted
    if (!c.marks) {
      EXPECT_EQ(shown, img->BitmapImagem);
    } else {
      ASSERT_EQ(shown.format(), PixelFormat::pf24bit);
      for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
          const uint8_t* p = shown.scanLine(y) + 3 * x;
          const uint8_t grey = x < 20 ? 10 : 200;
          const bool inside = r.contains(x, y);
          ASSERT_EQ(p[0], inside ? 255 : grey) << x << "," << y;
          ASSERT_EQ(p[1], inside ? 0 : grey) << x << "," << y;
          ASSERT_EQ(p[2], inside ? 0 : grey) << x << "," << y;
        }
    }
    fase->Close();
    img->Close();
    Settle();
  }
}

TEST_F(PhaseWindowTest, MessagesWhenTheSelectionCannotBeAdded) {
  // No image window at all (the commands are off then; their handlers still check).
  principal->AdicionarSelecaoExecute();
  principal->MostrarHistogramaExecute();
  EXPECT_EQ(dialogs->Texts(), (QStringList{"Primeiro deve-se abrir uma imagem",
                                           "Você deve primeiro abrir uma imagem"}));
  EXPECT_FALSE(Fase());
  dialogs->messages.clear();

  TFormImagem* img = Abrir("duas.bmp", DuasFases());
  ASSERT_TRUE(img);
  // An image but no phase (the command is off until the first phase): the counts are
  // dropped.
  Ativar(img);
  Selecionar(img, QRect(0, 0, 3, 3));
  principal->AdicionarSelecaoExecute();
  EXPECT_EQ(dialogs->Texts(), QStringList{kNovaFase});
  EXPECT_EQ(principal->Contagens, GreyCounts{});
  EXPECT_TRUE(principal->Desfazer->isEnabled());
  dialogs->messages.clear();

  // The phase window itself is active after a new phase; any other window likewise.
  TFormHistoFixo* fase = NovaFase();
  principal->AdicionarSelecao->trigger();
  auto* outra = new OutraJanela;
  principal->AdicionarFilha(outra);
  Ativar(outra);
  principal->AdicionarSelecao->trigger();
  EXPECT_EQ(dialogs->Texts(), (QStringList{"Selecione uma imagem!", "Selecione uma imagem!"}));
  EXPECT_EQ(fase->TotalDePixels, 0);
  EXPECT_EQ(TamanhoDoLog(), 0);
  for (const ScriptedDialogs::Shown& m : dialogs->messages) {
    EXPECT_EQ(m.kind, MsgKind::Information);
    EXPECT_EQ(m.buttons, mbOK);
  }
}

TEST_F(PhaseWindowTest, OnlyEightBitImagesAreCounted) {
  Bitmap cor(30, 10, PixelFormat::pf24bit);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 90; ++x) cor.scanLine(y)[x] = uint8_t(x);
  TFormImagem* img = Abrir("cor.bmp", cor);
  ASSERT_TRUE(img);
  TFormHistoFixo* fase = NovaFase();
  Adicionar(img, QRect(0, 0, 5, 5));
  EXPECT_EQ(dialogs->Texts(), QStringList{"Essa não é uma imagem de 8 bits"});
  EXPECT_EQ(fase->TotalDePixels, 0);
  EXPECT_EQ(fase->Histograma->ContagemAcumulada(), GreyCounts{});
  EXPECT_EQ(TamanhoDoLog(), 0);
  EXPECT_EQ(principal->Contagens, GreyCounts{});
}

TEST_F(PhaseWindowTest, UndoAndRedoRightAfterANewPhaseChangeNothing) {
  Abrir("duas.bmp", DuasFases());
  TFormHistoFixo* fase = NovaFase();
  // The timer of composition mode switches both on again while an image is open.
  principal->CompoComImagem->trigger();
  principal->Desfazer->trigger();
  EXPECT_FALSE(principal->Desfazer->isEnabled());
  EXPECT_FALSE(principal->Refazer->isEnabled());
  principal->CompoComImagem->trigger();
  principal->Refazer->trigger();
  EXPECT_FALSE(principal->Refazer->isEnabled());
  EXPECT_EQ(fase->Label1->text(), kTotal);
  EXPECT_EQ(fase->Histograma->Valores(), GreyHistogram{});
  EXPECT_EQ(fase->Histograma->ContagemAcumulada(), GreyCounts{});
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(PhaseWindowTest, UndoWithoutAPhaseWindowDoesNothing) {
  Abrir("duas.bmp", DuasFases());
  principal->CompoComImagem->trigger();
  principal->Desfazer->trigger();
  principal->Refazer->trigger();
  EXPECT_TRUE(principal->Desfazer->isEnabled());
  EXPECT_TRUE(principal->Refazer->isEnabled());
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(PhaseWindowTest, NewPhaseAsksAboutAnUnsavedPhaseOnly) {
  TFormImagem* img = Abrir("duas.bmp", DuasFases());
  QPointer<TFormHistoFixo> primeira = NovaFase();
  Adicionar(img, QRect(0, 0, 2, 2));

  // Unsaved, answered No: not saved, closed, replaced by an empty phase.
  dialogs->answers.push_back(mbNo);
  QPointer<TFormHistoFixo> segunda = NovaFase();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, "Deseja salvar as alterações em \r?");
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Confirmation);
  EXPECT_EQ(dialogs->messages[0].buttons, mbYes | mbNo);
  EXPECT_FALSE(primeira);
  EXPECT_NE(segunda, nullptr);
  EXPECT_EQ(principal->JanelaFase, segunda);
  EXPECT_EQ(TamanhoDoLog(), 0);
  EXPECT_EQ(dialogs->fileDialogs.size(), 1u);  // only the open dialog

  // Unsaved, answered Yes: the save dialog asks for the name.
  Adicionar(img, QRect(20, 0, 1, 3));
  dialogs->answers.push_back(mbYes);
  EscolherArquivo(folder.File("fases/duas"));
  QPointer<TFormHistoFixo> terceira = NovaFase();
  EXPECT_FALSE(segunda);
  EXPECT_EQ(folder.ReadFile("fases/duas.his"), His(200, " 1.00000000000000E+0000", -1, ""));

  // Saved before: no question.
  Adicionar(img, QRect(0, 0, 1, 1));
  EscolherArquivo(folder.File("fases/tres"));
  principal->SalvarFase->trigger();
  const size_t shown = dialogs->messages.size();
  NovaFase();
  EXPECT_EQ(dialogs->messages.size(), shown);
  EXPECT_FALSE(terceira);
  std::vector<TFormHistoFixo*> fases;
  for (TForm* f : principal->Filhas())
    if (auto* p = dynamic_cast<TFormHistoFixo*>(f)) fases.push_back(p);
  EXPECT_EQ(fases.size(), 1u);  // at most one phase window
}

TEST_F(PhaseWindowTest, ClosingInCompositionModeLeavesAddOnAndAsksForANewPhase) {
  TFormImagem* img = Abrir("duas.bmp", DuasFases());
  NovaFase();
  Adicionar(img, QRect(0, 0, 2, 2));
  principal->JanelaFase->Close();
  Settle();
  EXPECT_FALSE(Fase());
  EXPECT_FALSE(principal->FaseAberta);
  EXPECT_FALSE(principal->BAdicionar->isEnabled());
  EXPECT_FALSE(principal->Desfazer->isEnabled());
  EXPECT_FALSE(principal->Refazer->isEnabled());
  EXPECT_TRUE(principal->AdicionarSelecao->isEnabled());
  EXPECT_TRUE(principal->SalvarFase->isEnabled());
  EXPECT_EQ(TamanhoDoLog(), 1024);         // the log stays on disk
  EXPECT_TRUE(dialogs->messages.empty());  // an unsaved phase closed directly goes quietly

  Adicionar(img, QRect(0, 0, 2, 2));  // F5
  EXPECT_EQ(dialogs->Texts(), QStringList{kNovaFase});
  EXPECT_EQ(principal->Contagens, GreyCounts{});
  principal->SalvarFase->trigger();  // nothing to save
  EXPECT_EQ(dialogs->fileDialogs.size(), 1u);
}

TEST_F(PhaseWindowTest, ClosingInAnalysisModeSwitchesThePhaseCommandsBack) {
  TFormImagem* img = Abrir("duas.bmp", DuasFases());
  NovaFase();
  Adicionar(img, QRect(0, 0, 2, 2));
  principal->Analise->trigger();  // the children stay open
  ASSERT_TRUE(Fase());
  principal->NovaFase->setEnabled(false);
  principal->SalvarFase->setEnabled(true);
  principal->AdicionarSelecao->setEnabled(true);
  principal->Contagens[7] = 3;
  principal->JanelaFase->Close();
  Settle();
  EXPECT_FALSE(Fase());
  EXPECT_TRUE(principal->NovaFase->isEnabled());
  EXPECT_FALSE(principal->AdicionarSelecao->isEnabled());
  EXPECT_FALSE(principal->SalvarFase->isEnabled());
  EXPECT_FALSE(principal->FaseAberta);
  EXPECT_FALSE(principal->BAdicionar->isEnabled());
  EXPECT_FALSE(principal->Desfazer->isEnabled());
  EXPECT_FALSE(principal->Refazer->isEnabled());
  EXPECT_EQ(principal->Contagens, GreyCounts{});
}

// Entering composition mode closes every child through its own close handler; a phase that
// was never saved is asked about first. "Cancelar", or "Sim" whose save dialog is
// cancelled, keeps every window and the analysis mode; "Não" drops the phase; "Sim" saves
// it. Either way a following "Nova Fase" asks nothing more.
TEST_F(PhaseWindowTest, EnteringCompositionModeAsksAboutAnUnsavedPhase) {
  const QString pergunta = "Deseja salvar as alterações em \r?";
  struct Case {
    const char* name;
    int answer;
    const char* file;  // answer of the save dialog; null cancels it
    bool kept;
  } cases[] = {
      {"Cancelar", mbCancel, nullptr, true},
      {"Sim, save cancelled", mbYes, nullptr, true},
      {"Não", mbNo, nullptr, false},
      {"Sim", mbYes, "fases/modo", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!Fase()) {
      TFormImagem* img = Abrir("duas.bmp", DuasFases());
      NovaFase();
      Adicionar(img, QRect(0, 0, 2, 2));
      principal->Analise->trigger();
      Settle();
    }
    ASSERT_TRUE(principal->EmModoAnalise());
    const size_t filhas = principal->Filhas().size();
    dialogs->messages.clear();
    dialogs->answers.push_back(c.answer);
    if (c.file) EscolherArquivo(folder.File(c.file));
    principal->Composicao->trigger();
    Settle();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, pergunta);
    EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Confirmation);
    EXPECT_EQ(dialogs->messages[0].buttons, mbYes | mbNo | mbCancel);
    if (c.file) {
      EXPECT_EQ(folder.ReadFile(QString(c.file) + ".his"),
                His(10, " 1.00000000000000E+0000", -1, ""));
    }
    if (c.kept) {
      EXPECT_TRUE(Fase());
      EXPECT_TRUE(principal->FaseAberta);
      EXPECT_EQ(principal->Filhas().size(), filhas);
      EXPECT_TRUE(principal->EmModoAnalise());
      EXPECT_FALSE(principal->Composicao->isChecked());
      EXPECT_FALSE(principal->BModoComposicao->isChecked());
      EXPECT_EQ(principal->TextoStatus(), "Modo de Análise");
      continue;
    }
    EXPECT_TRUE(principal->Filhas().empty());
    EXPECT_FALSE(principal->FaseAberta);
    EXPECT_FALSE(principal->JanelaFase);
    EXPECT_TRUE(principal->Composicao->isChecked());
    EXPECT_EQ(principal->TextoStatus(), "Modo de Composição");
    EXPECT_EQ(TFormImagem::ContadorDeImagens, 0);
    dialogs->messages.clear();
    principal->NovaFaseExecute();
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_TRUE(Fase());
    principal->JanelaFase->Close();
    Settle();
  }
}

TEST_F(PhaseWindowTest, ShowingThePhaseMakesOneOrBringsItBack) {
  TFormImagem* img = Abrir("duas.bmp", DuasFases());
  principal->MostrarHistograma->trigger();
  Settle();
  TFormHistoFixo* fase = Fase();
  ASSERT_TRUE(fase);
  EXPECT_EQ(principal->JanelaFase, fase);
  EXPECT_TRUE(principal->AdicionarSelecao->isEnabled());
  Ativar(img);
  principal->MostrarHistograma->trigger();
  Settle();
  EXPECT_EQ(Fase(), fase);
  EXPECT_EQ(principal->FilhaAtiva(), fase);
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(PhaseWindowTest, TheNewHistogramButtonOpensACopyAndLeavesThePhaseAsItIs) {
  TFormImagem* img = Abrir("duas.bmp", DuasFases());
  TFormHistoFixo* fase = NovaFase();
  Adicionar(img, QRect(0, 0, 2, 2));
  const size_t children = principal->Filhas().size();
  fase->BtNovoHisto->click();
  EXPECT_EQ(fase->TotalDePixels, 4);
  ASSERT_EQ(principal->Filhas().size(), children + 1);
  auto* copia = dynamic_cast<TFormHistograma*>(principal->Filhas().back());
  ASSERT_NE(copia, nullptr);
  EXPECT_EQ(copia->Histograma->Valores(), fase->Histograma->Valores());
  EXPECT_TRUE(dialogs->messages.empty());
}

// ---- Failures of the undo log and of the save ----

TEST_F(PhaseWindowTest, AnUndoLogThatCannotBeCreatedStopsTheAddition) {
  ASSERT_TRUE(QDir(folder.Path()).mkdir("zundo.tmp"));  // a folder is in the way
  TFormImagem* img = Abrir("duas.bmp", DuasFases());
  TFormHistoFixo* fase = NovaFase();  // the window opens; nothing is recorded yet
  ASSERT_TRUE(fase);
  EXPECT_TRUE(dialogs->messages.empty());
  Adicionar(img, QRect(0, 0, 10, 10));
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  EXPECT_TRUE(dialogs->messages[0].text.contains(folder.File("zundo.tmp")))
      << dialogs->messages[0].text.toStdString();
  EXPECT_EQ(fase->TotalDePixels, 0);
  EXPECT_EQ(fase->Label1->text(), kTotal);
  EXPECT_EQ(fase->Histograma->ContagemAcumulada(), GreyCounts{});
  EXPECT_EQ(principal->Contagens, GreyCounts{});  // not carried into the next addition
  EXPECT_FALSE(fase->PodeDesfazer);
  // Nothing to undo either.
  principal->Desfazer->setEnabled(true);
  principal->Desfazer->trigger();
  EXPECT_EQ(fase->TotalDePixels, 0);
  // Once the way is clear the log is created and works.
  ASSERT_TRUE(QDir(folder.Path()).rmdir("zundo.tmp"));
  Adicionar(img, QRect(0, 0, 2, 2));
  EXPECT_EQ(fase->TotalDePixels, 4);
  EXPECT_EQ(TamanhoDoLog(), 1024);
}

TEST_F(PhaseWindowTest, AFullDiskDuringAnAdditionLeavesHistogramAndLogInStep) {
  TFormImagem* img = Abrir("duas.bmp", DuasFases());
  TFormHistoFixo* fase = NovaFase();
  Adicionar(img, QRect(0, 0, 10, 10));
  {
    FileSizeLimit full(1024 + 100);
    Adicionar(img, QRect(20, 0, 10, 5));
  }
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  EXPECT_TRUE(dialogs->messages[0].text.contains("Disk full"))
      << dialogs->messages[0].text.toStdString();
  EXPECT_EQ(fase->TotalDePixels, 100);
  EXPECT_EQ(fase->Histograma->ContagemAcumulada()[200], 0);
  EXPECT_EQ(principal->Contagens, GreyCounts{});
  // Undo takes back exactly what the histogram holds.
  principal->Desfazer->trigger();
  EXPECT_EQ(fase->TotalDePixels, 0);
  EXPECT_EQ(fase->Histograma->ContagemAcumulada(), GreyCounts{});
  EXPECT_FALSE(principal->Desfazer->isEnabled());
  EXPECT_TRUE(principal->Refazer->isEnabled());
  principal->Refazer->trigger();
  EXPECT_EQ(fase->TotalDePixels, 100);
}

TEST_F(PhaseWindowTest, AFullDiskDuringASaveKeepsTheEarlierFile) {
  TFormImagem* img = Abrir("duas.bmp", DuasFases());
  TFormHistoFixo* fase = NovaFase();
  Adicionar(img, QRect(0, 0, 10, 10));
  EscolherArquivo(folder.File("fases/ferrita"));
  principal->SalvarFase->trigger();
  const QByteArray before = folder.ReadFile("fases/ferrita.his");
  ASSERT_EQ(before, His(10, " 1.00000000000000E+0000", -1, ""));
  Adicionar(img, QRect(20, 0, 10, 5));
  {
    FileSizeLimit full(2000);  // less than a histogram file
    principal->SalvarFase->trigger();
  }
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  EXPECT_EQ(folder.ReadFile("fases/ferrita.his"), before);
  EXPECT_EQ(QDir(folder.File("fases")).entryList(QDir::Files), QStringList{"ferrita.his"});
  EXPECT_TRUE(fase->Salvo);
  // With room again the next save goes through.
  principal->SalvarFase->trigger();
  EXPECT_NE(folder.ReadFile("fases/ferrita.his"), before);
}

TEST_F(PhaseWindowTest, AFailedFirstSaveLeavesThePhaseUnsaved) {
  TFormImagem* img = Abrir("duas.bmp", DuasFases());
  TFormHistoFixo* fase = NovaFase();
  Adicionar(img, QRect(0, 0, 10, 10));
  EscolherArquivo(folder.File("nao/existe/fase"));  // a folder that is not there
  principal->SalvarFase->trigger();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  EXPECT_FALSE(fase->Salvo);
  EXPECT_EQ(fase->Caption(), "Adicionar Seleção");
  // So a new phase still asks about it.
  dialogs->answers.push_back(mbNo);
  NovaFase();
  EXPECT_EQ(dialogs->messages.size(), 2u);
  EXPECT_EQ(dialogs->messages[1].kind, MsgKind::Confirmation);
}

// A second "Nova Fase" closes the open phase (whose close handler switches the add button
// off) and must leave the add commands on for the new phase, whether or not the old phase
// was saved.
TEST_F(PhaseWindowTest, SecondNewPhaseLeavesTheAddCommandsOn) {
  const struct {
    const char* name;
    bool salvar;
  } cases[] = {{"unsaved, answered No", false}, {"saved before", true}};
  TFormImagem* img = Abrir("duas.bmp", DuasFases());
  ASSERT_TRUE(img);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    NovaFase();
    Adicionar(img, QRect(0, 0, 2, 2));
    if (c.salvar) {
      EscolherArquivo(folder.File(QString("fases/%1").arg(c.salvar)));
      principal->SalvarFase->trigger();
    } else {
      dialogs->answers.push_back(mbNo);
    }
    TFormHistoFixo* nova = NovaFase();
    ASSERT_TRUE(nova);
    EXPECT_TRUE(principal->FaseAberta);
    EXPECT_TRUE(principal->BAdicionar->isEnabled());
    EXPECT_TRUE(principal->AdicionarSeleo1->isEnabled());
    EXPECT_TRUE(principal->SalvarFase1->isEnabled());
    // The button adds to the new phase.
    Ativar(img);
    principal->BAdicionar->click();
    EXPECT_EQ(nova->TotalDePixels, 4);
  }
}

// The selection is counted on the image pixels the user dragged over, whatever zoom
// commands and right clicks came after: a 6 x 6 selection made at 200 % counts 36 pixels
// each time.
TEST_F(PhaseWindowTest, ZoomsAndRightClicksKeepTheCountedPixels) {
  const Bitmap b = Gradiente();
  TFormImagem* img = Abrir("grad.bmp", b);
  ASSERT_TRUE(img);
  TFormHistoFixo* fase = NovaFase();
  Ativar(img);
  for (int i = 0; i < 5; ++i) principal->ZoomIn->trigger();  // 200 %
  Selecionar(img, QRect(QPoint(10, 10), QPoint(21, 21)));    // image pixels 5..10
  const GreyCounts seis = Contar(b, QRect(5, 5, 6, 6));
  auto rightClick = [img] {
    const QPoint at(img->Imagezoom->width() / 3, img->Imagezoom->height() / 3);
    const QPointF global = img->Imagezoom->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(img->Imagezoom, &press);
    QCoreApplication::sendEvent(img->Imagezoom, &release);
    img->PopupMenu1->hide();
  };
  const struct {
    const char* name;
    std::function<void()> act;
  } steps[] = {
      {"nothing", [] {}},
      {"a right click", rightClick},
      {"Zoom Normal and a right click",
       [&] {
         principal->ZoomNormal1->trigger();
         rightClick();
       }},
      {"Zoom In and a right click",
       [&] {
         principal->ZoomIn->trigger();
         rightClick();
       }},
      {"two Zoom Out and a right click",
       [&] {
         principal->ZoomOut->trigger();
         principal->ZoomOut->trigger();
         rightClick();
       }},
  };
  GreyCounts expected{};
  const size_t mensagens = dialogs->messages.size();
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    Ativar(img);  // adding showed the phase window
    s.act();
    Ativar(img);
    const int64_t before = fase->TotalDePixels;
    principal->AdicionarSelecao->trigger();
    Settle();
    EXPECT_EQ(fase->TotalDePixels - before, 36);
    for (size_t g = 0; g < 256; ++g) expected[g] += seis[g];
    EXPECT_EQ(fase->Histograma->ContagemAcumulada(), expected);
  }
  EXPECT_EQ(dialogs->messages.size(), mensagens);  // every command reached the image
}

}  // namespace vandrel::testing
