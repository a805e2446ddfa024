#include "app/imaging/ui/UnitConfiguracoes_selecao.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPixmap>
#include <QRadioButton>
#include <QSpinBox>

#include "app/settings/model/URecursos.h"
#include "platform/qt/StandardColors.h"

TFormConfiguracoes_selecao::TFormConfiguracoes_selecao(QWidget* owner)
    : SettingsWindow(owner, "FormConfiguracoes_selecao", "Configurações da borda") {
  auto* form = new QFormLayout(Page);
  SpinEdit1 = new QSpinBox(Page);
  SpinEdit1->setObjectName("SpinEdit1");
  SpinEdit1->setRange(0, 25);
  form->addRow("Largura da borda:", SpinEdit1);
  ColorBox1 = new QComboBox(Page);
  ColorBox1->setObjectName("ColorBox1");
  for (const vandrel::NamedColor& c : vandrel::StandardColors()) {
    QPixmap swatch(16, 12);
    swatch.fill(c.color);
    ColorBox1->addItem(QIcon(swatch), c.name);
  }
  form->addRow("Cor da borda:", ColorBox1);
  // Two radio buttons that may both be off (a stored value that is neither "SIM" nor "NAO").
  rbtnsim = new QRadioButton("SIM", Page);
  rbtnsim->setObjectName("rbtnsim");
  rbtnsim->setAutoExclusive(false);
  rbtnnao = new QRadioButton("NÃO", Page);
  rbtnnao->setObjectName("rbtnnao");
  rbtnnao->setAutoExclusive(false);
  connect(rbtnsim, &QRadioButton::toggled, this, [this](bool on) {
    if (on) rbtnnao->setChecked(false);
  });
  connect(rbtnnao, &QRadioButton::toggled, this, [this](bool on) {
    if (on) rbtnsim->setChecked(false);
  });
  auto* radios = new QHBoxLayout;
  radios->addWidget(rbtnsim);
  radios->addWidget(rbtnnao);
  form->addRow("Marcar regiões selecionadas:", radios);
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

void TFormConfiguracoes_selecao::Gravar() {
  vandrel::GravarConfig("Configuracao_selecao", "largura", std::to_string(SpinEdit1->value()));
  vandrel::GravarConfig("Configuracao_selecao", "cor", std::to_string(ColorBox1->currentIndex()));
  vandrel::GravarConfig("Configuracao_selecao", "marcar",
                        rbtnsim->isChecked()   ? "SIM"
                        : rbtnnao->isChecked() ? "NAO"
                                               : "");
}
