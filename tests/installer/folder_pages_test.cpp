// The folder choice and its new-folder dialog.
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "installer/NewPasta.h"
#include "installer/getDir.h"
#include "tests/installer/InstallerFixture.h"

using installer::testing::Machine;

namespace {

using FolderPages = Machine;

void Press(QWidget* widget, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
}

TEST_F(FolderPages, FolderChoiceShowsAndAcceptsTheSelectedPath) {
  TFormDir dir;
  EXPECT_EQ(dir.windowTitle(), "Select Folder");
  EXPECT_FALSE(dir.Aceito);
  EXPECT_FALSE(dir.BtNewDir->isEnabled());
  EXPECT_EQ(dir.BtNewDir->toolTip(), "Nova Pasta");
  EXPECT_EQ(dir.SpeedButton2->text(), "OK");
  EXPECT_EQ(dir.SpeedButton1->text(), "Cancel");
  bool labelled = false;
  for (QLabel* label : dir.findChildren<QLabel*>())
    labelled = labelled || label->text() == "Select the folder of  Vandrel instalation";
  EXPECT_TRUE(labelled);

  dir.show();
  dir.SelectPath(Path("home"));
  EXPECT_EQ(dir.StDir->text(), Path("home"));
  dir.SelectPath(Prog());
  EXPECT_EQ(dir.StDir->text(), Prog());
  EXPECT_EQ(dir.SelectedPath(), Prog());
  dir.SpeedButton2->click();
  EXPECT_TRUE(dir.Aceito);
  EXPECT_FALSE(dir.isVisible());
}

TEST_F(FolderPages, CancelLeavesTheChoiceUnaccepted) {
  TFormDir dir;
  dir.show();
  dir.SelectPath(Prog());
  dir.SpeedButton1->click();
  EXPECT_FALSE(dir.Aceito);
  EXPECT_FALSE(dir.isVisible());
}

TEST_F(FolderPages, NewFolderDialog) {
  TNovaPasta nova;
  EXPECT_EQ(nova.windowTitle(), "New Folder");
  EXPECT_EQ(nova.Nome->text(), "Pasta1");
  EXPECT_EQ(nova.BtOk->text(), "OK");
  EXPECT_EQ(nova.BtClose->text(), "Cancel");
  EXPECT_FALSE(nova.Aceito);

  // Each way of leaving it, and whether the name counts as accepted.
  const struct {
    const char* how;
    std::function<void(TNovaPasta&)> leave;
    bool accepted;
  } cases[] = {
      {"OK", [](TNovaPasta& n) { n.BtOk->click(); }, true},
      {"Cancel", [](TNovaPasta& n) { n.BtClose->click(); }, false},
      {"Enter", [](TNovaPasta& n) { Press(n.Nome, Qt::Key_Return); }, true},
      {"keypad Enter", [](TNovaPasta& n) { Press(n.Nome, Qt::Key_Enter); }, true},
      {"Escape", [](TNovaPasta& n) { Press(n.Nome, Qt::Key_Escape); }, false},
  };
  for (const auto& c : cases) {
    TNovaPasta dialog;
    dialog.show();
    c.leave(dialog);
    EXPECT_EQ(dialog.Aceito, c.accepted) << c.how;
    EXPECT_FALSE(dialog.isVisible()) << c.how;
  }
  // Other keys are the edit's own.
  TNovaPasta typing;
  typing.show();
  typing.Nome->setFocus();
  Press(typing.Nome, Qt::Key_End);
  QKeyEvent x(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
  QApplication::sendEvent(typing.Nome, &x);
  EXPECT_EQ(typing.Nome->text(), "Pasta1x");
  EXPECT_TRUE(typing.isVisible());
}

TEST_F(FolderPages, NewFolderIsMadeInTheSelectedFolder) {
  TFormDir dir;
  dir.show();
  dir.SelectPath(Prog());
  dialogs_->forms.push_back([](QDialog& d) {
    auto& nova = dynamic_cast<TNovaPasta&>(d);
    nova.Nome->setText("Minha Pasta");
    nova.BtOk->click();
  });
  dir.BtNewDirClick();
  EXPECT_TRUE(QDir(Prog() + "/Minha Pasta").exists());

  // Cancelled: nothing is made.
  dialogs_->forms.push_back([](QDialog& d) {
    auto& nova = dynamic_cast<TNovaPasta&>(d);
    nova.Nome->setText("Nao");
    nova.BtClose->click();
  });
  dir.BtNewDirClick();
  EXPECT_FALSE(QDir(Prog() + "/Nao").exists());

  // A folder that exists already or whose parent is missing: no message, nothing changes.
  for (const char* name : {"Minha Pasta", "falta/filha"}) {
    dialogs_->forms.push_back([name](QDialog& d) {
      auto& nova = dynamic_cast<TNovaPasta&>(d);
      nova.Nome->setText(name);
      nova.BtOk->click();
    });
    dir.BtNewDirClick();
  }
  EXPECT_FALSE(QDir(Prog() + "/falta").exists());
  EXPECT_TRUE(dialogs_->messages.empty());
  EXPECT_EQ(dialogs_->formsRun.size(), 4u);
}

}  // namespace
