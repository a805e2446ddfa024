#include "app/histograms/ui/UDSHistograma.h"

#include <QEvent>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "platform/Bmp.h"
#include "platform/Format.h"
#include "platform/Numbers.h"
#include "platform/qt/Dialogs.h"

using namespace vandrel;

namespace {

QColor ToQColor(int32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// A one-pixel line from (x0, y0) to (x1, y1) without its end point, as the system's line
// drawing does; the grid only draws horizontal and vertical ones.
void Line(QPainter& p, int x0, int y0, int x1, int y1, const QColor& color) {
  if (x0 == x1 && y0 != y1)
    p.fillRect(QRect(x0, y1 < y0 ? y1 + 1 : y0, 1, std::abs(y1 - y0)), color);
  else if (y0 == y1 && x0 != x1)
    p.fillRect(QRect(x1 < x0 ? x1 + 1 : x0, y0, std::abs(x1 - x0), 1), color);
}

}  // namespace

TDSHistograma::TDSHistograma(QWidget* owner) : QWidget(owner) {
  resize(264, 189);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setMouseTracking(true);
  dados_.Aviso = [](const std::string& text) {
    Dialogs().Message(MsgKind::Error, QString::fromStdString(text), mbOK);
  };
}

TDSHistograma::~TDSHistograma() = default;

void TDSHistograma::Invalidar() {
  Desenhado_ = false;
  update();
}

template <class Operation>
void TDSHistograma::Alterar(Operation operation) {
  // Also when the operation fails: what it changed before failing is to be shown.
  struct Fim {
    TDSHistograma* w;
    ~Fim() { w->Invalidar(); }
  } fim{this};
  operation();
}

// ---- properties ----

#define SETTER(Name, Type)                    \
  void TDSHistograma::Set##Name(Type value) { \
    Name##_ = value;                          \
    Invalidar();                              \
  }
SETTER(Fator, double)
SETTER(CorDeFundo, int32_t)
SETTER(CorDeDesenho, int32_t)
SETTER(CorDaLinha, int32_t)
SETTER(CorDaLinhaGradiente, int32_t)
SETTER(GradienteRGB, bool)
SETTER(Estilo, TEstilo)
SETTER(NumLinhasHor, uint8_t)
SETTER(NumLinhasVert, TLinhasVert)
SETTER(Espessura, uint8_t)
SETTER(AtivarTexto, bool)
#undef SETTER

void TDSHistograma::SetTamanho(TTamanho value) {
  Tamanho_ = value;
  AjustarAoTamanho();
  Invalidar();
}

void TDSHistograma::AjustarAoTamanho() {
  const SizeInfo s = SizeOf(Tamanho_);
  if (size() != QSize(s.width, s.height)) {
    resize(s.width, s.height);
    updateGeometry();
  }
}

// ---- painting ----

void TDSHistograma::Desenhar() {
  if (Desenhado_) return;
  if (dados_.Sobreposicao())
    DesenharSobreposicao();
  else
    DesenharHistograma();
}

bool TDSHistograma::event(QEvent* event) {
  // The control keeps the size it was made with until it is made ready for the screen; from
  // then on it has the size `Tamanho` gives it.
  if (event->type() == QEvent::Polish) AjustarAoTamanho();
  return QWidget::event(event);
}

void TDSHistograma::paintEvent(QPaintEvent*) {
  Desenhar();
  if (Desenho_.size() != size()) {
    QImage sized(size(), QImage::Format_RGB32);
    sized.fill(Qt::white);
    QPainter(&sized).drawImage(0, 0, Desenho_);
    Desenho_ = sized;
  }
  QPainter p(this);
  p.drawImage(0, 0, Desenho_);
  Tela_ = Desenho_;  // shares the pixels until the next drawing
}

