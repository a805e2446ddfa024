#include "app/analysis/ui/RunProgress.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {

constexpr int kLargura = 460;

}  // namespace

int RunProgress::Intervalo = 50;

RunProgress::RunProgress(QWidget* parent, const QString& title, int images)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), images_(images) {
  setObjectName("RunProgress");
  setWindowTitle(title);
  setWindowModality(Qt::ApplicationModal);
  Texto = new QLabel(this);
  Texto->setObjectName("Texto");
  Barra = new QProgressBar(this);
  Barra->setObjectName("Barra");
  Barra->setRange(0, images);
  Barra->setValue(0);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Texto);
  layout->addWidget(Barra);
  setFixedWidth(kLargura);
  Texto->setText(TextoDaImagem(0, images, QString()));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  show();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  desde_.start();
}

RunProgress::~RunProgress() {
  // Input that came in since the window system was last let in is refused while the
  // window is still up, rather than run once it is gone.
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  hide();
  QApplication::restoreOverrideCursor();
}

QString RunProgress::TextoDaImagem(int index, int images, const QString& name) {
  QString texto = QString("Analisando a imagem %1 de %2").arg(index + 1).arg(images);
  if (!name.isEmpty()) texto += ": " + name;
  return texto;
}

void RunProgress::Imagem(int index, const QString& name) {
  // A long file name is shortened in its middle so that the text keeps to the window.
  const QString inteiro = TextoDaImagem(index, images_, name);
  const QMargins margens = layout()->contentsMargins();
  const int largura = width() - margens.left() - margens.right();
  Texto->setText(Texto->fontMetrics().elidedText(inteiro, Qt::ElideMiddle, largura));
  Texto->setToolTip(inteiro);
  Barra->setValue(index);
  Atender();
}

void RunProgress::Atender() {
  if (desde_.isValid() && desde_.elapsed() < Intervalo) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  desde_.start();
}
