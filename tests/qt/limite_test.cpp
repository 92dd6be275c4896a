// The desktop program's error boundary: engine errors in a drop, a menu and
// a key become one Spanish message each; the program goes on and closing it
// still saves the settings.
#include <fstream>

#include "dictionary/diccionario.h"
#include "dictionary/lexico.h"
#include "escritorio.h"

namespace kalyxon::qt::prueba {
namespace {

TEST_F(Escritorio, EngineErrorsBecomeMessagesAndTheProgramGoesOn) {
  std::ofstream(carpeta() / "kalyxon.ini") << "[opciones]\nayuda=SI\nautor=COMPLETO\n";
  arranca();
  ASSERT_NE(k().diccionario().actual(), nullptr);
  // The open dictionary loses an index under the program's feet: every
  // lookup now fails inside SQLite.
  k().diccionario().actual()->base().ejecuta("DROP INDEX \"completo.frecuencia\"");
  sv_.messageBox.shown.clear();

  app().evento("Form_OLEDragDrop", u"λόγος");     // a drop on the window
  elige(principal().accion("mnudicapro"));         // a menu: approximate search on
  k().form1.chkdic.setValue(1);
  app().evento("imgcam_OLEDragDrop", u"λόγος");    // another drop target
  ASSERT_EQ(sv_.messageBox.shown.size(), 2u);
  for (const auto& m : sv_.messageBox.shown) {
    EXPECT_EQ(m.text.rfind(u"Kalyxon no ha podido terminar la operación: ", 0), 0u)
        << lexico::utf8(m.text);
    EXPECT_EQ(m.text.find(u"no such"), std::u16string::npos);
  }
  EXPECT_TRUE(principal().isVisible());
  EXPECT_TRUE(k().form1.mnudicapro.checked);
}

TEST_F(Escritorio, ClosingAfterAnErrorStillSavesTheSettings) {
  std::ofstream(carpeta() / "kalyxon.ini") << "[opciones]\nayuda=SI\nautor=COMPLETO\n";
  arranca();
  k().diccionario().actual()->base().ejecuta("DROP INDEX \"completo.frecuencia\"");
  app().evento("Form_OLEDragDrop", u"λόγος");
  EXPECT_FALSE(sv_.messageBox.shown.empty());
  elige(principal().accion("mnuks"));
  app().evento("Form_Close");
  EXPECT_TRUE(k().aplicacion().terminado());
  std::ifstream in(carpeta() / "kalyxon.ini");
  std::string todo((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(todo.find("ks=SI"), std::string::npos) << todo;
  EXPECT_NE(todo.find("autor=COMPLETO"), std::string::npos) << todo;
}

}  // namespace
}  // namespace kalyxon::qt::prueba
