#include "app/frame/ui/Form.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "platform/qt/Placement.h"

TForm::TForm(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_DeleteOnClose, false); }

TForm::~TForm() = default;

QMdiSubWindow* TForm::SubWindow() const { return qobject_cast<QMdiSubWindow*>(parentWidget()); }

QString TForm::Caption() const { return caption_; }

void TForm::SetCaption(const QString& caption, bool widen) {
  caption_ = caption;
  setWindowTitle(caption);
  if (QMdiSubWindow* sub = SubWindow()) {
    sub->setWindowTitle(caption);
    if (widen && sub->width() < vandrel::CaptionBarWidth(sub)) vandrel::PlaceSubWindow(sub);
  }
}

void TForm::SetOwner(QObject* owner) {
  if (owner_) disconnect(owner_, nullptr, this, nullptr);
  owner_ = owner;
  if (owner) connect(owner, &QObject::destroyed, this, [this] { Release(); });
}

void TForm::FitFrameTo(const QSize& content) {
  QMdiSubWindow* sub = SubWindow();
  if (!sub) {
    resize(content);
    return;
  }
  // The sub-window sets its margins (title bar, borders) when it is polished.
  sub->ensurePolished();
  QMargins frame = sub->contentsMargins();
  if (QLayout* layout = sub->layout()) frame += layout->contentsMargins();
  // The sub-window grows first and its layout gives the form its size. A form grown ahead
  // of its sub-window would have only the part inside the sub-window marked for painting,
  // and the sub-window growing afterwards repaints around the form's opaque children (the
  // image control, its canvas), trusting them to have marked their own: the rest of a
  // picture would never be drawn. A hidden sub-window lays the form out only when shown.
  sub->resize(content.grownBy(frame));
  if (!sub->isVisible()) resize(content);
  vandrel::PlaceSubWindow(sub);
}

void TForm::SetFrameSize(const QSize& outer) {
  QMdiSubWindow* sub = SubWindow();
  if (!sub) {
    resize(outer);
    return;
  }
  sub->resize(outer);
  vandrel::PlaceSubWindow(sub);
}

void TForm::SingleBorder() {
  if (QMdiSubWindow* sub = SubWindow())
    sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowCloseButtonHint);
}

void TForm::Show() {
  if (QMdiSubWindow* sub = SubWindow()) {
    sub->show();
    sub->raise();
    if (sub->mdiArea()) sub->mdiArea()->setActiveSubWindow(sub);
  }
  show();
  raise();
}

bool TForm::Close() {
  if (QMdiSubWindow* sub = SubWindow()) return sub->close();
  return close();
}

void TForm::Release() {
  if (releasing_) return;
  releasing_ = true;
  if (QMdiSubWindow* sub = SubWindow()) {
    // Off the screen now: the frame itself goes only when the event loop comes round, which
    // a message box shown next would hold up.
    sub->hide();
    sub->setWidget(nullptr);
    sub->deleteLater();
  }
  delete this;
}

void TForm::closeEvent(QCloseEvent* event) {
  if (!FormClose()) {
    event->ignore();
    return;
  }
  event->accept();
  // A sub-window deletes itself (and the form) once closed; a free-standing form goes too.
  if (!SubWindow()) deleteLater();
}
