// The IBus engine end to end: a private ibus-daemon that knows the engine from
// the build tree's component file, `kalyxon ibus-engine` serving it, and a
// libibus input context playing an application's text field: it focuses,
// selects "kalyxon", sends key events as a Spanish keyboard makes them, and
// applies what comes back (commits, deletions, forwarded keys, and the keys
// the engine did not consume) to its own text.
#include <gtest/gtest.h>
#include <ibus.h>
#include <linux/input-event-codes.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dictionary/lexico.h"
#include "ibus/teclado_ibus.h"
#include "support/prueba.h"
#include "util/utf.h"

namespace kalyxon::ibustest {
namespace {

namespace fs = std::filesystem;
using Reloj = std::chrono::steady_clock;

const std::string kProgram = std::string(KALYXON_RUNTIME_DIR) + "/kalyxon";

using prueba::Proceso;

// Runs the default main context until `done`; a generous bound turns a lost
// reply into a failure instead of a hang.
bool iterate(const std::function<bool()>& done) {
  const auto end = Reloj::now() + std::chrono::seconds(30);
  guint tick = g_timeout_add(20, +[](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  while (!done() && Reloj::now() < end) g_main_context_iteration(nullptr, TRUE);
  g_source_remove(tick);
  return done();
}

// A private ibus-daemon for the whole program, in a folder of its own.
class Daemon {
 public:
  Daemon() {
    dir_ = fs::temp_directory_path() / ("kalyxon-ibus-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    for (const char* sub : {"home", "config", "cache", "data", "run", "component"})
      fs::create_directories(dir_ / sub);
    fs::permissions(dir_ / "run", fs::perms::owner_all);
    const char* componentes = std::getenv("KALYXON_IBUS_COMPONENT_DIR");
    if (!componentes || !fs::exists(fs::path(componentes) / "kalyxon.xml")) {
      failure_ = "the build tree has no IBus component file";
      return;
    }
    const std::pair<const char*, fs::path> env[] = {
        {"HOME", dir_ / "home"},           {"XDG_CONFIG_HOME", dir_ / "config"},
        {"XDG_CACHE_HOME", dir_ / "cache"}, {"XDG_DATA_HOME", dir_ / "data"},
        {"XDG_RUNTIME_DIR", dir_ / "run"},  {"IBUS_ADDRESS_FILE", dir_ / "ibus-address"},
        {"IBUS_COMPONENT_PATH", componentes}};
    for (const auto& [k, v] : env) setenv(k, v.c_str(), 1);
    setenv("GSETTINGS_BACKEND", "memory", 1);
    unsetenv("DISPLAY");
    unsetenv("IBUS_ADDRESS");
    proceso_ = std::make_unique<Proceso>(std::vector<std::string>{
        "ibus-daemon", "--panel=disable", "--emoji-extension=disable", "--config=disable",
        "--cache=none"});
    if (!proceso_->vivo()) {
      failure_ = "ibus-daemon cannot be started (is the ibus package installed?)";
      return;
    }
    ibus_init();
    // Ready when a client can connect.
    for (int i = 0; i < 500 && !bus_; ++i, usleep(20000)) {
      std::error_code ec;
      if (fs::file_size(dir_ / "ibus-address", ec) == 0 || ec) continue;
      if (IBusBus* b = ibus_bus_new(); ibus_bus_is_connected(b)) bus_ = b;
      else g_object_unref(b);
    }
    if (!bus_) failure_ = "ibus-daemon did not start or accepts no connection";
  }
  ~Daemon() {
    if (bus_) g_object_unref(bus_);
    proceso_.reset();
    fs::remove_all(dir_);
  }
  IBusBus* bus() const { return bus_; }
  const std::string& failure() const { return failure_; }
  const fs::path& dir() const { return dir_; }

 private:
  fs::path dir_;
  std::unique_ptr<Proceso> proceso_;
  IBusBus* bus_ = nullptr;
  std::string failure_;
};

Daemon& daemon() {
  static Daemon d;
  return d;
}

// `kalyxon ibus-engine` serving the engine with the given options.
class Engine {
 public:
  explicit Engine(const std::vector<std::string>& options)
      : proceso_(argumentos(options), Proceso::Opciones{.conSalida = true}) {}
  ~Engine() {
    proceso_.termina();
    // The next engine may take the name only once the daemon has seen it go.
    iterate([] { return !ibus_bus_name_has_owner(daemon().bus(), ibus::kComponentName); });
  }
  // Called once: the program says so when the engine is offered.
  bool ready() { return proceso_.leeLinea() == "ready"; }

 private:
  static std::vector<std::string> argumentos(std::vector<std::string> args) {
    args.insert(args.begin(), {kProgram, "ibus-engine", "--dir", KALYXON_RUNTIME_DIR});
    return args;
  }
  Proceso proceso_;
};

// A key of the Spanish keyboard: its input code and keyvals.
struct Key {
  unsigned code;
  unsigned keyval, shifted;
};

Key keyOf(const std::string& name) {
  static const std::map<std::string, Key> named = {
      {"space", {KEY_SPACE, IBUS_KEY_space, IBUS_KEY_space}},
      {"f2", {KEY_F2, IBUS_KEY_F2, IBUS_KEY_F2}},
      {"222", {KEY_APOSTROPHE, IBUS_KEY_dead_acute, IBUS_KEY_dead_diaeresis}},
      {"188", {KEY_COMMA, IBUS_KEY_comma, IBUS_KEY_semicolon}},
      {"190", {KEY_DOT, IBUS_KEY_period, IBUS_KEY_colon}},
  };
  if (auto it = named.find(name); it != named.end()) return it->second;
  static const char* rows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
  static const unsigned first[] = {KEY_Q, KEY_A, KEY_Z};
  const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(name.at(0))));
  for (int r = 0; r < 3; ++r)
    if (const char* p = std::strchr(rows[r], c); p && name.size() == 1)
      return {first[r] + static_cast<unsigned>(p - rows[r]), static_cast<unsigned>(c),
              static_cast<unsigned>(c - 32)};
  ADD_FAILURE() << "no such key in the test: " << name;
  return {};
}

// An application's text field with the caret at the end.
class TextField {
 public:
  explicit TextField(bool surrounding) {
    ic_ = ibus_bus_create_input_context(daemon().bus(), "kalyxon-test");
    ibus_input_context_set_capabilities(
        ic_, IBUS_CAP_FOCUS | (surrounding ? IBUS_CAP_SURROUNDING_TEXT : 0));
    g_signal_connect(ic_, "commit-text", G_CALLBACK(onCommit), this);
    g_signal_connect(ic_, "forward-key-event", G_CALLBACK(onForward), this);
    g_signal_connect(ic_, "delete-surrounding-text", G_CALLBACK(onDelete), this);
    // The engine can only be set on a focused context. The daemon answers
    // SetEngine once the engine it asked for serves this context. Asking for
    // the engine's name is no substitute: the focus already brought along the
    // previous field's engine, which the new one replaces a moment later, and
    // the daemon drops what the replaced engine commits for keys sent to it
    // meanwhile (the first letters of a burst went missing that way).
    ibus_input_context_focus_in(ic_);
    GError* error = nullptr;
    GVariant* r = g_dbus_proxy_call_sync(G_DBUS_PROXY(ic_), "SetEngine",
                                         g_variant_new("(s)", ibus::kEngineName),
                                         G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &error);
    if (r) g_variant_unref(r);
    if (error) {
      ADD_FAILURE() << "SetEngine: " << error->message;
      g_error_free(error);
    }
    IBusEngineDesc* d = ibus_input_context_get_engine(ic_);
    selected_ = d && std::string(ibus_engine_desc_get_name(d)) == ibus::kEngineName;
  }
  ~TextField() {
    g_signal_handlers_disconnect_by_data(ic_, this);
    ibus_proxy_destroy(IBUS_PROXY(ic_));
    g_object_unref(ic_);
  }
  bool selected() const { return selected_; }
  // A click into the text (reset) or the focus leaving and coming back.
  void interrupt(bool click) {
    if (click) {
      ibus_input_context_reset(ic_);
    } else {
      ibus_input_context_focus_out(ic_);
      ibus_input_context_focus_in(ic_);
    }
  }

  // Types a key script in the notation of `kalyxon type` (letters, + Shift,
  // ^ Ctrl, and the names keyOf knows). With `burst` every event is sent
  // before any reply is awaited; otherwise each reply is awaited in turn.
  void type(const std::string& script, bool burst = false) {
    std::istringstream in(script);
    for (std::string t; in >> t;) {
      bool shift = false, ctrl = false;
      for (; t.size() > 1 && (t[0] == '+' || t[0] == '^'); t.erase(0, 1))
        (t[0] == '+' ? shift : ctrl) = true;
      const Key k = keyOf(t);
      guint mods = (shift ? IBUS_SHIFT_MASK : 0) | (ctrl ? IBUS_CONTROL_MASK : 0);
      if (shift) send(IBUS_KEY_Shift_L, KEY_LEFTSHIFT, 0, burst);
      if (ctrl) send(IBUS_KEY_Control_L, KEY_LEFTCTRL, shift ? IBUS_SHIFT_MASK : 0, burst);
      send(shift ? k.shifted : k.keyval, k.code, mods, burst);
      send(shift ? k.shifted : k.keyval, k.code, mods | IBUS_RELEASE_MASK, burst);
      if (ctrl) send(IBUS_KEY_Control_L, KEY_LEFTCTRL, mods | IBUS_RELEASE_MASK, burst);
      if (shift)
        send(IBUS_KEY_Shift_L, KEY_LEFTSHIFT, IBUS_SHIFT_MASK | IBUS_RELEASE_MASK, burst);
    }
    EXPECT_TRUE(iterate([this] { return pending_ == 0; })) << pending_ << " replies missing";
  }

  std::string text() const {
    std::u16string s;
    for (char32_t c : text_) s += util::fromCodePoint(c);
    return util::toUtf8(s);
  }
  std::vector<std::string> shortcuts;   // forwarded or passed keys with Ctrl
  std::vector<bool> consumed;           // per key press sent, in order
  int deletions = 0, forwardedBackspaces = 0;

 private:
  struct Call {
    TextField* self;
    guint keyval, state;
  };

  void send(guint keyval, guint code, guint state, bool burst) {
    ++pending_;
    ibus_input_context_process_key_event_async(ic_, keyval, code, state, -1, nullptr, onReply,
                                               new Call{this, keyval, state});
    if (!burst) iterate([this] { return pending_ == 0; });
  }

  static void onReply(GObject* ic, GAsyncResult* res, gpointer data) {
    std::unique_ptr<Call> call(static_cast<Call*>(data));
    TextField* self = call->self;
    GError* error = nullptr;
    gboolean handled = ibus_input_context_process_key_event_async_finish(
        IBUS_INPUT_CONTEXT(ic), res, &error);
    if (error) {
      ADD_FAILURE() << "key event failed: " << error->message;
      g_error_free(error);
    }
    --self->pending_;
    if (call->state & IBUS_RELEASE_MASK) return;
    if (call->keyval != IBUS_KEY_Shift_L && call->keyval != IBUS_KEY_Control_L)
      self->consumed.push_back(handled);
    if (!handled) self->apply(call->keyval, call->state);
  }

  // What the application does with a key it receives.
  void apply(guint keyval, guint state) {
    if (keyval == IBUS_KEY_BackSpace) {
      if (!text_.empty()) text_.pop_back();
    } else if (keyval == IBUS_KEY_Return) {
      text_ += U'\n';
    } else if (state & IBUS_CONTROL_MASK) {
      std::string s = "^";
      if (state & IBUS_SHIFT_MASK) s += "+";
      shortcuts.push_back(s + static_cast<char>(g_unichar_tolower(ibus_keyval_to_unicode(keyval))));
    } else if (gunichar c = ibus_keyval_to_unicode(keyval); c >= 0x20) {
      text_ += static_cast<char32_t>(c);
    }
  }

  static void onCommit(IBusInputContext*, IBusText* t, gpointer data) {
    auto* self = static_cast<TextField*>(data);
    for (const char* p = ibus_text_get_text(t); *p; p = g_utf8_next_char(p))
      self->text_ += static_cast<char32_t>(g_utf8_get_char(p));
  }

  static void onForward(IBusInputContext*, guint keyval, guint, guint state, gpointer data) {
    auto* self = static_cast<TextField*>(data);
    EXPECT_TRUE(state & IBUS_FORWARD_MASK);
    if (state & IBUS_RELEASE_MASK) return;
    if (keyval == IBUS_KEY_BackSpace) ++self->forwardedBackspaces;
    self->apply(keyval, state);
  }

  static void onDelete(IBusInputContext*, gint offset, guint n, gpointer data) {
    auto* self = static_cast<TextField*>(data);
    ++self->deletions;
    ASSERT_EQ(offset, -static_cast<gint>(n)) << "only text before the caret is deleted";
    ASSERT_LE(n, self->text_.size());
    self->text_.erase(self->text_.size() - n);
  }

  IBusInputContext* ic_ = nullptr;
  bool selected_ = false;
  int pending_ = 0;
  std::u32string text_;
};

class IbusEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!daemon().bus()) GTEST_SKIP() << daemon().failure();
  }
};

