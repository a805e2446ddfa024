#include "app/analysis/ui/UnitFormResultHomogeneidade.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/analysis/model/Mosaic.h"
#include "app/analysis/model/SharedFiles.h"
#include "app/analysis/model/VolumeFile.h"
#include "app/frame/ui/Frame.h"
#include "app/histograms/model/HistogramFiles.h"
#include "app/imaging/model/GreyImage.h"
#include "app/settings/model/URecursos.h"
#include "platform/PictureLoader.h"
#include "platform/TextFile.h"
#include "platform/qt/BitmapView.h"
#include "platform/qt/ErrorReport.h"

using namespace vandrel;

namespace {

constexpr int kLargura = 326, kAlturaMinima = 421;
constexpr int kCelula = 30, kGradeMaxLargura = 280, kGradeMaxAltura = 240;
constexpr int kMargem = 8;
constexpr int kMemoMinimo = 100;

}  // namespace

vandrel::ArquivosCompartilhados& TFormresultHomogeneidade::ArquivosDeTrabalho() {
  static vandrel::ArquivosCompartilhados arquivos;
  return arquivos;
}

TFormresultHomogeneidade::TFormresultHomogeneidade(QObject* owner) : TForm(nullptr) {
  setObjectName("FormresultHomogeneidade");
  QFont fonte = font();
  fonte.setPixelSize(11);
  setFont(fonte);

  Label1 = new QLabel("Mosaico das Imagens", this);
  Label1->setObjectName("Label1");
  StringGrid1 = new QTableWidget(this);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->horizontalHeader()->setMinimumSectionSize(1);
  StringGrid1->verticalHeader()->setMinimumSectionSize(1);
  StringGrid1->horizontalHeader()->setDefaultSectionSize(kCelula);
  StringGrid1->verticalHeader()->setDefaultSectionSize(kCelula);
  StringGrid1->setFrameShape(QFrame::NoFrame);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  Label2 = new QLabel("Correspondentes Imagens", this);
  Label2->setObjectName("Label2");
  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName("ListBox1");
  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setScaledContents(true);
  Image1->setFrameShape(QFrame::Box);
  Button1 = new QPushButton("&Calcular Homogeneidade", this);
  Button1->setObjectName("Button1");
  BtnSalvar = new QPushButton("&Salvar Resultados", this);
  BtnSalvar->setObjectName("BtnSalvar");
  BtnSalvar->setEnabled(false);
  LabelNomeArqSaida = new QLabel("Resultados", this);
  LabelNomeArqSaida->setObjectName("LabelNomeArqSaida");
  MemoResultados = new QPlainTextEdit(this);
  MemoResultados->setObjectName("MemoResultados");
  MemoResultados->setReadOnly(true);
  // The memo wraps its lines, and a path with no blank breaks anywhere, so that the degree
  // of homogeneity and the output path are read whole.
  MemoResultados->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  MemoResultados->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  MemoResultados->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Dispor(0);

  OnClicked(Button1, [this] { Button1Click(); });
  OnClicked(BtnSalvar, [this] { BtnSalvarClick(); });
  connect(StringGrid1, &QTableWidget::currentCellChanged, this, [this](int linha, int coluna) {
    if (linha >= 0 && coluna >= 0)
      Guarded([this, linha, coluna] { StringGrid1SelectCell(coluna, linha); });
  });
  connect(ListBox1, &QListWidget::itemPressed, this,
          [this] { Guarded([this] { ListBox1MouseDown(); }); });

  SetOwner(owner);
  SetCaption("Homogeneidade");
  FormCreate();
  uso_.emplace(ArquivosDeTrabalho(), [this] {
    std::vector<std::string> arquivos = NomeDosArquivosMED;
    if (!ArquivoVol.empty()) arquivos.push_back(ArquivoVol);
    return arquivos;
  });
  if (Frame* frame = CurrentFrame()) {
    frame->AdicionarFilha(this);
    if (SubWindow()) {
      SingleBorder();
      FitFrameTo(size());
    }
  }
  Show();
}

TFormresultHomogeneidade::~TFormresultHomogeneidade() { FormDestroy(); }

void TFormresultHomogeneidade::FormCreate() { CaminhosImagens.clear(); }

void TFormresultHomogeneidade::FormDestroy() {
  if (uso_) uso_->ApagarOsSeus();
}

void TFormresultHomogeneidade::Dispor(int lado) {
  const int grade = lado * kCelula;
  const int largura = std::min(grade, kGradeMaxLargura);
  const int altura = std::min(grade, kGradeMaxAltura);
  Label1->setGeometry(kMargem, 4, 200, 16);
  StringGrid1->setGeometry(kMargem, 22, std::max(largura, 1), std::max(altura, 1));
  int y = 22 + altura + 6;
  Label2->setGeometry(kMargem, y, 200, 16);
  y += 18;
  ListBox1->setGeometry(kMargem, y, kLargura - 3 * kMargem - 65, 52);
  Image1->setGeometry(kLargura - kMargem - 65, y, 65, 49);
  y += 52 + 6;
  Button1->setGeometry(kMargem, y, 152, 25);
  BtnSalvar->setGeometry(kLargura - kMargem - 152, y, 152, 25);
  y += 25 + 6;
  LabelNomeArqSaida->setGeometry(kMargem, y, 200, 16);
  y += 18;
  const int memo = std::max(kAlturaMinima - kMargem - y, kMemoMinimo);
  MemoResultados->setGeometry(kMargem, y, kLargura - 2 * kMargem, memo);
  setFixedSize(kLargura, y + memo + kMargem);
  FitFrameTo(size());
}

bool TFormresultHomogeneidade::PotenciaParDe2(int n) { return vandrel::PotenciaParDe2(n); }

