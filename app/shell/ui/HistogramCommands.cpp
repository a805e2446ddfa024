// The main window's commands of the phase and histogram windows: a new phase, adding the
// active image's selection to it, undo and redo, saving the phase and showing its window;
// an empty histogram window, one with the histogram of the active image, and one with the
// document given on the command line.
#include <QFile>
#include <QFileInfo>
#include <QToolButton>
#include <algorithm>

#include "app/histograms/ui/UDSHistograma.h"
#include "app/histograms/ui/UHistoFixo.h"
#include "app/histograms/ui/UHistograma.h"
#include "app/imaging/ui/UnitImagem.h"
#include "app/settings/model/URecursos.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/ErrorReport.h"

namespace {

// The phase window among the children, unless its close handler has already run.
TFormHistoFixo* JanelaDeFase(const TFormPrincipal& principal) {
  for (TForm* filha : principal.Filhas())
    if (auto* fase = dynamic_cast<TFormHistoFixo*>(filha); fase && !fase->Fechada()) return fase;
  return nullptr;
}

bool HaImagem(const TFormPrincipal& principal) {
  const std::vector<TForm*> filhas = principal.Filhas();
  return std::any_of(filhas.begin(), filhas.end(), [](TForm* f) { return IsImageWindow(f); });
}

// Adds the bytes of the image pixels from `a` to `b`, both corners included, to `counts`.
// Four tables take turns so that runs of one grey level do not wait on the same counter.
void ContarSelecao(const vandrel::Bitmap& bitmap, vandrel::Point a, vandrel::Point b,
                   vandrel::GreyCounts& counts) {
  const int x1 = std::max(a.x, 0), y1 = std::max(a.y, 0);
  const int x2 = std::min(b.x, bitmap.width() - 1), y2 = std::min(b.y, bitmap.height() - 1);
  if (x2 < x1 || y2 < y1) return;
  uint32_t t[4][256] = {};
  const size_t n = size_t(x2 - x1 + 1);
  for (int y = y1; y <= y2; ++y) {
    const uint8_t* p = bitmap.scanLine(y) + x1;
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
      ++t[0][p[i]];
      ++t[1][p[i + 1]];
      ++t[2][p[i + 2]];
      ++t[3][p[i + 3]];
    }
    for (; i < n; ++i) ++t[0][p[i]];
  }
  for (size_t g = 0; g < 256; ++g)
    counts[g] = int32_t(uint32_t(counts[g]) + t[0][g] + t[1][g] + t[2][g] + t[3][g]);
}

}  // namespace

void TFormPrincipal::NovaFaseExecute() {
  if (FaseAberta && JanelaFase) {
    PerguntarSalvarFase(false);
    JanelaFase->Close();
  }
  // After the old phase's close handler, which switches the add button off.
  BAdicionar->setEnabled(true);
  AdicionarSeleo1->setEnabled(true);
  SalvarFase1->setEnabled(true);
  auto* fase = new TFormHistoFixo(this);
  JanelaFase = fase;
  DefinirFaseAberta(true);
  Contagens.fill(0);
  AdicionarSelecao->setEnabled(true);
  Desfazer->setEnabled(false);
  Refazer->setEnabled(false);
  fase->Histograma->Limpar();
  fase->Show();
}

bool TFormPrincipal::PerguntarSalvarFase(bool cancelar) {
  // Only a phase that was never saved is asked about, so the name shown is empty.
  if (!FaseAberta || !JanelaFase || JanelaFase->Salvo) return true;
  const int botoes = vandrel::mbYes | vandrel::mbNo | (cancelar ? vandrel::mbCancel : 0);
  const int resposta =
      vandrel::MessageDlg("Deseja salvar as alterações em \r" + JanelaFase->NomeArquivo + "?",
                          vandrel::MsgKind::Confirmation, botoes);
  if (resposta == vandrel::mbNo) return true;
  if (resposta != vandrel::mbYes) return false;
  JanelaFase->BtSalvarHistogramaClick();
  return !JanelaFase || JanelaFase->Salvo;
}

