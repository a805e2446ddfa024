#include "app/analysis/ui/MetodoDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <algorithm>

#include "app/analysis/model/FitCommon.h"
#include "app/analysis/model/ImageListFile.h"
#include "app/analysis/model/InitialThresholds.h"
#include "app/histograms/model/HistogramFiles.h"
#include "app/thresholds/model/ThresholdFiles.h"
#include "app/thresholds/ui/ULimiares.h"
#include "platform/FileNames.h"
#include "platform/PictureLoader.h"
#include "platform/qt/ErrorReport.h"

using namespace vandrel;

namespace {

const char* const kFiltroImagens =
    "All (*.gif;*.tiff;*.tif;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.gif;*.tiff;*.tif;*.jpg;"
    "*.jpeg;*.bmp;*.ico;*.emf;*.wmf|GIF - Graphics Interchange Format (*.gif)|*.gif|TIFF - Tag "
    "Image File Format (*.tiff)|*.tiff|TIFF - Tag Image File Format (*.tif)|*.tif|Bitmaps "
    "(*.bmp)|*.bmp";

// The method code of each item of the method group, and back.
constexpr uint8_t kMetodoDoItem[3] = {2, 0, 1};
int ItemDoMetodo(uint8_t metodo) {
  switch (metodo) {
    case 0:
      return 1;
    case 1:
      return 2;
    case 2:
      return 0;
    default:
      return -1;
  }
}

QToolButton* Botao(QWidget* parent, const char* nome, const QString& texto, QRect lugar) {
  auto* b = new QToolButton(parent);
  b->setObjectName(nome);
  b->setText(texto);
  b->setGeometry(lugar);
  b->setAutoRaise(true);
  return b;
}

QString Texto(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }

}  // namespace

