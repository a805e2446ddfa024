#include "app/thresholds/ui/ULimPreview.h"

#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>

#include "app/settings/model/URecursos.h"
#include "platform/qt/Placement.h"

namespace {

constexpr int kLarguras[4] = {34, 40, 40, 53};
// Rows are 17 pixels with a grid line under each: 18 pixels a row.
constexpr int kAlturaLinha = 17, kPassoLinha = kAlturaLinha + 1;
constexpr int kLarguraGrade = 172, kLarguraMoldura = 177;

QColor Cor(int32_t valor) {
  return QColor(valor & 0xFF, (valor >> 8) & 0xFF, (valor >> 16) & 0xFF);
}

}  // namespace

TDesenhoDasAreas::TDesenhoDasAreas(TFTabelaDasAreas* tabela)
    : QStyledItemDelegate(tabela), tabela_(tabela) {}

void TDesenhoDasAreas::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  const bool focused = option.state & QStyle::State_HasFocus;
  painter->save();
  tabela_->GridAreasDrawCell(*painter, index.column(), index.row(), option.rect, focused);
  painter->restore();
}

TFTabelaDasAreas* TFTabelaDasAreas::CreateComPaleta(QWidget* owner,
                                                    const vandrel::PaletaFases& paleta) {
  return new TFTabelaDasAreas(owner, paleta);
}

TFTabelaDasAreas::TFTabelaDasAreas(QWidget* owner, const vandrel::PaletaFases& paleta)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      Paleta(paleta) {
  setObjectName("FTabelaDasAreas");
  setWindowTitle("% das Áreas");

  Bevel = new QFrame(this);
  Bevel->setObjectName("Bevel");
  Bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Bevel->setGeometry(0, 0, kLarguraMoldura, 42);

  GridAreas = new QTableWidget(2, 4, this);
  GridAreas->setObjectName("GridAreas");
  GridAreas->setFrameShape(QFrame::NoFrame);
  GridAreas->horizontalHeader()->hide();
  GridAreas->verticalHeader()->hide();
  GridAreas->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  GridAreas->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  GridAreas->setShowGrid(true);
  GridAreas->setSelectionMode(QAbstractItemView::ContiguousSelection);
  GridAreas->setSelectionBehavior(QAbstractItemView::SelectItems);
  GridAreas->setEditTriggers(QAbstractItemView::NoEditTriggers);
  GridAreas->horizontalHeader()->setMinimumSectionSize(1);
  GridAreas->verticalHeader()->setMinimumSectionSize(1);
  GridAreas->verticalHeader()->setDefaultSectionSize(kPassoLinha);
  for (int c = 0; c < 4; ++c) GridAreas->setColumnWidth(c, kLarguras[c] + 1);
  QPalette fundo = GridAreas->palette();
  fundo.setColor(QPalette::Base, QColor(192, 192, 192));
  GridAreas->setPalette(fundo);
  QFont fonte = GridAreas->font();
  fonte.setPixelSize(10);
  GridAreas->setFont(fonte);
  GridAreas->setItemDelegate(new TDesenhoDasAreas(this));
  GridAreas->setGeometry(3, 3, kLarguraGrade, 37);

  SetCell(0, 0, "Cor");
  SetCell(1, 0, "[ de");
  SetCell(2, 0, "até )");
  SetCell(3, 0, "Área [%]");
  SetRowCount(2);
  hide();
}

QString TFTabelaDasAreas::Cell(int column, int row) const {
  const QTableWidgetItem* item = GridAreas->item(row, column);
  return item ? item->text() : QString();
}

void TFTabelaDasAreas::SetCell(int column, int row, const QString& text) {
  if (row < 0 || row >= GridAreas->rowCount() || column < 0 || column >= 4) return;
  if (QTableWidgetItem* item = GridAreas->item(row, column))
    item->setText(text);
  else
    GridAreas->setItem(row, column, new QTableWidgetItem(text));
}

void TFTabelaDasAreas::SetRowCount(int rows) {
  GridAreas->setRowCount(rows);
  const int altura = rows * kPassoLinha + 2;
  GridAreas->resize(kLarguraGrade, altura);
  Bevel->resize(kLarguraMoldura, altura + 5);
  AjustarTamanho();
}

void TFTabelaDasAreas::AjustarTamanho() {
  setFixedSize(kLarguraMoldura, Bevel->height());
  // A table grown with the levels stays on the screen.
  if (isVisible()) vandrel::KeepOnScreen(this);
}

void TFTabelaDasAreas::Repintar() { GridAreas->viewport()->update(); }

void TFTabelaDasAreas::GridAreasDrawCell(QPainter& painter, int column, int row, const QRect& rect,
                                         bool focused) const {
  int dx = 6;
  QColor pincel;
  QColor texto = Qt::black;
  QFont fonte = GridAreas->font();
  // Every cell but the colour swatches is written in bold: the header and the area column
  // ask for it, and the bounds columns keep the style the cells before them left.
  fonte.setBold(true);
  if (row == 0) {
    pincel = Qt::black;
    texto = Qt::white;
  } else if (column == 0) {
    pincel = Cor(vandrel::RGBParaInteiro(Paleta[size_t(std::min(row - 1, 15))]));
  } else if (column == 3) {
    pincel = QColor(255, 128, 128);
    texto = QColor(96, 0, 0);
    dx = 15;
  } else {
    pincel = QColor(255, 196, 196);
    texto = QColor(20, 0, 0);
  }
  painter.fillRect(rect, pincel);
  if (focused) {
    QStyleOptionFocusRect opcao;
    opcao.rect = rect;
    opcao.backgroundColor = pincel;
    opcao.state = QStyle::State_HasFocus;
    GridAreas->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opcao, &painter, GridAreas);
  }
  const QString s = Cell(column, row);
  if (s.isEmpty()) return;
  // A heading that would pass its cell's right edge starts further left, as far as the cell's
  // own left edge ("Área [%]" in bold is a few pixels wider than its column leaves it).
  if (row == 0) dx = std::clamp(rect.width() - 1 - QFontMetrics(fonte).horizontalAdvance(s), 0, dx);
  painter.setClipRect(rect);
  painter.setFont(fonte);
  painter.setPen(texto);
  painter.drawText(QRect(rect.left() + dx, rect.top() + 2, rect.width(), rect.height()),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, s);
}
