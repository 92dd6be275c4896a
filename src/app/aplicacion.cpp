#include "app/aplicacion.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <array>
#include <cctype>
#include <cmath>
#include <stdexcept>
#include <system_error>

#include "app/autoarranque.h"
#include "app/carpeta.h"
#include "app/kalyxon.h"
#include "app/menus.h"
#include "app/proyecto.h"
#include "codes/codigos.h"
#include "conversion/frmtra.h"
#include "dictionary/diccionario.h"
#include "dictionary/lexico.h"
#include "greek/alfabeto.h"
#include "greek/compositor.h"
#include "keyboard/tecladohook.h"
#include "util/utf.h"

namespace kalyxon {

namespace fs = std::filesystem;

namespace {

constexpr const char16_t* kSeccion = u"opciones";
constexpr const char* kIniInicial = "kalyxon-inicial.ini";
constexpr const char16_t* kMensajeInstancia =
    u"Parece que Kalyxon ya está abierto, sólo se puede abrir una instancia del programa.";

std::u16string u16(std::string_view s) { return util::fromUtf8(s); }
std::string u8(const std::u16string& s) { return util::toUtf8(s); }

// Upper case as the settings compare it: ASCII and Latin-1 letters.
std::u16string mayusculas(std::u16string s) {
  for (char16_t& c : s) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    else if (c >= 0xE0 && c <= 0xFE && c != 0xF7) c = static_cast<char16_t>(c - 32);
  }
  return s;
}

bool esSi(const std::u16string& v) { return mayusculas(v) == u"SI"; }
const char16_t* siNo(bool b) { return b ? u"SI" : u"NO"; }

// The leading number of a text as the classic decimal parse reads it: blanks
// anywhere are skipped, then an optional sign, digits, a decimal point and an
// exponent; anything else ends the number. Truncated towards zero.
int numero(const std::u16string& s) {
  std::string t;
  for (char16_t c : s) {
    if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') continue;
    t.push_back(c < 0x80 ? static_cast<char>(c) : '\x7f');  // anything else ends the number
  }
  std::size_t i = 0;
  std::string n;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) n.push_back(t[i++]);
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) n.push_back(t[i++]);
  if (i < t.size() && t[i] == '.') {
    n.push_back(t[i++]);
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) n.push_back(t[i++]);
  }
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
    std::string e = "e";
    std::size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) e.push_back(t[j++]);
    std::size_t digitos = j;
    while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) e.push_back(t[j++]);
    if (j > digitos) n += e;
  }
  double v = 0;
  try {
    v = std::stod(n);
  } catch (...) {
    return 0;
  }
  if (!std::isfinite(v)) return 0;
  v = std::trunc(v);
  return static_cast<int>(std::clamp(v, -2147483648.0, 2147483647.0));
}

std::u16string decimal(long long n) { return u16(std::to_string(n)); }

// The eight dictionaries: table, menu, display name, saved "autor" value, in
// the order the settings load selects them.
struct FilaDiccionario {
  const char* tabla;
  vm::MenuItem Form1::*menu;
  const char16_t* nombre;
  const char16_t* autor;
};

const std::array<FilaDiccionario, 8> kDiccionarios = {{
    {"clasico", &Form1::mnudiccla, u"básico", u"BÁSICO"},
    {"completo", &Form1::mnudiccom, u"completo", u"COMPLETO"},
    {"Platon", &Form1::mnudicpla, u"Platón", u"PLATÓN"},
    {"Homero", &Form1::mnudichom, u"Homero", u"HOMERO"},
    {"Aristoteles", &Form1::mnudicari, u"Aristóteles", u"ARISTÓTELES"},
    {"Jenofonte", &Form1::mnudicjen, u"Jenofonte", u"JENOFONTE"},
    {"Tragicos", &Form1::mnudictra, u"Trágicos", u"TRÁGICOS"},
    {"Esopo", &Form1::mnudiceso, u"Esopo", u"ESOPO"},
}};

