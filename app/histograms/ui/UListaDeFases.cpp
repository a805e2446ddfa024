#include "app/histograms/ui/UListaDeFases.h"

#include <QFrame>
#include <QToolButton>

#include "platform/qt/ErrorReport.h"

// ---------------------------------------------------------------------------------------------
// Check list

TCheckListBox::TCheckListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void TCheckListBox::AdicionarItem(const QString& text) {
  auto* item = new QListWidgetItem(text, this);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  item->setCheckState(Qt::Unchecked);
  item->setToolTip(text);
  // Lines 13 pixels high, as wide as the check box and the whole name need.
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const int width = itemDelegate()->sizeHint(option, indexFromItem(item)).width();
  item->setSizeHint(QSize(width, 13));
}

bool TCheckListBox::Checked(int index) const {
  const QListWidgetItem* it = item(index);
  return it && it->checkState() == Qt::Checked;
}

void TCheckListBox::SetChecked(int index, bool checked) {
  if (QListWidgetItem* it = item(index)) it->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

// ---------------------------------------------------------------------------------------------
// Phase list dialog

TFormListaDeFases::TFormListaDeFases(QWidget* owner) : QDialog(owner) {
  setObjectName("FormListaDeFases");
  setWindowTitle("Excluir Fases");
  // A tool window with only its close box.
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  QFont f = font();
  f.setPixelSize(11);
  setFont(f);
  setFixedSize(139, 281);

  Lista = new TCheckListBox(this);
  Lista->setObjectName("Lista");
  Lista->setGeometry(0, 0, 139, 230);
  Bevel1 = new QFrame(this);
  Bevel1->setObjectName("Bevel1");
  Bevel1->setGeometry(0, 232, 139, 23);
  Bevel2 = new QFrame(this);
  Bevel2->setObjectName("Bevel2");
  Bevel2->setGeometry(0, 256, 70, 24);
  Bevel3 = new QFrame(this);
  Bevel3->setObjectName("Bevel3");
  Bevel3->setGeometry(71, 256, 68, 24);
  for (QFrame* b : {Bevel1, Bevel2, Bevel3}) b->setFrameStyle(QFrame::Box | QFrame::Sunken);
  BTSelectAll = new QToolButton(this);
  BTSelectAll->setObjectName("BTSelectAll");
  BTSelectAll->setText("Selecionar Todas");
  BTSelectAll->setGeometry(1, 233, 137, 21);
  BtOK = new QToolButton(this);
  BtOK->setObjectName("BtOK");
  BtOK->setText("OK");
  BtOK->setGeometry(1, 257, 68, 22);
  BTCancelar = new QToolButton(this);
  BTCancelar->setObjectName("BTCancelar");
  BTCancelar->setText("Cancelar");
  BTCancelar->setGeometry(72, 257, 66, 22);
  for (QToolButton* b : {BTSelectAll, BtOK, BTCancelar}) b->setAutoRaise(true);

  vandrel::OnClicked(BTSelectAll, [this] { BTSelectAllClick(); });
  vandrel::OnClicked(BtOK, [this] { BtOKClick(); });
  vandrel::OnClicked(BTCancelar, [this] { BTCancelarClick(); });

  FormCreate();
}

TFormListaDeFases::~TFormListaDeFases() = default;

void TFormListaDeFases::FormCreate() { Resultado.clear(); }

void TFormListaDeFases::BTSelectAllClick() {
  for (int i = 0; i < Lista->Count(); ++i) Lista->SetChecked(i, true);
}

void TFormListaDeFases::BtOKClick() {
  Resultado = "OK";
  accept();
}

void TFormListaDeFases::BTCancelarClick() { reject(); }
