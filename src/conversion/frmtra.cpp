#include "conversion/frmtra.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "app/kalyxon.h"
#include "conversion/informefichero.h"
#include "conversion/rtf.h"
#include "greek/alfabeto.h"
#include "util/cp1252.h"
#include "util/ficgen.h"
#include "util/utf.h"

namespace kalyxon {

namespace {

std::u16string deUtf8Ruta(const std::filesystem::path& p) { return util::fromUtf8(p.string()); }

// True when the bytes are UTF-8 with at least one multi-byte sequence.
bool pareceUtf8(std::string_view s) {
  bool multibyte = false;
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 0 : (c >= 0xC2 && c <= 0xDF) ? 1 : (c >= 0xE0 && c <= 0xEF) ? 2
            : (c >= 0xF0 && c <= 0xF4)                   ? 3
                                                         : -1;
    if (n < 0) return false;
    if (i + static_cast<size_t>(n) >= s.size() + (n == 0 ? 1 : 0) && n > 0) return false;
    for (int k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0xC0) != 0x80) return false;
    if (n) multibyte = true;
    i += static_cast<size_t>(n) + 1;
  }
  return multibyte;
}

// The faces the font recognition looks for, in the order of the search.
struct Nombre {
  std::string_view buscado;
  std::u16string_view cara;
};

}  // namespace

Frmtra::Frmtra(Kalyxon& k) : k_(k) {
  ventana.caption = u"Traducir fuentes";
  ventana.width = 5175;
  ventana.height = 5700;
  txterr.font = u"MS Sans Serif";
  txterr.visible = false;
  txtori.font = u"Athenian";
  UniText1.font = std::u16string(conversion::cara::kPalatino);
  UniText1.text = u"Ἐν ἀρχῇ ἦν ὁ λόγος";
  Label2.caption = u"Texto en Unicode (Pulsa F1 para ayuda)";
  Label1.caption = u"Texto en fuente griega (Pégalo con May+Insertar)";

  mnutra.caption = u"Convertir a Unicode";
  mnuathenian.caption = u"Athenian";
  mnubetacode.caption = u"BetaCode";
  mnugraeca.caption = u"Graeca";
  mnugraece.caption = u"Graece";
  mnugreek.caption = u"Greek";
  mnusgreek.caption = u"SGreek";
  mnulin.caption = u"Conservar los saltos de línea";
  mnude.caption = u"Convertir de Unicode";
  mnuaathenian.caption = u"Athenian";
  mnuagraeca.caption = u"Graeca";
  mnuagreek.caption = u"Greek";
  mnuabetacode.caption = u"BetaCode";
  mnuver.caption = u"Cargar";
  mnucararc.caption = u"Archivo";
  mnucarpor.caption = u"Del portapapeles";
  mnuvererr.caption = u"Informe de errores";
}

void Frmtra::abre() {
  const auto& principal = k_.form1.ventana;
  ventana.left = principal.left;
  ventana.top = principal.top + principal.height;
  k_.form1.chkgri.setValue(0);
  k_.form1.chkdic.setValue(0);
  ventana.visible = true;
}

std::filesystem::path Frmtra::ficheroInforme() const { return k_.carpeta / "infErrores.txt"; }

const conversion::Tablas* Frmtra::tablas() {
  if (!tablas_) {
    auto ruta = k_.carpeta / "ALPHA.db";
    try {
      const auto& alfabeto = k_.alfabeto();
      if (alfabeto.cargado()) {
        // The program's alphabet has read "sonido" already.
        std::vector<conversion::FilaSonido> sonido;
        sonido.reserve(alfabeto.sonidos().size());
        for (const auto& r : alfabeto.sonidos())
          sonido.push_back({r.codlet, r.codfon, r.codacc, r.codesp, r.codmay, r.coddie, r.codiot,
                            r.coduni});
        tablas_ = std::make_shared<const conversion::Tablas>(
            sonido, conversion::Tablas::cargaLetras(ruta));
      } else {
        tablas_ = conversion::Tablas::carga(ruta);
      }
    } catch (const conversion::ErrorTablas& e) {
      if (k_.sv.messageBox)
        k_.sv.messageBox->show(u"No se puede leer la base de datos del alfabeto " +
                               deUtf8Ruta(ruta));
      return nullptr;
    }
  }
  return tablas_.get();
}

conversion::Bombeo Frmtra::bombeo(size_t total) {
  auto* pump = k_.sv.pump;
  if (!pump) return {};
  conversion::Bombeo b([pump] { pump->processPending(); });
  if (auto* p = k_.sv.progress; p && total > 0)
    b.avance = [p, total](size_t hechos) {
      p->step(static_cast<long long>(hechos), static_cast<long long>(total));
    };
  return b;
}

