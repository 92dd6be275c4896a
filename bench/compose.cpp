// The cost of composing one letter: the lookups run inside the handling of
// every key, so a composition must take microseconds, not a database query.
#include <benchmark/benchmark.h>

#include "app/kalyxon.h"
#include "greek/alfabeto.h"
#include "greek/compositor.h"
#include "keyboard/diacriticos.h"
#include "platform/scripted.h"

namespace {

struct Banco {
  kalyxon::platform::scripted::ScriptedServices s;
  kalyxon::Kalyxon k{s.services(), KALYXON_RUNTIME_DIR};
  Banco() {
    auto& f = k.form1;
    f.mnus.checked = f.mnuks.checked = f.mnups.checked = f.mnuesp.checked = f.mnuiota.checked = true;
  }
};

// One lookup of a letter with three pending marks.
void BM_BuscaGriego(benchmark::State& state) {
  Banco b;
  auto& f = b.k.form1;
  for (auto _ : state) {
    f.nAcc = 3;
    f.nEsp = 2;
    f.nIot = 1;
    benchmark::DoNotOptimize(b.k.compositor().buscaGriego('W', false, false));
  }
}
BENCHMARK(BM_BuscaGriego);

// A dead key and its letter, as typed: ponDiacritico then daGriego.
void BM_DeadKeyAndLetter(benchmark::State& state) {
  Banco b;
  for (auto _ : state) {
    b.k.diacriticos().ponDiacritico(222, false);
    benchmark::DoNotOptimize(b.k.compositor().daGriego('O', 0));
  }
}
BENCHMARK(BM_DeadKeyAndLetter);

// A word with every rule at work: initial diphthong (automatic breathing
// moved), k+s, long vowel + iota, final sigma at the separator.
void BM_Word(benchmark::State& state) {
  Banco b;
  const int32_t teclas[] = {'A', 'I', 'K', 'S', 'W', 'I', 'S', 32};
  for (auto _ : state)
    for (int32_t t : teclas) benchmark::DoNotOptimize(b.k.compositor().daGriego(t, 0));
  state.SetItemsProcessed(state.iterations() * 8);
}
BENCHMARK(BM_Word);

// Loading ALPHA.db into the in-memory indexes, once per start.
void BM_CargaAlfabeto(benchmark::State& state) {
  Banco b;
  const auto db = b.k.carpeta / "ALPHA.db";
  for (auto _ : state) benchmark::DoNotOptimize(b.k.alfabeto().carga(db));
}
BENCHMARK(BM_CargaAlfabeto);

}  // namespace

BENCHMARK_MAIN();
