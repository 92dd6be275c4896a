// An error report written to its file line by line as a conversion finds
// failures, so that its size never lives in memory.
//
// A regular file is replaced only when the report is complete: the lines go
// to a temporary file beside it, renamed over it by `cierra`. A device or a
// FIFO (/dev/stderr, /dev/null, a pipe) is written directly.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "conversion/conversores.h"

namespace kalyxon::conversion {

class InformeFichero : public Informe {
 public:
  enum class Codificacion { kCp1252, kUtf8 };
  // Opens the report; `error()` tells whether that failed.
  InformeFichero(std::filesystem::path fichero, Codificacion c);
  ~InformeFichero() override;
  InformeFichero(const InformeFichero&) = delete;
  InformeFichero& operator=(const InformeFichero&) = delete;

  // Writes the summary and puts the file in place. Returns the first error
  // met since opening (then the old file, if any, is left as it was).
  std::error_code cierra();
  std::error_code error() const { return error_; }

 protected:
  void escribe(std::u16string_view linea) override;

 private:
  std::filesystem::path fichero_, temporal_;
  Codificacion codificacion_;
  std::FILE* f_ = nullptr;
  std::error_code error_;
  std::u16string previa_;  // the last line and its bytes, as lines repeat
  std::string bytes_;
};

}  // namespace kalyxon::conversion
