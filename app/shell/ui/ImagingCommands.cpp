// The main window's commands of the image windows: opening images (the open dialog and the
// recent-image entries), saving them and their information, the image operations (mean
// filter, greyscale, channel split, contrast, brightness, similar pixels), the zoom, the
// window list and the active-image checks.
#include <QFileInfo>
#include <QMenu>
#include <array>
#include <memory>

#include "app/imaging/model/ChannelSplit.h"
#include "app/imaging/model/Greyscale.h"
#include "app/imaging/model/MeanFilter.h"
#include "app/imaging/model/PaletteSource.h"
#include "app/imaging/ui/UGama.h"
#include "app/imaging/ui/UnitBrilho.h"
#include "app/imaging/ui/UnitImagem.h"
#include "app/imaging/ui/UnitSimilares.h"
#include "app/imaging/ui/unit_info_imagem.h"
#include "app/settings/model/URecursos.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "platform/qt/Dialogs.h"

namespace {

const char* const kFiltroImagens =
    "Bitmap do Windows (*.bmp)|*.bmp|Imagens TIFF (*.tif,*.tiff)|*.tif;*.tiff|CompuServe "
    "imagens (*.gif)|*.gif|Imagem Grey (*.grey)|*.grey|Todas as imagens(*.bmp,*.tif,*.tiff,*gif,"
    "*.grey)|*.bmp;*.tif;*.tiff;*gif;*.grey";

// The open dialog keeps the filter the user chose last; "Todas as imagens" at first.
int filtroEscolhido = 5;

const char* const kSelecioneImagem = "Você deve primeiro selecionar uma imagem";
const char* const kSo24Bits = "Só é possível converter imagens de 24 bits";

void MostrarFalhaAoAbrir(const QString& path) {
  vandrel::MessageDlg(
      "O arquivo " + path + " não pode ser aberto!\r\nVerifique se este arquivo existe.",
      vandrel::MsgKind::Error, vandrel::mbOK);
}

}  // namespace

bool IsImageWindow(const TForm* form) { return dynamic_cast<const TFormImagem*>(form) != nullptr; }

TFormImagem* TFormPrincipal::ImagemAtiva(bool oitoBits) {
  TForm* ativa = FilhaAtiva();
  auto* imagem = dynamic_cast<TFormImagem*>(ativa);
  if (!imagem ||
      (ativa->ClassName() != "TFormImagem" && ativa->ClassName() != "TFormImagemSaida")) {
    vandrel::ShowMessage(kSelecioneImagem);
    return nullptr;
  }
  if (oitoBits && imagem->BitmapImagem.format() != vandrel::PixelFormat::pf8bit) {
    vandrel::ShowMessage("Essa não é uma imagem de 8 bits");
    return nullptr;
  }
  return imagem;
}

void TFormPrincipal::Abrir_ImagemExecute() {
  vandrel::FileDialogSpec spec;
  spec.filter = kFiltroImagens;
  spec.filterIndex = filtroEscolhido;
  spec.initialDir = QString::fromStdString(vandrel::CaminhoImagens());
  spec.multiSelect = true;
  spec.picturePreview = true;
  const std::optional<vandrel::FileDialogResult> escolha = vandrel::Dialogs().OpenFiles(spec);
  if (!escolha) return;
  filtroEscolhido = escolha->filterIndex;

  for (const QString& arquivo : escolha->files) {
    // A reader's error takes the window away (NewPictureWindow) and ends the command at the
    // error report: the files after it are not opened and it does not enter the recent list.
    NewPictureWindow<TFormImagem> janela(new TFormImagem(this));
    if (janela->CarregarImagem(arquivo)) {
      janela->DefinirNome(QFileInfo(arquivo).fileName());
      janela.Keep();
    } else {
      // A file that is not there: its window goes, the message, then the dialog comes back;
      // when it is done, the remaining files are opened. The path still enters the list.
      janela.Discard();
      MostrarFalhaAoAbrir(arquivo);
      Abrir_ImagemExecute();
    }
    vandrel::AdicionarImagemAberta(arquivo.toStdString());
    AtualizarImagensRecentes();
  }
  SalvarImagem->setEnabled(true);
  CompoComImagem->trigger();
}

