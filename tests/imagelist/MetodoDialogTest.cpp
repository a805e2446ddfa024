// The fitting method dialog: its start, the method choice, the three sources of initial
// thresholds (the thresholds window scripted as the picker), restoring an earlier choice
// and the ways it is closed.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QToolButton>

#include "app/analysis/ui/MetodoDialog.h"
#include "app/thresholds/model/ThresholdFiles.h"
#include "app/thresholds/ui/ULimiares.h"
#include "app/thresholds/ui/Univel.h"
#include "tests/imagelist/ImageListTestUtil.h"

namespace vandrel::testing {
namespace {

Limiares Lim(std::initializer_list<int> thresholds) {
  Limiares lim = LimiaresIniciais();
  int i = 1;
  for (int t : thresholds) lim[size_t(i++)] = uint8_t(t);
  return lim;
}

RegistroLimiares Registro(int n, Limiares lim) {
  RegistroLimiares r;
  r.n = uint8_t(n);
  r.lim = lim;
  return r;
}

QStringList Grade(const TFrmMetodoDialog& d) {
  QStringList out;
  for (int c = 0; c < 17; ++c) out << d.Celula(c);
  while (!out.isEmpty() && out.back().isEmpty()) out.pop_back();
  return out;
}

class MetodoDialogTest : public ImageListTest {
 protected:
  void SetUp() override {
    ImageListTest::SetUp();
    // Means 40, 100 and 201: thresholds 70 and 150 (150.5 goes to the even 150).
    tres = Padrao("tres", {Fase({{40, 1}}), Fase({{90, 0.5}, {110, 0.5}}), Fase({{201, 1}})});
  }
  std::unique_ptr<TFrmMetodoDialog> Novo(const std::string& pat) {
    return TFrmMetodoDialog::CreateComPadrao(pat, nullptr);
  }
  // The enabled state of the initial-value controls, in one list.
  static std::vector<bool> Iniciais(const TFrmMetodoDialog& d) {
    return {d.gbInitial->isEnabled(), d.sbAuto->isEnabled(),  d.sbManual->isEnabled(),
            d.sbFile->isEnabled(),    d.sbImage->isEnabled(), d.stFileName->isEnabled(),
            d.sgValues->isEnabled()};
  }
  // The picker's levels as its track bars show them.
  static std::vector<int> Barras(TFormLimiares& w) {
    std::vector<int> out;
    for (int i = 1; i <= w.NumNiveis; ++i) out.push_back(w.Niveis[size_t(i)]->Barra->value());
    return out;
  }
  // Runs `d`'s "Manual" with the picker answered by `picker`.
  void Manual(TFrmMetodoDialog& d, std::function<void(TFormLimiares&)> picker) {
    dialogs->forms.push_back([picker](QDialog& form) {
      auto* w = form.findChild<TFormLimiares*>();
      ASSERT_TRUE(w);
      picker(*w);
    });
    d.sbManual->click();
  }

