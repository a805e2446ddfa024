#pragma once
// The progress page: a 400 ms timer runs the installation steps one after another
// (shortcuts and working folders, the registry cleaner, the registry entries) and then
// offers Finish.
#include <QDialog>
#include <QString>
#include <QStringList>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class TFInstall : public QDialog {
  Q_OBJECT
 public:
  explicit TFInstall(QWidget* owner = nullptr);

  QLabel* lAbout;
  QLabel* stAndamento;
  QProgressBar* ProgBar;
  QPushButton* sbFinalizar;
  QFrame* sFinalizar;
  QTimer* Timer;

  // Set by the first page before the page is shown.
  QString InstallFolder;  // as entered, normally without a trailing "/"
  QString UserName;
  QString Organization;

  // Ticks done so far; a tick whose step failed is not counted.
  int Ticks() const { return ticks_; }

  void FormCreate();
  void TimerTimer();
  void sbFinalizarClick();

  // Returns why each shortcut that could not be written failed.
  QStringList CreateShortcuts();
  void CreateFolders();
  void WriteRegistry();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Neither Escape nor the close box leaves the page while the steps run.
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The steps are under way (or a failed one is being reported) until Finish is offered.
  bool Working() const;
  void SetStatus(const QString& text);
  // Shows an error with the timer held, so that no tick runs while the box is open.
  void ReportError(const QString& text);
  int ticks_ = 0;
  // Something could not be written and was reported: the page does not say "Finished".
  bool incomplete_ = false;
};

// The about text of the progress page, its lines joined by carriage returns.
extern const char* const kAboutText;
