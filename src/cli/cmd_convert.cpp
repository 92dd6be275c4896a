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
#include "conversion/informefichero.h"
#include "conversion/rtf.h"
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
    "  --to athenian|graeca|greek|betacode|graece|sgreek     Unicode to a legacy font\n"
    "  -o FILE          write the result to FILE (\"-\" or absent: standard output)\n"
    "  --report FILE    write the error report to FILE (default: standard error)\n"
    "  --keep-lines     keep line breaks (default: a line break becomes a space)\n"
    "  --settings-dir DIR   the program folder holding ALPHA.db\n"
    "INPUT is a file, or standard input when absent or \"-\". A rich text (RTF)\n"
    "input is read as the conversion window reads it. Legacy text is read and\n"
    "written as Windows-1252 bytes, Unicode and BetaCode as UTF-8. Characters\n"
    "that cannot be converted are copied and reported, with a summary at the end.\n"
    "Exit status 1 when the input cannot be read or the output written.\n";

const char* kUsoNumeral =
    "Usage: kalyxon numeral N\n"
    "Prints the Greek alphabetic numeral of N (1 to 2147483647), e.g. 2024 -> ͵βκδʹ.\n";

// The report on standard error, line by line (LF ended).
class InformeError : public cv::Informe {
 protected:
  void escribe(std::u16string_view linea) override {
    std::string b = util::toUtf8(linea);
    if (b.size() >= 2 && b[b.size() - 2] == '\r') b.erase(b.size() - 2, 1);
    std::fwrite(b.data(), 1, b.size(), stderr);
  }
};

// Where the result goes: standard output as it comes, or a file through the
// atomic writer (a device or a FIFO written as it comes, a regular file
// replaced whole at the end).
class Salida {
 public:
  explicit Salida(const std::string& ruta) {
    if (!ruta.empty() && ruta != "-" && ruta != "/dev/stdout") fichero_.emplace(util::rutaDeUtf8(ruta));
  }
  std::error_code error() const { return fichero_ ? fichero_->error() : std::error_code(); }
  void escribe(std::string_view b) {
    if (fichero_)
      fichero_->escribe(b);
    else if (ok_ && std::fwrite(b.data(), 1, b.size(), stdout) != b.size())
      ok_ = false;
  }
  std::error_code cierra() {
    if (fichero_) return fichero_->termina();
    if (!ok_ || std::fflush(stdout) != 0) return {EIO, std::generic_category()};
    return {};
  }

 private:
  std::optional<FicGen::EscrituraAtomica> fichero_;
  bool ok_ = true;
};

// Reads the input a piece at a time (the caller gathers an RTF document
// whole, since its text is known only at its end).
class Entrada {
 public:
  explicit Entrada(std::istream& in) : in_(in) {}
  // The next piece of bytes; empty at the end. `error` on a read failure.
  std::string siguiente(bool& error) {
    std::string b(1 << 20, '\0');
    in_.read(b.data(), static_cast<std::streamsize>(b.size()));
    b.resize(static_cast<size_t>(in_.gcount()));
    if (in_.bad()) error = true;
    return b;
  }

 private:
  std::istream& in_;
};

