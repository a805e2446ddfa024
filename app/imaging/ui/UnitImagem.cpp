#include "app/imaging/ui/UnitImagem.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <algorithm>
#include <cmath>

#include "app/frame/ui/Frame.h"
#include "app/imaging/model/GreyImage.h"
#include "app/imaging/model/SaveImage.h"
#include "app/imaging/model/StretchRegion.h"
#include "app/imaging/ui/UnitConfiguracoes_selecao.h"
#include "app/settings/model/URecursos.h"
#include "platform/AtomicFile.h"
#include "platform/Numbers.h"
#include "platform/PictureLoader.h"
#include "platform/qt/BusyCursor.h"
#include "platform/qt/Clipboard.h"
#include "platform/qt/StandardColors.h"

using vandrel::Bitmap;
using vandrel::Point;
using vandrel::Rect;

int TFormImagem::ContadorDeImagens = 0;

namespace {

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

int EventX(const QMouseEvent* e) { return int(std::floor(e->position().x())); }
int EventY(const QMouseEvent* e) { return int(std::floor(e->position().y())); }

// The pixels of `source` in the inclusive image rectangle, in the source's own format.
Bitmap CopyRegion(const Bitmap& source, const vandrel::PixelSelection& s) {
  Bitmap out(s.width(), s.height(), source.format());
  out.setPalette(source.palette());
  const int bits = source.bitsPerPixel();
  for (int y = 0; y < s.height(); ++y) {
    const uint8_t* src = source.scanLine(s.start.y + y);
    uint8_t* dst = out.scanLine(y);
    if (bits >= 8) {
      const size_t bytes = size_t(bits / 8);
      std::copy_n(src + size_t(s.start.x) * bytes, size_t(s.width()) * bytes, dst);
      continue;
    }
    // 1 and 4 bits: move index by index.
    const int perByte = 8 / bits, mask = (1 << bits) - 1;
    for (int x = 0; x < s.width(); ++x) {
      const int sx = s.start.x + x;
      const int v = (src[sx / perByte] >> ((perByte - 1 - sx % perByte) * bits)) & mask;
      dst[x / perByte] |= uint8_t(v << ((perByte - 1 - x % perByte) * bits));
    }
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Image control

TImageControl::TImageControl(TFormImagem* form, QWidget* parent) : QWidget(parent), form_(form) {
  static const Bitmap kNothing;
  shown_ = &kNothing;
  setObjectName("Imagezoom");
  setCursor(Qt::CrossCursor);
  // The menu opens at the right button's release, after the release handler has run.
  setContextMenuPolicy(Qt::DefaultContextMenu);
}

void TImageControl::SetPicture(const Bitmap& picture) {
  shown_ = &picture;
  own_ = Bitmap();
  drawn_ = false;
  setAttribute(Qt::WA_OpaquePaintEvent, !picture.empty());
  update();
}

Bitmap& TImageControl::DrawablePicture() {
  if (!drawn_) {
    own_ = *shown_;
    drawn_ = true;
  }
  return own_;
}

void TImageControl::paintEvent(QPaintEvent* event) {
  const Bitmap& picture = Picture();
  if (picture.empty() || width() <= 0 || height() <= 0) return;
  QPainter painter(this);
  for (const QRect& exposed : event->region()) {
    const QRect r = exposed & rect();
    if (r.isEmpty()) continue;
    if (buffer_.width() < r.width() || buffer_.height() < r.height())
      buffer_ = QImage(std::max(buffer_.width(), r.width()), std::max(buffer_.height(), r.height()),
                       QImage::Format_RGB32);
    if (buffer_.isNull()) return;
    vandrel::StretchRegion(picture, width(), height(), r.x(), r.y(), r.width(), r.height(),
                           buffer_.bits(), size_t(buffer_.bytesPerLine()));
    painter.drawImage(r.topLeft(), buffer_, QRect(0, 0, r.width(), r.height()));
  }
}

void TImageControl::mousePressEvent(QMouseEvent* e) {
  form_->ImagezoomMouseDown(e->button(), e->modifiers(), EventX(e), EventY(e));
}

void TImageControl::mouseMoveEvent(QMouseEvent* e) {
  form_->ImagezoomMouseMove(e->modifiers(), EventX(e), EventY(e));
}

void TImageControl::mouseReleaseEvent(QMouseEvent* e) {
  form_->ImagezoomMouseUp(e->button(), e->modifiers(), EventX(e), EventY(e));
  if (e->button() == Qt::RightButton) form_->PopupMenu1->popup(e->globalPosition().toPoint());
}

void TImageControl::contextMenuEvent(QContextMenuEvent* e) {
  // A right click opens the menu at its release (above); the menu key opens it here.
  if (e->reason() != QContextMenuEvent::Mouse) form_->PopupMenu1->popup(e->globalPos());
}

// ---------------------------------------------------------------------------------------------
// Rubber band

TBandShape::TBandShape(TFormImagem* form, QWidget* parent) : QWidget(parent), form_(form) {
  setObjectName("Shapezoom");
  hide();
}

void TBandShape::SetPen(int width, const QColor& color) {
  penWidth_ = width;
  penColor_ = color;
  update();
}

void TBandShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
  // A dotted outline at one pixel; wider pens draw solid, as a dotted pen can only be thin.
  QPen pen(penColor_, penWidth_, penWidth_ <= 1 ? Qt::DotLine : Qt::SolidLine);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  const int w = std::max(penWidth_, 1);
  // The outline lies inside the shape's bounds.
  const QRectF r = QRectF(rect()).adjusted(w / 2.0, w / 2.0, -w / 2.0, -w / 2.0);
  painter.drawRect(r);
}

void TBandShape::mousePressEvent(QMouseEvent* e) {
  form_->ShapezoomMouseDown(e->button(), e->modifiers(), EventX(e), EventY(e));
}

void TBandShape::mouseMoveEvent(QMouseEvent* e) {
  form_->ShapezoomMouseMove(e->modifiers(), EventX(e), EventY(e));
}

// ---------------------------------------------------------------------------------------------
// Image window

namespace {
// The window's client area: the picture scrolls in it when it is larger, and stays centred
// in it whenever the client area changes size (the scroll bars come and go with the size).
class TImageArea : public QScrollArea {
 public:
  TImageArea(TFormImagem* form) : QScrollArea(form), form_(form) {
    setObjectName("AreaDaImagem");
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
  }

 protected:
  bool viewportEvent(QEvent* e) override {
    const bool done = QScrollArea::viewportEvent(e);
    if (e->type() == QEvent::Resize) form_->Centralizar();
    return done;
  }

 private:
  TFormImagem* form_;
};
}  // namespace

TFormImagem::TFormImagem(QObject* owner) : TForm(nullptr) {
  setObjectName("FormImagem");
  area_ = new TImageArea(this);
  canvas_ = new QWidget;
  canvas_->setObjectName("Tela");
  area_->setWidget(canvas_);
  resize(129, 164);
  Imagezoom = new TImageControl(this, canvas_);
  Imagezoom->setGeometry(16, 32, 105, 105);
  Shapezoom = new TBandShape(this, canvas_);
  Shapezoom->raise();
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  Normalizar1 = PopupMenu1->addAction("Tamanho Normal");
  Normalizar1->setObjectName("Normalizar1");
  Configuraes1 = PopupMenu1->addAction("Configurações");
  Configuraes1->setObjectName("Configuraes1");
  connect(Normalizar1, &QAction::triggered, this, [this] { Normalizar1Click(); });
  connect(Configuraes1, &QAction::triggered, this, [this] { Configuraes1Click(); });
  SetOwner(owner);

  // Creation handler.
  Zoom = 1.0;
  Arrastando = false;
  SavePictureDialog1.filter =
      "Bitmaps (*.bmp)|*.bmp|TIFF images (*.tif)|*.tif|CompuServe images (*.gif)|*.gif";
  SavePictureDialog1.filterIndex = vandrel::kSaveBmp;
  SavePictureDialog1.initialDir = QString::fromStdString(vandrel::CaminhoImagens());
  ++ContadorDeImagens;
  DefinirNome(QString());
  if (Frame* frame = CurrentFrame()) {
    frame->AdicionarFilha(this);
    Show();
  }
}

TFormImagem::~TFormImagem() {
  // A window destroyed without its close handler (released, or freed with its owner)
  // leaves the count here.
  if (contado_) --ContadorDeImagens;
}

bool TFormImagem::FormClose() {
  if (contado_) {
    contado_ = false;
    --ContadorDeImagens;
    if (Frame* frame = CurrentFrame(); ContadorDeImagens == 0 && frame)
      frame->UltimaImagemFechada();
  }
  return true;
}

void TFormImagem::resizeEvent(QResizeEvent* event) {
  TForm::resizeEvent(event);
  area_->setGeometry(rect());
  Centralizar();
}

QSize TFormImagem::sizeHint() const { return Imagezoom->size(); }

void TFormImagem::DefinirNome(const QString& name) {
  Nome = name;
  SetCaption(name);
}

void TFormImagem::LegendaComZoom() {
  SetCaption(Nome + " " + QString::number(vandrel::ZoomPercent(Zoom)) + "%");
}

bool TFormImagem::CarregarImagem(const QString& fileName) {
  const QFileInfo info(fileName);
  if (!info.isFile()) return false;
  const vandrel::BusyCursor busy;  // a large picture takes a while to decode
  DefinirNome(info.fileName());
  if (info.suffix().toLower() == "grey")
    CarregarGrey(fileName);
  else
    BitmapImagem = vandrel::LoadPicture(LocalPath(fileName));
  MostrarCopia();
  AjustarAoConteudo();
  Centralizar();
  if (QMdiSubWindow* sub = SubWindow()) sub->show();
  show();
  LegendaComZoom();
  return true;
}

void TFormImagem::CarregarGrey(const QString& fileName) {
  // Only the palette of "paleta.plt" is used; the file is a Windows bitmap whatever its
  // extension says.
  const Bitmap paleta = vandrel::DecodePicture(
      "bmp", vandrel::ReadWholeFile(vandrel::PastaPrograma() + "paleta.plt"));
  vandrel::ReadGrey(LocalPath(fileName), paleta.palette(), BitmapImagem);
}

void TFormImagem::TrocarBitmap(Bitmap& bitmap) {
  std::swap(BitmapImagem, bitmap);
  DefinirBitmap(BitmapImagem);  // a bitmap given to itself copies nothing
}

void TFormImagem::DefinirBitmap(Bitmap&& bitmap) {
  BitmapImagem = std::move(bitmap);
  DefinirBitmap(BitmapImagem);
}

void TFormImagem::DefinirBitmap(const Bitmap& bitmap) {
  BitmapImagem = bitmap;
  MostrarCopia();
  AjustarAoConteudo();
  Centralizar();
  SetCaption(Nome);
}

void TFormImagem::MostrarCopia() {
  Imagezoom->SetPicture(BitmapImagem);
  Imagezoom->resize(BitmapImagem.width(), BitmapImagem.height());
  SeguirSelecao();
}

void TFormImagem::AjustarJanela(int outerWidth, int outerHeight) {
  SetFrameSize(QSize(outerWidth, outerHeight));
}

// Fits the window to the image control while the window's automatic sizing is on: once
// when an image is first put in, and at every return to normal size.
void TFormImagem::AjustarAoConteudo() {
  if (!autoSize_) return;
  autoSize_ = false;
  updateGeometry();
  FitFrameTo(Imagezoom->size());
}

void TFormImagem::Centralizar() {
  // The client area is what the scroll bars leave of the window (all of it while the
  // picture fits); the canvas covers it and the picture, which is centred on it.
  if (area_->geometry() != rect()) area_->setGeometry(rect());
  const QSize client = area_->isVisible() ? area_->viewport()->size() : size();
  const QSize canvas = client.expandedTo(Imagezoom->size());
  if (canvas_->size() != canvas) canvas_->resize(canvas);
  Imagezoom->move(vandrel::CentredOffset(canvas.width(), Imagezoom->width()),
                  vandrel::CentredOffset(canvas.height(), Imagezoom->height()));
  PosicionarBanda();
}

bool TFormImagem::AlterarZoom(double step) {
  if (Zoom == 1.0 && Nome.isEmpty()) DefinirNome(Caption());
  const double old = Zoom;
  Zoom = Zoom + step;
  const bool kept = vandrel::ZoomInRange(Zoom);
  if (!kept) {
    Zoom = old;
  } else {
    const int W = BitmapImagem.width(), H = BitmapImagem.height();
    // A drag that goes on across the zoom keeps its anchor on the same image pixel.
    const Point ancora =
        vandrel::ToImagePixel(Ancora, W, H, Imagezoom->width(), Imagezoom->height());
    Imagezoom->resize(vandrel::ZoomedSize(W, Zoom), vandrel::ZoomedSize(H, Zoom));
    SeguirSelecao();
    if (Arrastando) {
      const vandrel::BandGeometry a =
          vandrel::RescaleBand({ancora, ancora}, W, H, Imagezoom->width(), Imagezoom->height());
      Ancora = {a.left, a.top};
    }
    LegendaComZoom();
  }
  Centralizar();
  AjustarJanela(Imagezoom->width() + 30, Imagezoom->height() + 30);
  return kept;
}

void TFormImagem::ZoomNormal() {
  autoSize_ = true;
  MostrarCopia();
  MostrarBanda(false);
  Zoom = 1.0;
  AjustarAoConteudo();
  Centralizar();
  SetCaption(Nome + " " + QString::number(100) + "%");
}

// ---------------------------------------------------------------------------------------------
// Selection

void TFormImagem::PosicionarBanda() {
  Shapezoom->setGeometry(Imagezoom->x() + banda_.left, Imagezoom->y() + banda_.top,
                         std::max(banda_.width, 0), std::max(banda_.height, 0));
}

void TFormImagem::MostrarBanda(bool visible) {
  Shapezoom->setVisible(visible);
  if (visible) Shapezoom->raise();
}

Rect TFormImagem::RetanguloDaBanda() const {
  return {banda_.left, banda_.top, banda_.left + banda_.width, banda_.top + banda_.height};
}

vandrel::PixelSelection TFormImagem::Selecao() const {
  const int W = BitmapImagem.width(), H = BitmapImagem.height();
  if (W <= 0 || H <= 0) return {{0, 0}, {-1, -1}};
  // Kept inside the bitmap, which may have changed since the selection was made.
  auto inside = [W, H](Point p) {
    return Point{std::clamp(p.x, 0, W - 1), std::clamp(p.y, 0, H - 1)};
  };
  return {inside(selecao_.start), inside(selecao_.end)};
}

Point TFormImagem::InicioSelecao() const { return Selecao().start; }

Point TFormImagem::FimSelecao() const { return Selecao().end; }

void TFormImagem::DefinirInicioSelecao(Point p) {
  PontoInicial = p;
  LerSelecao();
}

void TFormImagem::DefinirFimSelecao(Point p) {
  PontoFinal = p;
  LerSelecao();
}

void TFormImagem::LerSelecao() {
  const vandrel::PixelSelection s =
      vandrel::SelectedPixels(PontoInicial, PontoFinal, BitmapImagem.width(), BitmapImagem.height(),
                              Imagezoom->width(), Imagezoom->height());
  if (!s.empty()) selecao_ = s;
}

void TFormImagem::SeguirSelecao() {
  const vandrel::PixelSelection s = Selecao();
  if (!s.empty()) {
    banda_ = vandrel::RescaleBand(s, BitmapImagem.width(), BitmapImagem.height(),
                                  Imagezoom->width(), Imagezoom->height());
    Retangulo = RetanguloDaBanda();
    PontosDaBanda();
  }
  PosicionarBanda();
}

void TFormImagem::MostrarRetangulo() {
  banda_ = {Retangulo.left, Retangulo.top, Retangulo.width(), Retangulo.height()};
  PosicionarBanda();
  MostrarBanda(true);
}

void TFormImagem::PontosDaBanda() {
  const Rect band = RetanguloDaBanda();
  PontoInicial = {band.left, band.top};
  PontoFinal = {band.right, band.bottom};
}

void TFormImagem::ImagezoomMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
  if (button != Qt::LeftButton || Arrastando) return;
  // Pen of the band, read from the configuration at every press. Values that are absent or
  // not integers fall back to a one-pixel pen in the first colour of the list.
  const int largura =
      std::clamp(vandrel::LerConfigInteiro("Configuracao_selecao", "largura", 1), 0, 25);
  const int cor = vandrel::LerConfigInteiro("Configuracao_selecao", "cor", 0);
  Shapezoom->SetPen(largura, vandrel::StandardColor(cor));
  // The press gives the image control the mouse until the release (the toolkit's implicit
  // grab), so moves and the release arrive even outside the window.
  CopiaSelecao = std::make_unique<Bitmap>();
  Arrastando = true;
  Ancora = {x, y};
  Retangulo = {x, y, x, y};
  banda_.width = 0;
  banda_.height = 0;
  PosicionarBanda();
  MostrarBanda(false);
}

void TFormImagem::ImagezoomMouseMove(Qt::KeyboardModifiers, int x, int y) {
  if (x < 0 || x >= Imagezoom->width() || y < 0 || y >= Imagezoom->height() || !Arrastando) return;
  Retangulo = vandrel::DragBand(Ancora, {x, y});
  MostrarRetangulo();
  PontosDaBanda();
  LerSelecao();
  const vandrel::PixelSelection s = Selecao();
  const int w = std::max(s.width(), 0), h = std::max(s.height(), 0);
  // A window that only received a caption (an operation's result) keeps it in front of the
  // size, as a zoom does.
  if (Nome.isEmpty() && Caption() != legendaDeTamanho_) DefinirNome(Caption());
  legendaDeTamanho_ = Nome + " (" + QString::number(w) + " x " + QString::number(h) + " = " +
                      QString::number(int64_t(w) * h) + ")";
  SetCaption(legendaDeTamanho_, false);  // the window keeps still under the drag
}

void TFormImagem::ImagezoomMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int, int) {
  // Only the end of a drag sets the selection: a click of another button (the right one,
  // which opens the menu) leaves it as it is.
  if (!Arrastando) return;
  if (button == Qt::LeftButton) {
    Retangulo = vandrel::ClampBand(Retangulo, Imagezoom->width(), Imagezoom->height());
    MostrarRetangulo();
  }
  PontosDaBanda();
  LerSelecao();
  Arrastando = false;
  if (button == Qt::LeftButton) {
    // The clipboard gets the image pixels of the selection, the same ones that the
    // selection's users read, whatever the zoom.
    const vandrel::PixelSelection s = Selecao();
    const Bitmap& shown = Imagezoom->Picture();
    if (!s.empty() && s.end.x < shown.width() && s.end.y < shown.height()) {
      *CopiaSelecao = CopyRegion(shown, s);
      vandrel::CopyToClipboard(std::move(*CopiaSelecao));
    }
    if (shift & Qt::ShiftModifier) MostrarBanda(false);
  }
  CopiaSelecao.reset();
}

