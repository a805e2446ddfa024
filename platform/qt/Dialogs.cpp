#include "platform/qt/Dialogs.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <stdexcept>

namespace vandrel {

namespace {
std::unique_ptr<DialogService>& Current() {
  static std::unique_ptr<DialogService> service = std::make_unique<QtDialogs>();
  return service;
}
QString& Title() {
  static QString title = "Vandrel";
  return title;
}
QString LastFolder;  // where a dialog with no initial folder opens
}  // namespace

QString ApplicationTitle() { return Title(); }
void SetApplicationTitle(const QString& title) { Title() = title; }

DialogService& Dialogs() { return *Current(); }

std::unique_ptr<DialogService> SetDialogs(std::unique_ptr<DialogService> service) {
  std::unique_ptr<DialogService> previous = std::move(Current());
  Current() = std::move(service);
  return previous;
}

QStringList QtFilters(const QString& filter) {
  QStringList parts = filter.split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    out << parts[i] + " (" + patterns + ")";
  }
  return out;
}

void ShowMessage(const QString& text) { Dialogs().Message(MsgKind::Information, text, mbOK); }

int MessageDlg(const QString& text, MsgKind kind, int buttons) {
  return Dialogs().Message(kind, text, buttons);
}

int QtDialogs::Message(MsgKind kind, const QString& text, int buttons) {
  QMessageBox box;
  box.setWindowTitle(ApplicationTitle());
  QString shown = text;
  shown.replace("\r\n", "\n").replace('\r', '\n');  // a carriage return alone breaks the line
  box.setText(shown);
  switch (kind) {
    case MsgKind::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MsgKind::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MsgKind::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case MsgKind::Confirmation:
      box.setIcon(QMessageBox::Question);
      break;
  }
  struct Pair {
    int ours;
    QMessageBox::StandardButton qt;
  };
  static const Pair pairs[] = {{mbYes, QMessageBox::Yes},      {mbNo, QMessageBox::No},
                               {mbOK, QMessageBox::Ok},        {mbCancel, QMessageBox::Cancel},
                               {mbAbort, QMessageBox::Abort},  {mbRetry, QMessageBox::Retry},
                               {mbIgnore, QMessageBox::Ignore}};
  QMessageBox::StandardButtons set;
  for (const Pair& p : pairs)
    if (buttons & p.ours) set |= p.qt;
  if (!set) set = QMessageBox::Ok;
  box.setStandardButtons(set);
  const int pressed = box.exec();
  for (const Pair& p : pairs)
    if (pressed == p.qt) return p.ours;
  return (buttons & mbCancel) ? mbCancel : mbOK;
}

namespace {
std::optional<FileDialogResult> RunFileDialog(const FileDialogSpec& spec, bool save) {
  QFileDialog dialog(nullptr, spec.title);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // The program asks its own questions before replacing a file (or replaces it without
  // asking where that is the rule), so the dialog itself never asks.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setFileMode(save               ? QFileDialog::AnyFile
                     : spec.multiSelect ? QFileDialog::ExistingFiles
                                        : QFileDialog::ExistingFile);
  const QStringList filters = QtFilters(spec.filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index = std::clamp(spec.filterIndex, 1, int(filters.size())) - 1;
    dialog.selectNameFilter(filters[index]);
  }
  const QString dir = spec.initialDir.isEmpty() ? LastFolder : spec.initialDir;
  if (!dir.isEmpty()) dialog.setDirectory(dir);
  if (!spec.fileName.isEmpty()) dialog.selectFile(spec.fileName);
  if (!spec.defaultExt.isEmpty()) dialog.setDefaultSuffix(spec.defaultExt);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  LastFolder = dialog.directory().absolutePath();
  FileDialogResult result;
  result.files = dialog.selectedFiles();
  result.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
  if (result.filterIndex < 1) result.filterIndex = 1;
  return result;
}
}  // namespace

std::optional<FileDialogResult> QtDialogs::OpenFiles(const FileDialogSpec& spec) {
  return RunFileDialog(spec, false);
}

std::optional<FileDialogResult> QtDialogs::SaveFile(const FileDialogSpec& spec) {
  return RunFileDialog(spec, true);
}

std::optional<QColor> QtDialogs::ChooseColor(const QColor& initial) {
  QColor c = QColorDialog::getColor(initial);
  if (!c.isValid()) return std::nullopt;
  return c;
}

int QtDialogs::RunModal(QDialog& form) { return form.exec(); }

QStringList ScriptedDialogs::Texts() const {
  QStringList out;
  for (const Shown& s : messages) out << s.text;
  return out;
}

int ScriptedDialogs::Message(MsgKind kind, const QString& text, int buttons) {
  messages.push_back({kind, text, buttons});
  if (answers.empty()) {
    if (buttons == mbOK) return mbOK;
    throw std::logic_error("no scripted answer for the message: " + text.toStdString());
  }
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<FileDialogResult> ScriptedDialogs::OpenFiles(const FileDialogSpec& spec) {
  fileDialogs.push_back(spec);
  if (files.empty()) return std::nullopt;
  FileDialogResult answer = std::move(files.front());
  files.pop_front();
  if (answer.files.isEmpty()) return std::nullopt;
  return answer;
}

std::optional<FileDialogResult> ScriptedDialogs::SaveFile(const FileDialogSpec& spec) {
  return OpenFiles(spec);
}

std::optional<QColor> ScriptedDialogs::ChooseColor(const QColor&) {
  if (colors.empty()) return std::nullopt;
  auto answer = colors.front();
  colors.pop_front();
  return answer;
}

int ScriptedDialogs::RunModal(QDialog& form) {
  formsRun.push_back(form.objectName());
  form.setResult(QDialog::Rejected);
  form.show();
  if (!forms.empty()) {
    auto handler = std::move(forms.front());
    forms.pop_front();
    handler(form);
  }
  if (form.isVisible()) form.reject();
  return form.result();
}

ScriptedDialogsScope::ScriptedDialogsScope() {
  auto script = std::make_unique<ScriptedDialogs>();
  script_ = script.get();
  previous_ = SetDialogs(std::move(script));
}

ScriptedDialogsScope::~ScriptedDialogsScope() { SetDialogs(std::move(previous_)); }

}  // namespace vandrel
