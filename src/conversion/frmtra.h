// The conversion window's model and its converters.
#pragma once

#include <string>

namespace kalyxon {

class Kalyxon;

class Frmtra {
 public:
  explicit Frmtra(Kalyxon& k) : k_(k) {}

 private:
  [[maybe_unused]] Kalyxon& k_;
};

}  // namespace kalyxon
