#include "dictionary/diccionario.h"
#include "util/utf.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "app/kalyxon.h"
#include "greek/alfabeto.h"
#include "dictionary/cargador.h"
#include "dictionary/normaliza.h"

namespace kalyxon {

namespace {

constexpr int32_t kCandidatos = 34;

std::u16string numeroTexto(int64_t n) {
  // The number-to-text form of the labels: a blank before a non-negative number.
  auto s = std::to_string(n);
  return lexico::utf16(n >= 0 ? " " + s : s);
}

std::u16string mayusculas(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  return out;
}

std::u16string u16(std::string_view s) { return lexico::utf16(s); }

}  // namespace

int32_t sumaSaturada(int64_t antes, int64_t mas) {
  // A count never goes down (a negative addition is ignored) and stops at the
  // largest count the store keeps; one already above it stays as it is.
  if (mas <= 0) return static_cast<int32_t>(std::min<int64_t>(antes, INT32_MAX));
  if (antes >= kTopeSuma) return static_cast<int32_t>(std::min<int64_t>(antes, INT32_MAX));
  return static_cast<int32_t>(std::min<int64_t>(antes + std::min<int64_t>(mas, kTopeSuma), kTopeSuma));
}

int64_t numeroEscrito(std::u16string_view t) {
  size_t i = 0;
  while (i < t.size() && (t[i] == u' ' || t[i] == u'\t')) ++i;
  std::string num;
  if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) num += static_cast<char>(t[i++]);
  bool digitos = false;
  while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
    num += static_cast<char>(t[i++]);
    digitos = true;
  }
  if (i < t.size() && t[i] == u'.') {
    num += '.';
    ++i;
    while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
      num += static_cast<char>(t[i++]);
      digitos = true;
    }
  }
  if (!digitos) return 0;
  double v = std::strtod(num.c_str(), nullptr);
  if (v > 1e15) return static_cast<int64_t>(1e15);
  if (v < -1e15) return static_cast<int64_t>(-1e15);
  // The default rounding mode rounds halves to the even neighbour.
  return static_cast<int64_t>(std::nearbyint(v));
}

Diccionario::Diccionario(Kalyxon& k) : k_(k) {}
Diccionario::~Diccionario() = default;

const Alfabeto& Diccionario::letras() { return k_.alfabeto(); }

bool Diccionario::hayDiccionario() {
  if (rstlxc) return true;
  k_.sv.messageBox->show(u"No hay ningún diccionario abierto: elija uno en el menú Diccionario.");
  return false;
}

// ---- Word check ---------------------------------------------------------------

bool Diccionario::anadeLetra(const RegSonido& fila, char16_t original) {
  k_.form1.nFon = fila.codfon;
  const RegFonema* fon = letras().fonema(fila.codfon);
  // A letter whose row names no "fonema" row is taken as unrecognised.
  if (!fon) return false;
  auto& f = k_.form1;
  f.cCadCla += mayusculas(fon->TRE);
  f.cCadTra += fon->TRL;
  f.cCadOri += original;
  f.cBorraCad += u"{BKSP}";
  return true;
}

void Diccionario::cadenaGriego(int32_t caracter, bool mayuscula) {
  auto& f = k_.form1;
  f.lPalabra = false;
  f.lblasc.caption = u16(std::to_string(caracter));
  if (caracter == 0) {
    f.cCadCla.clear();
    f.cCadOri.clear();
    f.cCadUni.clear();
    f.cCadTra.clear();
    f.cBorraCad.clear();
    f.noDiacritico = true;
    return;
  }
  int32_t codigo = caracter;
  if (mayuscula) {
    if (codigo == 188) codigo = 189;
    else if (codigo == 190) codigo = 192;
  }
  if (codigo == 74) codigo = 99;
  else if (codigo == 86) codigo = 988;
  const RegSonido* fila = letras().sonidoPorCodlet(codigo);
  if (!fila || !anadeLetra(*fila, static_cast<char16_t>(codigo))) {
    muestraSinCandidato();
    return;
  }
  f.cCandidatos.fill({});
  f.lblpal.caption = f.cCadTra;
  f.UniLabel1.caption.clear();
  hazVariantes(f.cCadCla);
  buscaFormas();
}

