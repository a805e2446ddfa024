#pragma once
// A machine of its own for every installer test: home, data, configuration and Windows
// folders, the registry store and the install folder all live in one temporary folder,
// so nothing a test does reaches the real home folder.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "installer/Termination.h"
#include "installer/UDados.h"
#include "installer/Usetup.h"
#include "platform/Registry.h"
#include "platform/qt/Dialogs.h"

namespace installer::testing {

class Machine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.isValid());
    Set("HOME", Path("home"));
    Set("XDG_DATA_HOME", Path("home/.local/share"));
    Set("XDG_CONFIG_HOME", Path("home/.config"));
    Set("VANDREL_WINDOWS_DIR", Path("windows"));
    Set("VANDREL_REGISTRY", Path("registry.ini"));
    // A fresh account: the home folder is empty, with no desktop, data or configuration
    // folder yet, and there is no Windows folder; the installer must make what it writes
    // into. Only the install folder, where the program files are, exists.
    QDir().mkpath(Path("home"));
    QDir().mkpath(Prog());
    installer::ResetTermination();
  }
  void TearDown() override {
    for (int i = 0; i < 3; ++i) {
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QCoreApplication::processEvents();
    }
  }

  QString Path(const QString& relative) const { return temp_.path() + "/" + relative; }
  // The install folder the tests give the first page.
  QString Prog() const { return Path(installFolder_); }
  QString Desktop() const { return Path("home/Desktop"); }
  QString Menu() const { return Path("home/.local/share/applications/Vandrel"); }

  static void Set(const char* name, const QString& value) {
    setenv(name, value.toLocal8Bit().constData(), 1);
  }
  static QByteArray Read(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  static void Write(const QString& file, const QByteArray& bytes, bool executable = false) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
    f.write(bytes);
    f.close();
    chmod(file.toLocal8Bit().constData(), executable ? 0755 : 0644);
  }

  // A string or integer value of the store, or nothing when the key or value is absent.
  static std::optional<std::string> String(vandrel::RegRoot root, const std::string& key,
                                           const std::string& name) {
    vandrel::Registry reg(root);
    if (!reg.OpenKey(key, false) || !reg.ValueExists(name)) return std::nullopt;
    return reg.ReadString(name);
  }
  static std::optional<int> Integer(vandrel::RegRoot root, const std::string& key,
                                    const std::string& name) {
    vandrel::Registry reg(root);
    if (!reg.OpenKey(key, false) || !reg.ValueExists(name)) return std::nullopt;
    return reg.ReadInteger(name);
  }
  static void Store(vandrel::RegRoot root, const std::string& key, const std::string& name,
                    const std::string& value) {
    vandrel::Registry reg(root);
    ASSERT_TRUE(reg.OpenKey(key, true));
    reg.WriteString(name, value);
  }

  QTemporaryDir temp_;
  vandrel::ScriptedDialogsScope dialogs_;
  QString installFolder_ = "Prog";  // under the machine's folder
};

// The installer run from its first page.
class Install : public Machine {
 protected:
  // The installer installs the program that is in its folder: the program files are in
  // place unless a test takes them away.
  void SetUp() override {
    Machine::SetUp();
    ProgramFiles();
  }
  // The program files already in place in the install folder.
  void ProgramFiles() {
    Write(Prog() + "/Vandrel", "#!/bin/sh\n", true);
    Write(Prog() + "/Ajuda.hlp", "<html></html>");
  }
  // The uninstaller, which is not delivered with the program, put in place.
  void Uninstaller() { Write(Prog() + "/uninstall", "#!/bin/sh\n", true); }

  // Clicks Install on a first page proposing `folder` with the given names; `during` gets
  // the progress page with its timer stopped, so that it can tick by hand. Finish is
  // clicked afterwards when it is enabled.
  void RunInstall(const std::function<void(TFInstall&)>& during, const QString& folder,
                  const QString& name = "Maria", const QString& organization = "LabMat") {
    TForm1 first(Path("elsewhere"));
    first.show();
    first.lePath->setText(folder);
    first.eNome->setText(name);
    first.eCompania->setText(organization);
    dialogs_->forms.push_back([&](QDialog& d) {
      auto& page = dynamic_cast<TFInstall&>(d);
      EXPECT_FALSE(first.isVisible());
      page.Timer->stop();
      during(page);
      if (page.sbFinalizar->isEnabled()) page.sbFinalizar->click();
    });
    first.sbFinalizar->click();
    EXPECT_EQ(dialogs_->formsRun, std::vector<QString>{"FInstall"});
    dialogs_->formsRun.clear();
    EXPECT_TRUE(installer::Terminated());
    installer::ResetTermination();
  }
  // A whole installation into the install folder.
  void InstallAll(const QString& name = "Maria", const QString& organization = "LabMat") {
    RunInstall([](TFInstall& page) { Tick(page, 8); }, Prog(), name, organization);
  }
  static void Tick(TFInstall& page, int count) {
    for (int i = 0; i < count; ++i) page.TimerTimer();
  }
};

}  // namespace installer::testing
