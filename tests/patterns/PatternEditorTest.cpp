// The pattern editor driven through the real main window and its own controls: browsing,
// including and removing phases, saving (new name, existing name, invalid phase), new and
// open with their questions, help and closing. Dialogs are scripted.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <ostream>

#include "app/analysis/model/PatternFiles.h"
#include "app/analysis/ui/UFormPadrao.h"
#include "app/histograms/model/HistogramFiles.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "platform/qt/Dialogs.h"
#include "tests/support/GuiTest.h"

// Texts in failure messages, as text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace vandrel::testing {
namespace {

const QByteArray kConfig =
    "[caixa_sobre]\nmostrar_inicio=FALSE\n[caminhos]\n"
    "[Configuracao_selecao]\nlargura=1\ncor=0\nmarcar=NAO\n";

const char* const kAlterado =
    "O arquivo atual foi alterado.\r\nVocê deseja salvar o arquivo atual?";

std::string Nativo(const QString& path) { return QFile::encodeName(path).toStdString(); }

// A histogram whose every level is 0 except one, which holds 1.
GreyHistogram Pico(int g) {
  GreyHistogram h{};
  h[g] = 1.0;
  return h;
}

class PatternEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QFile::copy(VANDREL_SOURCE_DIR "/data/Ajuda.hlp", folder.File("Ajuda.hlp"));
    // The editor's lists start at the current folder: the program's phase folder.
    previousDir_ = QDir::currentPath();
    QDir::setCurrent(folder.File("fases"));
    // Each phase its own peak: austenita 10, ferrita 20, martensita 30, perlita 40.
    int pico = 0;
    for (const char* name : {"austenita.his", "ferrita.his", "martensita.his", "perlita.his"})
      His(name, Pico(pico += 10));
    QFile(folder.File("fases/notas.txt")).open(QIODevice::WriteOnly);
    QDir(folder.File("fases")).mkdir("aco");
    His("aco/bainita.his", Pico(3));
    principal = std::make_unique<TFormPrincipal>(TFormPrincipal::Options{folder.Path(), ""});
    principal->show();
    principal->Timer1->stop();
    Settle();
  }
  void TearDown() override {
    principal.reset();
    Settle();
    QDir::setCurrent(previousDir_);
    // The help window is a top-level widget of its own.
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "HelpWindow") delete w;
  }

  std::vector<TFormPadrao*> Editores() const {
    std::vector<TFormPadrao*> out;
    for (TForm* f : principal->Filhas())
      if (auto* p = dynamic_cast<TFormPadrao*>(f)) out.push_back(p);
    return out;
  }
  // A new editor, opened through the main window's command.
  TFormPadrao* Editor() {
    principal->EditarPadrao->trigger();
    Settle();
    const auto e = Editores();
    EXPECT_FALSE(e.empty());
    return e.empty() ? nullptr : e.back();
  }

  QString Fases(const QString& name) const { return folder.File("fases/" + name); }
  QString Padroes(const QString& name) const { return folder.File("padroes/" + name); }
  QString His(const QString& name, const GreyHistogram& h) const {
    WriteHis(Nativo(Fases(name)), h);
    return Fases(name);
  }
  // A pattern written as the editor writes it, from histogram files.
  QString Padrao(const QString& name, const QStringList& phases) const {
    std::vector<std::string> paths;
    for (const QString& p : phases) paths.push_back(Nativo(p));
    WritePatternFromHistograms(paths, Nativo(Padroes(name)));
    return Padroes(name);
  }
  QByteArray Ler(const QString& path) const {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  static QStringList Textos(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
  }
  static void Selecionar(QListWidget* list, std::initializer_list<int> rows) {
    list->clearSelection();
    for (int r : rows) list->item(r)->setSelected(true);
  }
  static int Linha(const QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text() == text) return i;
    return -1;
  }
  // What the user does with the mouse: a double click on an entry of a list.
  static void DuploClique(QListWidget* list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QWidget* vp = list->viewport();
    const QPointF global = vp->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(at), global, Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &press);
    QApplication::sendEvent(vp, &release);
    QApplication::sendEvent(vp, &dbl);
    QApplication::sendEvent(vp, &release);
  }
  static void Tecla(QWidget* w, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
  }
  // Includes the named files of the current folder, in the order given, through ">".
  void Incluir(TFormPadrao* e, const QStringList& names) {
    for (const QString& n : names) {
      const int row = Linha(e->FileListArquivos, n);
      ASSERT_GE(row, 0) << n.toStdString();
      Selecionar(e->FileListArquivos, {row});
      e->IncludeBtn->click();
    }
  }
  void Escolher(const QString& path) { dialogs->files.push_back(FileDialogResult{{path}, 1}); }
  QString Existe(const QString& chosen) const {
    return "O Arquivo " + chosen + ".pat já existe.\r\nDeseja substituí-lo?";
  }

  ProgramFolder folder{kConfig};
  ScriptedDialogsScope dialogs;
  std::unique_ptr<TFormPrincipal> principal;
  QString previousDir_;
};

