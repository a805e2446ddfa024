#pragma once
// The new-folder dialog of the folder choice: a name, OK and Cancel.
#include <QDialog>

class QLineEdit;
class QPushButton;

class TNovaPasta : public QDialog {
  Q_OBJECT
 public:
  explicit TNovaPasta(QWidget* owner = nullptr);

  QLineEdit* Nome;
  QPushButton* BtOk;
  QPushButton* BtClose;

  // Set when the dialog was left through OK or Enter.
  bool Aceito = false;

  void FormCreate();
  void BtOkClick();
  void BtCloseClick();
  // Enter accepts the name, Escape leaves; true when the key was one of them.
  bool NomeKeyDown(int key);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
