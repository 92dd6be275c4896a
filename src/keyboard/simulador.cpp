#include "keyboard/simulador.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

#include "app/kalyxon.h"
#include "util/sendkeys.h"

namespace kalyxon {

namespace {

using sendkeys::Key;
using sendkeys::KeyAction;

constexpr uint32_t kPaquete = 231;  // a Unicode character typed as such
constexpr uint32_t kShiftIzq = 160, kCtrlIzq = 162, kAltIzq = 164;

struct Nombre {
  std::string_view nombre;
  uint32_t vk;
  Key clave;
};

// Named keys of the script and of the keystroke notation, with their codes.
constexpr std::array kNombres{
    Nombre{"space", 32, Key::Char},      Nombre{"enter", 13, Key::Enter},
    Nombre{"bksp", 8, Key::Backspace},   Nombre{"backspace", 8, Key::Backspace},
    Nombre{"tab", 9, Key::Tab},          Nombre{"esc", 27, Key::Escape},
    Nombre{"del", 46, Key::Delete},      Nombre{"ins", 45, Key::Insert},
    Nombre{"home", 36, Key::Home},       Nombre{"end", 35, Key::End},
    Nombre{"pgup", 33, Key::PageUp},     Nombre{"pgdn", 34, Key::PageDown},
    Nombre{"left", 37, Key::Left},       Nombre{"right", 39, Key::Right},
    Nombre{"up", 38, Key::Up},           Nombre{"down", 40, Key::Down},
    Nombre{"capslock", 20, Key::CapsLock}, Nombre{"numlock", 144, Key::NumLock},
    Nombre{"scrolllock", 145, Key::ScrollLock}, Nombre{"break", 3, Key::Break},
    Nombre{"prtsc", 44, Key::PrintScreen}, Nombre{"clear", 12, Key::Clear},
    Nombre{"help", 47, Key::Help},       Nombre{"add", 107, Key::Add},
    Nombre{"subtract", 109, Key::Subtract}, Nombre{"multiply", 106, Key::Multiply},
    Nombre{"divide", 111, Key::Divide},
    Nombre{"shift", kShiftIzq, Key::Char}, Nombre{"ctrl", kCtrlIzq, Key::Char},
    Nombre{"alt", kAltIzq, Key::Char},     Nombre{"super", 91, Key::Char},
    Nombre{"click", 1, Key::Char},
};

uint32_t codigoDe(Key clave) {
  if (clave >= Key::F1 && clave <= Key::F16)
    return 112 + static_cast<uint32_t>(clave) - static_cast<uint32_t>(Key::F1);
  for (const auto& n : kNombres)
    if (n.clave == clave && clave != Key::Char) return n.vk;
  return 0;
}

Key claveDe(uint32_t vk) {
  if (vk >= 112 && vk <= 127) return static_cast<Key>(static_cast<uint32_t>(Key::F1) + vk - 112);
  for (const auto& n : kNombres)
    if (n.vk == vk && n.clave != Key::Char) return n.clave;
  return Key::Char;
}

bool esModificador(uint32_t vk) { return (vk >= 16 && vk <= 18) || (vk >= 160 && vk <= 165); }

// The Spanish layout: the character of a key, unshifted and shifted. A zero
// means the key types no character. 0x60 ` 0x5E ^ 0xB4 ´ 0xA8 ¨ are dead keys.
struct Caracteres {
  char16_t normal, mayuscula;
};

Caracteres caracteresDe(uint32_t vk) {
  static constexpr std::u16string_view kDigitos = u"0123456789";
  static constexpr std::u16string_view kDigitosMay = u"=!\"·$%&/()";
  if (vk >= 48 && vk <= 57) return {kDigitos[vk - 48], kDigitosMay[vk - 48]};
  if (vk >= 65 && vk <= 90) return {static_cast<char16_t>(vk + 32), static_cast<char16_t>(vk)};
  if (vk >= 96 && vk <= 105) return {kDigitos[vk - 96], kDigitos[vk - 96]};
  switch (vk) {
    case 32: return {u' ', u' '};
    case 106: return {u'*', u'*'};
    case 107: return {u'+', u'+'};
    case 109: return {u'-', u'-'};
    case 110: return {u'.', u'.'};
    case 111: return {u'/', u'/'};
    case 186: return {u'`', u'^'};
    case 187: return {u'+', u'*'};
    case 188: return {u',', u';'};
    case 189: return {u'-', u'_'};
    case 190: return {u'.', u':'};
    case 191: return {u'ç', u'Ç'};
    case 192: return {u'ñ', u'Ñ'};
    case 219: return {u'\'', u'?'};
    case 220: return {u'º', u'ª'};
    case 221: return {u'¡', u'¿'};
    case 222: return {u'´', u'¨'};
    case 226: return {u'<', u'>'};
    default: return {0, 0};
  }
}

char16_t altGr(uint32_t vk) {
  switch (vk) {
    case 49: return u'|';
    case 50: return u'@';
    case 51: return u'#';
    case 52: return u'~';
    case 53: return u'€';
    case 54: return u'¬';
    case 69: return u'€';
    case 186: return u'[';
    case 187: return u']';
    case 191: return u'}';
    case 220: return u'\\';
    case 222: return u'{';
    default: return 0;
  }
}

bool esMuerta(uint32_t vk) { return vk == 186 || vk == 222; }

// A dead key's mark on the next vowel; 0 when the pair does not combine.
char16_t combina(char16_t marca, char16_t c) {
  static constexpr std::u16string_view kVocales = u"aeiouAEIOU";
  std::u16string_view con;
  switch (marca) {
    case u'`': con = u"àèìòùÀÈÌÒÙ"; break;
    case u'^': con = u"âêîôûÂÊÎÔÛ"; break;
    case u'´': con = u"áéíóúÁÉÍÓÚ"; break;
    case u'¨': con = u"äëïöüÄËÏÖÜ"; break;
    default: return 0;
  }
  size_t p = kVocales.find(c);
  return p == std::u16string_view::npos ? 0 : con[p];
}

std::string minusculas(std::string_view s) {
  std::string r(s);
  for (auto& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

}  // namespace

// ---- Key scripts ---------------------------------------------------------------

TeclaGuion leeTecla(std::string_view token) {
  TeclaGuion t;
  t.token = std::string(token);
  std::string_view resto = token;
  auto prefijo = [&](bool& campo, const char* nombre) {
    if (campo) throw ErrorGuion(std::string(nombre) + " given twice");
    campo = true;
    resto.remove_prefix(1);
  };
  // A lone "+" or "%" is no prefix: it is then an unknown key below.
  while (resto.size() > 1) {
    const char c = resto.front();
    if (c == '+') prefijo(t.shift, "Shift (+)");
    else if (c == '^') prefijo(t.ctrl, "Ctrl (^)");
    else if (c == '%') prefijo(t.alt, "Alt (%)");
    else if (c == '!') prefijo(t.inyectada, "injected (!)");
    else break;
  }
  // "-down" / "-up": only the press or only the release.
  for (auto [sufijo, fase] : {std::pair{std::string_view("-down"), TeclaGuion::Fase::Baja},
                              std::pair{std::string_view("-up"), TeclaGuion::Fase::Sube}}) {
    const bool conPrefijo = t.shift || t.ctrl || t.alt;
    if (resto.size() >= sufijo.size() + (conPrefijo ? 0 : 1) &&
        minusculas(resto.substr(resto.size() - sufijo.size())) == sufijo) {
      t.fase = fase;
      resto.remove_suffix(sufijo.size());
      break;
    }
  }
  if (resto.empty() && (t.shift || t.ctrl || t.alt) && t.fase != TeclaGuion::Fase::Ambas) {
    // "^-up": the prefix's modifier alone.
    if (t.alt) t.vk = kAltIzq, t.alt = false;
    else if (t.ctrl) t.vk = kCtrlIzq, t.ctrl = false;
    else t.vk = kShiftIzq, t.shift = false;
    return t;
  }
  if (auto estrella = resto.rfind('*'); estrella != std::string_view::npos && estrella > 0) {
    std::string_view n = resto.substr(estrella + 1);
    int valor = 0;
    auto [p, ec] = std::from_chars(n.data(), n.data() + n.size(), valor);
    if (n.empty() || ec != std::errc() || p != n.data() + n.size() || valor < 1 || valor > 1000)
      throw ErrorGuion("repeat count after * must be a number from 1 to 1000");
    if (t.fase == TeclaGuion::Fase::Sube) throw ErrorGuion("a release cannot repeat");
    t.pulsaciones = valor;
    resto = resto.substr(0, estrella);
  }
  if (resto.empty()) throw ErrorGuion("no key");
  if (resto.size() == 1 && std::isalpha(static_cast<unsigned char>(resto[0]))) {
    t.vk = static_cast<uint32_t>(std::toupper(static_cast<unsigned char>(resto[0])));
    return t;
  }
  if (std::all_of(resto.begin(), resto.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    int valor = 0;
    auto [p, ec] = std::from_chars(resto.data(), resto.data() + resto.size(), valor);
    if (ec != std::errc() || valor < 1 || valor > 254)
      throw ErrorGuion("a key code must be from 1 to 254");
    t.vk = static_cast<uint32_t>(valor);
    return t;
  }
  const std::string nombre = minusculas(resto);
  if (nombre == "altgr") {
    // Ctrl and the right Alt, as the system reports AltGr.
    if (t.ctrl || t.alt) throw ErrorGuion("AltGr holds Ctrl and Alt already");
    t.vk = 165;
    t.ctrl = true;
    return t;
  }
  if (nombre == "kpenter") {
    t.vk = 13;
    t.extendida = true;
    return t;
  }
  if (nombre.size() >= 2 && nombre[0] == 'f') {
    int valor = 0;
    auto [p, ec] = std::from_chars(nombre.data() + 1, nombre.data() + nombre.size(), valor);
    if (ec == std::errc() && p == nombre.data() + nombre.size() && valor >= 1 && valor <= 16) {
      t.vk = 111 + static_cast<uint32_t>(valor);
      return t;
    }
  }
  for (const auto& n : kNombres) {
    if (n.nombre == nombre) {
      t.vk = n.vk;
      return t;
    }
  }
  throw ErrorGuion("unknown key name");
}

std::vector<TeclaGuion> leeGuion(std::string_view guion) {
  std::vector<TeclaGuion> teclas;
  size_t i = 0;
  int numero = 0;
  auto blanco = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; };
  while (i < guion.size()) {
    while (i < guion.size() && blanco(guion[i])) ++i;
    if (i >= guion.size()) break;
    size_t fin = i;
    while (fin < guion.size() && !blanco(guion[fin])) ++fin;
    std::string_view token = guion.substr(i, fin - i);
    ++numero;
    try {
      teclas.push_back(leeTecla(token));
    } catch (const ErrorGuion& e) {
      throw ErrorGuion("bad token '" + std::string(token) + "' (token " + std::to_string(numero) +
                       "): " + e.what());
    }
    i = fin;
  }
  return teclas;
}

std::string nombreTecla(uint32_t vk) {
  if (vk >= 65 && vk <= 90) return std::string(1, static_cast<char>(vk));
  if (vk >= 112 && vk <= 127) return "f" + std::to_string(vk - 111);
  if (vk == kPaquete) return "char";
  if (vk == kShiftIzq || vk == 16) return "shift";
  if (vk == kCtrlIzq || vk == 17) return "ctrl";
  if (vk == kAltIzq || vk == 18) return "alt";
  for (const auto& n : kNombres)
    if (n.vk == vk) return std::string(n.nombre);
  return std::to_string(vk);
}

// ---- The platform services of the simulated keyboard ---------------------------

class TecladoSimulado::Estado : public platform::KeyState {
 public:
  explicit Estado(TecladoSimulado& s) : s_(s) {}
  bool shiftDown() override { return s_.shift_; }
  bool ctrlDown() override { return s_.ctrl_; }
  int capsLockState() override { return (s_.bloqMay_ ? 1 : 0) | (s_.bloqMayPulsada_ ? 0x8000 : 0); }

 private:
  TecladoSimulado& s_;
};

class TecladoSimulado::Emisor : public platform::KeySender {
 public:
  explicit Emisor(TecladoSimulado& s) : s_(s) {}
  void send(const std::u16string& keys, bool wait) override { s_.envia(keys, wait); }

 private:
  TecladoSimulado& s_;
};

TecladoSimulado::TecladoSimulado(const std::filesystem::path& carpeta)
    : estado_(std::make_unique<Estado>(*this)), emisor_(std::make_unique<Emisor>(*this)) {
  platform::Services servicios = sv_.services();
  servicios.keys = estado_.get();
  servicios.sender = emisor_.get();
  k_ = std::make_unique<Kalyxon>(servicios, carpeta);
}

TecladoSimulado::~TecladoSimulado() = default;

TecladoHook& TecladoSimulado::hook() { return k_->teclado(); }
Form1& TecladoSimulado::form1() { return k_->form1; }

void TecladoSimulado::activaGriego() { k_->form1.chkgri.setValue(1); }

void TecladoSimulado::escribe(std::string_view guion) {
  for (const auto& t : leeGuion(guion)) pulsa(t);
}

void TecladoSimulado::pulsa(const TeclaGuion& t) {
  uint32_t tiempo = 0;
  const uint32_t iny = t.inyectada ? flag::kInjected : 0;
  // The Alt flag follows the Alt keys physically down, as on the desktop:
  // set on an Alt key's own press and on every key while one is held.
  auto ev = [&](uint32_t vk, bool arriba, bool extendida = false) {
    const bool esAlt = vk == 18 || vk == kAltIzq || vk == 165;
    uint32_t flags = iny | (arriba ? flag::kUp : 0) | (extendida ? flag::kExtended : 0);
    if (esAlt ? !arriba : alt_) flags |= flag::kAltDown;
    evento(KeyEvent{vk, 0, flags, ++tiempo, 0});
  };
  if (t.fase != TeclaGuion::Fase::Sube) {
    if (t.shift) ev(kShiftIzq, false);
    if (t.ctrl) ev(kCtrlIzq, false);
    if (t.alt) ev(kAltIzq, false);
    for (int i = 0; i < t.pulsaciones; ++i) ev(t.vk, false, t.extendida);
  }
  if (t.fase != TeclaGuion::Fase::Baja) {
    ev(t.vk, true, t.extendida);
    if (t.alt) ev(kAltIzq, true);
    if (t.ctrl) ev(kCtrlIzq, true);
    if (t.shift) ev(kShiftIzq, true);
  }
}

Verdict TecladoSimulado::evento(const KeyEvent& e) { return entrega(e, nullptr); }

Verdict TecladoSimulado::entrega(const KeyEvent& e, const KeyAction* inyectada) {
  ++nivel_;
  const Verdict v = sv_.hook.installed ? k_->teclado().tecladoProc(0, e) : Verdict::Pass;
  if (v != Verdict::Swallow) {
    if (inyectada && !esModificador(e.vkCode)) {
      // A synthesised keystroke does at its press what the notation says.
      if (!(e.flags & flag::kUp)) {
        if (inyectada->key == Key::CapsLock) bloqMay_ = !bloqMay_;
        aplicaAccion(*inyectada);
      }
    } else {
      aplicaTecla(e.vkCode, e.flags);
    }
  }
  --nivel_;
  if (alEvento) alEvento(e, v, nivel_);
  if (nivel_ == 0 && !vaciando_) vaciaCola();
  return v;
}

// What the application (and the system) does with a key event it receives.
void TecladoSimulado::aplicaTecla(uint32_t vk, uint32_t flags) {
  const bool arriba = (flags & flag::kUp) != 0;
  switch (vk) {
    case 16: case kShiftIzq: case 161: shift_ = !arriba; return;
    case 17: case kCtrlIzq: case 163: ctrl_ = !arriba; return;
    case 18: case kAltIzq: case 165: alt_ = !arriba; return;
    case 1:
      if (!arriba) app_.setText(app_.text(), 0);
      return;
    case 20:
      if (!arriba && !bloqMayPulsada_) bloqMay_ = !bloqMay_;
      bloqMayPulsada_ = !arriba;
      return;
    default: break;
  }
  if (arriba) return;

  uint8_t mods = (shift_ ? sendkeys::kShift : 0) | (ctrl_ ? sendkeys::kCtrl : 0) |
                 (alt_ ? sendkeys::kAlt : 0);
  const Caracteres cs = caracteresDe(vk);
  if (ctrl_ && alt_) {
    if (char16_t c = altGr(vk)) {
      muerta_ = 0;
      app_.apply(sendkeys::chr(c));
      return;
    }
  }
  if (ctrl_ || alt_) {
    // A shortcut: the application records it and types nothing.
    const Key clave = claveDe(vk);
    if (clave != Key::Char || cs.normal != 0)
      app_.apply(KeyAction{clave, clave == Key::Char ? char32_t(cs.normal) : 0, mods});
    return;
  }
  if (cs.normal == 0 || vk == 13) {
    const Key clave = claveDe(vk);
    if (clave == Key::Char) return;  // F-keys above 16, modifiers, unknown codes
    muerta_ = 0;
    app_.apply(sendkeys::key(clave));
    return;
  }
  const bool letra = (vk >= 65 && vk <= 90) || vk == 191 || vk == 192;
  const bool mayuscula = letra ? shift_ != bloqMay_ : shift_;
  char16_t c = mayuscula ? cs.mayuscula : cs.normal;
  if (esMuerta(vk)) {
    if (muerta_ == 0) {
      muerta_ = c;
      return;
    }
    app_.apply(sendkeys::chr(muerta_));
    muerta_ = 0;
    app_.apply(sendkeys::chr(c));
    return;
  }
  if (muerta_ != 0) {
    const char16_t marca = muerta_;
    muerta_ = 0;
    if (char16_t junta = combina(marca, c)) {
      app_.apply(sendkeys::chr(junta));
      return;
    }
    app_.apply(sendkeys::chr(marca));
    if (c == u' ') return;
  }
  app_.apply(sendkeys::chr(c));
}

// A control character typed as a character (the composer's text for Enter
// is a carriage return) does in an editor what its key does.
void TecladoSimulado::aplicaAccion(const KeyAction& a) {
  if (a.isChar() && (a.mods & (sendkeys::kCtrl | sendkeys::kAlt)) == 0) {
    if (a.ch == U'\r' || a.ch == U'\n') return app_.apply(sendkeys::key(Key::Enter));
    if (a.ch == U'\t') return app_.apply(sendkeys::key(Key::Tab));
  }
  app_.apply(a);
}

// ---- What the engine sends --------------------------------------------------------

void TecladoSimulado::envia(const std::u16string& teclas, bool espera) {
  if (alEnviar) alEnviar(teclas, espera, nivel_ - 1);
  const sendkeys::KeySequence acciones = sendkeys::parse(teclas);
  if (!reinyectar) {
    for (const auto& a : acciones) aplicaAccion(a);
    return;
  }
  if (espera || nivel_ == 0) {
    for (const auto& a : acciones) inyecta(a);
  } else {
    for (const auto& a : acciones) cola_.push_back(a);
  }
}

void TecladoSimulado::vaciaCola() {
  vaciando_ = true;
  while (!cola_.empty()) {
    const KeyAction a = cola_.front();
    cola_.erase(cola_.begin());
    inyecta(a);
  }
  vaciando_ = false;
}

// One keystroke of the notation as a desktop synthesises it: modifiers down,
// the key (a character as a Unicode character event unless a shortcut needs
// its letter key), then everything up; all events marked injected.
void TecladoSimulado::inyecta(const KeyAction& a) {
  const bool shift = a.mods & sendkeys::kShift, ctrl = a.mods & sendkeys::kCtrl,
             alt = a.mods & sendkeys::kAlt;
  const uint32_t iny = flag::kInjected;
  const uint32_t conAlt = alt ? flag::kAltDown : 0;
  auto ev = [&](uint32_t vk, uint32_t scan, uint32_t flags, const KeyAction* accion) {
    entrega(KeyEvent{vk, scan, flags, 0, 0}, accion);
  };
  uint32_t vk = 0, scan = 0;
  if (a.isChar()) {
    const bool letra = (a.ch >= U'a' && a.ch <= U'z') || (a.ch >= U'A' && a.ch <= U'Z');
    const bool digito = a.ch >= U'0' && a.ch <= U'9';
    if (a.mods != 0 && (letra || digito)) {
      vk = static_cast<uint32_t>(letra ? (a.ch & ~0x20u) : a.ch);
    } else {
      vk = kPaquete;
      scan = static_cast<uint32_t>(a.ch);
    }
  } else {
    vk = codigoDe(a.key);
  }
  if (shift) ev(kShiftIzq, 0, iny, nullptr);
  if (ctrl) ev(kCtrlIzq, 0, iny, nullptr);
  if (alt) ev(kAltIzq, 0, iny | flag::kAltDown, nullptr);
  ev(vk, scan, iny | conAlt, &a);
  ev(vk, scan, iny | conAlt | flag::kUp, &a);
  if (alt) ev(kAltIzq, 0, iny | flag::kUp, nullptr);
  if (ctrl) ev(kCtrlIzq, 0, iny | flag::kUp, nullptr);
  if (shift) ev(kShiftIzq, 0, iny | flag::kUp, nullptr);
}

}  // namespace kalyxon
