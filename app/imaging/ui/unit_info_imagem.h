#pragma once
// The image information window: pixel type, size and the memory the image needs.
#include "app/frame/ui/Form.h"

class QLabel;
class QPushButton;
namespace vandrel {
class Bitmap;
}

class TForminfo_imagem : public TForm {
  Q_OBJECT
 public:
  explicit TForminfo_imagem(QObject* owner);
  QString ClassName() const override { return "TForminfo_imagem"; }

  QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6;
  QPushButton* SpeedButton1;

  // Fills the labels; the window sizes itself to them (now and whenever it is shown).
  void MostrarInfo(const vandrel::Bitmap& bitmap);
  void SpeedButton1Click() { Close(); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void AjustarAoTexto();
};
