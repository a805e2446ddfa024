#pragma once
// What the installer's pages share: the title band across their top, and their place in
// the middle of the screen.
#include <QString>

class QLabel;
class QWidget;

namespace installer {

// A band with `text` in large white letters on dark blue; the text's blanks are kept.
QLabel* MakeBanner(const QString& text, QWidget* parent);

// Gives a page its natural size, fixed, in the middle of its screen.
void CentreOnScreen(QWidget* page);

}  // namespace installer
