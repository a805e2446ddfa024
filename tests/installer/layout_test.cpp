// What the installer's pages show: every page whole, every text readable.
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "installer/NewPasta.h"
#include "installer/UDados.h"
#include "installer/Usetup.h"
#include "installer/getDir.h"
#include "tests/installer/InstallerFixture.h"
#include "tests/support/LayoutCheck.h"

using installer::testing::Machine;

namespace {

using InstallerLayout = Machine;

TEST_F(InstallerLayout, EveryPageIsWhole) {
  TForm1 dados;
  dados.show();
  EXPECT_TRUE(vandrel::testing::LayoutIsWhole(&dados));
  TFormDir dir;
  dir.show();
  dir.SelectPath(Prog());
  EXPECT_TRUE(vandrel::testing::LayoutIsWhole(&dir));
  TNovaPasta nova;
  nova.show();
  EXPECT_TRUE(vandrel::testing::LayoutIsWhole(&nova));
  TFInstall progresso;
  progresso.Timer->stop();
  progresso.show();
  EXPECT_TRUE(vandrel::testing::LayoutIsWhole(&progresso));
}

TEST_F(InstallerLayout, TheProgressPageIsWholeWhenAStepFails) {
  // A store that cannot be written: the page ends on its longest status text.
  Write(Path("blocked"), "file");
  Set("VANDREL_REGISTRY", Path("blocked/registry.ini"));
  Write(Prog() + "/Vandrel", "#!/bin/sh\n", true);
  TFInstall progresso;
  progresso.Timer->stop();
  progresso.InstallFolder = Prog();
  progresso.show();
  for (int tick = 0; tick < 6; ++tick) progresso.TimerTimer();
  EXPECT_EQ(progresso.stAndamento->text(), "Incomplete: some entries could not be written");
  EXPECT_TRUE(vandrel::testing::LayoutIsWhole(&progresso));
}

}  // namespace
