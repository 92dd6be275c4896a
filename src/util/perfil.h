// A settings ("profile") file in the classic INI format, read and written with
// the semantics the program's settings were designed around:
//
//  - "[section]" headers and "key=value" lines; section and key names compare
//    without regard to case (ASCII and the accented Latin-1 letters);
//  - a missing file, section or key reads as the empty string;
//  - a value is read into a 240-character buffer: at most 239 characters come
//    back, trimmed of blanks at both ends (a value wrapped in a pair of double
//    quotes loses them, as the classic reader does);
//  - the file is read as UTF-8 when its bytes are valid UTF-8 (a byte-order
//    mark allowed), else as Windows-1252 (one byte per letter, "BÁSICO" as
//    the classic program wrote it); it is written back in that encoding, a
//    new file in UTF-8. A Windows-1252 file that must take a character the
//    code page lacks is converted to UTF-8 as a whole, so nothing becomes "?";
//  - writing one key rewrites the file keeping every other section, key,
//    comment and malformed line (binary junk, lines without "=") byte for byte,
//    replaces the key's line in place, or adds the key after the last line of
//    its section, or adds the section at the end;
//  - a write goes to a temporary file in the same folder that is then renamed
//    over the old one, so a crash never leaves a half-written settings file
//    (a symlinked file stays a link, and keeps its permissions).
//
// Every call reads the file afresh, as the classic calls do, so two writers in
// one program never overwrite each other's keys.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kalyxon::util {

class Perfil {
 public:
  // The size of the read buffer, terminating NUL included.
  static constexpr std::size_t kBuffer = 240;

  explicit Perfil(std::filesystem::path fichero) : fichero_(std::move(fichero)) {}

  const std::filesystem::path& fichero() const { return fichero_; }

  // The value of `clave` in `seccion`, or "" when the file, section or key is
  // missing.
  std::u16string lee(const std::u16string& seccion, const std::u16string& clave) const;

  // Stores one value; true when the file was written.
  bool escribe(const std::u16string& seccion, const std::u16string& clave,
               const std::u16string& valor) const;

  // Stores several values of one section with a single rewrite of the file
  // (new keys are added in the order given). True when the file was written.
  bool escribe(const std::u16string& seccion,
               const std::vector<std::pair<std::u16string, std::u16string>>& valores) const;

  // The same on the bytes of a file held in memory ("" for a missing one):
  // the value read, and the bytes the file is rewritten with.
  static std::u16string lee(std::string_view contenido, const std::u16string& seccion,
                            const std::u16string& clave);
  static std::string escribe(std::string_view contenido, const std::u16string& seccion,
                             const std::vector<std::pair<std::u16string, std::u16string>>& valores);

 private:
  std::filesystem::path fichero_;
};

}  // namespace kalyxon::util
