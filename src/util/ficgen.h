// File helpers: whole 8-bit text files in and out, and splitting a file too
// large for the conversion window into pieces. File text is Windows-1252
// (util/cp1252.h): one byte per character, a character the code page lacks
// written as "?". Paths are UTF-8.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/platform.h"

namespace kalyxon::FicGen {

// A file that could not be read or written. description() is the reason in
// the words the program shows its users ("No se encontró el archivo"...).
class FicheroError : public std::runtime_error {
 public:
  FicheroError(const std::filesystem::path& path, std::error_code ec);
  const std::u16string& description() const { return description_; }
  std::error_code code() const { return code_; }

 private:
  std::error_code code_;
  std::u16string description_;
};

// The user-facing description of a file error on `path`.
std::u16string descripcionError(std::error_code ec, const std::filesystem::path& path);

// A file written whole or not at all, in as many pieces as its writer has:
// the bytes go to a new temporary file with an unpredictable name in the
// same folder (created exclusively, never through a link), flushed to disk,
// which `termina` renames over the old file only once complete. The new file
// keeps the old one's permissions; a symlink keeps being a link and its
// target gets the bytes; a device, a FIFO or one of the process's own
// streams (/dev/stdout) is written in place as the bytes come. Only a small
// buffer is kept, so a file of any size costs the same memory. Destroyed
// before `termina`, the write is abandoned and the old file stays. Every file
// the program writes goes through here.
class EscrituraAtomica {
 public:
  // Opens the temporary file (or the device); `error()` tells whether that failed.
  explicit EscrituraAtomica(std::filesystem::path fichero);
  ~EscrituraAtomica();
  EscrituraAtomica(const EscrituraAtomica&) = delete;
  EscrituraAtomica& operator=(const EscrituraAtomica&) = delete;

  // Appends bytes; after a failure they are dropped and `termina` reports it.
  void escribe(std::string_view bytes);
  // Completes the file. Returns the first error met since opening (the
  // temporary file is then gone and the old file as it was), or an empty
  // error_code.
  std::error_code termina();
  std::error_code error() const { return error_; }

 private:
  void saca(std::string_view bytes);  // to the file now
  void vacia();
  std::filesystem::path destino_, temporal_;
#ifdef _WIN32
  void* h_ = nullptr;  // the temporary file's HANDLE
#else
  int fd_ = -1;
  bool propio_ = false;  // one of the process's own streams: left open
#endif
  std::string pendiente_;
  std::error_code error_;
};

// Writes `bytes` to `fichero` whole or not at all, as EscrituraAtomica does.
std::error_code escribeBytes(const std::filesystem::path& fichero, std::string_view bytes);

// Writes `texto` followed by CR LF to `fichero`, replacing any file there.
// The text goes to a temporary file beside it that is renamed over the old
// one only once complete, so a failed write leaves the old file as it was.
// Throws FicheroError.
void grabaFichero(const std::filesystem::path& fichero, std::u16string_view texto);

// Splits `fichero` into pieces of `nCaracteres` characters (the last holds
// what remains), written with grabaFichero - so each ends with CR LF - beside
// it as stem + k + "." + extension, where the stem is the path up to its
// first "." (wherever that is, a folder name included) and the extension the
// rest. Returns the number of pieces written; an empty file gives none.
// A read or write error is shown in a message box and the pieces completed
// are counted. A path without any "." or a piece size below 1 is refused
// with a message box, and nothing is written (result 0).
int divideFichero(const std::string& fichero, long nCaracteres, platform::MessageBox& mensajes);

// The whole text of `fichero` (after replacing its first "\..\" by "\").
// On an error shows "<path> <description>" and returns the empty text.
std::u16string leeFichero(const std::string& fichero, platform::MessageBox& mensajes);

}  // namespace kalyxon::FicGen
