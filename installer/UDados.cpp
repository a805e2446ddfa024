#include "installer/UDados.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "installer/Page.h"
#include "installer/StdShared.h"
#include "installer/Termination.h"
#include "installer/Usetup.h"
#include "installer/getDir.h"
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/ErrorReport.h"

namespace {

// A string value of HKEY_LOCAL_MACHINE, empty when the key or the value is absent or the
// value is not a string.
QString MachineString(const char* key, const char* name) {
  vandrel::Registry reg(vandrel::RegRoot::HKEY_LOCAL_MACHINE);
  if (!reg.OpenKey(key, false) || !reg.ValueExists(name)) return {};
  try {
    return QString::fromStdString(reg.ReadString(name));
  } catch (const vandrel::Exception&) {
    return {};
  }
}

// The registered owner or organization: where older Windows keep them, else where Windows
// NT does (the store answers the user's account there).
QString Registered(const char* name) {
  if (QString value = MachineString("Software\\Microsoft\\Windows\\CurrentVersion", name);
      !value.isEmpty())
    return value;
  return MachineString("Software\\Microsoft\\Windows NT\\CurrentVersion", name);
}

}  // namespace

TForm1::TForm1(const QString& ownFolder, QWidget* parent) : QWidget(parent) {
  setObjectName("Form1");
  setWindowTitle("Vandrel Install");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 10);
  layout->addWidget(installer::MakeBanner("                       Vandrel  1.0", this));

  auto* grid = new QGridLayout;
  grid->setContentsMargins(16, 10, 16, 0);
  grid->setVerticalSpacing(4);
  eNome = new QLineEdit(this);
  eNome->setObjectName("eNome");
  eCompania = new QLineEdit(this);
  eCompania->setObjectName("eCompania");
  lePath = new QLineEdit(this);
  lePath->setObjectName("lePath");
  lePath->setMinimumWidth(360);
  btProcurar = new QPushButton("Browse", this);
  btProcurar->setObjectName("btProcurar");
  btProcurar->setEnabled(false);
  grid->addWidget(new QLabel("Name", this), 0, 0, 1, 2);
  grid->addWidget(eNome, 1, 0, 1, 2);
  grid->addWidget(new QLabel("Organization", this), 2, 0, 1, 2);
  grid->addWidget(eCompania, 3, 0, 1, 2);
  grid->addWidget(new QLabel("Install Path", this), 4, 0, 1, 2);
  grid->addWidget(lePath, 5, 0);
  grid->addWidget(btProcurar, 5, 1);
  layout->addLayout(grid);
  layout->addStretch();

  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(16, 12, 16, 0);
  buttons->addStretch();
  sbFinalizar = new QPushButton("Install", this);
  sbFinalizar->setObjectName("sbFinalizar");
  SpeedButton1 = new QPushButton("Cancel", this);
  SpeedButton1->setObjectName("SpeedButton1");
  for (QPushButton* b : {sbFinalizar, SpeedButton1}) {
    b->setMinimumWidth(90);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);

  vandrel::OnClicked(sbFinalizar, [this] { sbFinalizarClick(); });
  vandrel::OnClicked(SpeedButton1, [this] { SpeedButton1Click(); });
  vandrel::OnClicked(btProcurar, [this] { btProcurarClick(); });
  FormCreate(ownFolder.isEmpty() ? QCoreApplication::applicationDirPath() : ownFolder);
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) installer::CentreOnScreen(this);
}

void TForm1::FormCreate(const QString& ownFolder) {
  QString folder = ownFolder;
  while (folder.endsWith('/')) folder.chop(1);
  lePath->setText(folder);
  eNome->setText(Registered("RegisteredOwner"));
  eCompania->setText(Registered("RegisteredOrganization"));
}

void TForm1::SpeedButton1Click() {
  if (vandrel::MessageDlg("Deseja Sair do Vandrel install?", vandrel::MsgKind::Confirmation,
                          vandrel::mbYes | vandrel::mbNo) == vandrel::mbYes)
    installer::Terminate();
}

void TForm1::btProcurarClick() {
  TFormDir dir(this);
  vandrel::Dialogs().RunModal(dir);
  if (dir.Aceito) lePath->setText(dir.SelectedPath());
}

void TForm1::sbFinalizarClick() {
  // The installer copies nothing: it installs the program that is already in the folder,
  // and a folder without it would get entries that start nothing.
  const QString folder = lePath->text();
  if (!installer::HoldsProgram(folder)) {
    vandrel::MessageDlg(folder.trimmed().isEmpty()
                            ? QString("Digite em Install Path a pasta em que está o Vandrel.")
                            : "A pasta \"" + folder +
                                  "\" não contém o programa Vandrel.\rDigite em Install Path a "
                                  "pasta em que está o Vandrel.",
                        vandrel::MsgKind::Error, vandrel::mbOK);
    lePath->setFocus();
    lePath->selectAll();
    return;
  }
  hide();
  TFInstall install;
  install.InstallFolder = lePath->text();
  install.UserName = eNome->text();
  install.Organization = eCompania->text();
  vandrel::Dialogs().RunModal(install);
  // However the progress page ends (Finish, or its close box), the installer ends with
  // it: the first page stays hidden and could not be reached again.
  installer::Terminate();
}
