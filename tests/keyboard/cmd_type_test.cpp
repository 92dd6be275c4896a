// The kalyxon type command, run as a user runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct Salida {
  std::string texto;
  int codigo = -1;
};

// Runs `kalyxon type ARGS` with `guion` on standard input; standard error is
// folded into the text when `conErrores`.
Salida tipo(const std::string& guion, const std::string& args, bool conErrores = false) {
  std::string orden = "printf '%s' '" + guion + "' | '" KALYXON_RUNTIME_DIR "/kalyxon' type " +
                      args + (conErrores ? " 2>&1" : " 2>/dev/null");
  Salida s;
  FILE* p = popen(orden.c_str(), "r");
  if (!p) return s;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) s.texto.append(buf, n);
  int estado = pclose(p);
  s.codigo = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
  return s;
}

TEST(TypeCommand, TypesTheScriptAndPrintsTheText) {
  auto s = tipo("P U T A space", "");
  EXPECT_EQ(s.codigo, 0);
  EXPECT_EQ(s.texto, "¡Sin ofender!");
  s = tipo("226 +226", "--angulos");
  EXPECT_EQ(s.texto, "«»");
  s = tipo("f2 H O L A", "--programa Editor --parametros '*{TAB}' --normal Arial");
  EXPECT_EQ(s.texto, "Arial\thola");
  s = tipo("H O L A", "--latin");
  EXPECT_EQ(s.texto, "hola");
  // Caps Lock on from the start: the hook knows it too, so capitals.
  s = tipo("L O G O S capslock A", "--caps-lock");
  EXPECT_EQ(s.texto, "ΛΟΓΟΣα");
  s = tipo("L 222 O G O S space", "--sigma-final");
  EXPECT_EQ(s.texto, "λόγος ");
}

TEST(TypeCommand, TraceShowsVerdictsSendsAndMessageBoxes) {
  auto s = tipo("226 capslock f3", "--angulos --trace", true);
  EXPECT_EQ(s.codigo, 0);
  EXPECT_NE(s.texto.find("226 down"), std::string::npos);
  EXPECT_NE(s.texto.find("swallow"), std::string::npos);
  EXPECT_NE(s.texto.find("sent \"{BKSP}«\""), std::string::npos);
  EXPECT_NE(s.texto.find("message box: La tecla de bloqueo"), std::string::npos);
}

TEST(TypeCommand, BadTokensAndOptionsFailClearly) {
  auto s = tipo("A B 999", "", true);
  EXPECT_NE(s.codigo, 0);
  EXPECT_NE(s.texto.find("bad token '999' (token 3)"), std::string::npos);
  s = tipo("A", "--codigos latex", true);
  EXPECT_NE(s.codigo, 0);
  EXPECT_NE(s.texto.find("--codigos"), std::string::npos);
  s = tipo("A", "--no-such-option", true);
  EXPECT_NE(s.codigo, 0);
  s = tipo("A", "/no/such/script", true);
  EXPECT_NE(s.codigo, 0);
  EXPECT_NE(s.texto.find("cannot read"), std::string::npos);
}

}  // namespace