// ---- the window ----

TEST_F(PatternEditorTest, OpensFromTheMainWindowWithItsControls) {
  principal->resize(1000, 700);  // room for the whole window, so no scroll bar shifts it
  Settle();
  TFormPadrao* e = Editor();
  ASSERT_TRUE(e);
  EXPECT_EQ(e->ClassName(), "TFormPadrao");
  EXPECT_EQ(e->Caption(), "Edição de Padrões");
  EXPECT_EQ(e->SubWindow()->windowTitle(), "Edição de Padrões");
  EXPECT_TRUE(e->SubWindow()->isVisible());
  EXPECT_EQ(principal->FilhaAtiva(), e);
  EXPECT_EQ(e->size(), QSize(337, 351));
  const Qt::WindowFlags flags = e->SubWindow()->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_LE(e->SubWindow()->width(), 345);
  EXPECT_LE(e->SubWindow()->height(), 380);
  // Centred in the frame.
  const QRect area = principal->Area()->viewport()->rect();
  const QRect sub = e->SubWindow()->geometry();
  EXPECT_LE(std::abs(sub.center().x() - area.center().x()), 1);
  EXPECT_LE(std::abs(sub.center().y() - area.center().y()), 1);

  EXPECT_FALSE(e->ListaCaminhos->isVisible());
  EXPECT_FALSE(e->Alterado);
  EXPECT_TRUE(e->ArquivoPadrao.isEmpty());
  EXPECT_FALSE(e->BtnSalvar->isEnabled());
  EXPECT_FALSE(e->BtnSalvarComo->isEnabled());
  EXPECT_TRUE(e->BtnNovo->isEnabled());
  EXPECT_TRUE(e->BtnAbrirPadrao->isEnabled());
  EXPECT_EQ(e->SrcLabel->text(), "Diretório:");
  EXPECT_EQ(e->DstLabel->text(), "Fases Selecionadas");
  EXPECT_EQ(e->IncludeBtn->text(), ">");
  EXPECT_EQ(e->IncludeBtn->toolTip(), "Inserir");
  EXPECT_EQ(e->IncAllBtn->text(), ">>");
  EXPECT_EQ(e->BtnExcluir->text(), "Excluir");
  EXPECT_EQ(e->CancelBtn->text(), "Cancelar");
  EXPECT_EQ(e->BtnNovo->toolTip(), "Novo Padrão");
  EXPECT_EQ(e->BtnAbrirPadrao->toolTip(), "Abrir Padrão");
  EXPECT_EQ(e->BtnSalvar->toolTip(), "Salvar Padrão");
  EXPECT_EQ(e->BtnSalvarComo->toolTip(), "Salvar Como");
  EXPECT_EQ(e->HelpBtn->toolTip(), "Ajuda");
  EXPECT_EQ(e->HelpBtn->cursor().shape(), Qt::WhatsThisCursor);
  EXPECT_TRUE(e->ToolButton1->isSeparator());
  EXPECT_TRUE(e->ToolButton2->isSeparator());
  EXPECT_EQ(e->DriveComboBox1->currentText(), "/");
  EXPECT_EQ(e->SaveDialogPadrao.filter, "Arquivo de Padrão(*.pat)|*.pat");
  EXPECT_EQ(e->SaveDialogPadrao.initialDir, folder.Path() + "padroes");
  EXPECT_EQ(e->OpenDialog1.filter, "Arquivos de Padrões(*.pat)|*pat");
  EXPECT_EQ(e->OpenDialog1.title, "Abrir Padrão");
  // The lists start at the current folder; the file list shows its ".his" files only.
  EXPECT_EQ(e->FileListArquivos->Directory(), QDir(Fases("")).absolutePath());
  EXPECT_EQ(e->FileListArquivos->Mask(), "*.his");
  EXPECT_EQ(Textos(e->FileListArquivos),
            (QStringList{"austenita.his", "ferrita.his", "martensita.his", "perlita.his"}));
  EXPECT_EQ(e->FileListDiretorios->Directory(), e->FileListArquivos->Directory());
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(PatternEditorTest, EveryCommandOpensANewEditor) {
  TFormPadrao* a = Editor();
  TFormPadrao* b = Editor();
  EXPECT_NE(a, b);
  EXPECT_EQ(Editores().size(), 2u);
}

TEST_F(PatternEditorTest, FolderTreeDrivesTheFileList) {
  TFormPadrao* e = Editor();
  TDirectoryListBox* tree = e->FileListDiretorios;
  // The tree: the root, each folder down to the current one, then its sub-folders.
  const QStringList parts = QDir(Fases("")).absolutePath().split('/', Qt::SkipEmptyParts);
  ASSERT_EQ(tree->count(), parts.size() + 2);
  EXPECT_EQ(tree->item(0)->text(), "/");
  EXPECT_EQ(tree->item(int(parts.size()))->text(), "fases");
  EXPECT_EQ(tree->currentRow(), parts.size());
  EXPECT_EQ(tree->item(int(parts.size()) + 1)->text(), "aco");

  DuploClique(tree, int(parts.size()) + 1);
  EXPECT_EQ(e->FileListArquivos->Directory(), QDir(Fases("aco")).absolutePath());
  EXPECT_EQ(Textos(e->FileListArquivos), QStringList{"bainita.his"});
  // Back up one level with Enter on the parent's entry.
  tree->setCurrentRow(int(parts.size()));
  Tecla(tree, Qt::Key_Return);
  EXPECT_EQ(e->FileListArquivos->Directory(), QDir(Fases("")).absolutePath());
  EXPECT_EQ(e->FileListArquivos->count(), 4);
}

// ---- including and removing ----

TEST_F(PatternEditorTest, IncludeTakesTheSelectedFilesInListOrder) {
  TFormPadrao* e = Editor();
  Selecionar(e->FileListArquivos, {3, 0});
  e->IncludeBtn->click();
  EXPECT_EQ(Textos(e->ListDestino), (QStringList{"austenita.his", "perlita.his"}));
  EXPECT_EQ(Textos(e->ListaCaminhos),
            (QStringList{QDir(Fases("")).absoluteFilePath("austenita.his"),
                         QDir(Fases("")).absoluteFilePath("perlita.his")}));
  EXPECT_TRUE(e->Alterado);
  EXPECT_TRUE(e->BtnSalvar->isEnabled());
  EXPECT_TRUE(e->BtnSalvarComo->isEnabled());
  // The same file again: no test for duplicates.
  Selecionar(e->FileListArquivos, {0});
  e->IncludeBtn->click();
  EXPECT_EQ(Textos(e->ListDestino), (QStringList{"austenita.his", "perlita.his", "austenita.his"}));
  // Nothing selected: nothing included.
  e->FileListArquivos->clearSelection();
  e->IncludeBtn->click();
  EXPECT_EQ(e->ListDestino->count(), 3);
}

TEST_F(PatternEditorTest, IncludeAllSelectsAndTakesEveryFile) {
  TFormPadrao* e = Editor();
  e->IncAllBtn->click();
  EXPECT_EQ(Textos(e->ListDestino), Textos(e->FileListArquivos));
  EXPECT_EQ(e->FileListArquivos->selectedItems().size(), 4);
  EXPECT_EQ(e->ListaCaminhos->count(), 4);
  EXPECT_TRUE(e->BtnSalvar->isEnabled());
}

TEST_F(PatternEditorTest, DoubleClickAndEnterInclude) {
  TFormPadrao* e = Editor();
  DuploClique(e->FileListArquivos, 2);
  EXPECT_EQ(Textos(e->ListDestino), QStringList{"martensita.his"});
  Selecionar(e->FileListArquivos, {1});
  Tecla(e->FileListArquivos, Qt::Key_Return);
  EXPECT_EQ(Textos(e->ListDestino), (QStringList{"martensita.his", "ferrita.his"}));
  EXPECT_TRUE(e->Alterado);
}

TEST_F(PatternEditorTest, RemovingSelectedEntriesRemovesExactlyThose) {
  const struct {
    std::initializer_list<int> selected;
    QStringList left;
  } cases[] = {
      {{0, 2, 4}, {"ferrita.his", "perlita.his", "austenita.his"}},  // three apart
      {{0, 1, 3, 5}, {"martensita.his", "ferrita.his"}},             // neighbours too
      {{5}, {"austenita.his", "ferrita.his", "martensita.his", "perlita.his", "ferrita.his"}},
  };
  TFormPadrao* e = Editor();
  for (const auto& c : cases) {
    e->Alterado = false;
    e->BtnNovo->click();  // an empty list
    Incluir(e, {"austenita.his", "ferrita.his", "martensita.his", "perlita.his", "ferrita.his",
                "austenita.his"});
    e->Alterado = false;
    Selecionar(e->ListDestino, c.selected);
    e->BtnExcluir->click();
    EXPECT_EQ(Textos(e->ListDestino), c.left);
    ASSERT_EQ(e->ListaCaminhos->count(), c.left.size());
    for (int i = 0; i < e->ListaCaminhos->count(); ++i)
      EXPECT_EQ(QFileInfo(e->ListaCaminhos->item(i)->text()).fileName(), c.left[i]);
    EXPECT_TRUE(e->Alterado);
    EXPECT_TRUE(e->BtnSalvar->isEnabled());
  }
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(PatternEditorTest, RemovingTheLastEntryDisablesSaving) {
  TFormPadrao* e = Editor();
  Incluir(e, {"ferrita.his", "perlita.his"});
  // Delete released in the list, then a double click on the entry left.
  Selecionar(e->ListDestino, {0});
  Tecla(e->ListDestino, Qt::Key_Delete);
  EXPECT_EQ(Textos(e->ListDestino), QStringList{"perlita.his"});
  EXPECT_TRUE(e->BtnSalvar->isEnabled());
  DuploClique(e->ListDestino, 0);
  EXPECT_EQ(e->ListDestino->count(), 0);
  EXPECT_EQ(e->ListaCaminhos->count(), 0);
  EXPECT_TRUE(e->Alterado);
  EXPECT_FALSE(e->BtnSalvar->isEnabled());
  EXPECT_FALSE(e->BtnSalvarComo->isEnabled());
  // Nothing selected: nothing happens.
  e->BtnExcluir->click();
  EXPECT_EQ(e->ListDestino->count(), 0);
}

// ---- saving ----

TEST_F(PatternEditorTest, SaveUnderANewName) {
  TFormPadrao* e = Editor();
  Incluir(e, {"perlita.his", "ferrita.his", "perlita.his"});
  const QStringList caminhos = Textos(e->ListaCaminhos);
  Escolher(Padroes("aco1"));
  e->BtnSalvar->click();
  ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_EQ(dialogs->fileDialogs[0].title, "Salvar Padrão");
  EXPECT_EQ(dialogs->fileDialogs[0].filter, "Arquivo de Padrão(*.pat)|*.pat");
  EXPECT_EQ(dialogs->fileDialogs[0].initialDir, folder.Path() + "padroes");
  EXPECT_TRUE(dialogs->messages.empty());
  EXPECT_EQ(e->ArquivoPadrao, Padroes("aco1.pat"));
  EXPECT_FALSE(e->Alterado);
  EXPECT_EQ(e->Caption(), "Edição de Padrões: aco1.pat");
  EXPECT_EQ(e->SubWindow()->windowTitle(), "Edição de Padrões: aco1.pat");
  // The ".pac" names the full paths in list order; the ".pat" holds the columns.
  QByteArray pac = "3\r\n";
  for (const QString& c : caminhos) pac += QFile::encodeName(c) + "\r\n";
  EXPECT_EQ(Ler(Padroes("aco1.pac")), pac);
  const PatternSet set = ReadPatternSet(Nativo(Padroes("aco1.pat")));
  ASSERT_EQ(set.columns.size(), 3u);
  EXPECT_EQ(set.columns[0], Pico(40));
  EXPECT_EQ(set.columns[1], Pico(20));
  EXPECT_EQ(set.columns[2], Pico(40));
  for (double w : set.weights) EXPECT_EQ(w, 1.0);
  EXPECT_TRUE(TFormPadrao::ValidarPadrao(Padroes("aco1.pat")));
  // Saving again writes to the same name without asking.
  Incluir(e, {"austenita.his"});
  e->BtnSalvar->click();
  EXPECT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_TRUE(Ler(Padroes("aco1.pac")).startsWith("4\r\n"));
  EXPECT_FALSE(e->Alterado);
}

TEST_F(PatternEditorTest, ANameEndingInPatGetsItTwice) {
  TFormPadrao* e = Editor();
  Incluir(e, {"ferrita.his"});
  Escolher(Padroes("aco.pat"));
  e->BtnSalvar->click();
  for (const char* f : {"aco.pat.pat", "aco.pat.pac", "aco.pat.err"})
    EXPECT_TRUE(QFileInfo::exists(Padroes(f))) << f;
  EXPECT_FALSE(QFileInfo::exists(Padroes("aco.pat")));
  EXPECT_EQ(e->Caption(), "Edição de Padrões: aco.pat.pat");
}

TEST_F(PatternEditorTest, SaveOverAnExistingPattern) {
  const QString velho = Padrao("velho.pat", {Fases("austenita.his")});
  const QByteArray antes = Ler(velho);
  TFormPadrao* e = Editor();
  Incluir(e, {"ferrita.his", "perlita.his"});

  // Cancel: nothing written, nothing changed.
  Escolher(Padroes("velho"));
  dialogs->answers = {mbCancel};
  e->BtnSalvar->click();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, Existe(Padroes("velho")));
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Confirmation);
  EXPECT_EQ(dialogs->messages[0].buttons, mbYes | mbNo | mbCancel);
  EXPECT_EQ(Ler(velho), antes);
  EXPECT_TRUE(e->ArquivoPadrao.isEmpty());
  EXPECT_TRUE(e->Alterado);

  // No: the dialog again, and a new name is saved to.
  Escolher(Padroes("velho"));
  Escolher(Padroes("novo"));
  dialogs->answers = {mbNo};
  e->BtnSalvar->click();
  EXPECT_EQ(dialogs->fileDialogs.size(), 3u);
  EXPECT_EQ(dialogs->fileDialogs.back().title, "Salvar Padrão");
  EXPECT_EQ(Ler(velho), antes);
  EXPECT_EQ(e->ArquivoPadrao, Padroes("novo.pat"));
  EXPECT_TRUE(TFormPadrao::ValidarPadrao(Padroes("novo.pat")));

  // Yes (through "Salvar Como", which always asks): replaced.
  Escolher(Padroes("velho"));
  dialogs->answers = {mbYes};
  e->BtnSalvarComo->click();
  EXPECT_EQ(dialogs->fileDialogs.back().title, "Salvar Como");
  EXPECT_EQ(dialogs->messages.back().buttons, mbYes | mbNo);
  EXPECT_EQ(dialogs->messages.back().text, Existe(Padroes("velho")));
  EXPECT_EQ(e->ArquivoPadrao, velho);
  EXPECT_EQ(e->Caption(), "Edição de Padrões: velho.pat");
  EXPECT_EQ(ReadPatternSet(Nativo(velho)).columns.size(), 2u);
}

