// A whole-file replacement as the adaptation does it, for the peak memory
// and the comparison with other programs:
//   replace_file IN OUT FROM TO
// reads IN whole, replaces FROM by TO, writes the result to OUT and prints
// "input_bytes output_bytes max_rss_bytes".
#include <sys/resource.h>

#include <cstdio>
#include <string>

#include "codepage.h"
#include "replace_root.h"
#include "text_file.h"

int main(int argc, char** argv) {
  using namespace koravi;
  if (argc != 5) {
    std::fprintf(stderr, "usage: replace_file IN OUT FROM TO\n");
    return 2;
  }
  std::string text;
  {
    const std::unique_ptr<FileIo> in = OpenExistingFile(argv[1], OpenMode::kRead);
    if (!in || !ReadWholeText(*in, &text)) {
      std::fprintf(stderr, "replace_file: cannot read %s\n", argv[1]);
      return 1;
    }
  }
  const std::string out = ReplaceDefaultRoot(ActiveCodePage(), text, argv[3], argv[4]);
  FILE* f = std::fopen(argv[2], "wb");
  if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
    std::fprintf(stderr, "replace_file: cannot write %s\n", argv[2]);
    return 1;
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%zu %zu %lld\n", text.size(), out.size(), static_cast<long long>(usage.ru_maxrss) * 1024);
  return 0;
}
