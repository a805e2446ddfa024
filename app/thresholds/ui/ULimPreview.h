#pragma once
// The area table of the thresholds window ("% das Áreas"): a small stay-on-top tool window
// whose grid lists, for every phase, its colour, its grey range and its estimated area
// fraction. The thresholds window fills the cells and sets the row count; this window
// draws them: row 0 is the header, row r describes phase r-1 (column 0 its colour, 1 and 2
// its grey bounds, 3 its area percentage).
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QWidget>

#include "app/thresholds/model/PhasePalette.h"

class QFrame;
class TFTabelaDasAreas;

// The grid's draw handler as an item delegate: every cell is painted by
// TFTabelaDasAreas::GridAreasDrawCell.
class TDesenhoDasAreas : public QStyledItemDelegate {
  Q_OBJECT
 public:
  explicit TDesenhoDasAreas(TFTabelaDasAreas* tabela);
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  TFTabelaDasAreas* tabela_;
};

class TFTabelaDasAreas : public QWidget {
  Q_OBJECT
 public:
  // Hidden at creation; `owner` frees it with itself.
  static TFTabelaDasAreas* CreateComPaleta(QWidget* owner, const vandrel::PaletaFases& paleta);
  TFTabelaDasAreas(QWidget* owner, const vandrel::PaletaFases& paleta);

  // ---- Components ----
  QTableWidget* GridAreas;
  QFrame* Bevel;

  // ---- Fields ----
  vandrel::PaletaFases Paleta;  // a copy of the thresholds window's palette

  // Cell text; cells are created on first use.
  QString Cell(int column, int row) const;
  void SetCell(int column, int row, const QString& text);
  int RowCount() const { return GridAreas->rowCount(); }
  // Row count, grid height (rows x 18 + 2) and bevel height (grid + 5); the window keeps
  // the size of its content.
  void SetRowCount(int rows);
  // Repaints the grid (after a change of `Paleta`).
  void Repintar();

  // Paints one cell: fill, focus rectangle, text.
  void GridAreasDrawCell(QPainter& painter, int column, int row, const QRect& rect,
                         bool focused) const;

 private:
  void AjustarTamanho();
};
