// The grave or acute, and the capital, that the text around a word asks for.
//
// Greek writes a final acute as a grave when another word follows (καὶ
// λόγος) and keeps the acute before punctuation or a line end (καί, ...);
// a dictionary counted from texts holds both forms under one key, and plain
// frequency always offers the more common one. When the word is replaced at a
// separator, the candidates of its key are looked at again with the separator
// in view: the form first in frequency gives way to its own twin with the
// accent that fits, and at the start of a sentence to its capitalised twin
// when the dictionary has one and counts it often enough. Only forms already among the candidates are
// chosen, so the change-form key still reaches every one of them.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "greek/alfabeto.h"

namespace kalyxon {

struct Contexto {
  bool sigueBlanco = true;   // a blank follows (false: punctuation or a line end)
  bool inicioFrase = false;  // the word follows . ; · or starts a line
};

// The index in `formas` (candidates of one key, most frequent first) of the
// form to offer for the context; 0 when the first one fits or no twin exists.
// `cuentas` are the dictionary counts of the forms.
size_t eligePorContexto(const Alfabeto& letras, std::span<const std::u16string> formas,
                        std::span<const int32_t> cuentas, Contexto contexto);

}  // namespace kalyxon
