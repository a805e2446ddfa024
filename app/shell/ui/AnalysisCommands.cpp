// The main window's commands of analysis mode and of the patterns: the image-list window (a
// new one on entering the mode, the existing one or a new one from "Mostrar Lista de
// Imagens", and the list given on the command line) and the pattern editor.
#include <QFile>

#include "app/analysis/ui/UFormPadrao.h"
#include "app/analysis/ui/UnitListadeImagens.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "platform/qt/ErrorReport.h"

void TFormPrincipal::CriarJanelaLista() {
  JanelaLista = new TFormListaImagens(this);
  JanelaLista->Show();
}

void TFormPrincipal::MostrarListaExecute() {
  if (!MododeAnlise1->isChecked()) return;
  // The window last stored may have been closed while another list window stayed open:
  // that one is shown then.
  if (!JanelaLista)
    for (TForm* f : Filhas())
      if (auto* lista = qobject_cast<TFormListaImagens*>(f)) JanelaLista = lista;
  if (JanelaLista)
    JanelaLista->Show();
  else
    CriarJanelaLista();
}

void TFormPrincipal::AbrirListaDoArgumento(const QString& file) {
  if (!JanelaLista) CriarJanelaLista();
  // A list that cannot be read is reported here, so that the start goes on and counts the
  // document as handled.
  vandrel::Guarded([&] { JanelaLista->CarregarLista(file); });
}

void TFormPrincipal::EditarPadraoExecute() { (new TFormPadrao(this))->Show(); }