TEST_F(PatternEditorTest, SaveAsNoAsksForAnotherName) {
  Padrao("velho.pat", {Fases("austenita.his")});
  TFormPadrao* e = Editor();
  Incluir(e, {"ferrita.his"});
  Escolher(Padroes("velho"));
  Escolher(Padroes("velho"));
  Escolher(Padroes("outro"));
  dialogs->answers = {mbNo, mbNo};
  e->BtnSalvarComo->click();
  EXPECT_EQ(dialogs->fileDialogs.size(), 3u);
  EXPECT_EQ(dialogs->messages.size(), 2u);
  EXPECT_EQ(e->ArquivoPadrao, Padroes("outro.pat"));
  // A cancelled dialog changes nothing.
  e->BtnSalvarComo->click();
  EXPECT_EQ(e->ArquivoPadrao, Padroes("outro.pat"));
}

TEST_F(PatternEditorTest, AnInvalidPhaseLeavesTheExistingPatternUnchanged) {
  const QString velho = Padrao("velho.pat", {Fases("austenita.his")});
  const QByteArray pat = Ler(velho), pac = Ler(Padroes("velho.pac")),
                   err = Ler(Padroes("velho.err"));
  TFormPadrao* e = Editor();
  Incluir(e, {"ferrita.his", "perlita.his"});
  e->ArquivoPadrao = velho;
  e->SetCaption("antes");
  // The second phase is damaged after it was included.
  QFile f(Fases("perlita.his"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write("0 -0.5\r\n");
  f.close();
  e->BtnSalvar->click();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text,
            "O arquivo de fases " + e->ListaCaminhos->item(1)->text() + " não é válido!");
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  EXPECT_EQ(dialogs->messages[0].buttons, mbOK);
  EXPECT_EQ(Ler(velho), pat);
  EXPECT_EQ(Ler(Padroes("velho.pac")), pac);
  EXPECT_EQ(Ler(Padroes("velho.err")), err);
  EXPECT_TRUE(e->Alterado);
  EXPECT_EQ(e->ArquivoPadrao, velho);
  EXPECT_EQ(e->Caption(), "antes");
  // A new name is not created either.
  e->ArquivoPadrao.clear();
  Escolher(Padroes("novo"));
  e->BtnSalvar->click();
  EXPECT_FALSE(QFileInfo::exists(Padroes("novo.pat")));
  EXPECT_FALSE(QFileInfo::exists(Padroes("novo.pac")));
}

TEST_F(PatternEditorTest, AWriteErrorReachesTheErrorReport) {
  TFormPadrao* e = Editor();
  Incluir(e, {"ferrita.his"});
  Escolher(folder.File("sem/pasta/p"));
  e->BtnSalvar->click();
  // The runtime's own text, in the default error report.
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_FALSE(dialogs->messages[0].text.contains("não é válido"));
  EXPECT_TRUE(e->ArquivoPadrao.isEmpty());
  EXPECT_TRUE(e->Alterado);
}

// ---- new pattern ----

TEST_F(PatternEditorTest, NewWithoutChangesClearsWithoutAsking) {
  TFormPadrao* e = Editor();
  Incluir(e, {"ferrita.his"});
  e->Alterado = false;
  e->ArquivoPadrao = Padroes("x.pat");
  e->BtnNovo->click();
  EXPECT_TRUE(dialogs->messages.empty());
  EXPECT_EQ(e->ListDestino->count(), 0);
  EXPECT_EQ(e->ListaCaminhos->count(), 0);
  EXPECT_TRUE(e->ArquivoPadrao.isEmpty());
  EXPECT_FALSE(e->BtnSalvar->isEnabled());
  EXPECT_FALSE(e->BtnSalvarComo->isEnabled());
  EXPECT_EQ(e->Caption(), "Edição de Padrões: ");
}

TEST_F(PatternEditorTest, NewAsksAboutChanges) {
  TFormPadrao* e = Editor();
  // No: cleared, nothing saved.
  Incluir(e, {"ferrita.his"});
  dialogs->answers = {mbNo};
  e->BtnNovo->click();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, kAlterado);
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Confirmation);
  EXPECT_EQ(dialogs->messages[0].buttons, mbYes | mbNo);
  EXPECT_EQ(e->ListDestino->count(), 0);
  EXPECT_TRUE(dialogs->fileDialogs.empty());

  // Yes with a file name: saved there, then cleared.
  Incluir(e, {"perlita.his", "ferrita.his"});
  e->ArquivoPadrao = Padroes("com_nome.pat");
  dialogs->answers = {mbYes};
  e->BtnNovo->click();
  EXPECT_EQ(ReadPatternSet(Nativo(Padroes("com_nome.pat"))).columns.size(), 2u);
  EXPECT_EQ(e->ListDestino->count(), 0);
  EXPECT_TRUE(e->ArquivoPadrao.isEmpty());

  // Yes without a name: the save dialog with the title it had; a new name is saved to.
  Incluir(e, {"perlita.his"});
  Escolher(Padroes("sem_nome"));
  dialogs->answers = {mbYes};
  e->BtnNovo->click();
  ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_EQ(dialogs->fileDialogs[0].title, "Salvar Padrão");
  EXPECT_TRUE(TFormPadrao::ValidarPadrao(Padroes("sem_nome.pat")));
  EXPECT_EQ(e->ListDestino->count(), 0);
  EXPECT_EQ(e->Caption(), "Edição de Padrões: ");

  // Yes, then the save dialog cancelled: cleared without saving.
  Incluir(e, {"perlita.his"});
  dialogs->answers = {mbYes};
  e->BtnNovo->click();
  EXPECT_EQ(e->ListDestino->count(), 0);
  EXPECT_FALSE(e->Alterado);
}

