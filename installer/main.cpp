// Start of the installer: register the TIFF reader, open the first page, run the loop.
#include "codecs/tiff/TiffImage.h"
#include "installer/Termination.h"
#include "installer/UDados.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/ErrorReport.h"

int main(int argc, char** argv) {
  vandrel::RegisterTiffFormat();
  vandrel::Application app(argc, argv);
  // Qt's standard dialogs and boxes in Portuguese.
  vandrel::InstallQtTranslations();
  app.setApplicationName("install");
  vandrel::SetApplicationTitle("Vandrel install");
  TForm1 form;
  form.show();
  return installer::RunMessageLoop();
}
