#include "keyboard/tecladohook.h"

namespace kalyxon {

Verdict TecladoHook::tecladoProc(int, const KeyEvent&) { return Verdict::Pass; }

}  // namespace kalyxon
