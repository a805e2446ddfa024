#pragma once
// The pattern editor ("Edição de Padrões"): the user browses a folder, picks phase
// histogram files (".his") into the list of selected phases and saves the list as a pattern
// set (".pat", ".pac", ".err"); an existing pattern opens for editing. The order of the list
// is the column order of the pattern.
#include <QListWidget>
#include <QString>
#include <QStringList>

#include "app/frame/ui/FileControls.h"
#include "app/frame/ui/Form.h"
#include "platform/qt/Dialogs.h"

class QAction;
class QLabel;
class QPushButton;
class QToolBar;
class QToolButton;

class TFormPadrao : public TForm {
  Q_OBJECT
 public:
  // Creates the editor owned by `owner` and, when the main window exists, takes it in as a
  // child window of the frame, centred.
  explicit TFormPadrao(QObject* owner);
  ~TFormPadrao() override;

  QString ClassName() const override { return "TFormPadrao"; }

  // ---- Components, in declaration order ----
  QListWidget* ListDestino;
  QLabel* SrcLabel;
  QLabel* DstLabel;
  QToolButton* IncludeBtn;
  QToolButton* IncAllBtn;
  TFileListBox* FileListArquivos;
  TDirectoryListBox* FileListDiretorios;
  vandrel::FileDialogSpec SaveDialogPadrao;
  QListWidget* ListaCaminhos;
  QPushButton* BtnExcluir;
  vandrel::FileDialogSpec OpenDialog1;
  QToolBar* ToolBar1;
  QToolButton* BtnNovo;
  QToolButton* BtnAbrirPadrao;
  QToolButton* BtnSalvar;
  QToolButton* BtnSalvarComo;
  QToolButton* HelpBtn;
  QAction* ToolButton1;
  QAction* ToolButton2;
  TDriveComboBox* DriveComboBox1;
  QPushButton* CancelBtn;

  // ---- Fields ----
  bool Alterado = false;
  QString ArquivoPadrao;

  // ---- Operations ----
  void IncluirFase(int index);
  void ExcluirFase(int index);
  // Writes the pattern `nome` from the histogram files `caminhos`. An invalid histogram
  // file is reported and nothing is written; returns whether the pattern was written.
  bool GravarPadrao(const QStringList& caminhos, const QString& nome);
  static bool ValidarHistograma(const QString& caminho);
  static bool ValidarPadrao(const QString& caminho);

  // ---- Event handlers ----
  void FormCreate();
  void CancelBtnClick();
  void FileListDiretoriosChange();
  void IncludeBtnClick();
  void IncAllBtnClick();
  void ListDestinoDblClick();
  void BtnNovoClick();
  void BtnAbrirPadraoClick();
  void BtnSalvarClick();
  void BtnSalvarComoClick();
  void HelpBtnClick();

 protected:
  bool FormClose() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // "Edição de Padrões: " and the file-name part of ArquivoPadrao.
  void DefinirTitulo();
  void HabilitarSalvar(bool on);
  QStringList Caminhos() const;
  void AcrescentarFase(const QString& caminho);
  void Limpar();

  // Enter is down in the file list: further presses before its release are the key's
  // repeats, whether or not the window system marks them so.
  bool enterPressionado_ = false;
};
