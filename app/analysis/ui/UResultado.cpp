#include "app/analysis/ui/UResultado.h"

#include <QAction>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <algorithm>
#include <cstdio>

#include "app/analysis/model/FittedHistogram.h"
#include "app/analysis/model/Mosaic.h"
#include "app/analysis/model/VolumeFile.h"
#include "app/analysis/ui/RunProgress.h"
#include "app/analysis/ui/UnitFormResultHomogeneidade.h"
#include "app/frame/ui/Frame.h"
#include "app/histograms/model/HistogramFiles.h"
#include "app/histograms/ui/UHistograma.h"
#include "app/settings/model/URecursos.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/ErrorReport.h"

using namespace vandrel;

namespace {

const char kContagemInvalida[] =
    " O número total de imagens deve ser uma potência inteira par de 2 e diferente de 1. ";

// Columns are 65 pixels and rows 24, each with the grid line that follows it.
constexpr int kPassoColuna = 66, kPassoLinha = 25;
constexpr int kTopoDaGrade = 32, kAlturaDaBarra = 29;

// Removes a working file when the block that wrote it ends, however it ends.
struct ApagarAoSair {
  std::string arquivo;
  ~ApagarAoSair() { std::remove(arquivo.c_str()); }
};

// The first column holds the names and is drawn as a fixed column.
QTableWidgetItem* Item(const QWidget* grade, int coluna, const QString& texto) {
  auto* item = new QTableWidgetItem(texto);
  if (coluna == 0) item->setBackground(grade->palette().button());
  return item;
}

}  // namespace

TFormResultado* TFormResultado::CreateComPadrao(QObject* owner, const std::string& arquivoPadrao) {
  auto* janela = new TFormResultado(owner);
  try {
    janela->LerFases(arquivoPadrao);
  } catch (...) {
    delete janela;
    throw;
  }
  if (Frame* frame = CurrentFrame()) {
    frame->AdicionarFilha(janela);
    if (janela->SubWindow()) {
      // The system menu and the minimise box only; the window keeps the size of its table.
      janela->SingleBorder();
      // Until a row comes the window keeps its start size, widened to the header row, so
      // that a run that adds no row still shows the header and the tool bar.
      const QSize tabela(janela->StringGridResultado->width(),
                         kTopoDaGrade + janela->StringGridResultado->height());
      janela->FitFrameTo(janela->size().expandedTo(tabela));
      janela->ToolBar1->setGeometry(0, 0, janela->width(), kAlturaDaBarra);
    }
  }
  janela->Show();
  return janela;
}

TFormResultado::TFormResultado(QObject* owner) : TForm(nullptr) {
  setObjectName("FormResultado");
  QFont fonte = font();
  fonte.setPixelSize(11);
  setFont(fonte);

  ToolBar1 = new QFrame(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setFrameShape(QFrame::StyledPanel);
  SpeedBtnHomogeneidade = new QToolButton(ToolBar1);
  SpeedBtnHomogeneidade->setObjectName("SpeedBtnHomogeneidade");
  SpeedBtnHomogeneidade->setText("Homogeneidade");
  SpeedBtnHomogeneidade->setToolTip("Calcular Homogeneidade");
  SpeedBtnHomogeneidade->setAutoRaise(true);
  SpeedBtnHomogeneidade->adjustSize();
  SpeedBtnHomogeneidade->setGeometry(2, 2, SpeedBtnHomogeneidade->width() + 8, kAlturaDaBarra - 4);

  StringGridResultado = new QTableWidget(1, 0, this);
  StringGridResultado->setObjectName("StringGridResultado");
  StringGridResultado->horizontalHeader()->hide();
  StringGridResultado->verticalHeader()->hide();
  StringGridResultado->horizontalHeader()->setMinimumSectionSize(1);
  StringGridResultado->verticalHeader()->setMinimumSectionSize(1);
  StringGridResultado->horizontalHeader()->setDefaultSectionSize(kPassoColuna);
  StringGridResultado->verticalHeader()->setDefaultSectionSize(kPassoLinha);
  StringGridResultado->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGridResultado->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGridResultado->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGridResultado->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGridResultado->setContextMenuPolicy(Qt::CustomContextMenu);
  // Cells clip their text, as a grid does, rather than shorten it with an ellipsis.
  StringGridResultado->setTextElideMode(Qt::ElideNone);
  StringGridResultado->setWordWrap(false);
  StringGridResultado->viewport()->installEventFilter(this);
  StringGridResultado->move(0, kTopoDaGrade);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  Compararhistogramasdaimagemedanalise1 =
      PopupMenu1->addAction("Comparar histogramas da imagem e da análise");
  Compararhistogramasdaimagemedanalise1->setObjectName("Compararhistogramasdaimagemedanalise1");

  OnClicked(SpeedBtnHomogeneidade, [this] { SpeedBtnHomogeneidadeClick(); });
  OnTriggered(Compararhistogramasdaimagemedanalise1,
              [this] { Compararhistogramasdaimagemedanalise1Click(); });
  connect(StringGridResultado, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
    if (!Guarded([this] { PopupMenu1Popup(); })) return;
    PopupMenu1->exec(StringGridResultado->viewport()->mapToGlobal(at));
  });

  // The window starts at its form size; the first row fits it to the table.
  resize(328, 170);
  ToolBar1->setGeometry(0, 0, width(), kAlturaDaBarra);
  SetOwner(owner);
  SetCaption("Resultado da Análise");
  FormCreate();
}

