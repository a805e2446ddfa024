#pragma once
// The image window: one image bitmap shown at a zoom factor, with one rectangular selection
// drawn by the mouse. TFormImagemSaida is the window of an operation's result: it remembers
// the window it was computed from and mirrors its mouse selection into it.
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <utility>

#include "app/frame/ui/Form.h"
#include "app/imaging/model/Selection.h"
#include "app/imaging/model/Zoom.h"
#include "platform/Bitmap.h"
#include "platform/qt/Dialogs.h"

class QMenu;
class QAction;
class QScrollArea;
class TFormImagem;

// The image control (`Imagezoom`): shows its picture, the display copy, stretched to its own
// size. Painting renders only the exposed part, so a large image at any zoom repaints in
// time proportional to what is on screen.
class TImageControl : public QWidget {
  Q_OBJECT
 public:
  TImageControl(TFormImagem* form, QWidget* parent);

  // The display copy. It is the window's bitmap itself until something draws on it: the
  // first write (the marked selection, the 8-bit copy made for a GIF) takes a copy of its
  // own, so a large image is held once, not twice.
  const vandrel::Bitmap& Picture() const { return drawn_ ? own_ : *shown_; }
  vandrel::Bitmap& DrawablePicture();
  // Shows `picture`, which stays alive and unchanged until the next SetPicture; a copy
  // drawn on before is dropped.
  void SetPicture(const vandrel::Bitmap& picture);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  TFormImagem* form_;
  const vandrel::Bitmap* shown_;
  vandrel::Bitmap own_;  // the copy drawn on, while drawn_
  bool drawn_ = false;
  QImage buffer_;  // reused between paints
};

// The rubber band (`Shapezoom`): a rectangle outline drawn by inverting the exclusive-or of
// pen and screen, so it shows on any image. It lies beside the image control, above it.
class TBandShape : public QWidget {
  Q_OBJECT
 public:
  TBandShape(TFormImagem* form, QWidget* parent);

  void SetPen(int width, const QColor& color);
  int PenWidth() const { return penWidth_; }
  QColor PenColor() const { return penColor_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  TFormImagem* form_;
  int penWidth_ = 1;
  QColor penColor_{128, 0, 128};
};

class TFormImagem : public TForm {
  Q_OBJECT
 public:
  // Creates the window owned by `owner` and, when the main window exists, takes it in as a
  // child window of the frame.
  explicit TFormImagem(QObject* owner);
  ~TFormImagem() override;

  QString ClassName() const override { return "TFormImagem"; }

  // ---- Components ----
  TImageControl* Imagezoom;
  TBandShape* Shapezoom;
  QMenu* PopupMenu1;
  QAction* Normalizar1;
  QAction* Configuraes1;
  // The save dialog: its filter, the last filter chosen and its initial folder.
  vandrel::FileDialogSpec SavePictureDialog1;

  // ---- Fields ----
  vandrel::Point PontoFinal;
  vandrel::Point PontoInicial;
  vandrel::Bitmap BitmapImagem;
  double Zoom = 1.0;
  QString Nome;
  vandrel::Point Ancora;
  vandrel::Rect Retangulo;
  bool Arrastando = false;
  std::unique_ptr<vandrel::Bitmap> CopiaSelecao;

  // Open image windows. Raised when a window is created; lowered when one is closed or
  // destroyed otherwise, so it always counts the windows that exist. Reaching 0 at a close
  // switches the image commands off.
  static int ContadorDeImagens;

  // ---- Operations ----
  // Loads a file: ".grey" (any letter case) through the raw reader, everything else through
  // the picture loader. False only when the file does not exist; a reader's error is raised.
  bool CarregarImagem(const QString& fileName);
  void CarregarGrey(const QString& fileName);
  // Makes a copy of `bitmap` the window's image, shown at its natural size.
  void DefinirBitmap(const vandrel::Bitmap& bitmap);
  // The same with the bitmap moved in: a result made for the window is not copied.
  void DefinirBitmap(vandrel::Bitmap&& bitmap);
  // The same with `bitmap` itself as the window's image, without copying it; `bitmap` gets
  // the window's image before it, whose memory the caller may use again.
  void TrocarBitmap(vandrel::Bitmap& bitmap);
  void DefinirNome(const QString& name);
  // The area in which the picture scrolls when it is larger than the window; the image
  // control and the band lie on its canvas, whose coordinates are the window's client
  // coordinates while the picture fits.
  QScrollArea* AreaDaImagem() const { return area_; }
  // Changes the zoom by `step`; false (zoom unchanged) when the result is out of range.
  bool AlterarZoom(double step);
  void ZoomNormal();
  void Centralizar();

