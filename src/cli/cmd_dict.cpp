// kalyxon dict: the dictionaries beside the program, from the command line.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/carpeta.h"
#include "util/utf.h"
#include "app/kalyxon.h"
#include "cli/commands.h"
#include "dictionary/cargador.h"
#include "dictionary/diccionario.h"
#include "dictionary/intercambio.h"
#include "dictionary/lexico.h"
#include "dictionary/tsv.h"
#include "platform/scripted.h"
#include "util/ficgen.h"

namespace kalyxon::cli {

namespace {

namespace fs = std::filesystem;
using lexico::utf16;
using lexico::utf8;

const char* kUso =
    "Usage: kalyxon dict [--settings-dir DIR | --dir DIR] COMMAND ...\n"
    "  list                           files, tables and record counts\n"
    "  lookup KEY|WORD [--aproximado] [--table T]\n"
    "                                 the candidate list as the window shows it; KEY is a\n"
    "                                 search key (capital BetaCode letters, LOGOS), WORD\n"
    "                                 Greek text (λόγος)\n"
    "  load FILE --table T [--empty]  count the words of a BetaCode or UTF-8 Greek text\n"
    "  add WORD [--count N] --table T add one form (count 1..32000, default 50)\n"
    "  merge --table T                add table T into \"completo\" of LEXICA_completo.db\n"
    "  purge N --table T              delete the forms with count N or less\n"
    "  export --table T [OUT.tsv]     write key, form, count lines (default: standard output)\n"
    "  import IN.tsv --table T [--empty]\n"
    "                                 add key, form, count lines (counts of known forms add\n"
    "                                 up, capped at 32767)\n"
    "\n"
    "DIR is the folder with ALPHA.db and LEXICA*.db (default: the program folder);\n"
    "--settings-dir prepares it as the desktop program does (created, ALPHA.db copied).\n"
    "T names a dictionary table (clasico, completo, Homero...). It is looked for in\n"
    "the LEXICA*.db files of DIR; a new table goes to LEXICA.db (clasico),\n"
    "LEXICA_completo.db (completo) or LEXICA_T.db, or to --file NAME.\n";

struct Opciones {
  fs::path dir;
  std::string tabla, fichero;
  bool vaciar = false, aproximado = false;
  int64_t cuenta = 50;
  std::vector<std::string> resto;
};

// Progress on a terminal: one line rewritten in place.
struct Progreso {
  bool activo = isatty(2) != 0;
  void muestra(int pc, const std::string& que) {
    if (activo) std::cerr << "\r" << que << " " << pc << "%   " << std::flush;
  }
  void fin() {
    if (activo) std::cerr << "\r" << std::string(40, ' ') << "\r" << std::flush;
  }
};

// A whole number given to `que` (an option or a command), within [min, max];
// anything else is refused with a message saying which and why.
int64_t numeroDe(const std::string& que, const std::string& texto, int64_t min, int64_t max) {
  int64_t v = 0;
  auto [fin, ec] = std::from_chars(texto.data(), texto.data() + texto.size(), v);
  if (texto.empty() || fin != texto.data() + texto.size() || (ec != std::errc() && ec != std::errc::result_out_of_range))
    throw std::invalid_argument(que + ": '" + texto + "' is not a whole number");
  if (ec == std::errc::result_out_of_range || v < min || v > max)
    throw std::invalid_argument(que + ": " + texto + " is out of range (" + std::to_string(min) +
                                " to " + std::to_string(max) + ")");
  return v;
}

std::string ficheroPara(const std::string& tabla) {
  if (tabla == "clasico") return "LEXICA.db";
  if (tabla == "completo") return "LEXICA_completo.db";
  return "LEXICA_" + tabla + ".db";
}

// The program object on scripted services, with the table made current.
struct Motor {
  platform::scripted::ScriptedServices s;
  Kalyxon k;
  explicit Motor(const fs::path& dir) : k(s.services(), dir) {}
  Diccionario& d() { return k.diccionario(); }

