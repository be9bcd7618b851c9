// Benchmark, not a test: reading playlist files of growing size, among them
// texts crafted to make a careless scanner quadratic (ampersands that never
// end a reference, tags that never close). The complexity fit shows whether
// each reader stays linear in the file's size.
//
//   zv_bench_playlist_read [--benchmark_...]
#include <benchmark/benchmark.h>

#include <string>

#include "audio/playlist.h"
#include "audio/playlist_text.h"

namespace {

// `unit` repeated to about `size` bytes between `head` and `tail`.
std::string Repeated(const std::string& head, const std::string& unit, const std::string& tail,
                     size_t size) {
  std::string text = head;
  while (text.size() + unit.size() <= size) text += unit;
  return text + tail;
}

void Read(benchmark::State& state, const std::string& text, const char* name) {
  for (auto _ : state) {
    Playlist list;
    benchmark::DoNotOptimize(list.ParseFileBytes(text, name, "C:\\Lists\\"));
  }
  state.SetComplexityN(static_cast<int64_t>(text.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

size_t Size(const benchmark::State& state) { return static_cast<size_t>(state.range(0)); }

void BM_M3ULines(benchmark::State& state) {
  Read(state, Repeated("#EXTM3U\r\n", "#EXTINF:200,Song\r\n  Music\\Song.mp3 \r\n", "", Size(state)),
       "list.m3u");
}

void BM_Utf16M3U(benchmark::State& state) {
  const std::string lines = Repeated("", "Music\\Gr\xF6\xDF" "e.mp3\r\n", "", Size(state) / 2);
  std::string utf16 = "\xFF\xFE";
  for (char c : lines) utf16 += std::string{c, '\0'};
  Read(state, utf16, "list.m3u");
}

void BM_AmpersandsInOneValue(benchmark::State& state) {
  Read(state, Repeated("<asx><ref href=\"", "&", "\"/></asx>", Size(state)), "list.asx");
}

void BM_AsxRefs(benchmark::State& state) {
  Read(state, Repeated("<asx>", "<entry><Ref HREF='http://a.example/x?a=1&amp;b=2'/></entry>", "</asx>",
                       Size(state)),
       "list.asx");
}

void BM_UnclosedTags(benchmark::State& state) {
  Read(state, Repeated("<playlist xmlns=\"http://xspf.org/ns/0/\"><track>", "<location", "", Size(state)),
       "list.xspf");
}

void BM_FileUrls(benchmark::State& state) {
  Read(state, Repeated("", "file:///C:/My%20Music/Gr%C3%B6%C3%9Fe.mp3\n", "", Size(state)), "list.m3u");
}

// 32 KB to 2 MB, with a fit of time against size.
void Sizes(benchmark::internal::Benchmark* bench) {
  bench->RangeMultiplier(4)->Range(1 << 15, 1 << 21)->Complexity(benchmark::oN);
}

BENCHMARK(BM_M3ULines)->Apply(Sizes);
BENCHMARK(BM_Utf16M3U)->Apply(Sizes);
BENCHMARK(BM_AmpersandsInOneValue)->Apply(Sizes);
BENCHMARK(BM_AsxRefs)->Apply(Sizes);
BENCHMARK(BM_UnclosedTags)->Apply(Sizes);
BENCHMARK(BM_FileUrls)->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
