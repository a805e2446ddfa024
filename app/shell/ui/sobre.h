#pragma once
// The about box: program name, version, credits, and the choice of showing it at start.
#include <QDialog>

class QCheckBox;
class QFrame;
class QPushButton;

class TSobreDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TSobreDialog(QWidget* owner = nullptr);

  QFrame* PaineldoVandrel;
  QPushButton* BitBtn1;
  QCheckBox* NaoMostrarNov;
  QCheckBox* CheckBoxSempre;

  void BitBtn1Click();

 protected:
  void showEvent(QShowEvent* event) override;
};