TEST_F(IbusEngine, TypesGreekAndLeavesShortcutsToTheApplication) {
  Engine engine({"--sigma-final"});
  ASSERT_TRUE(engine.ready());
  TextField field(true);
  ASSERT_TRUE(field.selected());
  field.type("L 222 O G O S space");
  // (A letter press the engine did not consume would reach the text too.)
  EXPECT_EQ(field.text(), "λόγος ");
  // Ctrl+C reaches the application untouched, in Greek mode too.
  field.consumed.clear();
  field.type("^C");
  EXPECT_EQ(field.consumed, std::vector<bool>{false});
  EXPECT_EQ(field.shortcuts, std::vector<std::string>{"^c"});
  EXPECT_EQ(field.text(), "λόγος ");

  // A burst of 200 characters arrives whole and in order, as the simulated
  // keyboard types it.
  std::string script;
  const char* words[] = {"L 222 O G O S", "+A N Q R W P O S", "K A I", "Q E O S 188",
                         "P 222 A N T A 190"};
  for (int i = 0; script.size() < 700; ++i) script += std::string(words[i % 5]) + " space ";
  TextField burst(true);
  ASSERT_TRUE(burst.selected());
  burst.type(script, true);
  const std::string expected = prueba::tecleaConType(script, "--sigma-final");
  EXPECT_GE(g_utf8_strlen(expected.c_str(), -1), 200);
  EXPECT_EQ(burst.text(), expected);
}