// The order in which the save lets a ticked menu decide "autor" (a later one
// overrides an earlier one).
const std::array<vm::MenuItem Form1::*, 8> kOrdenGrabacion = {
    &Form1::mnudicpla, &Form1::mnudichom, &Form1::mnudicari, &Form1::mnudicjen,
    &Form1::mnudiccla, &Form1::mnudiccom, &Form1::mnudictra, &Form1::mnudiceso};

// Programs people write Greek in on Linux, with a font-switch macro that
// works there: LibreOffice puts the cursor in its font name box on
// Ctrl+Shift+F, takes the typed name on Enter and goes back to the text.
struct ProgramaLinux {
  const char16_t* nombre;
  const char16_t* macro;
};
constexpr ProgramaLinux kProgramasLinux[] = {
    {u"LibreOffice Writer", u"^+f*~"},
};

constexpr const char16_t* kEjemploMacro =
    u"\n(teclas en notación de envío; * es el nombre de la fuente. Ejemplo: ^+f*~ pulsa "
    u"Ctrl+Mayús+F, escribe la fuente y pulsa Intro)";

// Font names as the programs take them: a font installed by two foundries
// is listed as "Nimbus Roman [URW]"; the program's font box wants the family
// "Nimbus Roman". Duplicates go, the order stays.
std::vector<std::u16string> nombresDeFamilia(std::vector<std::u16string> nombres) {
  std::vector<std::u16string> r;
  for (auto& n : nombres) {
    if (n.size() > 2 && n.back() == u']') {
      auto abre = n.rfind(u" [");
      if (abre != std::u16string::npos && abre > 0) n.erase(abre);
    }
    if (std::find(r.begin(), r.end(), n) == r.end()) r.push_back(std::move(n));
  }
  return r;
}

const FilaDiccionario* filaDeMenu(const Form1& f, const vm::MenuItem* m) {
  for (const auto& d : kDiccionarios)
    if (&(f.*d.menu) == m) return &d;
  return nullptr;
}

}  // namespace

Aplicacion::Aplicacion(Kalyxon& k) : k_(k) {}

Aplicacion::~Aplicacion() = default;

bool Aplicacion::encima() const { return k_.form1.ventana.topmost; }

// ---- The error boundary -----------------------------------------------------------

bool Aplicacion::protege(const std::function<void()>& manejador) noexcept {
  std::u16string motivo;
  try {
    manejador();
    return true;
  } catch (const std::exception& e) {
    motivo = lexico::mensajeError(e);
  } catch (...) {
    motivo = u"error inesperado";
  }
  // A long operation that failed leaves no progress behind it.
  k_.diccionario().porcentaje = -1;
  try {
    k_.sv.messageBox->show(u"Kalyxon no ha podido terminar la operación: " + motivo +
                               u". El programa sigue abierto y no se ha perdido nada guardado.",
                           platform::Buttons::Ok, u"Kalyxon");
  } catch (...) {
    // Not even a message box: the program still goes on.
  }
  return false;
}

// ---- Start-up notice ----------------------------------------------------------

void Aplicacion::frmini_Load() {
  frmini.cargado = true;
  frmini.lblver.caption = u"Versión: " + textoVersion();
  frmini.txtini.text = textoAviso();
  frmini.ventana.visible = true;
}

void Aplicacion::frmini_cmdace_Click() {
  frmini.ventana.visible = false;
  Form_Load();
  k_.form1.ventana.visible = true;
  Form_Activate();
}

void Aplicacion::frmini_cmdcan_Click() {
  frmini.ventana.visible = false;
  frmini.cargado = false;
  if (!k_.form1.ventana.visible) termina();
}

// ---- Main window --------------------------------------------------------------

void Aplicacion::Form_Load() { k_.form1.ventana.topmost = true; }

void Aplicacion::Form_Activate() {
  if (terminado_ || cargando_) return;
  cargando_ = true;
  struct Marca {
    bool& b;
    ~Marca() { b = false; }
  } marca{cargando_};
  cargaIni();
}

void Aplicacion::Form_QueryUnload() {
  // A copy whose load failed never started: it must not overwrite the
  // settings of the copy that is running.
  if (cargaFallida_) return;
  grabaIni();
}

