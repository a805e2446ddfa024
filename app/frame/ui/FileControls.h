#pragma once
// Three controls for browsing the file system inside a window: the files of a folder, the
// folder tree down to the current folder, and the drive box.
#include <QComboBox>
#include <QListWidget>
#include <QString>

class QKeyEvent;
class QMouseEvent;

// The files of one folder that match a mask, sorted by name, letter case ignored in the
// mask as the program's file lists always did.
class TFileListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit TFileListBox(QWidget* parent);

  QString Directory() const { return directory_; }
  void SetDirectory(const QString& folder);
  QString Mask() const { return mask_; }
  void SetMask(const QString& mask);
  // Reads the folder again.
  void Update();
  // The full path of file `index`: the folder joined with its name.
  QString FilePath(int index) const;

 private:
  QString directory_;
  QString mask_ = "*.*";
};

// The folder tree down to one folder: the root, every folder on the way, the folder itself
// and its sub-folders, indented by depth. A double click (or Enter) on an entry makes it the
// current folder and emits Change.
class TDirectoryListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit TDirectoryListBox(QWidget* parent);

  QString Directory() const { return directory_; }
  void SetDirectory(const QString& folder);
  // The folder that entry `index` stands for.
  QString EntryPath(int index) const;
  // Opens entry `index` as a double click does.
  void OpenEntry(int index);

 signals:
  void Change();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QString directory_;
};

// The drive box: one root here, shown as "/".
class TDriveComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TDriveComboBox(QWidget* parent);
};
