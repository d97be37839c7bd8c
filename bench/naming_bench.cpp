// The naming rules on texts of 1 KB, 64 KB and 1 MB made of the very pieces they remove: the
// worst case for each. Throughput that stays level across the sizes means linear cost.
#include <benchmark/benchmark.h>

#include <string>

#include "shortcut/naming.h"

namespace {

std::u16string Repeat(std::u16string_view piece, std::size_t bytes) {
  std::u16string text;
  while (text.size() * sizeof(char16_t) < bytes) text += piece;
  return text;
}

constexpr std::u16string_view kDesktop = u"c:\\users\\u\\desktop";

template <typename Rule>
void Run(benchmark::State& state, std::u16string_view piece, Rule rule) {
  const std::u16string text = Repeat(piece, static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(rule(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void NormalizeUrl(benchmark::State& state) {
  Run(state, u"HTTP://A/", [](const std::u16string& t) { return pellumar::NormalizeUrl(t); });
}
void NormalizeLinkName(benchmark::State& state) {
  Run(state, u".LNK", [](const std::u16string& t) { return pellumar::NormalizeLinkName(t); });
}
void NormalizeIconPath(benchmark::State& state) {
  Run(state, u".ICO", [](const std::u16string& t) { return pellumar::NormalizeIconPath(t); });
}
void ShortcutPathOnDesktop(benchmark::State& state) {
  Run(state, kDesktop,
      [](const std::u16string& t) { return pellumar::ShortcutPathOnDesktop(t, kDesktop); });
}

}  // namespace

BENCHMARK(NormalizeUrl)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20);
BENCHMARK(NormalizeLinkName)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20);
BENCHMARK(NormalizeIconPath)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20);
BENCHMARK(ShortcutPathOnDesktop)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20);

BENCHMARK_MAIN();
