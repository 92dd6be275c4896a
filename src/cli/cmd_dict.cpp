// kalyxon dict: the dictionaries beside the program, from the command line.
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "dictionary/lexico.h"

namespace kalyxon::cli {

namespace {

namespace fs = std::filesystem;

const char* kUso =
    "Usage: kalyxon dict [--dir DIR] COMMAND ...\n"
    "  list                              files, tables and record counts\n"
    "\n"
    "DIR is the folder that holds LEXICA*.db (default: the program's folder).\n";

fs::path carpetaPrograma() {
  std::error_code ec;
  auto exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : exe.parent_path();
}

int lista(const fs::path& dir) {
  lexico::Espacio ws;
  auto ficheros = lexico::ficherosDiccionario(dir);
  if (ficheros.empty()) {
    std::cout << "no LEXICA*.db in " << dir.string() << "\n";
    return 0;
  }
  for (auto& f : ficheros) {
    auto base = ws.abre(f);
    std::cout << f.filename().string() << "\n";
    for (auto& t : base->tablas()) {
      bool usable = t.campos == 3 && t.registros > 0 && lexico::esDiccionario(t.nombre);
      std::cout << "  " << t.nombre << "\t" << t.registros << (usable ? "" : "\t(not a dictionary)")
                << "\n";
    }
  }
  return 0;
}

}  // namespace

int runDict(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args;
  fs::path dir = carpetaPrograma();
  for (size_t i = 0; i < argsIn.size(); ++i) {
    if (argsIn[i] == "--dir" && i + 1 < argsIn.size()) {
      dir = argsIn[++i];
    } else if (argsIn[i] == "--help" || argsIn[i] == "-h") {
      std::cout << kUso;
      return 0;
    } else {
      args.push_back(argsIn[i]);
    }
  }
  if (args.empty()) {
    std::cerr << kUso;
    return 2;
  }
  try {
    const std::string& cmd = args[0];
    if (cmd == "list") return lista(dir);
    std::cerr << "kalyxon dict: unknown command '" << cmd << "'\n" << kUso;
    return 2;
  } catch (const lexico::BaseOcupada& e) {
    std::cerr << "kalyxon dict: " << e.what() << "\n";
    return 3;
  } catch (const std::exception& e) {
    std::cerr << "kalyxon dict: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace kalyxon::cli
