// The dictionary subsystem: the running word, its lookup and the candidates;
// choosing the current dictionary, filling it from texts and maintaining it.
//
// Every dictionary file is opened through the program's workspace (the main
// window's `wrkJet`), so opening a file again hands back the open connection;
// `datlxc` on the main window is the file of the current dictionary and
// `rstlxc` here its table. With no dictionary open the
// word check skips the search and shows no candidate, and the maintenance items
// say that no dictionary is open.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/contexto.h"
#include "greek/alfabeto.h"
#include "dictionary/lexico.h"

namespace kalyxon {

class Kalyxon;
namespace vm {
struct MenuItem;
}

// Colours of the word label, as system colour references (the high bit set and
// the platform's colour index below it) that front ends map to their palette:
// button text when the word has a candidate, the active border's grey when not.
constexpr uint32_t kColorConCandidato = 0x80000012;
constexpr uint32_t kColorSinCandidato = 0x8000000A;

// The largest count "Añadir palabra" stores: the one its prompt promises.
constexpr int32_t kTopePalabra = 32000;
// The largest count a merge stores.
constexpr int32_t kTopeSuma = 32767;

class Diccionario {
 public:
  explicit Diccionario(Kalyxon& k);
  ~Diccionario();
  Diccionario(const Diccionario&) = delete;
  Diccionario& operator=(const Diccionario&) = delete;

  // ---- Word check ----------------------------------------------------------
  // With 0 resets the running word; with a key code extends it and searches.
  void cadenaGriego(int32_t caracter, bool mayuscula);
  // Looks up a whole Greek word (dropped on the window). The text is first
  // normalised to NFC: text from other programs often comes decomposed.
  void revisaGriego(const std::u16string& palabra);
  void hazVariantes(const std::u16string& cadena);
  void addVariante(std::u16string secuencia, const std::u16string& origen,
                   const std::u16string& destino);
  void buscaFormas();
  // The next candidate (click on imgcam, candidate key); only while lPalabra.
  void siguienteCandidato();
  void mnudicapro_Click();
  // The candidate that replaces the word at a separator: the one shown, or,
  // with "Acento según contexto" ticked and no other candidate picked, the
  // form of the first one's key that fits the context (see contexto.h).
  const std::u16string& candidatoFinal(Contexto contexto);
  // How many of the candidates have the typed key itself (they come first;
  // the approximate mode's variant keys add the rest).
  int nExactos = 0;
  // The counts of the candidates, as cCandidatos.
  std::array<int32_t, 36> cuentas{};

  std::array<std::u16string, 22> cVariantes{};
  uint8_t nVariantes = 0;

  // ---- Choosing dictionaries -------------------------------------------------
  // Opens `tabla` of the file `base` (a name in the program folder) as the
  // current dictionary and captions the window. Throws lexico::Error (or
  // lexico::BaseOcupada) when the file or table cannot be opened; the current
  // dictionary is then unchanged.
  void cambiaDiccionario(const std::u16string& base, std::string_view tabla);
  // The click on one of the eight dictionary items: opens its table from the
  // file in the item's tag and ticks only that item. A failure is shown in a
  // message box and changes nothing.
  void eligeDiccionario(std::string_view tabla);
  // "Cargar": starts a load, or asks the running one to stop.
  void mnudiccar_Click();
  void cargaDiccionario();
  bool lFinCarga = false;
  // The whole percentage of the running load or merge, -1 when none runs: a
  // front end may show it as a progress bar when pending events run.
  int porcentaje = -1;

  // ---- Maintenance -------------------------------------------------------------
  void addDiccionario();
  void addClasico();
  void borraDiccionario();
  void borraNumero();

  // The menu item of a dictionary table (nullptr for other names).
  vm::MenuItem* menuDe(std::string_view tabla);
  // The table of the current dictionary, or nullptr.
  lexico::Tabla* actual() const { return rstlxc.get(); }

  // The alphabet tables the word check and the loader read.
  const Alfabeto& letras();

  // The program's workspace (created on first use when the settings load has
  // not made it yet).
  lexico::Espacio& espacio();
  // Lets go of the current dictionary and of the merge's complete one.
  void cierra();

  std::shared_ptr<lexico::Tabla> rstlxc;
  std::shared_ptr<lexico::Base> datlxc2;
  std::shared_ptr<lexico::Tabla> rstlxc2;

 private:
  bool anadeLetra(const RegSonido& fila, char16_t original);
  void muestraSinCandidato();
  bool hayDiccionario();
  Kalyxon& k_;
};

// `antes` + `mas` as a stored count: never lower than `antes`, at most
// kTopeSuma (unless `antes` already was), without overflow for any input.
int32_t sumaSaturada(int64_t antes, int64_t mas);

// A number typed in an input box, read as the leading decimal number of the
// text (0 when there is none) and rounded to the nearest whole number, halves
// to the even neighbour.
int64_t numeroEscrito(std::u16string_view texto);

}  // namespace kalyxon
