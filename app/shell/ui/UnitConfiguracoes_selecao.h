#pragma once
// The selection options: pen width and colour of the selection rectangle, and whether
// selections added to a phase are painted into the image.
#include <QWidget>

class QComboBox;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

class TFormConfiguracoes_selecao : public QWidget {
  Q_OBJECT
 public:
  // A visible, stay-on-top window that frees itself when closed.
  explicit TFormConfiguracoes_selecao(QWidget* owner = nullptr);

  QTabWidget* PageControl1;
  QSpinBox* SpinEdit1;
  QComboBox* ColorBox1;  // the standard colour list
  QRadioButton* rbtnsim;
  QRadioButton* rbtnnao;
  QPushButton* SpeedButton1;
  QPushButton* SpeedButton2;

  void FormShow();
  void SpeedButton1Click();
  void SpeedButton2Click();

 protected:
  void showEvent(QShowEvent* event) override;
};
