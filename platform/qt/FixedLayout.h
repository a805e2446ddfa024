#pragma once
// Windows whose controls stand at fixed places, sized for the normal font. With a larger
// font (a desktop's large-text setting) their texts would be cut: FitTexts widens or heightens
// every control whose text does not fit and makes room for it, moving the controls to its
// right or below it and growing the frames drawn around it, so that the window keeps its
// arrangement. At the normal font every text fits and nothing moves.
#include <QSize>

class QWidget;

namespace vandrel {

// Fits the texts of the fixed-place controls inside `parent` (and inside its children that
// hold fixed-place controls themselves); returns true when anything moved or grew. The
// window's own size is the caller's: the extent of its children tells how far they reach.
bool FitTexts(QWidget* parent);
// FitTexts on a window laid out at `designed`: the size it needs now, grown by as much as its
// controls reach further than before (`designed` itself when nothing moved).
QSize FittedSize(QWidget* window, QSize designed);

}  // namespace vandrel
