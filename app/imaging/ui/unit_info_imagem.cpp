#include "app/imaging/ui/unit_info_imagem.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/frame/ui/Frame.h"
#include "platform/Bitmap.h"
#include "platform/qt/ErrorReport.h"

TForminfo_imagem::TForminfo_imagem(QObject* owner) : TForm(nullptr) {
  setObjectName("Forminfo_imagem");
  SetOwner(owner);
  auto* outer = new QVBoxLayout(this);
  auto* bevel = new QFrame(this);
  bevel->setObjectName("Bevel1");
  bevel->setFrameShape(QFrame::Box);
  bevel->setFrameShadow(QFrame::Sunken);
  auto* inner = new QVBoxLayout(bevel);
  Label6 = new QLabel("Informações da imagem", bevel);
  QFont title = Label6->font();
  title.setBold(true);
  title.setPixelSize(16);
  Label6->setFont(title);
  inner->addWidget(Label6);
  const char* designCaptions[] = {"Tipo", "Largura", "Altura", "Tamanho do arquivo",
                                  "memória exigida"};
  QLabel** labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5};
  for (int i = 0; i < 5; ++i) {
    *labels[i] = new QLabel(designCaptions[i], bevel);
    (*labels[i])->setObjectName(QString("Label%1").arg(i + 1));
    inner->addWidget(*labels[i]);
  }
  outer->addWidget(bevel);
  SpeedButton1 = new QPushButton("OK", this);
  SpeedButton1->setObjectName("SpeedButton1");
  SpeedButton1->setFlat(true);
  QFont bold = SpeedButton1->font();
  bold.setBold(true);
  SpeedButton1->setFont(bold);
  // Taller with a larger font, so that its text stays whole.
  SpeedButton1->setFixedSize(57, std::max(22, QFontMetrics(bold).height() + 6));
  outer->addWidget(SpeedButton1, 0, Qt::AlignHCenter);
  vandrel::OnClicked(SpeedButton1, [this] { SpeedButton1Click(); });
  SetCaption("Informações da imagem");
  if (Frame* frame = CurrentFrame()) frame->AdicionarFilha(this);
}

void TForminfo_imagem::MostrarInfo(const vandrel::Bitmap& b) {
  int bytes = 3;
  switch (b.format()) {
    case vandrel::PixelFormat::pf8bit:
      Label1->setText("Tipo: 8 bits");
      bytes = 1;
      break;
    case vandrel::PixelFormat::pf24bit:
      Label1->setText("Tipo: 24 bits");
      break;
    default:
      Label1->setText("Tipo: Desconhecido");
      break;
  }
  Label2->setText(QString("Largura: %1 pixels").arg(b.width()));
  Label3->setText(QString("Altura: %1 pixels").arg(b.height()));
  // Signed 32-bit arithmetic, as the figure has always been computed.
  const auto memory = static_cast<int32_t>(static_cast<uint32_t>(b.width()) *
                                           static_cast<uint32_t>(b.height()) * uint32_t(bytes));
  Label4->setText(QString("Memória real exigida: %1 Bytes").arg(memory));
  Label5->setText(QString());
  AjustarAoTexto();
}

void TForminfo_imagem::AjustarAoTexto() {
  ensurePolished();
  layout()->activate();
  FitFrameTo(sizeHint().expandedTo(minimumSizeHint()));
}

void TForminfo_imagem::showEvent(QShowEvent* event) {
  TForm::showEvent(event);
  // The fonts the texts are drawn with are settled once the window is shown.
  AjustarAoTexto();
}
