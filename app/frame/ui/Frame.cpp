#include "app/frame/ui/Frame.h"

namespace {
Frame* current = nullptr;
}  // namespace

Frame::Frame() { current = this; }

Frame::~Frame() {
  if (current == this) current = nullptr;
}

Frame* CurrentFrame() { return current; }

QWidget* FrameWidget() { return current ? current->Widget() : nullptr; }
