// The main window's pattern command: opens a pattern editor.
#include "app/analysis/ui/UFormPadrao.h"
#include "app/shell/ui/UnitPrincipal.h"

void TFormPrincipal::EditarPadraoExecute() { (new TFormPadrao(this))->Show(); }
