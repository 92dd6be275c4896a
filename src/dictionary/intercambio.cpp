#include "dictionary/intercambio.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <vector>

#include "dictionary/diccionario.h"

namespace kalyxon {

namespace {

bool tieneControl(std::u16string_view s) {
  for (char16_t c : s)
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
  return false;
}

// The count field: decimal digits only; a value beyond the store's largest
// count is read as that count (no overflow however long it is).
std::optional<int64_t> leeCuenta(std::string_view s) {
  if (s.empty()) return std::nullopt;
  int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = std::min<int64_t>(v * 10 + (c - '0'), kTopeSuma + 1);
  }
  return v;
}

}  // namespace

std::string exportaTabla(lexico::Tabla& t) {
  std::ostringstream tsv;
  tsv << "# codigo\tforma\tfrecuencia\n";
  for (auto c = t.recorre(lexico::Indice::frecuencia); !c.fin(); c.siguiente())
    tsv << lexico::utf8(c.actual().codigo) << "\t" << lexico::utf8(c.actual().forma()) << "\t"
        << c.actual().frecuencia << "\n";
  return tsv.str();
}

Importacion importaTabla(lexico::Tabla& t, std::istream& in, const std::string& nombre,
                         bool vaciar) {
  lexico::Base::Transaccion tr(t.base());
  if (vaciar) t.vacia();
  Importacion r;
  std::vector<std::string> errores;
  std::string linea;
  int numero = 0;
  while (std::getline(in, linea)) {
    ++numero;
    if (!linea.empty() && linea.back() == '\r') linea.pop_back();
    if (linea.empty() || linea[0] == '#') continue;
    auto error = [&](const std::string& que) {
      errores.push_back(nombre + ":" + std::to_string(numero) + ": " + que);
    };
    auto a = linea.find('\t');
    auto b = a == std::string::npos ? a : linea.find('\t', a + 1);
    if (b == std::string::npos || linea.find('\t', b + 1) != std::string::npos) {
      error("expected three fields separated by tabs");
      continue;
    }
    std::u16string clave = lexico::utf16(linea.substr(0, a));
    std::u16string forma = lexico::utf16(linea.substr(a + 1, b - a - 1));
    auto cuenta = leeCuenta(std::string_view(linea).substr(b + 1));
    if (clave.empty()) error("empty key");
    else if (forma.empty()) error("empty form");
    else if (tieneControl(clave) || tieneControl(forma)) error("control character in key or form");
    else if (!cuenta) error("bad count '" + linea.substr(b + 1) + "' (a whole number from 0 up)");
    // After the first bad line the rest is only checked, so that one run
    // names every line to mend.
    if (!errores.empty()) continue;
    std::string lista = lexico::listaCodigos(forma);
    if (auto reg = t.buscaPar(clave, lista)) {
      int32_t nueva = sumaSaturada(reg->frecuencia, *cuenta);
      if (nueva != reg->frecuencia) t.cambiaFrecuencia(reg->id, nueva);
    } else {
      t.anade(clave, lista, static_cast<int32_t>(std::min<int64_t>(*cuenta, kTopeSuma)));
      ++r.nuevas;
    }
    ++r.lineas;
  }
  if (!errores.empty()) {
    std::string todo;
    for (size_t i = 0; i < errores.size() && i < 10; ++i) todo += (i ? "\n" : "") + errores[i];
    if (errores.size() > 10) todo += "\n(" + std::to_string(errores.size() - 10) + " more)";
    throw lexico::Error(todo + "\nnothing imported", 0, u"el archivo tiene líneas no válidas; no se ha importado nada");
  }
  tr.confirma();
  return r;
}

}  // namespace kalyxon
