#pragma once
// Base of the program's child windows. A form lives inside a QMdiSubWindow of the main
// window; its caption is the sub-window's title. "Class name is exactly X" checks read
// ClassName(). Owner and parent are kept apart: freeing an owner frees the forms it owns.
// Close() runs the form's close handler (FormClose, which may refuse); Release() destroys
// the form without it.
#include <QPointer>
#include <QString>
#include <QWidget>

class QMdiSubWindow;

class TForm : public QWidget {
  Q_OBJECT
 public:
  explicit TForm(QWidget* parent = nullptr);
  ~TForm() override;

  virtual QString ClassName() const = 0;

  // The sub-window holding the form (null until the main window has taken it in).
  QMdiSubWindow* SubWindow() const;

  QString Caption() const;
  void SetCaption(const QString& caption);

  // Frees this form when `owner` is freed.
  void SetOwner(QObject* owner);
  QObject* Owner() const { return owner_; }

  // Gives the form the size `content` and its sub-window (when it has one) the size that
  // shows exactly that much: the frame (title bar and borders) is measured on the
  // sub-window itself, never from the form, whose size may already be the new one.
  void FitFrameTo(const QSize& content);
  // A single border for the sub-window (when there is one): the title with the system
  // menu, the minimise box and the close box, no maximise box.
  void SingleBorder();

  // Shows the form and brings it to the front.
  void Show();
  // Closes the form through its close handler; returns false when the handler refused.
  bool Close();
  // Destroys the form without its close handler.
  void Release();

 protected:
  // The close handler: return false to keep the form open. The form is destroyed after a
  // close that was not refused.
  virtual bool FormClose() { return true; }
  void closeEvent(QCloseEvent* event) override;

 private:
  QPointer<QObject> owner_;
  QString caption_;
  bool releasing_ = false;
};
