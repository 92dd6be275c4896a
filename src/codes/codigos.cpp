#include "codes/codigos.h"

#include <cstdio>

#include "app/kalyxon.h"
#include "util/cadgen.h"
#include "util/sendkeys.h"
#include "util/utf.h"

namespace kalyxon {

namespace {

// The platform's character function takes a code unit; negative values are
// the upper half of the range seen as signed 16-bit numbers.
std::u16string caracter(int32_t codigo) {
  if (codigo < 0) codigo &= 0xFFFF;
  return util::fromCodePoint(static_cast<char32_t>(codigo));
}

}  // namespace

bool Codigos::enModoCodigo() const { return k_.form1.mnucod.tag == u"*"; }

std::u16string Codigos::daHex(int32_t codigo) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%X", static_cast<uint32_t>(codigo));
  std::u16string hex = util::fromUtf8(buf);
  if (hex.size() == 2) return u"00" + hex;
  if (hex.size() == 3) return u"0" + hex;
  return hex;
}

std::u16string Codigos::formaHTM(int32_t codigo) {
  return u"&#" + util::fromUtf8(std::to_string(codigo)) + u";";
}

std::u16string Codigos::formaJava(int32_t codigo) { return u"\\u" + daHex(codigo); }

std::u16string Codigos::daRespuesta(int32_t codigo) {
  if (!enModoCodigo()) return sendkeys::escape(caracter(codigo));
  k_.form1.UniLabel1.caption = caracter(codigo);
  return k_.form1.mnucodjav.checked ? formaJava(codigo) : formaHTM(codigo);
}

namespace {
// Every occurrence of `buscar` (which cannot occur inside `poner` here) by
// `poner`, in one pass: replacing in place one by one takes time quadratic
// in the text. Lets window messages run now and then.
void reemplazaTodo(std::u16string& cadena, std::u16string_view buscar, std::u16string_view poner,
                   platform::MessagePump* pump) {
  std::u16string r;
  r.reserve(cadena.size());
  size_t desde = 0, n = 0;
  for (size_t p; (p = cadena.find(buscar, desde)) != std::u16string::npos; desde = p + buscar.size()) {
    r.append(cadena, desde, p - desde);
    r += poner;
    if (pump && ++n % 4096 == 0) pump->processPending();
  }
  r.append(cadena, desde, std::u16string::npos);
  cadena = std::move(r);
  if (pump) pump->processPending();
}
}  // namespace

std::u16string Codigos::cargaHTM(std::u16string& cadena) { return cargaHTM(cadena, k_.sv.pump); }

std::u16string Codigos::cargaHTM(std::u16string& cadena, platform::MessagePump* pump) {
  if (cadena.find(u"&#") != std::u16string::npos) {
    reemplazaTodo(cadena, u" ", u"&#32;", pump);
    return CadGen::decodificaHTM(cadena);
  }
  const std::u16string original = cadena;
  reemplazaTodo(cadena, u"\\u", u";\\u", pump);
  // The ";" put before the first escape marks nothing; a text that does not
  // start with an escape keeps its first character.
  if (!cadena.empty() && cadena[0] == u';' && !original.starts_with(u";")) cadena.erase(0, 1);
  cadena += u';';
  // The decoder reads the escapes of the original text directly, so the ";"
  // marks put before escapes that follow plain text do not show up in it.
  return CadGen::decodificaJava(original);
}

void Codigos::mnucodhtm_Click() {
  auto& f = k_.form1;
  if (f.mnucodhtm.checked) {
    f.mnucodhtm.checked = false;
    f.mnucod.tag.clear();
  } else {
    f.mnucodhtm.checked = true;
    f.mnucodjav.checked = false;
    f.mnucod.tag = u"*";
  }
}

void Codigos::mnucodjav_Click() {
  auto& f = k_.form1;
  if (f.mnucodjav.checked) {
    f.mnucodjav.checked = false;
    f.mnucod.tag.clear();
  } else {
    f.mnucodjav.checked = true;
    f.mnucodhtm.checked = false;
    f.mnucod.tag = u"*";
  }
}

void Codigos::UniLabel1_Click() {
  if (!enModoCodigo()) return;
  std::u16string texto = k_.sv.clipboard->text();
  k_.form1.UniLabel1.caption = cargaHTM(texto);
}

}  // namespace kalyxon