void TFormPrincipal::imaClick(int k) {
  // The file the item shows, not whatever the configuration holds under its key by now.
  const QString caminho = ima[size_t(k)]->data().toString();
  if (caminho.isEmpty()) return;
  // As in the open dialog: a reader's error takes the window away and reaches the report.
  NewPictureWindow<TFormImagem> janela(new TFormImagem(this));
  if (!janela->CarregarImagem(caminho)) {
    janela.Discard();
    MostrarFalhaAoAbrir(caminho);
    Abrir_ImagemExecute();
    return;
  }
  janela->DefinirNome(QFileInfo(caminho).fileName());
  janela.Keep();
}

namespace {
// The active child when it is an image window of either kind; otherwise the message.
TFormImagem* JanelaDeZoom(const TFormPrincipal& principal) {
  auto* imagem = dynamic_cast<TFormImagem*>(principal.FilhaAtiva());
  if (!imagem) vandrel::ShowMessage(kSelecioneImagem);
  return imagem;
}
}  // namespace

void TFormPrincipal::ZoomInClick() {
  TFormImagem* imagem = JanelaDeZoom(*this);
  if (!imagem) return;
  imagem->AlterarZoom(vandrel::kZoomStep);
  ZoomOut->setEnabled(true);
}

void TFormPrincipal::ZoomOutClick() {
  TFormImagem* imagem = JanelaDeZoom(*this);
  if (!imagem) return;
  if (!imagem->AlterarZoom(-vandrel::kZoomStep)) ZoomOut->setEnabled(false);
}

void TFormPrincipal::ZoomNormal1Click() {
  if (TFormImagem* imagem = JanelaDeZoom(*this)) imagem->ZoomNormal();
}

void TFormPrincipal::Janela1Click() {
  // The four fixed items stay: the three arrangements and the separator.
  const QList<QAction*> items = Janela1->actions();
  for (qsizetype i = 4; i < items.size(); ++i) {
    Janela1->removeAction(items[i]);
    items[i]->deleteLater();
  }
  JanelasDoMenu.clear();
  TForm* ativa = FilhaAtiva();
  for (TForm* filha : Filhas()) {
    if (!IsImageWindow(filha)) continue;
    JanelasDoMenu.emplace_back(filha);
    QString caption = filha->Caption();
    caption.replace("&", "&&");  // shown as written, not as a mnemonic
    QAction* item = Janela1->addAction(caption);
    item->setData(int(Janela1->actions().size()) - 1);  // its index among the menu's items
    item->setCheckable(true);
    item->setChecked(filha == ativa);
    connect(item, &QAction::triggered, this, [this, item] { JanelaDaListaClick(item); });
  }
}

void TFormPrincipal::JanelaDaListaClick(QAction* item) {
  const int indice = item->data().toInt() - 4;
  if (indice < 0 || size_t(indice) >= JanelasDoMenu.size()) return;
  if (TForm* janela = JanelasDoMenu[size_t(indice)]) janela->Show();
  item->setChecked(true);
}

void TFormPrincipal::SalvarImagemExecute() {
  if (Filhas().empty()) {
    SalvarImagem->setEnabled(false);
    vandrel::ShowMessage("Não existem imagens a serem salvas");
    return;
  }
  if (auto* imagem = qobject_cast<TFormImagem*>(FilhaAtiva())) {
    imagem->SalvarImagemComo();
    return;
  }
  vandrel::ShowMessage("Selecione a imagem que deseja salvar");
}

void TFormPrincipal::SalvarImagem1Click() {
  if (auto* imagem = qobject_cast<TFormImagem*>(FilhaAtiva())) imagem->SalvarImagemComo();
}

