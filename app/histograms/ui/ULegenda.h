#pragma once
// The legend of a histogram overlay, shared by the windows that overlay curves: each curve's
// name as it is shown, and the panel of coloured squares with the names beside them.
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/histograms/model/HistogramData.h"

class QLabel;
class QWidget;
class TShape;

// The curve's name as the legends and the dialogs show it: no folder, no extension.
QString NomeDaCurva(const std::string& nome);

// Fills a legend panel with a square in each curve's colour and its name beside it, `porLinha`
// to a row; a press on a square goes to `aoPressionar`. The squares and labels made are
// appended to the two lists; returns the panel height the layout needs.
int PreencherLegenda(QWidget* painel, const vandrel::TArrayDeHistogramas& curvas, int porLinha,
                     const std::function<void(TShape*)>& aoPressionar,
                     std::vector<TShape*>& quadrados, std::vector<QLabel*>& rotulos);
