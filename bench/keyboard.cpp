// The keyboard hook's cost per event: every key of the desktop waits for it.
#include <benchmark/benchmark.h>

#include <array>

#include "app/kalyxon.h"
#include "keyboard/tecladohook.h"
#include "platform/scripted.h"

namespace {

using kalyxon::KeyEvent;
namespace flag = kalyxon::flag;

struct Banco {
  kalyxon::platform::scripted::ScriptedServices s;
  kalyxon::Kalyxon k{s.services(), KALYXON_RUNTIME_DIR};
  Banco() { k.form1.chkgri.setValue(1); }
};

// A press of a taken key: swallowed without composing anything.
void BM_DecisionSwallowPress(benchmark::State& state) {
  Banco b;
  const KeyEvent e{'A', 30, 0, 0, 0};
  for (auto _ : state) benchmark::DoNotOptimize(b.k.teclado().tecladoProc(0, e));
}
BENCHMARK(BM_DecisionSwallowPress);

// A key Greek mode does not take (a digit): passed on.
void BM_DecisionPassPress(benchmark::State& state) {
  Banco b;
  const KeyEvent e{'1', 2, 0, 0, 0};
  for (auto _ : state) benchmark::DoNotOptimize(b.k.teclado().tecladoProc(0, e));
}
BENCHMARK(BM_DecisionPassPress);

// Whole letters: press and act-release of each key of "logos ", with the
// composition, the word record and the send.
void BM_LetterRelease(benchmark::State& state) {
  Banco b;
  b.k.form1.mnus.checked = true;
  constexpr std::array<uint32_t, 6> kTeclas{'L', 'O', 'G', 'O', 'S', 32};
  size_t i = 0;
  for (auto _ : state) {
    const uint32_t vk = kTeclas[i];
    i = (i + 1) % kTeclas.size();
    b.k.teclado().tecladoProc(0, KeyEvent{vk, 0, 0, 0, 0});
    benchmark::DoNotOptimize(b.k.teclado().tecladoProc(0, KeyEvent{vk, 0, flag::kUp, 0, 0}));
    if (i == 0) b.s.sender.sent.clear();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LetterRelease);

}  // namespace

BENCHMARK_MAIN();
