#pragma once
// The colour box's standard list, the same for every window, so that an index stored in
// the configuration means one colour everywhere.
#include <QColor>
#include <QString>
#include <vector>

namespace vandrel {

struct NamedColor {
  QString name;
  QColor color;
};

// black, maroon, green, olive, navy, purple, teal, grey, silver, red, lime, yellow, blue,
// fuchsia, aqua, white.
const std::vector<NamedColor>& StandardColors();

// The colour at `index`, or the first one of the list when the index is outside it.
QColor StandardColor(int index);

}  // namespace vandrel
