#pragma once
// The phase list dialog ("Excluir Fases"): a check list of curve names from which the user
// picks the curves to delete. The caller adds one line per curve, runs it modally and,
// when `Resultado` is "OK", deletes the checked curves.
#include <QDialog>
#include <QListWidget>
#include <QString>

class QFrame;
class QToolButton;

// A list whose every line carries a check box.
class TCheckListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit TCheckListBox(QWidget* parent);

  // Appends an unchecked line. A name longer than the list is wide stays whole: the list
  // scrolls sideways to it, and its tool tip shows it.
  void AdicionarItem(const QString& text);
  int Count() const { return count(); }
  bool Checked(int index) const;
  void SetChecked(int index, bool checked);
};

class TFormListaDeFases : public QDialog {
  Q_OBJECT
 public:
  explicit TFormListaDeFases(QWidget* owner);
  ~TFormListaDeFases() override;

  // ---- Components ----
  TCheckListBox* Lista;
  QToolButton* BTSelectAll;
  QToolButton* BtOK;
  QToolButton* BTCancelar;
  QFrame* Bevel1;
  QFrame* Bevel2;
  QFrame* Bevel3;

  // ---- Fields ----
  QString Resultado;

  // ---- Event handlers ----
  void FormCreate();
  void BTSelectAllClick();
  void BtOKClick();
  void BTCancelarClick();
};
