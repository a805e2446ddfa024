#pragma once
// The help window: shows our HTML help document, at a context topic when one is given
// (the anchor named by its number).
#include <QString>

namespace vandrel {

// Opens (or brings forward) the help window on `file`; topic 0 shows the contents.
void ShowHelp(const QString& file, int topic = 0);

// Closes the help window when it is open: the program's end takes it along.
void CloseHelp();

}  // namespace vandrel
