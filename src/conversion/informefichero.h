// An error report written to its file line by line as a conversion finds
// failures, so that its size never lives in memory.
//
// The file is written by FicGen::EscrituraAtomica: a regular file is replaced
// only when the report is complete, a device or a FIFO (/dev/stderr,
// /dev/null, a pipe) is written as the lines come.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include "conversion/conversores.h"
#include "util/ficgen.h"

namespace kalyxon::conversion {

class InformeFichero : public Informe {
 public:
  enum class Codificacion { kCp1252, kUtf8 };
  // Opens the report; `error()` tells whether that failed.
  InformeFichero(std::filesystem::path fichero, Codificacion c)
      : fichero_(std::move(fichero)), codificacion_(c) {}

  // Writes the summary and puts the file in place. Returns the first error
  // met since opening (then the old file, if any, is left as it was).
  std::error_code cierra() {
    termina();
    return fichero_.termina();
  }
  std::error_code error() const { return fichero_.error(); }

 protected:
  void escribe(std::u16string_view linea) override;

 private:
  FicGen::EscrituraAtomica fichero_;
  Codificacion codificacion_;
  std::u16string previa_;  // the last line and its bytes, as lines repeat
  std::string bytes_;
};

}  // namespace kalyxon::conversion
