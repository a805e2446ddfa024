// The main window's contrast command: the contrast window for the active 8-bit image,
// shown modally and freed when it closes.
#include <memory>

#include "app/imaging/ui/UGama.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "platform/qt/Dialogs.h"

void TFormPrincipal::AbrirContraste(TFormImagem* image) {
  std::unique_ptr<TFormContraste> form(TFormContraste::CreateComImagem(this, image));
  vandrel::Dialogs().RunModal(*form);
}
