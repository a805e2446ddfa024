#include "app/frame/ui/FileControls.h"

#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include "platform/qt/ErrorReport.h"

namespace {

constexpr int kProfundidade = Qt::UserRole + 1;  // depth of a folder entry
constexpr int kIndentacao = 10;                  // pixels per level of the folder tree

// Indents the entries of the folder tree by their depth.
class Indentacao : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem o = option;
    o.rect.adjust(index.data(kProfundidade).toInt() * kIndentacao, 0, 0, 0);
    QStyledItemDelegate::paint(painter, o, index);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    s.rwidth() += index.data(kProfundidade).toInt() * kIndentacao;
    return s;
  }
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// File list

TFileListBox::TFileListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void TFileListBox::SetDirectory(const QString& folder) {
  directory_ = QDir::cleanPath(QDir(folder).absolutePath());
  Update();
}

void TFileListBox::SetMask(const QString& mask) {
  mask_ = mask;
  Update();
}

void TFileListBox::Update() {
  clear();
  if (directory_.isEmpty()) return;
  // QDir compares name filters without regard to letter case unless told otherwise.
  const QStringList names =
      QDir(directory_).entryList({mask_}, QDir::Files, QDir::Name | QDir::IgnoreCase);
  addItems(names);
}

QString TFileListBox::FilePath(int index) const {
  const QListWidgetItem* it = item(index);
  return it ? QDir(directory_).filePath(it->text()) : QString();
}

// ---------------------------------------------------------------------------------------------
// Folder tree

TDirectoryListBox::TDirectoryListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setItemDelegate(new Indentacao(this));
  // Deep folders are cut at the right edge rather than scrolled to.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTextElideMode(Qt::ElideRight);
}

void TDirectoryListBox::SetDirectory(const QString& folder) {
  const QString novo = QDir::cleanPath(QDir(folder).absolutePath());
  const bool mudou = novo != directory_;
  directory_ = novo;
  clear();
  const QIcon aberta = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon fechada = style()->standardIcon(QStyle::SP_DirClosedIcon);
  auto add = [this](const QString& text, const QString& path, int depth, const QIcon& icon) {
    auto* it = new QListWidgetItem(icon, text, this);
    it->setData(Qt::UserRole, path);
    it->setData(kProfundidade, depth);
  };
  add("/", "/", 0, aberta);
  QString caminho;
  const QStringList partes = directory_.split('/', Qt::SkipEmptyParts);
  for (int i = 0; i < partes.size(); ++i) {
    caminho += "/" + partes[i];
    add(partes[i], caminho, i + 1, aberta);
  }
  setCurrentRow(count() - 1);
  const QDir dir(directory_);
  for (const QString& sub :
       dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
    add(sub, dir.filePath(sub), int(partes.size()) + 1, fechada);
  scrollToItem(currentItem(), QAbstractItemView::PositionAtCenter);
  if (mudou) emit Change();
}

QString TDirectoryListBox::EntryPath(int index) const {
  const QListWidgetItem* it = item(index);
  return it ? it->data(Qt::UserRole).toString() : QString();
}

void TDirectoryListBox::OpenEntry(int index) {
  if (index >= 0 && index < count()) SetDirectory(EntryPath(index));
}

void TDirectoryListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  const QListWidgetItem* it = itemAt(event->position().toPoint());
  if (it) vandrel::Guarded([&] { OpenEntry(row(it)); });
}

void TDirectoryListBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    vandrel::Guarded([&] { OpenEntry(currentRow()); });
    return;
  }
  QListWidget::keyPressEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Drive box

TDriveComboBox::TDriveComboBox(QWidget* parent) : QComboBox(parent) {
  addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), "/");
}
