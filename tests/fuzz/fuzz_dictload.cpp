// Loading a dictionary from a text (BetaCode, or UTF-8 Greek), into a table
// held in memory. Properties: every stored record is well formed (canonical
// code list, a key of at most 30 letters, a count within bounds); the new
// forms are the stored ones; a UTF-8 text gives the table of its BetaCode
// equivalent.
#include <cstdint>
#include <map>
#include <memory>

#include "app/kalyxon.h"
#include "dictionary/cargador.h"
#include "fuzz_support.h"
#include "platform/scripted.h"

using namespace kalyxon;

namespace {

struct Entorno {
  platform::scripted::ScriptedServices s;
  Kalyxon k{s.services(), fuzz::carpetaDatos()};
  lexico::Espacio espacio;
  std::shared_ptr<lexico::Base> base = espacio.abre(":memory:", true);
  std::shared_ptr<lexico::Tabla> tabla = base->creaTabla("clasico");
  Entorno() { FUZZ_CHECK(k.alfabeto().cargado()); }
};

Entorno& entorno() {
  static Entorno e;
  return e;
}

using Contenido = std::map<std::pair<std::u16string, std::string>, int32_t>;

Contenido carga(std::string_view bytes, Carga::Resultado& r) {
  auto& e = entorno();
  e.tabla->vacia();
  Carga c(e.k.alfabeto(), *e.tabla);
  c.loteFormas = 7;  // several batches even in short texts
  r = c.ejecuta(bytes);
  Contenido out;
  int64_t suma = 0;
  for (auto cur = e.tabla->recorre(lexico::Indice::completo); !cur.fin(); cur.siguiente()) {
    const auto& reg = cur.actual();
    FUZZ_CHECK(!reg.unicode.empty());
    FUZZ_CHECK(lexico::listaCodigos(reg.forma()) == reg.unicode);
    FUZZ_CHECK(!reg.codigo.empty() && reg.codigo.size() <= 30);
    FUZZ_CHECK(reg.frecuencia >= 1 && reg.frecuencia <= kTopeCarga);
    suma += reg.frecuencia;
    FUZZ_CHECK(out.emplace(std::make_pair(reg.codigo, reg.unicode), reg.frecuencia).second);
  }
  FUZZ_CHECK(static_cast<int64_t>(out.size()) == r.nuevas);
  FUZZ_CHECK(r.nuevas <= r.palabras && suma <= r.palabras);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto bytes = fuzz::bytes(data, size);
  Carga::Resultado r;
  Contenido tabla = carga(bytes, r);
  FUZZ_CHECK(r.palabras <= static_cast<int64_t>(size));
  if (r.unicode) {
    std::u16string beta = betaDeUnicode(lexico::utf16(bytes), entorno().k.alfabeto());
    std::string ascii;
    for (char16_t c : beta) {
      FUZZ_CHECK(c < 0x80);
      ascii += static_cast<char>(c);
    }
    Carga::Resultado r2;
    FUZZ_CHECK(carga(ascii, r2) == tabla);
    FUZZ_CHECK(!r2.unicode && r2.palabras == r.palabras);
  }
  return 0;
}