void Aplicacion::Form_Unload() {
  quitaHook();
  frmini.ventana.visible = false;
  frmini.cargado = false;
  frmace.ventana.visible = false;
  // The conversion window goes with the main window.
  k_.frmtra().ventana.visible = false;
  k_.form1.ventana.visible = false;
  cierraDiccionarios();
  termina();
}

void Aplicacion::cierra() {
  if (terminado_) return;
  Form_QueryUnload();
  Form_Unload();
}

void Aplicacion::termina() {
  if (terminado_) return;
  terminado_ = true;
  if (alTerminar) alTerminar();
}

void Aplicacion::quitaHook() { k_.teclado().desactivaHook(); }

// ---- Settings file -------------------------------------------------------------

fs::path Aplicacion::rutaIni() const {
  // One file whatever the case of its name, as on the platform the settings
  // format comes from: an existing "Kalyxon.ini" is the same file.
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(k_.carpeta, ec)) {
    std::string n = e.path().filename().string();
    std::string m = n;
    for (char& c : m) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (m == "kalyxon.ini" && e.is_regular_file(ec)) return e.path();
  }
  return k_.carpeta / "kalyxon.ini";
}

std::u16string Aplicacion::leeIni(const std::u16string& clave) const {
  return util::Perfil(rutaIni()).lee(kSeccion, clave);
}

bool Aplicacion::escribeIni(const std::u16string& clave, const std::u16string& valor) const {
  return util::Perfil(rutaIni()).escribe(kSeccion, clave, valor);
}

void Aplicacion::cargaIni() {
  if (!cargaAjustes()) return;
  // First run: the help index once.
  if (leeIni(u"ayuda") != u"SI") {
    if (k_.sv.help) k_.sv.help->showIndex();
    escribeIni(u"ayuda", u"SI");
  }
}

void Aplicacion::mnuses_Click() {
  Form1& f = k_.form1;
  const fs::path exe = rutaEjecutable();
  std::string error;
  if (!autoarranque::pon(!f.mnuses.checked, exe, k_.carpeta, error))
    k_.sv.messageBox->show(u"No se ha podido cambiar el inicio con la sesión: " + u16(error),
                           platform::Buttons::Ok);
  f.mnuses.checked = autoarranque::activo();
}

