#include "app/analysis/ui/UHistoVis.h"

#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>
#include <filesystem>

#include "app/histograms/model/HistogramFiles.h"
#include "app/histograms/model/HistogramWindowRules.h"
#include "app/histograms/ui/UDSHistograma.h"
#include "app/histograms/ui/ULegenda.h"
#include "app/histograms/ui/ULinhaDialog.h"
#include "app/histograms/ui/UListaDeFases.h"
#include "platform/TextFile.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/ErrorReport.h"

using namespace vandrel;

namespace {

constexpr int kLargura = 264;
constexpr int kAlturaBotoes = 33;

QToolButton* Botao(QWidget* parent, const char* nome, const QString& texto, int x) {
  auto* b = new QToolButton(parent);
  b->setObjectName(nome);
  b->setText(texto);
  b->setGeometry(x, 5, 62, 23);
  b->setAutoRaise(true);
  return b;
}

}  // namespace

TFormHistoVis::TFormHistoVis(QWidget* owner) : QDialog(owner) {
  setObjectName("FormHistoVis");
  setWindowTitle("Excluir Fases");
  // Only the system menu (its close box).
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  QFont f = font();
  f.setPixelSize(11);
  setFont(f);

  Histograma = new TDSHistograma(this);
  Histograma->setObjectName("Histograma");
  Histograma->setGeometry(0, 0, kLargura, 188);
  Histograma->SetEstilo(eGradiente);
  Histograma->SetAtivarTexto(true);
  Histograma->SetEspessura(1);
  Histograma->SetFator(1);
  Histograma->SetTamanho(hs256);
  Histograma->SetGradienteRGB(false);
  Histograma->SetCorDaLinha(Rgb(0, 0, 128));  // navy
  Histograma->SetCorDaLinhaGradiente(0);
  Histograma->SetNumLinhasHor(3);
  Histograma->SetNumLinhasVert(qTodas);
  Histograma->SetCorDeFundo(0x9898FE);
  Histograma->SetCorDeDesenho(Rgb(0, 0, 255));

  PainelDaLegenda = new QFrame(this);
  PainelDaLegenda->setObjectName("PainelDaLegenda");
  PainelDaLegenda->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  PainelDaLegenda->setGeometry(0, 189, kLargura - 1, 3);

  PainelBotoes = new QFrame(this);
  PainelBotoes->setObjectName("PainelBotoes");
  PainelBotoes->setFrameStyle(QFrame::Panel | QFrame::Raised);
  PainelBotoes->setGeometry(0, 192, kLargura - 1, kAlturaBotoes);
  BtOK = Botao(PainelBotoes, "BtOK", "OK", 4);
  BtCancelar = Botao(PainelBotoes, "BtCancelar", "Cancelar", 68);
  BtPadrao = Botao(PainelBotoes, "BtPadrao", "Padrão", 132);
  BtAjuda = Botao(PainelBotoes, "BtAjuda", "Ajuda", 196);

  OnClicked(BtOK, [this] { BtOKClick(); });
  OnClicked(BtCancelar, [this] { BtCancelarClick(); });
  OnClicked(BtPadrao, [this] { BtPadraoClick(); });
  connect(Histograma, &TDSHistograma::OnMouseDown, this,
          [this](Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
            Guarded([&] { HistogramaMouseDown(b, x, y); });
          });
  setFixedSize(kLargura, PainelBotoes->geometry().bottom() + 1);
}

TFormHistoVis::~TFormHistoVis() = default;

std::unique_ptr<TFormHistoVis> TFormHistoVis::CreateComPadrao(const std::string& arquivoPadrao,
                                                              const TFasesVisiveis& fases,
                                                              QWidget* owner) {
  std::unique_ptr<TFormHistoVis> w(new TFormHistoVis(owner));
  w->ArquivoPadrao = arquivoPadrao;
  w->FasesVisiveis = fases;
  w->Aceito = false;
  w->CarregarPadrao();
  const TArrayDeHistogramas& curvas = w->Histograma->Histogramas();
  w->CoresDasFases.clear();
  for (const THistoCompleto& c : curvas) w->CoresDasFases.push_back(c.Cor);
  // The hidden phases go; phases beyond the sixteen flags are always shown.
  const int fasesComFlag = std::min<int>(int(w->CoresDasFases.size()), int(fases.size()));
  for (int i = 0; i < fasesComFlag; ++i)
    if (!fases[size_t(i)]) w->RemoverCurva(w->PosicaoDaFase(i));
  w->MontarLegenda();
  return w;
}

void TFormHistoVis::CarregarPadrao() {
  Histograma->CarregarPadrao(ArquivoPadrao);
  const int curvas = int(Histograma->Histogramas().size());
  const std::string pac = WithoutExtension(ArquivoPadrao) + ".pac";
  std::error_code erro;
  if (std::filesystem::exists(pac, erro)) {
    TextReader nomes(pac);
    nomes.SkipLine();
    for (int p = 0; p < curvas; ++p) Histograma->DefinirNome(p, nomes.ReadLine());
  } else {
    for (int p = 0; p < curvas; ++p) Histograma->DefinirNome(p, "fase#" + std::to_string(p));
  }
  fasesDasCurvas_.resize(size_t(curvas));
  for (int p = 0; p < curvas; ++p) fasesDasCurvas_[size_t(p)] = p;
}

