// Times the text core on the generated texts, next to the floor: copying the
// text into a freshly allocated buffer of the result's size.
//   core_bench DATA_DIR [google benchmark options]
// Every text DATA_DIR/KIND-SIZE.txt gets one benchmark per function, named
// FUNCTION/KIND/SIZE (text in the cache) and, from 1 MB on,
// FUNCTION/KIND/SIZE/cold (text in memory only); each is repeated and
// reported by its minimum ("min"), in CPU time.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <emmintrin.h>
#include <malloc.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "codepage.h"
#include "replace_root.h"
#include "server_block.h"
#include "text_walk.h"

using namespace koravi;

// Every block of 64 KB or more is mapped fresh from the system and unmapped
// when freed, as the result of a setup program's one rewrite is: the C
// library would otherwise hand warm pages back to the next repetition,
// sometimes and not always. The floor and the functions alike.
namespace {
constexpr size_t kFreshFrom = 64 * 1024;
constexpr size_t kHeader = 16;  // the mapped length, or 0; keeps the alignment

void* Allocate(size_t size) {
  if (size >= kFreshFrom) {
    void* p = mmap(nullptr, size + kHeader, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    *static_cast<size_t*>(p) = size + kHeader;
    return static_cast<char*>(p) + kHeader;
  }
  void* p = std::malloc(size + kHeader);
  if (!p) throw std::bad_alloc();
  *static_cast<size_t*>(p) = 0;
  return static_cast<char*>(p) + kHeader;
}

void Free(void* block) noexcept {
  if (!block) return;
  char* p = static_cast<char*>(block) - kHeader;
  if (const size_t mapped = *reinterpret_cast<size_t*>(p)) munmap(p, mapped);
  else std::free(p);
}
}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, size_t) noexcept { Free(p); }
void operator delete[](void* p, size_t) noexcept { Free(p); }

