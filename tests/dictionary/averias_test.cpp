// Dictionaries under faults: killed processes, damaged files, read-only and
// full folders, bad import lines. Real `kalyxon` processes where a process
// dies; the engine directly where a message is what matters.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sqlite3.h>
#include <sstream>
#include <string>
#include <vector>

#include "app/aplicacion.h"
#include "dictionary/intercambio.h"
#include "dictionary_support.h"

namespace kalyxon {
namespace {

namespace fs = std::filesystem;
using lexico::listaCodigos;

// Count and total of a table: equal signatures, equal contents here.
std::pair<int64_t, int64_t> firma(const fs::path& db, const std::string& tabla) {
  lexico::Espacio ws;
  auto b = ws.abre(db);
  lexico::Sentencia s(b->db(), "SELECT count(*), total(frecuencia) FROM \"" + tabla + "\"");
  s.paso();
  return {s.entero(0), static_cast<int64_t>(sqlite3_column_double(s.get(), 1))};
}

// A table of `n` forms with counts 1..9; every third one also in `otra`.
void llena(const fs::path& db, const std::string& tabla, int n, int desde = 0) {
  lexico::Espacio ws;
  auto t = ws.abre(db, true)->creaTabla(tabla);
  lexico::Base::Transaccion tr(t->base());
  for (int i = desde; i < desde + n; ++i) {
    std::u16string forma = u"λ" + lexico::utf16(std::to_string(i));
    t->anade(u"L" + lexico::utf16(std::to_string(i)), listaCodigos(forma), 1 + i % 9);
  }
  tr.confirma();
}

// Runs kalyxon and kills it with SIGKILL once SQLite has started writing
// changed pages into `db` (its rollback journal carries the header of a
// live transaction). True when it died that way in the middle.
bool mataEnMedio(const std::vector<std::string>& args, const fs::path& db) {
  static const unsigned char kMagia[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
  return prueba::ejecutaYMata(args, [&](pid_t) {
           char j[8] = {};
           std::ifstream(db.string() + "-journal", std::ios::binary).read(j, 8);
           return std::memcmp(j, kMagia, 8) == 0;
         }) == -1;
}

// A text of `n` words, every one a new form.
std::string formasNuevas(int n) {
  std::string texto;
  for (int i = 0; i < n; ++i) {
    for (int v = i; v; v /= 20) texto += "abgdezhqiklmnoprstu"[v % 19];
    texto += "w ";
  }
  return texto;
}

// Noise over the `pagina`th 4 KiB page of a file.
void ensucia(const fs::path& f, size_t pagina) {
  std::string datos = leeFichero(f);
  for (size_t i = 4096 * pagina; i < 4096 * (pagina + 1); ++i) datos[i] = static_cast<char>(i * 7919);
  escribeFichero(f, datos);
}

TEST(Faults, KilledMergeAndLoadLeaveTheTablesAsTheyWere) {
  CarpetaTemporal dir(true);
  const auto homero = dir.ruta() / "LEXICA_Homero.db", completo = dir.ruta() / "LEXICA_completo.db";
  llena(homero, "Homero", 40000);
  llena(completo, "completo", 20000, 30000);  // 10000 forms in both
  const auto antes = firma(completo, "completo");
  const std::vector<std::string> merge = {"dict", "--settings-dir", dir.ruta().string(), "merge",
                                          "--table", "Homero"};
  if (!mataEnMedio(merge, completo)) GTEST_SKIP() << "the merge ended before it could be killed";
  EXPECT_EQ(firma(completo, "completo"), antes);
  ASSERT_EQ(prueba::ejecutaYMata(merge), 0);
  const auto homeroF = firma(homero, "Homero");
  EXPECT_EQ(firma(completo, "completo"),
            std::make_pair(int64_t{50000}, antes.second + homeroF.second));

  // A text of many new forms loaded over the old table with --empty.
  escribeFichero(dir.ruta() / "t.txt", formasNuevas(80000));
  const std::vector<std::string> carga = {"dict", "--settings-dir", dir.ruta().string(), "load",
                                          (dir.ruta() / "t.txt").string(), "--table", "Homero",
                                          "--empty"};
  if (!mataEnMedio(carga, homero)) GTEST_SKIP() << "the load ended before it could be killed";
  EXPECT_EQ(firma(homero, "Homero"), homeroF);
  ASSERT_EQ(prueba::ejecutaYMata(carga), 0);
  EXPECT_EQ(firma(homero, "Homero").second, 80000);
}

TEST(Faults, ImportSaturatesRefusesBadLinesAndRoundTrips) {
  CarpetaTemporal dir(true);
  lexico::Espacio ws;
  auto t = ws.abre(dir.ruta() / "LEXICA_x.db", true)->creaTabla("Esopo");
  auto importa = [&](const std::string& tsv) {
    std::istringstream in(tsv);
    return importaTabla(*t, in, "x.tsv", false);
  };
  auto cuenta = [&](const char16_t* k, const std::u16string& f) {
    auto r = t->buscaPar(k, listaCodigos(f));
    return r ? r->frecuencia : -1;
  };
  importa("A\tα\t5\nB\tβ\t0\nG\tγ\t32767\n");
  importa("A\tα\t9223372036854775808\nB\tβ\t0\nG\tγ\t1\n");  // 5 + 2^63 is not 4
  EXPECT_EQ(cuenta(u"A", u"α"), kTopeSuma);
  EXPECT_EQ(cuenta(u"B", u"β"), 0);
  EXPECT_EQ(cuenta(u"G", u"γ"), kTopeSuma);
  EXPECT_EQ(sumaSaturada(40000, 3), 40000);  // never lowered
  EXPECT_EQ(sumaSaturada(7, -3), 7);

  // Every bad line named; nothing stored.
  try {
    importa("D\tδ\t1\n\tε\t1\nZ\t\t1\nH\tη\x01\t1\nQ\tθ\t-1\nI\tι\t1x\nK\tκ\n");
    ADD_FAILURE() << "bad lines accepted";
  } catch (const lexico::Error& e) {
    std::string m = e.what();
    for (const char* s : {"x.tsv:2: empty key", "x.tsv:3: empty form", "x.tsv:4: control",
                          "x.tsv:5: bad count", "x.tsv:6: bad count", "x.tsv:7: expected three"})
      EXPECT_NE(m.find(s), std::string::npos) << s << " in " << m;
  }
  EXPECT_EQ(cuenta(u"D", u"δ"), -1);

  // Export, then import into an empty table: the same export.
  std::string uno = exportaTabla(*t);
  auto t2 = ws.abre(dir.ruta() / "LEXICA_x.db")->creaTabla("Homero");
  std::istringstream in(uno);
  importaTabla(*t2, in, "x.tsv", true);
  EXPECT_EQ(exportaTabla(*t2), uno);
}

TEST(Faults, DamagedFilesAreSkippedWithASpanishReason) {
  CarpetaTemporal dir(true);
  llena(dir.ruta() / "LEXICA.db", "clasico", 2000);
  llena(dir.ruta() / "LEXICA_Esopo.db", "Esopo", 20);
  llena(dir.ruta() / "LEXICA_Homero.db", "Homero", 2000);
  llena(dir.ruta() / "LEXICA_Platon.db", "Platon", 20);
  {  // a dropped index is made again; a page of noise and a cut file are not mended
    lexico::Espacio ws;
    ws.abre(dir.ruta() / "LEXICA_Esopo.db")->ejecuta("DROP INDEX \"Esopo.completo\"");
  }
  ensucia(dir.ruta() / "LEXICA.db", 3);
  std::string datos = leeFichero(dir.ruta() / "LEXICA_Homero.db");
  escribeFichero(dir.ruta() / "LEXICA_Homero.db", datos.substr(0, datos.size() / 2));
  escribeFichero(dir.ruta() / "kalyxon.ini", "[opciones]\nayuda=SI\n");
  escribeFichero(dir.ruta() / "ALPHA.db", leeFichero(dir.ruta() / "ALPHA.db").substr(0, 5000));

  platform::scripted::ScriptedServices s;
  Kalyxon k(s.services(), dir.ruta());
  k.aplicacion().frmini_cmdace_Click();
  EXPECT_FALSE(k.aplicacion().terminado());
  std::u16string todo;
  for (auto& m : s.messageBox.shown) todo += m.text + u"\n";
  EXPECT_EQ(s.messageBox.shown.size(), 3u) << lexico::utf8(todo);
  for (const char16_t* f : {u"No se puede leer ALPHA.db, la tabla de letras de Kalyxon (falta o está dañada)",
                            u"El diccionario LEXICA.db no se usará: el archivo está dañado",
                            u"El diccionario LEXICA_Homero.db no se usará: el archivo está dañado"})
    EXPECT_NE(todo.find(f), std::u16string::npos) << lexico::utf8(todo);
  EXPECT_EQ(todo.find(u"malformed"), std::u16string::npos);
  EXPECT_TRUE(k.form1.mnudiceso.enabled);
  EXPECT_TRUE(k.form1.mnudicpla.enabled);
  k.aplicacion().cierra();
  lexico::Espacio ws;
  EXPECT_NO_THROW(ws.abre(dir.ruta() / "LEXICA_Esopo.db")->revisa());

  // The command line lists every file and marks the bad ones.
  const auto [lista, codigo] =
      prueba::ejecutaKalyxon("dict --settings-dir '" + dir.ruta().string() + "' list", "", true);
  EXPECT_NE(codigo, 0);
  for (const char* f : {"LEXICA.db\t(damaged", "LEXICA_Esopo.db\n  Esopo\t20",
                        "LEXICA_Homero.db\t(damaged", "LEXICA_Platon.db\n  Platon\t20"})
    EXPECT_NE(lista.find(f), std::string::npos) << f << " in\n" << lista;

  // A file that passed is not read page by page at the next start while it
  // stays as it was; noise over a page of it later is found at that start.
  const std::string revisados = leeFichero(dir.ruta() / "kalyxon-revisados.txt");
  EXPECT_NE(revisados.find("LEXICA_Platon.db\t"), std::string::npos) << revisados;
  EXPECT_EQ(revisados.find("LEXICA.db\t"), std::string::npos) << revisados;
  ensucia(dir.ruta() / "LEXICA_Platon.db", 2);
  platform::scripted::ScriptedServices s2;
  Kalyxon k2(s2.services(), dir.ruta());
  k2.aplicacion().frmini_cmdace_Click();
  EXPECT_TRUE(k2.form1.mnudiceso.enabled);
  EXPECT_FALSE(k2.form1.mnudicpla.enabled);
  k2.aplicacion().cierra();
}

// A small tmpfs: full after a little, or read-only. Needs root.
struct Montaje {
  CarpetaTemporal dir;
  bool listo = false;
  explicit Montaje(const char* opciones) {
    listo = geteuid() == 0 && mount("tmpfs", dir.ruta().c_str(), "tmpfs", 0, opciones) == 0;
  }
  ~Montaje() {
    if (listo) umount2(dir.ruta().c_str(), MNT_DETACH);
  }
};

TEST(Faults, FullAndReadOnlyFoldersLoseNothingAndSaySo) {
  Montaje m("size=600k");
  if (!m.listo) GTEST_SKIP() << "mounting a small tmpfs needs root";
  const auto& d = m.dir.ruta();
  fs::copy_file(fs::path(KALYXON_RUNTIME_DIR) / "ALPHA.db", d / "ALPHA.db");
  llena(d / "LEXICA_Homero.db", "Homero", 500);
  const auto antes = firma(d / "LEXICA_Homero.db", "Homero");
  escribeFichero("/dev/shm/kalyxon-t.txt", formasNuevas(40000));

  platform::scripted::ScriptedServices s;
  {
    Kalyxon k(s.services(), d);
    k.diccionario().cambiaDiccionario(u"LEXICA_Homero.db", "Homero");
    s.fileDialog.answers.push_back("/dev/shm/kalyxon-t.txt");
    s.messageBox.answers.push_back(platform::Answer::Yes);  // empty it first
    k.diccionario().cargaDiccionario();
  }
  fs::remove("/dev/shm/kalyxon-t.txt");
  ASSERT_FALSE(s.messageBox.shown.empty());
  EXPECT_EQ(s.messageBox.shown.back().text,
            u"La carga del diccionario se ha interrumpido: el disco está lleno")
      << lexico::utf8(s.messageBox.shown.back().text);
  EXPECT_EQ(firma(d / "LEXICA_Homero.db", "Homero"), antes);

  // Read-only: the settings cannot be saved, the dictionary cannot be
  // changed; both are said, the program goes on, the files stay.
  ASSERT_EQ(mount("tmpfs", d.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
  platform::scripted::ScriptedServices s2;
  Kalyxon k(s2.services(), d);
  k.aplicacion().frmini_cmdace_Click();
  EXPECT_FALSE(k.aplicacion().terminado());
  k.diccionario().cambiaDiccionario(u"LEXICA_Homero.db", "Homero");
  k.form1.cNueva = u"λόγος";
  k.form1.cCadCla = u"LOGOS";
  s2.inputBox.answers.push_back(u"5");
  EXPECT_FALSE(k.aplicacion().protege([&] { k.aplicacion().menuClick("mnudicpal"); }));
  ASSERT_FALSE(s2.messageBox.shown.empty());
  EXPECT_NE(s2.messageBox.shown.back().text.find(u"sólo lectura"), std::u16string::npos)
      << lexico::utf8(s2.messageBox.shown.back().text);
  k.aplicacion().cierra();
  EXPECT_TRUE(k.aplicacion().terminado());
  EXPECT_FALSE(fs::exists(d / "kalyxon.ini"));
  EXPECT_NE(s2.messageBox.shown.back().text.find(u"No se han podido guardar las opciones"),
            std::u16string::npos);
}

}  // namespace
}  // namespace kalyxon