TFrmMetodoDialog::TFrmMetodoDialog(QWidget* owner) : QDialog(owner) {
  setObjectName("FrmMetodoDialog");
  setWindowTitle("Method");
  // A dialog border with only the system menu (its close box).
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  QFont f = font();
  f.setPixelSize(11);
  setFont(f);
  setFixedSize(228, 307);

  rgAnalisys = new QGroupBox("Analysis Method", this);
  rgAnalisys->setObjectName("rgAnalisys");
  rgAnalisys->setGeometry(8, 6, 212, 46);
  rgAnalisysItens = new QButtonGroup(this);
  const char* const itens[3] = {"SVD ", "Gradient", "Max. desc."};
  // Three columns, each as wide as its caption needs.
  const int esquerda[3] = {4, 52, 124}, largura[3] = {48, 72, 86};
  for (int i = 0; i < 3; ++i) {
    auto* r = new QRadioButton(itens[i], rgAnalisys);
    r->setObjectName(QString("rgAnalisys%1").arg(i));
    r->setGeometry(esquerda[i], 20, largura[i], 18);
    rgAnalisysItens->addButton(r, i);
  }
  rgAnalisysItens->button(0)->setChecked(true);

  GroupBox1 = new QGroupBox("  Condições  ", this);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setGeometry(8, 56, 212, 44);
  comvinculo = new QRadioButton("Com vínculo", GroupBox1);
  comvinculo->setObjectName("comvinculo");
  comvinculo->setGeometry(10, 19, 96, 18);
  semvinculo = new QRadioButton("Sem vínculo", GroupBox1);
  semvinculo->setObjectName("semvinculo");
  semvinculo->setGeometry(110, 19, 96, 18);
  // The two are exclusive when the user picks one, yet both can be unchecked (the SVD
  // choice clears them): the exclusion is kept by hand.
  for (QRadioButton* r : {comvinculo, semvinculo}) r->setAutoExclusive(false);
  connect(comvinculo, &QRadioButton::clicked, this, [this] {
    comvinculo->setChecked(true);
    semvinculo->setChecked(false);
  });
  connect(semvinculo, &QRadioButton::clicked, this, [this] {
    semvinculo->setChecked(true);
    comvinculo->setChecked(false);
  });
  semvinculo->setChecked(true);
  comvinculo->setEnabled(false);
  semvinculo->setEnabled(false);

  gbInitial = new QGroupBox("Initial Values", this);
  gbInitial->setObjectName("gbInitial");
  gbInitial->setGeometry(8, 104, 212, 150);
  sbAuto = Botao(gbInitial, "sbAuto", "Auto", QRect(10, 20, 60, 22));
  sbManual = Botao(gbInitial, "sbManual", "Manual", QRect(76, 20, 60, 22));
  sbFile = Botao(gbInitial, "sbFile", "File", QRect(142, 20, 60, 22));
  auto* grupo = new QButtonGroup(this);
  grupo->setExclusive(true);
  for (QToolButton* b : {sbAuto, sbManual, sbFile}) {
    b->setCheckable(true);
    grupo->addButton(b);
  }
  sbAuto->setChecked(true);
  sbImage = Botao(gbInitial, "sbImage", "Image...", QRect(10, 52, 60, 22));
  stFileName = new QLabel(gbInitial);
  stFileName->setObjectName("stFileName");
  stFileName->setGeometry(76, 54, 126, 18);
  stFileName->setFrameStyle(QFrame::Box | QFrame::Plain);
  stFileName->setAutoFillBackground(true);
  QPalette cinza = stFileName->palette();
  cinza.setColor(QPalette::Window, QColor(192, 192, 192));
  cinza.setColor(QPalette::Base, QColor(192, 192, 192));
  stFileName->setPalette(cinza);
  Label1 = new QLabel("Values", gbInitial);
  Label1->setObjectName("Label1");
  Label1->setGeometry(10, 84, 60, 14);
  sgValues = new QTableWidget(1, 17, gbInitial);
  sgValues->setObjectName("sgValues");
  sgValues->setGeometry(10, 100, 192, 36);
  sgValues->setTextElideMode(Qt::ElideNone);
  sgValues->setShowGrid(true);
  sgValues->horizontalHeader()->hide();
  sgValues->verticalHeader()->hide();
  sgValues->horizontalHeader()->setMinimumSectionSize(1);
  sgValues->verticalHeader()->setMinimumSectionSize(1);
  // Columns of 25 pixels, or as wide as a three-digit level needs in the grid's font.
  const int coluna =
      std::max(25, QFontMetrics(sgValues->font()).horizontalAdvance("255") +
                       2 * (sgValues->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) + 1);
  for (int c = 0; c < 17; ++c) sgValues->setColumnWidth(c, coluna);
  sgValues->setRowHeight(0, 16);
  sgValues->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgValues->setSelectionMode(QAbstractItemView::NoSelection);
  sgValues->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  sgValues->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // A disabled grid still shows its thresholds: its text keeps the colour of an enabled one
  // on the silver ground, as a grid's cells do.
  QPalette grade = cinza;
  grade.setColor(QPalette::Disabled, QPalette::Text, grade.color(QPalette::Active, QPalette::Text));
  sgValues->setPalette(grade);
  for (int c = 0; c < 17; ++c) {
    auto* celula = new QTableWidgetItem;
    celula->setTextAlignment(Qt::AlignCenter);
    sgValues->setItem(0, c, celula);
  }

  sbOK = Botao(this, "sbOK", "OK", QRect(36, 270, 72, 24));
  sbCancel = Botao(this, "sbCancel", "Cancel", QRect(120, 270, 72, 24));

  OpenPictureDialog.filter = kFiltroImagens;
  OpenPictureDialog.picturePreview = true;
  OpenDialog.filter = "Arquivos ACD|*.acd";

  connect(rgAnalisysItens, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) Guarded([this] { rgAnalisysClick(); });
  });
  OnClicked(sbAuto, [this] { sbAutoClick(); });
  OnClicked(sbManual, [this] { sbManualClick(); });
  OnClicked(sbFile, [this] { sbFileClick(); });
  OnClicked(sbImage, [this] { sbImageClick(); });
  OnClicked(sbOK, [this] { sbOKClick(); });
  OnClicked(sbCancel, [this] { sbCancelClick(); });
}

TFrmMetodoDialog::~TFrmMetodoDialog() = default;

