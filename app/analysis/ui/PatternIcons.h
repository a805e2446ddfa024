#pragma once
// The pictures of the pattern editor's tool buttons, drawn rather than shipped.
#include <QIcon>
#include <QString>

// One of: "novo", "salvarcomo", "ajuda", drawn here for the editor, and "abrir" and
// "salvar", which are the main window's own.
QIcon PatternIcon(const QString& name);
