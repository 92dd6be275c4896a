// Conversion speed: the converters in memory, and `kalyxon convert --from
// betacode` against Debian's beta2uni (package unibetacode) on the same large
// BetaCode file, with the ratio of their speeds printed at the end.
//
// The BetaCode file is made in the set-up from the corpus texts (through the
// program's own Unicode -> BetaCode writer); without the corpus, from a
// passage repeated to the same size. KALYXON_SHARED names the shared data
// folder when the build tree is not beside it.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

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

// Processor seconds (user + system) of one run of a shell command, the best
// of `veces`: on a shared machine the wall clock measures the other load more
// than the programs.
double segundos(const std::string& orden, int veces = 3) {
  auto cpu = [] {
    rusage r{};
    getrusage(RUSAGE_CHILDREN, &r);
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
  };
  double mejor = 1e30;
  for (int i = 0; i < veces; ++i) {
    double t0 = cpu();
    if (std::system(orden.c_str()) != 0) return -1;
    double s = cpu() - t0;
    if (s < mejor) mejor = s;
  }
  return mejor;
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
  std::string f = "'" + gFichero.string() + "'";
  double nuestro = segundos(std::string(KALYXON_RUNTIME_DIR) +
                            "/kalyxon convert --from betacode --keep-lines " + f + " > /dev/null");
  double suyo = std::system("command -v beta2uni > /dev/null 2>&1") == 0
                    ? segundos("beta2uni < " + f + " > /dev/null")
                    : -1;
  fs::remove(gFichero);
  std::printf("\nBetaCode file: %.1f MB\n", mb);
  if (nuestro > 0) std::printf("kalyxon convert --from betacode: %.3f s of processor, %.1f MB/s\n", nuestro, mb / nuestro);
  if (suyo > 0) std::printf("beta2uni:                        %.3f s of processor, %.1f MB/s\n", suyo, mb / suyo);
  if (nuestro > 0 && suyo > 0)
    std::printf("ratio (beta2uni time / kalyxon time): %.2f\n", suyo / nuestro);
  else
    std::printf("ratio: not measured (%s)\n", nuestro > 0 ? "beta2uni not installed" : "kalyxon failed");
  return 0;
}