void TFormImagem::ShapezoomMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
  MostrarBanda(false);
}

void TFormImagem::ShapezoomMouseMove(Qt::KeyboardModifiers shift, int x, int y) {
  TFormImagem::ImagezoomMouseMove(shift, x + banda_.left, y + banda_.top);
}

void TFormImagem::MarcarSelecao() {
  Bitmap& shown = Imagezoom->DrawablePicture();
  shown.setPixelFormat(vandrel::PixelFormat::pf24bit);
  const Point a = InicioSelecao(), b = FimSelecao();
  for (int y = a.y; y <= b.y && y < shown.height(); ++y) {
    uint8_t* row = shown.scanLine(y);
    for (int x = a.x; x <= b.x && x < shown.width(); ++x) {
      row[3 * x] = 255;
      row[3 * x + 1] = 0;
      row[3 * x + 2] = 0;
    }
  }
  Imagezoom->update();
}

void TFormImagem::SalvarImagemComo() {
  const auto chosen = vandrel::Dialogs().SaveFile(SavePictureDialog1);
  if (!chosen) return;
  SavePictureDialog1.filterIndex = chosen->filterIndex;
  const std::string name =
      vandrel::SaveFileName(chosen->files.value(0).toStdString(), chosen->filterIndex);
  if (name.empty()) return;
  // The whole file is built in memory first, then replaces any file of that name in one
  // piece, so a failure never leaves half a file behind. A large picture takes seconds,
  // most of them in reducing a colour picture to a palette for GIF.
  const vandrel::BusyCursor busy;
  // GIF stores the display copy as 8 bits, and the window goes on showing that copy.
  if (chosen->filterIndex == vandrel::kSaveGif &&
      Imagezoom->Picture().format() != vandrel::PixelFormat::pf8bit)
    Imagezoom->DrawablePicture().setPixelFormat(vandrel::PixelFormat::pf8bit);
  std::vector<uint8_t> bytes = vandrel::EncodeForSave(Imagezoom->Picture(), chosen->filterIndex);
  if (chosen->filterIndex == vandrel::kSaveGif) Imagezoom->update();  // now shows the 8-bit copy
  vandrel::WriteFileAtomically(
      name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void TFormImagem::Configuraes1Click() {
  // The options window shows itself, stays on top and frees itself when closed.
  auto* options = new TFormConfiguracoes_selecao(this);
  options->show();
}

// ---------------------------------------------------------------------------------------------
// Output window

TFormImagemSaida* TFormImagemSaida::CreateComOrigem(QObject* owner, TFormImagem* origem) {
  return new TFormImagemSaida(owner, origem);
}

TFormImagemSaida::TFormImagemSaida(QObject* owner, TFormImagem* origem) : TFormImagem(owner) {
  setObjectName("FormImagemSaida");
  Imagezoom->move(Imagezoom->x(), 8);
  Origem = origem;
  if (QMdiSubWindow* sub = SubWindow())
    connect(sub, &QMdiSubWindow::aboutToActivate, this, [this] { FormActivate(); });
}

void TFormImagemSaida::FormActivate() { MostrarBanda(false); }

// The point of the source's display over the image pixel under (x, y) here. A point outside
// this image stays outside the source's, so that a move ignored here is ignored there too.
Point TFormImagemSaida::NaOrigem(int x, int y) const {
  const int cw = Imagezoom->width(), ch = Imagezoom->height();
  const int ow = Origem->Imagezoom->width(), oh = Origem->Imagezoom->height();
  const Point p =
      vandrel::ToImagePixel({x, y}, BitmapImagem.width(), BitmapImagem.height(), cw, ch);
  const vandrel::BandGeometry b = vandrel::RescaleBand({p, p}, Origem->BitmapImagem.width(),
                                                       Origem->BitmapImagem.height(), ow, oh);
  auto axis = [](int v, int size, int mapped, int otherSize) {
    return v < 0 ? -1 : v >= size ? otherSize : mapped;
  };
  return {axis(x, cw, b.left, ow), axis(y, ch, b.top, oh)};
}

void TFormImagemSaida::ImagezoomMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                                          int x, int y) {
  TFormImagem::ImagezoomMouseDown(button, shift, x, y);
  if (!Origem) return;
  const Point p = NaOrigem(x, y);
  Origem->TFormImagem::ImagezoomMouseDown(button, shift, p.x, p.y);
}

void TFormImagemSaida::ImagezoomMouseMove(Qt::KeyboardModifiers shift, int x, int y) {
  TFormImagem::ImagezoomMouseMove(shift, x, y);
  if (!Origem) return;
  const Point p = NaOrigem(x, y);
  Origem->TFormImagem::ImagezoomMouseMove(shift, p.x, p.y);
}

void TFormImagemSaida::ImagezoomMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                        int y) {
  TFormImagem::ImagezoomMouseUp(button, shift, x, y);
  if (!Origem) return;
  const Point p = NaOrigem(x, y);
  Origem->TFormImagem::ImagezoomMouseUp(button, shift, p.x, p.y);
}

void TFormImagemSaida::ShapezoomMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                                          int x, int y) {
  MostrarBanda(false);
  const int cx = x + Banda().left, cy = y + Banda().top;
  if (Arrastando)
    ImagezoomMouseUp(button, shift, cx, cy);
  else
    ImagezoomMouseDown(button, shift, cx, cy);
}

void TFormImagemSaida::ShapezoomMouseMove(Qt::KeyboardModifiers shift, int x, int y) {
  ImagezoomMouseMove(shift, x + Banda().left, y + Banda().top);
}
