// The help pages: which page of the help folder shows each topic the engine
// asks for (HelpViewer::showTopic). Every front end opens the same pages.
#pragma once

namespace kalyxon {

// "general.html" for 1, "conversion.html" for 5, ...; "index.html" for 0 and
// for a topic with no page of its own.
const char* paginaAyuda(int tema);

}  // namespace kalyxon
