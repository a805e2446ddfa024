// Closing the main window ends the program even while the help window is open: the help
// window goes with it, so no window of the program is left on screen.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QSet>
#include <QWidget>
#include <memory>

#include "app/shell/ui/UnitPrincipal.h"
#include "platform/qt/Dialogs.h"
#include "tests/support/GuiTest.h"

namespace {

using vandrel::testing::ProgramFolder;
using vandrel::testing::Settle;

QSet<QWidget*> OnScreen() {
  QSet<QWidget*> out;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) out.insert(w);
  return out;
}

TEST(HelpAtExit, ClosingTheMainWindowClosesTheHelpWindow) {
  const struct {
    const char* name;
    int helpOpenings;  // the help command used once, or twice (one window, brought back)
  } cases[] = {{"help opened once", 1}, {"help opened twice", 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramFolder folder("[caixa_sobre]\nmostrar_inicio=FALSE\n");
    QFile::copy(VANDREL_SOURCE_DIR "/data/Ajuda.hlp", folder.File("Ajuda.hlp"));
    vandrel::ScriptedDialogsScope dialogs;
    const QSet<QWidget*> before = OnScreen();
    auto* principal = new TFormPrincipal(TFormPrincipal::Options{folder.Path(), ""});
    principal->setAttribute(Qt::WA_DeleteOnClose);  // as the program runs it
    principal->show();
    Settle();
    for (int i = 0; i < c.helpOpenings; ++i) principal->Contedo1->trigger();
    Settle();
    QWidget* help = nullptr;
    for (QWidget* w : OnScreen())
      if (w->objectName() == "HelpWindow") help = w;
    ASSERT_TRUE(help);
    EXPECT_TRUE(dialogs->messages.empty());

    EXPECT_TRUE(principal->close());
    Settle();
    EXPECT_EQ(OnScreen(), before);  // nothing of the program is left on screen
    for (QWidget* w : QApplication::topLevelWidgets())
      EXPECT_NE(w->objectName(), "HelpWindow") << "the help window still exists";
  }
}

}  // namespace