  // Finds (or, with `crear`, makes) the table and makes it current.
  void abre(const Opciones& o, bool crear) {
    if (o.tabla.empty()) throw std::runtime_error("--table is needed");
    std::string fichero = o.fichero;
    if (fichero.empty()) {
      for (const auto& f : lexico::ficherosDiccionario(o.dir))
        if (d().espacio().abre(f)->tieneTabla(o.tabla)) {
          fichero = f.filename().string();
          break;
        }
    }
    if (fichero.empty()) {
      if (!crear) throw std::runtime_error("no table " + o.tabla + " in " + o.dir.string());
      fichero = ficheroPara(o.tabla);
    }
    auto base = d().espacio().abre(o.dir / fichero, crear);
    base->revisa();
    if (!base->tieneTabla(o.tabla)) {
      if (!crear) throw std::runtime_error("no table " + o.tabla + " in " + fichero);
      base->creaTabla(o.tabla);
    }
    d().cambiaDiccionario(utf16(fichero), o.tabla);
  }
};

int lista(const Opciones& o) {
  lexico::Espacio ws;
  auto ficheros = lexico::ficherosDiccionario(o.dir);
  if (ficheros.empty()) {
    std::cout << "no LEXICA*.db in " << o.dir.string() << "\n";
    return 0;
  }
  // Every file is listed; one that cannot be used is marked and the list
  // goes on (exit status 1 then).
  int rc = 0;
  for (auto& f : ficheros) {
    std::vector<lexico::InfoTabla> tablas;
    try {
      auto base = ws.abre(f);
      base->revisa();
      tablas = base->tablas();
    } catch (const lexico::BaseOcupada&) {
      throw;
    } catch (const std::exception& e) {
      std::cout << f.filename().string() << "\t(damaged: " << e.what() << ")\n";
      rc = 1;
      continue;
    }
    std::cout << f.filename().string() << "\n";
    for (auto& t : tablas) {
      bool usable = t.campos == 3 && t.registros > 0 && lexico::esDiccionario(t.nombre);
      std::cout << "  " << t.nombre << "\t" << t.registros << (usable ? "" : "\t(not a dictionary)")
                << "\n";
    }
  }
  return rc;
}

int busca(Opciones o) {
  if (o.resto.empty()) throw std::runtime_error("lookup needs a KEY or a WORD");
  if (o.tabla.empty()) o.tabla = "completo";
  Motor m(o.dir);
  m.abre(o, false);
  auto& f = m.k.form1;
  f.mnudicapro.checked = o.aproximado;
  std::u16string texto = utf16(o.resto[0]);
  bool clave = std::all_of(texto.begin(), texto.end(), [](char16_t c) { return c < 0x80; });
  if (clave) {
    // A search key as it stands, as the typed letters would have made it.
    f.cCadCla = texto;
    // The transliteration the typed letters would have shown.
    f.cCadTra.clear();
    for (char16_t ch : texto) {
      std::u16string trl(1, ch);
      for (const auto& fon : m.k.alfabeto().fonemas())
        if (fon.TRE.size() == 1 && fon.TRE[0] == ch) {
          trl = fon.TRL;
          break;
        }
      f.cCadTra += trl;
    }
    m.d().hazVariantes(f.cCadCla);
    m.d().buscaFormas();
  } else {
    if (!m.d().letras().cargado()) throw std::runtime_error("no ALPHA.db in " + o.dir.string());
    m.d().revisaGriego(texto);
  }
  std::cout << "key " << utf8(f.cCadCla);
  for (int v = 1; v <= m.d().nVariantes; ++v) std::cout << " " << utf8(m.d().cVariantes[static_cast<size_t>(v)]);
  std::cout << "\n";
  for (size_t i = 1; i < f.cCandidatos.size() && !f.cCandidatos[i].empty(); ++i)
    std::cout << i << " " << utf8(f.cCandidatos[i]) << "\t" << utf8(f.cInfoCandidatos[i]) << "\n";
  return f.lPalabra ? 0 : 1;
}

int carga(const Opciones& o) {
  if (o.resto.empty()) throw std::runtime_error("load needs a FILE");
  std::ifstream in(util::rutaDeUtf8(o.resto[0]), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + o.resto[0]);
  std::ostringstream s;
  s << in.rdbuf();
  Motor m(o.dir);
  const Alfabeto& letras = m.d().letras();
  if (!letras.cargado()) throw std::runtime_error("no ALPHA.db in " + o.dir.string());
  m.abre(o, true);
  auto& tabla = *m.d().rstlxc;
  // With --empty the old forms stay until the new ones have committed: one
  // transaction holds the emptying and the whole load.
  std::optional<lexico::Base::Transaccion> tr;
  if (o.vaciar) {
    tr.emplace(tabla.base());
    tabla.vacia();
  }
  Carga c(letras, tabla);
  Progreso p;
  c.porcentaje = [&](int pc, int64_t) { p.muestra(pc, "loading"); };
  auto r = c.ejecuta(s.str());
  if (tr) tr->confirma();
  p.fin();
  if (r.tipo.invalidos > 0) {
    std::cerr << "kalyxon dict: " << r.tipo.invalidos << " byte(s) of " << o.resto[0]
              << " are not UTF-8, read as blanks (at offset";
    for (auto d : r.tipo.dondeInvalidos) std::cerr << " " << d;
    std::cerr << (r.tipo.invalidos > 10 ? " ...)\n" : ")\n");
  }
  std::cout << r.palabras << " words, " << r.nuevas << " new forms (" << r.tipo.nombre()
            << "); " << tabla.nombre() << " has " << tabla.registros() << " forms\n";
  if (r.palabras == 0) {
    std::cerr << "kalyxon dict: no Greek words in " << o.resto[0]
              << " (neither Unicode Greek nor BetaCode)\n";
    return 1;
  }
  return 0;
}

int anade(const Opciones& o) {
  if (o.resto.empty()) throw std::runtime_error("add needs a WORD");
  Motor m(o.dir);
  m.abre(o, true);
  auto& f = m.k.form1;
  std::u16string palabra = utf16(o.resto[0]);
  m.d().revisaGriego(palabra);  // makes the key the typed word would have
  if (f.cCadCla.empty()) throw std::runtime_error("no Greek letter in " + o.resto[0]);
  f.cNueva = f.cCadOri;
  m.s.inputBox.answers.push_back(utf16(std::to_string(o.cuenta)));
  auto antes = m.d().rstlxc->registros();
  m.d().addDiccionario();
  bool nueva = m.d().rstlxc->registros() > antes;
  std::cout << utf8(f.cNueva) << " (" << utf8(f.cCadCla) << ") "
            << (nueva ? "added" : "already there, unchanged") << "\n";
  return 0;
}

int suma(const Opciones& o) {
  Motor m(o.dir);
  m.abre(o, false);
  Progreso p;
  m.s.pump.onPump = [&](long) {
    auto pc = m.k.form1.lblasc.caption;
    p.muestra(std::atoi(utf8(pc).c_str()), "merging");
  };
  m.d().addClasico();
  p.fin();
  for (auto& b : m.s.messageBox.shown)
    if (b.buttons == platform::Buttons::Ok) std::cout << utf8(b.text) << "\n";
  return m.d().rstlxc2 ? 0 : 1;
}

int purga(const Opciones& o) {
  if (o.resto.empty()) throw std::runtime_error("purge needs a count N");
  numeroDe("purge N", o.resto[0], 1, INT32_MAX);
  Motor m(o.dir);
  m.abre(o, false);
  m.s.inputBox.answers.push_back(utf16(o.resto[0]));
  m.d().borraNumero();
  if (m.s.messageBox.shown.empty()) {
    std::cout << "nothing deleted\n";
  } else {
    std::cout << utf8(m.s.messageBox.shown.back().text) << "\n";
  }
  return 0;
}

int exporta(const Opciones& o) {
  Motor m(o.dir);
  m.abre(o, false);
  std::string tsv = exportaTabla(*m.d().rstlxc);
  if (o.resto.empty()) {
    std::cout << tsv;
  } else if (auto ec = FicGen::escribeBytes(o.resto[0], tsv)) {
    throw std::runtime_error("cannot write " + o.resto[0] + ": " + ec.message());
  }
  return 0;
}

int importa(const Opciones& o) {
  if (o.resto.empty()) throw std::runtime_error("import needs a TSV file");
  std::ifstream in(util::rutaDeUtf8(o.resto[0]), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + o.resto[0]);
  Motor m(o.dir);
  m.abre(o, true);
  auto& t = *m.d().rstlxc;
  auto r = importaTabla(t, in, o.resto[0], o.vaciar);
  std::cout << r.lineas << " lines, " << r.nuevas << " new forms; " << t.nombre() << " has "
            << t.registros() << " forms\n";
  return 0;
}

}  // namespace

int runDict(const std::vector<std::string>& argsIn) {
  Opciones o;
  std::optional<fs::path> dir;
  try {
    for (size_t i = 0; i < argsIn.size(); ++i) {
      const std::string& a = argsIn[i];
      auto valor = [&]() -> std::string {
        if (i + 1 >= argsIn.size()) throw std::invalid_argument(a + " needs a value");
        return argsIn[++i];
      };
      if (a == "--dir") dir = util::rutaDeUtf8(valor());
      else if (a == "--settings-dir") dir = carpetaPrograma(util::rutaDeUtf8(valor()));
      else if (a == "--table") o.tabla = valor();
      else if (a == "--file") o.fichero = valor();
      else if (a == "--count") o.cuenta = numeroDe("--count", valor(), 1, kTopePalabra);
      else if (a == "--empty") o.vaciar = true;
      else if (a == "--aproximado") o.aproximado = true;
      else if (a == "--help" || a == "-h") {
        std::cout << kUso;
        return 0;
      } else if (a.starts_with("--")) {
        throw std::invalid_argument("unknown option " + a);
      } else {
        o.resto.push_back(a);
      }
    }
  } catch (const std::exception& e) {
    std::cerr << "kalyxon dict: " << e.what() << "\n" << kUso;
    return 2;
  }
  if (o.resto.empty()) {
    std::cerr << kUso;
    return 2;
  }
  std::string cmd = o.resto[0];
  o.resto.erase(o.resto.begin());
  try {
    o.dir = dir ? *dir : carpetaPrograma();
    if (cmd == "list") return lista(o);
    if (cmd == "lookup") return busca(o);
    if (cmd == "load") return carga(o);
    if (cmd == "add") return anade(o);
    if (cmd == "merge") return suma(o);
    if (cmd == "purge") return purga(o);
    if (cmd == "export") return exporta(o);
    if (cmd == "import") return importa(o);
    std::cerr << "kalyxon dict: unknown command '" << cmd << "'\n" << kUso;
    return 2;
  } catch (const lexico::BaseOcupada& e) {
    std::cerr << "kalyxon dict: " << e.what() << "\n";
    return 3;
  } catch (const std::exception& e) {
    std::cerr << "kalyxon dict: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace kalyxon::cli