bool Aplicacion::cargaAjustes() {
  Form1& f = k_.form1;
  // A new user starts from the shipped defaults (final sigma on: without it
  // λόγος comes out λόγοσ), not from every option off.
  if (!cargado_) {
    std::error_code ec;
    const fs::path inicial = k_.carpeta / kIniInicial;
    if (!fs::exists(rutaIni(), ec) && fs::is_regular_file(inicial, ec))
      fs::copy_file(inicial, k_.carpeta / "kalyxon.ini", ec);
  }
  f.mnuses.checked = autoarranque::activo();
  util::Perfil ini(rutaIni());
  auto lee = [&](const char16_t* clave) { return ini.lee(kSeccion, clave); };
  try {
    std::u16string sigma = lee(u"sigma final");
    std::u16string barra = lee(u"barra");
    std::u16string ks = lee(u"ks");
    std::u16string ps = lee(u"ps");
    std::u16string aproximado = lee(u"aproximado");
    std::u16string espiritus = lee(u"espiritus iniciales");
    std::u16string numeros = lee(u"numeros");
    std::u16string iota = lee(u"iota");
    std::u16string autor = lee(u"autor");
    std::u16string angulos = lee(u"angulos");
    std::u16string contexto = lee(u"acento contexto");
    f.cFuenteGriego = lee(u"griego");
    f.cFuenteNormal = lee(u"normal");
    f.cPrograma = lee(u"programa");
    f.cParametros = f.cPrograma.empty() ? std::u16string() : ini.lee(kSeccion, f.cPrograma);
    f.cCambiaFuentes = lee(u"fuentes");
    int posx = numero(lee(u"posx"));
    int posy = numero(lee(u"posy"));

    // The saved place and size are where the window starts; a later load
    // (coming back from the conversion window) leaves the window as the
    // user has it now.
    if (!cargado_) {
      if (posx > 0) f.ventana.left = posx;
      if (posy > 0) f.ventana.top = posy;
      if (esSi(barra)) {
        f.ventana.height = Form1::kAltoBarraInicio;
        f.mnubar.checked = true;
      }
    }
    f.mnus.checked = esSi(sigma);
    f.mnuks.checked = esSi(ks);
    f.mnups.checked = esSi(ps);
    f.mnunum.checked = esSi(numeros);
    f.mnuesp.checked = esSi(espiritus);
    f.mnuiota.checked = esSi(iota);
    f.mnudicapro.checked = esSi(aproximado);
    f.mnuang.checked = esSi(angulos);
    // On unless the settings say otherwise: older settings files lack the key.
    f.mnuacc.checked = contexto.empty() || esSi(contexto);
    f.mnupro.checked = esSi(f.cCambiaFuentes);

    if (!k_.alfabeto().cargado() && !avisoAlfabeto_) {
      // Without the letter tables nothing can be typed or looked up, but the
      // program still opens (its conversion window and menus work).
      avisoAlfabeto_ = true;
      k_.sv.messageBox->show(
          u"No se puede leer ALPHA.db, la tabla de letras de Kalyxon (falta o está dañada): "
          u"no se podrá escribir en griego ni consultar los diccionarios. Vuelva a instalar "
          u"el programa o copie ALPHA.db en " + u16(k_.carpeta.string()) + u".",
          platform::Buttons::Ok);
    }
    // One running copy per program folder, dictionaries or not.
    if (!cerrojo_.toma(k_.carpeta)) throw lexico::BaseOcupada(k_.carpeta);
    descubreDiccionarios();
    seleccionaDiccionario(autor);
    cargado_ = true;
  } catch (const lexico::BaseOcupada&) {
    k_.sv.messageBox->show(kMensajeInstancia, platform::Buttons::Ok);
    cargaFallida_ = true;
    Form_Unload();
    return false;
  } catch (const std::exception& e) {
    k_.sv.messageBox->show(u"No se han podido cargar las opciones de Kalyxon: " +
                               lexico::mensajeError(e) + u".",
                           platform::Buttons::Ok);
    cargaFallida_ = true;
    Form_Unload();
    return false;
  }
  return true;
}

void Aplicacion::descubreDiccionarios() {
  Form1& f = k_.form1;
  // One workspace for the life of the window; a later load reopens through it,
  // which hands back the files this copy already holds.
  if (!f.wrkJet) f.wrkJet = std::make_shared<lexico::Espacio>();
  std::vector<std::shared_ptr<lexico::Base>> abiertas;
  lexico::Revisados revisados(k_.carpeta);
  for (const auto& ruta : lexico::ficherosDiccionario(k_.carpeta)) {
    std::string fichero = ruta.filename().string();
    std::vector<lexico::InfoTabla> tablas;
    try {
      // A file this copy already holds was checked when it was first opened;
      // one unchanged since its last full check needs no reading of pages.
      bool nueva = !f.wrkJet->abierta(ruta);
      auto base = f.wrkJet->abre(ruta);
      if (nueva) {
        bool paginas = !revisados.vigente(ruta);
        base->revisa(paginas);
        if (paginas) revisados.anota(ruta);
      }
      tablas = base->tablas();
      f.datlxc = base;
      abiertas.push_back(std::move(base));
    } catch (const lexico::BaseOcupada&) {
      throw;
    } catch (const std::exception& e) {
      // A damaged file is skipped rather than stopping the program.
      // Said once per file, not at every activation of the window.
      if (danados_.insert(fichero).second)
        k_.sv.messageBox->show(u"El diccionario " + u16(fichero) + u" no se usará: " +
                                   lexico::mensajeError(e) + u".",
                               platform::Buttons::Ok);
      continue;
    }
    for (const auto& t : tablas) {
      if (t.campos != 3 || t.registros <= 0) continue;
      for (const auto& d : kDiccionarios) {
        if (t.nombre != d.tabla) continue;
        vm::MenuItem& m = f.*d.menu;
        m.enabled = true;
        m.caption = std::u16string(d.nombre) + u" " + decimal(t.registros);
        m.tag = u16(fichero);
      }
    }
  }
  // Every file found stays open (and locked against another copy), not only
  // the last one.
  abiertas_ = std::move(abiertas);
}

