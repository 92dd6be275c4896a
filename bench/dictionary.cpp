// The dictionary's costs: the lookup after every typed letter (the key waits
// for it) and the loading of a long text.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/kalyxon.h"
#include "dictionary/acierto.h"
#include "dictionary/cargador.h"
#include "dictionary/diccionario.h"
#include "dictionary/lexico.h"
#include "platform/scripted.h"

namespace {

namespace fs = std::filesystem;
using namespace kalyxon;

// A private program folder with the alphabet and the complete dictionary, so
// the benchmark never holds the build tree's files.
struct Carpeta {
  fs::path ruta;
  explicit Carpeta(bool todos = false) {
    std::random_device rd;
    ruta = fs::temp_directory_path() / ("kalyxon-bench-" + std::to_string(rd()));
    fs::create_directories(ruta);
    for (const char* f : {"ALPHA.db", "LEXICA_completo.db", "LEXICA_Platon.db"})
      fs::copy_file(fs::path(KALYXON_RUNTIME_DIR) / f, ruta / f);
    if (todos)
      for (const auto& f : lexico::ficherosDiccionario(KALYXON_RUNTIME_DIR))
        fs::copy_file(f, ruta / f.filename(), fs::copy_options::skip_existing);
  }
  ~Carpeta() {
    std::error_code ec;
    fs::remove_all(ruta, ec);
  }
};

// Typing words letter by letter in approximate mode on "completo": each call
// rebuilds the key, makes up to 16 variant keys and collects up to 34 forms.
void BM_LookupPerLetterApproximate(benchmark::State& state) {
  Carpeta c;
  platform::scripted::ScriptedServices s;
  Kalyxon k(s.services(), c.ruta);
  auto& d = k.diccionario();
  d.cambiaDiccionario(u"LEXICA_completo.db", "completo");
  k.form1.mnudicapro.checked = true;
  // Words rich in the letters the variant rules change (E, H, I, O, U, W, L, P).
  const std::string palabras[] = {"ANQRWPOS", "POLEMOU", "EIPEIN", "ELLHNWN", "PHLEUS",
                                  "DIKAIOSUNH", "OUK", "TOUTO", "LOGOS", "FILOSOFIA"};
  int64_t letras = 0;
  for (auto _ : state) {
    for (const auto& p : palabras) {
      d.cadenaGriego(0, false);
      for (char ch : p) {
        d.cadenaGriego(ch == 'X' ? 'J' : ch, false);
        ++letras;
      }
    }
  }
  state.counters["letter"] = benchmark::Counter(static_cast<double>(letras),
                                                benchmark::Counter::kIsRate |
                                                    benchmark::Counter::kInvert);
}
BENCHMARK(BM_LookupPerLetterApproximate)->Unit(benchmark::kMicrosecond);

// The start-up's part in the dictionaries: every shipped file opened, its
// tables listed with their record counts (the menu captions show them), and
// one lookup in each table. Each file is checked first as the program's
// discovery does: argument 1 is a first start (SQLite's quick check reads
// every page), argument 0 a later one (the files are as they were after
// their last check: fields and indexes only). "rss_MB" is the process's peak
// resident size after it, with every dictionary open.
void BM_StartUpAllDictionaries(benchmark::State& state) {
  Carpeta c(true);
  const bool paginas = state.range(0) != 0;
  for (auto _ : state) {
    platform::scripted::ScriptedServices s;
    Kalyxon k(s.services(), c.ruta);
    std::vector<std::shared_ptr<lexico::Tabla>> abiertas;
    for (const auto& ruta : lexico::ficherosDiccionario(c.ruta)) {
      auto base = k.diccionario().espacio().abre(ruta);
      base->revisa(paginas);
      for (const auto& t : base->tablas()) {
        abiertas.push_back(base->tabla(t.nombre));
        auto cursor = abiertas.back()->mayorQue(u"LOGOS");
        benchmark::DoNotOptimize(cursor.fin());
      }
    }
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    state.counters["rss_MB"] = static_cast<double>(uso.ru_maxrss) / 1024.0;
    state.counters["tables"] = static_cast<double>(abiertas.size());
  }
}
BENCHMARK(BM_StartUpAllDictionaries)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A text of one million words (UTF-8, forms drawn by frequency from Plato's
// list), made once.
const std::string& textoMillon(Kalyxon& k, const fs::path& carpeta) {
  static std::string bytes;
  if (!bytes.empty()) return bytes;
  std::vector<std::u16string> formas;
  std::vector<double> pesos;
  {
    auto t = k.diccionario().espacio().abre(carpeta / "LEXICA_Platon.db")->tabla("Platon");
    for (auto w = t->recorre(lexico::Indice::frecuencia); !w.fin(); w.siguiente()) {
      formas.push_back(w.actual().forma());
      pesos.push_back(w.actual().frecuencia);
    }
  }
  std::mt19937 azar(7);
  std::discrete_distribution<size_t> elige(pesos.begin(), pesos.end());
  std::u16string texto;
  for (int i = 0; i < 1000000; ++i) {
    texto += formas[elige(azar)];
    texto += (i % 12 == 11) ? u".\n" : u" ";
  }
  bytes = lexico::utf8(texto);
  return bytes;
}

// The floor a load is measured against: the same million tokens split at
// blanks and counted in a hash map, nothing else (no letters read, no file).
void BM_CountMillionTokensInMemory(benchmark::State& state) {
  Carpeta c;
  platform::scripted::ScriptedServices s;
  Kalyxon k(s.services(), c.ruta);
  const std::string& bytes = textoMillon(k, c.ruta);
  for (auto _ : state) {
    std::unordered_map<std::string_view, int> cuenta;
    size_t i = 0, tokens = 0;
    while (i < bytes.size()) {
      size_t f = bytes.find_first_of(" .\n", i);
      if (f == std::string::npos) f = bytes.size();
      if (f > i) {
        ++cuenta[std::string_view(bytes).substr(i, f - i)];
        ++tokens;
      }
      i = f + 1;
    }
    state.counters["words"] = static_cast<double>(tokens);
    state.counters["forms"] = static_cast<double>(cuenta.size());
  }
}
BENCHMARK(BM_CountMillionTokensInMemory)->Unit(benchmark::kSecond)->Iterations(1);

// Loading the million words into an empty table (file and commit included).
void BM_LoadMillionWords(benchmark::State& state) {
  Carpeta c;
  platform::scripted::ScriptedServices s;
  Kalyxon k(s.services(), c.ruta);
  const std::string& bytes = textoMillon(k, c.ruta);
  int n = 0;
  for (auto _ : state) {
    auto base = k.diccionario().espacio().abre(c.ruta / ("LEXICA_carga" + std::to_string(n++) + ".db"), true);
    auto tabla = base->creaTabla("Tragicos");
    Carga carga(k.alfabeto(), *tabla);
    auto r = carga.ejecuta(bytes);
    state.counters["words"] = static_cast<double>(r.palabras);
    state.counters["forms"] = static_cast<double>(r.nuevas);
  }
}
BENCHMARK(BM_LoadMillionWords)->Unit(benchmark::kSecond)->Iterations(1);

// Merging a dictionary of 100 000 forms into "completo" (half of them known
// there), as "Añadir al completo" does: one transaction.
void BM_MergeHundredThousandForms(benchmark::State& state) {
  Carpeta c;
  platform::scripted::ScriptedServices s;
  Kalyxon k(s.services(), c.ruta);
  auto& d = k.diccionario();
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(c.ruta / "LEXICA_fuente.db");
    {
      auto t = d.espacio().abre(c.ruta / "LEXICA_fuente.db", true)->creaTabla("Homero");
      auto completo = d.espacio().abre(c.ruta / "LEXICA_completo.db")->tabla("completo");
      lexico::Base::Transaccion tr(t->base());
      int64_t i = 0;
      for (auto w = completo->recorre(lexico::Indice::unicode); !w.fin() && i < 50000; w.siguiente(), ++i)
        t->anade(w.actual().codigo, w.actual().unicode, 3);
      for (int j = 0; j < 50000; ++j) {
        std::u16string forma = u"ξ" + lexico::utf16(std::to_string(j));
        t->anade(u"C" + lexico::utf16(std::to_string(j)), lexico::listaCodigos(forma), 2);
      }
      tr.confirma();
    }
    d.cambiaDiccionario(u"LEXICA_fuente.db", "Homero");
    state.ResumeTiming();
    d.addClasico();
    state.counters["forms"] = static_cast<double>(d.actual()->registros());
  }
}
BENCHMARK(BM_MergeHundredThousandForms)->Unit(benchmark::kSecond)->Iterations(1);

// How often the first candidate of the shipped complete dictionary is the word
// as written, over every running word of a work left out of all its sources
// (Xenophon's Symposium, the fourth work of the corpus file: see
// data/lexica/README.md), with and without the context choice of grave,
// acute and capital. "first_%" and "context_%" are the shares; the test
// Precision.FirstCandidateOnAWorkLeftOutOfTheSources holds floors under them.
void BM_FirstCandidateOnALeftOutWork(benchmark::State& state) {
  const char* env = std::getenv("KALYXON_SHARED_DIR");
  const fs::path corpus = fs::path(env ? env : KALYXON_SHARED_DIR) / "corpus" / "unicode";
  const auto lineas = lineasDeObra(corpus / "xenophon.txt", 4);
  if (lineas.empty()) {
    state.SkipWithError("corpus not available");
    return;
  }
  Carpeta c;
  platform::scripted::ScriptedServices s;
  Kalyxon k(s.services(), c.ruta);
  k.diccionario().cambiaDiccionario(u"LEXICA_completo.db", "completo");
  Acierto a;
  for (auto _ : state) a = mideAcierto(k, lineas);
  const auto palabras = static_cast<double>(a.palabras);
  state.counters["words"] = palabras;
  state.counters["first_%"] = 100.0 * static_cast<double>(a.primera) / palabras;
  state.counters["context_%"] = 100.0 * static_cast<double>(a.contexto) / palabras;
}
BENCHMARK(BM_FirstCandidateOnALeftOutWork)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
