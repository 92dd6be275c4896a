// The running word, its lookup and the candidate list, through the program
// object with scripted services; the shipped dictionaries typed with.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "dictionary_support.h"
#include "keyboard/simulador.h"

namespace kalyxon {
namespace {

// The candidates collected, in order, and what the labels show.
std::u16string lista(const Form1& f) {
  std::u16string r;
  for (size_t i = 1; i < f.cCandidatos.size() && !f.cCandidatos[i].empty(); ++i) r += f.cCandidatos[i] + u" ";
  return r;
}
std::u16string etiquetas(const Form1& f) { return f.UniLabel1.caption + u" | " + f.lblpal.caption; }

TEST(WordCheck, TypingLogosShowsTheFormsMostFrequentFirstAndStepsThroughThem) {
  Banco b("Homero", false);
  b.forma(u"LOGOS", u"Λόγος", 2);
  b.forma(u"LOGOS", u"λόγος", 9);
  b.forma(u"LOGOI", u"λόγοι", 4);
  // Without a dictionary open nothing is searched, and nothing is said.
  b.teclea("LOGOS");
  EXPECT_EQ(b.f.cCadCla + u"|" + lista(b.f), u"LOGOS|");
  EXPECT_FALSE(b.f.lPalabra || b.f.imgcam.visible);
  EXPECT_TRUE(b.s.messageBox.shown.empty());
  b.d.cadenaGriego(0, false);
  b.abre();

  b.teclea("LOGO");
  EXPECT_EQ(b.f.lblpal.foreColor, kColorSinCandidato);
  b.teclea("S");
  EXPECT_EQ(b.f.lblasc.caption, u"83");
  EXPECT_TRUE(b.f.lPalabra);
  EXPECT_EQ(lista(b.f), u"λόγος Λόγος ");
  EXPECT_EQ(b.f.lblpal.foreColor, kColorConCandidato);
  EXPECT_TRUE(b.f.imgcam.visible);
  EXPECT_EQ(b.f.cCadUni, u"Λόγος");  // the last form collected
  // The next candidate, and past the last back to the first.
  for (const char16_t* e : {u"1 λόγος | logos 9", u"2 Λόγος | logos 2", u"1 λόγος | logos 9"}) {
    EXPECT_EQ(etiquetas(b.f), e);
    b.d.siguienteCandidato();
  }

  // J is looked up as chi's key: "LOGOSJ" has no form; the list stays.
  b.d.cadenaGriego(74, false);
  EXPECT_EQ(b.f.cCadCla, u"LOGOSX");
  EXPECT_FALSE(b.f.lPalabra || b.f.imgcam.visible);
  EXPECT_EQ(b.f.UniLabel1.caption, u"");

  // A key without a letter: nothing added, no candidate shown, list kept.
  b.teclea("LOGOI");
  b.d.cadenaGriego(0, false);
  b.teclea("LOGOI");
  ASSERT_TRUE(b.f.lPalabra);
  b.d.cadenaGriego(49, false);
  EXPECT_FALSE(b.f.lPalabra);
  EXPECT_EQ(b.f.cCadCla, u"LOGOI");
  EXPECT_EQ(lista(b.f), u"λόγοι ");
  EXPECT_EQ(b.f.lblpal.foreColor, kColorSinCandidato);

  // The word reset empties the word and leaves the labels as they are.
  b.f.noDiacritico = false;
  b.d.cadenaGriego(0, false);
  EXPECT_EQ(b.f.lblasc.caption, u"0");
  EXPECT_TRUE(b.f.cCadCla.empty() && b.f.cBorraCad.empty() && b.f.cCadUni.empty());
  EXPECT_TRUE(b.f.noDiacritico);
  EXPECT_EQ(lista(b.f), u"λόγοι ");
  EXPECT_EQ(b.f.lblpal.caption, u"logoi 4");
}

TEST(WordCheck, ApproximateModeAddsOneChangeVariants) {
  Banco b("Homero", false);
  b.forma(u"THN", u"τήν", 50);
  b.forma(u"TEN", u"τεν", 1);
  b.abre();
  b.d.hazVariantes(u"LOGOS");
  EXPECT_EQ(b.d.nVariantes, 0);  // off: only the word's own key

  b.d.mnudicapro_Click();
  ASSERT_TRUE(b.f.mnudicapro.checked);
  auto variantes = [&](const char16_t* clave) {
    b.d.hazVariantes(clave);
    return std::vector<std::u16string>(b.d.cVariantes.begin() + 1, b.d.cVariantes.begin() + 1 + b.d.nVariantes);
  };
  EXPECT_EQ(variantes(u"LOGOS"), (std::vector<std::u16string>{u"LWGOS", u"LLOGOS"}));
  // "I" gives the I -> EI variant twice, each change made in the key only once.
  EXPECT_EQ(variantes(u"TIMHI"), (std::vector<std::u16string>{u"TIMEI", u"TUMHI", u"TEIMHI", u"TEIMHI"}));

  // Typing TEN finds its own form first, then the eta form.
  b.teclea("TEN");
  EXPECT_EQ(lista(b.f), u"τεν τήν ");
  EXPECT_EQ(b.f.cInfoCandidatos[2], u"ten 50");  // the transliteration as typed
}

TEST(WordCheck, AtMost34CandidatesAndOneCandidateHidesTheChangeImage) {
  Banco b("Homero", false);
  for (int i = 0; i < 40; ++i) b.forma(u"A", std::u16string(1, static_cast<char16_t>(0x3B1)) + std::u16string(static_cast<size_t>(i + 1), u'\u0386'), 100 - i);
  b.forma(u"B", u"β", 1);
  b.abre();
  b.teclea("A");
  const auto l = lista(b.f);
  EXPECT_EQ(std::count(l.begin(), l.end(), u' '), 34);
  EXPECT_EQ(b.f.cInfoCandidatos[34], u"a 67");
  EXPECT_TRUE(b.f.imgcam.visible);

  b.d.cadenaGriego(0, false);
  b.teclea("B");
  EXPECT_TRUE(b.f.lPalabra);
  EXPECT_FALSE(b.f.imgcam.visible);
  EXPECT_EQ(lista(b.f), u"β ");  // the longer earlier list is gone
  b.d.siguienteCandidato();
  EXPECT_EQ(b.f.UniLabel1.caption, u"1 β");
}

TEST(WordCheck, DroppedWordIsNormalisedAndOnlyGreekLettersCount) {
  Banco b("Homero", false);
  b.forma(u"LOGOS", u"λόγος", 9);
  b.abre();
  int clicks = 0;
  b.f.chkdic.onChange = [&] { ++clicks; };
  // Decomposed omicron + acute, with Latin letters, digits and punctuation mixed in.
  b.d.revisaGriego(u"«λο\u0301x1γος»");
  EXPECT_EQ(b.f.chkdic.value, 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(b.f.cCadCla, u"LOGOS");
  EXPECT_EQ(b.f.cCadOri, u"λόγος");
  EXPECT_EQ(b.f.cBorraCad.size(), 5u * 6u);
  EXPECT_EQ(b.f.UniLabel1.caption, u"1 λόγος");
  // Blanks, line ends and punctuation around a dropped word.
  for (const char16_t* t : {u"  λόγος\r\n", u"λόγος,", u"(λόγος)·", u"\tλόγος; ", u"«λόγος»."}) {
    b.d.revisaGriego(t);
    EXPECT_EQ(b.f.cCadCla + u" " + b.f.UniLabel1.caption, u"LOGOS 1 λόγος") << lexico::utf8(t);
  }
}

// Typing with the shipped dictionaries, through the simulated keyboard and
// application.
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
