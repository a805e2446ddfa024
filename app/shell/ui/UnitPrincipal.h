#pragma once
// The main window: the multiple-document frame with its menus, actions, tool bar and status
// bar, the two working modes, the command-line document and the tool launchers. Outside
// app/shell only tests include this header; child windows reach the frame through Frame.
#include <QAction>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "app/frame/ui/Frame.h"

class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;
class TForm;
class TFormImagem;
class TFormHistoFixo;
class TFormListaImagens;
class TSobreDialog;

class TFormPrincipal : public QMainWindow, public Frame {
  Q_OBJECT
 public:
  struct Options {
    QString programFolder;  // empty: the folder of the executable
    QString argument;       // the command-line document; empty: none
  };
  TFormPrincipal();
  explicit TFormPrincipal(const Options& options);
  ~TFormPrincipal() override;

  // Shows the window as the program starts: maximised; restored, it has its own 711 x 333,
  // centred on the screen.
  void MostrarAoIniciar();

  // ---- State of the frame and of its commands ----
  QString PastaPrograma;  // ends in "/"
  std::array<int32_t, 256> Contagens{};
  QPointer<TFormHistoFixo> JanelaFase;
  QPointer<TFormListaImagens> JanelaLista;
  bool FaseAberta = false;
  bool ArgumentoAberto = false;
  std::vector<QPointer<TForm>> JanelasDoMenu;

  bool EmModoAnalise() const;  // `MododeAnlise1` is checked

  void DefinirFaseAberta(bool flag);

  // The frame's children, in the frame's child order, and the active one.
  QMdiArea* Area() const { return MdiArea; }
  std::vector<TForm*> Filhas() const;
  TForm* FilhaAtiva() const;
  // The active child when its class name is exactly "TFormImagem" or "TFormImagemSaida";
  // otherwise shows "Você deve primeiro selecionar uma imagem" and returns null. With
  // `oitoBits` an image that is not 8-bit palette-indexed shows "Essa não é uma imagem de 8
  // bits" and gives null too. (ImagingCommands.cpp)
  TFormImagem* ImagemAtiva(bool oitoBits);
  // The status bar's simple text.
  QString TextoStatus() const;

  // ---- Actions ----
  QAction *Fechar, *Abrir_Imagem, *SalvarImagem, *Desfazer, *Refazer, *AdicionarSelecao,
      *MostrarHistograma, *Histograma, *HistogramaDaImagem, *MostrarLista, *Limiares, *Contraste,
      *Similares, *Brilho, *FiltroMedia, *Greyscale, *NovaFase, *SalvarFase, *EditarPadrao,
      *Composicao, *Analise, *CompoSemImagem, *CompoComImagem, *Copy, *Cascata, *LadoHorizontal,
      *LadoVertical;

  // ---- Menus and menu items ----
  QMenu *Arquivo1, *Editar1, *Padroes1, *Imagem1, *Opes1, *Janela1, *Ajuda1, *Histograma1;
  QAction *MododeAnlise1, *MododeComposio1, *AbrirImagem1, *SalvarImagem1, *InformaesdaImagem1, *N3,
      *Sair1, *Desfazer1, *Refazer1, *Nova1, *AdicionarSeleo1, *SalvarFase1, *EditarPadro1,
      *Limiares1, *Contraste1, *Similares1, *Brilho1, *FiltroDaMdia1, *GreyScale1, *Novo1,
      *NovodaImagem1, *ZoomOut, *ZoomIn, *ZoomNormal1, *Configurar1, *Cascata1, *LadoaLado1,
      *LadoaLadoVertical1, *N7, *Contedo1, *Sobre1;
  std::array<QAction*, 5> ima{};

  // ---- Tool bar ----
  QToolBar* ToolBar1;
  QToolButton *BModoAnalise, *BModoComposicao, *BAbrirImagem, *SpeedButton1, *BDesfazer, *BRefazer,
      *BAdicionar, *BMostraLista, *BMostrarHistograma, *BtNovoHistograma, *sbHistoDaImagem,
      *BtLimiares, *BtContraste, *BtSimilares, *BtBrilho, *BtMedia, *SpeedButton2, *btr_g_b;

  QTimer* Timer1;
  QPointer<TSobreDialog> Sobre;  // while the about box is shown from the menu

