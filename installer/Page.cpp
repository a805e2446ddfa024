#include "installer/Page.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QLabel>
#include <QScreen>
#include <QWidget>

#include "installer/StdShared.h"
#include "platform/qt/Dialogs.h"

namespace installer {

QLabel* MakeBanner(const QString& text, QWidget* parent) {
  auto* banner = new QLabel(text, parent);
  banner->setObjectName("Banner");
  // Plain text keeps the leading blanks that place the title.
  banner->setTextFormat(Qt::PlainText);
  QFont font = banner->font();
  font.setPointSize(20);
  font.setBold(true);
  font.setItalic(true);
  banner->setFont(font);
  banner->setAutoFillBackground(true);
  QPalette palette = banner->palette();
  palette.setColor(QPalette::Window, QColor(0, 0, 128));
  palette.setColor(QPalette::WindowText, Qt::white);
  banner->setPalette(palette);
  banner->setMinimumHeight(56);
  banner->setContentsMargins(6, 6, 6, 6);
  return banner;
}

void CentreOnScreen(QWidget* page) {
  page->adjustSize();
  page->setFixedSize(page->size());
  if (QScreen* screen = page->screen())
    page->move(screen->availableGeometry().center() - page->rect().center());
}

void SetUpApplication() {
  QCoreApplication::setApplicationName("install");
  vandrel::SetApplicationTitle("Vandrel install");
  // The pages show the program's icon, the one the installation puts into the menus.
  QApplication::setWindowIcon(ProgramIcon());
}

}  // namespace installer