void TFormresultHomogeneidade::MontarMosaico(int numFases, const std::vector<std::string>& caminhos,
                                             const std::string& arquivoVol) {
  NumFases = numFases;
  ArquivoVol = arquivoVol;
  CaminhosImagens = caminhos;
  NumImagens = int(caminhos.size());
  lado_ = int(std::sqrt(double(NumImagens)));
  Dispor(lado_);

  ListBox1->clear();
  for (int v = 1; v <= NumImagens; ++v)
    ListBox1->addItem(QString("Imagem %1-> %2")
                          .arg(v)
                          .arg(QString::fromStdString(CurveName(CaminhosImagens[size_t(v - 1)]))));
  {
    const QSignalBlocker quieto(StringGrid1);
    StringGrid1->setRowCount(lado_);
    StringGrid1->setColumnCount(lado_);
    for (int r = 0; r < lado_; ++r)
      for (int c = 0; c < lado_; ++c) {
        auto* item = new QTableWidgetItem(QString::number(ImagemDaCelula(c, r, lado_)));
        item->setTextAlignment(Qt::AlignCenter);
        StringGrid1->setItem(r, c, item);
      }
  }
  if (lado_ > 0) StringGrid1SelectCell(lado_ - 1, 0);
  if (ListBox1->count() > 0) ListBox1->setCurrentRow(0);
  valores_ = LerArquivoVol(ArquivoVol, NumImagens, NumFases);
}

void TFormresultHomogeneidade::StringGrid1SelectCell(int coluna, int linha) {
  const int indice = std::abs(coluna - lado_) + lado_ * linha - 1;
  if (indice < 0 || indice >= NumImagens) return;
  // The preview reads an image the way the analysis did: a ".grey" file as the raw image.
  const std::string& caminho = CaminhosImagens[size_t(indice)];
  Bitmap imagem;
  if (FileExtension(caminho) == ".grey")
    ReadGrey(caminho, GreyRamp(), imagem);
  else
    imagem = LoadPicture(caminho);
  const QImage vista = BitmapView(imagem);
  Image1->setPixmap(QPixmap::fromImage(
      vista.scaled(Image1->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  imagemMostrada_ = indice;
}

void TFormresultHomogeneidade::ListBox1MouseDown() {
  const int i = ListBox1->currentRow();
  if (i < 0 || lado_ <= 0) return;
  StringGrid1SelectCell(std::abs(i % lado_ - lado_) - 1, i / lado_);
}

void TFormresultHomogeneidade::Button1Click() {
  BtnSalvar->setEnabled(true);
  PastaTemp = PastaPrograma() + "temp/";
  CalcularHomogeneidade(NumImagens, NumFases, ArquivoVol, PastaTemp);
}

void TFormresultHomogeneidade::Relatar(const std::vector<std::string>& linhas) {
  for (const std::string& linha : linhas)
    MemoResultados->appendPlainText(QString::fromStdString(linha));
}

void TFormresultHomogeneidade::CalcularHomogeneidade(int n, int numFases,
                                                     const std::string& arquivoVol,
                                                     const std::string& pasta) {
  // The numbers come first, read and checked as a whole: a damaged file stops here and
  // leaves the memo, the files and the list of the last calculation as they were.
  if (!valores_ || arquivoVol != ArquivoVol || valores_->numFases != numFases ||
      int(valores_->imagens.size()) < n)
    valores_ = LerArquivoVol(arquivoVol, n, numFases);
  const std::vector<NivelHomogeneidade> niveis = CalcularNiveis(*valores_, n);

  NomeDosArquivosMED.clear();
  MemoResultados->clear();
  niveis_.clear();
  const int lado = LadoDoMosaico(n);
  for (const NivelHomogeneidade& nivel : niveis) {
    const std::vector<std::string> pecas = RelatorioDasPecas(nivel, lado);
    Relatar({pecas.begin(), pecas.begin() + 3});
    const std::string arquivo = ArquivoMED(pasta, nivel.s);
    NomeDosArquivosMED.push_back(arquivo);
    EscreverMED(arquivo, nivel);
    Relatar({pecas.begin() + 3, pecas.end()});
    Relatar(RelatorioDoGrau(nivel, arquivo));
    niveis_.push_back(nivel);
  }
}

void TFormresultHomogeneidade::BtnSalvarClick() {
  SaveDialog1.title = "Cálculo da Homogeneidade";
  SaveDialog1.initialDir = QString::fromStdString(PastaPrograma() + "resultados");
  SaveDialog1.filter = "Arquivo de Homogeneidade (*.txt)|*.txt";
  MessageDlg("Escolha um nome(prefixo) para os arquivos resultantes desta análise.",
             MsgKind::Information, mbOK);
  const std::optional<FileDialogResult> escolha = Dialogs().SaveFile(SaveDialog1);
  if (!escolha || escolha->files.isEmpty()) return;
  std::string prefixo = escolha->files.first().toStdString();
  if (FileExtension(prefixo) == ".txt") prefixo = WithoutExtension(prefixo);
  SalvarResultados(prefixo);
}

void TFormresultHomogeneidade::SalvarResultados(const std::string& prefixo) const {
  // The report as the memo shows it, then one file per level in the ".MED" layout.
  TextWriter relatorio(prefixo + ".txt");
  const QStringList linhas = MemoResultados->toPlainText().split('\n');
  for (const QString& linha : linhas) relatorio.WriteLine(linha.toStdString());
  relatorio.Close();
  for (const NivelHomogeneidade& nivel : niveis_)
    EscreverMED(prefixo + "_A" + std::to_string(nivel.s) + ".MED", nivel);
}
