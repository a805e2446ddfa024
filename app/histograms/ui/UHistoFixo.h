#pragma once
// The phase window: the histogram of one phase, built from the selections that the main
// window hands over, with the running pixel total, undo and redo through the undo log
// "zundo.tmp", and the save of the phase as a ".his" file.
#include <QString>
#include <cstdint>
#include <memory>

#include "app/frame/ui/Form.h"
#include "app/histograms/model/GreyLevels.h"
#include "app/histograms/model/UndoClass.h"
#include "platform/qt/Dialogs.h"

class QFrame;
class QLabel;
class QToolButton;
class TDSHistograma;

class TFormHistoFixo : public TForm {
  Q_OBJECT
 public:
  // Creates the window owned by `owner` and, when the main window exists, takes it in as a
  // child window of the frame (hidden until shown). The undo log is emptied.
  explicit TFormHistoFixo(QObject* owner);
  ~TFormHistoFixo() override;

  QString ClassName() const override { return "TFormHistoFixo"; }

  // ---- Components ----
  TDSHistograma* Histograma;
  QFrame* PainelDosBotoes;
  QToolButton* BtSalvarHistograma;
  QToolButton* BtNovoHisto;
  QLabel* Label1;
  vandrel::FileDialogSpec SaveDialog;

  // ---- Fields ----
  std::unique_ptr<vandrel::TUndoClass> Historico;
  bool PodeDesfazer = false;
  bool PodeRefazer = false;
  int64_t TotalDePixels = 0;
  QString NomeArquivo;
  bool Salvo = false;

  // ---- Operations ----
  // Adds one selection's counts to the phase. The undo log takes the record first: when it
  // cannot be written the error is raised and the histogram and total stay as they were.
  void AdicionarSelecao(const vandrel::GreyCounts& counts);
  // One step back or forward through the undo log; nothing changes when the log cannot
  // take the step.
  void Desfazer();
  void Refazer();

  // ---- Event handlers ----
  // Saves the phase: to `NomeArquivo` without asking once it has been saved, otherwise
  // under a name chosen in the save dialog (".his" appended when the name lacks it).
  void BtSalvarHistogramaClick();
  void BtNovoHistoClick();
  void FormShow();
  void FormActivate();

  // The close handler has run: the window is on its way out.
  bool Fechada() const { return fechada_; }

 protected:
  bool FormClose() override;
  void showEvent(QShowEvent* event) override;

 private:
  // TotalDePixels and the label from the control's accumulated counts.
  void AtualizarTotal();
  void CopiarEstados();
  // Copies the log's undo and redo states into the window when the scope it lives in is left,
  // normally or by an error, so the commands never disagree with the log.
  class CopiaDeEstados;

  bool fechada_ = false;
};
