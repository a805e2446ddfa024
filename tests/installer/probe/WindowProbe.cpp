// A probe the end-to-end test loads into a started program (Qt's generic plugins, named in
// QT_QPA_GENERIC_PLUGINS as "vandrelprobe:<file>"): it writes the program's windows to
// <file>, one line each, and ends the program once a child window with a document is up
// or after some minutes without one. Lines: "child <class> <caption>" for the windows inside the
// main window, "top <class> <caption>" for every visible top-level window; then "end".
#include <QApplication>
#include <QFile>
#include <QGenericPlugin>
#include <QMdiSubWindow>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

namespace {

class WindowProbe : public QObject {
 public:
  explicit WindowProbe(const QString& file) : file_(file) {
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { Look(); });
    timer->start(200);
  }

 private:
  void Look() {
    ++looks_;
    QStringList lines;
    bool child = false;
    for (QWidget* w : QApplication::allWidgets()) {
      if (auto* sub = qobject_cast<QMdiSubWindow*>(w); sub && sub->widget()) {
        lines << QString("child %1 %2")
                     .arg(sub->widget()->metaObject()->className(), sub->windowTitle());
        child = true;
      }
    }
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible())
        lines << QString("top %1 %2").arg(w->metaObject()->className(), w->windowTitle());
    // A few looks more once the child is there, so that a report shown after it is seen.
    // Without a child the program ends after some minutes of looks: only a program that
    // never opens its document comes to that, however busy the machine.
    const bool done = (child && ++settled_ > 3) || looks_ > 1500;
    if (done) lines << "end";
    QSaveFile out(file_);
    if (out.open(QIODevice::WriteOnly)) {
      out.write(lines.join('\n').toUtf8() + "\n");
      out.commit();
    }
    if (done) QCoreApplication::exit(0);
  }

  QString file_;
  int looks_ = 0, settled_ = 0;
};

class WindowProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "probe.json")
 public:
  QObject* create(const QString& key, const QString& file) override {
    if (key.compare("vandrelprobe", Qt::CaseInsensitive) != 0 || file.isEmpty()) return nullptr;
    return new WindowProbe(file);
  }
};

}  // namespace

#include "WindowProbe.moc"