void Aplicacion::seleccionaDiccionario(const std::u16string& autor) {
  Form1& f = k_.form1;
  std::u16string a = mayusculas(autor);
  for (const auto& d : kDiccionarios) {
    vm::MenuItem& m = f.*d.menu;
    if (a != d.autor || !m.enabled) continue;
    // Only the chosen item carries the tick, as after choosing it from the menu.
    for (const auto& o : kDiccionarios) (f.*o.menu).checked = false;
    m.checked = true;
    abreDiccionario(u8(m.tag), d.tabla);
  }
}

std::vector<std::pair<std::u16string, std::u16string>> Aplicacion::opciones() const {
  const Form1& f = k_.form1;
  std::u16string autor;
  for (auto menu : kOrdenGrabacion)
    if ((f.*menu).checked) autor = filaDeMenu(f, &(f.*menu))->autor;
  std::vector<std::pair<std::u16string, std::u16string>> v = {
      {u"barra", siNo(f.mnubar.checked)},
      {u"aproximado", siNo(f.mnudicapro.checked)},
      {u"sigma final", siNo(f.mnus.checked)},
      {u"ks", siNo(f.mnuks.checked)},
      {u"ps", siNo(f.mnups.checked)},
      {u"iota", siNo(f.mnuiota.checked)},
      {u"espiritus iniciales", siNo(f.mnuesp.checked)},
      {u"numeros", siNo(f.mnunum.checked)},
      {u"angulos", siNo(f.mnuang.checked)},
      {u"acento contexto", siNo(f.mnuacc.checked)},
      {u"autor", autor},
      {u"griego", f.cFuenteGriego},
      {u"normal", f.cFuenteNormal},
      {u"programa", f.cPrograma},
  };
  // With no program ever chosen there is no key to name after it.
  if (!f.cPrograma.empty()) v.emplace_back(f.cPrograma, f.cParametros);
  v.emplace_back(u"fuentes", f.cCambiaFuentes);
  return v;
}

void Aplicacion::grabaIni() {
  const Form1& f = k_.form1;
  auto v = opciones();
  v.insert(v.begin(), {{u"posx", decimal(f.ventana.left)}, {u"posy", decimal(f.ventana.top)}});
  // A failed write loses nothing that was on disk; the close goes on, and
  // the user learns that his options were not kept.
  if (!util::Perfil(rutaIni()).escribe(kSeccion, v))
    k_.sv.messageBox->show(u"No se han podido guardar las opciones en " +
                               u16(rutaIni().string()) +
                               u" (la carpeta no permite escribir o el disco está lleno).",
                           platform::Buttons::Ok, u"Kalyxon");
  cierraDiccionarios();
}

void Aplicacion::grabaOpciones() {
  // Only a copy that runs writes: a refused second copy never loaded, and
  // before the first load the menus hold no user choice yet.
  if (!cargado_ || cargaFallida_ || terminado_) return;
  util::Perfil(rutaIni()).escribe(kSeccion, opciones());
}

void Aplicacion::abreDiccionario(const std::string& fichero, const std::string& tabla) {
  // The dictionary subsystem makes the table current.
  k_.diccionario().cambiaDiccionario(u16(fichero), tabla);
}

void Aplicacion::cierraDiccionarios() {
  cerrojo_.suelta();
  k_.diccionario().cierra();
  abiertas_.clear();
  k_.form1.datlxc.reset();
  k_.form1.wrkJet.reset();
}

std::vector<std::string> Aplicacion::diccionariosAbiertos() const {
  std::vector<std::string> r;
  for (const auto& b : abiertas_) r.push_back(b->nombre());
  return r;
}

