// Prints the type of each file named on the command line as Qt's type database sees it,
// one per line: the answer a KDE session's tools give (they ask the same database).
#include <QCoreApplication>
#include <QMimeDatabase>
#include <QTextStream>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  const QMimeDatabase types;
  for (const QString& file : app.arguments().mid(1))
    out << types.mimeTypeForFile(file).name() << "\n";
  return 0;
}
