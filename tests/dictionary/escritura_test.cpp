// Typing with the shipped dictionaries, through the simulated keyboard and
// application.
#include <gtest/gtest.h>

#include <map>

#include "dictionary_support.h"
#include "keyboard/simulador.h"

namespace kalyxon {
namespace {

struct Escritorio {
  CarpetaTemporal dir{true};
  std::unique_ptr<TecladoSimulado> t;
  explicit Escritorio(const char* fichero, const char* tabla) {
    std::filesystem::copy_file(std::filesystem::path(KALYXON_RUNTIME_DIR) / fichero, dir.ruta() / fichero);
    t = std::make_unique<TecladoSimulado>(dir.ruta());
    t->k().diccionario().cambiaDiccionario(lexico::utf16(fichero), tabla);
    t->activaGriego();
    t->form1().chkdic.setValue(1);
  }
};

TEST(ShippedDictionaries, TypedWordsAreReplacedByTheAccentedForm) {
  Escritorio e("LEXICA.db", "clasico");
  e.t->escribe("L O G O S space K A I space");
  EXPECT_EQ(e.t->textoUtf8(), "λόγος καὶ ");

  // Approximate mode finds eta for a typed epsilon.
  e.t->form1().mnudicapro.checked = true;
  e.t->escribe("T E N space");
  EXPECT_EQ(e.t->textoUtf8(), "λόγος καὶ τὴν ");
}

TEST(ShippedDictionaries, EveryTableIsThereAndKeysAreCapitalBetaCode) {
  CarpetaTemporal dir;
  lexico::Espacio ws;
  std::map<std::string, int64_t> tablas;
  for (const auto& d : lexico::kDiccionarios) tablas[d.tabla] = 0;
  for (const auto& f : lexico::ficherosDiccionario(KALYXON_RUNTIME_DIR)) {
    std::filesystem::copy_file(f, dir.ruta() / f.filename());
    auto base = ws.abre(dir.ruta() / f.filename());
    for (const auto& t : base->tablas()) {
      EXPECT_EQ(t.campos, 3);
      tablas[t.nombre] = t.registros;
      auto c = base->tabla(t.nombre)->recorre(lexico::Indice::frecuencia);
      for (int i = 0; i < 500 && !c.fin(); ++i, c.siguiente())
        for (char16_t ch : c.actual().codigo) EXPECT_TRUE(ch >= u'A' && ch <= u'Z') << t.nombre;
    }
  }
  for (const auto& [nombre, n] : tablas) EXPECT_GT(n, 10000) << nombre;
  // The basic list is the part of the complete one seen at least twice.
  EXPECT_LT(tablas["clasico"], tablas["completo"]);
}

}  // namespace
}  // namespace kalyxon
