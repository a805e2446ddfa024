#include "app/shell/ui/UnitConfiguracoes_selecao.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/shell/model/URecursos.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/StandardColors.h"

TFormConfiguracoes_selecao::TFormConfiguracoes_selecao(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint) {
  setObjectName("FormConfiguracoes_selecao");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Configurações");
  auto* outer = new QVBoxLayout(this);
  PageControl1 = new QTabWidget(this);
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  SpinEdit1 = new QSpinBox(page);
  SpinEdit1->setObjectName("SpinEdit1");
  SpinEdit1->setRange(0, 25);
  form->addRow("Largura da borda:", SpinEdit1);
  ColorBox1 = new QComboBox(page);
  ColorBox1->setObjectName("ColorBox1");
  for (const vandrel::NamedColor& c : vandrel::StandardColors()) {
    QPixmap swatch(16, 12);
    swatch.fill(c.color);
    ColorBox1->addItem(QIcon(swatch), c.name);
  }
  form->addRow("Cor da borda:", ColorBox1);
  auto* radios = new QHBoxLayout;
  rbtnsim = new QRadioButton("SIM", page);
  rbtnsim->setObjectName("rbtnsim");
  rbtnnao = new QRadioButton("NÃO", page);
  rbtnnao->setObjectName("rbtnnao");
  auto* group = new QButtonGroup(page);
  group->setExclusive(false);  // "neither" must be possible for an unknown stored value
  group->addButton(rbtnsim);
  group->addButton(rbtnnao);
  connect(rbtnsim, &QRadioButton::toggled, this, [this](bool on) {
    if (on) rbtnnao->setChecked(false);
  });
  connect(rbtnnao, &QRadioButton::toggled, this, [this](bool on) {
    if (on) rbtnsim->setChecked(false);
  });
  radios->addWidget(rbtnsim);
  radios->addWidget(rbtnnao);
  form->addRow("Marcar regiões selecionadas:", radios);
  PageControl1->addTab(page, "Configurações da borda");
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

void TFormConfiguracoes_selecao::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  vandrel::Guarded([this] { FormShow(); });
}

void TFormConfiguracoes_selecao::FormShow() {
  // Values that are absent or not decimal integers give width 1 and the first colour.
  SpinEdit1->setValue(vandrel::LerConfigInteiro("Configuracao_selecao", "largura", 1));
  int cor = vandrel::LerConfigInteiro("Configuracao_selecao", "cor", 0);
  if (cor < 0 || cor >= ColorBox1->count()) cor = 0;
  ColorBox1->setCurrentIndex(cor);
  const std::string marcar = vandrel::LerConfig("Configuracao_selecao", "marcar");
  rbtnsim->setChecked(marcar == "SIM");
  rbtnnao->setChecked(marcar == "NAO");
}

void TFormConfiguracoes_selecao::SpeedButton1Click() {
  vandrel::GravarConfig("Configuracao_selecao", "largura", std::to_string(SpinEdit1->value()));
  vandrel::GravarConfig("Configuracao_selecao", "cor", std::to_string(ColorBox1->currentIndex()));
  vandrel::GravarConfig("Configuracao_selecao", "marcar",
                        rbtnsim->isChecked()   ? "SIM"
                        : rbtnnao->isChecked() ? "NAO"
                                               : "");
  close();
}

void TFormConfiguracoes_selecao::SpeedButton2Click() { close(); }
