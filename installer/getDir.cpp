#include "installer/getDir.h"

#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "installer/NewPasta.h"
#include "installer/StdShared.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/ErrorReport.h"

TFormDir::TFormDir(QWidget* owner) : QDialog(owner) {
  setObjectName("FormDir");
  setWindowTitle("Select Folder");
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel("Select the folder of  Vandrel instalation", this), 1);
  BtNewDir = new QToolButton(this);
  BtNewDir->setObjectName("BtNewDir");
  BtNewDir->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
  BtNewDir->setToolTip("Nova Pasta");
  BtNewDir->setEnabled(false);
  top->addWidget(BtNewDir);
  layout->addLayout(top);

  // The whole file system is the tree's root: there are no drives above it.
  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setRootPath("/");
  DirBox = new QTreeView(this);
  DirBox->setObjectName("DirBox");
  DirBox->setModel(model_);
  DirBox->setRootIndex(model_->index("/"));
  for (int column = 1; column < model_->columnCount(); ++column) DirBox->hideColumn(column);
  DirBox->header()->hide();
  DirBox->setMinimumSize(320, 280);
  layout->addWidget(DirBox, 1);

  StDir = new QLabel(this);
  StDir->setObjectName("StDir");
  StDir->setTextFormat(Qt::PlainText);
  StDir->setFrameShape(QFrame::StyledPanel);
  StDir->setFrameShadow(QFrame::Sunken);
  layout->addWidget(StDir);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  SpeedButton2 = new QPushButton("OK", this);
  SpeedButton2->setObjectName("SpeedButton2");
  SpeedButton1 = new QPushButton("Cancel", this);
  SpeedButton1->setObjectName("SpeedButton1");
  buttons->addWidget(SpeedButton2);
  buttons->addWidget(SpeedButton1);
  layout->addLayout(buttons);

  connect(DirBox->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { vandrel::Guarded([this] { DirBoxChange(); }); });
  vandrel::OnClicked(SpeedButton2, [this] { SpeedButton2Click(); });
  vandrel::OnClicked(SpeedButton1, [this] { SpeedButton1Click(); });
  vandrel::OnClicked(BtNewDir, [this] { BtNewDirClick(); });
  FormCreate();
}

QString TFormDir::SelectedPath() const {
  const QModelIndex current = DirBox->currentIndex();
  return current.isValid() ? model_->filePath(current) : QString();
}

void TFormDir::SelectPath(const QString& path) {
  const QModelIndex index = model_->index(path);
  if (!index.isValid()) return;
  DirBox->setCurrentIndex(index);
  DirBox->scrollTo(index);
}

void TFormDir::FormCreate() { Aceito = false; }

void TFormDir::DirBoxChange() { StDir->setText(SelectedPath()); }

void TFormDir::SpeedButton2Click() {
  Aceito = true;
  accept();
}

void TFormDir::SpeedButton1Click() { reject(); }

void TFormDir::BtNewDirClick() {
  TNovaPasta nova(this);
  vandrel::Dialogs().RunModal(nova);
  if (nova.Aceito) installer::CreateFolderIfMissing(SelectedPath() + "/" + nova.Nome->text());
}