TEST_F(PatternEditorTest, NewWithAnExistingNameAsksAgain) {
  const QString velho = Padrao("velho.pat", {Fases("austenita.his")});
  const QByteArray antes = Ler(velho);
  TFormPadrao* e = Editor();
  Incluir(e, {"ferrita.his"});
  // Yes, the existing name, No: the first question again; this time No.
  Escolher(Padroes("velho"));
  dialogs->answers = {mbYes, mbNo, mbNo};
  e->BtnNovo->click();
  ASSERT_EQ(dialogs->messages.size(), 3u);
  EXPECT_EQ(dialogs->messages[0].text, kAlterado);
  EXPECT_EQ(dialogs->messages[1].text,
            "O arquivo " + Padroes("velho") + ".pat já existe.\r\nDeseja substituí-lo?");
  EXPECT_EQ(dialogs->messages[1].buttons, mbYes | mbNo);
  EXPECT_EQ(dialogs->messages[2].text, kAlterado);
  EXPECT_EQ(Ler(velho), antes);
  EXPECT_EQ(e->ListDestino->count(), 0);

  // Yes to replacing: saved over it, then cleared.
  Incluir(e, {"ferrita.his", "perlita.his"});
  Escolher(Padroes("velho"));
  dialogs->answers = {mbYes, mbYes};
  e->BtnNovo->click();
  EXPECT_EQ(ReadPatternSet(Nativo(velho)).columns.size(), 2u);
  EXPECT_EQ(e->ListDestino->count(), 0);
}

