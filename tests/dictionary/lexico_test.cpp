// Storage of the dictionaries: code lists, orderings, exclusive opening.
#include "dictionary/lexico.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "dictionary_support.h"

namespace kalyxon::lexico {
namespace {

TEST(CodeLists, WrittenCanonicallyReadLeniently) {
  EXPECT_EQ(listaCodigos(u"\u03B1\u1F31"), "945;7985;");
  EXPECT_EQ(listaCodigos(u""), "");
  EXPECT_EQ(formaDeLista("945;7985;"), u"\u03B1\u1F31");
  EXPECT_EQ(formaDeLista("&#945;&#7985;"), u"\u03B1\u1F31");
  EXPECT_EQ(formaDeLista("&#945;7985;"), u"\u03B1\u1F31");
  EXPECT_EQ(formaDeLista(""), u"");
  // The last number without its ";" is dropped; reading stops at an empty piece.
  EXPECT_EQ(formaDeLista("945;7985"), u"\u03B1");
  EXPECT_EQ(formaDeLista("945;;7985;"), u"\u03B1");
  EXPECT_EQ(formaDeLista("945;x;7985;"), u"\u03B1");
  // Round trip of every BMP letter we care about.
  std::u16string todo;
  for (char16_t c = 0x370; c < 0x400; ++c) todo += c;
  for (char16_t c = 0x1F00; c < 0x2000; ++c) todo += c;
  EXPECT_EQ(formaDeLista(listaCodigos(todo)), todo);
}

TEST(Tables, OrderingsAndPositioning) {
  CarpetaTemporal dir;
  Espacio ws;
  auto base = ws.abre(dir.ruta() / "LEXICA_prueba.db", true);
  auto t = base->creaTabla("Homero");
  // Same key, different counts, inserted out of order; a neighbouring key.
  t->anade(u"LOGOS", listaCodigos(u"λόγος"), 5);
  t->anade(u"LOGON", listaCodigos(u"λόγον"), 9);
  t->anade(u"LOGOS", listaCodigos(u"λογός"), 1);
  t->anade(u"LOGOS", listaCodigos(u"Λόγος"), 7);
  t->anade(u"LOGOT", listaCodigos(u"x"), 100);

  // ">" on a bare key lands on the first record of that key, most frequent first.
  std::u16string vistos;
  for (auto c = t->mayorQue(u"LOGOS"); !c.fin() && c.actual().codigo == u"LOGOS"; c.siguiente())
    vistos += c.actual().forma() + u":" + utf16(std::to_string(c.actual().frecuencia)) + u" ";
  EXPECT_EQ(vistos, u"Λόγος:7 λόγος:5 λογός:1 ");
  // A key that is absent lands on the next key's group.
  auto c = t->mayorQue(u"LOGOR");
  ASSERT_FALSE(c.fin());
  EXPECT_EQ(c.actual().codigo, u"LOGOS");
  EXPECT_TRUE(t->mayorQue(u"ZZZ").fin());

  // "=" on (codigo, unicode) and on unicode alone; the "&#" spelling is not equal.
  EXPECT_TRUE(t->buscaPar(u"LOGOS", listaCodigos(u"λόγος")));
  EXPECT_FALSE(t->buscaPar(u"LOGON", listaCodigos(u"λόγος")));
  EXPECT_FALSE(t->buscaForma("&#955;&#972;&#947;&#959;&#962;"));
  auto r = t->buscaForma(listaCodigos(u"λόγον"));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->frecuencia, 9);

  // The "unicode" ordering walks by code list.
  std::vector<std::string> orden;
  for (auto w = t->recorre(Indice::unicode); !w.fin(); w.siguiente()) orden.push_back(w.actual().unicode);
  EXPECT_TRUE(std::is_sorted(orden.begin(), orden.end()));
  EXPECT_EQ(orden.size(), 5u);

  // The table list reports fields and records; the three indexes are real.
  auto info = base->tablas();
  ASSERT_EQ(info.size(), 1u);
  EXPECT_EQ(info[0].nombre + " " + std::to_string(info[0].campos) + " " + std::to_string(info[0].registros), "Homero 3 5");
  Sentencia ix(base->db(), "SELECT name FROM sqlite_schema WHERE type='index' ORDER BY name");
  std::vector<std::string> indices;
  while (ix.paso()) indices.push_back(ix.texto(0));
  EXPECT_EQ(indices, (std::vector<std::string>{"Homero.completo", "Homero.frecuencia", "Homero.unicode"}));

