// Start of Vandrel: register the picture formats, create the main window, run the loop.
#include <QLocale>

#include "app/frame/ui/ToolIcons.h"
#include "app/shell/ui/EndRequests.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "codecs/gif/GifImage.h"
#include "codecs/tiff/TiffImage.h"
#include "platform/Numbers.h"
#include "platform/TerminationSignals.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/ErrorReport.h"

int main(int argc, char** argv) {
  // Requests to end the program wait from the start until the event loop takes them.
  vandrel::WatchTerminationSignals();
  // The codecs register their picture formats before any window exists.
  vandrel::RegisterTiffFormat();
  vandrel::RegisterGifFormat();
  vandrel::Application app(argc, argv);
  // Qt's standard dialogs in Portuguese, like the rest of the program.
  vandrel::InstallQtTranslations();
  vandrel::SetApplicationTitle("Vandrel");
  app.setWindowIcon(QIcon(ProgramPicture(32)));
  const QString point = QLocale::system().decimalPoint();
  vandrel::SetDecimalSeparator(point.isEmpty() ? '.' : point.at(0).toLatin1());
  // A logout, a shutdown or `kill` closes the main window as its close box does.
  vandrel::EndRequests endRequests;
  TFormPrincipal* window = new TFormPrincipal;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->MostrarAoIniciar();
  const int code = app.exec();
  delete FormPrincipal;
  return code;
}
