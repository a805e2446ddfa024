#pragma once
// The frame of the settings windows: a visible, stay-on-top window captioned
// "Configurações" with one page and the buttons "OK" (SpeedButton1, which writes and
// closes) and "Cancelar" (SpeedButton2, which closes). It reads the settings each time it
// is shown and frees itself when closed.
#include <QWidget>

class QPushButton;
class QTabWidget;

class SettingsWindow : public QWidget {
  Q_OBJECT
 public:
  SettingsWindow(QWidget* owner, const QString& objectName, const QString& pageCaption);

  QTabWidget* PageControl1;
  QWidget* Page;  // holds the window's own controls
  QPushButton* SpeedButton1;
  QPushButton* SpeedButton2;

  virtual void FormShow() = 0;
  void SpeedButton1Click();
  void SpeedButton2Click();

 protected:
  // Writes the settings chosen.
  virtual void Gravar() = 0;
  void showEvent(QShowEvent* event) override;
};
