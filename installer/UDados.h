#pragma once
// The installer's first page: the user's name and organization and the install folder
// (the installer's own folder), with Install and Cancel.
#include <QWidget>

class QLineEdit;
class QPushButton;

class TForm1 : public QWidget {
  Q_OBJECT
 public:
  // `ownFolder`: the folder of the installer's executable (the running one when empty).
  explicit TForm1(const QString& ownFolder = {}, QWidget* parent = nullptr);

  QLineEdit* eNome;
  QLineEdit* eCompania;
  QLineEdit* lePath;
  QPushButton* sbFinalizar;   // Install
  QPushButton* SpeedButton1;  // Cancel
  QPushButton* btProcurar;    // Browse

  void FormCreate(const QString& ownFolder);
  void SpeedButton1Click();
  void btProcurarClick();
  void sbFinalizarClick();

 protected:
  void showEvent(QShowEvent* event) override;
};
