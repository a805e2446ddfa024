#pragma once
// The selection options: pen width and colour of the selection rectangle, and whether
// selections added to a phase are painted into the image.
#include "app/frame/ui/SettingsWindow.h"

class QComboBox;
class QRadioButton;
class QSpinBox;

class TFormConfiguracoes_selecao : public SettingsWindow {
  Q_OBJECT
 public:
  explicit TFormConfiguracoes_selecao(QWidget* owner = nullptr);

  QSpinBox* SpinEdit1;
  QComboBox* ColorBox1;  // the standard colour list
  QRadioButton* rbtnsim;
  QRadioButton* rbtnnao;

  void FormShow() override;

 protected:
  void Gravar() override;
};
