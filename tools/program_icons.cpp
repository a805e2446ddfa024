// Writes the program's picture as the icon theme wants it: "<folder>/hicolor/<n>x<n>/apps/
// vandrel.png" for each size that menus, panels and file managers use, drawn at that size,
// and the scalable "<folder>/hicolor/scalable/apps/vandrel.svg".
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "app/frame/ui/ToolIcons.h"

namespace {

QString Hex(const QColor& c) { return c.name(QColor::HexRgb); }

QByteArray Svg() {
  const int side = kProgramPictureSide;
  QString svg = QString(
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                    "viewBox=\"0 0 %1 %1\">\n"
                    "  <rect width=\"%1\" height=\"%1\" fill=\"%2\"/>\n")
                    .arg(side)
                    .arg(Hex(ProgramPictureGround()));
  // The square clips the grains that reach over its edge, as the raster pictures do.
  svg += QString(
             "  <clipPath id=\"square\"><rect width=\"%1\" height=\"%1\"/></clipPath>\n"
             "  <g clip-path=\"url(#square)\">\n")
             .arg(side);
  for (const ProgramGrain& g : ProgramPictureGrains())
    svg += QString("    <ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\" fill=\"%5\"/>\n")
               .arg(g.x)
               .arg(g.y)
               .arg(g.rx)
               .arg(g.ry)
               .arg(Hex(g.color));
  svg += "  </g>\n</svg>\n";
  return svg.toUtf8();
}

QImage Png(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(ProgramPictureGround());
  QPainter p(&image);
  p.scale(double(size) / kProgramPictureSide, double(size) / kProgramPictureSide);
  PaintProgramPicture(p);
  p.end();
  return image;
}

bool Save(const QString& file, const QByteArray& bytes) {
  if (!QDir().mkpath(QFileInfo(file).path())) return false;
  QFile f(file);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() &&
         f.flush();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const QString theme = QString::fromLocal8Bit(argv[1]) + "/hicolor/";
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString file = theme + QString("%1x%1/apps/vandrel.png").arg(size);
    if (!QDir().mkpath(QFileInfo(file).path()) || !Png(size).save(file, "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  const QString svg = theme + "scalable/apps/vandrel.svg";
  if (!Save(svg, Svg())) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(svg));
    return 1;
  }
  return 0;
}