TFormResultado::~TFormResultado() = default;

void TFormResultado::FormCreate() {
  LinhaAtual = 1;
  alturaDaGrade_ = 28;
  StringGridResultado->resize(StringGridResultado->width(), alturaDaGrade_);
}

std::string TFormResultado::ArquivoVol() { return PastaPrograma() + "temp/temp.vol"; }

std::string TFormResultado::ArquivoAjustado() { return PastaPrograma() + "H_Ajustado.his"; }

bool TFormResultado::eventFilter(QObject* watched, QEvent* event) {
  if (watched == StringGridResultado->viewport() && event->type() == QEvent::MouseButtonPress)
    StringGridResultadoMouseDown(int(static_cast<QMouseEvent*>(event)->position().y()));
  return TForm::eventFilter(watched, event);
}

// ---- the header ----

void TFormResultado::LerFases(const std::string& arquivoPadrao) {
  ArquivoPadrao = arquivoPadrao;
  tabela_ = std::make_unique<TabelaResultado>(vandrel::LerFases(arquivoPadrao));
  NumFases = tabela_->NumFases();
  StringGridResultado->setColumnCount(tabela_->Colunas());
  for (int j = 0; j < tabela_->Colunas(); ++j)
    StringGridResultado->setItem(
        0, j, new QTableWidgetItem(QString::fromStdString(tabela_->Celula(j, 0))));
  StringGridResultado->resize(AjustarColunas(), alturaDaGrade_);
}

int TFormResultado::AjustarColunas() {
  QTableWidget* grade = StringGridResultado;
  const QFontMetrics fm(grade->font());
  // The cell's text margins on both sides, and the grid line.
  const int margem =
      2 * (grade->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grade) + 1) + 3;
  int largura = 0;
  for (int j = 0; j < grade->columnCount(); ++j) {
    int coluna = kPassoColuna;
    for (int i = 0; i < grade->rowCount(); ++i)
      if (const QTableWidgetItem* item = grade->item(i, j))
        coluna = std::max(coluna, fm.horizontalAdvance(item->text()) + margem);
    grade->setColumnWidth(j, coluna);
    largura += coluna;
  }
  // As wide as the columns and their lines, with the grid's own border.
  return largura + 12;
}

// ---- the run ----

void TFormResultado::Analisar(const std::vector<std::string>& caminhos, uint8_t metodo,
                              RegistroLimiares limiares, bool comVinculo) {
  switch (metodo) {
    case kGradiente:
      SetCaption(Caption() + " - Gradiente");
      if (comVinculo)
        ShowMessage("Método não implementado");
      else if (LimiaresServem(limiares))
        AnalisarGradiente(caminhos, limiares);
      break;
    case kMaxDescida:
      SetCaption(Caption() + " - Max. Descida");
      if (comVinculo)
        ShowMessage("Método não implementado");
      else if (LimiaresServem(limiares))
        AnalisarMaxDescida(caminhos, limiares);
      break;
    case kSVD:
      AnalisarSVD(caminhos);
      SetCaption(Caption() + " - SVD");
      break;
    default:
      break;
  }
}

bool TFormResultado::LimiaresServem(const RegistroLimiares& limiares) {
  if (ThresholdsFitPattern(limiares, NumFases)) return true;
  MessageDlg(QString::fromStdString(ThresholdMismatchMessage(NumFases)), MsgKind::Information,
             mbOK);
  return false;
}

void TFormResultado::Rodar(const std::vector<std::string>& caminhos, BatchMethod metodo,
                           const RegistroLimiares& limiares) {
  CaminhosImagens = caminhos;
  ValoresCHI2.assign(CaminhosImagens.size(), 0.0);
  if (CaminhosImagens.empty()) return;
  RunProgress progresso(FrameWidget(), Caption(), int(CaminhosImagens.size()));
  BatchEvents eventos;
  eventos.starting = [&](size_t i, const std::string& nome) {
    progresso.Imagem(int(i), QString::fromStdString(nome));
  };
  eventos.waiting = [&] { progresso.Atender(); };
  eventos.finished = [&](size_t i, const BatchImage& imagem) {
    ValoresCHI2[i] = imagem.chi2;
    AdicionarResultado(imagem.label, imagem.fit);
  };
  eventos.warning = [](const std::string& texto) { ShowMessage(QString::fromStdString(texto)); };
  RunBatch(CaminhosImagens, metodo, ArquivoPadrao, limiares, eventos);
}