// ---- Target program and fonts ---------------------------------------------------

void Aplicacion::eligePrograma() {
  Form1& f = k_.form1;
  f.lstfon.items.clear();
  f.lstfon.selected = -1;
  f.lstfon.visible = true;
  f.lstfon.tag = u"programa";
  for (const char16_t* p : {u"-Ninguno-", u"Word", u"Outlook", u"WordPad", u"OpenOffice",
                            u"PowerPoint", u"NotePad", u"InDesign", u"Bloc de notas"})
    f.lstfon.items.emplace_back(p);
  for (const auto& p : kProgramasLinux) f.lstfon.items.emplace_back(p.nombre);
  f.cmdace.visible = true;
}

void Aplicacion::eligeFuente() {
  Form1& f = k_.form1;
  f.lstfon.items.clear();
  f.lstfon.selected = -1;
  f.lstfon.visible = true;
  f.cmdace.visible = true;
  f.lstfon.tag = u"fuente";
  if (k_.sv.fonts)
    for (auto& nombre : nombresDeFamilia(k_.sv.fonts->screenFonts()))
      f.lstfon.items.push_back(std::move(nombre));
}

void Aplicacion::lstfon_Click(int indice) {
  Form1& f = k_.form1;
  if (indice >= 0 && indice < static_cast<int>(f.lstfon.items.size())) f.lstfon.selected = indice;
  f.cmdace.enabled = true;
}

void Aplicacion::cmdace_Click() {
  Form1& f = k_.form1;
  if (f.lstfon.selected < 0 || f.lstfon.selected >= static_cast<int>(f.lstfon.items.size()))
    return;
  std::u16string valor = f.lstfon.items[static_cast<std::size_t>(f.lstfon.selected)];
  if (f.lstfon.tag == u"programa")
    cambiaPrograma(valor);
  else
    cambiaFuente(valor);
}

void Aplicacion::cambiaFuente(const std::u16string& valor) {
  Form1& f = k_.form1;
  if (f.lEligeGriego)
    f.cFuenteGriego = valor;
  else
    f.cFuenteNormal = valor;
  f.lstfon.visible = false;
  f.cmdace.visible = false;
  grabaOpciones();
}

void Aplicacion::cambiaPrograma(const std::u16string& valor) {
  Form1& f = k_.form1;
  auto oculta = [&] {
    f.lstfon.visible = false;
    f.cmdace.visible = false;
  };
  if (valor == u"-Ninguno-") {
    f.cCambiaFuentes = u"NO";
    f.mnupro.checked = false;
    oculta();
    grabaOpciones();
    return;
  }
  auto r = k_.sv.messageBox->show(u"¿Cambiar programa por defecto a " + valor + u"?",
                                  platform::Buttons::YesNo, u"Cambiar programa");
  if (r != platform::Answer::Yes) {
    oculta();
    return;
  }
  std::u16string parametros = leeIni(valor);
  if (parametros.empty()) {
    // The box shows how the notation reads, and for the programs whose
    // font box has a known shortcut offers the macro that works there.
    std::u16string propuesta;
    for (const auto& p : kProgramasLinux)
      if (valor == p.nombre) propuesta = p.macro;
    parametros = k_.sv.inputBox
                     ->ask(u"Parámetros para " + valor + kEjemploMacro, u"Cadena de asignación",
                           propuesta)
                     .value_or(u"");
    if (parametros.empty()) {
      k_.sv.messageBox->show(u"No hay información sobre ese programa", platform::Buttons::Ok);
      return;
    }
    escribeIni(valor, parametros);
  }
  f.cPrograma = valor;
  f.cParametros = parametros;
  f.cCambiaFuentes = u"SI";
  f.mnupro.checked = true;
  oculta();
  grabaOpciones();
}

void Aplicacion::mnuher_Click() {
  Form1& f = k_.form1;
  if (f.mnupro.checked) {
    f.mnupro.caption = u"Programa - " + f.cPrograma;
    f.mnufuegri.enabled = f.mnufuenor.enabled = true;
  } else {
    f.mnupro.caption = u"Programa";
    f.mnufuegri.enabled = f.mnufuenor.enabled = false;
  }
}