TEST_F(IbusEngine, DictionaryCorrectionsDeleteAroundTheCaretOrByBackspaces) {
  const fs::path lexica = daemon().dir() / "LEXICA1.db";
  {
    lexico::Espacio ws;
    auto t = ws.abre(lexica, true)->creaTabla("clasico");
    t->anade(u"LOGOS", lexico::listaCodigos(u"λόγος"), 50);
  }
  const std::string script = "L O G O S space K A I space";
  const std::string dict = "--dict " + lexica.string() + ":clasico";
  const std::string expected = prueba::tecleaConType(script, "--sigma-final " + dict);
  EXPECT_EQ(expected, "λόγος και ");
  Engine engine({"--sigma-final", "--dict", lexica.string() + ":clasico"});
  ASSERT_TRUE(engine.ready());
  for (bool surrounding : {true, false}) {
    SCOPED_TRACE(surrounding ? "surrounding text" : "no surrounding text");
    TextField field(surrounding);
    ASSERT_TRUE(field.selected());
    field.type(script);
    EXPECT_EQ(field.text(), expected);
    EXPECT_EQ(field.deletions > 0, surrounding);
    EXPECT_EQ(field.forwardedBackspaces > 0, !surrounding);
  }
  // A click in the text (the client resets the input method) or a focus
  // change is a word break: "S" alone is looked up, nothing is replaced.
  for (bool click : {true, false}) {
    TextField field(true);
    ASSERT_TRUE(field.selected());
    field.type("L O G O");
    field.interrupt(click);
    field.type("S space");
    EXPECT_EQ(field.text(), "λογος ") << (click ? "reset" : "focus change");
  }
}

