// Main-window commands of the thresholds window: bringing an open one forward, or opening
// one on the active 8-bit image window.
#include "app/imaging/ui/UnitImagem.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "app/thresholds/ui/ULimiares.h"

bool TFormPrincipal::MostrarLimiaresExistente() {
  // At most one thresholds window: the last one in child order that is not closing.
  TFormLimiares* existente = nullptr;
  for (TForm* filha : Filhas())
    if (auto* limiares = dynamic_cast<TFormLimiares*>(filha); limiares && !limiares->Fechada())
      existente = limiares;
  if (!existente) return false;
  existente->Show();
  return true;
}

void TFormPrincipal::AbrirLimiares(TFormImagem* image) {
  // Owned by the image window it works on, so it goes when that window goes.
  TFormLimiares::CreateComImagem(image, image)->Show();
}
