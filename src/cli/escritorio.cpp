#include "cli/escritorio.h"

#include <iostream>

#include "app/carpeta.h"
#include "util/utf.h"

namespace kalyxon::cli {

std::optional<OpcionesEscritorio> leeOpcionesEscritorio(
    int argc, char** argv,
    const std::function<Opcion(const std::vector<std::string>&, size_t&, OpcionesEscritorio&)>& propia) {
  std::vector<std::string> args(argv + 1, argv + argc);
  OpcionesEscritorio o;
  try {
    o.carpeta = extraeCarpetaAjustes(args);
  } catch (const std::exception& e) {
    std::cerr << "kalyxon: " << e.what() << "\n";
    return std::nullopt;
  }
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--griego") {
      o.griego = true;
      continue;
    }
    const Opcion r = propia ? propia(args, i, o) : Opcion::Desconocida;
    if (r == Opcion::Erronea) return std::nullopt;
    if (r == Opcion::Desconocida) {
      std::cerr << "kalyxon: unknown option '" << args[i] << "' (try kalyxon --help)\n";
      return std::nullopt;
    }
  }
  return o;
}

std::u16string mensajeCarpeta(const std::exception& e) {
  return u"No se puede preparar la carpeta del programa:\n" + util::fromUtf8(e.what());
}

}  // namespace kalyxon::cli