TEST_F(IbusEngine, F2SwitchesToLatinAndBackWithTheFontMacro) {
  // In Latin mode the layout's dead keys still compose (á).
  const std::string script = "L O G O S space f2 L O G O S space 222 A space f2 K A I space";
  const std::string options = "--sigma-final --programa Editor --parametros '^+f*~'";
  const std::string expected = prueba::tecleaConType(script, options);
  Engine engine({"--sigma-final", "--programa", "Editor", "--parametros", "^+f*~"});
  ASSERT_TRUE(engine.ready());
  TextField field(true);
  ASSERT_TRUE(field.selected());
  field.type(script);
  EXPECT_EQ(field.text(), expected);
  EXPECT_NE(field.text().find("logos á "), std::string::npos);
  EXPECT_NE(field.text().find("και "), std::string::npos);
  // The macro's shortcut is forwarded at the first letter and at each F2.
  EXPECT_EQ(field.shortcuts, std::vector<std::string>(3, "^+f"));
}

// Whether the user has added the engine: GNOME's input sources on GNOME,
// IBus's preloaded engines elsewhere.
TEST(InputSource, FollowsTheDesktopsOwnList) {
  setenv("GSETTINGS_BACKEND", "memory", 1);
  GSettingsSchemaSource* fuente = g_settings_schema_source_get_default();
  for (const char* esquema : {"org.freedesktop.ibus.general", "org.gnome.desktop.input-sources"}) {
    GSettingsSchema* s = fuente ? g_settings_schema_source_lookup(fuente, esquema, TRUE) : nullptr;
    if (!s) GTEST_SKIP() << "no schema " << esquema;
    g_settings_schema_unref(s);
  }
  GSettings* ibus = g_settings_new("org.freedesktop.ibus.general");
  GSettings* gnome = g_settings_new("org.gnome.desktop.input-sources");
  setenv("XDG_CURRENT_DESKTOP", "KDE", 1);
  EXPECT_EQ(ibus::isInputSource(), false);
  const gchar* motores[] = {"xkb:es::spa", "kalyxon", nullptr};
  g_settings_set_strv(ibus, "preload-engines", motores);
  EXPECT_EQ(ibus::isInputSource(), true);
  setenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME", 1);
  EXPECT_EQ(ibus::isInputSource(), false);
  g_settings_set_value(gnome, "sources", g_variant_new_parsed("[('xkb', 'es'), ('ibus', 'kalyxon')]"));
  EXPECT_EQ(ibus::isInputSource(), true);
  unsetenv("XDG_CURRENT_DESKTOP");
  g_object_unref(ibus);
  g_object_unref(gnome);
}

