#include "util/perfil.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <system_error>

#include "util/cp1252.h"
#include "util/ficgen.h"

namespace kalyxon::util {

namespace {

std::string aBytes(const std::u16string& texto) { return cp1252::encode(texto); }
std::u16string aTexto(std::string_view bytes) { return cp1252::decode(bytes); }

// Case folding of one Windows-1252 byte: ASCII letters, the accented Latin-1
// capitals and the four capitals of the 0x80 row.
unsigned char pliega(unsigned char b) {
  if (b >= 'A' && b <= 'Z') return b + 32;
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return b + 0x20;
  switch (b) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return b;
  }
}

bool igualesSinCaso(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (pliega(static_cast<unsigned char>(a[i])) != pliega(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool esBlanco(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view recorta(std::string_view s) {
  while (!s.empty() && esBlanco(s.front())) s.remove_prefix(1);
  while (!s.empty() && esBlanco(s.back())) s.remove_suffix(1);
  return s;
}

// One line of the file, with its end-of-line bytes, and what it is.
struct Linea {
  std::string bytes;  // as read, terminator included
  enum Tipo { Otra, Seccion, Clave } tipo = Otra;
  std::string nombre;  // section or key name, trimmed
  std::string valor;   // raw value, trimmed (keys only)
};

Linea analiza(std::string bytes) {
  Linea l;
  l.bytes = std::move(bytes);
  std::string_view s = recorta(l.bytes);
  if (s.empty() || s.front() == ';' || s.front() == '#') return l;
  if (s.front() == '[') {
    auto fin = s.find(']');
    l.tipo = Linea::Seccion;
    l.nombre = std::string(recorta(s.substr(1, fin == std::string_view::npos ? s.npos : fin - 1)));
    return l;
  }
  auto igual = s.find('=');
  if (igual == std::string_view::npos) return l;
  l.tipo = Linea::Clave;
  l.nombre = std::string(recorta(s.substr(0, igual)));
  l.valor = std::string(recorta(s.substr(igual + 1)));
  return l;
}

struct Contenido {
  std::vector<Linea> lineas;
  std::string finDeLinea = "\n";
};

// Reads the whole file; nullopt when it does not exist or cannot be read.
std::optional<std::string> leeBytes(const std::filesystem::path& p) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(p, ec)) return std::nullopt;
  std::ifstream in(p, std::ios::binary);
  if (!in) return std::nullopt;
  try {
    return std::string(std::istreambuf_iterator<char>(in), {});
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

Contenido trocea(const std::string& todo) {
  Contenido c;
  // New lines follow the file's own line ends.
  auto lf = todo.find('\n');
  if (lf != std::string::npos && lf > 0 && todo[lf - 1] == '\r') c.finDeLinea = "\r\n";
  std::size_t i = 0;
  while (i < todo.size()) {
    auto nl = todo.find('\n', i);
    std::size_t fin = nl == std::string::npos ? todo.size() : nl + 1;
    c.lineas.push_back(analiza(todo.substr(i, fin - i)));
    i = fin;
  }
  return c;
}

// Index range [desde, hasta) of the lines of the first section named `seccion`
// (header excluded), or nullopt.
std::optional<std::pair<std::size_t, std::size_t>> buscaSeccion(const Contenido& c,
                                                                  std::string_view seccion) {
  for (std::size_t i = 0; i < c.lineas.size(); ++i) {
    if (c.lineas[i].tipo == Linea::Seccion && igualesSinCaso(c.lineas[i].nombre, seccion)) {
      std::size_t j = i + 1;
      while (j < c.lineas.size() && c.lineas[j].tipo != Linea::Seccion) ++j;
      return std::make_pair(i + 1, j);
    }
  }
  return std::nullopt;
}

// Line breaks inside a value would split it into two lines of the file.
std::string limpiaValor(std::string v) {
  for (char& ch : v)
    if (ch == '\r' || ch == '\n') ch = ' ';
  return v;
}

bool escribeAtomico(const std::filesystem::path& destino, const std::string& bytes) {
  return !FicGen::escribeBytes(destino, bytes);
}

}  // namespace

std::u16string Perfil::lee(const std::u16string& seccion, const std::u16string& clave) const {
  auto todo = leeBytes(fichero_);
  if (!todo) return {};
  Contenido c = trocea(*todo);
  auto rango = buscaSeccion(c, aBytes(seccion));
  if (!rango) return {};
  std::string nombre = aBytes(clave);
  for (std::size_t i = rango->first; i < rango->second; ++i) {
    const Linea& l = c.lineas[i];
    if (l.tipo != Linea::Clave || !igualesSinCaso(l.nombre, nombre)) continue;
    std::string_view v = l.valor;
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    // The buffer holds kBuffer - 1 characters and a NUL; what follows a NUL in
    // the value is lost, and trailing blanks are dropped.
    v = v.substr(0, kBuffer - 1);
    v = v.substr(0, v.find('\0'));
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    return aTexto(v);
  }
  return {};
}

bool Perfil::escribe(const std::u16string& seccion, const std::u16string& clave,
                     const std::u16string& valor) const {
  return escribe(seccion, {{clave, valor}});
}

bool Perfil::escribe(const std::u16string& seccion,
                     const std::vector<std::pair<std::u16string, std::u16string>>& valores) const {
  auto todo = leeBytes(fichero_);
  // A file that is there but cannot be read is never replaced by a new one.
  std::error_code ec;
  if (!todo && std::filesystem::exists(fichero_, ec)) return false;
  Contenido c = todo ? trocea(*todo) : Contenido{};
  std::string sec = aBytes(seccion);
  for (const auto& [claveU, valorU] : valores) {
    std::string clave = aBytes(claveU);
    std::string linea = clave + "=" + limpiaValor(aBytes(valorU)) + c.finDeLinea;
    auto rango = buscaSeccion(c, sec);
    if (!rango) {
      // A new section goes at the end, on a line of its own.
      if (!c.lineas.empty() && !c.lineas.back().bytes.empty() &&
          c.lineas.back().bytes.back() != '\n')
        c.lineas.back().bytes += c.finDeLinea;
      c.lineas.push_back(analiza("[" + sec + "]" + c.finDeLinea));
      c.lineas.push_back(analiza(linea));
      continue;
    }
    bool hecho = false;
    for (std::size_t i = rango->first; i < rango->second && !hecho; ++i) {
      Linea& l = c.lineas[i];
      if (l.tipo == Linea::Clave && igualesSinCaso(l.nombre, clave)) {
        l = analiza(linea);
        hecho = true;
      }
    }
    if (hecho) continue;
    // After the last non-blank line of the section, so blank lines that
    // separate it from the next one stay where they are.
    std::size_t pos = rango->second;
    while (pos > rango->first && recorta(c.lineas[pos - 1].bytes).empty()) --pos;
    if (pos > 0 && c.lineas[pos - 1].bytes.back() != '\n') c.lineas[pos - 1].bytes += c.finDeLinea;
    c.lineas.insert(c.lineas.begin() + static_cast<std::ptrdiff_t>(pos), analiza(linea));
  }
  std::string salida;
  for (const auto& l : c.lineas) salida += l.bytes;
  return escribeAtomico(fichero_, salida);
}

}  // namespace kalyxon::util
