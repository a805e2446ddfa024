#include "installer/Usetup.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "installer/Page.h"
#include "installer/StdShared.h"
#include "installer/Termination.h"
#include "platform/DesktopTypes.h"
#include "platform/Registry.h"
#include "platform/ShellLink.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/ErrorReport.h"

using vandrel::Registry;
using vandrel::RegRoot;

const char* const kAboutText =
    "O Vandrel permite a análise quantitativa dos coponentes\r"
    "de  materiais  compostos,  além da determinação do grau \r"
    "de homogeneidade  composicional.  Com   ferramentas de  \r"
    "processamento de imagens de  uso  simplificado,  ele \r"
    "permite  ao usuário  isolar os componentes  do material,\r"
    "bem como  a  visualizar a distribuição dos  tons de cinza\r"
    "de uma  imagem, de uma  seleção ou mesmo  comparar\r"
    "vários  histogramas.    ";

namespace {

// A document type of the program: its class under HKEY_CLASSES_ROOT, the extension that
// names it, the icon group shown for it and the command that opens it.
struct FileClass {
  const char* name;
  const char* description;
  const char* extension;
  int icon;
  enum { kNone, kProgram, kNotepad } open;
};

const FileClass kFileClasses[] = {
    {"VDHisto", "Histograma", ".his", 4, FileClass::kProgram},
    {"VDPadroes", "Arquivo de Padrão", ".pat", 8, FileClass::kProgram},
    {"VDListas", "Lista de Imagens", ".lst", 5, FileClass::kProgram},
    {"VDPaletas", "Paleta de Cores", ".pcs", 9, FileClass::kNone},
    {"VDLim", "Arquivo de Limiares", ".als", 2, FileClass::kNone},
    {"VDVol", "Fração Volumétrica", ".vol", 10, FileClass::kNotepad},
    {"VDErro", "Margens de Erro", ".err", 3, FileClass::kNotepad},
    {"VDCaminhos", "Caminho de Fases", ".pac", 7, FileClass::kNotepad},
    {"VDMedia", "Arquivos De Média", ".med", 6, FileClass::kNotepad},
};

const char* const kProgramKey = "Software\\Vandrel";
// The last status of a page on which something could not be written.
const char* const kIncomplete = "Incomplete: some entries could not be written";
const char* const kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vandrel";

// Writes the default value of a key, creating the key.
void WriteDefault(RegRoot root, const QString& key, const QString& value) {
  Registry reg(root);
  reg.OpenKey(key.toStdString(), true);
  reg.WriteString("", value.toStdString());
}

}  // namespace

TFInstall::TFInstall(QWidget* owner) : QDialog(owner) {
  setObjectName("FInstall");
  setWindowTitle("Vandrel Install");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 10);
  layout->addWidget(installer::MakeBanner("                       Vandrel 1.0 ", this));

  auto* body = new QVBoxLayout;
  body->setContentsMargins(16, 8, 16, 0);
  lAbout = new QLabel(this);
  lAbout->setObjectName("lAbout");
  lAbout->setTextFormat(Qt::PlainText);
  body->addWidget(lAbout);
  body->addSpacing(12);
  stAndamento = new QLabel(this);
  stAndamento->setObjectName("stAndamento");
  stAndamento->setTextFormat(Qt::PlainText);
  body->addWidget(stAndamento);
  ProgBar = new QProgressBar(this);
  ProgBar->setObjectName("ProgBar");
  ProgBar->setRange(0, 100);
  ProgBar->setValue(0);
  body->addWidget(ProgBar);

  // The Finish button sits in a frame that lights up once the steps are done; the frame
  // is a sibling drawn behind the button, so hiding it leaves the button in place.
  auto* holder = new QWidget(this);
  holder->setObjectName("FinishHolder");
  auto* holderLayout = new QHBoxLayout(holder);
  holderLayout->setContentsMargins(4, 4, 4, 4);
  sFinalizar = new QFrame(holder);
  sFinalizar->setObjectName("sFinalizar");
  sFinalizar->setStyleSheet("#sFinalizar { border: 2px solid #008000; border-radius: 3px; }");
  sFinalizar->hide();
  sbFinalizar = new QPushButton("Finish", holder);
  sbFinalizar->setObjectName("sbFinalizar");
  sbFinalizar->setEnabled(false);
  sbFinalizar->setMinimumWidth(90);
  holderLayout->addWidget(sbFinalizar);
  sFinalizar->lower();
  holder->installEventFilter(this);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(holder);
  body->addSpacing(8);
  body->addLayout(bottom);
  layout->addLayout(body);

  vandrel::OnClicked(sbFinalizar, [this] { sbFinalizarClick(); });
  Timer = new QTimer(this);
  Timer->setObjectName("Timer");
  Timer->setInterval(400);
  connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
  FormCreate();
  Timer->start();
}

