// Conversion speed: the converters in memory, and `kalyxon convert --from
// betacode` against Debian's beta2uni (package unibetacode) on the same large
// BetaCode file, with the ratio of their speeds printed at the end; then the
// same text in each legacy face through `kalyxon convert --from FACE`,
// against the same beta2uni time.
//
// The BetaCode file is made in the set-up from the corpus texts (through the
// program's own Unicode -> BetaCode writer); without the corpus, from a
// passage repeated to the same size. KALYXON_SHARED names the shared data
// folder when the build tree is not beside it.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "conversion/conversores.h"
#include "conversion/tablas.h"
#include "util/cp1252.h"
#include "util/utf.h"

namespace {

namespace fs = std::filesystem;
namespace cv = kalyxon::conversion;

std::shared_ptr<const cv::Tablas> gTablas;
std::u16string gBeta;       // BetaCode text
std::u16string gUnicode;    // the same in Unicode
std::u16string gAthenian;   // and in the Athenian font
fs::path gFichero;          // gBeta as a file

std::string leeBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void preparaTextos() {
  gTablas = cv::Tablas::carga(fs::path(KALYXON_RUNTIME_DIR) / "ALPHA.db");
  const char* env = std::getenv("KALYXON_SHARED");
  fs::path corpus = fs::path(env ? env : KALYXON_SHARED_DIR) / "corpus" / "unicode";
  for (const char* f : {"homer.txt", "plato.txt", "xenophon.txt", "aesop.txt", "aristotle.txt",
                        "tragedians.txt"})
    if (fs::exists(corpus / f)) gUnicode += kalyxon::util::fromUtf8(leeBytes(corpus / f));
  if (gUnicode.empty()) {
    const std::u16string pasaje = kalyxon::util::fromUtf8(
        "μῆνιν ἄειδε θεὰ Πηληιάδεω Ἀχιλῆος οὐλομένην, ἣ μυρί’ Ἀχαιοῖς ἄλγε’ ἔθηκε,\n"
        "πολλὰς δ’ ἰφθίμους ψυχὰς Ἄιδι προίαψεν ἡρώων, αὐτοὺς δὲ ἑλώρια τεῦχε κύνεσσιν\n");
    while (gUnicode.size() < (12u << 20)) gUnicode += pasaje;
  }
  gBeta = cv::aBetaCode(*gTablas, gUnicode);
  std::u16string informe;
  gAthenian = cv::traducea(*gTablas, gUnicode, cv::cara::kAthenian, informe);
  gFichero = fs::temp_directory_path() / ("kalyxon-bench-" + std::to_string(::getpid()) + ".beta");
  std::ofstream(gFichero, std::ios::binary) << kalyxon::cp1252::encode(gBeta);
}

void BM_TraBet(benchmark::State& st) {
  for (auto _ : st) benchmark::DoNotOptimize(cv::traBet(*gTablas, gBeta, true));
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(gBeta.size()));
}
BENCHMARK(BM_TraBet)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_TraduceAthenian(benchmark::State& st) {
  std::u16string informe;
  for (auto _ : st)
    benchmark::DoNotOptimize(cv::traduce(*gTablas, gAthenian, cv::cara::kAthenian, informe));
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) *
                       static_cast<int64_t>(gAthenian.size()));
}
BENCHMARK(BM_TraduceAthenian)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_TraduceaAthenian(benchmark::State& st) {
  std::u16string informe;
  for (auto _ : st)
    benchmark::DoNotOptimize(cv::traducea(*gTablas, gUnicode, cv::cara::kAthenian, informe));
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) *
                       static_cast<int64_t>(gUnicode.size()));
}
BENCHMARK(BM_TraduceaAthenian)->Unit(benchmark::kMillisecond)->Iterations(2);

