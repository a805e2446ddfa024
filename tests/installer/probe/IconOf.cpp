// Looks an icon name up in the icon theme as a Qt program sees it, in its own process and
// in the environment it is given: "IconOf NAME SIZE OUT.png" writes the picture the theme
// gives for NAME at SIZE pixels to OUT.png. Exit 0 when the theme had one, 1 when not.
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 4) return 2;
  if (!QIcon::hasThemeIcon(args[1])) return 1;
  const int size = args[2].toInt();
  const QPixmap pixmap = QIcon::fromTheme(args[1]).pixmap(size, size);
  return !pixmap.isNull() && pixmap.toImage().save(args[3], "PNG") ? 0 : 1;
}
