// kalyxon convert: legacy Greek font text and BetaCode to Unicode and back,
// with the converters of the conversion window. kalyxon numeral: the Greek
// numeral of a number.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/carpeta.h"
#include "cli/commands.h"
#include "conversion/conversores.h"
#include "conversion/tablas.h"
#include "greek/numerus.h"
#include "util/cp1252.h"
#include "util/ficgen.h"
#include "util/utf.h"

namespace kalyxon::cli {

namespace {

namespace fs = std::filesystem;
namespace cv = conversion;

const char* kUsoConvert =
    "Usage: kalyxon convert (--from FONT | --to FONT) [options] [INPUT]\n"
    "  --from athenian|greek|graeca|graece|betacode|sgreek   legacy text to Unicode\n"
    "  --to athenian|graeca|greek                            Unicode to a legacy font\n"
    "  -o FILE          write the result to FILE (default: standard output)\n"
    "  --report FILE    write the error report to FILE (default: standard error)\n"
    "  --keep-lines     keep line breaks (default: a line's last word joins the\n"
    "                   first of the next, as the conversion window does)\n"
    "  --settings-dir DIR   the program folder holding ALPHA.db\n"
    "INPUT is a file, or standard input when absent or \"-\". Legacy text is read\n"
    "and written as Windows-1252 bytes, Unicode as UTF-8. Characters that cannot\n"
    "be converted are copied and, for athenian/greek and every --to, reported.\n"
    "Exit status 1 when the input cannot be read or the output written.\n";

const char* kUsoNumeral =
    "Usage: kalyxon numeral N\n"
    "Prints the Greek alphabetic numeral of N (1 to 2147483647), e.g. 2024 -> ͵βκδʹ.\n";

bool leeTodo(std::istream& in, std::string& datos) {
  std::ostringstream ss;
  ss << in.rdbuf();
  datos = std::move(ss).str();
  return !in.bad();
}

// Written whole or not at all.
bool escribeFichero(const fs::path& ruta, const std::string& datos) {
  return !FicGen::escribeBytes(ruta, datos);
}

fs::path carpetaAlfabeto(std::optional<fs::path> explicita) {
  return carpetaPrograma(std::move(explicita)) / "ALPHA.db";
}

// "43%" on the terminal while a large text converts.
class Progreso {
 public:
  Progreso(size_t total, bool activo) : total_(total), activo_(activo && total > 0) {}
  void muestra(size_t hechos) {
    if (!activo_) return;
    int p = static_cast<int>(100.0 * static_cast<double>(hechos) / static_cast<double>(total_));
    if (p == ultimo_) return;
    ultimo_ = p;
    std::fprintf(stderr, "\rkalyxon convert: %3d%%", p > 100 ? 100 : p);
    std::fflush(stderr);
  }
  ~Progreso() {
    if (activo_ && ultimo_ >= 0) std::fprintf(stderr, "\r%30s\r", "");
  }

 private:
  size_t total_;
  bool activo_;
  int ultimo_ = -1;
};

}  // namespace

int runConvert(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  std::optional<fs::path> explicita;
  try {
    explicita = extraeCarpetaAjustes(args);
  } catch (const std::exception& e) {
    std::cerr << "kalyxon convert: " << e.what() << "\n";
    return 2;
  }
  std::string desde, hacia, salida, informeFichero, entrada;
  cv::Opciones opciones;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto valor = [&](std::string& destino) {
      if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
      destino = args[++i];
    };
    try {
      if (a == "--help" || a == "-h") {
        std::cout << kUsoConvert;
        return 0;
      } else if (a == "--from") {
        valor(desde);
      } else if (a == "--to") {
        valor(hacia);
      } else if (a == "-o" || a == "--output") {
        valor(salida);
      } else if (a == "--report") {
        valor(informeFichero);
      } else if (a == "--keep-lines") {
        opciones.conservaLineas = true;
      } else if (a.size() > 1 && a[0] == '-' && a != "-") {
        throw std::invalid_argument("unknown option " + a);
      } else if (entrada.empty()) {
        entrada = a;
      } else {
        throw std::invalid_argument("more than one input file");
      }
    } catch (const std::invalid_argument& e) {
      std::cerr << "kalyxon convert: " << e.what() << "\n" << kUsoConvert;
      return 2;
    }
  }
  const std::vector<std::string> origenes = {"athenian", "greek",    "graeca",
                                             "graece",   "betacode", "sgreek"};
  const std::vector<std::string> destinos = {"athenian", "graeca", "greek"};
  auto en = [](const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
  };
  if (desde.empty() == hacia.empty() || (!desde.empty() && !en(origenes, desde)) ||
      (!hacia.empty() && !en(destinos, hacia))) {
    std::cerr << "kalyxon convert: give one of --from "
                 "athenian|greek|graeca|graece|betacode|sgreek or --to athenian|graeca|greek\n"
              << kUsoConvert;
    return 2;
  }

