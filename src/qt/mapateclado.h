// The keyboard map of the help: a picture of the Spanish keyboard with the
// Greek letter each key gives (small and capital) and the mark each dead key
// arms. The picture is drawn from what the running program answers for each
// key, so the map cannot disagree with what typing does.
#pragma once

#include <QImage>
#include <QString>
#include <functional>

namespace kalyxon {
class Kalyxon;
}

namespace kalyxon::qt {

struct ContenidoTecla {
  QString letra;   // what the key types in Greek mode ("" if it types nothing Greek)
  QString muerta;  // the mark it arms as a dead key, with its name ("´ agudo")
};

// Asks for a key (Windows key code) in one shift state.
using ConsultaTecla = std::function<ContenidoTecla(int vk, bool mayusculas)>;

QImage pintaMapaTeclado(const ConsultaTecla& consulta, qreal escala = 1.0);

// The program's own answer for a key: the composer's letter for it and the
// mark its dead key arms. The engine's state is left as it was found.
ContenidoTecla consultaMotor(Kalyxon& k, int vk, bool mayusculas);

}  // namespace kalyxon::qt
