#pragma once
// The options dialog: whether the file dialogs start in the default folders.
#include "app/frame/ui/SettingsWindow.h"

class QRadioButton;

class TFormConfiguracoes : public SettingsWindow {
  Q_OBJECT
 public:
  explicit TFormConfiguracoes(QWidget* owner = nullptr);

  QRadioButton* RadioButtonSim;
  QRadioButton* RadioButtonNao;

  void FormShow() override;

 protected:
  void Gravar() override;
};
