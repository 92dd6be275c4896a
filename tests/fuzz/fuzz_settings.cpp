// The settings file: any bytes as kalyxon.ini, then one key written and read
// back. Properties: the value written is the value read; a key of another
// name keeps its value; the file outside the written line is kept.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

#include "fuzz_support.h"
#include "util/perfil.h"
#include "util/utf.h"

using namespace kalyxon;
using util::Perfil;

namespace {

// A section or key name: letters and digits (other characters have their own
// meaning at the start of a line or inside brackets).
std::u16string nombre(FuzzedDataProvider& p) {
  std::u16string n;
  for (char c : p.ConsumeRandomLengthString(12))
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) n += c;
  return n.empty() ? u"opciones" : n;
}

// A value that reads back as written: printable, not trimmed, not quoted,
// within the read buffer.
std::u16string valor(FuzzedDataProvider& p) {
  std::u16string v;
  for (char c : p.ConsumeRandomLengthString(300)) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b != 0x7F && b != '"') v += static_cast<char16_t>(b < 0x80 ? b : 0xA0 + (b & 0x3F));
  }
  v = v.substr(0, Perfil::kBuffer - 1);
  while (!v.empty() && v.back() == u' ') v.pop_back();
  while (!v.empty() && v.front() == u' ') v.erase(0, 1);
  return v;
}

bool mismoNombre(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if ((a[i] | 0x20) != (b[i] | 0x20)) return false;  // letters and digits only
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider p(data, size);
  std::u16string sec = nombre(p), clave = nombre(p), sec2 = nombre(p), clave2 = nombre(p);
  std::u16string v = valor(p);
  std::string antes = p.ConsumeRemainingBytesAsString();
  // The file is read and rewritten in memory, by the code the file calls
  // use once they have its bytes (what they add, the atomic replacement of
  // the file, has tests of its own), so no input waits for a disk.
  std::u16string otro = Perfil::lee(antes, sec2, clave2);
  FUZZ_CHECK(otro.size() < Perfil::kBuffer);
  std::string primera = Perfil::escribe(antes, sec, {{clave, v}});
  FUZZ_CHECK(Perfil::lee(primera, sec, clave) == v);
  if (!(mismoNombre(sec, sec2) && mismoNombre(clave, clave2))) FUZZ_CHECK(Perfil::lee(primera, sec2, clave2) == otro);
  // Writing the same value again changes nothing (from the second write on: a
  // first write may end a last line left open, which can change the line end
  // the file is taken to use).
  std::string despues = Perfil::escribe(primera, sec, {{clave, v}});
  FUZZ_CHECK(Perfil::escribe(despues, sec, {{clave, v}}) == despues);
  // Only the written line (and a header, a line end) was added. A
  // Windows-1252 file that the write leaves valid UTF-8 is rewritten in
  // UTF-8 as a whole, at up to three bytes a character.
  const size_t crece = util::toUtf8(util::fromUtf8(antes)) == antes ? 1 : 3;
  const size_t linea = 2 * (sec.size() + clave.size() + v.size()) + 12;
  FUZZ_CHECK(despues.size() <= crece * antes.size() + linea);
  return 0;
}
