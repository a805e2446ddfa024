#pragma once
// The histogram control: draws one grey-level histogram (single mode) or a list of named,
// coloured curves over each other (overlay mode) into its own bitmap `Desenho`, and copies
// that bitmap to the screen when painted. The picture is redrawn only after a change: every
// property setter and every data operation clears `Desenhado` and schedules a paint.
//
// The data and its operations live in vandrel::HistogramData; this widget adds the drawing
// settings, the drawing and the messages the operations ask for.
#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string>

#include "app/histograms/model/HistogramData.h"
#include "app/histograms/model/HistogramLayout.h"

class QPainter;

class TDSHistograma : public QWidget {
  Q_OBJECT
 public:
  using TEstilo = vandrel::TEstilo;
  using TLinhasVert = vandrel::TLinhasVert;
  using TTamanho = vandrel::TTamanho;

  explicit TDSHistograma(QWidget* owner = nullptr);
  ~TDSHistograma() override;

  // ---- published properties: read from the field, written through the setter rule ----
  double Fator() const { return Fator_; }
  void SetFator(double value);
  int32_t CorDeFundo() const { return CorDeFundo_; }
  void SetCorDeFundo(int32_t value);
  int32_t CorDeDesenho() const { return CorDeDesenho_; }
  void SetCorDeDesenho(int32_t value);
  int32_t CorDaLinha() const { return CorDaLinha_; }
  void SetCorDaLinha(int32_t value);
  int32_t CorDaLinhaGradiente() const { return CorDaLinhaGradiente_; }
  void SetCorDaLinhaGradiente(int32_t value);
  bool GradienteRGB() const { return GradienteRGB_; }
  void SetGradienteRGB(bool value);
  TEstilo Estilo() const { return Estilo_; }
  void SetEstilo(TEstilo value);
  TTamanho Tamanho() const { return Tamanho_; }
  void SetTamanho(TTamanho value);
  uint8_t NumLinhasHor() const { return NumLinhasHor_; }
  void SetNumLinhasHor(uint8_t value);
  TLinhasVert NumLinhasVert() const { return NumLinhasVert_; }
  void SetNumLinhasVert(TLinhasVert value);
  uint8_t Espessura() const { return Espessura_; }
  void SetEspessura(uint8_t value);
  bool AtivarTexto() const { return AtivarTexto_; }
  void SetAtivarTexto(bool value);

  // ---- state read by the windows ----
  uint8_t Escala() const { return Escala_; }
  vandrel::Rect32 AreaDoGrafico() const { return AreaDoGrafico_; }
  bool Sobreposicao() const { return dados_.Sobreposicao(); }
  const vandrel::TArrayDeHistogramas& Histogramas() const { return dados_.Histogramas(); }
  const vandrel::GreyHistogram& Valores() const { return dados_.Valores(); }
  const vandrel::GreyCounts& ContagemAcumulada() const { return dados_.ContagemAcumulada(); }
  // The drawing bitmap, as last drawn.
  const QImage& Desenho() const { return Desenho_; }
  bool Desenhado() const { return Desenhado_; }

  // The default colour of overlay entry k.
  static int32_t CorDaFase(uint8_t k) { return vandrel::CorDaFase(k); }
  // The colour of the control's pixel on screen at (x, y) in control coordinates, as last
  // painted; -1 (the invalid colour) outside what has been painted.
  int32_t CorNoPonto(int x, int y) const;

  // Draws `Desenho` now when it is not current (what a paint does first).
  void Desenhar();

  // ---- drawing steps, on `Desenho` ----
  void DesenharMoldura();
  void DesenharHistograma();
  void DesenharSobreposicao();
  void DesenharGrade();
  void DesenharTextos(double max);

  // ---- data operations (single mode) ----
  void CalcularDeBitmap(const vandrel::Bitmap& bitmap);
  void CarregarImagem(const std::string& fileName);
  void AdicionarContagem(const vandrel::GreyCounts& counts);
  void DefinirContagem(const vandrel::GreyCounts& counts);
  void DefinirValores(const vandrel::GreyHistogram& values);
  void Limpar();

  // ---- overlay list ----
  void DefinirSobreposicao(bool on);
  void AdicionarValores(const vandrel::GreyHistogram& values);
  void DefinirLinha(int index, const std::string& nome, int32_t espessura, int32_t cor);
  void DefinirNome(int index, const std::string& nome);
  void RemoverHistograma(int index);

  // ---- files ----
  void CarregarArquivo(const std::string& fileName);
  void AdicionarArquivo(const std::string& fileName);
  void CarregarHis(const std::string& fileName);
  void SobreporHis(const std::string& fileName);
  void SobreporImagem(const std::string& fileName);
  void SobreporLista(const std::string& fileName);
  void CarregarLista(const std::string& fileName);
  void CarregarPadrao(const std::string& fileName);
  void SobreporPadrao(const std::string& fileName);
  void SalvarArquivo(const std::string& fileName) const;
  void SalvarPadrao(const std::string& fileName) const;
  // Saves `Desenho` as a Windows bitmap file.
  void SalvarBitmap(const std::string& fileName) const;

  QSize sizeHint() const override { return size(); }

 signals:
  void OnClick();
  void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void OnMouseMove(Qt::KeyboardModifiers shift, int x, int y);
  void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // The end of the setter rule: the picture must be redrawn at the next paint.
  void Invalidar();
  // The control takes the size that `Tamanho` gives it, here rather than while painting.
  void AjustarAoTamanho();
  template <class Operation>
  void Alterar(Operation operation);
  void Barras(QPainter& p, const vandrel::VerticalScale& scale, int base, bool gradiente,
              int32_t cor);
  void Polilinha(QPainter& p, const vandrel::VerticalScale& scale, int base, int width,
                 int32_t cor);

  double Fator_ = 1.0;
  int32_t CorDeFundo_ = 0xF0CAA6;
  int32_t CorDeDesenho_ = 0xFF0000;
  int32_t CorDaLinha_ = 0x0000FF;
  int32_t CorDaLinhaGradiente_ = 0;
  bool GradienteRGB_ = false;
  TEstilo Estilo_ = vandrel::eGradiente;
  TTamanho Tamanho_ = vandrel::hs256;
  uint8_t NumLinhasHor_ = 3;
  TLinhasVert NumLinhasVert_ = vandrel::qTodas;
  uint8_t Espessura_ = 1;
  bool AtivarTexto_ = true;

  uint8_t Escala_ = 0;  // set by the first drawing
  vandrel::Rect32 AreaDoGrafico_;
  QImage Desenho_;
  bool Desenhado_ = false;
  QImage Tela_;  // what the last paint put on screen
  bool clicando_ = false;
  vandrel::HistogramData dados_;
};
