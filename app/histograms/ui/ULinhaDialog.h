#pragma once
// The line options dialog: colour, name and pen width of one curve of a histogram overlay,
// or its deletion ("Excluir Sequência"). The caller fills it with CreateLinha, runs it
// modally, reads `Resultado` ("OK" or "Cancelar") and the controls, and frees it.
//
// Also the two small controls that the histogram dialogs and windows share: a filled shape
// and an up-down control.
#include <QColor>
#include <QDialog>
#include <QLabel>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>

class QCheckBox;
class QFrame;
class QLineEdit;
class QToolButton;

// A rectangle filled with a colour and framed by a pen, reporting mouse presses.
class TShape : public QWidget {
  Q_OBJECT
 public:
  explicit TShape(QWidget* parent);

  // The fill, as a colour value (red in the low byte); -1 for none (the frame only).
  int32_t Cor() const { return cor_; }
  void SetCor(int32_t cor);
  void SetPen(const QColor& color, int width);

  // Told of every mouse press on the shape, with the point in shape coordinates.
  std::function<void(Qt::MouseButton, int, int)> OnMouseDown;
  // Told of a context-menu request made from the keyboard (a right click is a mouse
  // press, already told to OnMouseDown).
  std::function<void()> OnContextPopup;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  int32_t cor_ = 0xFFFFFF;
  QColor pen_{Qt::black};
  int penWidth_ = 1;
};

// Up and down arrows that step a position between Min and Max (no wrap-around). When an
// edit is tied to it, the edit shows the position. The change handler is told of every
// arrow press before the position moves, with the direction of the step.
class TUpDown : public QWidget {
  Q_OBJECT
 public:
  enum Direcao { updNone, updUp, updDown };

  TUpDown(QWidget* parent, int min, int max, int position);

  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  // Clamped to Min..Max; the tied edit follows.
  void SetPosition(int position);
  // Ties an edit to the control (null: none); the edit shows the position at once.
  void SetAssociate(QLineEdit* edit);
  QLineEdit* Associate() const { return associate_; }

  QToolButton* BotaoAcima;
  QToolButton* BotaoAbaixo;

  // Runs before each step; `allow` may be cleared to keep the position.
  std::function<void(bool& allow, int newValue, Direcao direction)> OnChangingEx;

  // One press of an arrow, as the buttons do.
  void Passo(Direcao direction);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Mostrar();

  int min_, max_, position_;
  QLineEdit* associate_ = nullptr;
};

class TFormLinhaDialog : public QDialog {
  Q_OBJECT
 public:
  // The dialog for one curve: its name, colour and pen width; owned by `owner`.
  static TFormLinhaDialog* CreateLinha(const QString& nome, int32_t cor, int espessura,
                                       QWidget* owner);
  explicit TFormLinhaDialog(QWidget* owner);
  ~TFormLinhaDialog() override;

  // ---- Components ----
  QFrame* Bevel1;
  TShape* ShapeCor;
  QLineEdit* EditNome;
  QCheckBox* Excluir;
  QLineEdit* EditEspessura;
  TUpDown* UDEspessura;
  QToolButton* SpeedButton1;
  QToolButton* SpeedButton2;

  // ---- Fields ----
  QString Resultado;
  // The colour the colour dialog opens with: the one it last returned (black at first).
  QColor CorDoDialogo{Qt::black};

  // The pen width shown, kept within 1..10.
  int Espessura() const;

  // ---- Event handlers ----
  void FormCreate();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void ShapeCorMouseDown();
  void ShapeCorContextPopup();
  void ExcluirClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void EscolherCor();
};
