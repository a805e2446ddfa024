// Start of the installer: register the TIFF reader, open the first page, run the loop.
#include "codecs/tiff/TiffImage.h"
#include "installer/Page.h"
#include "installer/Termination.h"
#include "installer/UDados.h"
#include "platform/qt/ErrorReport.h"

int main(int argc, char** argv) {
  vandrel::RegisterTiffFormat();
  vandrel::Application app(argc, argv);
  installer::SetUpApplication();
  TForm1 form;
  form.show();
  return installer::RunMessageLoop();
}
