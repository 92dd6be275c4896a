// Filling a dictionary from a text through the "Cargar" item.
#include <gtest/gtest.h>

#include <map>

#include "dictionary/cargador.h"
#include "dictionary_support.h"

namespace kalyxon {
namespace {

using Contenido = std::map<std::pair<std::u16string, std::u16string>, int>;  // (key, form) -> count

struct Lector {
  CarpetaTemporal dir{true};
  platform::scripted::ScriptedServices s;
  std::unique_ptr<Kalyxon> k;
  Lector() { arranca(); }
  void arranca() {
    k = std::make_unique<Kalyxon>(s.services(), dir.ruta());
    k->diccionario().espacio().abre(dir.ruta() / "LEXICA_prueba.db", true)->creaTabla("Platon");
    k->diccionario().cambiaDiccionario(u"LEXICA_prueba.db", "Platon");
  }
  // Loads `texto` with "Cargar"; `vaciar` answers the question about emptying.
  void carga(const std::string& texto, bool vaciar = false) {
    auto ruta = dir.ruta() / "texto.txt";
    escribeFichero(ruta, texto);
    s.fileDialog.answers.push_back(ruta.string());
    s.messageBox.answers.push_back(vaciar ? platform::Answer::Yes : platform::Answer::No);
    auto& m = k->form1.mnudiccar;
    if (m.checked) k->diccionario().mnudiccar_Click();  // a finished load leaves it ticked
    k->diccionario().mnudiccar_Click();
  }
  Contenido contenido() {
    Contenido c;
    for (auto w = k->diccionario().rstlxc->recorre(lexico::Indice::completo); !w.fin(); w.siguiente())
      c[{w.actual().codigo, w.actual().forma()}] = w.actual().frecuencia;
    return c;
  }
};

TEST(Loading, BetaCodeRules) {
  Lector b;
  const std::string texto =
      "{*)odu/sseia a}lo/gos *)a/nqrwpos *s \n"
      "ai)/c; a)lla\\ ba\n"
      "ta kai/ {skipped kai/} w(=|s. jj tou=to";  // the last word counts without a separator
  b.carga(texto);
  auto c = b.contenido();
  // Keys are capitals, as typing makes them; a line end separates words.
  Contenido esperado{
      {{u"LOGOS", u"λόγος"}, 1}, {{u"ANQRWPOS", u"Ἄνθρωπος"}, 1}, {{u"S", u"Σ"}, 1},
      {{u"AIC", u"αἴξ"}, 1},     {{u"ALLA", u"ἀλλὰ"}, 1},         {{u"BA", u"βα"}, 1},
      {{u"TA", u"τα"}, 1},       {{u"KAI", u"καί"}, 1},           {{u"WS", u"ᾧς"}, 1},
      {{u"SS", u"σς"}, 1},       {{u"TOUTO", u"τοῦτο"}, 1},
  };
  EXPECT_EQ(c, esperado);
  EXPECT_EQ(b.k->form1.lblasc.caption, u" 100% ");
  EXPECT_EQ(b.k->form1.lblfon.caption, u" 11");
  EXPECT_EQ(b.k->form1.UniLabel1.display11, 14);
  EXPECT_TRUE(b.k->form1.mnudiccar.checked);  // left ticked after a full load
  ASSERT_EQ(b.s.messageBox.shown.size(), 1u);
  EXPECT_EQ(b.s.messageBox.shown[0].text, u"Borrar las entradas anteriores?");
  // The same text again, the table kept: every count doubles, no row is added.
  b.carga(texto);
  for (auto& [clave, n] : esperado) n *= 2;
  EXPECT_EQ(b.contenido(), esperado);

  // Upper-case BetaCode gives upper-case keys; "yes" empties the table first.
  b.carga("LO/GOS *)A ", true);
  EXPECT_EQ(b.contenido(), (Contenido{{{u"LOGOS", u"λόγος"}, 1}, {{u"A", u"Ἀ"}, 1}}));

  // Keys of 31 letters or more are not stored; counts stop at 32766.
  b.k->diccionario().rstlxc->vacia();
  b.k->diccionario().rstlxc->anade(u"A", lexico::listaCodigos(u"α"), 32765);
  b.carga(std::string(31, 'a') + " " + std::string(30, 'b') + " a a a ");
  auto c2 = b.contenido();
  EXPECT_EQ(c2.size(), 2u);
  EXPECT_EQ((c2[{u"A", u"α"}]), 32766);
  EXPECT_EQ((c2[{std::u16string(30, u'B'), std::u16string(30, u'β')}]), 1);
}

TEST(Loading, CancelledFileDialogAsksNothingAndNoDictionarySaysSo) {
  Lector b;
  b.k->diccionario().mnudiccar_Click();
  EXPECT_EQ(b.s.fileDialog.opened, 1);
  EXPECT_TRUE(b.s.messageBox.shown.empty());

  b.k->diccionario().rstlxc.reset();
  b.k->form1.mnudiccar.checked = false;
  b.k->diccionario().mnudiccar_Click();
  EXPECT_EQ(b.s.fileDialog.opened, 1);
  ASSERT_EQ(b.s.messageBox.shown.size(), 1u);
  EXPECT_NE(b.s.messageBox.shown[0].text.find(u"ningún diccionario"), std::u16string::npos);
  EXPECT_FALSE(b.k->form1.mnudiccar.checked);
}

// A second click on "Cargar" and "Detener" beside the progress bar stop a
// load alike, and what was stored stays.
TEST(Loading, StoppedKeepsWhatWasStored) {
  std::string texto;
  for (int i = 0; i < 20000; ++i) texto += "a" + std::string(static_cast<size_t>(i % 25 + 1), 'b') + " ";
  for (bool desdeLaBarra : {false, true}) {
    SCOPED_TRACE(desdeLaBarra ? "Detener" : "Cargar");
    Lector b;
    long alPararse = 0;
    b.s.pump.onPump = [&](long n) {
      EXPECT_GE(b.k->diccionario().porcentaje, 0);  // a front end's progress bar
      if (n != 3) return;
      alPararse = n;
      if (desdeLaBarra)
        b.s.progress.stop();
      else
        b.k->diccionario().mnudiccar_Click();
    };
    b.carga(texto);
    EXPECT_EQ(alPararse, 3);
    EXPECT_FALSE(b.k->form1.mnudiccar.checked);
    EXPECT_EQ(b.k->form1.lblhex.caption, u"FIN");
    EXPECT_EQ(b.k->diccionario().porcentaje, -1);
    EXPECT_LT(b.s.pump.calls, 10);  // the pump ran now and then, not after every character
    ASSERT_EQ(b.s.progress.begun.size(), 1u);
    EXPECT_EQ(b.s.progress.begun[0], u"Cargando Platon");
    EXPECT_GT(b.s.progress.steps, 0);
    EXPECT_LT(b.s.progress.done, b.s.progress.total);
    EXPECT_EQ(b.s.progress.ended, 1);
    auto guardadas = b.contenido();
    int64_t total = 0;
    for (auto& [k, n] : guardadas) total += n;
    EXPECT_GT(total, 0);
    EXPECT_LT(total, 20000);
    // What was stored is committed: it is there after the program closes.
    b.k.reset();
    b.arranca();
    EXPECT_EQ(b.contenido(), guardadas);
  }
}

std::string utf16(const std::u16string& t, bool le) {
  std::string out = le ? "\xFF\xFE" : "\xFE\xFF";
  for (char16_t c : t) {
    char a = static_cast<char>(c & 0xFF), z = static_cast<char>(c >> 8);
    out += le ? std::string{a, z} : std::string{z, a};
  }
  return out;
}

TEST(Loading, EncodingsAreDetectedNotGuessed) {
  Lector b;
  // NFC and decomposed input, elision, capitals with marks, iota subscript,
  // raised dot, line ends between words, diaeresis (dropped as in BetaCode).
  const std::string texto =
      "Ἄνδρα μοι ἔννεπε, Μοῦσα, πολύτροπον·\nὃς μάλα πολλὰ\r\nπλάγχθη, ἐπεὶ δ’ ᾠδῇ "
      "λο\xCC\x81γος ἀΐδιος Ἀθηναίων. ";
  b.carga(texto, true);
  const auto gemelo = b.contenido();
  EXPECT_EQ(gemelo.at({u"ANDRA", u"Ἄνδρα"}) + gemelo.at({u"WDH", u"ᾠδῇ"}) + gemelo.at({u"AIDIOS", u"ἀίδιος"}), 3);
  // The same text with a mark, in UTF-16 both ways, and in upper-case
  // BetaCode: the same forms and keys.
  const std::u16string t16 = lexico::utf16(texto);
  for (const std::string& otra :
       {"\xEF\xBB\xBF" + texto, utf16(t16, true), utf16(t16, false),
        std::string("*)/ANDRA MOI E)/NNEPE, *MOU=SA, POLU/TROPON: O(\\S MA/LA POLLA\\ PLA/GXQH, E)PEI\\ D' "
                    "W)|DH=| LO/GOS A)I/DIOS *)AQHNAI/WN. ")}) {
    b.carga(otra, true);
    EXPECT_EQ(b.contenido(), gemelo);
  }
  EXPECT_EQ(b.s.messageBox.shown.size(), 5u);  // only the questions about emptying
  EXPECT_TRUE(esUnicodeGriego("λόγος"));
  EXPECT_FALSE(esUnicodeGriego("lo/gos"));
  EXPECT_FALSE(esUnicodeGriego("\xE1\xBC"));  // cut UTF-8 is read as 8-bit BetaCode

  // A few invalid bytes: read as UTF-8, the bytes reported.
  b.carga("λόγος \xFF ἀνήρ", true);
  EXPECT_EQ(b.contenido().size(), 2u);  // the last word counts without a blank after it
  EXPECT_EQ(b.s.messageBox.shown.back().text,
            u"El archivo texto.txt tiene 1 bytes que no son UTF-8 válido (el primero en la "
            u"posición 11); se han leído como espacios.");
  // A binary file is refused and changes nothing; a text without Greek says so.
  b.carga(std::string("PK\x03\x04\0\0lo/gos", 12), true);
  EXPECT_EQ(b.contenido().size(), 2u);
  EXPECT_NE(b.s.messageBox.shown.back().text.find(u"no es un texto"), std::u16string::npos);
  b.carga("12345 -- ?? 678\n", false);
  EXPECT_NE(b.s.messageBox.shown.back().text.find(u"no contiene palabras griegas"),
            std::u16string::npos);
}

}  // namespace
}  // namespace kalyxon
