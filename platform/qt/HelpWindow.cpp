#include "platform/qt/HelpWindow.h"

#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include "platform/qt/Dialogs.h"

namespace vandrel {

void ShowHelp(const QString& file, int topic) {
  static QPointer<QTextBrowser> window;
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

}  // namespace vandrel