  std::string tres;
};

TEST_F(MetodoDialogTest, StartsWithSvdAndTheAutomaticThresholds) {
  auto d = Novo(tres);
  EXPECT_EQ(d->windowTitle(), "Method");
  EXPECT_EQ(d->size(), QSize(228, 307));
  EXPECT_EQ(d->rgAnalisys->title(), "Analysis Method");
  QStringList itens;
  for (QAbstractButton* b : d->rgAnalisysItens->buttons()) itens << b->text();
  EXPECT_EQ(itens, (QStringList{"SVD ", "Gradient", "Max. desc."}));
  EXPECT_EQ(d->GroupBox1->title(), "  Condições  ");
  EXPECT_EQ(d->gbInitial->title(), "Initial Values");
  EXPECT_EQ(d->sbImage->text(), "Image...");
  EXPECT_EQ(d->sbOK->text(), "OK");
  EXPECT_EQ(d->sbCancel->text(), "Cancel");
  EXPECT_EQ(d->ItemIndex(), 0);
  EXPECT_EQ(d->GetMetodo(), 2);
  EXPECT_TRUE(d->Cancelado);
  EXPECT_EQ(d->NumFases, 3);
  EXPECT_EQ(d->ArquivoPadrao, tres);
  EXPECT_TRUE(d->GetArquivoImagem().empty());
  EXPECT_FALSE(d->comvinculo->isEnabled());
  EXPECT_FALSE(d->semvinculo->isEnabled());
  EXPECT_FALSE(d->comvinculo->isChecked());
  EXPECT_TRUE(d->semvinculo->isChecked());
  EXPECT_EQ(Iniciais(*d), std::vector<bool>(7, false));
  EXPECT_TRUE(d->sbAuto->isChecked());
  EXPECT_EQ(d->GetLimiares(), Registro(2, Lim({70, 150})));
  EXPECT_EQ(Grade(*d), (QStringList{"0", "70", "150", "255"}));
  EXPECT_EQ(d->sgValues->columnCount(), 17);
  // Columns of 25 pixels at least, all alike: wider when "255" needs more in the font.
  EXPECT_GE(d->sgValues->columnWidth(16), 25);
  for (int c = 0; c < 17; ++c) EXPECT_EQ(d->sgValues->columnWidth(c), d->sgValues->columnWidth(16));
  EXPECT_EQ(d->sgValues->rowHeight(0), 16);
}

TEST_F(MetodoDialogTest, EachMethodSetsItsCodeAndItsControls) {
  auto d = Novo(tres);
  struct Case {
    int item;
    uint8_t metodo;
    bool iterativo;
  } cases[] = {{1, 0, true}, {0, 2, false}, {2, 1, true}, {1, 0, true}, {0, 2, false}};
  for (const Case& c : cases) {
    d->rgAnalisysItens->button(c.item)->click();
    EXPECT_EQ(d->GetMetodo(), c.metodo) << c.item;
    EXPECT_EQ(d->comvinculo->isEnabled(), c.iterativo) << c.item;
    EXPECT_EQ(d->semvinculo->isEnabled(), c.iterativo) << c.item;
    EXPECT_EQ(Iniciais(*d), std::vector<bool>(7, c.iterativo)) << c.item;
    if (!c.iterativo) {
      EXPECT_FALSE(d->comvinculo->isChecked());
      EXPECT_FALSE(d->semvinculo->isChecked());
    }
  }
}

TEST_F(MetodoDialogTest, TheConstraintChoiceIsReadFromComVinculoOnly) {
  auto d = Novo(tres);
  // Gradient first: "Sem vínculo" stays checked as at start.
  d->rgAnalisysItens->button(1)->click();
  EXPECT_TRUE(d->semvinculo->isChecked());
  EXPECT_FALSE(d->GetComVinculo());
  d->comvinculo->click();
  EXPECT_TRUE(d->GetComVinculo());
  EXPECT_FALSE(d->semvinculo->isChecked());
  d->semvinculo->click();
  EXPECT_FALSE(d->GetComVinculo());
  EXPECT_FALSE(d->comvinculo->isChecked());
  // Gradient after SVD: both unchecked, so no constraint.
  d->comvinculo->click();
  d->rgAnalisysItens->button(0)->click();
  d->rgAnalisysItens->button(1)->click();
  EXPECT_FALSE(d->comvinculo->isChecked());
  EXPECT_FALSE(d->semvinculo->isChecked());
  EXPECT_FALSE(d->GetComVinculo());
}

TEST_F(MetodoDialogTest, OnlyOkClearsCancelado) {
  struct Case {
    const char* how;
    std::function<void(TFrmMetodoDialog&)> close;
    bool cancelado;
  } cases[] = {
      {"OK", [](TFrmMetodoDialog& d) { d.sbOK->click(); }, false},
      {"Cancel", [](TFrmMetodoDialog& d) { d.sbCancel->click(); }, true},
      {"system menu", [](TFrmMetodoDialog&) {}, true},  // still open: rejected by the frame
  };
  for (const Case& c : cases) {
    auto d = Novo(tres);
    dialogs->forms.push_back([&](QDialog& f) { c.close(dynamic_cast<TFrmMetodoDialog&>(f)); });
    Dialogs().RunModal(*d);
    EXPECT_EQ(d->Cancelado, c.cancelado) << c.how;
  }
}

TEST_F(MetodoDialogTest, AnEarlierChoiceIsRestored) {
  struct Case {
    uint8_t metodo;
    int item;
  } cases[] = {{0, 1}, {1, 2}, {2, 0}};
  for (const Case& c : cases) {
    const RegistroLimiares r = Registro(2, Lim({33, 177}));
    auto d =
        TFrmMetodoDialog::CreateComLimiares(tres, "/imagens/amostra 1.bmp", c.metodo, r, nullptr);
    EXPECT_EQ(d->ItemIndex(), c.item);
    EXPECT_EQ(d->GetMetodo(), c.metodo);
    EXPECT_EQ(Iniciais(*d), std::vector<bool>(7, c.metodo != 2));
    EXPECT_EQ(d->comvinculo->isEnabled(), c.metodo != 2);
    EXPECT_EQ(d->GetLimiares(), r);
    EXPECT_EQ(d->GetArquivoImagem(), "/imagens/amostra 1.bmp");
    EXPECT_EQ(d->stFileName->text(), "amostra 1.bmp");
    EXPECT_EQ(Grade(*d), (QStringList{"0", "33", "177", "255"}));
    EXPECT_TRUE(d->Cancelado);
  }
}

TEST_F(MetodoDialogTest, AutoKeepsTheRecordWhenThePatternHasOnePhase) {
  const std::string um = Padrao("um", FasesEm({77}));
  const RegistroLimiares antes = Registro(1, Lim({99}));
  auto d = Novo(um);
  EXPECT_EQ(d->NumFases, 1);
  d->Limiares = antes;
  d->sbAuto->click();
  EXPECT_EQ(d->GetLimiares(), antes);
  EXPECT_EQ(Grade(*d), (QStringList{"0", "255"}));
  // With three phases Auto puts the automatic thresholds back.
  auto t = TFrmMetodoDialog::CreateComLimiares(tres, "", 1, antes, nullptr);
  t->sbAuto->click();
  EXPECT_EQ(t->GetLimiares(), Registro(2, Lim({70, 150})));
}

// A record kept from a pattern of another phase count would give the iterative fits the
// wrong number of phases: the dialog holds and shows the automatic thresholds instead.
TEST_F(MetodoDialogTest, AnEarlierRecordForAnotherPhaseCountGivesWayToTheAutomaticOne) {
  const std::string dois = Padrao("dois", FasesEm({40, 160}));
  struct Case {
    std::string pat;
    RegistroLimiares antes;
    RegistroLimiares depois;
    QStringList grade;
  } cases[] = {
      {tres, Registro(1, Lim({128})), Registro(2, Lim({70, 150})), {"0", "70", "150", "255"}},
      {tres,
       Registro(3, Lim({9, 99, 199})),
       Registro(2, Lim({70, 150})),
       {"0", "70", "150", "255"}},
      {dois, Registro(2, Lim({70, 150})), Registro(1, Lim({100})), {"0", "100", "255"}},
      {dois, Registro(1, Lim({33})), Registro(1, Lim({33})), {"0", "33", "255"}},  // fits: kept
  };
  for (const Case& c : cases) {
    auto d = TFrmMetodoDialog::CreateComLimiares(c.pat, "", 0, c.antes, nullptr);
    EXPECT_EQ(d->GetLimiares(), c.depois) << c.pat << " " << int(c.antes.n);
    EXPECT_EQ(Grade(*d), c.grade);
    EXPECT_TRUE(d->sbAuto->isChecked());
    d->sbOK->click();
    EXPECT_EQ(d->GetLimiares(), c.depois);
  }
}

// The dialog reads a threshold file as the thresholds window does: thresholds out of order
// come sorted, and a record the window would refuse is refused here too, with the same
// message, leaving the thresholds as they were.
TEST_F(MetodoDialogTest, FileRecordsPassTheThresholdsWindowsChecks) {
  auto d = Novo(tres);
  d->rgAnalisysItens->button(1)->click();
  const RegistroLimiares antes = d->GetLimiares();
  const QString fora = folder.File("saves/fora.als");
  GravarArquivoLimiares(fora.toStdString(), Registro(2, Lim({200, 60})));
  Escolher({fora});
  d->sbFile->click();
  EXPECT_EQ(d->GetLimiares(), Registro(2, Lim({60, 200})));
  EXPECT_EQ(Grade(*d), (QStringList{"0", "60", "200", "255"}));
  EXPECT_TRUE(dialogs->messages.empty());

  struct Case {
    const char* what;
    int lim0, lim16;
  } cases[] = {{"lim[0] not 0", 5, 255}, {"lim[16] not 255", 0, 250}};
  for (const Case& c : cases) {
    dialogs->messages.clear();
    RegistroLimiares r = Registro(2, Lim({20, 90}));
    r.lim[0] = uint8_t(c.lim0);
    r.lim[16] = uint8_t(c.lim16);
    const QString ruim = folder.File("saves/ruim.als");
    GravarArquivoLimiares(ruim.toStdString(), r);
    Escolher({ruim});
    d->sbFile->click();
    EXPECT_EQ(dialogs->Texts(),
              QStringList{"O arquivo " + ruim + " não é um arquivo de limiares válido"})
        << c.what;
    EXPECT_EQ(d->GetLimiares(), Registro(2, Lim({60, 200}))) << c.what;
    EXPECT_TRUE(d->sbAuto->isChecked()) << c.what;
  }
  EXPECT_NE(antes, d->GetLimiares());
}

TEST_F(MetodoDialogTest, FileTakesARecordWithOneLevelFewerThanThePhases) {
  auto d = Novo(tres);
  d->rgAnalisysItens->button(1)->click();
  RegistroLimiares certo = Registro(2, Lim({20, 90}));
  certo.lim[7] = 44;  // a byte left from an earlier level comes along
  const QString certoPath = folder.File("saves/certo.als");
  GravarArquivoLimiares(certoPath.toStdString(), certo);
  const QString erradoPath = folder.File("saves/errado.als");
  GravarArquivoLimiares(erradoPath.toStdString(), Registro(3, Lim({1, 2, 3})));

  Escolher({certoPath});
  d->sbFile->click();
  ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_EQ(dialogs->fileDialogs[0].title, "Escolha um Arquivo de Valores Iniciais");
  EXPECT_EQ(dialogs->fileDialogs[0].filter, "Arquivos ALS|*.als");
  EXPECT_EQ(d->GetLimiares(), certo);
  EXPECT_EQ(Grade(*d), (QStringList{"0", "20", "90", "255"}));
  EXPECT_TRUE(d->sbFile->isChecked());
  EXPECT_TRUE(dialogs->messages.empty());

  // A record of another level count is refused; Auto is shown pressed without running.
  Escolher({erradoPath});
  d->sbFile->click();
  EXPECT_EQ(dialogs->Texts(), QStringList{"O arquivo de limiares deve\rter 2 níveis"});
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Information);
  EXPECT_EQ(d->GetLimiares(), certo);
  EXPECT_EQ(Grade(*d), (QStringList{"0", "20", "90", "255"}));
  EXPECT_TRUE(d->sbAuto->isChecked());

