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
  // Sets the caption; the sub-window widens when its caption bar is too narrow for it
  // (`widen` false keeps its size, for captions that change while the user drags).
  void SetCaption(const QString& caption, bool widen = true);

  // Frees this form when `owner` is freed.
  void SetOwner(QObject* owner);
  QObject* Owner() const { return owner_; }

  // Gives the form the size `content` and its sub-window (when it has one) the size that
  // shows exactly that much: the frame (title bar and borders) is measured on the
  // sub-window itself, never from the form, whose size may already be the new one. The
  // sub-window then goes where the placement rule puts it: inside the frame's client area,
  // no larger than it unless the form cannot shrink, as wide as its caption bar needs.
  void FitFrameTo(const QSize& content);
  // The same for the sub-window's outer size (or the form's, without a sub-window).
  void SetFrameSize(const QSize& outer);
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
