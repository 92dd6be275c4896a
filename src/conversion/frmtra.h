// The conversion window "Traducir fuentes": its state and controls as
// view-model elements, the dispatch of its menus to the converters, loading
// a file or the clipboard, recognising the legacy font of copied rich text,
// and the error report.
//
// One instance lives in the program object; the numeral builder reaches its
// `traGreUni` without the window being shown.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "conversion/conversores.h"
#include "conversion/tablas.h"
#include "util/viewmodel.h"

namespace kalyxon {

class Kalyxon;

class Frmtra {
 public:
  explicit Frmtra(Kalyxon& k);

  // Face names of the conversion in course: the one read and the one written.
  std::u16string cFonOri;
  std::u16string cFonDes;

  // Design geometry of the controls, in twips (left, top, width, height).
  struct Geometria {
    int left, top, width, height;
  };
  static constexpr Geometria kGeoTxterr{120, 360, 4815, 1815};
  static constexpr Geometria kGeoTxtori{120, 360, 4815, 1815};
  static constexpr Geometria kGeoUniText1{120, 2520, 4815, 2295};
  static constexpr Geometria kGeoLabel2{120, 2280, 4815, 255};
  static constexpr Geometria kGeoLabel1{120, 120, 4815, 255};

  // ---- Controls, in their order of creation -----------------------------------
  vm::Window ventana;
  vm::TextBox txterr;    // the error report, shown in place of txtori
  vm::TextBox txtori;    // rich text box: the text in a legacy font
  vm::UniText UniText1;  // the Unicode text
  vm::Label Label2, Label1;

  // ---- Menus --------------------------------------------------------------------
  vm::MenuItem mnutra, mnuathenian, mnubetacode, mnugraeca, mnugraece, mnugreek, mnusgreek;
  // Check item at the end of "Convertir a Unicode": keep line breaks in every
  // conversion (off: the last word of a line joins the first of the next).
  vm::MenuItem mnulin;
  vm::MenuItem mnude, mnuaathenian, mnuagraeca, mnuagreek;
  vm::MenuItem mnuabetacode;  // "BetaCode", last of "Convertir de Unicode"
  vm::MenuItem mnuver, mnucararc, mnucarpor, mnuvererr;

  // ---- Window procedures ------------------------------------------------------
  // Opens the window at the main window's left edge, just below it, with the
  // main window's Greek mode and dictionary switched off.
  void abre();

  void mnuathenian_Click();
  void mnubetacode_Click();
  void mnugraeca_Click();
  void mnugraece_Click();
  void mnugreek_Click();
  void mnusgreek_Click();
  void mnuaathenian_Click();
  void mnuagraeca_Click();
  void mnuagreek_Click();
  void mnuabetacode_Click();
  void mnulin_Click();
  void mnucararc_Click() { cargaArchivo(); }
  void mnucarpor_Click();
  void mnuvererr_Click();

  // Open-file procedure: asks for a file, offers to split one over
  // 1,000,010 bytes, and loads rich text or plain text into txtori.
  void cargaArchivo();
  // Recognises the legacy font of the rich text on the clipboard; the
  // clipboard itself is left as it is.
  void txtori_MouseDown(int Button, int Shift, float X, float Y);
  // Shift+Insert in txtori: the clipboard's rich text when there is some
  // (with the legacy codes intact), else its plain text.
  void txtori_Pega();
  // Loads the report file into txterr.
  void verErrores();

  // ---- Converters -----------------------------------------------------------------
  // Whole-glyph font cFonOri -> Unicode into UniText1 (font cFonDes); writes the report.
  void traduce();
  // "Greek" font text -> Unicode; writes the report.
  std::u16string traGreUni(const std::u16string& texto);
  // Separate-mark font -> Unicode (no report). `cFuente` is what callers
  // pass as cFonOri; the face used is cFonOri.
  std::u16string TraCom(std::u16string texto, const std::u16string& cFuente);
  // BetaCode (esBeta) or SGreek -> Unicode (no report).
  std::u16string TraBet(std::u16string texto, bool esBeta);
  // UniText1 -> face cFonDes (BetaCode when cFonDes is "Verdana") into
  // txtori; writes the report.
  void traducea();

  // The report file "infErrores.txt" in the program folder.
  std::filesystem::path ficheroInforme() const;
  // The tables, read from ALPHA.db on first use; nullptr (after telling the
  // user) when the database cannot be read.
  const conversion::Tablas* tablas();
  // Replaces the tables (tests, or a program folder without ALPHA.db).
  void usaTablas(std::shared_ptr<const conversion::Tablas> t) { tablas_ = std::move(t); }

  conversion::Opciones opciones() const { return {mnulin.checked}; }

 private:
  void entrada(std::u16string_view ori, std::u16string_view des, std::u16string_view fuente);
  // Runs one conversion of `texto` from or to `codificacion`, streaming the
  // report file (replaced at the end, also when empty).
  std::u16string ejecuta(std::u16string_view texto, std::u16string_view codificacion,
                         bool haciaUnicode, const conversion::Opciones& o, bool conBarra);
  conversion::Bombeo bombeo(size_t total);  // total: characters, 0 for no progress bar

  Kalyxon& k_;
  std::shared_ptr<const conversion::Tablas> tablas_;
  bool convirtiendo_ = false;  // a second conversion entry is ignored meanwhile
};

}  // namespace kalyxon
