#include "conversion/rtf.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <set>

#include "util/cp1252.h"

namespace kalyxon::rtf {

namespace {

// The character of one byte in the Windows-1252 code page.
char16_t deByte(unsigned char b) {
  static const std::u16string tabla = [] {
    std::string bytes(256, 0);
    for (int i = 0; i < 256; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(i);
    return cp1252::decode(bytes);
  }();
  return tabla[b];
}

// Destinations whose text is not part of the document's body.
const std::set<std::string_view> kSaltar = {
    "colortbl",   "stylesheet",  "info",        "pict",         "object",     "header",
    "headerl",    "headerr",     "headerf",     "footer",       "footerl",    "footerr",
    "footerf",    "fldinst",     "listtable",   "listoverridetable",          "rsidtbl",
    "generator",  "xmlnstbl",    "themedata",   "colorschememapping",         "datastore",
    "latentstyles", "pgdsctbl",  "revtbl",      "bkmkstart",    "bkmkend",    "nonshppict",
    "shpinst",    "footnote",    "annotation",  "atnid",        "atnauthor",  "filetbl",
    "mmathPr",    "wgrffmtfilter", "userprops", "docvar",       "ftnsep",     "ftnsepc",
    "aftnsep",    "aftnsepc",    "template",    "xe",           "tc",         "pntext",
    "pntxta",     "pntxtb",      "listtext",    "fldtype",      "formfield",  "datafield",
    "objdata",    "blipuid",     "sp",          "sn",           "sv",         "passwordhash",
};

struct Estado {
  int fuente = -1;  // \fN in force, -1 none
  int uc = 1;       // characters to skip after \uN
  bool saltar = false;
  bool tablaFuentes = false;
};

class Lector {
 public:
  explicit Lector(std::string_view d) : d_(d) {}

  Documento lee() {
    size_t inicio = d_.find_first_not_of(" \t\r\n");
    if (inicio == std::string_view::npos || d_.substr(inicio, 5) != "{\\rtf")
      throw Error("not an RTF document");
    i_ = inicio;
    std::vector<Estado> pila;
    Estado e;
    while (i_ < d_.size()) {
      char c = d_[i_];
      if (c == '{') {
        ++i_;
        pila.push_back(e);
        continue;
      }
      if (c == '}') {
        ++i_;
        if (e.tablaFuentes && !pila.empty() && !pila.back().tablaFuentes) cierraTablaFuentes();
        if (pila.empty()) break;  // end of the document
        e = pila.back();
        pila.pop_back();
        continue;
      }
      if (c == '\\') {
        controlo(e);
        continue;
      }
      if (c == '\r' || c == '\n') {
        ++i_;
        continue;
      }
      ++i_;
      caracter(e, static_cast<unsigned char>(c));
    }
    cierraTramo();
    return std::move(doc_);
  }

 private:
  void guardaEntradaFuente() {
    if (!entradaActiva_) return;
    auto& n = entrada_.nombre;
    while (!n.empty() && (n.back() == u';' || n.back() == u' ')) n.pop_back();
    while (!n.empty() && n.front() == u' ') n.erase(n.begin());
    doc_.fuentes.push_back(entrada_);
    entradaActiva_ = false;
    entrada_ = Fuente{};
  }
  void cierraTablaFuentes() { guardaEntradaFuente(); }

  std::u16string nombreFuente(int n) const {
    for (const auto& f : doc_.fuentes)
      if (f.numero == n) return f.nombre;
    return {};
  }

  // One character of text (already decoded) in state e.
  void emite(const Estado& e, char16_t ch) {
    if (e.saltar) return;
    if (e.tablaFuentes) {
      if (!entradaActiva_) return;
      if (ch == u';') {
        guardaEntradaFuente();
      } else {
        entrada_.nombre += ch;
      }
      return;
    }
    std::u16string fuente = e.fuente >= 0 ? nombreFuente(e.fuente) : std::u16string{};
    if (!hayTramo_ || fuente != actual_.fuente) {
      cierraTramo();
      actual_ = Tramo{{}, fuente};
      hayTramo_ = true;
    }
    actual_.texto += ch;
  }
  void cierraTramo() {
    if (hayTramo_ && !actual_.texto.empty()) {
      if (!doc_.tramos.empty() && doc_.tramos.back().fuente == actual_.fuente)
        doc_.tramos.back().texto += actual_.texto;
      else
        doc_.tramos.push_back(std::move(actual_));
    }
    actual_ = Tramo{};
    hayTramo_ = false;
  }

  void caracter(const Estado& e, unsigned char b) {
    if (saltarUc_ > 0) {
      --saltarUc_;
      return;
    }
    emite(e, deByte(b));
  }

  void controlo(Estado& e) {
    ++i_;  // the backslash
    if (i_ >= d_.size()) return;
    char c = d_[i_];
    if (!std::isalpha(static_cast<unsigned char>(c))) {
      ++i_;
      simbolo(e, c);
      return;
    }
    size_t a = i_;
    while (i_ < d_.size() && std::isalpha(static_cast<unsigned char>(d_[i_]))) ++i_;
    std::string_view palabra = d_.substr(a, i_ - a);
    bool hayNumero = false;
    long numero = 0;
    bool negativo = false;
    if (i_ < d_.size() && d_[i_] == '-') {
      negativo = true;
      ++i_;
    }
    while (i_ < d_.size() && std::isdigit(static_cast<unsigned char>(d_[i_]))) {
      hayNumero = true;
      if (numero < 100000000) numero = numero * 10 + (d_[i_] - '0');
      ++i_;
    }
    if (negativo) numero = -numero;
    if (i_ < d_.size() && d_[i_] == ' ') ++i_;  // the delimiting space
    palabraDeControl(e, palabra, hayNumero, numero);
  }

  void simbolo(Estado& e, char c) {
    switch (c) {
      case '\'': {
        if (i_ + 2 > d_.size()) return;
        int v = 0;
        for (int k = 0; k < 2; ++k) {
          char h = d_[i_ + k];
          int d = std::isdigit(static_cast<unsigned char>(h)) ? h - '0'
                  : (h >= 'a' && h <= 'f')                    ? h - 'a' + 10
                  : (h >= 'A' && h <= 'F')                    ? h - 'A' + 10
                                                              : -1;
          if (d < 0) return;
          v = v * 16 + d;
        }
        i_ += 2;
        caracter(e, static_cast<unsigned char>(v));
        return;
      }
      case '*':
        // An ignorable destination: skip it unless it is one we read.
        e.saltar = true;
        return;
      case '\\':
      case '{':
      case '}':
        caracter(e, static_cast<unsigned char>(c));
        return;
      case '~':
        emiteControl(e, u'\u00A0');
        return;
      case '_':
        emiteControl(e, u'\u2011');
        return;
      case '\r':
      case '\n':
        emiteControl(e, u'\n');
        return;
      case '\t':
        emiteControl(e, u'\t');
        return;
      default:
        return;  // \- (optional hyphen), \: and the like
    }
  }

  void emiteControl(const Estado& e, char16_t ch) {
    if (saltarUc_ > 0) {
      --saltarUc_;
      return;
    }
    emite(e, ch);
  }

  void palabraDeControl(Estado& e, std::string_view p, bool hayNumero, long n) {
    if (p == "bin" && hayNumero) {  // raw binary data
      i_ = std::min(d_.size(), i_ + static_cast<size_t>(std::max(0L, n)));
      return;
    }
    if (saltarUc_ > 0 && p != "u") {  // a control word stands for one skipped character
      --saltarUc_;
      return;
    }
    if (p == "fonttbl") {
      e.tablaFuentes = true;
      entradaActiva_ = false;
      return;
    }
    if (e.tablaFuentes) {
      if (p == "f" && hayNumero) {
        guardaEntradaFuente();
        entrada_ = Fuente{};
        entrada_.numero = static_cast<int>(n);
        entradaActiva_ = true;
      } else if (p == "fcharset" && hayNumero) {
        entrada_.juego = static_cast<int>(n);
      } else if (p == "u" && hayNumero) {
        unicode(e, n);
      } else if (kSaltar.count(p) || p == "panose" || p == "falt" || p == "fname") {
        e.saltar = true;
      }
      return;
    }
    if (kSaltar.count(p)) {
      e.saltar = true;
      return;
    }
    if (p == "deff" && hayNumero) {
      deff_ = static_cast<int>(n);
      if (e.fuente < 0) e.fuente = deff_;
    } else if (p == "f" && hayNumero) {
      e.fuente = static_cast<int>(n);
    } else if (p == "plain") {
      e.fuente = deff_;
    } else if (p == "uc" && hayNumero) {
      e.uc = static_cast<int>(std::max(0L, n));
    } else if (p == "u" && hayNumero) {
      unicode(e, n);
    } else if (p == "par" || p == "line" || p == "row" || p == "sect" || p == "page") {
      emite(e, u'\n');
    } else if (p == "tab" || p == "cell") {
      emite(e, u'\t');
    } else if (p == "emdash") {
      emite(e, u'\u2014');
    } else if (p == "endash") {
      emite(e, u'\u2013');
    } else if (p == "lquote") {
      emite(e, u'\u2018');
    } else if (p == "rquote") {
      emite(e, u'\u2019');
    } else if (p == "ldblquote") {
      emite(e, u'\u201C');
    } else if (p == "rdblquote") {
      emite(e, u'\u201D');
    } else if (p == "bullet") {
      emite(e, u'\u2022');
    }
  }

  void unicode(const Estado& e, long n) {
    if (n < 0) n += 65536;
    auto u = static_cast<char16_t>(n & 0xFFFF);
    if (u >= 0xF020 && u <= 0xF0FF) u = deByte(static_cast<unsigned char>(u - 0xF000));
    emite(e, u);
    saltarUc_ = e.uc;
  }

  std::string_view d_;
  size_t i_ = 0;
  Documento doc_;
  Fuente entrada_;
  bool entradaActiva_ = false;
  Tramo actual_;
  bool hayTramo_ = false;
  int deff_ = -1;
  int saltarUc_ = 0;
};

}  // namespace

bool esRtf(std::string_view datos) {
  size_t inicio = datos.find_first_not_of(" \t\r\n");
  return inicio != std::string_view::npos && datos.substr(inicio, 5) == "{\\rtf";
}

Documento lee(std::string_view datos) { return Lector(datos).lee(); }

std::u16string Documento::texto() const {
  std::u16string t;
  for (const auto& r : tramos) t += r.texto;
  return t;
}

std::u16string Documento::fuentePrincipal() const {
  std::map<std::u16string, size_t> cuenta;
  for (const auto& r : tramos)
    if (!r.fuente.empty()) cuenta[r.fuente] += r.texto.size();
  std::u16string mejor;
  size_t max = 0;
  for (const auto& [f, n] : cuenta)
    if (n > max) {
      max = n;
      mejor = f;
    }
  return mejor;
}

}  // namespace kalyxon::rtf
