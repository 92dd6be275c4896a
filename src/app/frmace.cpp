#include "app/frmace.h"

#include <fstream>
#include <iterator>
#include <optional>

#include "app/frmini.h"
#include "app/proyecto.h"
#include "util/utf.h"

namespace kalyxon {

namespace fs = std::filesystem;

namespace {

constexpr const char16_t* kDireccionLicencia = u"https://creativecommons.org/licenses/by-sa/4.0/";

// The text of the first of the folders that holds `nombre`, and that folder.
std::optional<std::pair<std::u16string, fs::path>> leeDe(const std::vector<fs::path>& sitios,
                                                          const char* nombre) {
  for (const auto& c : sitios) {
    std::ifstream in(c / nombre, std::ios::binary);
    if (!in) continue;
    std::string todo((std::istreambuf_iterator<char>(in)), {});
    if (todo.starts_with("\xEF\xBB\xBF")) todo.erase(0, 3);
    return std::pair{util::fromUtf8(todo), c};
  }
  return std::nullopt;
}

std::u16string u16(const std::string& s) { return util::fromUtf8(s); }

}  // namespace

Frmace::Frmace() {
  ventana.caption = u"Acerca de Kalyxon";
  ventana.width = 9300;
  ventana.height = 6600;
  imglog.picture = "kalyxon.png";
  lblnom.caption = u"Kalyxon";
  lbldes.caption = u"Asistente para escribir griego clásico (politónico) en cualquier programa.";
  lblide.caption = std::u16string(proyecto::kIdentidad) + u".";
  tabatr.caption = u"Diccionarios";
  tablic.caption = u"Licencia CC BY-SA 4.0";
  cmdace.caption = u"Aceptar";
}

void Frmace::llena(const std::vector<fs::path>& sitios) {
  lblver.caption = u"Versión " + textoVersion();
  auto atribucion = leeDe(sitios, kFicheroAtribucion);
  auto licencia = leeDe(sitios, kFicheroLicencia);
  txtatr.text = atribucion
                    ? atribucion->first
                    : u"Los diccionarios (LEXICA*.db) se distribuyen bajo la licencia Creative "
                      u"Commons Reconocimiento-CompartirIgual 4.0 Internacional (CC BY-SA 4.0), " +
                          std::u16string(kDireccionLicencia) + u" ; no se encuentra su archivo de "
                          u"atribución (" + u16(kFicheroAtribucion) + u").";
  txtlic.text = licencia ? licencia->first
                         : u"No se encuentra el texto de la licencia (" + u16(kFicheroLicencia) +
                               u"); puede leerse en " + kDireccionLicencia + u"legalcode";
  const auto& leido = atribucion ? atribucion : licencia;
  lblcar.caption = leido ? u"Archivos de los diccionarios: " + u16(leido->second.string()) : u"";
}

std::u16string Frmace::comoTexto() const {
  std::u16string t = lblnom.caption + u", " + lblver.caption + u"\n" + lbldes.caption + u"\n" +
                     lblide.caption + u"\n\n" + txtatr.text;
  if (!lblcar.caption.empty()) t += u"\n" + lblcar.caption;
  return t;
}

}  // namespace kalyxon
