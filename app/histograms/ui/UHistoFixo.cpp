#include "app/histograms/ui/UHistoFixo.h"

#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMdiSubWindow>
#include <QToolButton>
#include <cstdlib>

#include "app/frame/ui/Frame.h"
#include "app/frame/ui/ToolIcons.h"
#include "app/histograms/ui/UDSHistograma.h"
#include "app/histograms/ui/UHistograma.h"
#include "app/settings/model/URecursos.h"
#include "platform/qt/ErrorReport.h"

namespace {

const char* const kTotal = "Total de pixels selecionados:";
// The content: the histogram control over the button panel.
constexpr int kLargura = 264, kAlturaGrafico = 188, kAlturaPainel = 26;

}  // namespace

TFormHistoFixo::TFormHistoFixo(QObject* owner) : TForm(nullptr) {
  setObjectName("FormHistoFixo");
  setFixedSize(kLargura, kAlturaGrafico + kAlturaPainel);

  Histograma = new TDSHistograma(this);
  Histograma->setObjectName("Histograma");
  Histograma->setGeometry(0, 0, kLargura, kAlturaGrafico);
  Histograma->SetAtivarTexto(true);
  Histograma->SetEspessura(1);
  Histograma->SetFator(1);
  Histograma->SetTamanho(vandrel::hs256);
  Histograma->SetEstilo(vandrel::eGradiente);
  Histograma->SetGradienteRGB(false);
  Histograma->SetCorDaLinha(vandrel::Rgb(255, 0, 0));
  Histograma->SetCorDaLinhaGradiente(vandrel::Rgb(0, 0, 0));
  Histograma->SetNumLinhasHor(3);
  Histograma->SetNumLinhasVert(vandrel::qTodas);
  Histograma->SetCorDeFundo(vandrel::Rgb(0xA6, 0xCA, 0xF0));  // sky blue
  Histograma->SetCorDeDesenho(vandrel::Rgb(0, 0, 0x80));      // navy

  PainelDosBotoes = new QFrame(this);
  PainelDosBotoes->setObjectName("PainelDosBotoes");
  PainelDosBotoes->setFrameShape(QFrame::StyledPanel);
  PainelDosBotoes->setGeometry(0, kAlturaGrafico, kLargura, kAlturaPainel);
  BtSalvarHistograma = new QToolButton(PainelDosBotoes);
  BtSalvarHistograma->setObjectName("BtSalvarHistograma");
  BtSalvarHistograma->setToolTip("Salvar Histograma");
  BtSalvarHistograma->setIcon(ToolIcon("salvar"));
  BtSalvarHistograma->setGeometry(2, 2, 22, 22);
  BtNovoHisto = new QToolButton(PainelDosBotoes);
  BtNovoHisto->setObjectName("BtNovoHisto");
  BtNovoHisto->setToolTip("Abrir Novo Histograma ");
  BtNovoHisto->setIcon(ToolIcon("histograma"));
  BtNovoHisto->setGeometry(26, 2, 22, 22);
  for (QToolButton* b : {BtSalvarHistograma, BtNovoHisto}) {
    b->setAutoRaise(true);
    b->setIconSize(QSize(18, 18));
  }
  Label1 = new QLabel(kTotal, PainelDosBotoes);
  Label1->setObjectName("Label1");
  Label1->setGeometry(54, 2, kLargura - 56, 22);
  vandrel::OnClicked(BtSalvarHistograma, [this] { BtSalvarHistogramaClick(); });
  vandrel::OnClicked(BtNovoHisto, [this] { BtNovoHistoClick(); });

  SaveDialog.filter = "Fases de Materiais (*.his)|*.his";
  SetOwner(owner);

  // Creation handler.
  Salvo = false;
  NomeArquivo.clear();
  Historico = std::make_unique<vandrel::TUndoClass>(vandrel::PastaPrograma() + "zundo.tmp");
  PodeDesfazer = false;
  PodeRefazer = false;
  TotalDePixels = 0;
  SetCaption("Adicionar Seleção");

  if (Frame* frame = CurrentFrame()) {
    frame->AdicionarFilha(this);
    if (QMdiSubWindow* sub = SubWindow()) {
      // Only the system menu and its close box: the window keeps the size of its content.
      sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
      SetFrameSize(sub->sizeHint());
      sub->hide();
      connect(sub, &QMdiSubWindow::aboutToActivate, this,
              [this] { vandrel::Guarded([this] { FormActivate(); }); });
    }
  }
}

