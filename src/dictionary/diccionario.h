// The dictionary subsystem: the running word, its lookup and the candidates.
#pragma once

#include <cstdint>
#include <string>

namespace kalyxon {

class Kalyxon;

class Diccionario {
 public:
  explicit Diccionario(Kalyxon& k) : k_(k) {}
  // With 0 resets the running word; with a key code extends it and searches.
  void cadenaGriego(int32_t caracter, bool mayuscula);
  // Looks up a whole Greek word (dropped on the window).
  void revisaGriego(const std::u16string& palabra);

 private:
  [[maybe_unused]] Kalyxon& k_;
};

}  // namespace kalyxon
