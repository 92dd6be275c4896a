#include "dictionary/contexto.h"

#include <algorithm>

namespace kalyxon {

namespace {

// The letter `c` with other marks; `c` itself when the alphabet has no such letter.
char16_t cambia(const Alfabeto& letras, char16_t c, int acento, int mayuscula) {
  const RegSonido* r = letras.sonidoPorUni(c);
  if (!r) return c;
  const RegSonido* o = letras.sonidoPorMarcas(r->codfon, acento < 0 ? r->codacc : acento,
                                              r->codesp, mayuscula < 0 ? r->codmay : mayuscula,
                                              r->coddie, r->codiot);
  return o ? static_cast<char16_t>(o->coduni) : c;
}

int acento(const Alfabeto& letras, char16_t c) {
  const RegSonido* r = letras.sonidoPorUni(c);
  return r ? r->codacc : 0;
}

bool vocal(const Alfabeto& letras, char16_t c) {
  const RegSonido* r = letras.sonidoPorUni(c);
  if (!r) return false;
  for (char16_t v : std::u16string_view(u"αεηιουω")) {
    const RegSonido* b = letras.sonidoPorUni(v);
    if (b && b->codfon == r->codfon) return true;
  }
  return false;
}

constexpr int kAgudo = 1, kGrave = 2;
// At a sentence start the capitalised form goes first when it is counted at
// least a quarter as often as the one in small letters.
constexpr int64_t kParteCapital = 4;

}  // namespace

size_t eligePorContexto(const Alfabeto& letras, std::span<const std::u16string> formas,
                        std::span<const int32_t> cuentas, Contexto contexto) {
  if (formas.empty()) return 0;
  auto indice = [&](const std::u16string& f, size_t siNo) {
    auto it = std::find(formas.begin(), formas.end(), f);
    return it == formas.end() ? siNo : static_cast<size_t>(it - formas.begin());
  };
  size_t elegida = 0;
  std::u16string f = formas[0];
  // Only an accent on the last vowel (of a diphthong, its second one: the one
  // that carries the mark) turns grave before another word.
  auto ultimo = std::find_if(f.rbegin(), f.rend(), [&](char16_t c) { return vocal(letras, c); });
  if (ultimo != f.rend() && acento(letras, *ultimo) != 0) {
    int a = acento(letras, *ultimo);
    std::u16string gemela = f;
    size_t pos = static_cast<size_t>(f.rend() - ultimo) - 1;
    if (contexto.sigueBlanco && a == kAgudo) gemela[pos] = cambia(letras, f[pos], kGrave, -1);
    if (!contexto.sigueBlanco && a == kGrave) gemela[pos] = cambia(letras, f[pos], kAgudo, -1);
    if (gemela != f) elegida = indice(gemela, elegida);
  }
  if (contexto.inicioFrase) {
    std::u16string capital = formas[elegida];
    capital[0] = cambia(letras, capital[0], -1, 1);
    // Edited classical texts capitalise few sentences: only a capital the
    // corpus writes often enough is worth offering first.
    size_t i = indice(capital, elegida);
    if (i != elegida && i < cuentas.size() && elegida < cuentas.size() &&
        int64_t{cuentas[i]} * kParteCapital >= cuentas[elegida])
      elegida = i;
  }
  return elegida;
}

}  // namespace kalyxon
