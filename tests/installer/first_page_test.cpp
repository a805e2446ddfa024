// The first page: the folder it proposes, the names it takes from the registry, its
// buttons, and leaving it through Cancel.
#include <QApplication>
#include <QCoreApplication>
#include <QDirIterator>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include "installer/Page.h"
#include "installer/UDados.h"
#include "installer/getDir.h"
#include "tests/installer/InstallerFixture.h"

using namespace vandrel;
using installer::testing::Machine;

namespace {

using FirstPage = Machine;

const char* kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
const char* kNtCurrentVersion = "Software\\Microsoft\\Windows NT\\CurrentVersion";

TEST_F(FirstPage, ProposesItsOwnFolderWithoutTrailingSeparator) {
  const struct {
    const char* own;
    const char* proposed;
  } cases[] = {{"/opt/Prog", "/opt/Prog"}, {"/opt/Prog/", "/opt/Prog"}, {"/D/Prog//", "/D/Prog"}};
  for (const auto& c : cases) EXPECT_EQ(TForm1(c.own).lePath->text(), c.proposed) << c.own;
  // Without a folder given, the folder of the running program.
  EXPECT_EQ(TForm1().lePath->text(), QCoreApplication::applicationDirPath());
}

TEST_F(FirstPage, NamesComeFromTheSystemRegistry) {
  Store(RegRoot::HKEY_LOCAL_MACHINE, kCurrentVersion, "RegisteredOwner", "Maria Silva");
  Store(RegRoot::HKEY_LOCAL_MACHINE, kCurrentVersion, "RegisteredOrganization", "UFSC");
  TForm1 form(Prog());
  EXPECT_EQ(form.eNome->text(), "Maria Silva");
  EXPECT_EQ(form.eCompania->text(), "UFSC");
}

TEST_F(FirstPage, WithoutStoredNamesTheAccountAnswers) {
  // Nothing stored: the owner is the account's full name, as the store answers it where
  // Windows NT keeps it, and the organization is empty.
  Registry nt(RegRoot::HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(nt.OpenKey(kNtCurrentVersion, false));
  TForm1 form(Prog());
  EXPECT_EQ(form.eNome->text().toStdString(), nt.ReadString("RegisteredOwner"));
  EXPECT_EQ(form.eCompania->text(), "");
  // Values stored where Windows NT keeps them are taken too.
  Store(RegRoot::HKEY_LOCAL_MACHINE, kNtCurrentVersion, "RegisteredOwner", "Ana");
  Store(RegRoot::HKEY_LOCAL_MACHINE, kNtCurrentVersion, "RegisteredOrganization", "LabMat");
  TForm1 again(Prog());
  EXPECT_EQ(again.eNome->text(), "Ana");
  EXPECT_EQ(again.eCompania->text(), "LabMat");
}

TEST_F(FirstPage, ValueOfTheWrongTypeLeavesTheFieldEmpty) {
  Registry reg(RegRoot::HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(kNtCurrentVersion, true));
  reg.WriteInteger("RegisteredOrganization", 7);
  EXPECT_EQ(TForm1(Prog()).eCompania->text(), "");
}

TEST_F(FirstPage, CaptionsAndButtons) {
  TForm1 form(Prog());
  EXPECT_EQ(form.windowTitle(), "Vandrel Install");
  EXPECT_EQ(form.sbFinalizar->text(), "Install");
  EXPECT_EQ(form.SpeedButton1->text(), "Cancel");
  EXPECT_EQ(form.btProcurar->text(), "Browse");
  EXPECT_FALSE(form.btProcurar->isEnabled());
  QStringList labels;
  for (QLabel* label : form.findChildren<QLabel*>()) labels << label->text();
  EXPECT_TRUE(labels.contains("                       Vandrel  1.0"));
  for (const char* text : {"Name", "Organization", "Install Path"})
    EXPECT_TRUE(labels.contains(text)) << text;
}

TEST_F(FirstPage, CancelAsksBeforeEnding) {
  TForm1 form(Prog());
  form.show();
  dialogs_->answers = {mbNo};
  form.SpeedButton1->click();
  ASSERT_EQ(dialogs_->messages.size(), 1u);
  EXPECT_EQ(dialogs_->messages[0].text, "Deseja Sair do Vandrel install?");
  EXPECT_EQ(dialogs_->messages[0].kind, MsgKind::Confirmation);
  EXPECT_EQ(dialogs_->messages[0].buttons, mbYes | mbNo);
  EXPECT_FALSE(installer::Terminated());

  dialogs_->answers = {mbYes};
  form.SpeedButton1->click();
  EXPECT_TRUE(installer::Terminated());
  EXPECT_TRUE(dialogs_->formsRun.empty());
}

TEST_F(FirstPage, TheQuitBoxSpeaksTheInstallersEnglish) {
  // The box as the installer shows it, set up as its start does: the question is
  // Portuguese, its caption the installer's title and its buttons English.
  installer::SetUpApplication();
  auto scripted = SetDialogs(std::make_unique<QtDialogs>());
  TForm1 form(Prog());
  form.show();
  QString caption, text;
  QStringList buttons;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    caption = box->windowTitle();
    text = box->text();
    for (QAbstractButton* b : box->buttons()) buttons << b->text().remove('&');
    box->button(QMessageBox::No)->click();
  });
  form.SpeedButton1->click();
  SetDialogs(std::move(scripted));
  EXPECT_EQ(caption, "Vandrel install");
  EXPECT_EQ(text, "Deseja Sair do Vandrel install?");
  buttons.sort();
  EXPECT_EQ(buttons, (QStringList{"No", "Yes"}));
  EXPECT_FALSE(installer::Terminated());
}