void Diccionario::revisaGriego(const std::u16string& palabra) {
  auto& f = k_.form1;
  f.chkdic.setValue(1);
  // Text dragged from another program often brings a blank, a line end or
  // the punctuation next to the word: only the word is looked up.
  std::u16string texto = nfc(palabra);
  auto esLetra = [](char16_t c) {
    return (c >= 0x386 && c <= 0x3FF && c != 0x387) || (c >= 0x1F00 && c <= 0x1FFF && c != 0x1FBD &&
                                                        c != 0x1FBF && c != 0x1FFD && c != 0x1FFE);
  };
  size_t a = 0, z = texto.size();
  while (a < z && !esLetra(texto[a])) ++a;
  while (z > a && !esLetra(texto[z - 1])) --z;
  texto = texto.substr(a, z - a);
  f.cCadCla.clear();
  f.cCadOri.clear();
  f.cCadUni.clear();
  f.cCadTra.clear();
  f.cBorraCad.clear();
  for (char16_t c : texto) {
    const RegSonido* fila = letras().sonidoPorUni(c);
    if (fila) anadeLetra(*fila, c);
  }
  f.lPalabra = false;
  f.cCandidatos.fill({});
  f.lblpal.caption = f.cCadTra;
  f.UniLabel1.caption.clear();
  hazVariantes(f.cCadCla);
  buscaFormas();
}

void Diccionario::hazVariantes(const std::u16string& cadena) {
  cVariantes[0] = cadena;
  nVariantes = 0;
  for (size_t i = 1; i <= 20; ++i) cVariantes[i].clear();
  if (!k_.form1.mnudicapro.checked) return;
  static constexpr std::pair<const char16_t*, const char16_t*> kReglas[] = {
      {u"E", u"H"}, {u"H", u"E"},  {u"I", u"U"},  {u"I", u"EI"}, {u"EI", u"I"},
      {u"I", u"EI"}, {u"U", u"I"}, {u"U", u"OU"}, {u"O", u"W"},  {u"W", u"O"},
      {u"LL", u"L"}, {u"PP", u"P"}, {u"L", u"LL"}, {u"P", u"PP"}, {u"NG", u"GG"},
  };
  for (auto [origen, destino] : kReglas) addVariante(cadena, origen, destino);
}

void Diccionario::addVariante(std::u16string secuencia, const std::u16string& origen,
                              const std::u16string& destino) {
  auto p = secuencia.find(origen);
  if (p == std::u16string::npos || nVariantes >= 20) return;
  ++nVariantes;
  cVariantes[nVariantes] = secuencia.replace(p, origen.size(), destino);
}

void Diccionario::buscaFormas() {
  auto& f = k_.form1;
  int n = 0;
  nExactos = 0;
  if (rstlxc) {
    for (int v = 0; v <= nVariantes; ++v) {
      const std::u16string& clave = cVariantes[static_cast<size_t>(v)];
      auto c = rstlxc->mayorQue(clave);
      for (; !c.fin() && n < kCandidatos; c.siguiente()) {
        const auto& r = c.actual();
        if (r.codigo != clave) break;
        std::u16string forma = r.forma();
        f.cCadUni = forma;
        std::u16string info = f.cCadTra + numeroTexto(r.frecuencia);
        if (n == 0) {
          f.lblpal.caption = info;
          f.UniLabel1.caption = u"1 " + forma;
          f.lPalabra = true;
          f.nCandidato = 1;
        }
        ++n;
        f.cCandidatos[static_cast<size_t>(n)] = std::move(forma);
        f.cInfoCandidatos[static_cast<size_t>(n)] = std::move(info);
        cuentas[static_cast<size_t>(n)] = r.frecuencia;
      }
      if (v == 0) nExactos = n;
    }
  }
  f.lblpal.foreColor = f.lPalabra ? kColorConCandidato : kColorSinCandidato;
  f.imgcam.visible = n >= 2;
}

void Diccionario::muestraSinCandidato() {
  k_.form1.lblpal.foreColor = kColorSinCandidato;
  k_.form1.imgcam.visible = false;
}

void Diccionario::siguienteCandidato() {
  auto& f = k_.form1;
  if (!f.lPalabra) return;
  size_t sig = static_cast<size_t>(f.nCandidato) + 1;
  if (sig < f.cCandidatos.size() && !f.cCandidatos[sig].empty())
    ++f.nCandidato;
  else
    f.nCandidato = 1;
  f.UniLabel1.caption = u16(std::to_string(f.nCandidato)) + u" " + f.cCandidatos[f.nCandidato];
  f.lblpal.caption = f.cInfoCandidatos[f.nCandidato];
}