  // Purge by count reports how many went.
  EXPECT_EQ(t->borraHasta(5), 2);
  EXPECT_EQ(t->registros(), 3);
  EXPECT_THROW(base->tabla("nada"), Error);
}

// The record count the file keeps (read by the menu captions) against a real
// count, after every kind of write; a file made without it gets it at its
// check, and one whose triggers another program dropped is counted instead.
TEST(Tables, StoredRecordCountFollowsEveryWrite) {
  CarpetaTemporal dir;
  Espacio ws;
  auto base = ws.abre(dir.ruta() / "LEXICA_prueba.db", true);
  auto t = base->creaTabla("Platon");
  auto cuenta = [&] {
    Sentencia n(base->db(), "SELECT count(*) FROM Platon");
    n.paso();
    return n.entero(0);
  };
  auto guardada = [&]() -> std::optional<int64_t> {
    Sentencia g(base->db(), "SELECT registros FROM kalyxon_registros WHERE tabla = 'Platon'");
    if (!g.paso()) return std::nullopt;
    return g.entero(0);
  };
  {
    Base::Transaccion tr(*base);
    for (int i = 0; i < 40; ++i) t->anade(u"A", listaCodigos(std::u16string(1, char16_t(0x3B1 + i % 20)) + char16_t(u'0' + i)), i);
    tr.confirma();
  }
  {
    Base::Transaccion tr(*base);
    t->anade(u"B", "946;", 1);  // dropped with its transaction
  }
  EXPECT_EQ(guardada(), 40);
  EXPECT_FALSE(t->buscaForma("946;"));
  t->borra(t->buscaForma(listaCodigos(u"α0"))->id);
  EXPECT_EQ(t->borraHasta(9), 9);
  EXPECT_EQ(guardada(), cuenta());
  EXPECT_EQ(t->registros(), 30);
  EXPECT_EQ(base->tablas()[0].registros, 30);  // the side table is not listed
  EXPECT_EQ(base->tablas().size(), 1u);
  t->vacia();
  EXPECT_EQ(guardada(), 0);

  // A file made before counts were kept: counted, and given one by its check.
  for (const char* sql : {"DROP TRIGGER \"Platon.registros alta\"", "DROP TRIGGER \"Platon.registros baja\"",
                          "DROP TABLE kalyxon_registros"})
    base->ejecuta(sql);
  t->anade(u"C", "947;", 2);
  EXPECT_EQ(t->registros(), 1);
  base->revisa();
  EXPECT_EQ(guardada(), 1);
  // Triggers dropped by another program: the stale number is not believed.
  base->ejecuta("DROP TRIGGER \"Platon.registros alta\"");
  t->anade(u"D", "948;", 2);
  EXPECT_EQ(t->registros(), 2);
  base->guardaCuenta("Platon");
  t->anade(u"E", "949;", 2);
  EXPECT_EQ(guardada(), 3);
}

TEST(Opening, SameWorkspaceReopensSecondProcessIsRefused) {
  CarpetaTemporal dir;
  Espacio ws;
  auto fichero = dir.ruta() / "LEXICA.db";
  auto base = ws.abre(fichero, true);
  base->creaTabla("clasico")->anade(u"A", "945;", 3);
  // Reopening inside this workspace hands back the same open file.
  auto otra = ws.abre(dir.ruta() / "." / "LEXICA.db");
  EXPECT_EQ(otra.get(), base.get());
  // A second workspace (a separate connection) is kept out like another program.
  Espacio ws2;
  EXPECT_THROW(ws2.abre(fichero), BaseOcupada);

  // A real second process: the command-line tool lists the folder and fails.
#ifdef _WIN32
  // cmd.exe: backslashes, and the line quoted once more (it drops the outer pair).
  const std::filesystem::path exe = std::filesystem::path(KALYXON_RUNTIME_DIR "/kalyxon.exe").make_preferred();
#else
  const std::filesystem::path exe = std::filesystem::path(KALYXON_RUNTIME_DIR "/kalyxon");
#endif
  std::string cmd = "\"" + exe.string() + "\" dict list --dir \"" + dir.ruta().string() + "\" > \"" +
                    (dir.ruta() / "out.txt").string() + "\" 2>&1";
#ifdef _WIN32
  cmd = "\"" + cmd + "\"";
#endif
  int rc = std::system(cmd.c_str());
  EXPECT_NE(rc, 0);
  EXPECT_NE(leeFichero(dir.ruta() / "out.txt").find("LEXICA.db"), std::string::npos);

  // Once this program lets go, the other one gets in. Its output goes to a
  // new file: under Wine a helper process the first run started (the desktop
  // process of a program that uses windows) may still hold the first one.
  base.reset();
  otra.reset();
  const std::string salida = (dir.ruta() / "out.txt").string();
  const std::string salida2 = (dir.ruta() / "out2.txt").string();
  cmd.replace(cmd.find(salida), salida.size(), salida2);
  rc = std::system(cmd.c_str());
  EXPECT_EQ(rc, 0) << leeFichero(dir.ruta() / "out2.txt");
  EXPECT_NE(leeFichero(dir.ruta() / "out2.txt").find("clasico"), std::string::npos);
}

}  // namespace
}  // namespace kalyxon::lexico
