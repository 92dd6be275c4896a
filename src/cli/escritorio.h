// What the desktop program's start shares across its front ends (Qt on
// Linux, native windows on Windows): its command-line options and the
// message when the program folder cannot be made.
#pragma once

#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kalyxon::cli {

struct OpcionesEscritorio {
  std::optional<std::filesystem::path> carpeta;  // --settings-dir DIR
  // --griego: the notice is accepted and "Griego" ticked at start, as a user
  // would do by hand (for the end-to-end tests and for shortcuts).
  bool griego = false;
};

// What a front end's own option does: taken, unknown, or wrong (the front
// end has said why on standard error).
enum class Opcion { Tomada, Desconocida, Erronea };

// Reads the program's arguments (argv[1] on). `propia` is asked about each
// argument the common ones do not take, with its index (which it advances
// past a value it takes). On a bad option the message is on standard error
// and the result is empty: the program ends with status 2.
std::optional<OpcionesEscritorio> leeOpcionesEscritorio(
    int argc, char** argv,
    const std::function<Opcion(const std::vector<std::string>&, size_t&, OpcionesEscritorio&)>& propia = {});

// The message box text when the program folder cannot be prepared.
std::u16string mensajeCarpeta(const std::exception& e);

}  // namespace kalyxon::cli
