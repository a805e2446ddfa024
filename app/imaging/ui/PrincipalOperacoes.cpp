// Main-window commands of the simple image operations: the mean filter, greyscale
// conversion, the channel split, and the brightness and similar-pixels dialogs.
#include <array>
#include <memory>

#include "app/imaging/model/ChannelSplit.h"
#include "app/imaging/model/Greyscale.h"
#include "app/imaging/model/MeanFilter.h"
#include "app/imaging/model/PaletteSource.h"
#include "app/imaging/ui/UnitBrilho.h"
#include "app/imaging/ui/UnitImagem.h"
#include "app/imaging/ui/UnitSimilares.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "platform/qt/Dialogs.h"

namespace {
const char* const kSo24Bits = "Só é possível converter imagens de 24 bits";
}  // namespace

void TFormPrincipal::FiltroMediaExecute() {
  TFormImagem* imagem = ImagemAtiva(true);
  if (!imagem) return;
  TFormImagemSaida* saida = TFormImagemSaida::CreateComOrigem(imagem, imagem);
  saida->DefinirBitmap(vandrel::FiltroMedia(imagem->BitmapImagem));
  saida->SetCaption(imagem->Caption() + " - Filtro da Média");
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
  const vandrel::Bitmap cinza =
      vandrel::ConverterParaCinza(imagem->BitmapImagem, vandrel::PaletaCinza());
  auto* janela = new TFormImagem(this);
  janela->DefinirBitmap(cinza);
  janela->SetCaption(imagem->Caption() + "-GreyScale");
  janela->Show();
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
  const std::array<TFormImagem*, 3> janelas{new TFormImagem(this), new TFormImagem(this),
                                            new TFormImagem(this)};
  const std::array<const char*, 3> sufixos{"-GreyScale-Canal R", "-GreyScale-Canal G",
                                           "-GreyScale-Canal B"};
  for (uint8_t canal = 0; canal < 3; ++canal) {
    const std::unique_ptr<vandrel::Bitmap> c =
        vandrel::ExtrairCanal(imagem->BitmapImagem, canal, paleta);
    if (!c) {
      vandrel::ShowMessage("Ocorreu um erro durante a operação!");
      continue;
    }
    janelas[canal]->DefinirBitmap(*c);
    janelas[canal]->DefinirNome(imagem->Caption() + sufixos[canal]);
    janelas[canal]->Show();
  }
}

void TFormPrincipal::AbrirBrilho(TFormImagem* image) {
  const std::unique_ptr<TFormBrilho> form(TFormBrilho::CreateComImagem(this, image));
  vandrel::Dialogs().RunModal(*form);
}

void TFormPrincipal::AbrirSimilares(TFormImagem* image) {
  const std::unique_ptr<TFormSimilares> form(TFormSimilares::CreateComImagem(this, image));
  vandrel::Dialogs().RunModal(*form);
}