std::unique_ptr<TFrmMetodoDialog> TFrmMetodoDialog::CreateComPadrao(
    const std::string& arquivoPadrao, QWidget* owner) {
  std::unique_ptr<TFrmMetodoDialog> d(new TFrmMetodoDialog(owner));
  d->Iniciar(arquivoPadrao);
  return d;
}

std::unique_ptr<TFrmMetodoDialog> TFrmMetodoDialog::CreateComLimiares(
    const std::string& arquivoPadrao, const std::string& arquivoImagem, uint8_t metodo,
    const RegistroLimiares& limiares, QWidget* owner) {
  std::unique_ptr<TFrmMetodoDialog> d = CreateComPadrao(arquivoPadrao, owner);
  d->Metodo = metodo;
  if (const int item = ItemDoMetodo(metodo); item >= 0) d->SetItemIndex(item);
  d->ArquivoImagem = arquivoImagem;
  d->MostrarArquivoImagem();
  // A record made for a pattern of another phase count gives way to the automatic
  // thresholds, which the dialog holds and shows already.
  if (ThresholdsFitPattern(limiares, d->NumFases)) {
    d->Limiares = limiares;
    d->PreencherGrade(limiares);
  }
  return d;
}

void TFrmMetodoDialog::Iniciar(const std::string& arquivoPadrao) {
  ArquivoImagem.clear();
  ArquivoPadrao = arquivoPadrao;
  HabilitarValoresIniciais(false);
  Metodo = 2;
  Cancelado = true;
  fasesNoArquivo_ = ReadPhaseCount(WithoutExtension(arquivoPadrao) + ".pac");
  NumFases = UsablePhases(fasesNoArquivo_);
  Limiares = LimiaresAutomaticos();
}

bool TFrmMetodoDialog::GetComVinculo() const { return comvinculo->isChecked(); }

int TFrmMetodoDialog::ItemIndex() const { return rgAnalisysItens->checkedId(); }

void TFrmMetodoDialog::SetItemIndex(int index) {
  if (QAbstractButton* b = rgAnalisysItens->button(index)) b->setChecked(true);
}

QString TFrmMetodoDialog::Celula(int coluna) const {
  const QTableWidgetItem* it = sgValues->item(0, coluna);
  return it ? it->text() : QString();
}

void TFrmMetodoDialog::HabilitarValoresIniciais(bool flag) {
  for (QWidget* w : {static_cast<QWidget*>(sbAuto), static_cast<QWidget*>(sbManual),
                     static_cast<QWidget*>(sbFile), static_cast<QWidget*>(sbImage),
                     static_cast<QWidget*>(stFileName), static_cast<QWidget*>(sgValues),
                     static_cast<QWidget*>(gbInitial)})
    w->setEnabled(flag);
}

void TFrmMetodoDialog::PreencherGrade(const RegistroLimiares& r) {
  const std::array<std::string, 17> cells = ThresholdCells(r);
  for (int c = 0; c < 17; ++c)
    sgValues->item(0, c)->setText(QString::fromStdString(cells[size_t(c)]));
}

void TFrmMetodoDialog::MostrarArquivoImagem() {
  stFileName->setText(Texto(FileNameOf(ArquivoImagem)));
}

void TFrmMetodoDialog::MostrarAuto() { sbAuto->setChecked(true); }

RegistroLimiares TFrmMetodoDialog::LimiaresAutomaticos() {
  const RegistroLimiares r = AutomaticThresholds(ArquivoPadrao, fasesNoArquivo_);
  PreencherGrade(r);
  return r;
}

bool TFrmMetodoDialog::EscolherImagem() {
  const std::optional<FileDialogResult> escolha = Dialogs().OpenFiles(OpenPictureDialog);
  if (!escolha || escolha->files.isEmpty()) return false;
  ArquivoImagem = QFile::encodeName(escolha->files.front()).toStdString();
  MostrarArquivoImagem();
  return true;
}

