// kalyxon_guiahtml: turns the user guide (Markdown) into a page of the help.
//
//   kalyxon_guiahtml GUIDE.md OUT.html [PICTURE=REPLACEMENT]...
//
// The guide is the one text users read, whether on the project's pages or in
// the program's help window, so the help page is made from it at every build
// rather than kept by hand beside it. The page gets the help's head (title
// from the guide's first heading, the help's style sheet) and a link back to
// the index. PICTURE=REPLACEMENT rewrites the address of a picture: the guide
// shows a screenshot of the keyboard map, while the help window draws the map
// live from the tables the program types with, so it cannot show a stale one.
//
// Raw HTML in the guide is not copied (cmark's safe default): the page's
// markup comes from Markdown alone, which the help browser renders.
//
// OUT.html is written to OUT.html.tmp and renamed when complete, so a failed
// build never leaves half a page behind.
#include <cmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

namespace {

struct Libera {
  void operator()(cmark_node* n) const { cmark_node_free(n); }
  void operator()(cmark_iter* i) const { cmark_iter_free(i); }
  void operator()(char* p) const { std::free(p); }
};

std::string escapaHtml(const std::string& s) {
  std::string r;
  for (char c : s) {
    switch (c) {
      case '&': r += "&amp;"; break;
      case '<': r += "&lt;"; break;
      case '>': r += "&gt;"; break;
      case '"': r += "&quot;"; break;
      default: r += c;
    }
  }
  return r;
}

// The plain text of a node (the words of a heading, without its markup).
std::string textoDe(cmark_node* n) {
  std::string r;
  std::unique_ptr<cmark_iter, Libera> it(cmark_iter_new(n));
  for (auto ev = cmark_iter_next(it.get()); ev != CMARK_EVENT_DONE; ev = cmark_iter_next(it.get())) {
    cmark_node* c = cmark_iter_get_node(it.get());
    if (ev == CMARK_EVENT_ENTER &&
        (cmark_node_get_type(c) == CMARK_NODE_TEXT || cmark_node_get_type(c) == CMARK_NODE_CODE))
      r += cmark_node_get_literal(c);
  }
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: kalyxon_guiahtml GUIDE.md OUT.html [PICTURE=REPLACEMENT]...\n";
    return 2;
  }
  std::map<std::string, std::string> imagenes;
  for (int i = 3; i < argc; ++i) {
    std::string a = argv[i];
    auto igual = a.find('=');
    if (igual == std::string::npos) {
      std::cerr << "kalyxon_guiahtml: expected PICTURE=REPLACEMENT, got " << a << "\n";
      return 2;
    }
    imagenes[a.substr(0, igual)] = a.substr(igual + 1);
  }

  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "kalyxon_guiahtml: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::ostringstream fuente;
  fuente << in.rdbuf();
  const std::string md = fuente.str();

  std::unique_ptr<cmark_node, Libera> doc(
      cmark_parse_document(md.data(), md.size(), CMARK_OPT_DEFAULT | CMARK_OPT_VALIDATE_UTF8));
  std::string titulo;
  {
    std::unique_ptr<cmark_iter, Libera> it(cmark_iter_new(doc.get()));
    for (auto ev = cmark_iter_next(it.get()); ev != CMARK_EVENT_DONE; ev = cmark_iter_next(it.get())) {
      cmark_node* n = cmark_iter_get_node(it.get());
      if (ev != CMARK_EVENT_ENTER) continue;
      if (titulo.empty() && cmark_node_get_type(n) == CMARK_NODE_HEADING &&
          cmark_node_get_heading_level(n) == 1)
        titulo = textoDe(n);
      if (cmark_node_get_type(n) == CMARK_NODE_IMAGE) {
        auto r = imagenes.find(cmark_node_get_url(n));
        if (r != imagenes.end()) cmark_node_set_url(n, r->second.c_str());
      }
    }
  }
  std::unique_ptr<char, Libera> cuerpo(cmark_render_html(doc.get(), CMARK_OPT_DEFAULT));

  const std::filesystem::path out = argv[2];
  const std::filesystem::path tmp = out.string() + ".tmp";
  {
    std::ofstream o(tmp, std::ios::binary | std::ios::trunc);
    o << "<html><head><meta charset=\"utf-8\"><title>" << escapaHtml(titulo)
      << "</title><link rel=\"stylesheet\" href=\"estilo.css\"></head>\n<body>\n"
      << "<p class=\"nav\"><a href=\"index.html\">Índice</a></p>\n"
      << cuerpo.get() << "</body></html>\n";
    o.flush();
    if (!o) {
      std::cerr << "kalyxon_guiahtml: cannot write " << tmp.string() << "\n";
      std::filesystem::remove(tmp);
      return 1;
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, out, ec);
  if (ec) {
    std::cerr << "kalyxon_guiahtml: cannot write " << out.string() << ": " << ec.message() << "\n";
    std::filesystem::remove(tmp);
    return 1;
  }
  return 0;
}
