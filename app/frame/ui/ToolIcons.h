#pragma once
// The pictures of the main window's tool buttons, drawn rather than shipped.
#include <QIcon>
#include <QPixmap>
#include <QString>

// One of: "abrir", "salvar", "desfazer", "refazer", "adicionar", "lista", "fase", "histograma",
// "histoimagem", "limiares", "contraste", "similares", "brilho", "media", "cinza", "rgb".
QIcon ToolIcon(const QString& name);

// The program's own picture: grains of three phases, as the program colours them.
QPixmap ProgramPicture(int size);