// The desktop program with --backend ibus holds the engine itself: what is
// typed in another application's text field goes through its engine.
TEST_F(IbusEngine, TheDesktopProgramServesTheEngine) {
  const fs::path carpeta = daemon().dir() / "escritorio";
  Proceso desktop({kProgram, "--settings-dir", carpeta.string(), "--backend", "ibus", "--griego"},
                  Proceso::Opciones{.entorno = {"QT_QPA_PLATFORM=offscreen"}});
  ASSERT_TRUE(desktop.vivo());
  ASSERT_TRUE(iterate([] { return ibus_bus_name_has_owner(daemon().bus(), ibus::kComponentName); }));
  {
    TextField field(true);
    ASSERT_TRUE(field.selected());
    // Greek mode is switched on by the program's first turn of its loop.
    bool griego = false;
    for (int i = 0; i < 500 && !griego; ++i) {
      field.type("L");
      griego = field.text().find("λ") != std::string::npos;
    }
    ASSERT_TRUE(griego);
    field.type("O G O S space");
    EXPECT_EQ(field.text().substr(field.text().find("λ")), "λογοσ ");
  }
  desktop.termina();
  iterate([] { return !ibus_bus_name_has_owner(daemon().bus(), ibus::kComponentName); });
  // The choice is kept in the settings.
  const std::string contenido = prueba::leeFichero(carpeta / "kalyxon.ini");
  EXPECT_NE(contenido.find("teclado=ibus"), std::string::npos) << contenido;
}

}  // namespace
}  // namespace kalyxon::ibustest
