// The desktop program's error boundary: engine errors in a drop, a menu and
// a key become one Spanish message each; the program goes on and closing it
// still saves the settings.
#include <fstream>

#include "dictionary/diccionario.h"
#include "dictionary/lexico.h"
#include "escritorio.h"

namespace kalyxon::qt::prueba {
namespace {

TEST_F(Escritorio, EngineErrorsBecomeMessagesAndTheProgramGoesOnAndSaves) {
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
  // Closing after the errors still saves the settings.
  elige(principal().accion("mnuks"));
  app().evento("Form_Close");
  EXPECT_TRUE(k().aplicacion().terminado());
  EXPECT_NE(ini().find("ks=SI"), std::string::npos) << ini();
  EXPECT_NE(ini().find("autor=COMPLETO"), std::string::npos) << ini();
}

}  // namespace
}  // namespace kalyxon::qt::prueba
