// A probe the termination test loads into the started program (Qt's generic plugins, named
// in QT_QPA_GENERIC_PLUGINS as "vandrelend:<marks>;<go>;<action>;<action>..."). Once the
// main window is shown it triggers the named actions of the main window in turn, as the
// menu does, each once it is enabled, and writes "ready <modal>" to <marks> while the last
// one is under way (<modal>:
// the class of the modal dialog up then, or "none"). When the main window gets its close
// event it writes "closing" and waits for one byte from <go> ("-": no waiting), so that the
// test can send a request while the program is closing. The action "!stubborn" shows a
// modal dialog of the probe's own that takes no Escape.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QGenericPlugin>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

class StubbornDialog : public QDialog {
 public:
  using QDialog::QDialog;
  void reject() override {}
};

class EndProbe : public QObject {
 public:
  EndProbe(const QString& spec) {
    const QStringList parts = spec.split(';');
    marks_ = parts.value(0).toLocal8Bit();
    go_ = parts.value(1).toLocal8Bit();
    actions_ = parts.mid(2);
    qApp->installEventFilter(this);
  }

  bool eventFilter(QObject* object, QEvent* event) override {
    if (!object->isWidgetType() || object->objectName() != "FormPrincipal") return false;
    if (event->type() == QEvent::Show && !main_) {
      main_ = static_cast<QWidget*>(object);
      QMetaObject::invokeMethod(this, &EndProbe::Act, Qt::QueuedConnection);
    } else if (event->type() == QEvent::Close && go_ != "-" && !go_.isEmpty()) {
      Mark("closing");
      const int fd = ::open(go_.constData(), O_RDONLY | O_CLOEXEC);
      char byte;
      if (fd >= 0) {
        while (::read(fd, &byte, 1) < 0) {
        }
        ::close(fd);
      }
    }
    return false;
  }

 private:
  // The next action, once it is enabled (the commands of an image come on when the image
  // window is up).
  void Act() {
    if (!main_ || next_ >= actions_.size()) return;
    if (actions_[next_] == "!stubborn") {
      // A dialog that neither Escape nor its close box takes away.
      ++next_;
      QTimer::singleShot(0, this, [this] { Ready(); });
      StubbornDialog dialog(main_);
      dialog.exec();
      return;
    }
    auto* action = main_->findChild<QAction*>(actions_[next_]);
    if (!action) {
      Mark("missing " + actions_[next_].toUtf8());
      return;
    }
    if (!action->isEnabled()) {
      if (!waiting_)
        waiting_ = connect(action, &QAction::changed, this, [this, action] {
          if (!action->isEnabled()) return;
          disconnect(waiting_);
          waiting_ = {};
          QMetaObject::invokeMethod(this, &EndProbe::Act, Qt::QueuedConnection);
        });
      return;
    }
    if (++next_ == actions_.size()) QTimer::singleShot(0, this, [this] { Ready(); });
    action->trigger();
    QMetaObject::invokeMethod(this, &EndProbe::Act, Qt::QueuedConnection);
  }
  void Ready() {
    QWidget* modal = QApplication::activeModalWidget();
    Mark(QByteArray("ready ") + (modal ? modal->metaObject()->className() : "none"));
  }
  // One line in one write.
  void Mark(const QByteArray& text) {
    const int fd = ::open(marks_.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return;
    const QByteArray line = text + "\n";
    [[maybe_unused]] const ssize_t n = ::write(fd, line.constData(), size_t(line.size()));
    ::close(fd);
  }

  QByteArray marks_, go_;
  QStringList actions_;
  qsizetype next_ = 0;
  QMetaObject::Connection waiting_;
  QPointer<QWidget> main_;
};

class EndProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "probe.json")
 public:
  QObject* create(const QString& key, const QString& spec) override {
    if (key.compare("vandrelend", Qt::CaseInsensitive) != 0 || spec.isEmpty()) return nullptr;
    return new EndProbe(spec);
  }
};

}  // namespace

#include "EndProbe.moc"
