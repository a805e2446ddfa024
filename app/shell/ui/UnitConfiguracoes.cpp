#include "app/shell/ui/UnitConfiguracoes.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/settings/model/URecursos.h"

TFormConfiguracoes::TFormConfiguracoes(QWidget* owner)
    : SettingsWindow(owner, "FormConfiguracoes", "Opções de armazenamento") {
  auto* pageLayout = new QVBoxLayout(Page);
  auto* group = new QGroupBox("  Pastas  ", Page);
  auto* groupLayout = new QVBoxLayout(group);
  RadioButtonSim = new QRadioButton("Utilizar sempre as pastas default ", group);
  RadioButtonSim->setObjectName("RadioButtonSim");
  RadioButtonNao = new QRadioButton("Utilizar sempre última pasta usada ", group);
  RadioButtonNao->setObjectName("RadioButtonNao");
  groupLayout->addWidget(RadioButtonSim);
  groupLayout->addWidget(RadioButtonNao);
  pageLayout->addWidget(group);
}

void TFormConfiguracoes::FormShow() {
  const bool padrao = vandrel::LerConfig("caminhos", "caminhos_padrao") == "vandrel";
  RadioButtonSim->setChecked(padrao);
  RadioButtonNao->setChecked(!padrao);
}

void TFormConfiguracoes::Gravar() {
  vandrel::GravarConfig("caminhos", "caminhos_padrao",
                        RadioButtonSim->isChecked() ? "vandrel" : "windows");
}
