#include "dictionary/intercambio.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <vector>

#include "dictionary/diccionario.h"
#include "dictionary/tsv.h"

namespace kalyxon {

std::string exportaTabla(lexico::Tabla& t) {
  std::ostringstream tsv;
  tsv << "# codigo\tforma\tfrecuencia\n";
  for (auto c = t.recorre(lexico::Indice::frecuencia); !c.fin(); c.siguiente())
    tsv << lexico::lineaTsv(c.actual().codigo, c.actual().forma(), c.actual().frecuencia);
  return tsv.str();
}

Importacion importaTabla(lexico::Tabla& t, std::istream& in, const std::string& nombre,
                         bool vaciar) {
  lexico::Base::Transaccion tr(t.base());
  lexico::Base::CacheAmplia cache(t.base());
  if (vaciar) t.vacia();
  Importacion r;
  std::vector<std::string> errores;
  std::string linea;
  int numero = 0;
  while (std::getline(in, linea)) {
    ++numero;
    std::optional<lexico::LineaTsv> l;
    try {
      l = lexico::leeLineaTsv(linea);
    } catch (const std::invalid_argument& e) {
      errores.push_back(nombre + ":" + std::to_string(numero) + ": " + e.what());
    }
    // After the first bad line the rest is only checked, so that one run
    // names every line to mend.
    if (!l || !errores.empty()) continue;
    std::string lista = lexico::listaCodigos(l->forma);
    if (auto reg = t.buscaPar(l->clave, lista)) {
      int32_t nueva = sumaSaturada(reg->frecuencia, l->frecuencia);
      if (nueva != reg->frecuencia) t.cambiaFrecuencia(reg->id, nueva);
    } else {
      t.anade(l->clave, lista, std::min<int32_t>(l->frecuencia, kTopeSuma));
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
