#pragma once
// The dialog service: every modal interaction of the program goes through it, so that a
// test can install a scripted stand-in that answers from a queue and records what was shown.
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QDialog;
class QWidget;

namespace vandrel {

enum class MsgKind { Information, Warning, Error, Confirmation };

// Buttons of a message box, combined as a set; a box returns the one pressed.
enum MsgButton : int {
  mbOK = 1,
  mbCancel = 2,
  mbYes = 4,
  mbNo = 8,
  mbAbort = 16,
  mbRetry = 32,
  mbIgnore = 64,
};

struct FileDialogSpec {
  QString title;
  QString filter;       // as "Text|*.a;*.b|Text2|*.c"
  int filterIndex = 1;  // counts from 1
  QString initialDir;   // empty: the last folder used
  QString fileName;
  QString defaultExt;
  bool multiSelect = false;
  bool picturePreview = false;  // a pane beside the list shows the selected picture
};

struct FileDialogResult {
  QStringList files;
  int filterIndex = 1;
};

class DialogService {
 public:
  virtual ~DialogService() = default;
  // Shows a message box and returns the button pressed.
  virtual int Message(MsgKind kind, const QString& text, int buttons) = 0;
  virtual std::optional<FileDialogResult> OpenFiles(const FileDialogSpec& spec) = 0;
  virtual std::optional<FileDialogResult> SaveFile(const FileDialogSpec& spec) = 0;
  virtual std::optional<QColor> ChooseColor(const QColor& initial) = 0;
  // Runs a form modally; returns its result code.
  virtual int RunModal(QDialog& form) = 0;
};

// The application's title: the caption of every message box ("Vandrel").
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

// The service in force (the Qt one unless a test installed another).
DialogService& Dialogs();
// Installs a service; returns the previous one.
std::unique_ptr<DialogService> SetDialogs(std::unique_ptr<DialogService> service);

// Converts "Text|*.a;*.b|Text2|*.c" into the list of Qt filter strings, in order:
// "Text (*.a *.b)", "Text2 (*.c)". The dialogs show only the text before the patterns.
QStringList QtFilters(const QString& filter);

// Loads Qt's own Brazilian Portuguese translations ("qtbase_pt_BR"), so that the standard
// dialogs speak the program's language. Returns false when they are not installed.
bool InstallQtTranslations();

// The picture shown by the open-picture dialog's preview pane for `path`, scaled to fit
// `bounds`; a null image when the file is not a picture the loader reads.
QImage PicturePreview(const QString& path, const QSize& bounds);

// Shorthands: an information box with one OK button, and a box of any kind.
void ShowMessage(const QString& text);
int MessageDlg(const QString& text, MsgKind kind, int buttons);

// The Qt implementation.
class QtDialogs : public DialogService {
 public:
  int Message(MsgKind kind, const QString& text, int buttons) override;
  std::optional<FileDialogResult> OpenFiles(const FileDialogSpec& spec) override;
  std::optional<FileDialogResult> SaveFile(const FileDialogSpec& spec) override;
  std::optional<QColor> ChooseColor(const QColor& initial) override;
  int RunModal(QDialog& form) override;
};

// The scripted implementation for tests. Message boxes with a single OK button answer OK by
// themselves; any other box takes the next answer of `answers` and fails the test (throws)
// when there is none. File and colour dialogs take theirs from their queues and count as
// cancelled when the queue is empty (or, for files, when the answer holds no file). A modal form is
// given to the next handler of `forms` (which may fill it in and accept it); a form still open
// afterwards is rejected.
class ScriptedDialogs : public DialogService {
 public:
  struct Shown {
    MsgKind kind;
    QString text;
    int buttons;
  };

  std::deque<int> answers;
  std::deque<FileDialogResult> files;  // an answer without files cancels
  std::deque<std::optional<QColor>> colors;
  std::deque<std::function<void(QDialog&)>> forms;

  std::vector<Shown> messages;
  std::vector<FileDialogSpec> fileDialogs;
  std::vector<QString> formsRun;  // object names of the forms run

  // Texts of the messages shown, in order.
  QStringList Texts() const;

  int Message(MsgKind kind, const QString& text, int buttons) override;
  std::optional<FileDialogResult> OpenFiles(const FileDialogSpec& spec) override;
  std::optional<FileDialogResult> SaveFile(const FileDialogSpec& spec) override;
  std::optional<QColor> ChooseColor(const QColor& initial) override;
  int RunModal(QDialog& form) override;
};

// Installs a ScriptedDialogs for the life of the object and restores the previous service.
class ScriptedDialogsScope {
 public:
  ScriptedDialogsScope();
  ~ScriptedDialogsScope();
  ScriptedDialogs& operator*() { return *script_; }
  ScriptedDialogs* operator->() { return script_; }

 private:
  ScriptedDialogs* script_;
  std::unique_ptr<DialogService> previous_;
};

}  // namespace vandrel