std::u16string Frmtra::ejecuta(std::u16string_view texto, std::u16string_view codificacion,
                               bool haciaUnicode, const conversion::Opciones& o, bool conBarra) {
  const auto* t = tablas();
  if (!t) return std::u16string(texto);
  conversion::InformeFichero informe(ficheroInforme(), conversion::InformeFichero::Codificacion::kCp1252);
  auto c = haciaUnicode ? conversion::aUnicode(*t, codificacion, o, &informe)
                        : conversion::deUnicode(*t, codificacion, o, &informe);
  auto b = bombeo(conBarra ? texto.size() : 0);
  std::u16string r = conversion::convierte(*c, texto, &b);
  if (auto ec = informe.cierra(); ec && k_.sv.messageBox) {
    // The conversion itself is done; tell the user the report is missing.
    k_.sv.messageBox->show(u"No se pudo escribir el informe de errores " +
                           deUtf8Ruta(ficheroInforme()) + u" " +
                           FicGen::descripcionError(ec, ficheroInforme()));
  }
  return r;
}

// ---- Conversion entries ----------------------------------------------------------

void Frmtra::entrada(std::u16string_view ori, std::u16string_view des, std::u16string_view fuente) {
  cFonOri = ori;
  cFonDes = des;
  txtori.font = fuente;
}

namespace {
// Marks a conversion as running for its lifetime: busy pointer and the
// front end's progress bar (a conversion has no stop).
class EnCurso {
 public:
  EnCurso(bool& bandera, platform::MousePointer* p, platform::Progress* barra)
      : b_(bandera), p_(p), barra_(barra) {
    b_ = true;
    if (p_) p_->setBusy(true);
    if (barra_) barra_->begin(u"Convirtiendo");
  }
  ~EnCurso() {
    b_ = false;
    if (p_) p_->setBusy(false);
    if (barra_) barra_->end();
  }
  EnCurso(const EnCurso&) = delete;
  EnCurso& operator=(const EnCurso&) = delete;

 private:
  bool& b_;
  platform::MousePointer* p_;
  platform::Progress* barra_;
};
}  // namespace

namespace cc = conversion::cara;

void Frmtra::mnuathenian_Click() {
  if (convirtiendo_) return;
  entrada(cc::kAthenian, cc::kPalatino, cc::kAthenian);
  traduce();
}
void Frmtra::mnugreek_Click() {
  if (convirtiendo_) return;
  entrada(cc::kGreek, cc::kPalatino, cc::kGreek);
  traduce();
}
void Frmtra::mnugraeca_Click() {
  if (convirtiendo_) return;
  entrada(cc::kGraeca, cc::kPalatino, cc::kGraeca);
  UniText1.text = TraCom(txtori.text, cFonOri);
}
void Frmtra::mnugraece_Click() {
  if (convirtiendo_) return;
  entrada(cc::kGraece, cc::kPalatino, cc::kGraece);
  UniText1.text = TraCom(txtori.text, cFonOri);
}
void Frmtra::mnubetacode_Click() {
  if (convirtiendo_) return;
  entrada(cc::kSgreek, cc::kPalatino, cc::kVerdana);
  UniText1.text = TraBet(txtori.text, true);
}
void Frmtra::mnusgreek_Click() {
  if (convirtiendo_) return;
  entrada(cc::kSgreek, cc::kPalatino, cc::kSgreek);
  UniText1.text = TraBet(txtori.text, false);
}
void Frmtra::mnuaathenian_Click() {
  if (convirtiendo_) return;
  entrada(cc::kPalatino, cc::kAthenian, cc::kAthenian);
  traducea();
}
void Frmtra::mnuagraeca_Click() {
  if (convirtiendo_) return;
  entrada(cc::kPalatino, cc::kGraeca, cc::kGraeca);
  traducea();
}
void Frmtra::mnuagreek_Click() {
  if (convirtiendo_) return;
  entrada(cc::kPalatino, cc::kGreek, cc::kGreek);
  traducea();
}
void Frmtra::mnuabetacode_Click() {
  if (convirtiendo_) return;
  // BetaCode is plain ASCII: the upper box shows it in an ordinary face.
  entrada(cc::kPalatino, cc::kVerdana, cc::kVerdana);
  traducea();
}
void Frmtra::mnulin_Click() { mnulin.checked = !mnulin.checked; }

// ---- Converters --------------------------------------------------------------------

void Frmtra::traduce() {
  if (!tablas()) return;
  EnCurso marca(convirtiendo_, k_.sv.pointer, k_.sv.progress);
  std::u16string texto = txtori.text;  // the box may change while events run
  std::u16string r = ejecuta(texto, cFonOri, true, opciones(), true);
  UniText1.font = cFonDes;
  UniText1.text = std::move(r);
}

std::u16string Frmtra::traGreUni(const std::u16string& texto) {
  if (!tablas()) return texto;
  auto o = opciones();
  o.comaNumeral = true;  // the numeral builder writes its thousands sign as ","
  return ejecuta(texto, cc::kGreek, true, o, false);
}

