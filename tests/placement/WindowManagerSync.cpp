#include "tests/placement/WindowManagerSync.h"

#include <xcb/xcb.h>

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <cstring>
#include <memory>

namespace vandrel::testing {
namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  free(reply);
  return atom;
}

// Asks the manager for the frame of a window of our own that is never shown
// (_NET_REQUEST_FRAME_EXTENTS) and counts its answers (the _NET_FRAME_EXTENTS property it
// writes on that window). A manager handles its requests in order, so each answer follows
// everything it was asked before.
class FrameExtentsProbe : public QAbstractNativeEventFilter {
 public:
  explicit FrameExtentsProbe(xcb_connection_t* c) : c_(c) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    root_ = screen->root;
    request_ = Atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    extents_ = Atom(c, "_NET_FRAME_EXTENTS");
    probe_ = xcb_generate_id(c);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe_, root_, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, &mask);
    QAbstractEventDispatcher::instance()->installNativeEventFilter(this);
  }
  ~FrameExtentsProbe() override {
    if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance())
      d->removeNativeEventFilter(this);
    xcb_destroy_window(c_, probe_);
    xcb_flush(c_);
  }

  void RoundTrip() {
    const long wanted = answers_ + 1;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = probe_;
    message.type = request_;
    xcb_send_event(c_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c_);
    AwaitEvents([&] { return answers_ >= wanted; });
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
    const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
    if (change->window == probe_ && change->atom == extents_) ++answers_;
    return false;
  }

 private:
  xcb_connection_t* c_;
  xcb_window_t root_ = 0, probe_ = 0;
  xcb_atom_t request_ = 0, extents_ = 0;
  long answers_ = 0;
};

std::unique_ptr<FrameExtentsProbe>& TheProbe() {
  static std::unique_ptr<FrameExtentsProbe> probe;
  return probe;
}

FrameExtentsProbe* Probe() {
  std::unique_ptr<FrameExtentsProbe>& probe = TheProbe();
  if (!probe && QGuiApplication::platformName() == "xcb")
    if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
      if (xcb_connection_t* c = x11->connection()) probe = std::make_unique<FrameExtentsProbe>(c);
  return probe.get();
}

}  // namespace

void AwaitEvents(const std::function<bool()>& done) {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  while (!done()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

void EndWindowManagerSync() { TheProbe().reset(); }

void WindowManagerRoundTrip() {
  if (FrameExtentsProbe* probe = Probe()) probe->RoundTrip();
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

}  // namespace vandrel::testing
