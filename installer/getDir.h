#pragma once
// The folder choice: a tree of the file system's folders, the path chosen, OK, Cancel and
// a new-folder button.
#include <QDialog>

class QFileSystemModel;
class QLabel;
class QPushButton;
class QToolButton;
class QTreeView;

class TFormDir : public QDialog {
  Q_OBJECT
 public:
  explicit TFormDir(QWidget* owner = nullptr);

  QTreeView* DirBox;
  QLabel* StDir;
  QPushButton* SpeedButton2;  // OK
  QPushButton* SpeedButton1;  // Cancel
  QToolButton* BtNewDir;

  // Set when the dialog was left through OK.
  bool Aceito = false;

  // The folder selected in the tree (empty while none is).
  QString SelectedPath() const;
  // Selects a folder in the tree (as a click on it would).
  void SelectPath(const QString& path);

  void FormCreate();
  void DirBoxChange();
  void SpeedButton2Click();
  void SpeedButton1Click();
  void BtNewDirClick();

 private:
  QFileSystemModel* model_;
};
