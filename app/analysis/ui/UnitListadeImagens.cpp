#include "app/analysis/ui/UnitListadeImagens.h"

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPainter>
#include <QToolButton>
#include <memory>

#include "app/analysis/model/FitCommon.h"
#include "app/analysis/model/ImageListFile.h"
#include "app/analysis/model/InitialThresholds.h"
#include "app/analysis/ui/MetodoDialog.h"
#include "app/analysis/ui/UResultado.h"
#include "app/frame/ui/Frame.h"
#include "app/frame/ui/ToolIcons.h"
#include "app/histograms/model/HistogramFiles.h"
#include "app/settings/model/URecursos.h"
#include "platform/FileNames.h"
#include "platform/qt/ErrorReport.h"

using namespace vandrel;

namespace {

const char* const kFiltroImagens =
    "Todas as Imagems (*.tif,*.bmp,*.gif,*.grey)|*.gif;*.tif;*.bmp;*.grey|Bitmaps do "
    "Windows|*.bmp|Bitmaps Tiff|*.tif|Imagens Grey|*.grey|Bitmaps Compu Serve|*.gif";
const char* const kFiltroListas = "Lista de Imagens (*.lst)|*.lst|Arquivo de texto (*.txt)|*.txt";
const char* const kFiltroPadroes = "Arquivos de Padrões (*.pat)|*.pat|Todos os Arquivos (*.*)|*.*";

constexpr int kLargura = 225, kAltura = 381;

QString Texto(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }
std::string Caminho(const QString& s) { return QFile::encodeName(s).toStdString(); }

// The picture of the remove button: a red cross over a list.
QIcon IconeExcluir() {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(Qt::white);
  p.drawRect(3, 2, 16, 20);
  p.setPen(QPen(QColor(120, 120, 120), 1));
  for (int y = 6; y <= 18; y += 4) p.drawLine(6, y, 16, y);
  p.setPen(QPen(QColor(200, 20, 20), 2.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(11, 11, 21, 21);
  p.drawLine(21, 11, 11, 21);
  return QIcon(pm);
}

QToolButton* Botao(QWidget* parent, const char* nome, const QRect& lugar) {
  auto* b = new QToolButton(parent);
  b->setObjectName(nome);
  b->setGeometry(lugar);
  b->setAutoRaise(true);
  b->setIconSize(QSize(20, 20));
  return b;
}

TFasesVisiveis TodasVisiveis() {
  TFasesVisiveis f;
  f.fill(true);
  return f;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// List box

TListBox::TListBox(QWidget* parent) : QListWidget(parent) {}

void TListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click selects as a press does, so that a double click
  // with Ctrl held leaves the line it toggled selected, as a list box of the system does.
  QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->globalPosition(),
                    event->button(), event->buttons(), event->modifiers());
  QListWidget::mousePressEvent(&press);
  emit OnDblClick();
}

void TListBox::keyPressEvent(QKeyEvent* event) {
  QListWidget::keyPressEvent(event);
  emit OnKeyDown(event->key());
}

// ---------------------------------------------------------------------------------------------
// Image-list window

TFormListaImagens::TFormListaImagens(QObject* owner) : TForm(nullptr) {
  setObjectName("FormListaImagens");
  QFont fonte = font();
  fonte.setPixelSize(11);
  setFont(fonte);

  BAbrirLista = Botao(this, "BAbrirLista", QRect(4, 4, 26, 26));
  BAbrirLista->setToolTip("Abrir Lista de Imagens");
  BAbrirLista->setIcon(ToolIcon("abrir"));
  BSalvarLista = Botao(this, "BSalvarLista", QRect(32, 4, 26, 26));
  BSalvarLista->setToolTip("Salvar Lista Atual");
  BSalvarLista->setIcon(ToolIcon("salvar"));
  AdicionarImagens = Botao(this, "AdicionarImagens", QRect(68, 4, 26, 26));
  AdicionarImagens->setToolTip("Adicionar Imagens");
  AdicionarImagens->setIcon(ToolIcon("adicionar"));
  ExcluirImagens = Botao(this, "ExcluirImagens", QRect(96, 4, 26, 26));
  ExcluirImagens->setToolTip("Excluir Imagens Selecionadas");
  ExcluirImagens->setIcon(IconeExcluir());

  ListaDeImagens = new TListBox(this);
  ListaDeImagens->setObjectName("ListaDeImagens");
  ListaDeImagens->setGeometry(4, 34, kLargura - 8, 252);
  ListaDeImagens->setSelectionMode(QAbstractItemView::ExtendedSelection);

  BtPadrao = Botao(this, "BtPadrao", QRect(4, 292, 72, 23));
  BtPadrao->setText("Padrão");
  BtPadrao->setToolTip("Escolher Padrão");
  Label1 = new QLabel("nenhum", this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(82, 296, kLargura - 86, 15);
  QFont negrito = Label1->font();
  negrito.setBold(true);
  Label1->setFont(negrito);

  sbAnalise = Botao(this, "sbAnalise", QRect(4, 320, 72, 23));
  sbAnalise->setText("Análise");
  sbAnalise->setToolTip("Escolher Padrão");
  lbMetodo = new QLabel("SVD", this);
  lbMetodo->setObjectName("lbMetodo");
  lbMetodo->setGeometry(82, 324, kLargura - 86, 15);

  BAnalisar = Botao(this, "BAnalisar", QRect(4, 350, kLargura - 8, 26));
  BAnalisar->setText("Analisar");

  BSalvarLista->setEnabled(false);
  ExcluirImagens->setEnabled(false);
  BAnalisar->setEnabled(false);

  OnClicked(BAbrirLista, [this] { BAbrirListaClick(); });
  OnClicked(BSalvarLista, [this] { BSalvarListaClick(); });
  OnClicked(AdicionarImagens, [this] { AdicionarImagensClick(); });
  OnClicked(ExcluirImagens, [this] { ExcluirImagensClick(); });
  OnClicked(BtPadrao, [this] { BtPadraoClick(); });
  OnClicked(sbAnalise, [this] { sbAnaliseClick(); });
  OnClicked(BAnalisar, [this] { BAnalisarClick(); });
  connect(ListaDeImagens, &QListWidget::itemSelectionChanged, this, [this] {
    if (!mudandoLista_) Guarded([this] { ListaDeImagensClick(); });
  });
  connect(ListaDeImagens, &TListBox::OnDblClick, this,
          [this] { Guarded([this] { ListaDeImagensDblClick(); }); });
  connect(ListaDeImagens, &TListBox::OnKeyDown, this,
          [this](int key) { Guarded([this, key] { ListaDeImagensKeyDown(key); }); });

  Limiares.n = 0;
  setFixedSize(kLargura, kAltura);
  SetOwner(owner);
  SetCaption("Nova Lista");
  if (Frame* frame = CurrentFrame()) {
    frame->AdicionarFilha(this);
    if (QMdiSubWindow* sub = SubWindow()) {
      // The system menu and the minimise box only; the window keeps the size of its content.
      SingleBorder();
      SetFrameSize(sub->sizeHint());
    }
  }
}

TFormListaImagens::~TFormListaImagens() = default;

// ---- the three parallel lists ----

void TFormListaImagens::Acrescentar(std::string caminho) {
  mudandoLista_ = true;
  ListaDeImagens->addItem(Texto(FileNameOf(caminho)));
  mudandoLista_ = false;
  CaminhosImagens.push_back(std::move(caminho));
  FasesVisiveis.push_back(TodasVisiveis());
}

void TFormListaImagens::Limpar() {
  mudandoLista_ = true;
  ListaDeImagens->clear();
  mudandoLista_ = false;
  CaminhosImagens.clear();
  FasesVisiveis.clear();
}

void TFormListaImagens::LigarBotoesDaLista() {
  const bool algum = ListaDeImagens->count() > 0;
  BAnalisar->setEnabled(algum);
  BSalvarLista->setEnabled(algum);
}

// ---- handlers ----

void TFormListaImagens::AdicionarImagensClick() {
  Abrir.filter = kFiltroImagens;
  Abrir.filterIndex = 1;
  Abrir.fileName.clear();
  Abrir.title = "Adicionar Imagem";
  Abrir.initialDir = QString::fromStdString(CaminhoImagens());
  Abrir.multiSelect = true;
  if (const std::optional<FileDialogResult> escolha = Dialogs().OpenFiles(Abrir))
    for (const QString& f : escolha->files) Acrescentar(Caminho(f));
  LigarBotoesDaLista();
}

void TFormListaImagens::ExcluirImagensClick() {
  mudandoLista_ = true;
  for (int i = ListaDeImagens->count() - 1; i >= 0; --i) {
    if (!ListaDeImagens->item(i)->isSelected()) continue;
    delete ListaDeImagens->takeItem(i);
    CaminhosImagens.erase(CaminhosImagens.begin() + i);
    FasesVisiveis.erase(FasesVisiveis.begin() + i);
  }
  mudandoLista_ = false;
  LigarBotoesDaLista();
  ExcluirImagens->setEnabled(false);
}

void TFormListaImagens::ListaDeImagensKeyDown(int key) {
  if (key == Qt::Key_Delete) ExcluirImagensClick();
}

void TFormListaImagens::ListaDeImagensClick() {
  BAnalisar->setEnabled(ListaDeImagens->count() > 0);
  ExcluirImagens->setEnabled(!ListaDeImagens->selectedItems().isEmpty());
}

void TFormListaImagens::BSalvarListaClick() {
  Salvar.filter = kFiltroListas;
  Salvar.filterIndex = 1;
  Salvar.fileName.clear();
  Salvar.initialDir = QString::fromStdString(CaminhoListaImagens());
  Salvar.title = "Salvar Lista";
  const std::optional<FileDialogResult> escolha = Dialogs().SaveFile(Salvar);
  if (!escolha || escolha->files.isEmpty()) return;
  const std::string escolhido = Caminho(escolha->files.front());
  WriteImageList(ImageListTarget(escolhido, escolha->filterIndex), CaminhosImagens);
  SetCaption(Texto(FileNameOf(escolhido)));
}

void TFormListaImagens::BAbrirListaClick() {
  Abrir.filter = kFiltroListas;
  Abrir.filterIndex = 1;
  Abrir.fileName.clear();
  Abrir.title = "Abrir Lista";
  Abrir.initialDir = QString::fromStdString(CaminhoListaImagens());
  Abrir.multiSelect = true;
  const std::optional<FileDialogResult> escolha = Dialogs().OpenFiles(Abrir);
  if (!escolha || escolha->files.isEmpty()) return;
  CarregarLista(escolha->files.front());
}

void TFormListaImagens::CarregarLista(const QString& fileName) {
  Limpar();
  const std::string caminho = Caminho(fileName);
  ReadImageList(caminho, [this](std::string entrada) { Acrescentar(std::move(entrada)); });
  SetCaption(Texto(FileNameOf(caminho)));
  BAnalisar->setEnabled(true);
  BSalvarLista->setEnabled(true);
}

void TFormListaImagens::BtPadraoClick() {
  Abrir.filter = kFiltroPadroes;
  Abrir.filterIndex = 1;
  Abrir.fileName.clear();
  Abrir.title = "Novo Padrão";
  Abrir.initialDir = QString::fromStdString(CaminhoPadroes());
  Abrir.multiSelect = true;
  const std::optional<FileDialogResult> escolha = Dialogs().OpenFiles(Abrir);
  if (!escolha || escolha->files.isEmpty()) return;
  ArquivoPadrao = Caminho(escolha->files.front());
  Label1->setText(Texto(CurveName(ArquivoPadrao)));
  AjustarLimiaresAoPadrao();
}

void TFormListaImagens::AjustarLimiaresAoPadrao() {
  if (!MetodoDefinido) return;  // the dialog has not been confirmed: it proposes them itself
  try {
    const int32_t fases = ReadPhaseCount(WithoutExtension(ArquivoPadrao) + ".pac");
    if (!ThresholdsFitPattern(Limiares, fases))
      Limiares = AutomaticThresholds(ArquivoPadrao, fases);
  } catch (const std::exception&) {
    // A pattern that cannot be read keeps no thresholds; the dialog and the runs report it.
    Limiares = RegistroLimiares{};
  }
}

void TFormListaImagens::ListaDeImagensDblClick() {
  if (ArquivoPadrao.empty()) {
    MessageDlg("Selecione um Padrão Para\rPoder Alterá-lo", MsgKind::Information, mbOK);
    return;
  }
  int ultimo = -1;
  for (int i = 0; i < ListaDeImagens->count(); ++i)
    if (ListaDeImagens->item(i)->isSelected()) ultimo = i;
  if (ultimo < 0 || size_t(ultimo) >= FasesVisiveis.size()) return;
  std::unique_ptr<TFormHistoVis> janela =
      TFormHistoVis::CreateComPadrao(ArquivoPadrao, FasesVisiveis[size_t(ultimo)], this);
  Dialogs().RunModal(*janela);
  if (!janela->Aceito) return;
  for (int i = 0; i < ListaDeImagens->count() && size_t(i) < FasesVisiveis.size(); ++i) {
    QListWidgetItem* item = ListaDeImagens->item(i);
    if (!item->isSelected()) continue;
    FasesVisiveis[size_t(i)] = janela->FasesVisiveis;
    if (!item->text().startsWith('*')) item->setText("*" + item->text());
  }
}

void TFormListaImagens::sbAnaliseClick() {
  if (ArquivoPadrao.empty()) {
    MessageDlg("Selecione um Padrão Para\rAjustar o Método", MsgKind::Information, mbOK);
    return;
  }
  std::unique_ptr<TFrmMetodoDialog> d =
      MetodoDefinido ? TFrmMetodoDialog::CreateComLimiares(ArquivoPadrao, ArquivoImagem, Metodo,
                                                           Limiares, this)
                     : TFrmMetodoDialog::CreateComPadrao(ArquivoPadrao, this);
  Dialogs().RunModal(*d);
  if (d->Cancelado) return;
  ComVinculo = d->GetComVinculo();
  Metodo = d->GetMetodo();
  Limiares = d->GetLimiares();
  ArquivoImagem = d->GetArquivoImagem();
  MetodoDefinido = true;
  switch (Metodo) {
    case 0:
      lbMetodo->setText("Gradiente");
      break;
    case 1:
      lbMetodo->setText("Max. Descida");
      break;
    case 2:
      lbMetodo->setText("SVD");
      break;
    default:
      break;
  }
}

void TFormListaImagens::BAnalisarClick() {
  if (ArquivoPadrao.empty()) {
    MessageDlg("Selecione um Padrão Para\rIniciar a Análise", MsgKind::Information, mbOK);
    return;
  }
  // Every run opens a window of its own, owned by this one; earlier results stay open.
  TFormResultado* resultado = TFormResultado::CreateComPadrao(this, ArquivoPadrao);
  resultado->Analisar(CaminhosImagens, Metodo, Limiares, ComVinculo);
}
