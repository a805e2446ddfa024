#include "app/frame/ui/SettingsWindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/qt/ErrorReport.h"

SettingsWindow::SettingsWindow(QWidget* owner, const QString& objectName,
                               const QString& pageCaption)
    : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint) {
  setObjectName(objectName);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Configurações");
  auto* outer = new QVBoxLayout(this);
  PageControl1 = new QTabWidget(this);
  Page = new QWidget;
  PageControl1->addTab(Page, pageCaption);
  outer->addWidget(PageControl1);
  auto* buttons = new QHBoxLayout;
  SpeedButton1 = new QPushButton("OK", this);
  SpeedButton1->setObjectName("SpeedButton1");
  SpeedButton2 = new QPushButton("Cancelar", this);
  SpeedButton2->setObjectName("SpeedButton2");
  buttons->addStretch();
  buttons->addWidget(SpeedButton1);
  buttons->addWidget(SpeedButton2);
  outer->addLayout(buttons);
  vandrel::OnClicked(SpeedButton1, [this] { SpeedButton1Click(); });
  vandrel::OnClicked(SpeedButton2, [this] { SpeedButton2Click(); });
}

void SettingsWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  vandrel::Guarded([this] { FormShow(); });
}

void SettingsWindow::SpeedButton1Click() {
  Gravar();
  close();
}

void SettingsWindow::SpeedButton2Click() { close(); }
