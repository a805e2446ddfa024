// Main-window commands that open histogram windows: an empty one, one with the histogram of
// the active image, and one with the document given on the command line.
#include <QFile>
#include <QFileInfo>
#include <QToolButton>

#include "app/histograms/ui/UDSHistograma.h"
#include "app/histograms/ui/UHistograma.h"
#include "app/imaging/ui/UnitImagem.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "platform/qt/ErrorReport.h"

void TFormPrincipal::HistogramaExecute() { new TFormHistograma(this); }

void TFormPrincipal::AbrirHistogramaDaImagem(TFormImagem* image) {
  // The histogram is taken from a copy, so that nothing the window does reaches the image.
  const vandrel::Bitmap copia = image->BitmapImagem;
  auto* janela = new TFormHistograma(this);
  janela->SetCaption(image->Nome);
  janela->Histograma->CalcularDeBitmap(copia);
  janela->BtSobrepor->setEnabled(true);
}

void TFormPrincipal::AbrirHistogramaDoArgumento(const QString& file,
                                                const QString& upperExtension) {
  auto* janela = new TFormHistograma(this);
  janela->SetCaption(QFileInfo(file).fileName());
  const std::string caminho = QFile::encodeName(file).toStdString();
  // A file that cannot be read is reported here, so that the start goes on and counts the
  // document as handled: a later show of the main window does not try it again.
  vandrel::Guarded([&] {
    if (upperExtension == ".HIS")
      janela->Histograma->CarregarHis(caminho);
    else if (upperExtension == ".PAT")
      janela->Histograma->CarregarPadrao(caminho);
  });
}