const std::u16string& Diccionario::candidatoFinal(Contexto contexto) {
  auto& f = k_.form1;
  if (!f.mnuacc.checked || f.nCandidato != 1 || nExactos < 2) return f.cCandidatos[f.nCandidato];
  std::span<const std::u16string> exactos(f.cCandidatos.data() + 1, static_cast<size_t>(nExactos));
  std::span<const int32_t> n(cuentas.data() + 1, static_cast<size_t>(nExactos));
  return f.cCandidatos[1 + eligePorContexto(letras(), exactos, n, contexto)];
}

void Diccionario::mnudicapro_Click() { k_.form1.mnudicapro.checked = !k_.form1.mnudicapro.checked; }

// ---- Choosing dictionaries --------------------------------------------------------

lexico::Espacio& Diccionario::espacio() {
  if (!k_.form1.wrkJet) k_.form1.wrkJet = std::make_shared<lexico::Espacio>();
  return *k_.form1.wrkJet;
}

void Diccionario::cierra() {
  rstlxc.reset();
  rstlxc2.reset();
  datlxc2.reset();
}

vm::MenuItem* Diccionario::menuDe(std::string_view tabla) {
  auto& f = k_.form1;
  vm::MenuItem* menus[] = {&f.mnudiccla, &f.mnudiccom, &f.mnudicari, &f.mnudiceso,
                           &f.mnudichom, &f.mnudicjen, &f.mnudicpla, &f.mnudictra};
  for (size_t i = 0; i < 8; ++i)
    if (tabla == lexico::kDiccionarios[i].tabla) return menus[i];
  return nullptr;
}

void Diccionario::cambiaDiccionario(const std::u16string& base, std::string_view tabla) {
  auto b = espacio().abre(k_.carpeta / lexico::utf8(base));
  auto t = b->tabla(tabla);
  k_.form1.datlxc = std::move(b);
  rstlxc = std::move(t);
  k_.form1.ventana.caption = u"Kalyxon - " + mayusculas(u16(tabla));
}

void Diccionario::eligeDiccionario(std::string_view tabla) {
  vm::MenuItem* item = menuDe(tabla);
  if (!item) return;
  try {
    cambiaDiccionario(item->tag, tabla);
  } catch (const std::exception& e) {
    k_.sv.messageBox->show(u"No se puede abrir el diccionario " + u16(tabla) + u": " +
                           lexico::mensajeError(e));
    return;
  }
  for (const auto& d : lexico::kDiccionarios) menuDe(d.tabla)->checked = false;
  item->checked = true;
}

// ---- Progress bar ------------------------------------------------------------------------

namespace {

// The front end's progress bar for the life of a long operation (the front
// end may have none: then the labels alone show the percentage).
class BarraProgreso {
 public:
  BarraProgreso(platform::Progress* p, const std::u16string& que, std::function<void()> parar = {})
      : p_(p) {
    if (p_) p_->begin(que, std::move(parar));
  }
  ~BarraProgreso() {
    if (p_) p_->end();
  }
  BarraProgreso(const BarraProgreso&) = delete;
  BarraProgreso& operator=(const BarraProgreso&) = delete;
  void paso(long long hecho, long long total) {
    if (p_) p_->step(hecho, total);
  }

 private:
  platform::Progress* p_;
};

}  // namespace

// ---- Loading from a text -------------------------------------------------------------

void Diccionario::mnudiccar_Click() {
  auto& m = k_.form1.mnudiccar;
  if (m.checked) {
    m.checked = false;
    lFinCarga = true;
  } else {
    m.checked = true;
    lFinCarga = false;
    cargaDiccionario();
  }
}

