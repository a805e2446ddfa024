#pragma once
// What a child window may ask of the main window. Child windows see the frame only through
// this interface; the main window implements it. While no main window exists (a window made
// on its own, as in a test) there is no frame, and a child stays a plain top-level form.
class QWidget;
class TForm;

class Frame {
 public:
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  // The frame as a widget: the parent or owner of windows that outlive the one opening them.
  virtual QWidget* Widget() = 0;
  // Takes a form in as a child window of the frame.
  virtual void AdicionarFilha(TForm* form) = 0;
  // A child was shown or became active.
  virtual void NotificarJanelaAtiva() = 0;
  // The last image window has closed: the image commands go back to their state without an
  // image.
  virtual void UltimaImagemFechada() = 0;
  // The phase window has closed: the phase commands go back to their state without a phase.
  virtual void FaseFechada() = 0;

 protected:
  // The frame made last is the current one until it is destroyed.
  Frame();
  ~Frame();
};

// The frame of the running program; null while there is none.
Frame* CurrentFrame();
// The current frame's widget; null while there is no frame.
QWidget* FrameWidget();
