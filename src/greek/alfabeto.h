// The alphabet tables of ALPHA.db, loaded once into memory.
#pragma once

namespace kalyxon {

class Kalyxon;

class Alfabeto {
 public:
  explicit Alfabeto(Kalyxon& k) : k_(k) {}

 private:
  [[maybe_unused]] Kalyxon& k_;
};

}  // namespace kalyxon