TEST_F(PatternEditorTest, NewKeepsTheListWhenItsSaveFails) {
  TFormPadrao* e = Editor();
  Incluir(e, {"ferrita.his", "perlita.his"});
  QFile::remove(Fases("perlita.his"));
  Escolher(Padroes("p"));
  dialogs->answers = {mbYes};
  e->BtnNovo->click();
  ASSERT_EQ(dialogs->messages.size(), 2u);
  EXPECT_EQ(dialogs->messages[1].text,
            "O arquivo de fases " + e->ListaCaminhos->item(1)->text() + " não é válido!");
  EXPECT_EQ(Textos(e->ListDestino), (QStringList{"ferrita.his", "perlita.his"}));
  EXPECT_TRUE(e->Alterado);
  EXPECT_FALSE(QFileInfo::exists(Padroes("p.pat")));
}

// ---- opening ----

TEST_F(PatternEditorTest, OpenAPattern) {
  const QString aco = Padrao("aco.pat", {Fases("perlita.his"), Fases("ferrita.his")});
  TFormPadrao* e = Editor();
  Escolher(aco);
  e->BtnAbrirPadrao->click();
  ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_EQ(dialogs->fileDialogs[0].title, "Abrir Padrão");
  EXPECT_EQ(dialogs->fileDialogs[0].initialDir, folder.Path() + "padroes");
  EXPECT_TRUE(dialogs->messages.empty());
  EXPECT_EQ(Textos(e->ListDestino), (QStringList{"perlita.his", "ferrita.his"}));
  EXPECT_EQ(Textos(e->ListaCaminhos), (QStringList{Fases("perlita.his"), Fases("ferrita.his")}));
  EXPECT_EQ(e->ArquivoPadrao, aco);
  EXPECT_FALSE(e->Alterado);
  EXPECT_EQ(e->Caption(), "Edição de Padrões: aco.pat");
  // Opening leaves the save buttons as they were: off in a fresh window.
  EXPECT_FALSE(e->BtnSalvar->isEnabled());
  EXPECT_FALSE(e->BtnSalvarComo->isEnabled());
  Selecionar(e->ListDestino, {1});
  e->BtnExcluir->click();
  EXPECT_TRUE(e->BtnSalvar->isEnabled());
  // Saved back to the file it came from, without a dialog.
  e->BtnSalvar->click();
  EXPECT_EQ(dialogs->fileDialogs.size(), 1u);
  EXPECT_EQ(ReadPatternSet(Nativo(aco)).names,
            std::vector<std::string>{Nativo(Fases("perlita.his"))});
}

