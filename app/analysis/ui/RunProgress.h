#pragma once
// The sign of life of a batch run: a busy cursor and a small modal window that names the
// image being analysed, with a bar of the images done. While it is up, input to every
// other window of the program is refused (not queued for later): a click on "Analisar"
// during a run does not start a second run after it. The window has no close box and
// ignores Escape; it goes when the run ends, however it ends.
#include <QDialog>
#include <QElapsedTimer>
#include <QString>

class QLabel;
class QProgressBar;

class RunProgress : public QDialog {
  Q_OBJECT
 public:
  // Shows the window over `parent` (or centred on the screen) for a run of `images`
  // images and sets the busy cursor.
  RunProgress(QWidget* parent, const QString& title, int images);
  ~RunProgress() override;

  QLabel* Texto;
  QProgressBar* Barra;

  // Names image `index` (from 0) as the one being analysed; the window shows it at its
  // next repaint.
  void Imagem(int index, const QString& name);
  // Lets the window system in, at most once per interval (repainting every window for every
  // image of a fast batch would cost more than the images): the windows repaint, input
  // meant for other windows is dropped.
  void Atender();

  // The least time between two calls that let the window system in, in milliseconds (50;
  // tests that watch every image set 0).
  static int Intervalo;

  // The text shown for image `index` of `images`.
  static QString TextoDaImagem(int index, int images, const QString& name);

 public slots:
  void reject() override {}

 private:
  int images_;
  QElapsedTimer desde_;  // since the window system was last let in
};