  // ---- Handlers ----
  // Each menu command runs the handler its action is tied to in BuildActions. The handlers
  // of the modes, the window arrangement, the options and the help are in UnitPrincipal.cpp;
  // those of an area's windows are in that area's unit, named below.
  void FormShow();
  void AnaliseExecute();
  void ComposicaoExecute();
  void CompoSemImagemExecute();
  void CompoComImagemExecute();
  void Timer1Timer();
  void FecharExecute();
  void Configurar1Click();
  void Contedo1Click();
  void Sobre1Click();
  void CascataExecute();
  void LadoHorizontalExecute();
  void LadoVerticalExecute();
  void CopyExecute();

  // Image windows (ImagingCommands.cpp): "&Arquivo" opens, saves and describes images and
  // reopens recent ones; "&Imagem" runs the operations and the zoom; "&Janela" lists the
  // image windows.
  void Abrir_ImagemExecute();
  void imaClick(int k);
  // Rebuilds the recent-image items from the configuration: each shows the file name of its
  // entry and opens that very file. Run at creation, whenever the list changes, and each
  // time the "&Arquivo" menu opens (another instance may have changed the file).
  void AtualizarImagensRecentes();
  void SalvarImagemExecute();
  void SalvarImagem1Click();
  void InformaesdaImagem1Click();
  void ContrasteExecute();
  void SimilaresExecute();
  void BrilhoExecute();
  void FiltroMediaExecute();
  void GreyscaleExecute();
  void btr_g_bClick();
  void ZoomInClick();
  void ZoomOutClick();
  void ZoomNormal1Click();
  void Janela1Click();
  void JanelaDaListaClick(QAction* item);

  // Phase and histogram windows (HistogramCommands.cpp): "&Padrões" and "&Editar" work on the
  // phase, "&Imagem" / "&Histograma" opens histogram windows.
  void NovaFaseExecute();
  void AdicionarSelecaoExecute();
  void DesfazerExecute();
  void RefazerExecute();
  void SalvarFaseExecute();
  void MostrarHistogramaExecute();
  void HistogramaExecute();
  void HistogramaDaImagemExecute();
  // Asks "Deseja salvar as alterações em ...?" about an open phase that was never saved;
  // "Sim" saves it. With `cancelar` the box offers "Cancelar" too, and the answer is false
  // when the phase must stay: cancelled, or still unsaved after "Sim" (its save dialog was
  // cancelled). True when there is nothing to ask about.
  bool PerguntarSalvarFase(bool cancelar);

  // Thresholds window (ThresholdCommands.cpp): "&Imagem" / "&Limiares".
  void LimiaresExecute();

  // Image list and pattern editor (AnalysisCommands.cpp): "Mostrar Lista" and "&Padrões" /
  // "&Editar Padrão".
  void MostrarListaExecute();
  void EditarPadraoExecute();

  // ---- What a child window may ask (see Frame) ----
  QWidget* Widget() override { return this; }
  void AdicionarFilha(TForm* form) override;
  void NotificarJanelaAtiva() override {}
  void UltimaImagemFechada() override;
  void FaseFechada() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate(const Options& options);
  void BuildActions();
  void BuildMenus();
  void BuildToolBar();
  QToolButton* AddButton(QAction* action, const QString& objectName, const QString& hint = {});
  // A menu item whose caption differs from its action's: it mirrors the action's state.
  QAction* LinkedItem(QMenu* menu, const QString& objectName, const QString& caption,
                      QAction* action);
  QAction* Item(QMenu* menu, const QString& objectName, const QString& caption);
  // Arranges the visible children in one row (`vertical`) or one column.
  void Tile(bool vertical);

  // The windows a mode or the command-line document opens (AnalysisCommands.cpp and
  // HistogramCommands.cpp).
  void CriarJanelaLista();
  void AbrirListaDoArgumento(const QString& file);
  void AbrirHistogramaDoArgumento(const QString& file, const QString& upperExtension);

  QMdiArea* MdiArea;
  QLabel* StatusText;
  QString argument_;
  bool shown_ = false;
};

// The main window of the running program (null before it exists).
extern TFormPrincipal* FormPrincipal;

// "Is an image window": a TFormImagem or a descendant.
bool IsImageWindow(const TForm* form);