// Processor seconds (user + system) and wall seconds of one run of a shell
// command, each the best of `veces`: on a shared machine the wall clock
// measures the other load more than the programs. Negative when it fails.
struct Tiempo {
  double cpu = -1, pared = -1;
};
Tiempo segundos(const std::string& orden, int veces = 3) {
  auto cpu = [] {
    rusage r{};
    getrusage(RUSAGE_CHILDREN, &r);
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
  };
  Tiempo mejor{1e30, 1e30};
  for (int i = 0; i < veces; ++i) {
    double t0 = cpu();
    auto p0 = std::chrono::steady_clock::now();
    if (std::system(orden.c_str()) != 0) return {};
    double pared = std::chrono::duration<double>(std::chrono::steady_clock::now() - p0).count();
    mejor.cpu = std::min(mejor.cpu, cpu() - t0);
    mejor.pared = std::min(mejor.pared, pared);
  }
  return mejor;
}

void imprime(const char* que, const Tiempo& t, double mb) {
  std::printf("%-34s %.3f s of processor (%.1f MB/s), %.3f s wall\n", que, t.cpu, mb / t.cpu, t.pared);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    preparaTextos();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_convert: %s\n", e.what());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  double mb = static_cast<double>(fs::file_size(gFichero)) / 1e6;
  const std::string convierte = std::string(KALYXON_RUNTIME_DIR) + "/kalyxon convert --keep-lines ";
  auto citado = [](const fs::path& p) { return "'" + p.string() + "'"; };
  Tiempo nuestro = segundos(convierte + "--from betacode " + citado(gFichero) + " > /dev/null");
  Tiempo suyo = std::system("command -v beta2uni > /dev/null 2>&1") == 0
                    ? segundos("beta2uni < " + citado(gFichero) + " > /dev/null")
                    : Tiempo{};
  fs::remove(gFichero);
  std::printf("\nBetaCode file: %.1f MB\n", mb);
  if (nuestro.cpu >= 0) imprime("kalyxon convert --from betacode:", nuestro, mb);
  if (suyo.cpu >= 0) imprime("beta2uni:", suyo, mb);
  if (nuestro.cpu > 0 && suyo.cpu > 0)
    std::printf("ratio (beta2uni time / kalyxon time): %.2f of processor, %.2f wall\n",
                suyo.cpu / nuestro.cpu, suyo.pared / nuestro.pared);
  else
    std::printf("ratio: not measured (%s)\n", nuestro.cpu >= 0 ? "beta2uni not installed" : "kalyxon failed");

  // The same text typed in each legacy face (what the face cannot spell is
  // reported, to /dev/null here).
  std::printf("\nThe same text in each face, against beta2uni's time on the BetaCode file:\n");
  for (auto [nombre, cara] : {std::pair{"athenian", cv::cara::kAthenian}, {"greek", cv::cara::kGreek},
                              {"graeca", cv::cara::kGraeca}, {"graece", cv::cara::kGraece},
                              {"sgreek", cv::cara::kSgreek}}) {
    std::u16string informe;
    const std::string bytes =
        kalyxon::cp1252::encode(cv::traducea(*gTablas, gUnicode, cara, informe, {true}));
    fs::path f = fs::temp_directory_path() / ("kalyxon-bench-" + std::to_string(::getpid()) + "." + nombre);
    std::ofstream(f, std::ios::binary) << bytes;
    Tiempo t = segundos(convierte + "--from " + nombre + " --report /dev/null " + citado(f) + " > /dev/null");
    fs::remove(f);
    const std::string que = std::string("kalyxon convert --from ") + nombre + ":";
    if (t.cpu < 0) {
      std::printf("%s failed\n", que.c_str());
      continue;
    }
    imprime(que.c_str(), t, static_cast<double>(bytes.size()) / 1e6);
    if (suyo.cpu > 0)
      std::printf("%-34s %.2f of processor, %.2f wall\n", "  ratio to beta2uni:", suyo.cpu / t.cpu, suyo.pared / t.pared);
  }
  return 0;
}