int32_t TDSHistograma::CorNoPonto(int x, int y) const {
  if (x < 0 || y < 0 || x >= width() || y >= height() || !Tela_.valid(x, y)) return -1;
  const QRgb c = Tela_.pixel(x, y);
  return Rgb(qRed(c), qGreen(c), qBlue(c));
}

void TDSHistograma::DesenharMoldura() {
  const SizeInfo s = SizeOf(Tamanho_);
  AreaDoGrafico_.left = 3;
  AreaDoGrafico_.top = 5;
  Escala_ = s.escala;
  if (Desenho_.size() != QSize(s.width, s.height))
    Desenho_ = QImage(s.width, s.height, QImage::Format_RGB32);
  // The rectangle (1, 1, width, height) with a black pen of width 2: a two-pixel frame
  // round the background.
  Desenho_.fill(Qt::black);
  QPainter(&Desenho_).fillRect(2, 2, s.width - 4, s.height - 4, ToQColor(CorDeFundo_));
  AreaDoGrafico_.right = s.width - 3;
  AreaDoGrafico_.bottom = s.height - 4;
}

void TDSHistograma::Barras(QPainter& p, const VerticalScale& scale, int base, bool gradiente,
                           int32_t cor) {
  const int pen = BarPenWidth(Escala_);
  const int r = cor & 0xFF, g = (cor >> 8) & 0xFF, b = (cor >> 16) & 0xFF;
  for (int i = 0; i < 256; ++i) {
    const int h = scale.heights[i];
    if (h == 0) continue;
    QColor color = ToQColor(cor);
    if (gradiente)
      color =
          QColor(int(Round(i * r / 255.0)), int(Round(i * g / 255.0)), int(Round(i * b / 255.0)));
    const int x = ColumnX(AreaDoGrafico_.left, i, Escala_) - pen / 2;
    // From the base line up to base - h, the end point left out.
    p.fillRect(h > 0 ? QRect(x, base - h + 1, pen, h) : QRect(x, base, pen, -h), color);
  }
}

void TDSHistograma::Polilinha(QPainter& p, const VerticalScale& scale, int base, int width,
                              int32_t cor) {
  QPen pen(ToQColor(cor));
  width = std::clamp(width, 0, 255);
  pen.setWidth(width);
  pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::FlatCap);
  pen.setJoinStyle(width > 1 ? Qt::RoundJoin : Qt::MiterJoin);
  p.setPen(pen);
  QPolygon points;
  points.reserve(257);
  points << QPoint(AreaDoGrafico_.left + 1, base - scale.heights[0]);
  for (int i = 0; i < 256; ++i)
    points << QPoint(ColumnX(AreaDoGrafico_.left, i, Escala_), base - scale.heights[i]);
  p.drawPolyline(points);
}

void TDSHistograma::DesenharHistograma() {
  DesenharMoldura();
  const VerticalScale scale = ScaleValues(dados_.Valores(), Desenho_.height(), Fator_);
  const int base = AreaDoGrafico_.bottom + 1;
  {
    QPainter p(&Desenho_);
    switch (Estilo_) {
      case eGradiente:
        Barras(p, scale, base, true, 0xFFFFFF);
        break;
      case eUmaCor:
        Barras(p, scale, base, false, CorDeDesenho_);
        break;
      case eLinha:
        Polilinha(p, scale, base, Espessura_, CorDeDesenho_);
        break;
      case eLinhaGradiente:
        Barras(p, scale, base, true, CorDeDesenho_);
        Polilinha(p, scale, base, Espessura_, GradienteRGB_ ? CorDaLinhaGradiente_ : CorDeDesenho_);
        break;
    }
  }
  DesenharGrade();
  if (AtivarTexto_) DesenharTextos(scale.max);
  Desenhado_ = true;
}