TEST_F(PatternEditorTest, OpenAndCancelSetsTheTitle) {
  TFormPadrao* e = Editor();
  e->BtnAbrirPadrao->click();
  EXPECT_EQ(e->Caption(), "Edição de Padrões: ");
  EXPECT_EQ(e->ListDestino->count(), 0);
}

TEST_F(PatternEditorTest, AnInvalidPatternShowsTheDialogAgain) {
  const QString aco = Padrao("aco.pat", {Fases("perlita.his")});
  QFile::remove(Padroes("aco.err"));
  TFormPadrao* e = Editor();
  Incluir(e, {"ferrita.his"});
  Escolher(aco);
  e->BtnAbrirPadrao->click();  // the second dialog is cancelled
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, "O arquivo " + aco + " não é válido!");
  EXPECT_EQ(dialogs->messages[0].kind, MsgKind::Error);
  EXPECT_EQ(dialogs->fileDialogs.size(), 2u);
  // The lists were not touched.
  EXPECT_EQ(Textos(e->ListDestino), QStringList{"ferrita.his"});
  EXPECT_TRUE(e->Alterado);
}

TEST_F(PatternEditorTest, InvalidPhasesOfAnOpenedPattern) {
  const QString aco =
      Padrao("aco.pat", {Fases("perlita.his"), Fases("ferrita.his"), Fases("austenita.his")});
  QFile::remove(Fases("ferrita.his"));
  const QString pergunta =
      "O Arquivo " + Fases("ferrita.his") + " não é válido!\n\rVocê deseja continuar?";
  TFormPadrao* e = Editor();

  // Yes keeps the entry and goes on.
  Escolher(aco);
  dialogs->answers = {mbYes};
  e->BtnAbrirPadrao->click();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, pergunta);
  EXPECT_EQ(dialogs->messages[0].buttons, mbYes | mbNo | mbCancel);
  EXPECT_EQ(Textos(e->ListDestino), (QStringList{"perlita.his", "ferrita.his", "austenita.his"}));
  EXPECT_EQ(e->ArquivoPadrao, aco);

  // No: the dialog again; cancelled, the entries read before stay, with no file name.
  Escolher(aco);
  dialogs->answers = {mbNo};
  e->BtnAbrirPadrao->click();
  EXPECT_EQ(dialogs->fileDialogs.size(), 3u);
  EXPECT_EQ(Textos(e->ListDestino), QStringList{"perlita.his"});
  EXPECT_EQ(Textos(e->ListaCaminhos), QStringList{Fases("perlita.his")});
  EXPECT_TRUE(e->ArquivoPadrao.isEmpty());
  EXPECT_EQ(e->Caption(), "Edição de Padrões: ");

  // Cancel: a new pattern, the window cleared without a question.
  Escolher(aco);
  dialogs->answers = {mbCancel};
  e->BtnAbrirPadrao->click();
  EXPECT_EQ(dialogs->messages.size(), 3u);
  EXPECT_EQ(e->ListDestino->count(), 0);
  EXPECT_TRUE(e->ArquivoPadrao.isEmpty());
}

