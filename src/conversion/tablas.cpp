#include "conversion/tablas.h"

#include <sqlite3.h>

#include "util/sqlite.h"
#include "util/utf.h"

namespace kalyxon::conversion {

Tablas::Tablas(const std::vector<FilaSonido>& sonido, const std::vector<FilaLetra>& letras)
    : sonido_(sonido), marcas_(256 * 4 * 3 * 2 * 2 * 4, -1) {
  for (size_t i = 0; i < sonido_.size(); ++i) {
    const auto& f = sonido_[i];
    porCodlet_.try_emplace(f.codlet, i);
    porCoduni_.try_emplace(f.coduni, i);
    if (f.codfon >= 0 && f.codfon <= 255 && f.codacc >= 0 && f.codacc <= 3 && f.codesp >= 0 &&
        f.codesp <= 2 && f.codmay >= 0 && f.codmay <= 1 && f.coddie >= 0 && f.coddie <= 1 &&
        f.codiot >= 0 && f.codiot <= 3) {
      auto& m = marcas_[indiceMarcas(f.codfon, f.codacc, f.codesp, f.codmay, f.coddie, f.codiot)];
      if (m < 0) m = f.coduni;
    }
  }
  for (const auto& l : letras) {
    auto it = caras_.find(l.fuente);
    if (it == caras_.end()) it = caras_.emplace(l.fuente, Cara{}).first;
    Cara& c = it->second;
    if (l.codasc >= 0 && l.codasc < 256) {
      auto& destino = esMarca(l.codlet) ? c.marca_ : c.letra_;
      if (destino[static_cast<size_t>(l.codasc)] < 0) destino[static_cast<size_t>(l.codasc)] = l.codlet;
    }
    c.codigo_.try_emplace(l.codlet, l.codasc);
  }
}

const FilaSonido* Tablas::porCodlet(int32_t codlet) const {
  auto it = porCodlet_.find(codlet);
  return it == porCodlet_.end() ? nullptr : &sonido_[it->second];
}

const FilaSonido* Tablas::porCoduni(int32_t coduni) const {
  auto it = porCoduni_.find(coduni);
  return it == porCoduni_.end() ? nullptr : &sonido_[it->second];
}

const Cara* Tablas::cara(std::u16string_view nombre) const {
  auto it = caras_.find(nombre);
  return it == caras_.end() ? nullptr : &it->second;
}

namespace {

using util::sqlite::Db;

Db abre(const std::filesystem::path& alpha) {
  try {
    return util::sqlite::abreLectura(alpha);
  } catch (const std::runtime_error&) {
    throw ErrorTablas("cannot open the alphabet database " + alpha.string());
  }
}

util::sqlite::Consulta prepara(sqlite3* db, const std::filesystem::path& alpha, const char* sql) {
  try {
    return util::sqlite::prepara(db, sql);
  } catch (const std::runtime_error& e) {
    throw ErrorTablas(alpha.string() + ": " + e.what());
  }
}

std::vector<FilaLetra> leeLetras(sqlite3* db, const std::filesystem::path& alpha) {
  std::vector<FilaLetra> letras;
  auto st = prepara(db, alpha, "SELECT fuente, codasc, codlet FROM letras ORDER BY rowid");
  while (sqlite3_step(st.get()) == SQLITE_ROW) {
    FilaLetra l;
    l.fuente = util::sqlite::texto(st.get(), 0);
    l.codasc = sqlite3_column_int(st.get(), 1);
    l.codlet = sqlite3_column_int(st.get(), 2);
    letras.push_back(std::move(l));
  }
  return letras;
}

}  // namespace

std::vector<FilaLetra> Tablas::cargaLetras(const std::filesystem::path& alpha) {
  auto db = abre(alpha);
  return leeLetras(db.get(), alpha);
}

std::shared_ptr<const Tablas> Tablas::carga(const std::filesystem::path& alpha) {
  auto db = abre(alpha);
  std::vector<FilaSonido> sonido;
  {
    auto st = prepara(db.get(), alpha,
                      "SELECT codlet, codfon, codacc, codesp, codmay, coddie, codiot, coduni "
                      "FROM sonido ORDER BY rowid");
    while (sqlite3_step(st.get()) == SQLITE_ROW) {
      FilaSonido f;
      f.codlet = sqlite3_column_int(st.get(), 0);
      f.codfon = sqlite3_column_int(st.get(), 1);
      f.codacc = sqlite3_column_int(st.get(), 2);
      f.codesp = sqlite3_column_int(st.get(), 3);
      f.codmay = sqlite3_column_int(st.get(), 4);
      f.coddie = sqlite3_column_int(st.get(), 5);
      f.codiot = sqlite3_column_int(st.get(), 6);
      f.coduni = sqlite3_column_int(st.get(), 7);
      sonido.push_back(f);
    }
  }
  return std::make_shared<const Tablas>(sonido, leeLetras(db.get(), alpha));
}

}  // namespace kalyxon::conversion