// "cannot write FILE: reason", exit status 1.
int noEscribe(const std::string& ruta, std::error_code ec) {
  std::cerr << "kalyxon convert: cannot write "
            << (ruta.empty() || ruta == "-" ? "standard output" : ruta) << ": " << ec.message() << "\n";
  return 1;
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
  std::string desde, hacia, salidaRuta, informeRuta, entrada;
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
        valor(salidaRuta);
      } else if (a == "--report") {
        valor(informeRuta);
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
  const std::vector<std::string> destinos = {"athenian", "graeca", "greek", "betacode",
                                              "graece",   "sgreek"};
  auto en = [](const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
  };
  if (desde.empty() == hacia.empty() || (!desde.empty() && !en(origenes, desde)) ||
      (!hacia.empty() && !en(destinos, hacia))) {
    std::cerr << "kalyxon convert: give one of --from "
                 "athenian|greek|graeca|graece|betacode|sgreek or --to athenian|graeca|greek|betacode|graece|sgreek\n"
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

  std::ifstream fichero;
  std::istream* in = &std::cin;
  if (!entrada.empty() && entrada != "-") {
    std::error_code ec;
    if (fs::is_directory(entrada, ec)) {
      std::cerr << "kalyxon convert: " << entrada << " is a folder, not a file\n";
      return 1;
    }
    fichero.open(util::rutaDeUtf8(entrada), std::ios::binary);
    if (!fichero) {
      std::cerr << "kalyxon convert: cannot read " << entrada << "\n";
      return 1;
    }
    in = &fichero;
  }
  auto cara = [](const std::string& n) -> std::u16string_view {
    if (n == "athenian") return cv::cara::kAthenian;
    if (n == "greek") return cv::cara::kGreek;
    if (n == "graeca") return cv::cara::kGraeca;
    if (n == "graece") return cv::cara::kGraece;
    if (n == "betacode") return cv::kBetaCode;
    return cv::cara::kSgreek;
  };
  std::error_code ec;
  size_t total = 0;
  if (!entrada.empty() && entrada != "-") total = static_cast<size_t>(fs::file_size(entrada, ec));
  Progreso progreso(total, isatty(STDERR_FILENO) && total > (8u << 20));
  cv::Bombeo bombeo;
  bombeo = cv::Bombeo([&] { progreso.muestra(bombeo.hechos()); }, std::chrono::milliseconds(100));

  std::unique_ptr<cv::Informe> informe;
  cv::InformeFichero* informeFichero = nullptr;
  if (!informeRuta.empty()) {
    auto f = std::make_unique<cv::InformeFichero>(util::rutaDeUtf8(informeRuta),
                                                  cv::InformeFichero::Codificacion::kUtf8);
    if (auto ec = f->error()) return noEscribe(informeRuta, ec);
    informeFichero = f.get();
    informe = std::move(f);
  } else {
    informe = std::make_unique<InformeError>();
  }
  const bool haciaUnicode = !desde.empty();
  auto conversor = haciaUnicode ? cv::aUnicode(*tablas, cara(desde), opciones, informe.get())
                                : cv::deUnicode(*tablas, cara(hacia), opciones, informe.get());
  Salida salida(salidaRuta);
  if (auto ec = salida.error()) return noEscribe(salidaRuta, ec);
  Entrada lector(*in);

  // One piece: bytes to text (legacy bytes one to one, UTF-8 up to the last
  // whole line so that no character is cut), through the converter, out.
  std::string resto;
  bool primero = true, error = false, rtf = false;
  std::u16string convertido;
  std::string bytes;
  auto pasa = [&](std::u16string_view texto) {
    convertido.clear();
    conversor->alimenta(texto, convertido);
    bombeo.avanza(texto.size());
    bytes.clear();
    if (haciaUnicode)
      cv::utf8(convertido, bytes);
    else
      bytes = cp1252::encode(convertido);
    salida.escribe(bytes);
  };
  for (;;) {
    std::string b = lector.siguiente(error);
    if (error) {
      std::cerr << "kalyxon convert: cannot read " << (entrada.empty() ? "standard input" : entrada) << "\n";
      return 1;
    }
    if (primero) {
      primero = false;
      rtf = rtf::esRtf(b);
      // Unicode input may start with a byte order mark; legacy bytes are
      // never taken for UTF-8.
      if (!rtf && !haciaUnicode && b.rfind("\xEF\xBB\xBF", 0) == 0) b.erase(0, 3);
    }
    if (rtf) {
      resto += b;
      if (b.empty()) {
        std::u16string texto;
        try {
          texto = rtf::lee(resto).texto();
        } catch (const std::exception& e) {
          std::cerr << "kalyxon convert: " << entrada << ": " << e.what() << "\n";
          return 1;
        }
        resto.clear();
        pasa(texto);
        break;
      }
      continue;
    }
    if (haciaUnicode) {
      if (b.empty()) break;
      bytes.clear();
      conversor->alimentaBytes(b, bytes);
      bombeo.avanza(b.size());
      salida.escribe(bytes);
      continue;
    }
    resto += b;
    size_t corte = b.empty() ? resto.size() : resto.rfind('\n');
    if (corte == std::string::npos) continue;
    if (!b.empty()) ++corte;
    pasa(util::fromUtf8(std::string_view(resto).substr(0, corte)));
    resto.erase(0, corte);
    if (b.empty()) break;
  }
  convertido.clear();
  conversor->termina(convertido);
  salida.escribe(haciaUnicode ? util::toUtf8(convertido) : cp1252::encode(convertido));
  if (auto ec = salida.cierra()) return noEscribe(salidaRuta, ec);
  if (informeFichero) {
    if (auto ec = informeFichero->cierra()) return noEscribe(informeRuta, ec);
  } else {
    informe->termina();
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
  cv::Opciones o;
  o.comaNumeral = true;  // "," is the numeral letters' thousands sign
  std::u16string r = cv::traduce(*tablas, Numerus::letrasGreek(*n), cv::cara::kGreek, informe, o);
  r += u'\u0374';
  std::cout << util::toUtf8(r) << "\n";
  return 0;
}

}  // namespace kalyxon::cli
