#include "app/histograms/ui/ULegenda.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>

#include "app/histograms/model/HistogramFiles.h"
#include "app/histograms/model/HistogramWindowRules.h"
#include "app/histograms/ui/ULinhaDialog.h"

QString NomeDaCurva(const std::string& nome) {
  return QFile::decodeName(QByteArray::fromStdString(vandrel::CurveName(nome)));
}

namespace {

constexpr int kLarguraDoRotulo = 50;

// A smaller font, down to 8 pixels, for a name that is wider than its place in the legend.
void CaberNaLargura(QLabel* rotulo, int largura) {
  QFont fonte = rotulo->font();
  int pixels = fonte.pixelSize() > 0 ? fonte.pixelSize() : QFontInfo(fonte).pixelSize();
  while (pixels > 8 && QFontMetrics(fonte).horizontalAdvance(rotulo->text()) > largura) {
    fonte.setPixelSize(--pixels);
  }
  rotulo->setFont(fonte);
}

}  // namespace

int PreencherLegenda(QWidget* painel, const vandrel::TArrayDeHistogramas& curvas, int porLinha,
                     const std::function<void(TShape*)>& aoPressionar,
                     std::vector<TShape*>& quadrados, std::vector<QLabel*>& rotulos) {
  const vandrel::LayoutDaLegenda layout = vandrel::LayoutLegenda(int(curvas.size()), porLinha);
  for (size_t k = 0; k < curvas.size(); ++k) {
    const vandrel::LugarNaLegenda& l = layout.lugares[k];
    auto* quadrado = new TShape(painel);
    quadrado->setObjectName(QString("Quadrado%1").arg(k));
    quadrado->setGeometry(l.quadradoX, l.quadradoY, 10, 10);
    quadrado->SetCor(curvas[k].Cor);
    quadrado->OnMouseDown = [aoPressionar, quadrado](Qt::MouseButton, int, int) {
      aoPressionar(quadrado);
    };
    quadrado->show();
    auto* rotulo = new QLabel(NomeDaCurva(curvas[k].Nome).left(9), painel);
    rotulo->setObjectName(QString("Rotulo%1").arg(k));
    rotulo->setGeometry(l.rotuloX, l.rotuloY, kLarguraDoRotulo, 13);
    CaberNaLargura(rotulo, kLarguraDoRotulo);
    rotulo->show();
    quadrados.push_back(quadrado);
    rotulos.push_back(rotulo);
  }
  return layout.alturaDoPainel;
}