void TDSHistograma::DesenharSobreposicao() {
  SetFator(1.0);  // the scale factor has no effect on the overlay
  DesenharMoldura();
  const int base = AreaDoGrafico_.bottom + 1;
  {
    QPainter p(&Desenho_);
    for (const THistoCompleto& h : dados_.Histogramas()) {
      const VerticalScale scale = ScaleValues(h.Valores, Desenho_.height(), 1.0);
      // Curves are drawn as lines in every style but eUmaCor, eLinhaGradiente included.
      if (Estilo_ == eUmaCor)
        Barras(p, scale, base, false, h.Cor);
      else
        Polilinha(p, scale, base, h.Espessura, h.Cor);
    }
  }
  DesenharGrade();
  Desenhado_ = true;
}

void TDSHistograma::DesenharGrade() {
  QPainter p(&Desenho_);
  const QColor c = ToQColor(CorDaLinha_);
  if (Tamanho_ == hs256x256) {
    // A fixed square scale on the four edges.
    for (int k = 5; k >= 0; --k) {
      const int q = 50 * k + 2 + 5, pp = 50 * k + 2;
      Line(p, 2, q, 12, q, c);
      Line(p, 257, q, 247, q, c);
      Line(p, pp, 257, pp, 247, c);
      Line(p, pp, 2, pp, 12, c);
    }
    for (int k = 0; k <= 25; ++k) {
      const int q = 10 * k + 2 + 5, pp = 10 * k + 2;
      Line(p, 2, q, 7, q, c);
      Line(p, 257, q, 252, q, c);
      Line(p, pp, 257, pp, 252, c);
      Line(p, pp, 2, pp, 7, c);
    }
    return;
  }
  const int s = Escala_, left = AreaDoGrafico_.left, top = AreaDoGrafico_.top;
  const int right = AreaDoGrafico_.right;
  if (NumLinhasVert_ == qPrincipais || NumLinhasVert_ == qTodas)
    for (int k = 0; k <= 5; ++k)
      Line(p, left + 25 * k * s, top + 90 * s, left + 25 * k * s, top + 85 * s, c);
  if (NumLinhasVert_ == qTodas)
    for (int k = 0; k <= 25; ++k)
      Line(p, left + 5 * k * s, top + 90 * s, left + 5 * k * s, top + 88 * s, c);
  const int step = (90 * s) / (NumLinhasHor_ + 1);
  for (int m = 1; m <= NumLinhasHor_; ++m)
    Line(p, left - 1, top + m * step, right + 1, top + m * step, c);
}

void TDSHistograma::DesenharTextos(double max) {
  const SizeInfo size = SizeOf(Tamanho_);
  if (size.fontSize == 0) return;
  QPainter p(&Desenho_);
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPixelSize(size.fontSize * 96 / 72);  // points at the screen's 96 pixels per inch
  font.setStyleStrategy(QFont::NoAntialias);
  p.setFont(font);
  p.setPen(ToQColor(CorDaLinha_));
  const int ascent = p.fontMetrics().ascent();
  for (const HistogramText& t :
       HistogramTexts(Tamanho_, max, Fator_, NumLinhasHor_, AreaDoGrafico_))
    p.drawText(QPoint(t.x, t.y + ascent), QString::fromStdString(t.text));
}

// ---- mouse ----

void TDSHistograma::mousePressEvent(QMouseEvent* event) {
  const QPoint pt = event->position().toPoint();
  clicando_ = event->button() == Qt::LeftButton;
  emit OnMouseDown(event->button(), event->modifiers(), pt.x(), pt.y());
}

void TDSHistograma::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pt = event->position().toPoint();
  emit OnMouseMove(event->modifiers(), pt.x(), pt.y());
}

void TDSHistograma::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pt = event->position().toPoint();
  // A click is a left press and release inside the control; it comes before the release.
  if (event->button() == Qt::LeftButton && clicando_) {
    clicando_ = false;
    if (rect().contains(pt)) emit OnClick();
  }
  emit OnMouseUp(event->button(), event->modifiers(), pt.x(), pt.y());
}

// ---- data operations ----

