// Helpers of the dictionary tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace kalyxon {

// A fresh folder under the system's temporary folder, removed afterwards.
struct CarpetaTemporal {
  std::filesystem::path ruta;
  CarpetaTemporal() {
    std::random_device rd;
    ruta = std::filesystem::temp_directory_path() /
           ("kalyxon-dict-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(ruta);
  }
  ~CarpetaTemporal() {
    std::error_code ec;
    std::filesystem::remove_all(ruta, ec);
  }
  CarpetaTemporal(const CarpetaTemporal&) = delete;
  CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;
};

inline std::string leeFichero(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void escribeFichero(const std::filesystem::path& p, const std::string& texto) {
  std::ofstream out(p, std::ios::binary);
  out << texto;
}

}  // namespace kalyxon

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include "dictionary/letras.h"

namespace kalyxon {

// An alphabet built the way the shipped one is meant to be: letter codes 1..24
// are α..ω in BetaCode order, the bare small letters are keyed by their keys'
// codes, every precomposed letter + marks has a row keyed by its code point,
// final sigma is σ with iota code 3, TRE is the capital BetaCode letter.
inline Letras letrasDePrueba() {
  static const char16_t* beta = u"ABGDEZHQIKLMNCOPRSTUFXYW";
  static const int teclas[24] = {65, 66, 71, 68, 69, 90, 72, 81, 73, 75, 76, 77,
                                 78, 88, 79, 80, 82, 83, 84, 85, 70, 99, 89, 87};
  static const char16_t* trl[24] = {u"a", u"b", u"g", u"d", u"e",  u"z",  u"ē", u"th",
                                    u"i", u"k", u"l", u"m", u"n",  u"x",  u"o", u"p",
                                    u"r", u"s", u"t", u"y", u"ph", u"ch", u"ps", u"ō"};
  std::vector<FilaSonido> sonido;
  std::vector<FilaFonema> fonema;
  UErrorCode err = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(err);
  const char16_t acentos[4] = {0, 0x301, 0x300, 0x342};
  const char16_t espiritus[3] = {0, 0x313, 0x314};
  for (int k = 1; k <= 24; ++k) {
    char16_t minus = static_cast<char16_t>(0x3B1 + (k - 1) + (k >= 18 ? 1 : 0));
    char16_t mayus = static_cast<char16_t>(0x391 + (k - 1) + (k >= 18 ? 1 : 0));
    fonema.push_back({static_cast<uint8_t>(k), u"letra", std::u16string(1, beta[k - 1]), trl[k - 1]});
    sonido.push_back({teclas[k - 1], static_cast<uint8_t>(k), 0, 0, 0, 0, 0, minus});
    for (int may = 0; may < 2; ++may)
      for (int acc = 0; acc < 4; ++acc)
        for (int esp = 0; esp < 3; ++esp)
          for (int die = 0; die < 2; ++die)
            for (int iot = 0; iot < 2; ++iot) {
              if (!may && !acc && !esp && !die && !iot) continue;
              icu::UnicodeString s(may ? mayus : minus);
              if (die) s.append(static_cast<char16_t>(0x308));
              if (esp) s.append(espiritus[esp]);
              if (acc) s.append(acentos[acc]);
              if (iot) s.append(static_cast<char16_t>(0x345));
              icu::UnicodeString n = nfc->normalize(s, err);
              if (n.length() != 1) continue;
              int32_t cp = n.charAt(0);
              sonido.push_back({cp, static_cast<uint8_t>(k), static_cast<uint8_t>(acc),
                                static_cast<uint8_t>(esp), static_cast<uint8_t>(may),
                                static_cast<uint8_t>(die), static_cast<uint8_t>(iot), cp});
            }
  }
  sonido.push_back({0x3C2, 18, 0, 0, 0, 0, 3, 0x3C2});
  return Letras(std::move(sonido), std::move(fonema));
}

}  // namespace kalyxon
