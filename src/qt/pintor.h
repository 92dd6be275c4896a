// The program's pictures, drawn in code so they are ours and scale cleanly:
// the fourteen indicator icons of the diacritic buttons (an "off" and an "on"
// picture for each mark), the program icon, and the text glyph a button shows
// when its picture file cannot be loaded.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace kalyxon::qt {

enum class Marca { Iota, Suave, Aspero, Agudo, Grave, Circunflejo, Dieresis };

struct Indicador {
  Marca marca;
  const char* raiz;  // file stem: "accagu" -> accagu1.ico (off), accagu2.ico (on)
  const char* glifo;  // what a button shows when the picture is missing
};

// The seven marks, in the order the buttons sit on the window.
const std::vector<Indicador>& indicadores();

// The indicator's file name for a state: "accagu1.ico" off, "accagu2.ico" on.
QString archivoIndicador(const Indicador& ind, bool encendido);

// The indicator whose file is `archivo` (either state), or nullptr.
const Indicador* indicadorDeArchivo(const QString& archivo, bool* encendido = nullptr);

QImage pintaIndicador(Marca marca, bool encendido, int lado);

// Fallback picture: the mark's text glyph on the same on/off background.
QImage pintaGlifo(const QString& glifo, bool encendido, int lado);

QImage pintaIconoPrograma(int lado);

// Writes a Windows icon file holding one 32-bit image per size. Returns false
// (and leaves no partial file) when it cannot be written.
bool escribeIco(const QString& ruta, const std::vector<QImage>& imagenes);

}  // namespace kalyxon::qt
