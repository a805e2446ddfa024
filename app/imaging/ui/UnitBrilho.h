#pragma once
// The brightness dialog: a percentage on a track bar; OK puts the brightened copy of the
// image window's image into a new output window.
#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;
class QSlider;
class TFormImagem;

class TFormBrilho : public QDialog {
  Q_OBJECT
 public:
  // The dialog owned by `owner`, working on `imagem` (an 8-bit image; the caller checks).
  static TFormBrilho* CreateComImagem(QWidget* owner, TFormImagem* imagem);
  TFormBrilho(QWidget* owner, TFormImagem* imagem);

  QLabel* Label1;
  QLabel* LPercBrilho;
  QSlider* BarraBrilho;
  QPushButton* ButtonOK;
  QPushButton* BtCancelar;
  QPushButton* BtHelp;

  QPointer<TFormImagem> Imagem;

  void BarraBrilhoChange();
  void ButtonOKClick();
  void BtCancelarClick();

 protected:
  void showEvent(QShowEvent* event) override;
};
