// The main window's thresholds command: brings an open thresholds window forward, or opens
// one on the active 8-bit image window.
#include "app/imaging/ui/UnitImagem.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "app/thresholds/ui/ULimiares.h"

void TFormPrincipal::LimiaresExecute() {
  // At most one thresholds window: the last one in child order that is not closing.
  TFormLimiares* existente = nullptr;
  for (TForm* filha : Filhas())
    if (auto* limiares = dynamic_cast<TFormLimiares*>(filha); limiares && !limiares->Fechada())
      existente = limiares;
  if (existente) {
    existente->Show();
    return;
  }
  TFormImagem* image = ImagemAtiva(true);
  if (!image) return;
  // Owned by the image window it works on, so it goes when that window goes.
  TFormLimiares::CreateComImagem(image, image)->Show();
}