RegistroLimiares TFrmMetodoDialog::LimiaresDeImagem() {
  RegistroLimiares r;
  r.n = 0;
  if (ArquivoImagem.empty() && !EscolherImagem()) {
    MostrarAuto();
    return r;
  }
  const Bitmap imagem = LoadPicture(ArquivoImagem);
  std::unique_ptr<TFormLimiares> w(TFormLimiares::CreateComBitmap(this, imagem));
  for (QWidget* c :
       {static_cast<QWidget*>(w->BtSalvarPaleta), static_cast<QWidget*>(w->BtAlterarCores),
        static_cast<QWidget*>(w->BAbrirPaleta), static_cast<QWidget*>(w->BtNovo),
        static_cast<QWidget*>(w->BtExcluir), static_cast<QWidget*>(w->BtSalvarLimiares),
        static_cast<QWidget*>(w->BtAbrirLimiares), static_cast<QWidget*>(w->BtAplicar),
        static_cast<QWidget*>(w->Bevel1), static_cast<QWidget*>(w->CheckBoxpreview)})
    c->hide();
  w->SetExibirAreas(true);
  // The window starts with one level; the pattern's phases need NumFases - 1.
  for (int i = 0; i < int(NumFases) - 2; ++i) w->BtNovoClick();
  TFormLimiares* janela = w.get();
  w->LigarBtOK([janela] { janela->Aceitar(); });
  w->MostrarModal();
  const RegistroLimiares escolhido = w->GetLimiares();
  if (escolhido.n > 0) {
    PreencherGrade(escolhido);
    return escolhido;
  }
  return r;
}

RegistroLimiares TFrmMetodoDialog::LimiaresDeArquivo() {
  RegistroLimiares r;
  r.n = 0;
  OpenDialog.title = "Escolha um Arquivo de Valores Iniciais";
  OpenDialog.filter = "Arquivos ALS|*.als";
  const std::optional<FileDialogResult> escolha = Dialogs().OpenFiles(OpenDialog);
  if (!escolha || escolha->files.isEmpty()) {
    MostrarAuto();
    return r;
  }
  RegistroLimiares lido;
  try {
    // The thresholds window's reader and checks.
    lido = LerArquivoLimiares(QFile::encodeName(escolha->files.front()).toStdString());
  } catch (...) {
    MostrarAuto();
    throw;
  }
  if (int(lido.n) != int(NumFases) - 1) {
    MessageDlg(QString("O arquivo de limiares deve\rter %1 níveis").arg(int(NumFases) - 1),
               MsgKind::Information, mbOK);
    MostrarAuto();
    return r;
  }
  // In ascending order, as the window keeps them: the start intervals of the iterative
  // fits run from each threshold to the next.
  OrdenarLimiares(lido.lim, lido.n);
  PreencherGrade(lido);
  return lido;
}

void TFrmMetodoDialog::rgAnalisysClick() {
  const int item = ItemIndex();
  if (item < 0 || item > 2) return;
  Metodo = kMetodoDoItem[item];
  const bool iterativo = item != 0;
  comvinculo->setEnabled(iterativo);
  semvinculo->setEnabled(iterativo);
  if (!iterativo) {
    comvinculo->setChecked(false);
    semvinculo->setChecked(false);
  }
  HabilitarValoresIniciais(iterativo);
}

void TFrmMetodoDialog::sbAutoClick() {
  const RegistroLimiares r = LimiaresAutomaticos();
  if (r.n > 0) Limiares = r;
}

void TFrmMetodoDialog::sbManualClick() {
  const RegistroLimiares r = LimiaresDeImagem();
  if (r.n > 0) Limiares = r;
}

void TFrmMetodoDialog::sbFileClick() {
  const RegistroLimiares r = LimiaresDeArquivo();
  if (r.n > 0) Limiares = r;
}

void TFrmMetodoDialog::sbImageClick() {
  // The button always chooses the image of the manual thresholds, whichever source of
  // initial values is pressed: the choice is what a later "Manual" works on.
  EscolherImagem();
}

void TFrmMetodoDialog::sbOKClick() {
  Cancelado = false;
  accept();
}

void TFrmMetodoDialog::sbCancelClick() { reject(); }
