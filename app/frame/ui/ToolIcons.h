#pragma once
// The pictures of the main window's tool buttons, drawn rather than shipped.
#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <vector>

class QPainter;

// One of: "abrir", "salvar", "desfazer", "refazer", "adicionar", "lista", "fase", "histograma",
// "histoimagem", "limiares", "contraste", "similares", "brilho", "media", "cinza", "rgb".
QIcon ToolIcon(const QString& name);

// The program's own picture: grains of three phases, as the program colours them, on a dark
// ground, drawn in a square of kProgramPictureSide units.
QPixmap ProgramPicture(int size);

constexpr int kProgramPictureSide = 96;

// One grain of the picture: an ellipse centred on (x, y) with radii rx and ry.
struct ProgramGrain {
  double x, y, rx, ry;
  QColor color;
};
QColor ProgramPictureGround();
std::vector<ProgramGrain> ProgramPictureGrains();

// Paints the grains (not the ground) in the picture's square of `p`'s coordinates.
void PaintProgramPicture(QPainter& p);