TEST_F(PatternEditorTest, APatternOfTheHistogramControlNamesCurves) {
  // The histogram control writes curve names, not paths: each is asked about.
  GreyHistogram a = Pico(1), b = Pico(2);
  WritePattern(Nativo(Padroes("curvas")), {&a, &b}, {"ferrita", "perlita"});
  TFormPadrao* e = Editor();
  Escolher(Padroes("curvas.pat"));
  dialogs->answers = {mbYes, mbYes};
  e->BtnAbrirPadrao->click();
  EXPECT_EQ(dialogs->messages.size(), 2u);
  EXPECT_EQ(Textos(e->ListDestino), (QStringList{"ferrita", "perlita"}));
}

// ---- help and closing ----

TEST_F(PatternEditorTest, HelpOpensTheEditorsTopic) {
  TFormPadrao* e = Editor();
  e->HelpBtn->click();
  EXPECT_TRUE(dialogs->messages.empty());
  QTextBrowser* help = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "HelpWindow") help = qobject_cast<QTextBrowser*>(w);
  ASSERT_TRUE(help);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(QFileInfo(help->source().toLocalFile()).canonicalFilePath(),
            QFileInfo(folder.File("Ajuda.hlp")).canonicalFilePath());
}

TEST_F(PatternEditorTest, CancelAndEscapeCloseWithoutAsking) {
  TFormPadrao* e = Editor();
  Incluir(e, {"ferrita.his"});
  e->CancelBtn->click();
  Settle();
  EXPECT_TRUE(Editores().empty());
  EXPECT_TRUE(dialogs->messages.empty());

  e = Editor();
  Incluir(e, {"ferrita.his"});
  e->ListDestino->setFocus();
  Tecla(e->ListDestino, Qt::Key_Escape);
  Settle();
  EXPECT_TRUE(Editores().empty());
}