void Aplicacion::mnufue_Click() {
  Form1& f = k_.form1;
  if (f.mnupro.enabled) {
    f.mnufuegri.caption = u"Griego - " + f.cFuenteGriego;
    f.mnufuenor.caption = u"Normal - " + f.cFuenteNormal;
  } else {
    f.mnufuegri.caption = u"Griego";
    f.mnufuenor.caption = u"Normal";
  }
}

// ---- Menus -----------------------------------------------------------------------

void Aplicacion::mnubar_Click() {
  Form1& f = k_.form1;
  if (f.mnubar.checked) {
    f.mnubar.checked = false;
    f.ventana.height = Form1::kAlto;
  } else {
    f.mnubar.checked = true;
    f.ventana.height = Form1::kAltoBarraMenu;
  }
}

void Aplicacion::mnuhertra_Click() {
  // Below the main window, with Greek mode and the dictionary switched off
  // first (their handlers remove the hook).
  k_.frmtra().abre();
}

void Aplicacion::mnusib_Click() {
  Form1& f = k_.form1;
  f.mnusibver.caption = u"Versión: " + textoVersion();
  f.mnusibaut.caption = proyecto::kIdentidad;
  f.mnusibhtp.caption = u16(proyecto::kWeb);
  f.mnusibcor.caption = u16(proyecto::kCorreo);
  // Without a site or an address of the project's own, their items go.
  f.mnusibhtp.visible = !f.mnusibhtp.caption.empty();
  f.mnusibcor.visible = !f.mnusibcor.caption.empty();
}

void Aplicacion::acercaDe() {
  // The attribution shipped beside the dictionaries, from the program folder
  // or from the installed data.
  std::vector<fs::path> sitios = {k_.carpeta};
  if (auto d = carpetaDatosInstalados(rutaEjecutable())) sitios.push_back(*d);
  frmace.llena(sitios);
  if (acercaDeEnVentana)
    frmace.ventana.visible = true;
  else
    k_.sv.messageBox->show(frmace.comoTexto(), platform::Buttons::Ok, frmace.ventana.caption);
}

void Aplicacion::frmace_cmdace_Click() { frmace.ventana.visible = false; }

void Aplicacion::navega(const std::string& url) {
  if (k_.sv.urls) k_.sv.urls->open(url);
}

void Aplicacion::Form_OLEDragDrop(const std::u16string& textoPlano,
                                  const std::u16string& textoUnicode) {
  Form1& f = k_.form1;
  if (f.mnucod.tag != u"*") {
    k_.diccionario().revisaGriego(textoUnicode);
  } else {
    std::u16string cadena = textoPlano;
    f.UniLabel1.caption = k_.codigos().cargaHTM(cadena);
  }
}