TEST_F(FirstPage, StartingAndCancellingWritesNothing) {
  // Nothing is written before Install: no store, no lock beside it, no folder.
  const auto files = [this] {
    QStringList all;
    QDirIterator it(temp_.path(),
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) all << it.next();
    all.sort();
    return all;
  };
  const QStringList before = files();
  {
    TForm1 form(Prog());
    form.show();
    dialogs_->answers = {mbNo, mbYes};
    form.SpeedButton1->click();
    form.SpeedButton1->click();
  }
  EXPECT_TRUE(installer::Terminated());
  EXPECT_EQ(files(), before);
}

TEST_F(FirstPage, InstallRefusesAFolderThatHoldsNoProgram) {
  // The installer copies nothing: a folder typed in "Install Path" must hold the program.
  QDir().mkpath(Path("Vazia"));
  QDir().mkpath(Path("Texto"));
  Write(Path("Texto/Vandrel"), "not a program");  // not executable
  QDir().mkpath(Path("Pasta/Vandrel"));           // a folder in the program's place
  const QString hint = "\rDigite em Install Path a pasta em que está o Vandrel.";
  const struct {
    QString typed;
    QString message;
  } cases[] = {
      {Path("Não existe"),
       "A pasta \"" + Path("Não existe") + "\" não contém o programa Vandrel." + hint},
      {Path("Vazia"), "A pasta \"" + Path("Vazia") + "\" não contém o programa Vandrel." + hint},
      {Path("Texto"), "A pasta \"" + Path("Texto") + "\" não contém o programa Vandrel." + hint},
      {Path("Pasta"), "A pasta \"" + Path("Pasta") + "\" não contém o programa Vandrel." + hint},
      {"", "Digite em Install Path a pasta em que está o Vandrel."},
      {"   ", "Digite em Install Path a pasta em que está o Vandrel."},
  };
  const auto files = [this] {
    QStringList all;
    QDirIterator it(temp_.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) all << it.next();
    all.sort();
    return all;
  };
  const QStringList before = files();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    dialogs_->messages.clear();
    TForm1 form(Prog());
    form.show();
    form.lePath->setText(c.typed);
    form.sbFinalizar->click();
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].kind, MsgKind::Error);
    EXPECT_EQ(dialogs_->messages[0].text, c.message);
    EXPECT_EQ(dialogs_->messages[0].buttons, mbOK);
    // The page stays, with the folder as typed, to be mended; nothing is installed.
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.lePath->text(), c.typed);
    EXPECT_TRUE(dialogs_->formsRun.empty());
    EXPECT_FALSE(installer::Terminated());
  }
  EXPECT_EQ(files(), before);
}

TEST_F(FirstPage, InstallTakesAFolderThatHoldsTheProgram) {
  // Blanks, accents and a trailing separator, as a user may type them.
  const QString folder = Path("Meus Programas/Vandrel Análise");
  QDir().mkpath(folder);
  Write(folder + "/Vandrel", "#!/bin/sh\n", true);
  for (const QString& typed : {folder, folder + "/"}) {
    SCOPED_TRACE(typed.toStdString());
    TForm1 form(Prog());
    form.show();
    form.lePath->setText(typed);
    QString given;
    dialogs_->forms.push_back(
        [&](QDialog& d) { given = dynamic_cast<TFInstall&>(d).InstallFolder; });
    form.sbFinalizar->click();
    EXPECT_EQ(dialogs_->formsRun, std::vector<QString>{"FInstall"});
    EXPECT_EQ(given, typed);
    EXPECT_TRUE(dialogs_->messages.empty());
    dialogs_->formsRun.clear();
    installer::ResetTermination();
  }
}

TEST_F(FirstPage, ThePagesShowTheProgramsIcon) {
  installer::SetUpApplication();
  const QIcon icon = QApplication::windowIcon();
  ASSERT_FALSE(icon.isNull());
  QList<QSize> sizes = icon.availableSizes();
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
  TForm1 form(Prog());
  EXPECT_EQ(form.windowIcon().cacheKey(), icon.cacheKey());
  // The installer's icon is the one the installation puts into the icon theme.
  const QImage shown = icon.pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32);
  QImage file(":/icons/hicolor/48x48/apps/vandrel.png");
  EXPECT_EQ(shown, file.convertToFormat(QImage::Format_ARGB32));
}

TEST_F(FirstPage, BrowseTakesTheFolderChosen) {
  TForm1 form(Prog());
  // The button is disabled: a click does nothing.
  form.btProcurar->click();
  EXPECT_TRUE(dialogs_->formsRun.empty());

  QDir().mkpath(Path("Outra Pasta"));
  dialogs_->forms.push_back([&](QDialog& d) {
    auto& dir = dynamic_cast<TFormDir&>(d);
    dir.SelectPath(Path("Outra Pasta"));
    dir.SpeedButton2->click();
  });
  form.btProcurarClick();
  EXPECT_EQ(dialogs_->formsRun, std::vector<QString>{"FormDir"});
  EXPECT_EQ(form.lePath->text(), Path("Outra Pasta"));

  // Cancel, or a close of the window, keeps the path.
  dialogs_->forms.push_back([&](QDialog& d) {
    auto& dir = dynamic_cast<TFormDir&>(d);
    dir.SelectPath(Prog());
    dir.SpeedButton1->click();
  });
  form.btProcurarClick();
  dialogs_->forms.push_back([&](QDialog& d) {
    dynamic_cast<TFormDir&>(d).SelectPath(Prog());
    d.close();
  });
  form.btProcurarClick();
  EXPECT_EQ(form.lePath->text(), Path("Outra Pasta"));
}

}  // namespace
