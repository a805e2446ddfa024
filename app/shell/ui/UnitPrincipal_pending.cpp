// Main-window handlers whose windows do not exist yet: each keeps its checks and does
// nothing more. The unit that brings a window moves its handlers out of this file.
#include "app/shell/ui/UnitPrincipal.h"

// Image-list window.
void TFormPrincipal::CriarJanelaLista() {}
void TFormPrincipal::MostrarOuCriarJanelaLista() {}
void TFormPrincipal::AbrirListaDoArgumento(const QString&) {}