TFormHistoFixo::~TFormHistoFixo() = default;

void TFormHistoFixo::showEvent(QShowEvent* event) {
  TForm::showEvent(event);
  FormShow();
}

void TFormHistoFixo::FormShow() {
  if (Frame* frame = CurrentFrame()) frame->NotificarJanelaAtiva();
}

void TFormHistoFixo::FormActivate() {
  if (Frame* frame = CurrentFrame()) frame->NotificarJanelaAtiva();
}

void TFormHistoFixo::CopiarEstados() {
  if (!Historico) return;
  PodeDesfazer = Historico->PodeDesfazer();
  PodeRefazer = Historico->PodeRefazer();
}

class TFormHistoFixo::CopiaDeEstados {
 public:
  explicit CopiaDeEstados(TFormHistoFixo* janela) : janela_(janela) {}
  ~CopiaDeEstados() { janela_->CopiarEstados(); }
  CopiaDeEstados(const CopiaDeEstados&) = delete;
  CopiaDeEstados& operator=(const CopiaDeEstados&) = delete;

 private:
  TFormHistoFixo* janela_;
};

void TFormHistoFixo::AtualizarTotal() {
  int64_t soma = 0;
  for (int32_t c : Histograma->ContagemAcumulada()) soma += c;
  TotalDePixels = std::llabs(soma);
  Label1->setText(kTotal + QString::number(TotalDePixels));
}

void TFormHistoFixo::AdicionarSelecao(const vandrel::GreyCounts& counts) {
  // The record goes to the log first, so that a log that cannot be written leaves the
  // histogram as it was and the two never disagree.
  const CopiaDeEstados copia(this);
  if (Historico) Historico->Adicionar(counts);
  Histograma->AdicionarContagem(counts);
  AtualizarTotal();
}

void TFormHistoFixo::Desfazer() {
  const CopiaDeEstados copia(this);
  if (!Historico || !Historico->PodeDesfazer()) return;
  Histograma->DefinirContagem(Historico->Desfazer(Histograma->ContagemAcumulada()));
  AtualizarTotal();
}

void TFormHistoFixo::Refazer() {
  const CopiaDeEstados copia(this);
  if (!Historico || !Historico->PodeRefazer()) return;
  Histograma->DefinirContagem(Historico->Refazer(Histograma->ContagemAcumulada()));
  AtualizarTotal();
}

void TFormHistoFixo::BtSalvarHistogramaClick() {
  SaveDialog.title = "Salvar Arquivo de Histograma";
  if (Salvo) {
    Histograma->SalvarArquivo(NomeArquivo.toStdString());
    return;
  }
  // Phases always go to the program's "fases" folder, whatever the default-folder setting.
  SaveDialog.initialDir = QString::fromStdString(vandrel::PastaPrograma()) + "fases";
  const std::optional<vandrel::FileDialogResult> escolha = vandrel::Dialogs().SaveFile(SaveDialog);
  if (!escolha || escolha->files.isEmpty()) return;
  NomeArquivo = escolha->files.first();
  if (!NomeArquivo.contains(".his", Qt::CaseSensitive)) NomeArquivo += ".his";
  Histograma->SalvarArquivo(NomeArquivo.toStdString());
  Salvo = true;
  SetCaption(QFileInfo(NomeArquivo).fileName());
}

void TFormHistoFixo::BtNovoHistoClick() {
  // A histogram window, owned by the main window, on a detached copy of the phase's values,
  // for comparisons.
  QWidget* frame = FrameWidget();
  auto* janela =
      new TFormHistograma(frame ? static_cast<QObject*>(frame) : static_cast<QObject*>(this));
  janela->Histograma->DefinirValores(Histograma->Valores());
}

bool TFormHistoFixo::FormClose() {
  fechada_ = true;
  if (Frame* frame = CurrentFrame()) frame->FaseFechada();
  // The log file is closed and stays on disk.
  Historico.reset();
  return true;
}