  std::shared_ptr<const cv::Tablas> tablas;
  try {
    tablas = cv::Tablas::carga(carpetaAlfabeto(explicita));
  } catch (const std::exception& e) {
    std::cerr << "kalyxon convert: " << e.what() << "\n";
    return 1;
  }

  std::string datos;
  if (entrada.empty() || entrada == "-") {
    if (!leeTodo(std::cin, datos)) {
      std::cerr << "kalyxon convert: cannot read standard input\n";
      return 1;
    }
  } else {
    std::ifstream in(util::rutaDeUtf8(entrada), std::ios::binary);
    if (!in || !leeTodo(in, datos)) {
      std::cerr << "kalyxon convert: cannot read " << entrada << "\n";
      return 1;
    }
  }

  auto cara = [](const std::string& n) -> std::u16string_view {
    if (n == "athenian") return cv::cara::kAthenian;
    if (n == "greek") return cv::cara::kGreek;
    if (n == "graeca") return cv::cara::kGraeca;
    if (n == "graece") return cv::cara::kGraece;
    return cv::cara::kSgreek;
  };
  Progreso progreso(datos.size(), isatty(STDERR_FILENO) && datos.size() > (8u << 20));
  cv::Bombeo bombeo;
  bombeo = cv::Bombeo([&] { progreso.muestra(bombeo.hechos()); }, std::chrono::milliseconds(100));

  std::u16string informe;
  std::string resultado;
  bool conInforme = false;
  if (!desde.empty()) {
    std::u16string texto = cp1252::decode(datos);
    std::u16string r;
    if (desde == "athenian" || desde == "greek") {
      r = cv::traduce(*tablas, texto, cara(desde), informe, opciones, &bombeo);
      conInforme = true;
    } else if (desde == "graeca" || desde == "graece") {
      r = cv::traCom(*tablas, texto, cara(desde), opciones, &bombeo);
    } else {
      r = cv::traBet(*tablas, texto, desde == "betacode", opciones, &bombeo);
    }
    resultado = util::toUtf8(r);
  } else {
    std::string_view v = datos;
    if (v.substr(0, 3) == "\xEF\xBB\xBF") v.remove_prefix(3);
    std::u16string r =
        cv::traducea(*tablas, util::fromUtf8(v), cara(hacia), informe, opciones, &bombeo);
    resultado = cp1252::encode(r);
    conInforme = true;
  }

  if (salida.empty()) {
    std::cout.write(resultado.data(), static_cast<std::streamsize>(resultado.size()));
    std::cout.flush();
    if (!std::cout) {
      std::cerr << "kalyxon convert: cannot write standard output\n";
      return 1;
    }
  } else if (!escribeFichero(util::rutaDeUtf8(salida), resultado)) {
    std::cerr << "kalyxon convert: cannot write " << salida << "\n";
    return 1;
  }

  if (conInforme) {
    std::string texto = util::toUtf8(informe);
    if (!informeFichero.empty()) {
      if (!escribeFichero(util::rutaDeUtf8(informeFichero), texto)) {
        std::cerr << "kalyxon convert: cannot write " << informeFichero << "\n";
        return 1;
      }
    } else {
      std::string lf;
      lf.reserve(texto.size());
      for (char c : texto)
        if (c != '\r') lf += c;
      std::cerr << lf;
    }
  } else if (!informeFichero.empty() && !escribeFichero(util::rutaDeUtf8(informeFichero), "")) {
    std::cerr << "kalyxon convert: cannot write " << informeFichero << "\n";
    return 1;
  }
  return 0;
}

int runNumeral(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  std::optional<fs::path> explicita;
  try {
    explicita = extraeCarpetaAjustes(args);
  } catch (const std::exception& e) {
    std::cerr << "kalyxon numeral: " << e.what() << "\n";
    return 2;
  }
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kUsoNumeral;
    return 0;
  }
  if (args.size() != 1) {
    std::cerr << kUsoNumeral;
    return 2;
  }
  auto n = Numerus::valor(util::fromUtf8(args[0]));
  if (!n || *n == 0) {
    std::cerr << "kalyxon numeral: " << args[0]
              << " is not a whole number from 1 to 2147483647\n";
    return 2;
  }
  std::shared_ptr<const cv::Tablas> tablas;
  try {
    tablas = cv::Tablas::carga(carpetaAlfabeto(explicita));
  } catch (const std::exception& e) {
    std::cerr << "kalyxon numeral: " << e.what() << "\n";
    return 1;
  }
  std::u16string informe;
  std::u16string r = cv::traduce(*tablas, Numerus::letrasGreek(*n), cv::cara::kGreek, informe);
  r += u'\u0374';
  std::cout << util::toUtf8(r) << "\n";
  return 0;
}

}  // namespace kalyxon::cli
