#pragma once
// Scripted dialogs that also record the colour each colour dialog opened with.
#include <QColor>
#include <memory>
#include <optional>
#include <vector>

#include "platform/qt/Dialogs.h"

namespace vandrel::testing {

class RecordingDialogs : public ScriptedDialogs {
 public:
  std::vector<QColor> initialColors;
  std::optional<QColor> ChooseColor(const QColor& initial) override {
    initialColors.push_back(initial);
    return ScriptedDialogs::ChooseColor(initial);
  }
};

// Installs a RecordingDialogs for the life of the object.
class RecordingDialogsScope {
 public:
  RecordingDialogsScope() {
    auto d = std::make_unique<RecordingDialogs>();
    dialogs_ = d.get();
    previous_ = SetDialogs(std::move(d));
  }
  ~RecordingDialogsScope() { SetDialogs(std::move(previous_)); }
  RecordingDialogs* operator->() { return dialogs_; }
  RecordingDialogs& operator*() { return *dialogs_; }

 private:
  RecordingDialogs* dialogs_;
  std::unique_ptr<DialogService> previous_;
};

}  // namespace vandrel::testing