void TFInstall::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) installer::CentreOnScreen(this);
}

bool TFInstall::eventFilter(QObject* watched, QEvent* event) {
  if (watched == sFinalizar->parent() && event->type() == QEvent::Resize)
    sFinalizar->setGeometry(static_cast<QWidget*>(watched)->rect());
  return QDialog::eventFilter(watched, event);
}

bool TFInstall::Working() const { return !sbFinalizar->isEnabled(); }

void TFInstall::keyPressEvent(QKeyEvent* event) {
  // Leaving while the steps run would end the installer with half of it done.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && Working()) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TFInstall::closeEvent(QCloseEvent* event) {
  if (Working()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TFInstall::ReportError(const QString& text) {
  const bool running = Timer->isActive();
  Timer->stop();
  vandrel::MessageDlg(text, vandrel::MsgKind::Error, vandrel::mbOK);
  if (running) Timer->start();
}

void TFInstall::FormCreate() {
  QString about = QString::fromUtf8(kAboutText);
  about.replace('\r', '\n');  // a carriage return alone breaks the line
  lAbout->setText(about);
  stAndamento->setText("Preparing to Install...");
  ticks_ = 0;
}

void TFInstall::SetStatus(const QString& text) {
  stAndamento->setText(text);
  // The step that follows may hold the page (the cleaner is waited for): show it first.
  stAndamento->repaint();
}

void TFInstall::TimerTimer() {
  try {
    switch (ticks_) {
      case 1: {
        SetStatus("Building ShortCuts...");
        const QStringList failed = CreateShortcuts();
        ProgBar->setValue(30);
        CreateFolders();
        // The other steps do not depend on the shortcuts: they go on once it is said.
        if (!failed.isEmpty()) {
          incomplete_ = true;
          ReportError(failed.join('\r'));
        }
        break;
      }
      case 3:
        SetStatus("Preparing Registry");
        // Whether the cleaner could run changes nothing: the steps go on either way.
        installer::RunAndWait(InstallFolder + "/VDRegClean", " -A ", installer::SW_SHOW);
        ProgBar->setValue(60);
        break;
      case 5:
        SetStatus("Making Reg Entries...");
        WriteRegistry();
        ProgBar->setValue(100);
        break;
      case 7:
        // "Finished" only when everything was written; what was not has been reported.
        SetStatus(incomplete_ ? kIncomplete : "Finished");
        sbFinalizar->setEnabled(true);
        sFinalizar->show();
        break;
      default:
        break;
    }
  } catch (...) {
    // A failed step is reported once and not tried again on every tick: the timer stops
    // and Finish lets the user leave. The counter stays where the step failed.
    Timer->stop();
    sbFinalizar->setEnabled(true);
    sFinalizar->show();
    vandrel::ReportCurrentException();
    incomplete_ = true;
    SetStatus(kIncomplete);
    return;
  }
  ++ticks_;
}

void TFInstall::sbFinalizarClick() { installer::Terminate(); }

QStringList TFInstall::CreateShortcuts() {
  QStringList failed;
  const auto add = [&failed](const QString& error) {
    if (!error.isEmpty()) failed << error;
  };
  // The icon that the entries name comes first, so that they show it from the start.
  add(installer::InstallProgramIcons());
  const QString program = InstallFolder + "/Vandrel";
  const QString help = InstallFolder + "/Ajuda.hlp";
  const QString uninstall = InstallFolder + "/uninstall";
  // An entry whose target is not there could only fail: the help and the uninstaller get
  // theirs where they are in place. They live in the program's menu folder and in the
  // program entry's actions, not in the menus as programs of their own.
  const bool hasHelp = QFileInfo::exists(help);
  const bool hasUninstall = installer::IsProgramFile(uninstall);
  vandrel::ShellLink start;
  start.target = program.toStdString();
  start.arguments = " ";
  start.workingFolder = InstallFolder.toStdString();
  start.comment = vandrel::kProgramComment;
  start.categories = vandrel::kProgramCategories;
  start.windowClass = vandrel::kProgramWindowClass;
  if (hasHelp) start.actions.push_back({"Ajuda", "Ajuda", help.toStdString()});
  if (hasUninstall)
    start.actions.push_back({"Desinstalar", "Desinstalar Vandrel", uninstall.toStdString()});
  const QString desktop = installer::GetDesktopFolder();
  if (!desktop.isEmpty()) installer::CreateFolderPath(desktop);
  add(installer::CreateShortcut(start, desktop, "Vandrel"));
  const QString programs = installer::GetProgramsFolder();
  // Without a Programs folder the menu folder would be made in the root of the file system.
  if (programs.isEmpty()) return failed;
  const QString menu = programs + "/Vandrel";
  installer::CreateFolderPath(menu);
  add(installer::CreateShortcut(start, menu, "Vandrel"));
  const auto part = [&](const QString& target, const char* name, bool present) {
    if (!present) {
      // An entry an earlier installation made there would now fail.
      QFile::remove(menu + "/" + name + ".desktop");
      return;
    }
    vandrel::ShellLink link;
    link.target = target.toStdString();
    link.arguments = " ";
    link.workingFolder = InstallFolder.toStdString();
    link.hidden = true;
    add(installer::CreateShortcut(link, menu, name));
  };
  part(help, "Ajuda", hasHelp);
  part(uninstall, "Desinstalar Vandrel", hasUninstall);
  return failed;
}

void TFInstall::CreateFolders() {
  installer::CreateFolderIfMissing(InstallFolder);
  for (const char* sub : {"/fases", "/padroes", "/resultados", "/imagens", "/temp", "/saves"})
    installer::CreateFolderIfMissing(InstallFolder + sub);
  // A fresh account has no Windows folder yet, let alone its menu folders: every missing
  // level is made.
  installer::CreateFolderPath(installer::GetWindowsDir() + "/Menu Iniciar/Programas/Vandrel");
}

void TFInstall::WriteRegistry() {
  // Keys that exist are left exactly as they are: installing again changes no value.
  if (!Registry(RegRoot::HKEY_LOCAL_MACHINE).KeyExists(kProgramKey)) {
    Registry reg(RegRoot::HKEY_LOCAL_MACHINE);
    reg.OpenKey(kProgramKey, true);
    reg.WriteInteger("Modo de Analise", 1);
    reg.WriteInteger("SplashScreen", 1);
    reg.WriteString("MainDir", InstallFolder.toStdString());
    reg.WriteString("UserName", UserName.toStdString());
    reg.WriteString("Organization", Organization.toStdString());
  }
  if (!Registry(RegRoot::HKEY_LOCAL_MACHINE).KeyExists(kUninstallKey)) {
    Registry reg(RegRoot::HKEY_LOCAL_MACHINE);
    reg.OpenKey(kUninstallKey, true);
    reg.WriteString("DisplayName", "Vandrel 1.0");
    reg.WriteString("UninstallString", (InstallFolder + "/uninstall").toStdString());
  }
  const QString program = InstallFolder + "/Vandrel";
  for (const FileClass& c : kFileClasses) {
    const QString name = QString::fromUtf8(c.name);
    const QString description = QString::fromUtf8(c.description);
    const QString command = c.open == FileClass::kNone      ? QString()
                            : c.open == FileClass::kProgram ? program + " %1"
                                                            : QString("notepad %1");
    // The desktop learns of the class on every installation, so that documents open the
    // copy that this one installs, as the shortcuts do. It comes before the store: should
    // it fail, the class is not in the store yet.
    vandrel::RegisterDesktopFileType(c.extension, description.toStdString(), command.toStdString());
    if (Registry(RegRoot::HKEY_CLASSES_ROOT).KeyExists(c.name)) continue;
    WriteDefault(RegRoot::HKEY_CLASSES_ROOT, name, description);
    if (!command.isEmpty())
      WriteDefault(RegRoot::HKEY_CLASSES_ROOT, name + "\\shell\\open\\command", command);
    WriteDefault(RegRoot::HKEY_CLASSES_ROOT, name + "\\DefaultIcon",
                 program + "," + QString::number(c.icon));
    WriteDefault(RegRoot::HKEY_CLASSES_ROOT, QString::fromUtf8(c.extension), name);
  }
  // The help shortcut opens "Ajuda.hlp" through the desktop, which takes a ".hlp" for a
  // WinHelp file: it learns that this one is HTML, so that the user's HTML viewer shows it.
  vandrel::RegisterDesktopHtmlFile("Ajuda.hlp");
  vandrel::RefreshDesktopDatabases();
}
