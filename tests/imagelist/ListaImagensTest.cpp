// The image-list window through its controls: adding and removing images, saving and
// opening lists, the pattern, the phases shown per image and the method dialog.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QToolButton>

#include "app/analysis/model/ImageListFile.h"
#include "app/analysis/ui/MetodoDialog.h"
#include "app/analysis/ui/UHistoVis.h"
#include "app/analysis/ui/UResultado.h"
#include "app/histograms/ui/UDSHistograma.h"
#include "app/histograms/ui/UListaDeFases.h"
#include "tests/imagelist/ImageListTestUtil.h"
#include "tests/support/TempDir.h"

namespace vandrel::testing {
namespace {

QStringList Linhas(const TFormListaImagens& w) {
  QStringList out;
  for (int i = 0; i < w.ListaDeImagens->count(); ++i) out << w.ListaDeImagens->item(i)->text();
  return out;
}

TFasesVisiveis Flags(std::initializer_list<bool> first) {
  TFasesVisiveis f;
  f.fill(true);
  size_t i = 0;
  for (bool b : first) f[i++] = b;
  return f;
}

class ListaImagensTest : public ImageListTest {
 protected:
  void SetUp() override {
    ImageListTest::SetUp();
    w = Lista();
    ASSERT_TRUE(w);
  }
  // Adds images through the add button.
  void Adicionar(const QStringList& files) {
    Escolher(files);
    w->AdicionarImagens->click();
  }
  QStringList Tres() {
    return {Imagem("a.bmp", Cinza(4, 10)), Imagem("b.bmp", Cinza(4, 20)),
            Imagem("c.bmp", Cinza(4, 30))};
  }
  // Clicks line `i` of the list (with Ctrl: adds it to the selection).
  void Selecionar(int i, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QListWidget* l = w->ListaDeImagens;
    Click(l->viewport(), l->visualItemRect(l->item(i)).center(), Qt::LeftButton, m);
  }
  void Escolher(const QStringList& files, int filterIndex = 1) {
    ImageListTest::Escolher(files, filterIndex);
  }
  void EscolherPadrao(const std::string& pat) {
    Escolher({QString::fromStdString(pat)});
    w->BtPadrao->click();
  }
  std::vector<std::string> Caminhos(const QStringList& files) {
    std::vector<std::string> out;
    for (const QString& f : files) out.push_back(f.toStdString());
    return out;
  }

