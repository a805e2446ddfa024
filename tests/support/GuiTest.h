#pragma once
// Helpers for tests of the windows: a throw-away program folder with its configuration
// file and registry store, and a main() that creates the application object.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include "app/settings/model/URecursos.h"
#include "platform/qt/ErrorReport.h"

namespace vandrel::testing {

// A program folder with the working folders and "system/config.ini" holding `config`;
// the registry store lives in it too (VANDREL_REGISTRY), so each test starts clean.
class ProgramFolder {
 public:
  explicit ProgramFolder(const QByteArray& config = {}) {
    for (const char* sub :
         {"system", "imagens", "listaimagens", "padroes", "fases", "saves", "temp", "resultados"})
      QDir(dir_.path()).mkpath(sub);
    if (!config.isNull()) WriteConfig(config);
    registry_ = dir_.path() + "/registry.ini";
    setenv("VANDREL_REGISTRY", registry_.toLocal8Bit().constData(), 1);
    vandrel::DefinirPastaPrograma(Path().toStdString());
  }
  // The folder, ending in "/".
  QString Path() const { return dir_.path() + "/"; }
  QString File(const QString& name) const { return Path() + name; }
  QString Registry() const { return registry_; }
  void WriteConfig(const QByteArray& text) const {
    QFile f(File("system/config.ini"));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
  }
  QByteArray ReadFile(const QString& name) const {
    QFile f(File(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

 private:
  QTemporaryDir dir_;
  QString registry_;
};

// Delivers posted events (deferred deletes included).
inline void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
}

}  // namespace vandrel::testing

// main() for a test program that opens windows (offscreen, set by CTest).
#define VANDREL_GUI_TEST_MAIN()                \
  int main(int argc, char** argv) {            \
    setenv("QT_QPA_PLATFORM", "offscreen", 0); \
    vandrel::Application app(argc, argv);      \
    ::testing::InitGoogleTest(&argc, argv);    \
    return RUN_ALL_TESTS();                    \
  }