void Diccionario::cargaDiccionario() {
  auto& f = k_.form1;
  if (!hayDiccionario()) {
    f.mnudiccar.checked = false;
    return;
  }
  auto fichero = k_.sv.fileDialog->open(
      u"Cargar diccionario desde un texto",
      {u"Textos griegos (BetaCode o Unicode)|*.txt;*.beta;*.tlg", u"Todos los archivos|*"});
  if (!fichero || fichero->empty()) return;
  auto tabla = rstlxc;  // the load keeps writing here even if the user switches
  std::string bytes;
  {
    std::ifstream in(util::rutaDeUtf8(*fichero), std::ios::binary);
    if (!in) {
      k_.sv.messageBox->show(u"No se puede leer el archivo " + u16(*fichero));
      return;
    }
    std::ostringstream s;
    s << in.rdbuf();
    bytes = s.str();
  }
  try {
    auto r = k_.sv.messageBox->show(u"Borrar las entradas anteriores?", platform::Buttons::YesNo,
                                    u"Completar diccionario de " + u16(tabla->nombre()));
    // Emptying first: the old forms stay until the whole load has committed
    // (a failure or a killed program keeps them).
    std::optional<lexico::Base::Transaccion> todo;
    if (r == platform::Answer::Yes) {
      todo.emplace(tabla->base());
      tabla->vacia();
    }
    f.UniLabel1.display11 = 10;
    Carga carga(letras(), *tabla);
    carga.pendientes = [this] { k_.sv.pump->processPending(); };
    // The bar's stop button does what a second click on "Cargar" does.
    BarraProgreso barra(k_.sv.progress, u"Cargando " + u16(tabla->nombre()),
                        [this] { mnudiccar_Click(); });
    carga.porcentaje = [&f, &barra, this](int pc, int64_t pos) {
      porcentaje = pc;
      barra.paso(pc, 100);
      f.lblasc.caption = numeroTexto(pc) + u"% ";
      f.lblpal.caption = numeroTexto(pos);
      // A new whole percentage also lets the window catch up.
      k_.sv.pump->processPending();
    };
    carga.nueva = [&f](const std::u16string& forma, int64_t n) {
      f.UniLabel1.caption = forma;
      f.lblfon.caption = numeroTexto(n);
    };
    carga.parar = [this] { return lFinCarga; };
    porcentaje = 0;
    auto res = carga.ejecuta(bytes);
    if (todo) todo->confirma();
    porcentaje = -1;
    f.UniLabel1.display11 = 14;
    if (res.parada) {
      f.lblhex.caption = u"FIN";
      lFinCarga = false;
    }
    std::u16string nombre = u16(std::filesystem::path(*fichero).filename().string());
    if (res.palabras == 0 && !res.parada)
      k_.sv.messageBox->show(u"El archivo " + nombre +
                             u" no contiene palabras griegas (ni en Unicode ni en BetaCode).");
    else if (res.tipo.invalidos > 0)
      k_.sv.messageBox->show(u"El archivo " + nombre + u" tiene" + numeroTexto(res.tipo.invalidos) +
                             u" bytes que no son UTF-8 válido (el primero en la posición" +
                             numeroTexto(res.tipo.dondeInvalidos.front()) +
                             u"); se han leído como espacios.");
  } catch (const std::exception& e) {
    porcentaje = -1;
    f.UniLabel1.display11 = 14;
    k_.sv.messageBox->show(u"La carga del diccionario se ha interrumpido: " + lexico::mensajeError(e));
  }
}

// ---- Maintenance ----------------------------------------------------------------------

void Diccionario::addDiccionario() {
  auto& f = k_.form1;
  auto trim = [](const std::u16string& s) {
    auto a = s.find_first_not_of(u' ');
    return a == std::u16string::npos ? std::u16string() : s.substr(a, s.find_last_not_of(u' ') - a + 1);
  };
  if (trim(f.cNueva).empty()) return;
  if (!hayDiccionario()) return;
  std::u16string clave = f.cCadCla;
  std::string lista = lexico::listaCodigos(f.cNueva);
  f.UniLabel1.caption = f.cNueva;
  auto r = k_.sv.messageBox->show(u"¿Añadir el término al lexico " + u16(rstlxc->nombre()) + u"?",
                                  platform::Buttons::YesNo, u"Añadir término");
  if (r != platform::Answer::Yes) return;
  auto respuesta = k_.sv.inputBox->ask(
      u"Introduce un valor de 1 a 32000. Cuanto mayor sea más preferencia tendrá.",
      u"Número de ocurrencias", u"50");
  int64_t n = numeroEscrito(respuesta.value_or(u""));
  n = std::clamp<int64_t>(n, 1, kTopePalabra);
  if (rstlxc->buscaPar(clave, lista)) return;
  rstlxc->anade(clave, lista, static_cast<int32_t>(n));
}