void TFormPrincipal::AdicionarSelecaoExecute() {
  if (!HaImagem(*this)) {
    vandrel::ShowMessage("Primeiro deve-se abrir uma imagem");
    return;
  }
  TForm* ativa = FilhaAtiva();
  TFormImagem* usada = nullptr;
  if (ativa && ativa->ClassName() == "TFormImagem")
    usada = dynamic_cast<TFormImagem*>(ativa);
  else if (ativa && ativa->ClassName() == "TFormImagemSaida") {
    // A selection drawn on a result is counted on the image it was computed from.
    if (auto* saida = dynamic_cast<TFormImagemSaida*>(ativa)) usada = saida->Origem;
  }
  if (!usada) {
    vandrel::ShowMessage("Selecione uma imagem!");
    return;
  }
  // Only the bytes of an 8-bit image are grey levels; those of a colour image would count
  // parts of its colour triples.
  if (usada->BitmapImagem.format() != vandrel::PixelFormat::pf8bit) {
    vandrel::ShowMessage("Essa não é uma imagem de 8 bits");
    return;
  }

  // Whatever happens below, the counts of this selection are not left for the next one.
  struct Zerar {
    std::array<int32_t, 256>& counts;
    ~Zerar() { counts.fill(0); }
  } zerar{Contagens};
  ContarSelecao(usada->BitmapImagem, usada->InicioSelecao(), usada->FimSelecao(), Contagens);
  if (FaseAberta && JanelaFase) {
    JanelaFase->AdicionarSelecao(Contagens);
    if (vandrel::LerConfig("Configuracao_selecao", "marcar") == "SIM") usada->MarcarSelecao();
    JanelaFase->Show();
  } else {
    vandrel::ShowMessage("Você deve clicar em \"Nova Fase\"");
  }
  Desfazer->setEnabled(true);
}

void TFormPrincipal::DesfazerExecute() {
  TFormHistoFixo* fase = JanelaDeFase(*this);
  if (!fase) return;
  fase->Desfazer();
  Desfazer->setEnabled(fase->PodeDesfazer);
  Refazer->setEnabled(fase->PodeRefazer);
}

void TFormPrincipal::RefazerExecute() {
  TFormHistoFixo* fase = JanelaDeFase(*this);
  if (!fase) return;
  fase->Refazer();
  Desfazer->setEnabled(fase->PodeDesfazer);
  Refazer->setEnabled(fase->PodeRefazer);
}

void TFormPrincipal::SalvarFaseExecute() {
  if (FaseAberta && JanelaFase) JanelaFase->BtSalvarHistogramaClick();
}

void TFormPrincipal::FaseFechada() {
  // In analysis mode the phase commands go back to their state without a phase. In
  // composition mode "Adicionar Seleção" and "Salvar Fase" stay on: the add command then
  // tells the user to start a new phase.
  if (Composicao->isEnabled()) {
    NovaFase->setEnabled(true);
    AdicionarSelecao->setEnabled(false);
    SalvarFase->setEnabled(false);
    DefinirFaseAberta(false);
    Contagens.fill(0);
  }
  Desfazer->setEnabled(false);
  Refazer->setEnabled(false);
  DefinirFaseAberta(false);
}

void TFormPrincipal::MostrarHistogramaExecute() {
  if (!HaImagem(*this)) {
    vandrel::ShowMessage("Você deve primeiro abrir uma imagem");
    return;
  }
  if (TFormHistoFixo* fase = JanelaDeFase(*this))
    fase->Show();
  else
    NovaFase->trigger();
}

void TFormPrincipal::HistogramaExecute() { new TFormHistograma(this); }

void TFormPrincipal::HistogramaDaImagemExecute() {
  TFormImagem* image = ImagemAtiva(true);
  if (!image) return;
  // The histogram is taken from a copy, so that nothing the window does reaches the image.
  const vandrel::Bitmap copia = image->BitmapImagem;
  auto* janela = new TFormHistograma(this);
  janela->SetCaption(image->Nome);
  janela->Histograma->CalcularDeBitmap(copia);
  janela->BtSobrepor->setEnabled(true);
}

void TFormPrincipal::AbrirHistogramaDoArgumento(const QString& file,
                                                const QString& upperExtension) {
  auto* janela = new TFormHistograma(this);
  janela->SetCaption(QFileInfo(file).fileName());
  const std::string caminho = QFile::encodeName(file).toStdString();
  // A file that cannot be read is reported here, so that the start goes on and counts the
  // document as handled: a later show of the main window does not try it again. A document
  // of any other kind (a picture a file manager passes, a text) is read as a histogram file,
  // as the histogram window reads a file it is given: one that is not gets the reader's
  // message, and the window stays empty.
  vandrel::Guarded([&] {
    if (upperExtension == ".PAT")
      janela->Histograma->CarregarPadrao(caminho);
    else
      janela->Histograma->CarregarHis(caminho);
  });
}
