#include "dictionary/acierto.h"

#include <fstream>

#include "app/kalyxon.h"
#include "dictionary/cargador.h"
#include "dictionary/diccionario.h"
#include "dictionary/lexico.h"

namespace kalyxon {

namespace {

// Greek letters with their marks, and the elision mark U+2019 (not the
// spacing koronis U+1FBD).
bool esLetra(char16_t c) {
  return c == u'\u2019' || (c >= 0x370 && c < 0x400) || (c >= 0x1F00 && c < 0x2000 && c != 0x1FBD);
}

}  // namespace

std::vector<std::u16string> lineasDeObra(const std::filesystem::path& fichero, int obra) {
  std::ifstream in(fichero);
  std::vector<std::u16string> lineas;
  int actual = 1;
  for (std::string l; std::getline(in, l);) {
    if (l.empty()) ++actual;
    else if (actual == obra) lineas.push_back(lexico::utf16(l));
  }
  return lineas;
}

Acierto mideAcierto(Kalyxon& k, const std::vector<std::u16string>& lineas) {
  Acierto a;
  auto& d = k.diccionario();
  k.form1.mnuacc.checked = true;
  for (const auto& linea : lineas) {
    bool inicio = true;  // a line start, or after . ; ·
    for (size_t i = 0; i < linea.size();) {
      if (!esLetra(linea[i])) {
        char16_t c = linea[i++];
        if (c == u'.' || c == u';' || c == u'\u00B7') inicio = true;
        else if (c != u' ') inicio = false;
        continue;
      }
      size_t j = i;
      while (j < linea.size() && esLetra(linea[j])) ++j;
      std::u16string token = linea.substr(i, j - i);
      // The form as stored and typed: no elision mark, no diaeresis.
      LectorBeta lector(d.letras());
      std::u16string escrita;
      for (char16_t c : betaDeUnicode(token, d.letras()) + u" ")
        if (lector.lee(c)) escrita = lector.palabra().forma;
      ++a.palabras;
      d.revisaGriego(token);
      if (k.form1.lPalabra) {
        a.primera += k.form1.cCandidatos[1] == escrita;
        a.contexto += d.candidatoFinal({j < linea.size() && linea[j] == u' ', inicio}) == escrita;
      }
      inicio = false;
      i = j;
    }
  }
  return a;
}

}  // namespace kalyxon