int TFormHistoVis::PosicaoDaFase(int fase) const {
  const auto it = std::find(fasesDasCurvas_.begin(), fasesDasCurvas_.end(), fase);
  return it == fasesDasCurvas_.end() ? -1 : int(it - fasesDasCurvas_.begin());
}

void TFormHistoVis::RemoverCurva(int posicao) {
  if (posicao < 0 || size_t(posicao) >= fasesDasCurvas_.size()) return;
  Histograma->RemoverHistograma(posicao);
  fasesDasCurvas_.erase(fasesDasCurvas_.begin() + posicao);
}

void TFormHistoVis::AtualizarFlags() {
  const int fases = std::min<int>(int(CoresDasFases.size()), int(FasesVisiveis.size()));
  for (int i = 0; i < fases; ++i) FasesVisiveis[size_t(i)] = PosicaoDaFase(i) >= 0;
}

bool TFormHistoVis::CorEmUso(int k, int32_t cor) const {
  const TArrayDeHistogramas& curvas = Histograma->Histogramas();
  for (size_t j = 0; j < curvas.size(); ++j)
    if (int(j) != k && curvas[j].Cor == cor) return true;
  return false;
}

// ---- legend ----

void TFormHistoVis::LimparLegenda() {
  // A swatch may be the one whose press is being handled: the controls go once the event
  // is over.
  for (TShape* q : quadrados_) {
    q->hide();
    q->deleteLater();
  }
  for (QLabel* l : rotulos_) {
    l->hide();
    l->deleteLater();
  }
  quadrados_.clear();
  rotulos_.clear();
  PainelDaLegenda->resize(PainelDaLegenda->width(), 3);
}

void TFormHistoVis::MontarLegenda(int porLinha) {
  const int altura = PreencherLegenda(
      PainelDaLegenda, Histograma->Histogramas(), porLinha,
      [this](TShape* quadrado) { LegendaMouseDown(quadrado); }, quadrados_, rotulos_);
  PainelDaLegenda->resize(PainelDaLegenda->width(), altura);
  PainelBotoes->move(0, PainelDaLegenda->y() + PainelDaLegenda->height());
  setFixedSize(kLargura, PainelBotoes->geometry().bottom() + 1);
}

// ---- mouse ----

void TFormHistoVis::HistogramaMouseDown(Qt::MouseButton button, int x, int y) {
  if (button == Qt::LeftButton) {
    EditarFases(Histograma->CorNoPonto(x, y));
    return;
  }
  if (button != Qt::RightButton && button != Qt::MiddleButton) return;
  {
    TFormListaDeFases lista(this);
    for (const THistoCompleto& h : Histograma->Histogramas())
      lista.Lista->AdicionarItem(NomeDaCurva(h.Nome));
    Dialogs().RunModal(lista);
    if (lista.Resultado == "OK") {
      // Each removal moves the later curves down one place.
      int removidas = 0;
      for (int i = 0; i < lista.Lista->Count(); ++i)
        if (lista.Lista->Checked(i)) RemoverCurva(i - removidas++);
    }
  }
  AtualizarFlags();
  LimparLegenda();
  MontarLegenda();
}

void TFormHistoVis::LegendaMouseDown(TShape* quadrado) { EditarFases(quadrado->Cor()); }

void TFormHistoVis::EditarFases(int32_t cor) {
  std::vector<int> fases;
  const TArrayDeHistogramas& curvas = Histograma->Histogramas();
  for (size_t p = 0; p < curvas.size(); ++p)
    if (curvas[p].Cor == cor) fases.push_back(fasesDasCurvas_[p]);
  for (const int fase : fases) {
    const int e = PosicaoDaFase(fase);
    if (e < 0) continue;
    const THistoCompleto& curva = Histograma->Histogramas()[size_t(e)];
    std::unique_ptr<TFormLinhaDialog> d(
        TFormLinhaDialog::CreateLinha(NomeDaCurva(curva.Nome), curva.Cor, curva.Espessura, this));
    Dialogs().RunModal(*d);
    if (d->Resultado != "OK") continue;
    if (d->Excluir->isChecked()) {
      RemoverCurva(e);
      if (size_t(fase) < FasesVisiveis.size()) FasesVisiveis[size_t(fase)] = false;
    } else if (CorEmUso(e, d->ShapeCor->Cor())) {
      MessageDlg("A Cor Já Existe", MsgKind::Information, mbOK);
      continue;
    } else {
      Histograma->DefinirLinha(e, QFile::encodeName(d->EditNome->text()).toStdString(),
                               d->Espessura(), d->ShapeCor->Cor());
    }
    LimparLegenda();
    MontarLegenda();
  }
}

// ---- buttons ----

void TFormHistoVis::BtOKClick() {
  Aceito = true;
  accept();
}

void TFormHistoVis::BtCancelarClick() {
  Aceito = false;
  reject();
}

void TFormHistoVis::BtPadraoClick() {
  Aceito = false;
  CarregarPadrao();
  FasesVisiveis.fill(true);
  LimparLegenda();
  MontarLegenda();
}
