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
#include "util/utf.h"

namespace kalyxon::util {

namespace {

// The file's encoding: UTF-8 when its bytes are valid UTF-8 (with or
// without a byte-order mark), else Windows-1252, the classic settings files'
// code page. A file is written back in the encoding it was read in; a new
// file is UTF-8.
enum class Cod { utf8, utf8Bom, cp1252 };

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool esUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    int n = (b >= 0xC2 && b <= 0xDF) ? 1 : (b >= 0xE0 && b <= 0xEF) ? 2 : (b >= 0xF0 && b <= 0xF4) ? 3 : -1;
    if (n < 0 || i + static_cast<std::size_t>(n) >= s.size()) return false;
    auto c1 = static_cast<unsigned char>(s[i + 1]);
    // No overlong forms, no surrogates, nothing above U+10FFFF.
    if ((b == 0xE0 && c1 < 0xA0) || (b == 0xED && c1 > 0x9F) || (b == 0xF0 && c1 < 0x90) ||
        (b == 0xF4 && c1 > 0x8F))
      return false;
    for (int k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80) return false;
    i += static_cast<std::size_t>(n) + 1;
  }
  return true;
}

Cod detecta(std::string_view todo) {
  if (todo.starts_with(kBom)) return Cod::utf8Bom;
  return esUtf8(todo) ? Cod::utf8 : Cod::cp1252;
}

std::string aBytes(const std::u16string& texto, Cod c) {
  return c == Cod::cp1252 ? cp1252::encode(texto) : toUtf8(texto);
}
std::u16string aTexto(std::string_view bytes, Cod c) {
  return c == Cod::cp1252 ? cp1252::decode(bytes) : fromUtf8(bytes);
}

// Whether Windows-1252 can hold the text (else it would be stored as "?").
bool cabeEnCp1252(const std::u16string& t) { return cp1252::decode(cp1252::encode(t)) == t; }

// Case folding of one character: ASCII letters, the accented Latin-1
// capitals and the four capitals of Windows-1252's 0x80 row.
char16_t pliega(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  switch (c) {
    case 0x160: return 0x161;
    case 0x152: return 0x153;
    case 0x17D: return 0x17E;
    case 0x178: return 0xFF;
    default: return c;
  }
}

bool igualesSinCaso(std::string_view a, std::string_view b, Cod c) {
  std::u16string x = aTexto(a, c), y = aTexto(b, c);
  if (x.size() != y.size()) return false;
  for (std::size_t i = 0; i < x.size(); ++i)
    if (pliega(x[i]) != pliega(y[i])) return false;
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
  Cod cod = Cod::utf8;
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

Contenido trocea(std::string_view todoIn) {
  Contenido c;
  c.cod = detecta(todoIn);
  // The mark is not part of the first line: it is written back in front.
  std::string todo(c.cod == Cod::utf8Bom ? todoIn.substr(kBom.size()) : todoIn);
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
    if (c.lineas[i].tipo == Linea::Seccion && igualesSinCaso(c.lineas[i].nombre, seccion, c.cod)) {
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
  return todo ? lee(*todo, seccion, clave) : std::u16string();
}

std::u16string Perfil::lee(std::string_view contenido, const std::u16string& seccion,
                           const std::u16string& clave) {
  Contenido c = trocea(contenido);
  auto rango = buscaSeccion(c, aBytes(seccion, c.cod));
  if (!rango) return {};
  std::string nombre = aBytes(clave, c.cod);
  for (std::size_t i = rango->first; i < rango->second; ++i) {
    const Linea& l = c.lineas[i];
    if (l.tipo != Linea::Clave || !igualesSinCaso(l.nombre, nombre, c.cod)) continue;
    std::string_view v = l.valor;
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    // The buffer holds kBuffer - 1 characters and a NUL; what follows a NUL in
    // the value is lost, and trailing blanks are dropped.
    v = v.substr(0, v.find('\0'));
    std::u16string t = aTexto(v, c.cod).substr(0, kBuffer - 1);
    while (!t.empty() && t.back() == u' ') t.pop_back();
    return t;
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
  return escribeAtomico(fichero_, escribe(todo ? *todo : std::string(), seccion, valores));
}

std::string Perfil::escribe(std::string_view contenido, const std::u16string& seccion,
                            const std::vector<std::pair<std::u16string, std::u16string>>& valores) {
  Contenido c = trocea(contenido);
  // A Windows-1252 file that must now hold a character it lacks (a Greek
  // font name...) becomes UTF-8 as a whole rather than store "?".
  if (c.cod == Cod::cp1252) {
    bool cabe = cabeEnCp1252(seccion);
    for (const auto& [k, v] : valores) cabe = cabe && cabeEnCp1252(k) && cabeEnCp1252(v);
    if (!cabe) {
      for (auto& l : c.lineas) l = analiza(toUtf8(cp1252::decode(l.bytes)));
      c.cod = Cod::utf8;
    }
  }
  std::string sec = aBytes(seccion, c.cod);
  for (const auto& [claveU, valorU] : valores) {
    std::string clave = aBytes(claveU, c.cod);
    std::string linea = clave + "=" + limpiaValor(aBytes(valorU, c.cod)) + c.finDeLinea;
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
      if (l.tipo == Linea::Clave && igualesSinCaso(l.nombre, clave, c.cod)) {
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
  std::string salida(c.cod == Cod::utf8Bom ? kBom : std::string_view());
  for (const auto& l : c.lineas) salida += l.bytes;
  // A Windows-1252 file whose bytes have become valid UTF-8 (the line with
  // the only bytes UTF-8 refuses was replaced, and "ß·", DF B7, reads in
  // UTF-8 as one other letter) would be read back as UTF-8: it is written in
  // UTF-8 instead, so every value reads as it was.
  if (c.cod == Cod::cp1252 && detecta(salida) != Cod::cp1252) salida = toUtf8(cp1252::decode(salida));
  return salida;
}

}  // namespace kalyxon::util
