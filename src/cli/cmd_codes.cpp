// kalyxon codes: the HTML and Java escape forms of a text, and back.
#include <iostream>
#include <iterator>
#include <string>

#include "cli/commands.h"
#include "codes/codigos.h"
#include "util/utf.h"

namespace kalyxon::cli {

std::string versionText() {
  return std::to_string(KALYXON_VERSION_MAJOR) + "." + std::to_string(KALYXON_VERSION_MINOR) +
         "." + std::to_string(KALYXON_VERSION_PATCH);
}

namespace {

void codesHelp(std::ostream& out) {
  out << "Usage:\n"
         "  kalyxon codes html [--all] TEXT   write the characters of TEXT as &#945; references\n"
         "  kalyxon codes java [--all] TEXT   write them as \\u03B1 escapes\n"
         "  kalyxon codes decode TEXT         turn &#945; or \\u03B1 escapes back into characters\n"
         "\n"
         "TEXT '-' reads standard input (one trailing line end is dropped). Text is UTF-8.\n"
         "html and java escape every non-ASCII character; with --all every character,\n"
         "as code mode types them. decode reads the text as HTML when it holds \"&#\"\n"
         "anywhere, otherwise as Java escapes; whatever is not an escape is kept.\n";
}

bool readText(const std::string& arg, std::u16string& out) {
  if (arg != "-") {
    out = util::fromUtf8(arg);
    return true;
  }
  std::string in((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  if (std::cin.bad()) return false;
  if (!in.empty() && in.back() == '\n') in.pop_back();
  if (!in.empty() && in.back() == '\r') in.pop_back();
  out = util::fromUtf8(in);
  return true;
}

std::u16string encode(const std::u16string& text, bool java, bool all) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c < 0x80 && !all) {
      out += static_cast<char16_t>(c);
      continue;
    }
    // Java escapes UTF-16 code units (a pair for a character beyond the
    // BMP, as Java sources write it); HTML references whole code points.
    if (!java && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    const auto code = static_cast<int32_t>(c);
    out += java ? Codigos::formaJava(code) : Codigos::formaHTM(code);
  }
  return out;
}

}  // namespace

int runCodes(const std::vector<std::string>& args) {
  if (args.empty()) {
    codesHelp(std::cerr);
    return 2;
  }
  const std::string& mode = args[0];
  if (mode == "--help" || mode == "-h" || mode == "help") {
    codesHelp(std::cout);
    return 0;
  }
  if (mode != "html" && mode != "java" && mode != "decode") {
    std::cerr << "kalyxon codes: unknown mode '" << mode << "' (html, java or decode)\n";
    return 2;
  }
  bool all = false;
  std::vector<std::string> rest;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--all" && mode != "decode") all = true;
    else if (args[i] == "--help" || args[i] == "-h") {
      codesHelp(std::cout);
      return 0;
    } else if (args[i].size() > 1 && args[i][0] == '-' && args[i] != "-") {
      std::cerr << "kalyxon codes: unknown option '" << args[i] << "'\n";
      return 2;
    } else {
      rest.push_back(args[i]);
    }
  }
  if (rest.size() != 1) {
    std::cerr << "kalyxon codes " << mode << ": expected one TEXT argument ('-' for standard input)\n";
    return 2;
  }
  std::u16string text;
  if (!readText(rest[0], text)) {
    std::cerr << "kalyxon codes: cannot read standard input\n";
    return 1;
  }
  std::u16string result;
  if (mode == "decode") {
    result = Codigos::cargaHTM(text, nullptr);
  } else {
    result = encode(text, mode == "java", all);
  }
  std::cout << util::toUtf8(result) << "\n";
  return std::cout.good() ? 0 : 1;
}

}  // namespace kalyxon::cli
