// Filling a dictionary from a Greek text.
//
// The text is read as BetaCode, one character at a time (LectorBeta): "{...}"
// is skipped, "j" counts as "s", marks written after a small letter (or "*" and
// marks before a capital at the start of a word) reach their letter, an "s"
// before a separator is a final sigma, and every separator (a line end too)
// ends a word. Keys are capital letters whatever the case of the text, as
// typing makes them. Each
// word is counted into the table: a new form is added with count 1, a known
// one gains 1 up to 32766; forms whose key has 31 or more letters are skipped.
// The apostrophe (elision mark) is kept inside the word but not stored in it:
// typed words never carry it, so ἀλλ' is stored as ἀλλ, the form that typing
// A, L, L finds (the apostrophe is then typed after it).
//
// A text in UTF-8 (or UTF-16 with its byte-order mark) that contains Greek
// letters is read too: it is first turned
// into the upper-case BetaCode that says the same thing (normalised to NFC,
// each Greek letter written as its capital BetaCode letter with its marks
// after it, a capital as the letter followed by "*" and its marks, ’ as the
// apostrophe, "·" as ":", blanks and line ends and any other character as a
// blank), so it gives exactly the keys and forms of that BetaCode text. Greek
// letters outside the 24 (digamma, koppa...) are dropped as BetaCode's own
// would be, and so is the diaeresis, which BetaCode texts here do not carry.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "greek/alfabeto.h"
#include "dictionary/lexico.h"

namespace kalyxon {

// The BetaCode state machine.
class LectorBeta {
 public:
  explicit LectorBeta(const Alfabeto& letras) : letras_(letras) {}
  struct Palabra {
    std::u16string clave;
    std::string lista;  // canonical code list of `forma`
    std::u16string forma;
  };
  // Feeds one character. True when it was a separator: `palabra()` then holds
  // the word it ended (with an empty form when there was none).
  bool lee(char16_t c);
  const Palabra& palabra() const { return hecha_; }

 private:
  const RegSonido* sonido(int codigo);
  const Alfabeto& letras_;
  std::array<const RegSonido*, 26 * 4 * 3 * 2 * 4> cache_{};
  std::array<bool, 26 * 4 * 3 * 2 * 4> cacheHecho_{};
  bool saltando_ = false;
  bool hayPrevio_ = false;
  char16_t previo_ = 0;
  uint8_t may_ = 0, acc_ = 0, esp_ = 0, iot_ = 0;
  Palabra actual_, hecha_;
};

// Whether the bytes are UTF-8 text with Greek letters in it (a few invalid
// bytes allowed: no more than there are Greek letters).
bool esUnicodeGriego(std::string_view bytes);

// What a text file is, found from its bytes, never assumed: a byte-order
// mark says UTF-8 or UTF-16; NUL bytes without one say binary; UTF-8 with
// Greek letters is Unicode (its invalid bytes are listed); anything else is
// read as BetaCode.
struct TipoTexto {
  enum Tipo { utf8, utf16le, utf16be, beta, binario } tipo = beta;
  bool bom = false;
  int64_t invalidos = 0;                // bytes that are not UTF-8 (utf8 only)
  std::vector<int64_t> dondeInvalidos;  // the offsets of the first ten
  std::string nombre() const;           // "UTF-8", "UTF-16LE", "BetaCode"...
};
TipoTexto detectaTexto(std::string_view bytes);

// The upper-case BetaCode equivalent of a Unicode text (see above).
std::u16string betaDeUnicode(std::u16string_view texto, const Alfabeto& letras);

// The largest count the loader writes.
constexpr int32_t kTopeCarga = 32766;

// One load of a text into a table.
class Carga {
 public:
  Carga(const Alfabeto& letras, lexico::Tabla& destino) : letras_(letras), destino_(destino) {}

  // Let pending window events run: called every `cadaCuantos` characters.
  std::function<void()> pendientes;
  int cadaCuantos = 4096;
  // Called when the whole percentage read changes.
  std::function<void(int porcentaje, int64_t posicion)> porcentaje;
  // Called for every form added to the table, with the number added so far.
  std::function<void(const std::u16string& forma, int64_t nuevas)> nueva;
  // Asked at every word end: true stops the load there.
  std::function<bool()> parar;
  // Different forms gathered in memory before they are written and
  // committed: a text of a few million words is written once, in one
  // transaction, at its end (or at a stop). Only a huge vocabulary is
  // written in several committed batches.
  size_t loteFormas = size_t{1} << 19;

  struct Resultado {
    int64_t palabras = 0;  // words counted into the table
    int64_t nuevas = 0;    // new forms
    bool unicode = false;  // the text was read as Unicode (UTF-8 or UTF-16)
    bool parada = false;   // stopped by `parar`
    TipoTexto tipo;        // what the text was found to be
  };
  // Reads the whole text. A binary file is refused with lexico::Error
  // before anything is written. The counts are written when it ends or is stopped
  // (and when a batch is full); an error leaves the table as the last
  // committed batch left it and is rethrown.
  Resultado ejecuta(std::string_view bytes);

 private:
  void cuenta(const LectorBeta::Palabra& p, Resultado& r);
  void vuelca();
  const Alfabeto& letras_;
  lexico::Tabla& destino_;
  // The counts of a batch, gathered per form and written once at its end:
  // the same result as one write per word, without one write per word.
  struct Pendiente {
    int64_t id = 0;       // the stored record, when the form was there
    int32_t antes = 0;    // its count then
    int32_t veces = 0;    // occurrences in this batch
    std::u16string clave;
    bool nueva = false;
  };
  std::unordered_map<std::string, Pendiente> pendientes_;
  std::vector<std::string> orden_;  // first occurrences: new forms keep the text's order
};

}  // namespace kalyxon