std::u16string Frmtra::TraCom(std::u16string texto, const std::u16string&) {
  if (!tablas()) return {};
  EnCurso marca(convirtiendo_, k_.sv.pointer, k_.sv.progress);
  return ejecuta(texto, cFonOri, true, opciones(), true);
}

std::u16string Frmtra::TraBet(std::u16string texto, bool esBeta) {
  if (!tablas()) return {};
  EnCurso marca(convirtiendo_, k_.sv.pointer, k_.sv.progress);
  return ejecuta(texto, esBeta ? conversion::kBetaCode : cc::kSgreek, true, opciones(), true);
}

void Frmtra::traducea() {
  if (!tablas()) return;
  EnCurso marca(convirtiendo_, k_.sv.pointer, k_.sv.progress);
  std::u16string texto = UniText1.text;
  std::u16string r =
      ejecuta(texto, cFonDes == cc::kVerdana ? conversion::kBetaCode : std::u16string_view(cFonDes),
              false, opciones(), false);
  txtori.font = cFonDes;
  txtori.text = std::move(r);
}

// ---- Loading -------------------------------------------------------------------------

void Frmtra::cargaArchivo() {
  auto& sv = k_.sv;
  if (!sv.fileDialog) return;
  auto elegido = sv.fileDialog->open(u"", {});
  if (!elegido || elegido->empty()) return;
  std::filesystem::path ruta = *elegido;
  std::error_code ec;
  auto tam = std::filesystem::file_size(ruta, ec);
  if (!ec && tam > 1000010) {
    auto r = sv.messageBox->show(u"¿Dividir el fichero en varios?", platform::Buttons::YesNo,
                                 u"El fichero es demasiado grande");
    if (r == platform::Answer::Yes) {
      FicGen::divideFichero(*elegido, 1000000, *sv.messageBox);
      return;
    }
  }
  std::string datos;
  {
    std::ifstream in(ruta, std::ios::binary);
    std::stringstream ss;
    if (in) ss << in.rdbuf();
    if (!in || in.bad() || std::filesystem::is_directory(ruta, ec)) {
      std::error_code motivo = std::filesystem::exists(ruta, ec)
                                   ? std::make_error_code(std::errc::permission_denied)
                                   : std::make_error_code(std::errc::no_such_file_or_directory);
      sv.messageBox->show(u"No se puede leer el fichero " + util::fromUtf8(*elegido) + u" " +
                          FicGen::descripcionError(motivo, ruta));
      return;
    }
    datos = ss.str();
  }
  if (rtf::esRtf(datos)) {
    auto doc = rtf::lee(datos);
    txtori.text = doc.texto();
    auto f = doc.fuentePrincipal();
    if (!f.empty()) txtori.font = f;
    return;
  }
  if (datos.rfind("\xEF\xBB\xBF", 0) == 0)
    txtori.text = util::fromUtf8(std::string_view(datos).substr(3));
  else if (pareceUtf8(datos))
    txtori.text = util::fromUtf8(datos);
  else
    txtori.text = cp1252::decode(datos);
}

void Frmtra::mnucarpor_Click() { txtori.text = k_.sv.clipboard ? k_.sv.clipboard->text() : u""; }

void Frmtra::txtori_Pega() {
  auto* cb = k_.sv.clipboard;
  if (!cb) return;
  std::string r = cb->richText();
  if (rtf::esRtf(r)) {
    auto doc = rtf::lee(r);
    txtori.text += doc.texto();
    auto f = doc.fuentePrincipal();
    if (!f.empty()) txtori.font = f;
  } else {
    txtori.text += cb->text();
  }
}

void Frmtra::txtori_MouseDown(int, int, float, float) {
  auto* cb = k_.sv.clipboard;
  if (!cb) return;
  std::string r = cb->richText();
  static const std::string graece(cc::kGraece.begin(), cc::kGraece.end());
  const Nombre nombres[] = {{"Sgreek", cc::kSgreek},
                            {"Athenian", cc::kAthenian},
                            {graece, cc::kGraece},
                            {"Graeca", cc::kGraeca},
                            {"Greek", cc::kGreek}};
  std::u16string_view hallada;
  for (const auto& n : nombres) {
    if (r.find(n.buscado) != std::string::npos) {
      hallada = n.cara;
      break;
    }
  }
  if (!hallada.empty()) {
    ventana.caption = u"Traducir " + std::u16string(hallada) + u" a Unicode";
    txtori.font = hallada;
  }
}

void Frmtra::mnuvererr_Click() {
  if (txterr.visible) {
    txterr.visible = false;
    mnuvererr.checked = false;
    return;
  }
  verErrores();
  txterr.visible = true;
  mnuvererr.checked = true;
}

void Frmtra::verErrores() {
  txterr.text = FicGen::leeFichero(ficheroInforme().string(), *k_.sv.messageBox);
}

}  // namespace kalyxon
