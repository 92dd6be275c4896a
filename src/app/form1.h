// The main window's state: the program-wide members that every subsystem reads
// and writes, and every control of the main window as a view-model element.
// One instance lives in the Kalyxon object (app/kalyxon.h); a front end
// renders it.
//
// Member names follow the program's convention: a type prefix (l Boolean,
// n byte or number, c string) and a Spanish stem.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "util/viewmodel.h"

namespace kalyxon {

namespace lexico {
class Espacio;
class Base;
}  // namespace lexico

struct Form1 {
  // Sets every control to its designed state: captions, tooltips, fonts,
  // pictures, enabled and visible, the window caption and geometry.
  Form1();

  // Window heights in twips: designed, compact as restored from the settings,
  // and compact as set from the "barra" menu.
  static constexpr int kAlto = 1695;
  static constexpr int kAltoBarraInicio = 645;
  static constexpr int kAltoBarraMenu = 665;

  // ---- Pending diacritics and the last letter typed ------------------------
  // Mark codes: accent 0 none, 1 acute, 2 grave, 3 circumflex; breathing
  // 0 none, 1 smooth, 2 rough; diaeresis, iota subscript and capital 0 or 1.
  uint8_t nAcc = 0, nEsp = 0, nDie = 0, nIot = 0, nMay = 0;
  uint8_t nAccUlt = 0, nEspUlt = 0, nDieUlt = 0, nIotUlt = 0, nMayUlt = 0;
  uint8_t nFonUlt = 0;
  bool lMayUlt = false;
  uint8_t nFon = 0;  // letter code of the last key that had a letter row

  // ---- Phonetic marks ------------------------------------------------------
  uint8_t nCan = 0;  // quantity mark pending
  uint8_t nApe = 0;  // quality mark pending

  // ---- Typing flags ----------------------------------------------------------
  bool lInicio = false;      // the next letter starts a word
  bool lRectifica = false;   // rectify mode armed by F4
  bool noDiacritico = true;  // no dead key typed in the current word
  bool lPalabra = false;     // the dictionary has a candidate for the word
  int32_t nUltCar = 0;       // key code the composer used last (0 after a word break)
  int32_t nUniIni = 0;       // last word-initial vowel without its automatic breathing
  bool lVocIni = false;      // the previous key was a word-initial vowel given a breathing
  int16_t nOtraUlt = 0;      // code point of the last variant form produced

  // ---- Word record of the letter release -----------------------------------
  std::u16string cUltima, cBorraUltima, cNueva;

  // ---- Running word of the dictionary ----------------------------------------
  std::u16string cCadOri, cCadCla, cCadUni, cCadTra, cBorraCad;

  // ---- Candidate list (used from index 1; an empty string ends it) ----------
  std::array<std::u16string, 36> cCandidatos{};
  std::array<std::u16string, 36> cInfoCandidatos{};
  uint8_t nCandidato = 0;

  // ---- Greek numeral run -----------------------------------------------------
  std::u16string cNumGri, cNumBor;

  // ---- Target program and fonts ----------------------------------------------
  std::u16string cPrograma, cParametros, cCambiaFuentes, cFuenteGriego, cFuenteNormal;
  bool lEligeGriego = false;

  // ---- Dictionary objects ----------------------------------------------------
  // The workspace, created by the settings load and closed by the save; the
  // dictionary subsystem opens the current dictionary through it.
  std::shared_ptr<lexico::Espacio> wrkJet;
  // The last dictionary file the settings load opened.
  std::shared_ptr<lexico::Base> datlxc;

  // ---- The window and its controls -------------------------------------------
  vm::Window ventana;  // caption, geometry (twips), topmost
  vm::Control cmdace;
  vm::ListBox lstfon;
  vm::UniLabel UniLabel1;
  vm::CheckBox chkdic;
  vm::CheckBox chkgri;
  vm::Label lblrec, lblhex, lbluni, lblpal, lblfon, lblasc;
  vm::Image imgcam;
  vm::Image imadie, imacir, imaiot, imagra, imaagu, imaasp, imasua;

  // ---- Menus, in the window's order ---------------------------------------------
  vm::MenuItem mnuayu, mnuayugen, mnuayuind, mnuayumap, mnuayutec, mnuayuesp;
  vm::MenuItem mnuopc, mnus, mnuks, mnups, mnuesp, mnuiota, mnunum, mnuang;
  vm::MenuItem mnuacc;  // "Acento según contexto"
  vm::MenuItem mnufon, mnufonbre, mnufonlar, mnufonabi, mnufoncer, mnulat;
  vm::MenuItem mnuses;  // start with the desktop session (an autostart entry)
  vm::MenuItem mnuher, mnudic;
  vm::MenuItem mnudiccla, mnudiccom, mnudicari, mnudiceso, mnudichom, mnudicjen, mnudicpla,
      mnudictra;
  vm::MenuItem linea1;  // separator
  vm::MenuItem mnudicapro;
  vm::MenuItem linea2;  // separator
  vm::MenuItem mnudicpal, mnudicadd, mnudicfre, mnudicbor, mnudiccar;
  vm::MenuItem mnupro, mnufue, mnufuegri, mnufuenor, mnuhertra;
  vm::MenuItem mnucod, mnucodhtm, mnucodjav;
  vm::MenuItem mnuver, mnubar;
  vm::MenuItem mnusib, mnusibver, mnusibaut, mnusibcor, mnusibhtp, mnusibgri, mnusibace;
};

}  // namespace kalyxon