void TDSHistograma::CalcularDeBitmap(const Bitmap& bitmap) {
  Alterar([&] { dados_.CalcularDeBitmap(bitmap); });
}
void TDSHistograma::CarregarImagem(const std::string& fileName) {
  Alterar([&] { dados_.CarregarImagem(fileName); });
}
void TDSHistograma::AdicionarContagem(const GreyCounts& counts) {
  Alterar([&] { dados_.AdicionarContagem(counts); });
}
void TDSHistograma::DefinirContagem(const GreyCounts& counts) {
  Alterar([&] { dados_.DefinirContagem(counts); });
}
void TDSHistograma::DefinirValores(const GreyHistogram& values) {
  Alterar([&] { dados_.DefinirValores(values); });
}
void TDSHistograma::Limpar() {
  Alterar([&] { dados_.Limpar(); });
}
void TDSHistograma::DefinirSobreposicao(bool on) {
  Alterar([&] { dados_.DefinirSobreposicao(on); });
}
void TDSHistograma::AdicionarValores(const GreyHistogram& values) {
  Alterar([&] { dados_.AdicionarValores(values); });
}
void TDSHistograma::DefinirLinha(int index, const std::string& nome, int32_t espessura,
                                 int32_t cor) {
  Alterar([&] { dados_.DefinirLinha(index, nome, espessura, cor); });
}
void TDSHistograma::DefinirNome(int index, const std::string& nome) {
  Alterar([&] { dados_.DefinirNome(index, nome); });
}
void TDSHistograma::RemoverHistograma(int index) {
  Alterar([&] { dados_.RemoverHistograma(index); });
}
void TDSHistograma::CarregarArquivo(const std::string& fileName) {
  Alterar([&] { dados_.CarregarArquivo(fileName); });
}
void TDSHistograma::AdicionarArquivo(const std::string& fileName) {
  Alterar([&] { dados_.AdicionarArquivo(fileName); });
}
void TDSHistograma::CarregarHis(const std::string& fileName) {
  Alterar([&] { dados_.CarregarHis(fileName); });
}
void TDSHistograma::SobreporHis(const std::string& fileName) {
  Alterar([&] { dados_.SobreporHis(fileName); });
}
void TDSHistograma::SobreporImagem(const std::string& fileName) {
  Alterar([&] { dados_.SobreporImagem(fileName); });
}
void TDSHistograma::SobreporLista(const std::string& fileName) {
  Alterar([&] { dados_.SobreporLista(fileName); });
}
void TDSHistograma::CarregarLista(const std::string& fileName) {
  Alterar([&] { dados_.CarregarLista(fileName); });
}
void TDSHistograma::CarregarPadrao(const std::string& fileName) {
  Alterar([&] { dados_.CarregarPadrao(fileName); });
}
void TDSHistograma::SobreporPadrao(const std::string& fileName) {
  Alterar([&] { dados_.SobreporPadrao(fileName); });
}
void TDSHistograma::SalvarArquivo(const std::string& fileName) const {
  dados_.SalvarArquivo(fileName);
}
void TDSHistograma::SalvarPadrao(const std::string& fileName) const {
  dados_.SalvarPadrao(fileName);
}

void TDSHistograma::SalvarBitmap(const std::string& fileName) const {
  // The drawing as a 24-bit bitmap: blue, green, red per pixel.
  const QImage image = Desenho_.convertToFormat(QImage::Format_RGB32);
  Bitmap bitmap(image.width(), image.height(), PixelFormat::pf24bit);
  for (int y = 0; y < image.height(); ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    uint8_t* out = bitmap.scanLine(y);
    for (int x = 0; x < image.width(); ++x) {
      out[3 * x] = uint8_t(qBlue(in[x]));
      out[3 * x + 1] = uint8_t(qGreen(in[x]));
      out[3 * x + 2] = uint8_t(qRed(in[x]));
    }
  }
  SaveBmp(bitmap, fileName);
}
