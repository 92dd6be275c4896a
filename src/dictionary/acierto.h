// How often a dictionary's first candidate is the word as the author wrote
// it, over every running word of a Greek text: the figure that says whether a
// dictionary built from some works serves a work it has never seen. The
// benchmark reports it for the shipped dictionary; a test keeps floors under
// it so that a dictionary built wrong (keys typing does not make, counts
// lost, a harmful context choice) shows.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kalyxon {

class Kalyxon;

struct Acierto {
  int64_t palabras = 0;  // running words looked up
  int64_t primera = 0;   // the first candidate is the word as written
  int64_t contexto = 0;  // the same with the grave/acute/capital chosen by context
};

// The lines of work number `obra` (1 is the first) of a UTF-8 corpus file
// whose works are separated by an empty line; empty if the file is missing.
std::vector<std::u16string> lineasDeObra(const std::filesystem::path& fichero, int obra);

// Looks every word of `lineas` up as typing does, in the open dictionary of
// `k`; "Acento según contexto" is switched on for the second count.
Acierto mideAcierto(Kalyxon& k, const std::vector<std::u16string>& lineas);

}  // namespace kalyxon
