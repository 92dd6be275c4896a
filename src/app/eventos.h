// The one place where the desktop windows hand the user's actions to the
// engine. Every event is named after the handler the engine gives it
// ("imaagu_Click", "mnubar_Click", "Form_OLEDragDrop"...); the handler lives
// in the subsystem object that owns the state it changes. The windows never
// change a model themselves.
#pragma once

#include <string>
#include <string_view>

namespace kalyxon {
class Kalyxon;
}

namespace kalyxon {

// Runs the engine's handler for `evento`, with `texto` for the events that
// carry text (drops). Returns false when the engine has no such handler.
bool reenvia(Kalyxon& k, std::string_view evento, const std::u16string& texto = {});

// Whether the engine has a handler for `evento` (without running it).
bool existeManejador(Kalyxon& k, std::string_view evento);

// The same for the conversion window's events.
bool reenviaConversion(Kalyxon& k, std::string_view evento);
bool existeManejadorConversion(Kalyxon& k, std::string_view evento);

// Every event of the desktop program's main window and start-up notice, as
// each front end names it: the start-up ones ("frmini_Load",
// "frmini_cmdace_Click"...), the window's ("Form_Activate", "Form_Close",
// drops, the embedded list, "F1"), menu choices and then any handler of the
// engine. An empty name does nothing (a check box already ran its handler
// through the model). Nothing happens once the program has ended.
void eventoEscritorio(Kalyxon& k, std::string_view evento, const std::u16string& texto = {});

// The conversion window's events, F1 ("UniText1_F1") included.
void eventoConversion(Kalyxon& k, std::string_view evento);

}  // namespace kalyxon
