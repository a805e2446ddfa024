#pragma once
// The options dialog: whether the file dialogs start in the default folders.
#include <QWidget>

class QPushButton;
class QRadioButton;
class QTabWidget;

class TFormConfiguracoes : public QWidget {
  Q_OBJECT
 public:
  // A visible, stay-on-top window that frees itself when closed.
  explicit TFormConfiguracoes(QWidget* owner = nullptr);

  QTabWidget* PageControl1;
  QRadioButton* RadioButtonSim;
  QRadioButton* RadioButtonNao;
  QPushButton* SpeedButton1;
  QPushButton* SpeedButton2;

  void FormShow();
  void SpeedButton1Click();
  void SpeedButton2Click();

 protected:
  void showEvent(QShowEvent* event) override;
};
