#include "platform/qt/Dialogs.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <QTreeView>
#include <stdexcept>

#include "platform/PictureLoader.h"
#include "platform/qt/BitmapView.h"

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

bool InstallQtTranslations() {
  // Owned by the application object, so it lives as long as the translations are used.
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(QLocale(QLocale::Portuguese, QLocale::Brazil), "qtbase", "_",
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

QImage PicturePreview(const QString& path, const QSize& bounds) {
  const QFileInfo info(path);
  if (!info.isFile()) return {};
  try {
    const Bitmap picture = LoadPicture(QFile::encodeName(path).toStdString());
    const QImage view = BitmapView(picture);
    if (view.isNull()) return {};
    if (view.width() <= bounds.width() && view.height() <= bounds.height()) return view.copy();
    return view.scaled(bounds, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  } catch (...) {
    // Anything the loader refuses simply has no preview.
    return {};
  }
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

constexpr QSize kPreviewSize(200, 200);

// A pane at the right of the dialog's list that shows the picture under the cursor.
void AddPreviewPane(QFileDialog& dialog) {
  auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
  if (!grid) return;
  auto* pane = new QLabel(&dialog);
  pane->setObjectName("PreviewPane");
  pane->setFixedSize(kPreviewSize + QSize(4, 4));
  pane->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  pane->setAlignment(Qt::AlignCenter);
  grid->addWidget(pane, 0, grid->columnCount(), grid->rowCount(), 1, Qt::AlignTop);
  QObject::connect(&dialog, &QFileDialog::currentChanged, pane, [pane](const QString& path) {
    pane->setPixmap(QPixmap::fromImage(PicturePreview(path, kPreviewSize)));
  });
}

std::optional<FileDialogResult> RunFileDialog(const FileDialogSpec& spec, bool save) {
  QFileDialog dialog(nullptr, spec.title);
  // Qt's own dialog: it speaks the program's language and can take the preview pane.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // A filter shows its text alone; the patterns after it are for matching only.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
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
  if (spec.picturePreview) AddPreviewPane(dialog);
  // Room for the folder path and for the columns of the list (name, size, type, date).
  const QSize espaco = spec.picturePreview ? QSize(1000, 480) : QSize(800, 460);
  dialog.resize(dialog.sizeHint().expandedTo(espaco));
  // The detail columns show their whole texts; the name takes the rest.
  if (auto* lista = dialog.findChild<QTreeView*>("treeView")) {
    QHeaderView* cabecalho = lista->header();
    cabecalho->setStretchLastSection(false);
    for (int c = 0; c < cabecalho->count(); ++c)
      cabecalho->setSectionResizeMode(
          c, c == 0 ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  LastFolder = dialog.directory().absolutePath();
  FileDialogResult result;
  result.files = dialog.selectedFiles();
  const QString chosen = dialog.selectedNameFilter();
  int index = int(filters.indexOf(chosen));
  for (int i = 0; index < 0 && i < filters.size(); ++i)
    if (filters[i].startsWith(chosen + " (")) index = i;
  result.filterIndex = index + 1;
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
  QColor c = QColorDialog::getColor(initial, nullptr, QString(), QColorDialog::DontUseNativeDialog);
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
