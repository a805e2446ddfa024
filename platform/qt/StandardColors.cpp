#include "platform/qt/StandardColors.h"

namespace vandrel {

const std::vector<NamedColor>& StandardColors() {
  static const std::vector<NamedColor> colors = {
      {"Black", QColor(0, 0, 0)},        {"Maroon", QColor(128, 0, 0)},
      {"Green", QColor(0, 128, 0)},      {"Olive", QColor(128, 128, 0)},
      {"Navy", QColor(0, 0, 128)},       {"Purple", QColor(128, 0, 128)},
      {"Teal", QColor(0, 128, 128)},     {"Gray", QColor(128, 128, 128)},
      {"Silver", QColor(192, 192, 192)}, {"Red", QColor(255, 0, 0)},
      {"Lime", QColor(0, 255, 0)},       {"Yellow", QColor(255, 255, 0)},
      {"Blue", QColor(0, 0, 255)},       {"Fuchsia", QColor(255, 0, 255)},
      {"Aqua", QColor(0, 255, 255)},     {"White", QColor(255, 255, 255)},
  };
  return colors;
}

QColor StandardColor(int index) {
  const auto& colors = StandardColors();
  if (index < 0 || index >= int(colors.size())) return colors.front().color;
  return colors[size_t(index)].color;
}

}  // namespace vandrel
