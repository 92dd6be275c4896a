#include "cli/agente.h"

#include <iostream>
#include <map>

#include "util/utf.h"

namespace kalyxon::cli {

bool opcionAgente(const std::vector<std::string>& args, size_t& i, OpcionesAgente& o) {
  const std::string& a = args[i];
  if (a == "--griego") {
    o.griego = true;
  } else if ((a == "--dir" || a == "--settings-dir") && i + 1 < args.size()) {
    o.dir = args[++i];
  } else if (a.starts_with("--settings-dir=")) {
    o.dir = a.substr(15);
  } else if (a == "--sigma-final" || a == "--ks" || a == "--ps" || a == "--iota" ||
             a == "--espiritus" || a == "--numeros" || a == "--angulos") {
    o.menus.push_back(a);
  } else {
    return false;
  }
  return true;
}

platform::Answer MensajeEnConsola::show(const std::u16string& text, platform::Buttons buttons,
                                        const std::u16string&) {
  std::cerr << "message box: " << util::toUtf8(text) << "\n";
  return buttons == platform::Buttons::Ok ? platform::Answer::Ok : platform::Answer::Yes;
}

Agente::Agente(platform::KeyState& teclas, platform::KeySender& envio, platform::KeyboardHook& hook,
               platform::MessagePump& bomba, const std::filesystem::path& dir, const OpcionesAgente& o,
               const std::function<void(platform::Services&)>& ajusta) {
  platform::Services sv = guion_.services();
  sv.messageBox = &mensajes_;
  sv.pump = &bomba;
  sv.keys = &teclas;
  sv.sender = &envio;
  sv.hook = &hook;
  if (ajusta) ajusta(sv);
  k_ = std::make_unique<Kalyxon>(sv, dir);
  Form1& f = k_->form1;
  const std::map<std::string, vm::MenuItem*> interruptores = {
      {"--sigma-final", &f.mnus}, {"--ks", &f.mnuks},         {"--ps", &f.mnups},
      {"--iota", &f.mnuiota},     {"--espiritus", &f.mnuesp}, {"--numeros", &f.mnunum},
      {"--angulos", &f.mnuang}};
  for (const auto& m : o.menus) interruptores.at(m)->checked = true;
}

}  // namespace kalyxon::cli
