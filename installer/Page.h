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

// Names the running application as the installer: its title is the caption of every box.
// Qt's own texts stay English, so the buttons of its boxes ("Yes", "No") match the pages'.
void SetUpApplication();

}  // namespace installer