  TFormListaImagens* w = nullptr;
};

TEST_F(ListaImagensTest, StartsEmptyWithOnlyTheOpeningButtonsOn) {
  EXPECT_EQ(w->Caption(), "Nova Lista");
  ASSERT_TRUE(w->SubWindow());
  EXPECT_EQ(w->SubWindow()->windowTitle(), "Nova Lista");
  EXPECT_EQ(w->size(), QSize(225, 381));
  EXPECT_EQ(w->ListaDeImagens->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_TRUE(w->BAbrirLista->isEnabled());
  EXPECT_TRUE(w->AdicionarImagens->isEnabled());
  EXPECT_TRUE(w->BtPadrao->isEnabled());
  EXPECT_TRUE(w->sbAnalise->isEnabled());
  EXPECT_FALSE(w->BSalvarLista->isEnabled());
  EXPECT_FALSE(w->ExcluirImagens->isEnabled());
  EXPECT_FALSE(w->BAnalisar->isEnabled());
  EXPECT_EQ(w->BAbrirLista->toolTip(), "Abrir Lista de Imagens");
  EXPECT_EQ(w->BSalvarLista->toolTip(), "Salvar Lista Atual");
  EXPECT_EQ(w->ExcluirImagens->toolTip(), "Excluir Imagens Selecionadas");
  EXPECT_EQ(w->AdicionarImagens->toolTip(), "Adicionar Imagens");
  EXPECT_EQ(w->BAnalisar->text(), "Analisar");
  EXPECT_EQ(w->BtPadrao->text(), "Padrão");
  EXPECT_EQ(w->BtPadrao->toolTip(), "Escolher Padrão");
  EXPECT_EQ(w->sbAnalise->text(), "Análise");
  EXPECT_EQ(w->sbAnalise->toolTip(), "Escolher Padrão");
  EXPECT_EQ(w->Label1->text(), "nenhum");
  EXPECT_TRUE(w->Label1->font().bold());
  EXPECT_EQ(w->lbMetodo->text(), "SVD");
  EXPECT_EQ(w->Metodo, 2);
  EXPECT_FALSE(w->ComVinculo);
  EXPECT_EQ(w->Limiares.n, 0);
  EXPECT_FALSE(w->MetodoDefinido);
  EXPECT_TRUE(w->ArquivoPadrao.empty());
}

TEST_F(ListaImagensTest, AddedImagesGoToTheEndOfTheThreeLists) {
  const QStringList img = Tres();
  Adicionar({img[0], img[1]});
  ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
  const FileDialogSpec& spec = dialogs->fileDialogs[0];
  EXPECT_EQ(spec.title, "Adicionar Imagem");
  EXPECT_EQ(spec.filter,
            "Todas as Imagems (*.tif,*.bmp,*.gif,*.grey)|*.gif;*.tif;*.bmp;*.grey|Bitmaps do "
            "Windows|*.bmp|Bitmaps Tiff|*.tif|Imagens Grey|*.grey|Bitmaps Compu Serve|*.gif");
  EXPECT_EQ(spec.initialDir, folder.Path() + "imagens");
  EXPECT_TRUE(spec.fileName.isEmpty());
  EXPECT_TRUE(spec.multiSelect);
  EXPECT_EQ(Linhas(*w), (QStringList{"a.bmp", "b.bmp"}));
  EXPECT_EQ(w->CaminhosImagens, Caminhos({img[0], img[1]}));
  EXPECT_EQ(w->FasesVisiveis, (std::vector<TFasesVisiveis>(2, Flags({}))));
  EXPECT_TRUE(w->BAnalisar->isEnabled());
  EXPECT_TRUE(w->BSalvarLista->isEnabled());
  // An image already listed is added again, after the others.
  Adicionar({img[2], img[0]});
  EXPECT_EQ(Linhas(*w), (QStringList{"a.bmp", "b.bmp", "c.bmp", "a.bmp"}));
  EXPECT_EQ(w->CaminhosImagens.size(), 4u);
  EXPECT_EQ(w->FasesVisiveis.size(), 4u);
}

TEST_F(ListaImagensTest, ACancelledAddLeavesTheButtonsByTheList) {
  Cancelar();
  w->AdicionarImagens->click();
  EXPECT_FALSE(w->BAnalisar->isEnabled());
  EXPECT_FALSE(w->BSalvarLista->isEnabled());
  Adicionar({Tres()[0]});
  Cancelar();
  w->AdicionarImagens->click();
  EXPECT_TRUE(w->BAnalisar->isEnabled());
  EXPECT_EQ(Linhas(*w), QStringList{"a.bmp"});
}

TEST_F(ListaImagensTest, RemovingImagesKeepsEachImageWithItsFlags) {
  const QStringList img = Tres();
  Adicionar(img);
  w->FasesVisiveis[1] = Flags({false, true, false});
  w->FasesVisiveis[2] = Flags({true, false});
  EXPECT_FALSE(w->ExcluirImagens->isEnabled());
  Selecionar(0);
  EXPECT_TRUE(w->ExcluirImagens->isEnabled());
  w->ExcluirImagens->click();
  EXPECT_EQ(Linhas(*w), (QStringList{"b.bmp", "c.bmp"}));
  EXPECT_EQ(w->CaminhosImagens, Caminhos({img[1], img[2]}));
  EXPECT_EQ(w->FasesVisiveis[0], Flags({false, true, false}));
  EXPECT_EQ(w->FasesVisiveis[1], Flags({true, false}));
  EXPECT_FALSE(w->ExcluirImagens->isEnabled());
  EXPECT_TRUE(w->BAnalisar->isEnabled());
  // The Delete key in the list removes the selection too; the last removal turns the list
  // buttons off.
  Selecionar(0);
  Selecionar(1, Qt::ControlModifier);
  Key(w->ListaDeImagens, Qt::Key_Delete);
  EXPECT_TRUE(Linhas(*w).isEmpty());
  EXPECT_TRUE(w->CaminhosImagens.empty());
  EXPECT_TRUE(w->FasesVisiveis.empty());
  EXPECT_FALSE(w->BAnalisar->isEnabled());
  EXPECT_FALSE(w->BSalvarLista->isEnabled());
  EXPECT_FALSE(w->ExcluirImagens->isEnabled());
}

TEST_F(ListaImagensTest, RemovingScatteredEntriesKeepsTheRestInOrder) {
  QStringList img;
  for (int k = 0; k < 6; ++k) img << Imagem(QString("i%1.bmp").arg(k), Cinza(2, k));
  Adicionar(img);
  for (int k = 0; k < 6; ++k) w->FasesVisiveis[size_t(k)][size_t(k)] = false;
  Selecionar(1);
  Selecionar(2, Qt::ControlModifier);
  Selecionar(4, Qt::ControlModifier);
  w->ExcluirImagens->click();
  EXPECT_EQ(Linhas(*w), (QStringList{"i0.bmp", "i3.bmp", "i5.bmp"}));
  EXPECT_EQ(w->CaminhosImagens, Caminhos({img[0], img[3], img[5]}));
  EXPECT_FALSE(w->FasesVisiveis[0][0]);
  EXPECT_FALSE(w->FasesVisiveis[1][3]);
  EXPECT_FALSE(w->FasesVisiveis[2][5]);
}

TEST_F(ListaImagensTest, SavedListsGetTheFiltersExtensionAndNameTheWindow) {
  const QStringList img = Tres();
  Adicionar(img);
  const std::string esperado = "3\r\n" + img[0].toStdString() + "\r\n" + img[1].toStdString() +
                               "\r\n" + img[2].toStdString() + "\r\n";
  struct Case {
    const char* typed;
    int filter;
    const char* written;
  } cases[] = {{"lote.LST", 1, "lote.LST.lst"},
               {"lote.lst", 1, "lote.lst"},
               {"outro", 1, "outro.lst"},
               {"texto", 2, "texto.txt"}};
  for (const Case& c : cases) {
    dialogs->fileDialogs.clear();
    Escolher({folder.File(QString("listaimagens/") + c.typed)}, c.filter);
    w->BSalvarLista->click();
    ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs->fileDialogs[0].title, "Salvar Lista");
    EXPECT_EQ(dialogs->fileDialogs[0].filter,
              "Lista de Imagens (*.lst)|*.lst|Arquivo de texto (*.txt)|*.txt");
    EXPECT_EQ(dialogs->fileDialogs[0].initialDir, folder.Path() + "listaimagens");
    EXPECT_EQ(folder.ReadFile(QString("listaimagens/") + c.written).toStdString(), esperado)
        << c.typed;
    EXPECT_EQ(w->Caption(), c.typed);
  }
  EXPECT_FALSE(QFile::exists(folder.File("listaimagens/lote.LST")));
}

TEST_F(ListaImagensTest, ASaveThatFailsReportsItAndKeepsTheCaption) {
  Adicionar({Tres()[0]});
  Escolher({folder.File("nao/existe/lote.lst")});
  w->BSalvarLista->click();
  EXPECT_EQ(dialogs->Texts(), QStringList{"Invalid filename"});
  EXPECT_EQ(w->Caption(), "Nova Lista");
  // A cancelled save writes nothing.
  Cancelar();
  w->BSalvarLista->click();
  EXPECT_TRUE(QDir(folder.File("listaimagens")).isEmpty());
}

TEST_F(ListaImagensTest, AReloadedListHasThePathsButNoMarksOrFlags) {
  const QStringList img = Tres();
  Adicionar(img);
  EscolherPadrao(Padrao("p", FasesEm({20, 200})));
  w->FasesVisiveis[0] = Flags({false});
  w->ListaDeImagens->item(0)->setText("*a.bmp");
  Escolher({folder.File("listaimagens/lote.lst")});
  w->BSalvarLista->click();
  const QByteArray salvo = folder.ReadFile("listaimagens/lote.lst");

  dialogs->fileDialogs.clear();
  Escolher({folder.File("listaimagens/lote.lst")});
  w->BAbrirLista->click();
  ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_EQ(dialogs->fileDialogs[0].title, "Abrir Lista");
  EXPECT_EQ(dialogs->fileDialogs[0].filter,
            "Lista de Imagens (*.lst)|*.lst|Arquivo de texto (*.txt)|*.txt");
  EXPECT_EQ(dialogs->fileDialogs[0].initialDir, folder.Path() + "listaimagens");
  EXPECT_EQ(Linhas(*w), (QStringList{"a.bmp", "b.bmp", "c.bmp"}));
  EXPECT_EQ(w->CaminhosImagens, Caminhos(img));
  EXPECT_EQ(w->FasesVisiveis, (std::vector<TFasesVisiveis>(3, Flags({}))));
  EXPECT_EQ(w->Caption(), "lote.lst");
  EXPECT_EQ(w->Label1->text(), "p");  // the pattern stays
  // Saved again, the file is the same to the byte.
  Escolher({folder.File("listaimagens/lote.lst")});
  w->BSalvarLista->click();
  EXPECT_EQ(folder.ReadFile("listaimagens/lote.lst"), salvo);
}

TEST_F(ListaImagensTest, AnEmptyListEmptiesTheWindowAndStillAllowsAnalysis) {
  Adicionar(Tres());
  QFile f(folder.File("listaimagens/vazia.lst"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("0\r\n");
  f.close();
  w->CarregarLista(f.fileName());
  EXPECT_TRUE(Linhas(*w).isEmpty());
  EXPECT_TRUE(w->CaminhosImagens.empty());
  EXPECT_TRUE(w->BAnalisar->isEnabled());
  EXPECT_TRUE(w->BSalvarLista->isEnabled());
  EXPECT_EQ(w->Caption(), "vazia.lst");
}

TEST_F(ListaImagensTest, DamagedListsAreReportedAfterTheListWasCleared) {
  struct Case {
    const char* name;
    QByteArray bytes;
    const char* message;
    QStringList left;
  } cases[] = {
      {"texto.lst", "tres\r\na\r\n", "Invalid numeric input", {}},
      {"enorme.lst", "2147483647\r\n/x/um.bmp\r\n/x/dois.bmp\r\n", nullptr, {"um.bmp", "dois.bmp"}},
      {"ausente.lst", QByteArray(), "File not found", {}},
  };
  for (const Case& c : cases) {
    Adicionar({Tres()[0]});
    dialogs->messages.clear();
    const QString path = folder.File(QString("listaimagens/") + c.name);
    if (!c.bytes.isNull()) {
      QFile f(path);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write(c.bytes);
    }
    Escolher({path});
    w->BAbrirLista->click();
    EXPECT_EQ(dialogs->Texts(), c.message ? QStringList{c.message} : QStringList{}) << c.name;
    EXPECT_EQ(Linhas(*w), c.left) << c.name;
    EXPECT_EQ(w->CaminhosImagens.size(), size_t(c.left.size()));
    EXPECT_EQ(w->FasesVisiveis.size(), size_t(c.left.size()));
  }
}

TEST_F(ListaImagensTest, ThePatternIsChosenWithoutBeingChecked) {
  const std::string pat = Padrao("aco.carbono", FasesEm({20, 200}));
  EscolherPadrao(pat);
  ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_EQ(dialogs->fileDialogs[0].title, "Novo Padrão");
  EXPECT_EQ(dialogs->fileDialogs[0].filter,
            "Arquivos de Padrões (*.pat)|*.pat|Todos os Arquivos (*.*)|*.*");
  EXPECT_EQ(dialogs->fileDialogs[0].initialDir, folder.Path() + "padroes");
  EXPECT_EQ(w->ArquivoPadrao, pat);
  EXPECT_EQ(w->Label1->text(), "aco.carbono");  // without its last extension
  Cancelar();
  w->BtPadrao->click();
  EXPECT_EQ(w->ArquivoPadrao, pat);
  // Any file is taken as it is.
  Escolher({folder.File("padroes/qualquer.txt")});
  w->BtPadrao->click();
  EXPECT_EQ(w->Label1->text(), "qualquer");
}

TEST_F(ListaImagensTest, WithoutAPatternThePhaseViewTheMethodAndTheAnalysisRefuse) {
  Adicionar(Tres());
  Selecionar(0);
  DoubleClick(w->ListaDeImagens->viewport(),
              w->ListaDeImagens->visualItemRect(w->ListaDeImagens->item(0)).center());
  w->sbAnalise->click();
  w->BAnalisar->click();
  EXPECT_EQ(dialogs->Texts(), (QStringList{"Selecione um Padrão Para\rPoder Alterá-lo",
                                           "Selecione um Padrão Para\rAjustar o Método",
                                           "Selecione um Padrão Para\rIniciar a Análise"}));
  for (const auto& m : dialogs->messages) {
    EXPECT_EQ(m.kind, MsgKind::Information);
    EXPECT_EQ(m.buttons, mbOK);
  }
  EXPECT_TRUE(dialogs->formsRun.empty());
}

TEST_F(ListaImagensTest, DoubleClickShowsTheLowestSelectedImagesFlagsAndMarksEverySelected) {
  Adicionar(Tres());
  EscolherPadrao(Padrao("p", FasesEm({20, 100, 200})));
  w->FasesVisiveis[2] = Flags({true, false, true});
  Selecionar(0);
  Selecionar(2, Qt::ControlModifier);
  std::vector<bool> vistas;
  dialogs->forms.push_back([&](QDialog& form) {
    auto& v = dynamic_cast<TFormHistoVis&>(form);
    vistas.assign(v.FasesVisiveis.begin(), v.FasesVisiveis.begin() + 3);
    // The phase list hides phase 1 as well.
    dialogs->forms.push_front([](QDialog& f) {
      auto& d = dynamic_cast<TFormListaDeFases&>(f);
      d.Lista->SetChecked(0, true);
      d.BtOK->click();
    });
    Press(v.Histograma, QPoint(50, 50), Qt::RightButton);
    v.BtOK->click();
  });
  const QRect r = w->ListaDeImagens->visualItemRect(w->ListaDeImagens->item(2));
  DoubleClick(w->ListaDeImagens->viewport(), r.center(), Qt::ControlModifier);
  Settle();
  EXPECT_EQ(dialogs->formsRun, (std::vector<QString>{"FormHistoVis", "FormListaDeFases"}));
  EXPECT_EQ(vistas, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(Linhas(*w), (QStringList{"*a.bmp", "b.bmp", "*c.bmp"}));
  EXPECT_EQ(w->FasesVisiveis[0], Flags({false, false, true}));
  EXPECT_EQ(w->FasesVisiveis[1], Flags({}));
  EXPECT_EQ(w->FasesVisiveis[2], Flags({false, false, true}));
  // Confirmed again, the mark is not doubled; cancelled, nothing changes.
  dialogs->forms.push_back([](QDialog& f) { dynamic_cast<TFormHistoVis&>(f).BtOK->click(); });
  w->ListaDeImagensDblClick();
  EXPECT_EQ(Linhas(*w), (QStringList{"*a.bmp", "b.bmp", "*c.bmp"}));
  dialogs->forms.push_back([](QDialog& f) {
    auto& v = dynamic_cast<TFormHistoVis&>(f);
    v.BtPadrao->click();
    v.BtCancelar->click();
  });
  w->ListaDeImagensDblClick();
  EXPECT_EQ(w->FasesVisiveis[0], Flags({false, false, true}));
}

TEST_F(ListaImagensTest, DoubleClickWithNothingSelectedDoesNothing) {
  Adicionar(Tres());
  EscolherPadrao(Padrao("p", FasesEm({20, 200})));
  w->ListaDeImagensDblClick();
  EXPECT_TRUE(dialogs->formsRun.empty());
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(ListaImagensTest, TheMethodDialogIsFilledWithTheLastChoice) {
  EscolherPadrao(Padrao("p", FasesEm({40, 100, 201})));
  // First opening: a fresh dialog; Gradient with the constraint, then OK.
  dialogs->forms.push_back([](QDialog& f) {
    auto& d = dynamic_cast<TFrmMetodoDialog&>(f);
    EXPECT_EQ(d.ItemIndex(), 0);
    d.rgAnalisysItens->button(1)->click();
    d.comvinculo->click();
    d.sbOK->click();
  });
  w->sbAnalise->click();
  EXPECT_EQ(w->Metodo, 0);
  EXPECT_TRUE(w->ComVinculo);
  EXPECT_TRUE(w->MetodoDefinido);
  EXPECT_EQ(w->Limiares.n, 2);
  EXPECT_EQ(w->Limiares.lim[1], 70);
  EXPECT_EQ(w->Limiares.lim[2], 150);
  EXPECT_EQ(w->lbMetodo->text(), "Gradiente");

  // Second opening: the earlier choice is there; cancelled, nothing changes.
  dialogs->forms.push_back([](QDialog& f) {
    auto& d = dynamic_cast<TFrmMetodoDialog&>(f);
    EXPECT_EQ(d.ItemIndex(), 1);
    EXPECT_EQ(d.GetLimiares().lim[1], 70);
    d.rgAnalisysItens->button(0)->click();
    d.sbCancel->click();
  });
  w->sbAnalise->click();
  EXPECT_EQ(w->Metodo, 0);
  EXPECT_EQ(w->lbMetodo->text(), "Gradiente");

  struct Case {
    int item;
    const char* shown;
    uint8_t metodo;
  } cases[] = {{2, "Max. Descida", 1}, {0, "SVD", 2}, {1, "Gradiente", 0}};
  for (const Case& c : cases) {
    dialogs->forms.push_back([&](QDialog& f) {
      auto& d = dynamic_cast<TFrmMetodoDialog&>(f);
      d.rgAnalisysItens->button(c.item)->click();
      d.sbOK->click();
    });
    w->sbAnalise->click();
    EXPECT_EQ(w->Metodo, c.metodo);
    EXPECT_EQ(w->lbMetodo->text(), c.shown);
  }
  // The SVD choice left the constraint unchecked, and Gradient keeps it so.
  EXPECT_FALSE(w->ComVinculo);
}

TEST_F(ListaImagensTest, EveryAnalysisOpensAResultsWindowOwnedByTheList) {
  const QStringList img = {Imagem("claro.bmp", Cinza(8, 200)), Imagem("escuro.bmp", Cinza(8, 10))};
  Adicionar(img);
  EscolherPadrao(Padrao("p", FasesEm({10, 200})));
  auto resultados = [this] {
    std::vector<TFormResultado*> out;
    for (TForm* f : principal->Filhas())
      if (auto* r = qobject_cast<TFormResultado*>(f)) out.push_back(r);
    return out;
  };
  // Before the method dialog was confirmed the run is SVD.
  w->BAnalisar->click();
  Settle();
  ASSERT_EQ(resultados().size(), 1u);
  TFormResultado* r = resultados()[0];
  EXPECT_EQ(r->Caption(), "Resultado da Análise - SVD");
  EXPECT_EQ(r->Owner(), w);
  EXPECT_EQ(r->CaminhosImagens, Caminhos(img));
  EXPECT_EQ(r->ArquivoPadrao, w->ArquivoPadrao);
  EXPECT_TRUE(dialogs->messages.empty());
  w->BAnalisar->click();
  Settle();
  EXPECT_EQ(resultados().size(), 2u);

  // The constrained gradient is refused by the results window it opens.
  dialogs->forms.push_back([](QDialog& f) {
    auto& d = dynamic_cast<TFrmMetodoDialog&>(f);
    d.rgAnalisysItens->button(1)->click();
    d.comvinculo->click();
    d.sbOK->click();
  });
  w->sbAnalise->click();
  w->BAnalisar->click();
  Settle();
  ASSERT_EQ(resultados().size(), 3u);
  EXPECT_EQ(resultados()[2]->Caption(), "Resultado da Análise - Gradiente");
  EXPECT_EQ(dialogs->Texts(), QStringList{"Método não implementado"});

  // Closing the list takes its results windows with it.
  EXPECT_TRUE(w->Close());
  Settle();
  EXPECT_TRUE(resultados().empty());
}

TEST_F(ListaImagensTest, AMethodDialogThatCannotReadThePatternIsReported) {
  EscolherPadrao(folder.File("padroes/faltando.pat").toStdString());
  w->sbAnalise->click();
  EXPECT_EQ(dialogs->Texts(), QStringList{"File not found"});
  EXPECT_TRUE(dialogs->formsRun.empty());
  EXPECT_FALSE(w->MetodoDefinido);
}

}  // namespace
}  // namespace vandrel::testing
