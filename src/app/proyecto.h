// The project's own identity and pages, shown in the "Kalyxon" menu and on the
// start-up notice. A packager may override them at build time with
// -DKALYXON_WEB=... and -DKALYXON_CORREO=... compile definitions.
#pragma once

namespace kalyxon::proyecto {

// Empty until the project has a site and an address of its own: the menu
// then shows no web or mail item (nothing is invented).
#ifdef KALYXON_WEB
inline constexpr const char* kWeb = KALYXON_WEB;
#else
inline constexpr const char* kWeb = "";
#endif

#ifdef KALYXON_CORREO
inline constexpr const char* kCorreo = KALYXON_CORREO;
#else
inline constexpr const char* kCorreo = "";
#endif

// The identity line of the "Kalyxon" menu.
inline constexpr const char16_t* kIdentidad = u"Proyecto Kalyxon (software libre, licencia MIT)";

// The fixed pages opened by the "Kalyxon" menu items, relative to kWeb.
inline constexpr const char* kPaginaAutor = "proyecto/";
inline constexpr const char* kPaginaVersion = "versiones/";
inline constexpr const char* kPaginaGriego = "escribir-en-griego/";

}  // namespace kalyxon::proyecto
