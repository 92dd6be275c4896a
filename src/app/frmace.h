// The "Acerca de Kalyxon" window: the program's name, version and licence, and
// the attribution and licence of the shipped dictionaries, read from the files
// installed beside them. The engine fills it; a front end only renders it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "util/viewmodel.h"

namespace kalyxon {

struct Frmace {
  Frmace();

  // Fills the texts: `sitios` are the folders searched, in order, for the
  // dictionaries' attribution and licence files (the program folder, then the
  // installed data). A missing file is said in its box, with the licence's
  // address, so the window never shows an empty box.
  void llena(const std::vector<std::filesystem::path>& sitios);
  // The whole window as one text, for a front end that shows it in a message
  // box.
  std::u16string comoTexto() const;

  vm::Window ventana;
  vm::Image imglog;
  vm::Label lblnom;  // "Kalyxon"
  vm::Label lblver;  // "Versión 7.6.0"
  vm::Label lbldes;  // what the program is for
  vm::Label lblide;  // the project and the program's licence
  vm::Label lblcar;  // where the dictionaries' files were read from
  vm::TextBox txtatr;  // the dictionaries' attribution (multi-line, read-only)
  vm::TextBox txtlic;  // the dictionaries' licence, in full
  vm::Control tabatr, tablic;  // the captions of the two boxes' tabs
  vm::Control cmdace;  // "Aceptar"
};

// The files the dictionaries travel with.
inline constexpr const char* kFicheroAtribucion = "LEXICA-ATRIBUCION.txt";
inline constexpr const char* kFicheroLicencia = "LEXICA-LICENCIA-CC-BY-SA-4.0.txt";

}  // namespace kalyxon