void TFormResultado::AnalisarSVD(const std::vector<std::string>& caminhos) {
  Rodar(caminhos, BatchMethod::kSVD, {});
}

void TFormResultado::AnalisarMaxDescida(const std::vector<std::string>& caminhos,
                                        RegistroLimiares limiares) {
  Rodar(caminhos, BatchMethod::kSteepestDescent, limiares);
}

void TFormResultado::AnalisarGradiente(const std::vector<std::string>& caminhos,
                                       RegistroLimiares limiares) {
  Rodar(caminhos, BatchMethod::kGradient, limiares);
}

void TFormResultado::AdicionarResultado(const std::string& rotulo, const ResultadoAjuste& f) {
  tabela_->AdicionarResultado(rotulo, f);
  LinhaAtual = tabela_->Linhas() - 1;
  MostrarTabela();
}

void TFormResultado::MostrarTabela() {
  const int linhas = tabela_->Linhas();
  if (linhas < 3) return;
  StringGridResultado->setRowCount(linhas);
  // Only the new image row and the mean row change; the rows above stay as they were.
  for (int i = linhas - 2; i < linhas; ++i)
    for (int j = 0; j < tabela_->Colunas(); ++j) {
      const QString texto = QString::fromStdString(tabela_->Celula(j, i));
      if (QTableWidgetItem* item = StringGridResultado->item(i, j))
        item->setText(texto);
      else
        StringGridResultado->setItem(i, j, Item(StringGridResultado, j, texto));
    }
  alturaDaGrade_ = kPassoLinha * linhas + 3;
  StringGridResultado->resize(AjustarColunas(), alturaDaGrade_);
  setFixedSize(StringGridResultado->width(), kTopoDaGrade + alturaDaGrade_);
  ToolBar1->setGeometry(0, 0, width(), kAlturaDaBarra);
  FitFrameTo(size());
}

// ---- the popup menu and the comparison ----

void TFormResultado::StringGridResultadoMouseDown(int y) { YMouse = y; }

void TFormResultado::PopupMenu1Popup() {
  LinhaPopup = StringGridResultado->rowAt(YMouse);
  // The cell in the first column at the height of the press; none below the last row.
  ColunaPopup = LinhaPopup < 0 ? -1 : StringGridResultado->columnAt(2);
  // Only an image row compares: not the header, not the mean row, not below the table. The
  // rows are counted from the table itself, so that a run that stopped early does not offer
  // the mean row as an image.
  Compararhistogramasdaimagemedanalise1->setEnabled(
      LinhaPopup >= 1 && LinhaPopup <= tabela_->LinhasDeImagem() && ColunaPopup <= 0);
}

void TFormResultado::Compararhistogramasdaimagemedanalise1Click() {
  const int linha = LinhaPopup;
  if (linha < 1 || linha > tabela_->LinhasDeImagem()) return;
  auto* janela = new TFormHistograma(this);
  janela->AbrirComparacao(QString::fromStdString(CaminhosImagens[size_t(linha - 1)]));

  std::vector<double> percentuais;
  for (int j = 1; j <= NumFases; ++j) percentuais.push_back(tabela_->Valor(j, linha));
  const GreyHistogram ajustado = HistogramaAjustado(ArquivoPadrao, percentuais);
  const std::string arquivo = ArquivoAjustado();
  EscreverHistogramaAjustado(arquivo, ajustado);
  const ApagarAoSair apagar{arquivo};
  janela->AbrirComparacao(QString::fromStdString(arquivo));
}

// ---- homogeneity ----

void TFormResultado::SpeedBtnHomogeneidadeClick() {
  const int imagens = tabela_->LinhasDeImagem();
  if (!PotenciaParDe2(imagens)) {
    MessageDlg(kContagemInvalida, MsgKind::Error, mbOK);
    return;
  }
  auto* janela = new TFormresultHomogeneidade(FrameWidget());
  EscreverArquivoVol(ArquivoVol(), *tabela_, ValoresCHI2);
  // The images of the table's rows: a run that stopped early has fewer rows than paths.
  const std::vector<std::string> caminhos(CaminhosImagens.begin(),
                                          CaminhosImagens.begin() + imagens);
  janela->MontarMosaico(NumFases, caminhos, ArquivoVol());
}
