#include "keyboard/diacriticos.h"

#include "app/kalyxon.h"

namespace kalyxon {

namespace {

// Toggling a mark member to v: the same mark again cancels it, another mark of
// the same member is replaced.
bool conmuta(uint8_t& miembro, uint8_t v) {
  miembro = miembro == v ? 0 : v;
  return miembro != 0;
}

void muestra(vm::Image& ima, bool encendida, const char* nombre) {
  ima.picture = std::string(nombre) + (encendida ? "2.ico" : "1.ico");
}

}  // namespace

Diacriticos::Diacriticos(Kalyxon& k) : k_(k) {
  Form1& f = k_.form1;
  f.imaiot.tooltip = u"Iota suscrita";
  f.imasua.tooltip = u"Espíritu suave";
  f.imaasp.tooltip = u"Espíritu áspero";
  f.imaagu.tooltip = u"Acento agudo";
  f.imagra.tooltip = u"Acento grave";
  f.imacir.tooltip = u"Acento circunflejo";
  f.imadie.tooltip = u"Diéresis";
  refrescaIndicadores();
}

void Diacriticos::refrescaIndicadores() {
  Form1& f = k_.form1;
  muestra(f.imaiot, f.nIot == 1, "iota");
  muestra(f.imasua, f.nEsp == 1, "espsuave");
  muestra(f.imaasp, f.nEsp == 2, "espasp");
  muestra(f.imaagu, f.nAcc == 1, "accagu");
  muestra(f.imagra, f.nAcc == 2, "accgra");
  muestra(f.imacir, f.nAcc == 3, "acccir");
  muestra(f.imadie, f.nDie == 1, "dieresis");
}

void Diacriticos::ponDiacritico(int32_t tecla, bool esmayuscula) {
  Form1& f = k_.form1;
  if (f.lRectifica) {
    switch (tecla) {
      case 192: conmuta(f.nIotUlt, 1); break;
      case 56: conmuta(f.nEspUlt, 2); break;
      case 57: conmuta(f.nEspUlt, 1); break;
      case 186:
        if (esmayuscula) {
          // Set, not toggled: pressing it twice while correcting keeps it.
          f.nAccUlt = 3;
          f.nMayUlt = 0;
        } else {
          conmuta(f.nAccUlt, 2);
        }
        break;
      case 222:
        if (esmayuscula) {
          if (!conmuta(f.nDieUlt, 1)) f.nMayUlt = 0;
        } else {
          conmuta(f.nAccUlt, 1);
        }
        break;
      default: break;
    }
  } else {
    switch (tecla) {
      case 192: conmuta(f.nIot, 1); break;
      case 56: conmuta(f.nEsp, 2); break;
      case 57: conmuta(f.nEsp, 1); break;
      case 186:
        if (esmayuscula) {
          conmuta(f.nAcc, 3);
          f.nMay = 0;
        } else {
          conmuta(f.nAcc, 2);
        }
        break;
      case 222:
        if (esmayuscula) {
          conmuta(f.nDie, 1);
          f.nMay = 0;
        } else {
          conmuta(f.nAcc, 1);
        }
        break;
      default: break;
    }
  }
  refrescaIndicadores();
  f.noDiacritico = false;
}

void Diacriticos::imaagu_Click() {
  Form1& f = k_.form1;
  if (f.nAcc != 1) {
    f.nAcc = 1;
    muestra(f.imaagu, true, "accagu");
    muestra(f.imagra, false, "accgra");
    muestra(f.imacir, false, "acccir");
  } else {
    f.nAcc = 0;
    muestra(f.imaagu, false, "accagu");
  }
}

void Diacriticos::imagra_Click() {
  Form1& f = k_.form1;
  if (f.nAcc != 2) {
    f.nAcc = 2;
    muestra(f.imagra, true, "accgra");
    muestra(f.imaagu, false, "accagu");
    muestra(f.imacir, false, "acccir");
  } else {
    f.nAcc = 0;
    muestra(f.imagra, false, "accgra");
  }
}

void Diacriticos::imacir_Click() {
  Form1& f = k_.form1;
  if (f.nAcc != 3) {
    f.nAcc = 3;
    muestra(f.imacir, true, "acccir");
    muestra(f.imaagu, false, "accagu");
    muestra(f.imagra, false, "accgra");
  } else {
    f.nAcc = 0;
    muestra(f.imacir, false, "acccir");
  }
}

void Diacriticos::imaasp_Click() {
  Form1& f = k_.form1;
  if (f.nEsp != 2) {
    f.nEsp = 2;
    muestra(f.imaasp, true, "espasp");
    muestra(f.imasua, false, "espsuave");
  } else {
    f.nEsp = 0;
    muestra(f.imaasp, false, "espasp");
  }
}

void Diacriticos::imasua_Click() {
  Form1& f = k_.form1;
  if (f.nEsp != 1) {
    f.nEsp = 1;
    muestra(f.imasua, true, "espsuave");
    muestra(f.imaasp, false, "espasp");
  } else {
    f.nEsp = 0;
    muestra(f.imasua, false, "espsuave");
  }
}

void Diacriticos::imadie_Click() {
  Form1& f = k_.form1;
  f.nDie = f.nDie != 1 ? 1 : 0;
  muestra(f.imadie, f.nDie == 1, "dieresis");
}

void Diacriticos::imaiot_Click() {
  Form1& f = k_.form1;
  f.nIot = f.nIot != 1 ? 1 : 0;
  muestra(f.imaiot, f.nIot == 1, "iota");
}

}  // namespace kalyxon