bool Aplicacion::menuClick(std::string_view n) {
  Form1& f = k_.form1;
  auto alterna = [](vm::MenuItem& m) { m.checked = !m.checked; };
  auto ayuda = [&](int tema) {
    if (k_.sv.help) k_.sv.help->showTopic(tema);
  };
  std::string web = proyecto::kWeb;
  if (n == "mnus") alterna(f.mnus);
  else if (n == "mnuks") alterna(f.mnuks);
  else if (n == "mnups") alterna(f.mnups);
  else if (n == "mnuesp") alterna(f.mnuesp);
  else if (n == "mnuiota") alterna(f.mnuiota);
  else if (n == "mnunum") alterna(f.mnunum);
  else if (n == "mnuang") alterna(f.mnuang);
  else if (n == "mnuacc") alterna(f.mnuacc);
  else if (n == "mnulat") alterna(f.mnulat);
  else if (n == "mnuses") mnuses_Click();
  else if (n == "mnudicapro") k_.diccionario().mnudicapro_Click();
  else if (n == "mnudiccla") k_.diccionario().eligeDiccionario("clasico");
  else if (n == "mnudiccom") k_.diccionario().eligeDiccionario("completo");
  else if (n == "mnudicari") k_.diccionario().eligeDiccionario("Aristoteles");
  else if (n == "mnudiceso") k_.diccionario().eligeDiccionario("Esopo");
  else if (n == "mnudichom") k_.diccionario().eligeDiccionario("Homero");
  else if (n == "mnudicjen") k_.diccionario().eligeDiccionario("Jenofonte");
  else if (n == "mnudicpla") k_.diccionario().eligeDiccionario("Platon");
  else if (n == "mnudictra") k_.diccionario().eligeDiccionario("Tragicos");
  else if (n == "mnudiccar") k_.diccionario().mnudiccar_Click();
  else if (n == "mnudicpal") k_.diccionario().addDiccionario();
  else if (n == "mnudicadd") k_.diccionario().addClasico();
  else if (n == "mnudicbor") k_.diccionario().borraDiccionario();
  else if (n == "mnudicfre") k_.diccionario().borraNumero();
  else if (n == "mnuayugen") ayuda(1);
  else if (n == "mnuayumap") ayuda(10);
  else if (n == "mnuayutec") ayuda(8);
  else if (n == "mnuayuesp") ayuda(9);
  else if (n == "mnuayuind") { if (k_.sv.help) k_.sv.help->showIndex(); }
  else if (n == "mnubar") mnubar_Click();
  else if (n == "mnuhertra") mnuhertra_Click();
  else if (n == "mnuher") mnuher_Click();
  else if (n == "mnufue") mnufue_Click();
  else if (n == "mnupro") eligePrograma();
  else if (n == "mnufuegri") { f.lEligeGriego = true; eligeFuente(); }
  else if (n == "mnufuenor") { f.lEligeGriego = false; eligeFuente(); }
  else if (n == "mnusib") mnusib_Click();
  else if (n == "mnufonbre") k_.compositor().mnufonbre_Click();
  else if (n == "mnufonlar") k_.compositor().mnufonlar_Click();
  else if (n == "mnufonabi") k_.compositor().mnufonabi_Click();
  else if (n == "mnufoncer") k_.compositor().mnufoncer_Click();
  else if (n == "mnucodhtm") k_.codigos().mnucodhtm_Click();
  else if (n == "mnucodjav") k_.codigos().mnucodjav_Click();
  else if (n == "mnusibace") acercaDe();
  // Without the project's own site, the identity and version items open the
  // "Acerca de Kalyxon" window and the Greek writing item the help.
  else if (n == "mnusibaut") web.empty() ? acercaDe() : navega(web + proyecto::kPaginaAutor);
  else if (n == "mnusibver") web.empty() ? acercaDe() : navega(web + proyecto::kPaginaVersion);
  else if (n == "mnusibgri") web.empty() ? ayuda(1) : navega(web + proyecto::kPaginaGriego);
  else if (n == "mnusibcor") { if (*proyecto::kCorreo) navega("mailto:" + std::string(proyecto::kCorreo)); }
  else if (n == "mnusibhtp") { if (!f.mnusibhtp.caption.empty()) navega(u8(f.mnusibhtp.caption)); }
  else if (n == "mnuayu" || n == "mnuopc" || n == "mnufon" || n == "mnudic" || n == "mnucod" ||
           n == "mnuver") {
    // Groups: opening them does nothing.
  } else {
    return false;
  }
  // An option the user sets stays set: the reload at the main window's next
  // activation reads the file, so the file must already hold it.
  static constexpr std::string_view kGuardan[] = {
      "mnus",      "mnuks",     "mnups",     "mnuesp",    "mnuiota",   "mnunum",
      "mnuang",    "mnubar",    "mnudicapro", "mnudiccla", "mnudiccom", "mnudicari",
      "mnudiceso", "mnudichom", "mnudicjen", "mnudicpla", "mnudictra"};
  if (std::find(std::begin(kGuardan), std::end(kGuardan), n) != std::end(kGuardan))
    grabaOpciones();
  return true;
}

}  // namespace kalyxon
