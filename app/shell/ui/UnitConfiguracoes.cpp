#include "app/shell/ui/UnitConfiguracoes.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/shell/model/URecursos.h"
#include "platform/qt/ErrorReport.h"

TFormConfiguracoes::TFormConfiguracoes(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint) {
  setObjectName("FormConfiguracoes");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Configurações");
  auto* outer = new QVBoxLayout(this);
  PageControl1 = new QTabWidget(this);
  auto* page = new QWidget;
  auto* pageLayout = new QVBoxLayout(page);
  auto* group = new QGroupBox("  Pastas  ", page);
  auto* groupLayout = new QVBoxLayout(group);
  RadioButtonSim = new QRadioButton("Utilizar sempre as pastas default ", group);
  RadioButtonSim->setObjectName("RadioButtonSim");
  RadioButtonNao = new QRadioButton("Utilizar sempre última pasta usada ", group);
  RadioButtonNao->setObjectName("RadioButtonNao");
  groupLayout->addWidget(RadioButtonSim);
  groupLayout->addWidget(RadioButtonNao);
  pageLayout->addWidget(group);
  PageControl1->addTab(page, "Opções de armazenamento");
  outer->addWidget(PageControl1);
  auto* buttons = new QHBoxLayout;
  SpeedButton1 = new QPushButton("OK", this);
  SpeedButton1->setObjectName("SpeedButton1");
  SpeedButton2 = new QPushButton("Cancelar", this);
  SpeedButton2->setObjectName("SpeedButton2");
  buttons->addStretch();
  buttons->addWidget(SpeedButton1);
  buttons->addWidget(SpeedButton2);
  outer->addLayout(buttons);
  vandrel::OnClicked(SpeedButton1, [this] { SpeedButton1Click(); });
  vandrel::OnClicked(SpeedButton2, [this] { SpeedButton2Click(); });
}

void TFormConfiguracoes::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  vandrel::Guarded([this] { FormShow(); });
}

void TFormConfiguracoes::FormShow() {
  const bool padrao = vandrel::LerConfig("caminhos", "caminhos_padrao") == "vandrel";
  RadioButtonSim->setChecked(padrao);
  RadioButtonNao->setChecked(!padrao);
}

void TFormConfiguracoes::SpeedButton1Click() {
  vandrel::GravarConfig("caminhos", "caminhos_padrao",
                        RadioButtonSim->isChecked() ? "vandrel" : "windows");
  close();
}

void TFormConfiguracoes::SpeedButton2Click() { close(); }
