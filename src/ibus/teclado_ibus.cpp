#include "ibus/teclado_ibus.h"

#include <ibus.h>
#include <linux/input-event-codes.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string_view>
#include <vector>

#include "app/proyecto.h"
#include "keyboard/posiciones.h"
#include "util/sendkeys.h"

namespace kalyxon::ibus {
namespace {

// ---- Linux input codes -----------------------------------------------------

struct Posicion {
  unsigned code;
  std::string_view name;
};

// The XKB position names of the Linux input codes (the evdev keycodes of XKB
// are these plus 8).
constexpr std::array kPosiciones{
    Posicion{KEY_ESC, "ESC"},      Posicion{KEY_1, "AE01"},          Posicion{KEY_2, "AE02"},
    Posicion{KEY_3, "AE03"},       Posicion{KEY_4, "AE04"},          Posicion{KEY_5, "AE05"},
    Posicion{KEY_6, "AE06"},       Posicion{KEY_7, "AE07"},          Posicion{KEY_8, "AE08"},
    Posicion{KEY_9, "AE09"},       Posicion{KEY_0, "AE10"},          Posicion{KEY_MINUS, "AE11"},
    Posicion{KEY_EQUAL, "AE12"},   Posicion{KEY_BACKSPACE, "BKSP"},  Posicion{KEY_TAB, "TAB"},
    Posicion{KEY_Q, "AD01"},       Posicion{KEY_W, "AD02"},          Posicion{KEY_E, "AD03"},
    Posicion{KEY_R, "AD04"},       Posicion{KEY_T, "AD05"},          Posicion{KEY_Y, "AD06"},
    Posicion{KEY_U, "AD07"},       Posicion{KEY_I, "AD08"},          Posicion{KEY_O, "AD09"},
    Posicion{KEY_P, "AD10"},       Posicion{KEY_LEFTBRACE, "AD11"},  Posicion{KEY_RIGHTBRACE, "AD12"},
    Posicion{KEY_ENTER, "RTRN"},   Posicion{KEY_LEFTCTRL, "LCTL"},   Posicion{KEY_A, "AC01"},
    Posicion{KEY_S, "AC02"},       Posicion{KEY_D, "AC03"},          Posicion{KEY_F, "AC04"},
    Posicion{KEY_G, "AC05"},       Posicion{KEY_H, "AC06"},          Posicion{KEY_J, "AC07"},
    Posicion{KEY_K, "AC08"},       Posicion{KEY_L, "AC09"},          Posicion{KEY_SEMICOLON, "AC10"},
    Posicion{KEY_APOSTROPHE, "AC11"}, Posicion{KEY_GRAVE, "TLDE"},   Posicion{KEY_LEFTSHIFT, "LFSH"},
    Posicion{KEY_BACKSLASH, "BKSL"}, Posicion{KEY_Z, "AB01"},        Posicion{KEY_X, "AB02"},
    Posicion{KEY_C, "AB03"},       Posicion{KEY_V, "AB04"},          Posicion{KEY_B, "AB05"},
    Posicion{KEY_N, "AB06"},       Posicion{KEY_M, "AB07"},          Posicion{KEY_COMMA, "AB08"},
    Posicion{KEY_DOT, "AB09"},     Posicion{KEY_SLASH, "AB10"},      Posicion{KEY_RIGHTSHIFT, "RTSH"},
    Posicion{KEY_KPASTERISK, "KPMU"}, Posicion{KEY_LEFTALT, "LALT"}, Posicion{KEY_SPACE, "SPCE"},
    Posicion{KEY_CAPSLOCK, "CAPS"}, Posicion{KEY_F1, "FK01"},        Posicion{KEY_F2, "FK02"},
    Posicion{KEY_F3, "FK03"},      Posicion{KEY_F4, "FK04"},         Posicion{KEY_F5, "FK05"},
    Posicion{KEY_F6, "FK06"},      Posicion{KEY_F7, "FK07"},         Posicion{KEY_F8, "FK08"},
    Posicion{KEY_F9, "FK09"},      Posicion{KEY_F10, "FK10"},        Posicion{KEY_NUMLOCK, "NMLK"},
    Posicion{KEY_SCROLLLOCK, "SCLK"}, Posicion{KEY_KP7, "KP7"},      Posicion{KEY_KP8, "KP8"},
    Posicion{KEY_KP9, "KP9"},      Posicion{KEY_KPMINUS, "KPSU"},    Posicion{KEY_KP4, "KP4"},
    Posicion{KEY_KP5, "KP5"},      Posicion{KEY_KP6, "KP6"},         Posicion{KEY_KPPLUS, "KPAD"},
    Posicion{KEY_KP1, "KP1"},      Posicion{KEY_KP2, "KP2"},         Posicion{KEY_KP3, "KP3"},
    Posicion{KEY_KP0, "KP0"},      Posicion{KEY_KPDOT, "KPDL"},      Posicion{KEY_102ND, "LSGT"},
    Posicion{KEY_F11, "FK11"},     Posicion{KEY_F12, "FK12"},        Posicion{KEY_KPENTER, "KPEN"},
    Posicion{KEY_RIGHTCTRL, "RCTL"}, Posicion{KEY_KPSLASH, "KPDV"},  Posicion{KEY_SYSRQ, "PRSC"},
    Posicion{KEY_RIGHTALT, "RALT"}, Posicion{KEY_HOME, "HOME"},      Posicion{KEY_UP, "UP"},
    Posicion{KEY_PAGEUP, "PGUP"},  Posicion{KEY_LEFT, "LEFT"},       Posicion{KEY_RIGHT, "RGHT"},
    Posicion{KEY_END, "END"},      Posicion{KEY_DOWN, "DOWN"},       Posicion{KEY_PAGEDOWN, "PGDN"},
    Posicion{KEY_INSERT, "INS"},   Posicion{KEY_DELETE, "DELE"},     Posicion{KEY_PAUSE, "PAUS"},
    Posicion{KEY_LEFTMETA, "LWIN"}, Posicion{KEY_RIGHTMETA, "RWIN"}, Posicion{KEY_COMPOSE, "COMP"},
};

// Virtual-key codes the backend looks at.
constexpr uint32_t kVkLMenu = 164, kVkRMenu = 165;

// The keys the keystroke notation names, as forwarded key events.
struct TeclaNombrada {
  sendkeys::Key key;
  unsigned keyval;
  unsigned code;
};

constexpr TeclaNombrada kNombradas[] = {
    {sendkeys::Key::Enter, IBUS_KEY_Return, KEY_ENTER},
    {sendkeys::Key::Tab, IBUS_KEY_Tab, KEY_TAB},
    {sendkeys::Key::Escape, IBUS_KEY_Escape, KEY_ESC},
    {sendkeys::Key::Backspace, IBUS_KEY_BackSpace, KEY_BACKSPACE},
    {sendkeys::Key::Delete, IBUS_KEY_Delete, KEY_DELETE},
    {sendkeys::Key::Insert, IBUS_KEY_Insert, KEY_INSERT},
    {sendkeys::Key::Home, IBUS_KEY_Home, KEY_HOME},
    {sendkeys::Key::End, IBUS_KEY_End, KEY_END},
    {sendkeys::Key::Left, IBUS_KEY_Left, KEY_LEFT},
    {sendkeys::Key::Right, IBUS_KEY_Right, KEY_RIGHT},
    {sendkeys::Key::Up, IBUS_KEY_Up, KEY_UP},
    {sendkeys::Key::Down, IBUS_KEY_Down, KEY_DOWN},
    {sendkeys::Key::PageUp, IBUS_KEY_Page_Up, KEY_PAGEUP},
    {sendkeys::Key::PageDown, IBUS_KEY_Page_Down, KEY_PAGEDOWN},
    {sendkeys::Key::Break, IBUS_KEY_Break, KEY_PAUSE},
    {sendkeys::Key::CapsLock, IBUS_KEY_Caps_Lock, KEY_CAPSLOCK},
    {sendkeys::Key::NumLock, IBUS_KEY_Num_Lock, KEY_NUMLOCK},
    {sendkeys::Key::ScrollLock, IBUS_KEY_Scroll_Lock, KEY_SCROLLLOCK},
    {sendkeys::Key::PrintScreen, IBUS_KEY_Print, KEY_SYSRQ},
    {sendkeys::Key::Clear, IBUS_KEY_Clear, KEY_KP5},
    {sendkeys::Key::Help, IBUS_KEY_Help, KEY_HELP},
    {sendkeys::Key::Add, IBUS_KEY_KP_Add, KEY_KPPLUS},
    {sendkeys::Key::Subtract, IBUS_KEY_KP_Subtract, KEY_KPMINUS},
    {sendkeys::Key::Multiply, IBUS_KEY_KP_Multiply, KEY_KPASTERISK},
    {sendkeys::Key::Divide, IBUS_KEY_KP_Divide, KEY_KPSLASH},
};

constexpr unsigned kFunciones[] = {KEY_F1,  KEY_F2,  KEY_F3,  KEY_F4,  KEY_F5,  KEY_F6,
                                   KEY_F7,  KEY_F8,  KEY_F9,  KEY_F10, KEY_F11, KEY_F12,
                                   KEY_F13, KEY_F14, KEY_F15, KEY_F16};

// The input code of the key that types character `c` on the Spanish layout
// (letters, digits and space), 0 for others: a forwarded shortcut carries it
// for applications that look at keycodes.
unsigned codigoDeCaracter(char32_t c) {
  if (c >= U'a' && c <= U'z') c -= 32;
  if (!((c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9') || c == U' ')) return 0;
  for (const auto& p : kPosiciones)
    if (auto k = keyAtPosition(p.name); k && k->vk == c) return p.code;
  return 0;
}

// Owning pointers to GObjects.
struct Unref {
  void operator()(gpointer p) const {
    if (p) g_object_unref(p);
  }
};
template <class T>
using GPtr = std::unique_ptr<T, Unref>;

}  // namespace

std::optional<bool> isInputSource() {
  GSettingsSchemaSource* fuente = g_settings_schema_source_get_default();
  auto lee = [&](const char* esquema) -> GPtr<GSettings> {
    if (!fuente) return nullptr;
    GSettingsSchema* s = g_settings_schema_source_lookup(fuente, esquema, TRUE);
    if (!s) return nullptr;
    g_settings_schema_unref(s);
    return GPtr<GSettings>(g_settings_new(esquema));
  };
  const char* escritorio = std::getenv("XDG_CURRENT_DESKTOP");
  if (escritorio && std::strstr(escritorio, "GNOME")) {
    if (auto gs = lee("org.gnome.desktop.input-sources")) {
      GVariant* v = g_settings_get_value(gs.get(), "sources");
      bool hay = false;
      GVariantIter it;
      g_variant_iter_init(&it, v);
      const char *tipo = nullptr, *id = nullptr;
      while (g_variant_iter_next(&it, "(&s&s)", &tipo, &id))
        if (std::strcmp(tipo, "ibus") == 0 && std::strcmp(id, kEngineName) == 0) hay = true;
      g_variant_unref(v);
      return hay;
    }
  }
  if (auto gs = lee("org.freedesktop.ibus.general")) {
    gchar** motores = g_settings_get_strv(gs.get(), "preload-engines");
    bool hay = false;
    for (gchar** m = motores; m && *m; ++m)
      if (std::strcmp(*m, kEngineName) == 0) hay = true;
    g_strfreev(motores);
    return hay;
  }
  return std::nullopt;
}

// ---- The GLib side -------------------------------------------------------------

struct TecladoIbus::Impl {
  explicit Impl(TecladoIbus& o) : owner(o) {}
  ~Impl() {
    for (IBusEngine* e : motores) g_signal_handlers_disconnect_by_data(e, this);
    if (factory) {
      g_signal_handlers_disconnect_by_data(factory.get(), this);
      ibus_object_destroy(IBUS_OBJECT(factory.get()));
    }
    if (bus) g_signal_handlers_disconnect_by_data(bus.get(), this);
  }

  TecladoIbus& owner;
  GPtr<IBusBus> bus;
  GPtr<IBusFactory> factory;
  std::vector<IBusEngine*> motores;  // owned by the factory
  IBusEngine* activo = nullptr;      // the engine of the focused text field
  bool servido = false;              // offered before the daemon went away
  unsigned serie = 0;
  // The event being judged: its modifier state, and the keys held (by input
  // code) for what the state does not say (Alt Gr, Caps Lock held).
  guint estado = 0;
  std::array<bool, 256> abajo{};
  // The key of each input code, looked up once.
  std::array<std::optional<PhysicalKey>, 256> teclas = [] {
    std::array<std::optional<PhysicalKey>, 256> t;
    for (const auto& p : kPosiciones) t[p.code] = keyAtPosition(p.name);
    return t;
  }();

  static IBusEngine* onCreate(IBusFactory* factory, const gchar* nombre, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    if (std::strcmp(nombre, kEngineName) != 0) return nullptr;
    gchar* ruta = g_strdup_printf("/org/freedesktop/IBus/Engine/Kalyxon/%u", ++self->serie);
    // What the engine passes goes on to IBus's own composition (dead keys,
    // the Compose key), which applications under an input method rely on:
    // in Latin mode the dead keys of the layout keep working.
    IBusEngine* e = ibus_engine_new_with_type(IBUS_TYPE_ENGINE_SIMPLE, nombre, ruta,
                                              ibus_service_get_connection(IBUS_SERVICE(factory)));
    g_free(ruta);
    g_signal_connect(e, "process-key-event", G_CALLBACK(onKey), self);
    g_signal_connect(e, "focus-in", G_CALLBACK(onFocusIn), self);
    g_signal_connect(e, "focus-out", G_CALLBACK(onBreak), self);
    g_signal_connect(e, "reset", G_CALLBACK(onBreak), self);
    g_signal_connect(e, "enable", G_CALLBACK(onBreak), self);
    g_signal_connect(e, "disable", G_CALLBACK(onBreak), self);
    g_signal_connect(e, "destroy", G_CALLBACK(onDestroy), self);
    self->motores.push_back(e);
    return e;
  }

  static void onFocusIn(IBusEngine* e, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    self->activo = e;
    self->abajo.fill(false);
    if (self->owner.alCortar_) self->owner.alCortar_();
  }

  static void onBreak(IBusEngine*, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    if (self->owner.alCortar_) self->owner.alCortar_();
  }

  static void onDestroy(IBusEngine* e, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    g_signal_handlers_disconnect_by_data(e, self);
    std::erase(self->motores, e);
    if (self->activo == e) self->activo = nullptr;
  }

  static void onDisconnected(IBusBus*, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    self->motores.clear();
    self->activo = nullptr;
    self->servido = self->factory != nullptr;
    if (self->factory) {
      g_signal_handlers_disconnect_by_data(self->factory.get(), self);
      ibus_object_destroy(IBUS_OBJECT(self->factory.get()));
      self->factory.reset();
    }
    if (self->owner.alDesconectar_) self->owner.alDesconectar_();
  }

  // The daemon is back (an "ibus restart"): the engine is offered again.
  static void onConnected(IBusBus*, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    if (self->servido) self->owner.serve();
  }

  static gboolean onKey(IBusEngine* e, guint keyval, guint code, guint state, gpointer data) {
    (void)keyval;
    auto* self = static_cast<Impl*>(data);
    // Keys this engine forwarded come back marked; they are the
    // application's now.
    if (state & IBUS_FORWARD_MASK) return FALSE;
    return self->judge(e, code, state) == Verdict::Swallow;
  }

  Verdict judge(IBusEngine* e, guint code, guint state) {
    activo = e;
    const bool suelta = (state & IBUS_RELEASE_MASK) != 0;
    code &= 0xFF;
    KeyEvent ev;
    ev.time = static_cast<uint32_t>(g_get_monotonic_time() / 1000);
    if (const auto& k = teclas[code]) {
      ev.vkCode = k->vk;
      if (k->vkNoNum && !(state & IBUS_MOD2_MASK)) ev.vkCode = k->vkNoNum;
      ev.scanCode = k->scan;
      if (k->extended) ev.flags |= flag::kExtended;
    }
    // Alt Gr sets no Alt bit: held Alt keys count as well, as on X11.
    bool alt = (state & IBUS_MOD1_MASK) || abajo[KEY_LEFTALT] || abajo[KEY_RIGHTALT];
    if (ev.vkCode == kVkLMenu || ev.vkCode == kVkRMenu) alt = !suelta;
    if (alt) ev.flags |= flag::kAltDown;
    if (suelta) ev.flags |= flag::kUp;

    Verdict v = Verdict::Pass;
    estado = state;
    if (owner.installed_ && owner.procedure_ && ev.vkCode != 0) v = owner.procedure_(0, ev);
    abajo[code] = !suelta;
    return v;
  }

  bool capsHeld() const { return abajo[KEY_CAPSLOCK]; }

  void forward(IBusEngine* e, unsigned keyval, unsigned code, uint8_t mods) {
    guint state = 0;
    if (mods & sendkeys::kShift) state |= IBUS_SHIFT_MASK;
    if (mods & sendkeys::kCtrl) state |= IBUS_CONTROL_MASK;
    if (mods & sendkeys::kAlt) state |= IBUS_MOD1_MASK;
    ibus_engine_forward_key_event(e, keyval, code, state);
    ibus_engine_forward_key_event(e, keyval, code, state | IBUS_RELEASE_MASK);
  }
};

// ---- TecladoIbus -------------------------------------------------------------------

TecladoIbus::TecladoIbus() : d_(std::make_unique<Impl>(*this)) {
  ibus_init();
  d_->bus.reset(ibus_bus_new());
  if (d_->bus) {
    g_signal_connect(d_->bus.get(), "disconnected", G_CALLBACK(Impl::onDisconnected), d_.get());
    g_signal_connect(d_->bus.get(), "connected", G_CALLBACK(Impl::onConnected), d_.get());
  }
  if (!connected()) error_ = kNoDaemon;
}

TecladoIbus::~TecladoIbus() = default;

bool TecladoIbus::connected() const { return d_->bus && ibus_bus_is_connected(d_->bus.get()); }

void TecladoIbus::dispatchPending() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

bool TecladoIbus::serve() {
  if (!connected()) {
    error_ = kNoDaemon;
    return false;
  }
  if (d_->factory) return true;
  GDBusConnection* conn = ibus_bus_get_connection(d_->bus.get());
  IBusFactory* f = ibus_factory_new(conn);
  g_object_ref_sink(f);
  d_->factory.reset(f);
  g_signal_connect(f, "create-engine", G_CALLBACK(Impl::onCreate), d_.get());
  // A daemon whose component folder lacks our file (a build tree, say) is
  // told about the engine by this process, so that it can still be selected.
  const gchar* nombres[] = {kEngineName, nullptr};
  IBusEngineDesc** conocidos = ibus_bus_get_engines_by_names(d_->bus.get(), nombres);
  const bool conocido = conocidos && conocidos[0];
  for (IBusEngineDesc** p = conocidos; p && *p; ++p) g_object_unref(*p);
  g_free(conocidos);
  if (!conocido) {
    // The same description as the component file's.
    IBusComponent* c = ibus_component_new(kComponentName, "Kalyxon", "", "MIT",
                                          "Proyecto Kalyxon", proyecto::kWeb, "", "kalyxon");
    ibus_component_add_engine(
        c, ibus_engine_desc_new_varargs(
               "name", kEngineName, "longname", "Griego clásico (Kalyxon)", "description",
               "Griego clásico politónico", "language", "grc", "license", "MIT", "author",
               "Proyecto Kalyxon", "layout", "default", "symbol", "ἀ", nullptr));
    ibus_bus_register_component(d_->bus.get(), c);
    g_object_unref(c);
  }
  guint r = ibus_bus_request_name(d_->bus.get(), kComponentName, IBUS_BUS_NAME_FLAG_DO_NOT_QUEUE);
  if (r != IBUS_BUS_REQUEST_NAME_REPLY_PRIMARY_OWNER &&
      r != IBUS_BUS_REQUEST_NAME_REPLY_ALREADY_OWNER) {
    error_ = kNameTaken;
    g_signal_handlers_disconnect_by_data(f, d_.get());
    ibus_object_destroy(IBUS_OBJECT(f));
    d_->factory.reset();
    return false;
  }
  error_ = kOk;
  return true;
}

bool TecladoIbus::install() {
  if (!d_->factory && !serve()) return false;
  installed_ = true;
  return true;
}

void TecladoIbus::remove() { installed_ = false; }

std::u16string TecladoIbus::errorText() {
  switch (error_) {
    case kOk: return {};
    case kNameTaken:
      return u"Otro programa está atendiendo ya el método de entrada Kalyxon de IBus.\r\n"
             u"Cierre la otra copia de Kalyxon y vuelva a intentarlo.";
    default:
      return u"Este programa necesita el sistema de entrada IBus en marcha (paquete ibus).\r\n"
             u"Instale ibus y actívelo como sistema de entrada (im-config -n ibus, o la "
             u"configuración del escritorio) y vuelva a iniciar la sesión.";
  }
}

bool TecladoIbus::shiftDown() { return (d_->estado & IBUS_SHIFT_MASK) != 0; }
bool TecladoIbus::ctrlDown() { return (d_->estado & IBUS_CONTROL_MASK) != 0; }
int TecladoIbus::capsLockState() {
  return ((d_->estado & IBUS_LOCK_MASK) ? 1 : 0) | (d_->capsHeld() ? 0x8000 : 0);
}

void TecladoIbus::send(const std::u16string& keys, bool) {
  IBusEngine* e = d_->activo;
  if (!e || keys.empty()) return;
  sendkeys::ParseResult parsed = sendkeys::tryParse(keys);
  if (!parsed.ok()) {
    // Malformed text (a user's font-switch macro) is typed not at all rather
    // than in part.
    std::cerr << "kalyxon: keystrokes not sent: " << parsed.error << "\n";
    return;
  }
  const bool alrededor = (e->client_capabilities & IBUS_CAP_SURROUNDING_TEXT) != 0;
  std::string texto;
  int borrar = 0;
  // Text and deletions are gathered and go out in the order they were typed:
  // a correction is one deletion and one commit.
  auto vacia = [&] {
    if (borrar > 0) {
      if (alrededor) {
        ibus_engine_delete_surrounding_text(e, -borrar, static_cast<guint>(borrar));
      } else {
        for (int i = 0; i < borrar; ++i) d_->forward(e, IBUS_KEY_BackSpace, KEY_BACKSPACE, 0);
      }
      borrar = 0;
    }
    if (!texto.empty()) {
      ibus_engine_commit_text(e, ibus_text_new_from_string(texto.c_str()));
      texto.clear();
    }
  };
  for (const sendkeys::KeyAction& a : parsed.actions) {
    const bool atajo = (a.mods & (sendkeys::kCtrl | sendkeys::kAlt)) != 0;
    if (a.isChar() && !atajo && a.ch >= 0x20 && a.ch != 0x7F) {
      if (borrar) vacia();
      gunichar c = a.ch;
      if (a.mods & sendkeys::kShift) c = g_unichar_toupper(c);
      char buf[8];
      texto.append(buf, static_cast<size_t>(g_unichar_to_utf8(c, buf)));
      continue;
    }
    if (a.key == sendkeys::Key::Backspace && a.mods == 0) {
      if (!texto.empty()) vacia();
      ++borrar;
      continue;
    }
    vacia();
    if (a.isChar()) {
      unsigned keyval = a.ch == U'\r' || a.ch == U'\n' ? IBUS_KEY_Return
                        : a.ch == U'\t'               ? IBUS_KEY_Tab
                        : a.ch == U'\b'               ? IBUS_KEY_BackSpace
                                                      : ibus_unicode_to_keyval(a.ch);
      d_->forward(e, keyval, codigoDeCaracter(a.ch), a.mods);
    } else if (a.key >= sendkeys::Key::F1 && a.key <= sendkeys::Key::F16) {
      int n = static_cast<int>(a.key) - static_cast<int>(sendkeys::Key::F1);
      d_->forward(e, IBUS_KEY_F1 + static_cast<unsigned>(n), kFunciones[n], a.mods);
    } else {
      for (const auto& t : kNombradas)
        if (t.key == a.key) d_->forward(e, t.keyval, t.code, a.mods);
    }
  }
  vacia();
}

}  // namespace kalyxon::ibus
