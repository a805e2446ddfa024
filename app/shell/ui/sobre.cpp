#include "app/shell/ui/sobre.h"

#include <QCheckBox>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/frame/ui/ToolIcons.h"
#include "app/settings/model/URecursos.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/Placement.h"

TSobreDialog::TSobreDialog(QWidget* owner) : QDialog(owner) {
  setObjectName("SobreDialog");
  setWindowTitle("Sobre");
  setModal(true);
  auto* outer = new QVBoxLayout(this);
  PaineldoVandrel = new QFrame(this);
  PaineldoVandrel->setObjectName("PaineldoVandrel");
  PaineldoVandrel->setFrameShape(QFrame::StyledPanel);
  auto* grid = new QGridLayout(PaineldoVandrel);
  auto* logo = new QLabel(PaineldoVandrel);
  logo->setPixmap(ProgramPicture(96));
  grid->addWidget(logo, 0, 0, 3, 1, Qt::AlignTop);
  auto* name = new QLabel("Vandrel", PaineldoVandrel);
  QFont big = name->font();
  big.setPointSize(22);
  big.setBold(true);
  name->setFont(big);
  grid->addWidget(name, 0, 1);
  grid->addWidget(new QLabel("Versão 1.0 - análise quantitativa de fases", PaineldoVandrel), 1, 1);
  auto* credits = new QLabel(
      "Orientador:\n    Laboratório de Análise de Imagens de Materiais\n"
      "Desenvolvedores:\n    Equipe Vandrel",
      PaineldoVandrel);
  grid->addWidget(credits, 2, 1);
  outer->addWidget(PaineldoVandrel);

  NaoMostrarNov = new QCheckBox("Não mostrar esta janela novamente ao iniciar", this);
  NaoMostrarNov->setObjectName("NaoMostrarNov");
  CheckBoxSempre = new QCheckBox("Sempre mostrar esta janela ao iniciar", this);
  CheckBoxSempre->setObjectName("CheckBoxSempre");
  CheckBoxSempre->setVisible(false);
  outer->addWidget(NaoMostrarNov);
  outer->addWidget(CheckBoxSempre);
  BitBtn1 = new QPushButton("OK", this);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setDefault(true);
  outer->addWidget(BitBtn1, 0, Qt::AlignHCenter);
  vandrel::OnClicked(BitBtn1, [this] { BitBtn1Click(); });

  // FormCreate: when the box is not shown at start it offers the always-show choice, in
  // the place of the other one (the layout puts it there once the other is hidden).
  if (vandrel::LerConfig("caixa_sobre", "mostrar_inicio") == "FALSE") {
    NaoMostrarNov->setVisible(false);
    CheckBoxSempre->setVisible(true);
  }
}

void TSobreDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A fixed dialog centred on the screen.
  adjustSize();
  setFixedSize(size());
  // Its frame (title bar included) in the middle of the screen's free area, told to the
  // placement rule so that it stays there once the window manager has framed it.
  vandrel::PlaceWindowCentredOn(this, vandrel::ScreenArea(this));
}

void TSobreDialog::BitBtn1Click() {
  if (!NaoMostrarNov->isHidden())
    vandrel::GravarConfig("caixa_sobre", "mostrar_inicio",
                          NaoMostrarNov->isChecked() ? "FALSE" : "TRUE");
  if (!CheckBoxSempre->isHidden())
    vandrel::GravarConfig("caixa_sobre", "mostrar_inicio",
                          CheckBoxSempre->isChecked() ? "TRUE" : "FALSE");
  accept();
}