namespace {

// What the setup programs replace: the default root of PHP's settings by a
// longer real root.
constexpr std::string_view kFrom = kDefaultRoot;
constexpr std::string_view kTo = "E:\\KORAVI\\OA";

std::string ReadFile(const std::string& path) {
  std::string data;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return data;
  std::fseek(f, 0, SEEK_END);
  data.resize(static_cast<size_t>(std::ftell(f)));
  std::fseek(f, 0, SEEK_SET);
  if (std::fread(&data[0], 1, data.size(), f) != data.size()) data.clear();
  std::fclose(f);
  return data;
}

// The floor: `size` bytes written into a fresh buffer, copied from the text.
std::string CopyInto(std::string_view text, size_t size) {
  std::string out;
  out.reserve(size);
  while (out.size() < size) out.append(text.substr(0, size - out.size()));
  return out;
}

using Function = std::function<size_t(std::string_view)>;

// Each function returns something of its result, so that nothing is left out.
std::vector<std::pair<std::string, Function>> Functions(size_t replaced_size) {
  const CodePage& cp = ActiveCodePage();
  return {
      {"floor", [](std::string_view t) { return CopyInto(t, t.size()).size(); }},
      {"floor_replace",
       [replaced_size](std::string_view t) { return CopyInto(t, replaced_size).size(); }},
      {"replace",
       [&cp](std::string_view t) { return ReplaceDefaultRoot(cp, t, kFrom, kTo).size(); }},
      {"parse",
       [&cp](std::string_view t) { return ParseServerBlock(cp, t).port.value_or("").size(); }},
      {"merge",
       [&cp](std::string_view t) { return MergeServerBlock(cp, t, "srv01", "8080").size(); }},
      {"upper", [&cp](std::string_view t) { return UpperCase(cp, t).size(); }},
      {"find",  // every occurrence of the default root, as the replacement finds them
       [&cp](std::string_view t) {
         size_t count = 0;
         for (size_t pos = 0; (pos = FindText(cp, t, kFrom, pos)) != kNotFound; pos += kFrom.size())
           ++count;
         return count;
       }},
      {"find_last", [&cp](std::string_view t) { return FindLastChar(cp, t, '~'); }},
  };
}

double Minimum(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

// Puts the text out of every cache, so that it is read from memory.
void Evict(std::string_view t) {
  for (size_t i = 0; i < t.size(); i += 64) _mm_clflush(t.data() + i);
  _mm_mfence();
}

// Brings the text into the cache, as far as it fits.
void Touch(std::string_view t) {
  unsigned sum = 0;
  for (size_t i = 0; i < t.size(); i += 64) sum += static_cast<unsigned char>(t[i]);
  benchmark::DoNotOptimize(sum);
}

}  // namespace

int main(int argc, char** argv) {
  // Smaller blocks come from a heap that keeps its pages, as in a program
  // that has run for a while.
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  benchmark::Initialize(&argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: core_bench DATA_DIR [benchmark options]\n");
    return 2;
  }
  const std::string dir = argv[1];
  std::vector<std::pair<size_t, std::string>> files;  // size, kind
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      const size_t dash = name.find('-');
      if (dash == std::string::npos || name.size() < 4 || name.substr(name.size() - 4) != ".txt")
        continue;
      files.emplace_back(std::stoull(name.substr(dash + 1)), name.substr(0, dash));
    }
    closedir(d);
  }
  std::sort(files.begin(), files.end());
  static std::map<std::string, std::unique_ptr<std::string>> texts;
  std::map<std::string, std::string_view> largest;  // by kind
  for (const auto& [size, kind] : files) {
    const std::string id = kind + "/" + std::to_string(size);
    auto& text = texts[id] = std::make_unique<std::string>(ReadFile(dir + "/" + kind + "-" + std::to_string(size) + ".txt"));
    if (text->size() != size) {
      std::fprintf(stderr, "core_bench: cannot read %s\n", id.c_str());
      return 1;
    }
    largest[kind] = *text;  // the sizes come in ascending order
  }
  for (const auto& [size, kind] : files) {
    const std::string id = kind + "/" + std::to_string(size);
    // Every call is timed as a first pass over its text: the branch
    // predictor could otherwise learn a text that is passed over again and
    // again (it does, for a megabyte of Chinese text). So the calls go round
    // the file's text and further pieces of the same size from the largest
    // text of the kind, some 16 MB in all.
    std::vector<std::string_view> variants{*texts[id]};
    const std::string_view from = largest[kind];
    for (size_t at = size; variants.size() < 64 && variants.size() * size < (16u << 20) && at + size <= from.size(); at += size)
      variants.push_back(from.substr(at, size));
    const size_t replaced_size = ReplaceDefaultRoot(ActiveCodePage(), variants[0], kFrom, kTo).size();
    const bool large = size >= (64u << 20);
    for (auto& [name, function] : Functions(replaced_size)) {
      // The text is brought into the cache before each call, as after
      // reading the file; from 1 MB on also put out of it ("cold"), for
      // time per byte that does not depend on the cache's size. From 64 MB
      // on the cache holds too little of it to matter: cold only.
      for (const bool cold : {false, true}) {
        if (cold ? size < (1u << 20) : large) continue;
        benchmark::RegisterBenchmark((name + "/" + id + (cold ? "/cold" : "")).c_str(),
                                     [variants, function, cold](benchmark::State& state) {
                                       size_t next = 0;
                                       for (auto _ : state) {
                                         const std::string_view t = variants[next++ % variants.size()];
                                         state.PauseTiming();
                                         cold ? Evict(t) : Touch(t);
                                         state.ResumeTiming();
                                         benchmark::DoNotOptimize(function(t));
                                       }
                                       state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * variants[0].size()));
                                     })
            ->Unit(benchmark::kMillisecond)
            // Many short repetitions: their minimum is what the machine
            // can do when nothing else runs.
            ->MinTime(size >= (4u << 20) ? 0.005 : 0.01)
            ->Repetitions(large ? 5 : size >= (4u << 20) ? 9 : 15)
            ->ComputeStatistics("min", Minimum)
            ->ReportAggregatesOnly(true);
      }
    }
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
