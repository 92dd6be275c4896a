// The maintenance items of the Diccionario menu.
#include <gtest/gtest.h>

#include "dictionary_support.h"

namespace kalyxon {
namespace {

using lexico::listaCodigos;
using platform::Answer;

TEST(Maintenance, AddWordAsksTwiceAndClampsTheCount) {
  Banco b("Esopo", true);
  b.d.addDiccionario();  // nothing typed: no dialog at all
  EXPECT_TRUE(b.s.messageBox.shown.empty());
  EXPECT_TRUE(b.s.inputBox.asked.empty());

  struct Caso {
    const char16_t* clave;
    std::u16string forma;
    std::optional<std::u16string> respuesta;
    int esperado;
  };
  Caso casos[] = {
      {u"LOGOS", u"λόγος", std::nullopt, 1}, {u"LOGON", u"λόγον", u"-5", 1},
      {u"LOGOU", u"λόγου", u"0", 1},         {u"LOGW", u"λόγῳ", u"40000", kTopePalabra},
      {u"LOGOI", u"λόγοι", u" 2.5 veces", 2}, {u"LOGWN", u"λόγων", u"3.5", 4},
  };
  for (auto& c : casos) {
    b.f.cNueva = c.forma;
    b.f.cCadCla = c.clave;
    b.s.inputBox.answers.push_back(c.respuesta);
    b.d.addDiccionario();
    EXPECT_EQ(b.cuenta(c.clave, c.forma), c.esperado) << lexico::utf8(c.forma);
  }
  ASSERT_FALSE(b.s.messageBox.shown.empty());
  EXPECT_EQ(b.s.messageBox.shown[0].text, u"¿Añadir el término al lexico Esopo?");
  EXPECT_EQ(b.s.inputBox.asked[0].initial, u"50");
  EXPECT_EQ(b.f.UniLabel1.caption, u"λόγων");

  // A pair already there keeps its count; "no" adds nothing.
  b.f.cNueva = u"λόγος";
  b.f.cCadCla = u"LOGOS";
  b.s.inputBox.answers.push_back(u"700");
  b.d.addDiccionario();
  EXPECT_EQ(b.cuenta(u"LOGOS", u"λόγος"), 1);
  b.f.cNueva = u"λόγε";
  b.f.cCadCla = u"LOGE";
  b.s.messageBox.answers.push_back(Answer::No);
  b.d.addDiccionario();
  EXPECT_EQ(b.cuenta(u"LOGE", u"λόγε"), 0);
}

TEST(Maintenance, MergeIntoTheCompleteDictionaryAddsAndCaps) {
  Banco b("Esopo", true);
  b.d.addClasico();
  ASSERT_EQ(b.s.messageBox.shown.size(), 1u);
  EXPECT_EQ(b.s.messageBox.shown[0].text, u"No se encuentra LEXICA_completo.db");

  auto completo = b.d.espacio().abre(b.dir.ruta() / "LEXICA_completo.db", true)->creaTabla("completo");
  completo->anade(u"KAI", listaCodigos(u"καί"), 20000);
  completo->anade(u"KAI", listaCodigos(u"Καί"), 1);
  b.t->anade(u"KAI", listaCodigos(u"καί"), 10000);
  b.t->anade(u"LOGOS", listaCodigos(u"λόγος"), 7);
  b.t->anade(u"MUQOS", listaCodigos(u"μῦθος"), 3);
  b.s.messageBox.shown.clear();
  b.d.addClasico();
  b.d.addClasico();
  EXPECT_EQ(b.cuenta(u"KAI", u"καί", completo.get()), kTopeSuma);
  EXPECT_EQ(b.cuenta(u"KAI", u"Καί", completo.get()), 1);
  EXPECT_EQ(b.cuenta(u"LOGOS", u"λόγος", completo.get()), 14);
  EXPECT_EQ(b.cuenta(u"MUQOS", u"μῦθος", completo.get()), 6);
  EXPECT_EQ(completo->registros(), 4);
  ASSERT_EQ(b.s.messageBox.shown.size(), 4u);
  EXPECT_EQ(b.s.messageBox.shown[0].text, u"¿Añadir el diccionario Esopo al completo?");
  EXPECT_EQ(b.s.messageBox.shown[1].text,
            u"El diccionario se ha añadido, puede que necesite reiniciar el programa.");
  EXPECT_EQ(b.f.lblasc.caption, u" 100% ");
  EXPECT_EQ(b.f.lblfon.caption, u" 3");

  // Into itself, and from an empty dictionary: a clear message, nothing changed.
  b.s.messageBox.shown.clear();
  b.d.cambiaDiccionario(u"LEXICA_completo.db", "completo");
  b.d.addClasico();
  ASSERT_EQ(b.s.messageBox.shown.size(), 1u);
  EXPECT_NE(b.s.messageBox.shown[0].text.find(u"sí mismo"), std::u16string::npos);
  b.d.espacio().abre(b.dir.ruta() / "LEXICA_prueba.db")->creaTabla("Homero");
  b.d.cambiaDiccionario(u"LEXICA_prueba.db", "Homero");
  b.d.addClasico();
  ASSERT_EQ(b.s.messageBox.shown.size(), 3u);
  EXPECT_NE(b.s.messageBox.shown[2].text.find(u"vacío"), std::u16string::npos);
  EXPECT_EQ(completo->registros(), 4);
}

TEST(Maintenance, DeleteTheFormOnShowAndRareForms) {
  Banco b("Esopo", true);
  for (int i = 1; i <= 5; ++i) b.t->anade(u"A", listaCodigos(std::u16string(static_cast<size_t>(i), u'α')), i);
  b.d.borraDiccionario();  // no form collected yet: nothing asked
  EXPECT_TRUE(b.s.messageBox.shown.empty());
  b.f.cCadUni = u"ααααα";
  b.d.borraDiccionario();
  ASSERT_EQ(b.s.messageBox.shown.size(), 1u);
  EXPECT_EQ(b.s.messageBox.shown[0].text, u"¿Borrar la forma griega actual del diccionario?");
  EXPECT_EQ(b.t->registros(), 4);

  // 0, empty, no digits or cancel: nothing deleted, nothing shown.
  for (auto r : {std::optional<std::u16string>(u"0"), std::optional<std::u16string>(u""),
                 std::optional<std::u16string>(u"tres"), std::optional<std::u16string>()}) {
    b.s.inputBox.answers.push_back(r);
    b.d.borraNumero();
  }
  EXPECT_EQ(b.t->registros(), 4);
  EXPECT_EQ(b.s.messageBox.shown.size(), 1u);
  EXPECT_EQ(b.s.inputBox.asked[0].prompt, u"Borrar de ESOPO formas con frecuencia igual o menor a...");

  b.s.inputBox.answers.push_back(u"3");
  b.d.borraNumero();
  EXPECT_EQ(b.t->registros(), 1);
  EXPECT_EQ(b.s.messageBox.shown.back().text, u"Borradas 3 formas");
  EXPECT_FALSE(b.s.pointer.busy);
  EXPECT_EQ(b.s.pointer.changes, 2);
}

TEST(Maintenance, ChoosingADictionaryTicksOnlyItsItem) {
  Banco b("Esopo", true);
  b.d.espacio().abre(b.dir.ruta() / "LEXICA_prueba.db")->creaTabla("Jenofonte");

  b.f.mnudiccla.checked = true;
  b.f.mnudicjen.tag = u"LEXICA_prueba.db";
  b.d.eligeDiccionario("Jenofonte");
  EXPECT_TRUE(b.f.mnudicjen.checked);
  EXPECT_FALSE(b.f.mnudiccla.checked);
  EXPECT_EQ(b.f.ventana.caption, u"Kalyxon - JENOFONTE");
  EXPECT_EQ(b.d.rstlxc->nombre(), "Jenofonte");

  // A file that is gone: a message, and the current dictionary stays.
  b.f.mnudicpla.tag = u"LEXICA_no.db";
  b.d.eligeDiccionario("Platon");
  EXPECT_EQ(b.d.rstlxc->nombre(), "Jenofonte");
  EXPECT_TRUE(b.f.mnudicjen.checked);
  EXPECT_FALSE(b.f.mnudicpla.checked);
  ASSERT_EQ(b.s.messageBox.shown.size(), 1u);
}

}  // namespace
}  // namespace kalyxon