  // The selection in image pixels, both ends included, clamped inside the bitmap. For an
  // image of zero width or height the selection is empty (start (0, 0), end (-1, -1)).
  // The window keeps the selection in image pixels: the band and the display points follow
  // it at every zoom, so a zoom never moves it.
  vandrel::Point InicioSelecao() const;
  vandrel::Point FimSelecao() const;
  void MarcarSelecao();
  void DefinirInicioSelecao(vandrel::Point p);
  void DefinirFimSelecao(vandrel::Point p);

  // The display copy: what the image control shows, marks included.
  const vandrel::Bitmap& CopiaExibida() const { return Imagezoom->Picture(); }
  // The band's position and size relative to the image control (display coordinates).
  const vandrel::BandGeometry& Banda() const { return banda_; }

  // ---- Event handlers ----
  // Points are in the coordinates of the control that received the event.
  virtual void ImagezoomMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                  int y);
  virtual void ImagezoomMouseMove(Qt::KeyboardModifiers shift, int x, int y);
  virtual void ImagezoomMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  virtual void ShapezoomMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                  int y);
  virtual void ShapezoomMouseMove(Qt::KeyboardModifiers shift, int x, int y);
  void Normalizar1Click() { ZoomNormal(); }
  void Configuraes1Click();

  // Asks for a file name and format and writes the display copy.
  void SalvarImagemComo();

 protected:
  bool FormClose() override;
  void resizeEvent(QResizeEvent* event) override;
  QSize sizeHint() const override;

  // Band geometry relative to the image control; the band widget follows the control.
  void PosicionarBanda();
  void MostrarBanda(bool visible);
  // The band's rectangle in image-control coordinates.
  vandrel::Rect RetanguloDaBanda() const;

 private:
  void MostrarCopia();  // display copy := BitmapImagem at natural size
  void AjustarJanela(int outerWidth, int outerHeight);
  void AjustarAoConteudo();
  void LegendaComZoom();
  vandrel::PixelSelection Selecao() const;
  // The selected image pixels from the display points, at the control's present size.
  void LerSelecao();
  // The band and the display points from the selected image pixels, after the image
  // control changed size.
  void SeguirSelecao();
  // The band shows `Retangulo`.
  void MostrarRetangulo();
  // The display points are the band's corners.
  void PontosDaBanda();

  QScrollArea* area_;
  QWidget* canvas_;  // the image control's parent: the picture's size or the client's
  vandrel::BandGeometry banda_;
  vandrel::PixelSelection selecao_{{0, 0}, {0, 0}};
  // The caption a drag last wrote: an unnamed window takes its caption as its name at a
  // drag, unless that caption is the size text of an earlier drag.
  QString legendaDeTamanho_;
  bool autoSize_ = true;  // the window fits itself to the image control
  bool contado_ = true;   // still counted in ContadorDeImagens
};

// A window that an open or an operation makes for a picture. The rule for every such
// window: it stays only once its picture is in it. When loading the file or computing the
// result fails (a reader's error, a missing palette, a result that cannot be made, no
// memory), the window is released before the failure is reported, so that no failure leaves
// an empty window behind, however often it is tried. The commands that open image windows
// (the open dialog, the recent-image entries) and the operations that put their results in
// new windows all hold their new window in one of these until the picture is in.
template <class Window>
class NewPictureWindow {
 public:
  explicit NewPictureWindow(Window* window) : window_(window) {}
  NewPictureWindow(const NewPictureWindow&) = delete;
  NewPictureWindow& operator=(const NewPictureWindow&) = delete;
  // Unwinding from a failure takes the window away.
  ~NewPictureWindow() { Discard(); }

  Window* operator->() const { return window_; }
  // The picture is in: the window stays.
  Window* Keep() { return std::exchange(window_, nullptr); }
  // The picture cannot be had: the window goes now.
  void Discard() {
    if (Window* w = std::exchange(window_, nullptr)) w->Release();
  }

 private:
  Window* window_;
};

class TFormImagemSaida : public TFormImagem {
  Q_OBJECT
 public:
  // Creates the window owned by `owner` (callers pass the source window) and remembers
  // `origem` as its source.
  static TFormImagemSaida* CreateComOrigem(QObject* owner, TFormImagem* origem);
  TFormImagemSaida(QObject* owner, TFormImagem* origem);

  QString ClassName() const override { return "TFormImagemSaida"; }

  // The window whose image the result was computed from; not owned (null once it is gone).
  QPointer<TFormImagem> Origem;

  // Each is handled here first, then by the source window's own handler with the point
  // carried into the source's display through the image pixel under it.
  void ImagezoomMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                          int y) override;
  void ImagezoomMouseMove(Qt::KeyboardModifiers shift, int x, int y) override;
  void ImagezoomMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
  void ShapezoomMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                          int y) override;
  void ShapezoomMouseMove(Qt::KeyboardModifiers shift, int x, int y) override;
  // Runs when the window becomes the active child: hides the band.
  void FormActivate();

 private:
  vandrel::Point NaOrigem(int x, int y) const;
};
