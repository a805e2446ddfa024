#pragma once
// The undo log of the phase histogram: a file of fixed-size records, one per selection
// added to the phase. Each record is 1024 bytes, the 256 grey-level counts of one selection
// as signed 32-bit little-endian integers, with no header. The position stands at the end
// of the last record in force: the records before it can be undone, the records from it on
// (up to NumRefazer() of them) can be redone. A new record written over a redo tail does not
// shorten the file; the stale records beyond it are never read again.
//
// Failures to create, write or read the file raise EInOutError naming the file and leave
// the records in force as they were, so a caller that applies a step only after the log
// took it never disagrees with the log. (A write that fails halfway over a redo tail has
// spoilt the record there: the redo tail is dropped then.)
#include <array>
#include <cstdint>
#include <string>

#include "app/histograms/model/GreyLevels.h"

namespace vandrel {

class TUndoClass {
 public:
  static constexpr int64_t kRecordSize = 256 * 4;

  // Creates the file or empties an existing one, and locks it for the life of the log. When
  // another log holds it (a second instance of the program), that log's records are left
  // alone and this one keeps its own in a file beside it, NomeDaInstancia(fileName, 1) (or
  // the next free one). When creating fails the log stays empty and the next Adicionar tries
  // again (and raises the error if it still fails).
  explicit TUndoClass(const std::string& fileName);
  // Closes the file; it stays on disk, except a file of this instance's own name.
  ~TUndoClass();
  TUndoClass(const TUndoClass&) = delete;
  TUndoClass& operator=(const TUndoClass&) = delete;

  // Removes the file and closes it, at the end of the program, when no one will step
  // through its records again. The log is empty then; a later Adicionar starts a new file.
  void Remover();

  // Writes `counts` as a record at the position, which moves past it. Undo becomes possible
  // and the redo tail is dropped.
  void Adicionar(const GreyCounts& counts);
  // Steps back over the last record in force: current - record. Every entry is -1 when
  // there is nothing to undo (and nothing changes).
  GreyCounts Desfazer(const GreyCounts& current);
  // Reads the record at the position again: current + record. Every entry is -1 when there
  // is nothing to redo (and nothing changes).
  GreyCounts Refazer(const GreyCounts& current);

  int32_t NumDesfazer() const { return numDesfazer_; }
  int32_t NumRefazer() const { return numRefazer_; }
  bool PodeDesfazer() const { return podeDesfazer_; }
  bool PodeRefazer() const { return podeRefazer_; }

  // The file the records go to.
  const std::string& Arquivo() const { return path_; }
  // "zundo.tmp" -> "zundo.<process id>.tmp", then "zundo.<process id>-<n>.tmp" for n > 1.
  static std::string NomeDaInstancia(const std::string& fileName, int n);
  // The position in bytes: the end of the last record in force.
  int64_t Posicao() const { return posicao_; }

  // The bytes of a record and back.
  static std::array<uint8_t, kRecordSize> Codificar(const GreyCounts& counts);
  static GreyCounts Decodificar(const std::array<uint8_t, kRecordSize>& bytes);

 private:
  // Opens the file, creating or emptying it; false (with errno set) when it cannot.
  bool Abrir();
  void DescartarRefazer();
  std::array<uint8_t, kRecordSize> LerRegistro(int64_t at) const;

  std::string nome_;      // the name asked for
  std::string path_;      // the file in use
  bool proprio_ = false;  // a name of this instance's own, removed with the log
  int fd_ = -1;
  int32_t numDesfazer_ = 0;
  int32_t numRefazer_ = 0;
  bool podeDesfazer_ = false;
  bool podeRefazer_ = false;
  int64_t posicao_ = 0;
};

}  // namespace vandrel