void TFormPrincipal::InformaesdaImagem1Click() {
  TForm* ativa = FilhaAtiva();
  if (!ativa || ativa->ClassName() != "TFormImagem") return;  // output windows do not qualify
  auto* info = new TForminfo_imagem(this);
  info->MostrarInfo(static_cast<TFormImagem*>(ativa)->BitmapImagem);
  info->Show();
}

void TFormPrincipal::FiltroMediaExecute() {
  TFormImagem* imagem = ImagemAtiva(true);
  if (!imagem) return;
  NewPictureWindow<TFormImagemSaida> saida(TFormImagemSaida::CreateComOrigem(imagem, imagem));
  saida->DefinirBitmap(vandrel::FiltroMedia(imagem->BitmapImagem));
  saida->SetCaption(imagem->Caption() + " - Filtro da Média");
  saida.Keep();
}

void TFormPrincipal::GreyscaleExecute() {
  auto* imagem = dynamic_cast<TFormImagem*>(FilhaAtiva());
  if (!imagem) {
    vandrel::ShowMessage("Você deve primeiro selecionar uma imagem");
    return;
  }
  if (imagem->BitmapImagem.format() != vandrel::PixelFormat::pf24bit) {
    vandrel::ShowMessage(kSo24Bits);
    return;
  }
  // A missing palette file ends the command here, before any window exists.
  vandrel::Bitmap cinza = vandrel::ConverterParaCinza(imagem->BitmapImagem, vandrel::PaletaCinza());
  NewPictureWindow<TFormImagem> janela(new TFormImagem(this));
  janela->DefinirBitmap(std::move(cinza));
  janela->SetCaption(imagem->Caption() + "-GreyScale");
  janela->Show();
  janela.Keep();
}

void TFormPrincipal::btr_g_bClick() {
  // Only a plain image window: any other active window is ignored without a word.
  TForm* ativa = FilhaAtiva();
  auto* imagem = dynamic_cast<TFormImagem*>(ativa);
  if (!imagem || ativa->ClassName() != "TFormImagem") return;
  if (imagem->BitmapImagem.format() != vandrel::PixelFormat::pf24bit) {
    vandrel::ShowMessage(kSo24Bits);
    return;
  }
  // The palette first: a missing "system/plt8.bmp" ends the command before any window exists.
  const vandrel::Palette paleta = vandrel::PaletaCanais();
  const std::array<const char*, 3> sufixos{"-GreyScale-Canal R", "-GreyScale-Canal G",
                                           "-GreyScale-Canal B"};
  for (uint8_t canal = 0; canal < 3; ++canal) {
    NewPictureWindow<TFormImagem> janela(new TFormImagem(this));
    const std::unique_ptr<vandrel::Bitmap> c =
        vandrel::ExtrairCanal(imagem->BitmapImagem, canal, paleta);
    if (!c) {
      janela.Discard();  // a channel that cannot be taken leaves no window
      vandrel::ShowMessage("Ocorreu um erro durante a operação!");
      continue;
    }
    janela->DefinirBitmap(std::move(*c));
    janela->DefinirNome(imagem->Caption() + sufixos[canal]);
    janela->Show();
    janela.Keep();
  }
}

// The contrast, brightness and similar-pixels windows work on the active 8-bit image, shown
// modally and freed when they close.
void TFormPrincipal::ContrasteExecute() {
  TFormImagem* image = ImagemAtiva(true);
  if (!image) return;
  std::unique_ptr<TFormContraste> form(TFormContraste::CreateComImagem(this, image));
  vandrel::Dialogs().RunModal(*form);
}

void TFormPrincipal::BrilhoExecute() {
  TFormImagem* image = ImagemAtiva(true);
  if (!image) return;
  const std::unique_ptr<TFormBrilho> form(TFormBrilho::CreateComImagem(this, image));
  vandrel::Dialogs().RunModal(*form);
}

void TFormPrincipal::SimilaresExecute() {
  TFormImagem* image = ImagemAtiva(true);
  if (!image) return;
  const std::unique_ptr<TFormSimilares> form(TFormSimilares::CreateComImagem(this, image));
  vandrel::Dialogs().RunModal(*form);
}
