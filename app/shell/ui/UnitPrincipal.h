#pragma once
// The main window: the multiple-document frame with its menus, actions, tool bar and status
// bar, the two working modes, the command-line document and the tool launchers.
#include <QAction>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

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

class TFormPrincipal : public QMainWindow {
  Q_OBJECT
 public:
  struct Options {
    QString programFolder;  // empty: the folder of the executable
    QString argument;       // the command-line document; empty: none
  };
  TFormPrincipal();
  explicit TFormPrincipal(const Options& options);
  ~TFormPrincipal() override;

  // ---- State read by the other windows ----
  QString PastaPrograma;  // ends in "/"
  std::array<int32_t, 256> Contagens{};
  QPointer<TFormHistoFixo> JanelaFase;
  QPointer<TFormListaImagens> JanelaLista;
  bool FaseAberta = false;
  bool ArgumentoAberto = false;
  std::vector<QPointer<TForm>> JanelasDoMenu;

  bool EmModoAnalise() const;  // `MododeAnlise1` is checked

  void DefinirFaseAberta(bool flag);
  void NotificarJanelaAtiva() {}

  // The frame's children, in the frame's child order, and the active one.
  QMdiArea* Area() const { return MdiArea; }
  std::vector<TForm*> Filhas() const;
  TForm* FilhaAtiva() const;
  // Takes a form in as a child window of the frame.
  void AdicionarFilha(TForm* form);
  // The active child when its class name is exactly "TFormImagem" or "TFormImagemSaida";
  // otherwise shows "Você deve primeiro selecionar uma imagem" and returns null. With
  // `oitoBits` an image that is not 8-bit palette-indexed shows "Essa não é uma imagem de 8
  // bits" and gives null too.
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
  void FormShow();
  void AnaliseExecute();
  void ComposicaoExecute();
  void CompoSemImagemExecute();
  void CompoComImagemExecute();
  void Timer1Timer();
  void FecharExecute();
  void LimiaresExecute();
  void ContrasteExecute();
  void BrilhoExecute();
  void SimilaresExecute();
  void HistogramaDaImagemExecute();
  void HistogramaExecute();
  void EditarPadraoExecute();
  void MostrarListaExecute();
  void Configurar1Click();
  void Contedo1Click();
  void Sobre1Click();
  void CascataExecute();
  void LadoHorizontalExecute();
  void LadoVerticalExecute();
  void CopyExecute();

  // Opening images, zoom and the window list (image window).
  void Abrir_ImagemExecute();
  void imaClick(int k);
  // Rebuilds the recent-image items from the configuration: each shows the file name of its
  // entry and opens that very file. Run at creation, whenever the list changes, and each
  // time the "&Arquivo" menu opens (another instance may have changed the file).
  void AtualizarImagensRecentes();
  void ZoomInClick();
  void ZoomOutClick();
  void ZoomNormal1Click();
  void Janela1Click();
  void JanelaDaListaClick(QAction* item);

  // Saving and image information.
  void SalvarImagemExecute();
  void SalvarImagem1Click();
  void InformaesdaImagem1Click();

  // Phase histogram.
  void NovaFaseExecute();
  void AdicionarSelecaoExecute();
  void DesfazerExecute();
  void RefazerExecute();
  void SalvarFaseExecute();
  void MostrarHistogramaExecute();
  // Asks "Deseja salvar as alterações em ...?" about an open phase that was never saved;
  // "Sim" saves it. With `cancelar` the box offers "Cancelar" too, and the answer is false
  // when the phase must stay: cancelled, or still unsaved after "Sim" (its save dialog was
  // cancelled). True when there is nothing to ask about.
  bool PerguntarSalvarFase(bool cancelar);

  // Image operations.
  void FiltroMediaExecute();
  void GreyscaleExecute();
  void btr_g_bClick();

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

  // Windows of the tools, created by their own units (see the files that define them).
  void CriarJanelaLista();
  void MostrarOuCriarJanelaLista();
  void AbrirListaDoArgumento(const QString& file);
  void AbrirHistogramaDoArgumento(const QString& file, const QString& upperExtension);
  bool MostrarLimiaresExistente();
  void AbrirLimiares(TFormImagem* image);
  void AbrirContraste(TFormImagem* image);
  void AbrirBrilho(TFormImagem* image);
  void AbrirSimilares(TFormImagem* image);
  void AbrirHistogramaDaImagem(TFormImagem* image);

  QMdiArea* MdiArea;
  QLabel* StatusText;
  QString argument_;
  bool shown_ = false;
};

// The main window of the running program (null before it exists).
extern TFormPrincipal* FormPrincipal;

// "Is an image window": a TFormImagem or a descendant.
bool IsImageWindow(const TForm* form);