  // A cancelled file dialog changes nothing either.
  d->sbFile->click();  // no answer queued: cancelled
  EXPECT_EQ(d->GetLimiares(), certo);
  EXPECT_TRUE(d->sbAuto->isChecked());

  // A file too short for a record stops the button with the runtime's error.
  dialogs->messages.clear();
  const QString curto = folder.File("saves/curto.als");
  QFile f(curto);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("\x02\x00\x14", 3);
  f.close();
  Escolher({curto});
  d->sbFile->click();
  EXPECT_EQ(dialogs->Texts(), QStringList{"Read beyond end of file"});
  EXPECT_EQ(d->GetLimiares(), certo);
}

TEST_F(MetodoDialogTest, ManualTakesTheThresholdsPickedOnTheImage) {
  auto d = Novo(tres);
  d->rgAnalisysItens->button(2)->click();
  const QString img = Imagem("amostra.bmp", Cinza(40, 90));
  Escolher({img});
  std::vector<int> barrasNoInicio;
  bool escondidos = false, areasAoLado = false;
  Manual(*d, [&](TFormLimiares& w) {
    barrasNoInicio = Barras(w);
    escondidos = true;
    for (QWidget* c :
         {static_cast<QWidget*>(w.BtSalvarPaleta), static_cast<QWidget*>(w.BtAlterarCores),
          static_cast<QWidget*>(w.BAbrirPaleta), static_cast<QWidget*>(w.BtNovo),
          static_cast<QWidget*>(w.BtExcluir), static_cast<QWidget*>(w.BtSalvarLimiares),
          static_cast<QWidget*>(w.BtAbrirLimiares), static_cast<QWidget*>(w.BtAplicar),
          static_cast<QWidget*>(w.Bevel1), static_cast<QWidget*>(w.CheckBoxpreview)})
      escondidos = escondidos && c->isHidden();
    areasAoLado = w.AreasAoLado;
    w.Niveis[1]->Barra->setValue(200);
    w.Niveis[2]->Barra->setValue(30);
    w.BtOK->click();
  });
  ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_EQ(dialogs->fileDialogs[0].filter, d->OpenPictureDialog.filter);
  EXPECT_TRUE(d->OpenPictureDialog.filter.startsWith(
      "All (*.gif;*.tiff;*.tif;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|"));
  EXPECT_EQ(dialogs->formsRun, std::vector<QString>{"FormLimiares"});
  EXPECT_EQ(barrasNoInicio.size(), 2u);  // three phases: two levels
  EXPECT_TRUE(escondidos);
  EXPECT_TRUE(areasAoLado);
  EXPECT_EQ(d->GetArquivoImagem(), img.toStdString());
  EXPECT_EQ(d->stFileName->text(), "amostra.bmp");
  EXPECT_EQ(d->GetLimiares().n, 2);
  EXPECT_EQ(d->GetLimiares().lim[1], 30);
  EXPECT_EQ(d->GetLimiares().lim[2], 200);
  EXPECT_EQ(Grade(*d), (QStringList{"0", "30", "200", "255"}));
  // The picker is gone with its run.
  EXPECT_FALSE(d->findChild<TFormLimiares*>());

  // The image is asked for once: the next "Manual" works on it again. Closing the picker
  // without OK keeps the record.
  const RegistroLimiares antes = d->GetLimiares();
  Manual(*d, [](TFormLimiares& w) { w.BtCancelar->click(); });
  EXPECT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_EQ(d->GetLimiares(), antes);
  Manual(*d, [](TFormLimiares&) {});  // the frame's close box
  EXPECT_EQ(d->GetLimiares(), antes);
}

TEST_F(MetodoDialogTest, ManualWithoutAnImageChosenDoesNothing) {
  auto d = Novo(tres);
  d->rgAnalisysItens->button(1)->click();
  const RegistroLimiares antes = d->GetLimiares();
  d->sbManual->click();  // the picture dialog is cancelled
  EXPECT_TRUE(dialogs->formsRun.empty());
  EXPECT_EQ(d->GetLimiares(), antes);
  EXPECT_TRUE(d->sbAuto->isChecked());
  EXPECT_TRUE(d->GetArquivoImagem().empty());
}

TEST_F(MetodoDialogTest, SmallPatternsGiveThePickerOneLevel) {
  const QString img = Imagem("a.bmp", Cinza(8, 10));
  for (int fases : {1, 2}) {
    const std::string pat =
        Padrao(QString("p%1").arg(fases), fases == 1 ? FasesEm({10}) : FasesEm({10, 200}));
    auto d = Novo(pat);
    d->rgAnalisysItens->button(1)->click();
    Escolher({img});
    int niveis = -1;
    Manual(*d, [&](TFormLimiares& w) {
      niveis = w.NumNiveis;
      w.BtOK->click();
    });
    EXPECT_EQ(niveis, 1) << fases;
    EXPECT_EQ(d->GetLimiares().n, 1) << fases;
  }
}

TEST_F(MetodoDialogTest, ImageChoosesThePictureOfTheManualThresholds) {
  auto d = Novo(tres);
  d->rgAnalisysItens->button(1)->click();
  const QString a = Imagem("a.bmp", Cinza(8, 10));
  const QString b = Imagem("b.bmp", Cinza(8, 200));
  Escolher({a});
  d->sbImage->click();
  EXPECT_EQ(d->GetArquivoImagem(), a.toStdString());
  EXPECT_EQ(d->stFileName->text(), "a.bmp");
  d->sbImage->click();  // cancelled: the choice stays
  EXPECT_EQ(d->GetArquivoImagem(), a.toStdString());
  // With File pressed the button still chooses the picture.
  Cancelar();
  d->sbFile->click();
  d->sbFile->setChecked(true);
  Escolher({b});
  d->sbImage->click();
  EXPECT_EQ(d->GetArquivoImagem(), b.toStdString());
  EXPECT_EQ(dialogs->fileDialogs.back().filter, d->OpenPictureDialog.filter);
  // No thresholds were taken on the way.
  EXPECT_EQ(d->GetLimiares(), Registro(2, Lim({70, 150})));
}

TEST_F(MetodoDialogTest, UnreadablePatternFilesStopTheDialogBeforeItOpens) {
  const std::string semNomes = Padrao("sem", FasesEm({10, 20}));
  QFile::remove(QString::fromStdString(WithoutExtension(semNomes) + ".pac"));
  const std::string semValores = Padrao("semv", FasesEm({10, 20}));
  QFile::remove(QString::fromStdString(semValores));
  for (const std::string& pat : {semNomes, semValores}) {
    try {
      Novo(pat);
      ADD_FAILURE() << pat;
    } catch (const EInOutError& e) {
      EXPECT_STREQ(e.what(), "File not found");
    }
  }
}

}  // namespace
}  // namespace vandrel::testing
