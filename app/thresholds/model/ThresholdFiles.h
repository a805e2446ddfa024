#pragma once
// The thresholds window's two binary files, each one fixed-size record and nothing else:
// ".als" holds a threshold record (18 bytes: the count, then lim[0..16]), ".pcs" a phase
// palette (48 bytes). A longer file is read for its first record only.
//
// Reading never changes anything before the whole record has been read and checked: a
// file that cannot be opened raises the runtime's input/output error ("File not found",
// ...), a shorter one "Read beyond end of file", and a threshold record this program could
// not have written (count 0 or above 15, lim[0] not 0, lim[16] not 255) raises Exception
// with a text naming the file.
#include <span>
#include <string>

#include "app/thresholds/model/PhasePalette.h"
#include "app/thresholds/model/ThresholdRecord.h"

namespace vandrel {

// The record in its 18 bytes.
std::array<uint8_t, kTamanhoRegistroLimiares> BytesDoRegistro(const RegistroLimiares& r);
// The record of the first 18 bytes, unchecked; "Read beyond end of file" when fewer.
RegistroLimiares RegistroDosBytes(std::span<const uint8_t> bytes);
// Whether the window can take the record: 1..15 thresholds between lim[0] = 0 and
// lim[16] = 255. The thresholds need not be in order; the window sorts them.
bool RegistroValido(const RegistroLimiares& r);

// The record of a ".als" file as stored, checked by RegistroValido. The one reader of
// threshold files: the thresholds window and the fitting method dialog both take their
// records through it, and both put the thresholds in order with OrdenarLimiares before
// they use them.
RegistroLimiares LerArquivoLimiares(const std::string& path);
// Writes the record as it is (any count), replacing the file in one piece.
void GravarArquivoLimiares(const std::string& path, const RegistroLimiares& r);

PaletaFases LerArquivoPaleta(const std::string& path);
void GravarArquivoPaleta(const std::string& path, const PaletaFases& p);

// `name` with `extension` (".als") appended unless the text after its last '.' in the
// last path component is exactly that extension, letter case included: "a.ALS" becomes
// "a.ALS.als".
std::string ComExtensao(const std::string& name, const std::string& extension);

}  // namespace vandrel
