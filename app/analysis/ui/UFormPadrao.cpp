#include "app/analysis/ui/UFormPadrao.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <string>
#include <vector>

#include "app/analysis/model/PatternChecks.h"
#include "app/analysis/model/PatternFiles.h"
#include "app/analysis/ui/PatternIcons.h"
#include "app/frame/ui/Frame.h"
#include "app/frame/ui/ToolIcons.h"
#include "app/settings/model/URecursos.h"
#include "platform/FileNames.h"
#include "platform/qt/ErrorReport.h"
#include "platform/qt/HelpWindow.h"

namespace {

constexpr int kLargura = 337, kAltura = 351;

std::string Nativo(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString DeNativo(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

QString ParteDoNome(const QString& path) { return DeNativo(vandrel::FileNameOf(Nativo(path))); }

bool Existe(const QString& path) { return QFileInfo::exists(path); }

void Bip() { QApplication::beep(); }

int Perguntar(const QString& text, int buttons) {
  return vandrel::MessageDlg(text, vandrel::MsgKind::Confirmation, buttons);
}

void Erro(const QString& text) {
  vandrel::MessageDlg(text, vandrel::MsgKind::Error, vandrel::mbOK);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Pattern editor

TFormPadrao::TFormPadrao(QObject* owner) : TForm(nullptr) {
  setObjectName("FormPadrao");
  QFont f = font();
  f.setPixelSize(11);
  setFont(f);
  setFixedSize(kLargura, kAltura);

  ListDestino = new QListWidget(this);
  ListDestino->setObjectName("ListDestino");
  ListDestino->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListDestino->setGeometry(191, 54, 138, 259);
  SrcLabel = new QLabel("Diretório:", this);
  SrcLabel->setObjectName("SrcLabel");
  SrcLabel->setGeometry(8, 36, 145, 16);
  DstLabel = new QLabel("Fases Selecionadas", this);
  DstLabel->setObjectName("DstLabel");
  DstLabel->setGeometry(191, 36, 138, 16);
  IncludeBtn = new QToolButton(this);
  IncludeBtn->setObjectName("IncludeBtn");
  IncludeBtn->setText(">");
  IncludeBtn->setToolTip("Inserir");
  IncludeBtn->setGeometry(159, 160, 26, 26);
  IncAllBtn = new QToolButton(this);
  IncAllBtn->setObjectName("IncAllBtn");
  IncAllBtn->setText(">>");
  IncAllBtn->setGeometry(159, 192, 26, 26);
  FileListArquivos = new TFileListBox(this);
  FileListArquivos->setObjectName("FileListArquivos");
  FileListArquivos->setGeometry(8, 181, 145, 132);
  FileListDiretorios = new TDirectoryListBox(this);
  FileListDiretorios->setObjectName("FileListDiretorios");
  FileListDiretorios->setGeometry(8, 80, 145, 97);
  SaveDialogPadrao.filter = "Arquivo de Padrão(*.pat)|*.pat";
  SaveDialogPadrao.title = "Salvar Padrão";
  ListaCaminhos = new QListWidget(this);
  ListaCaminhos->setObjectName("ListaCaminhos");
  ListaCaminhos->setGeometry(191, 54, 138, 259);
  BtnExcluir = new QPushButton("Excluir", this);
  BtnExcluir->setObjectName("BtnExcluir");
  BtnExcluir->setGeometry(191, 319, 66, 25);
  OpenDialog1.filter = "Arquivos de Padrões(*.pat)|*pat";
  OpenDialog1.title = "Abrir Padrão";

  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setGeometry(0, 0, kLargura, 30);
  ToolBar1->setIconSize(QSize(20, 20));
  ToolBar1->setMovable(false);
  auto botao = [this](const char* name, const QString& hint, const QString& glyph) {
    auto* b = new QToolButton(ToolBar1);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setIcon(PatternIcon(glyph));
    b->setAutoRaise(true);
    b->setIconSize(QSize(20, 20));
    ToolBar1->addWidget(b);
    return b;
  };
  BtnNovo = botao("BtnNovo", "Novo Padrão", "novo");
  BtnAbrirPadrao = botao("BtnAbrirPadrao", "Abrir Padrão", "abrir");
  ToolButton1 = ToolBar1->addSeparator();
  ToolButton1->setObjectName("ToolButton1");
  BtnSalvar = botao("BtnSalvar", "Salvar Padrão", "salvar");
  BtnSalvarComo = botao("BtnSalvarComo", "Salvar Como", "salvarcomo");
  ToolButton2 = ToolBar1->addSeparator();
  ToolButton2->setObjectName("ToolButton2");
  HelpBtn = botao("HelpBtn", "Ajuda", "ajuda");
  HelpBtn->setCursor(Qt::WhatsThisCursor);

  DriveComboBox1 = new TDriveComboBox(this);
  DriveComboBox1->setObjectName("DriveComboBox1");
  DriveComboBox1->setGeometry(8, 54, 145, 22);
  CancelBtn = new QPushButton("Cancelar", this);
  CancelBtn->setObjectName("CancelBtn");
  CancelBtn->setGeometry(263, 319, 66, 25);

  for (QToolButton* b : {IncludeBtn, IncAllBtn}) b->setAutoRaise(true);
  vandrel::OnClicked(IncludeBtn, [this] { IncludeBtnClick(); });
  vandrel::OnClicked(IncAllBtn, [this] { IncAllBtnClick(); });
  vandrel::OnClicked(BtnExcluir, [this] { ListDestinoDblClick(); });
  vandrel::OnClicked(BtnNovo, [this] { BtnNovoClick(); });
  vandrel::OnClicked(BtnAbrirPadrao, [this] { BtnAbrirPadraoClick(); });
  vandrel::OnClicked(BtnSalvar, [this] { BtnSalvarClick(); });
  vandrel::OnClicked(BtnSalvarComo, [this] { BtnSalvarComoClick(); });
  vandrel::OnClicked(HelpBtn, [this] { HelpBtnClick(); });
  vandrel::OnClicked(CancelBtn, [this] { CancelBtnClick(); });
  connect(FileListDiretorios, &TDirectoryListBox::Change, this,
          [this] { vandrel::Guarded([this] { FileListDiretoriosChange(); }); });
  // Double clicks and released keys of the two lists.
  for (QWidget* w : {static_cast<QWidget*>(FileListArquivos), FileListArquivos->viewport(),
                     static_cast<QWidget*>(ListDestino), ListDestino->viewport()})
    w->installEventFilter(this);

  // The drive box, the folder tree and the file list start at the process's current folder.
  FileListDiretorios->SetDirectory(QDir::currentPath());
  FileListArquivos->SetDirectory(FileListDiretorios->Directory());
  SetCaption("Edição de Padrões");
  SetOwner(owner);
  FormCreate();

  if (Frame* frame = CurrentFrame()) {
    frame->AdicionarFilha(this);
    if (QMdiSubWindow* sub = SubWindow()) {
      // A single border: the system menu with its close box, and minimise.
      SingleBorder();
      SetFrameSize(sub->sizeHint());
      if (QMdiArea* area = sub->mdiArea()) {
        const QSize livre = area->viewport()->size() - sub->size();
        sub->move(std::max(0, livre.width() / 2), std::max(0, livre.height() / 2));
      }
    }
  }
}

TFormPadrao::~TFormPadrao() = default;

bool TFormPadrao::eventFilter(QObject* watched, QEvent* event) {
  const bool arquivos = watched == FileListArquivos || watched == FileListArquivos->viewport();
  const bool destino = watched == ListDestino || watched == ListDestino->viewport();
  if (event->type() == QEvent::MouseButtonDblClick && (arquivos || destino)) {
    // The first press of the double click has selected the entry under the mouse.
    vandrel::Guarded([this, arquivos] {
      if (arquivos)
        IncludeBtnClick();
      else
        ListDestinoDblClick();
    });
  } else if (watched == FileListArquivos &&
             (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
    // Enter includes at its press, once while it is held. Its release is not ours: it may
    // be the Enter that confirmed a dialog, let go once the dialog has gone.
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (key->isAutoRepeat()) return true;
      const bool primeira = event->type() == QEvent::KeyPress && !enterPressionado_;
      enterPressionado_ = event->type() == QEvent::KeyPress;
      if (primeira) vandrel::Guarded([this] { IncludeBtnClick(); });
      return true;
    }
  } else if (watched == FileListArquivos && event->type() == QEvent::FocusOut) {
    enterPressionado_ = false;  // its release will go elsewhere
  } else if (event->type() == QEvent::KeyRelease) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == ListDestino && key == Qt::Key_Delete)
      vandrel::Guarded([this] { ListDestinoDblClick(); });
  }
  return TForm::eventFilter(watched, event);
}

void TFormPadrao::keyPressEvent(QKeyEvent* event) {
  // A cancel button: Escape that no control of the window took presses it.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    CancelBtn->click();
    return;
  }
  TForm::keyPressEvent(event);
}

void TFormPadrao::FormCreate() {
  ListaCaminhos->hide();
  Alterado = false;
  ArquivoPadrao.clear();
  HabilitarSalvar(false);
  FileListArquivos->SetMask("*.his");
  SaveDialogPadrao.initialDir = QString::fromStdString(vandrel::PastaPrograma()) + "padroes";
}

bool TFormPadrao::FormClose() { return true; }

void TFormPadrao::CancelBtnClick() { Close(); }

void TFormPadrao::FileListDiretoriosChange() {
  FileListArquivos->SetDirectory(FileListDiretorios->Directory());
}

void TFormPadrao::DefinirTitulo() {
  SetCaption("Edição de Padrões: " + ParteDoNome(ArquivoPadrao));
}

void TFormPadrao::HabilitarSalvar(bool on) {
  BtnSalvarComo->setEnabled(on);
  BtnSalvar->setEnabled(on);
}

QStringList TFormPadrao::Caminhos() const {
  QStringList out;
  for (int i = 0; i < ListaCaminhos->count(); ++i) out << ListaCaminhos->item(i)->text();
  return out;
}

void TFormPadrao::AcrescentarFase(const QString& caminho) {
  ListaCaminhos->addItem(caminho);
  ListDestino->addItem(ParteDoNome(caminho));
}

void TFormPadrao::Limpar() {
  ListaCaminhos->clear();
  ListDestino->clear();
}

void TFormPadrao::IncluirFase(int index) {
  const QListWidgetItem* it = FileListArquivos->item(index);
  if (!it) return;
  ListDestino->addItem(it->text());
  ListaCaminhos->addItem(FileListArquivos->FilePath(index));
  Alterado = true;
  HabilitarSalvar(true);
}

void TFormPadrao::IncludeBtnClick() {
  for (int i = 0; i < FileListArquivos->count(); ++i)
    if (FileListArquivos->item(i)->isSelected()) IncluirFase(i);
}

void TFormPadrao::IncAllBtnClick() {
  for (int i = 0; i < FileListArquivos->count(); ++i) {
    FileListArquivos->item(i)->setSelected(true);
    IncluirFase(i);
  }
}

void TFormPadrao::ExcluirFase(int index) {
  if (index < 0 || index >= ListDestino->count()) return;
  delete ListDestino->takeItem(index);
  delete ListaCaminhos->takeItem(index);
  Alterado = true;
  HabilitarSalvar(ListaCaminhos->count() > 0);
}

void TFormPadrao::ListDestinoDblClick() {
  int restantes = int(ListDestino->selectedItems().size());
  // A removed entry's place is taken by the next one, so the walk looks there again.
  for (int i = 0; restantes > 0 && i < ListDestino->count();) {
    if (ListDestino->item(i)->isSelected()) {
      ExcluirFase(i);
      --restantes;
    } else {
      ++i;
    }
  }
}

bool TFormPadrao::ValidarHistograma(const QString& caminho) {
  return vandrel::ValidarHistograma(Nativo(caminho));
}

bool TFormPadrao::ValidarPadrao(const QString& caminho) {
  return vandrel::ValidarPadrao(Nativo(caminho));
}

bool TFormPadrao::GravarPadrao(const QStringList& caminhos, const QString& nome) {
  for (const QString& c : caminhos) {
    if (!ValidarHistograma(c)) {
      Bip();
      Erro("O arquivo de fases " + c + " não é válido!");
      return false;
    }
  }
  std::vector<std::string> his;
  his.reserve(size_t(caminhos.size()));
  for (const QString& c : caminhos) his.push_back(Nativo(c));
  vandrel::WritePatternFromHistograms(his, Nativo(nome));
  ArquivoPadrao = nome;
  Alterado = false;
  DefinirTitulo();
  return true;
}

void TFormPadrao::BtnSalvarClick() {
  const QStringList caminhos = Caminhos();
  if (!ArquivoPadrao.isEmpty()) {
    GravarPadrao(caminhos, ArquivoPadrao);
    return;
  }
  // "No" to replacing a file asks for a name again.
  for (;;) {
    SaveDialogPadrao.title = "Salvar Padrão";
    const auto escolha = vandrel::Dialogs().SaveFile(SaveDialogPadrao);
    if (!escolha) return;
    const QString escolhido = escolha->files.first();
    SaveDialogPadrao.fileName = escolhido;
    // The extension is always appended, also to a name that ends in ".pat" already.
    const QString alvo = escolhido + ".pat";
    if (!Existe(alvo)) {
      GravarPadrao(caminhos, alvo);
      return;
    }
    Bip();
    const int resposta =
        Perguntar("O Arquivo " + escolhido + ".pat" + " já existe.\r\nDeseja substituí-lo?",
                  vandrel::mbYes | vandrel::mbNo | vandrel::mbCancel);
    if (resposta == vandrel::mbYes) GravarPadrao(caminhos, alvo);
    if (resposta != vandrel::mbNo) return;
  }
}

void TFormPadrao::BtnSalvarComoClick() {
  const QStringList caminhos = Caminhos();
  for (;;) {
    SaveDialogPadrao.title = "Salvar Como";
    const auto escolha = vandrel::Dialogs().SaveFile(SaveDialogPadrao);
    if (!escolha) return;
    const QString escolhido = escolha->files.first();
    SaveDialogPadrao.fileName = escolhido;
    const QString alvo = escolhido + ".pat";
    if (Existe(alvo)) {
      Bip();
      if (Perguntar("O Arquivo " + escolhido + ".pat" + " já existe.\r\nDeseja substituí-lo?",
                    vandrel::mbYes | vandrel::mbNo) != vandrel::mbYes)
        continue;
    }
    GravarPadrao(caminhos, alvo);
    return;
  }
}

void TFormPadrao::BtnNovoClick() {
  // "No" to replacing a file starts over with the first question.
  for (;;) {
    if (Alterado) {
      Bip();
      const int salvar =
          Perguntar("O arquivo atual foi alterado.\r\nVocê deseja salvar o arquivo atual?",
                    vandrel::mbYes | vandrel::mbNo);
      if (salvar == vandrel::mbYes) {
        const QStringList caminhos = Caminhos();
        bool gravado = true;
        if (!ArquivoPadrao.isEmpty()) {
          gravado = GravarPadrao(caminhos, ArquivoPadrao);
        } else if (const auto escolha = vandrel::Dialogs().SaveFile(SaveDialogPadrao)) {
          // A cancelled dialog goes on to the new pattern without saving.
          const QString escolhido = escolha->files.first();
          SaveDialogPadrao.fileName = escolhido;
          const QString alvo = escolhido + ".pat";
          if (Existe(alvo)) {
            Bip();
            if (Perguntar("O arquivo " + escolhido + ".pat" + " já existe.\r\nDeseja substituí-lo?",
                          vandrel::mbYes | vandrel::mbNo) != vandrel::mbYes)
              continue;
          }
          gravado = GravarPadrao(caminhos, alvo);
        }
        // The user asked to keep the list: when it could not be saved (the message named
        // the invalid file) it stays, so that it can be put right and saved.
        if (!gravado) return;
      }
    }
    Alterado = false;
    ArquivoPadrao.clear();
    Limpar();
    HabilitarSalvar(false);
    DefinirTitulo();
    return;
  }
}

void TFormPadrao::BtnAbrirPadraoClick() {
  // An invalid pattern, or "No" to an invalid phase of it, shows the open dialog again.
  for (;;) {
    OpenDialog1.initialDir = QString::fromStdString(vandrel::PastaPrograma()) + "padroes";
    const auto escolha = vandrel::Dialogs().OpenFiles(OpenDialog1);
    if (!escolha) {
      DefinirTitulo();
      return;
    }
    const QString escolhido = escolha->files.first();
    if (!ValidarPadrao(escolhido)) {
      Bip();
      Erro("O arquivo " + escolhido + " não é válido!");
      continue;
    }
    const std::vector<std::string> linhas =
        vandrel::ReadPatternLines(vandrel::PatternCompanion(Nativo(escolhido), ".pac"));
    Limpar();
    ArquivoPadrao.clear();
    Alterado = false;
    bool outraVez = false;
    for (const std::string& linha : linhas) {
      const QString caminho = DeNativo(linha);
      if (!ValidarHistograma(caminho)) {
        const int resposta =
            Perguntar("O Arquivo " + caminho + " não é válido!\n\rVocê deseja continuar?",
                      vandrel::mbYes | vandrel::mbNo | vandrel::mbCancel);
        if (resposta == vandrel::mbNo) {
          // The entries read so far stay in the lists.
          outraVez = true;
          break;
        }
        if (resposta != vandrel::mbYes) {
          BtnNovoClick();
          return;
        }
      }
      AcrescentarFase(caminho);
    }
    if (outraVez) continue;
    ArquivoPadrao = escolhido;
    Alterado = false;
    DefinirTitulo();
    return;
  }
}

void TFormPadrao::HelpBtnClick() {
  vandrel::ShowHelp(QString::fromStdString(vandrel::PastaPrograma()) + "Ajuda.hlp", 115);
}