// ---- Enter in the file list ----

// Key events as they reach the file list: a press (maybe a repeat of a held key) or a
// release.
void Evento(QWidget* w, QEvent::Type type, int key, bool repeat = false) {
  if (type == QEvent::FocusOut) {
    QFocusEvent e(type, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(w, &e);
    return;
  }
  QKeyEvent e(type, key, Qt::NoModifier, QString(), repeat);
  QApplication::sendEvent(w, &e);
}

// Enter includes at its press, once however long it is held; a release alone (the Enter
// that confirmed a dialog, let go over the list) includes nothing.
TEST_F(PatternEditorTest, EnterIncludesAtItsPressOnly) {
  const struct {
    const char* name;
    std::vector<std::pair<QEvent::Type, bool>> events;  // type, auto-repeat
    int added;
  } cases[] = {
      {"press and release", {{QEvent::KeyPress, false}, {QEvent::KeyRelease, false}}, 1},
      {"release alone", {{QEvent::KeyRelease, false}}, 0},
      {"held down",
       {{QEvent::KeyPress, false},
        {QEvent::KeyRelease, true},
        {QEvent::KeyPress, true},
        {QEvent::KeyRelease, true},
        {QEvent::KeyPress, true},
        {QEvent::KeyRelease, false}},
       1},
      // Repeats that come as presses alone, not marked as repeats (some X servers).
      {"held down, unmarked repeats",
       {{QEvent::KeyPress, false},
        {QEvent::KeyPress, false},
        {QEvent::KeyPress, false},
        {QEvent::KeyRelease, false}},
       1},
      // The release went to another window: the next press is a new one.
      {"focus lost while held",
       {{QEvent::KeyPress, false},
        {QEvent::FocusOut, false},
        {QEvent::KeyPress, false},
        {QEvent::KeyRelease, false}},
       2},
      {"two presses",
       {{QEvent::KeyPress, false},
        {QEvent::KeyRelease, false},
        {QEvent::KeyPress, false},
        {QEvent::KeyRelease, false}},
       2},
  };
  TFormPadrao* e = Editor();
  for (int key : {int(Qt::Key_Return), int(Qt::Key_Enter)})
    for (const auto& c : cases) {
      SCOPED_TRACE(::testing::Message() << c.name << ", key " << key);
      e->Alterado = false;
      e->BtnNovo->click();
      Selecionar(e->FileListArquivos, {Linha(e->FileListArquivos, "ferrita.his")});
      for (const auto& [type, repeat] : c.events) Evento(e->FileListArquivos, type, key, repeat);
      EXPECT_EQ(e->ListDestino->count(), c.added);
      EXPECT_EQ(e->ListaCaminhos->count(), c.added);
    }
}

// The Enter that confirms the save dialog is let go over the file list: the pattern
// written and the list shown stay the same.
TEST_F(PatternEditorTest, EnterConfirmingTheSaveDialogAddsNothing) {
  TFormPadrao* e = Editor();
  Incluir(e, {"perlita.his"});
  e->FileListArquivos->setFocus();
  Escolher(Padroes("um"));
  e->BtnSalvar->click();
  Evento(e->FileListArquivos, QEvent::KeyRelease, Qt::Key_Return);
  EXPECT_EQ(Textos(e->ListDestino), QStringList{"perlita.his"});
  EXPECT_TRUE(Ler(Padroes("um.pac")).startsWith("1\r\n"));
  EXPECT_FALSE(e->Alterado);
}

// Opening a pattern of three phases shows three entries, with the Enter of the open dialog
// let go over the file list.
TEST_F(PatternEditorTest, EnterConfirmingTheOpenDialogAddsNothing) {
  const QString tres =
      Padrao("tres.pat", {Fases("austenita.his"), Fases("ferrita.his"), Fases("perlita.his")});
  TFormPadrao* e = Editor();
  Selecionar(e->FileListArquivos, {Linha(e->FileListArquivos, "martensita.his")});
  Escolher(tres);
  e->BtnAbrirPadrao->click();
  Evento(e->FileListArquivos, QEvent::KeyRelease, Qt::Key_Return);
  EXPECT_EQ(Textos(e->ListDestino), (QStringList{"austenita.his", "ferrita.his", "perlita.his"}));
  EXPECT_EQ(e->ListaCaminhos->count(), 3);
  EXPECT_FALSE(e->Alterado);
}

}  // namespace
}  // namespace vandrel::testing
