#include "platform/qt/HelpWindow.h"

#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include "platform/qt/Dialogs.h"

namespace vandrel {

namespace {
// A top-level window of its own, not a child of the main window: it stays while the user
// works in the main window. One at a time.
QPointer<QTextBrowser> window;
}  // namespace

void ShowHelp(const QString& file, int topic) {
  if (!QFileInfo::exists(file)) {
    ShowMessage("Não foi possível abrir a ajuda: " + file);
    return;
  }
  if (!window) {
    window = new QTextBrowser;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName("HelpWindow");
    window->resize(720, 560);
    window->setOpenExternalLinks(true);
  }
  window->setWindowTitle(ApplicationTitle() + " - Ajuda");
  QUrl url = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
  // The help document is HTML whatever its extension says.
  window->setSource(url, QTextDocument::HtmlResource);
  if (topic > 0) window->scrollToAnchor(QString::number(topic));
  window->show();
  window->raise();
  window->activateWindow();
}

void CloseHelp() {
  if (window) window->close();  // it frees itself once closed
}

}  // namespace vandrel
