#include "installer/NewPasta.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/qt/ErrorReport.h"

TNovaPasta::TNovaPasta(QWidget* owner) : QDialog(owner) {
  setObjectName("NovaPasta");
  setWindowTitle("New Folder");
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel("Name", this), 0, 0);
  Nome = new QLineEdit("Pasta1", this);
  Nome->setObjectName("Nome");
  Nome->setMinimumWidth(220);
  grid->addWidget(Nome, 0, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  BtOk = new QPushButton("OK", this);
  BtOk->setObjectName("BtOk");
  BtClose = new QPushButton("Cancel", this);
  BtClose->setObjectName("BtClose");
  for (QPushButton* b : {BtOk, BtClose}) {
    // Enter and Escape are the name field's own keys, not the buttons'.
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  grid->addLayout(buttons, 1, 0, 1, 2);
  vandrel::OnClicked(BtOk, [this] { BtOkClick(); });
  vandrel::OnClicked(BtClose, [this] { BtCloseClick(); });
  Nome->installEventFilter(this);
  FormCreate();
}

void TNovaPasta::FormCreate() { Aceito = false; }

void TNovaPasta::BtOkClick() {
  Aceito = true;
  accept();
}

void TNovaPasta::BtCloseClick() { reject(); }

bool TNovaPasta::NomeKeyDown(int key) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Aceito = true;
      accept();
      return true;
    case Qt::Key_Escape:
      reject();
      return true;
    default:
      return false;
  }
}

bool TNovaPasta::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Nome && event->type() == QEvent::KeyPress) {
    bool handled = false;
    vandrel::Guarded([&] { handled = NomeKeyDown(static_cast<QKeyEvent*>(event)->key()); });
    if (handled) return true;
  }
  return QDialog::eventFilter(watched, event);
}
