#pragma once
// The grey-level histogram of one image of an analysis run. A path whose extension is
// exactly ".grey" (letter case counts: ".GREY" is not it) is read as the raw 512 x 512
// image; every other file goes through the picture loader, which picks its reader by
// extension.
#include <string>

#include "app/histograms/model/GreyLevels.h"

namespace vandrel {

// The 256 grey-level counts of the image. The raw image's short file raises "Read beyond
// end of file"; a picture that is not 8-bit palette-indexed (its pixel bytes are not grey
// levels) or that has no pixel raises an Exception naming the file; the loader's and the
// readers' errors pass through.
// `threads` is what CountGreyLevels counts on.
GreyCounts ContagemDaImagem(const std::string& path, unsigned threads = 0);

// The counts divided by their sum: the histogram that the fitting methods take.
GreyHistogram HistogramaDaImagem(const std::string& path, unsigned threads = 0);

}  // namespace vandrel