void Diccionario::addClasico() {
  auto& f = k_.form1;
  auto ruta = k_.carpeta / "LEXICA_completo.db";
  if (!std::filesystem::exists(ruta)) {
    k_.sv.messageBox->show(u"No se encuentra LEXICA_completo.db");
    return;
  }
  if (!hayDiccionario()) return;
  if (rstlxc->nombre() == "completo" && rstlxc->base().fichero().filename() == "LEXICA_completo.db") {
    k_.sv.messageBox->show(
        u"El diccionario actual es el completo: no se puede añadir a sí mismo. Elija otro "
        u"diccionario en el menú Diccionario.");
    return;
  }
  auto r = k_.sv.messageBox->show(u"¿Añadir el diccionario " + u16(rstlxc->nombre()) + u" al completo?",
                                  platform::Buttons::YesNo, u"Añadir diccionario");
  if (r != platform::Answer::Yes) return;
  int64_t total = rstlxc->registros();
  if (total == 0) {
    k_.sv.messageBox->show(u"El diccionario " + u16(rstlxc->nombre()) +
                           u" está vacío: no hay nada que añadir.");
    return;
  }
  try {
    // Opened through the program's own workspace: the file may already be open
    // here (another of its tables is current, or the start-up holds it).
    datlxc2 = espacio().abre(ruta);
    rstlxc2 = datlxc2->tabla("completo");
  } catch (const std::exception& e) {
    k_.sv.messageBox->show(u"No se puede abrir el diccionario completo: " + lexico::mensajeError(e));
    return;
  }
  auto origen = rstlxc;
  auto& destino = *rstlxc2;
  // The whole merge is one transaction: a stop, an error or a killed process
  // leaves the complete dictionary exactly as it was, so merging again never
  // counts a form twice.
  lexico::Base::Transaccion tr(destino.base());
  lexico::Base::CacheAmplia cache(destino.base());
  int64_t i = 0, p = 0;
  porcentaje = 0;
  BarraProgreso barra(k_.sv.progress, u"Añadiendo " + u16(origen->nombre()) + u" al completo");
  try {
    // Walked in key order ("completo": key, then form): the lookups and the
    // inserts of neighbouring keys land on the same pages of the complete
    // dictionary, which a walk in form order would scatter.
    for (auto c = origen->recorre(lexico::Indice::completo); !c.fin(); c.siguiente()) {
      ++i;
      int64_t q = i * 100 / total;
      if (q != p) {
        f.lblasc.caption = numeroTexto(q) + u"% ";
        p = q;
        porcentaje = static_cast<int>(q);
        barra.paso(q, 100);
      }
      const auto& reg = c.actual();
      if (auto t = destino.buscaPar(reg.codigo, reg.unicode)) {
        int32_t nueva = sumaSaturada(t->frecuencia, reg.frecuencia);
        if (nueva != t->frecuencia) destino.cambiaFrecuencia(t->id, nueva);
      } else {
        destino.anade(reg.codigo, reg.unicode, std::clamp(reg.frecuencia, 0, kTopeSuma));
      }
      if (i % 256 == 0) k_.sv.pump->processPending();
      if (i % 1024 == 0) f.lblfon.caption = numeroTexto(i);
    }
    f.lblfon.caption = numeroTexto(i);
    tr.confirma();
    porcentaje = -1;
  } catch (const std::exception& e) {
    porcentaje = -1;
    k_.sv.messageBox->show(u"La suma al diccionario completo se ha interrumpido y no ha cambiado nada: " +
                           lexico::mensajeError(e));
    return;
  }
  k_.sv.messageBox->show(u"El diccionario se ha añadido, puede que necesite reiniciar el programa.");
}

void Diccionario::borraDiccionario() {
  auto& f = k_.form1;
  auto a = f.cCadUni.find_first_not_of(u' ');
  if (a == std::u16string::npos) return;
  if (!hayDiccionario()) return;
  auto r = k_.sv.messageBox->show(u"¿Borrar la forma griega actual del diccionario?",
                                  platform::Buttons::YesNo, u"Borrar formas");
  if (r != platform::Answer::Yes) return;
  if (auto reg = rstlxc->buscaForma(lexico::listaCodigos(f.cCadUni))) rstlxc->borra(reg->id);
}

void Diccionario::borraNumero() {
  if (!hayDiccionario()) return;
  auto respuesta = k_.sv.inputBox->ask(
      u"Borrar de " + mayusculas(u16(rstlxc->nombre())) + u" formas con frecuencia igual o menor a...",
      u"Borrar formas por frecuencia", u"1");
  int64_t n = numeroEscrito(respuesta.value_or(u""));
  if (n <= 0) return;
  k_.sv.pointer->setBusy(true);
  int64_t borradas = 0;
  try {
    borradas = rstlxc->borraHasta(n);
  } catch (...) {
    k_.sv.pointer->setBusy(false);
    throw;
  }
  k_.sv.pointer->setBusy(false);
  k_.sv.messageBox->show(u"Borradas" + numeroTexto(borradas) + u" formas");
}

}  // namespace kalyxon
