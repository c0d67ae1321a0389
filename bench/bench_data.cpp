// Writes the benchmark texts: bench_data DIR SIZE... writes, for every size
// in bytes, DIR/realistic-SIZE.txt, DIR/gbk-SIZE.txt and
// DIR/adversarial-SIZE.txt; an argument KIND-SIZE writes one kind only.
//   realistic    httpd.conf and php.ini lines, mostly ASCII, the default root
//                in both forms now and then
//   gbk          the same with Chinese comments throughout (GB2312 and GBK
//                extension characters, full-width signs and letters)
//   adversarial  stretches of lead bytes only, of the patterns' first bytes
//                again and again, of occurrences back to back (a million in
//                64 MB), of occurrences after lead bytes that take their C,
//                of '~' and '\' as second bytes, of near server markers, and
//                of letters in every form
// The bytes depend only on the kind and the size: a smaller text of a kind
// is the beginning of a larger one, up to the server block that ends every
// text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint32_t Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state_ >> 33);
  }
  uint32_t Below(uint32_t n) { return Next() % n; }
  bool OneIn(uint32_t n) { return Below(n) == 0; }
  template <size_t N>
  const char* Pick(const char* const (&list)[N]) { return list[Below(N)]; }

 private:
  uint64_t state_;
};

const char* const kWords[] = {
    "the", "server", "directory", "module", "file", "request", "client", "default", "value",
    "is", "set", "to", "for", "with", "when", "see", "documentation", "configuration", "of",
    "and", "must", "path", "log", "session", "upload", "memory", "maximum", "script", "allow",
    "php", "apache", "mysql", "extension", "handler", "timeout", "access", "error", "level"};
const char* const kModules[] = {"rewrite", "alias", "dir", "mime", "log_config", "setenvif",
                                "headers", "deflate", "expires", "status", "info", "userdir"};
const char* const kExtensions[] = {"mysql", "gd2", "mbstring", "curl", "sockets", "xml",
                                   "zip", "openssl", "ldap", "imap", "exif", "bz2"};
const char* const kRootLines[] = {
    "ServerRoot \"C:/VELK/apache\"",
    "DocumentRoot \"C:/VELK/www\"",
    "<Directory \"C:/VELK/www/oa\">",
    "ScriptAlias /cgi-bin/ \"C:/VELK/apache/cgi-bin/\"",
    "extension_dir = \"C:\\VELK\\php\\ext\"",
    "session.save_path = \"C:\\VELK\\tmp\"",
    "upload_tmp_dir = \"C:\\VELK\\tmp\\upload\"",
    "include_path = \".;C:\\VELK\\php\\includes\"",
};
const char* const kPlainLines[] = {
    "    Options Indexes FollowSymLinks MultiViews",
    "    AllowOverride None",
    "    Order allow,deny",
    "    Allow from all",
    "</Directory>",
    "AddType application/x-httpd-php .php",
    "ErrorLog logs/error.log",
    "LogFormat \"%h %l %u %t \\\"%r\\\" %>s %b\" common",
    "[Session]",
    "date.timezone = Asia/Shanghai",
    ";error_log = filename",
    "include_path = \".;c:\\php\\includes\"",
    "",
};

// A line of a configuration text, mostly ASCII, without its line end.
void AsciiLine(Random& r, std::string& out) {
  const uint32_t kind = r.Below(100);
  char buffer[160];
  if (kind < 2) {
    out += r.Pick(kRootLines);
  } else if (kind < 30) {
    out += kind < 15 ? "# " : "; ";
    for (int n = 4 + r.Below(10); n > 0; --n) {
      out += r.Pick(kWords);
      out += n > 1 ? " " : ".";
    }
  } else if (kind < 45) {
    const char* m = r.Pick(kModules);
    std::snprintf(buffer, sizeof buffer, "LoadModule %s_module modules/mod_%s.so", m, m);
    out += buffer;
  } else if (kind < 55) {
    std::snprintf(buffer, sizeof buffer, "extension=php_%s.dll", r.Pick(kExtensions));
    out += buffer;
  } else if (kind < 70) {
    const char* const keys[] = {"max_execution_time", "memory_limit", "post_max_size",
                                "Timeout", "KeepAliveTimeout", "MaxKeepAliveRequests"};
    std::snprintf(buffer, sizeof buffer, "%s = %u", r.Pick(keys), 1 + r.Below(3000));
    out += buffer;
  } else {
    out += r.Pick(kPlainLines);
  }
}

void Hanzi(Random& r, std::string& out) {  // a GB2312 character
  out += static_cast<char>(0xB0 + r.Below(0x27));
  out += static_cast<char>(0xA1 + r.Below(0x5E));
}

void ExtensionCharacter(Random& r, std::string& out) {  // lead 81..A0, any trail
  out += static_cast<char>(0x81 + r.Below(0x20));
  const uint32_t t = 0x40 + r.Below(0xBF);
  out += static_cast<char>(t == 0x7F ? 0x80 : t);
}

// A Chinese comment, or a configuration line with Chinese in it.
void GbkLine(Random& r, std::string& out) {
  const uint32_t kind = r.Below(100);
  if (kind < 35) {
    AsciiLine(r, out);
    if (r.OneIn(3)) {
      out += "  ; ";
      for (int n = 3 + r.Below(8); n > 0; --n) Hanzi(r, out);
    }
    return;
  }
  out += r.OneIn(2) ? "; " : "# ";
  for (int n = 10 + r.Below(40); n > 0; --n) {
    const uint32_t what = r.Below(100);
    if (what < 80) Hanzi(r, out);
    else if (what < 88) ExtensionCharacter(r, out);
    else if (what < 92) out += r.OneIn(2) ? "\xA3\xAC" : "\xA1\xA3";  // full-width comma, full stop
    else if (what < 93) { out += "\xA3"; out += static_cast<char>(0xE1 + r.Below(26)); }  // full-width small letter
    else if (what < 94) out += "C:\\VELK\\\xCA\xFD\xBE\xDD";  // C:\VELK\数据
    else { out += ' '; out += r.Pick(kWords); out += ' '; }
  }
  out += r.OneIn(2) ? "\xA1\xA3" : "";
}

// Stretches that make searching and walking hard.
void AdversarialStretch(Random& r, std::string& out) {
  const size_t end = out.size() + 1024 + r.Below(2048);
  switch (r.Below(8)) {
    case 0:  // every byte a lead byte
      while (out.size() < end) out += static_cast<char>(0x81 + r.Below(0x7E));
      break;
    case 1:  // the patterns' first bytes again and again
      while (out.size() < end) out += r.OneIn(2) ? "C:\\VEL" : "C:/VEL";
      break;
    case 2:
    case 3:  // occurrences back to back
      while (out.size() < end) out += r.OneIn(4) ? "C:/VELK/" : "C:\\VELK\\";
      break;
    case 4:  // occurrences after runs of lead byte values: odd runs take the C
      while (out.size() < end) {
        for (int n = 1 + r.Below(6); n > 0; --n) out += static_cast<char>(0x81 + r.Below(0x7E));
        out += "C:\\VELK";
      }
      break;
    case 5:  // '~' and '\' as second bytes
      out += ';';
      while (out.size() < end) {
        out += static_cast<char>(0x81 + r.Below(0x7E));
        out += r.OneIn(2) ? '~' : '\\';
      }
      break;
    case 6:  // server markers that differ only inside
      while (out.size() < end) out += "\r\n#Server and Port Configuration";
      break;
    default:  // small letters, full-width letters and letters as second bytes
      while (out.size() < end) {
        switch (r.Below(4)) {
          case 0: out += static_cast<char>('a' + r.Below(26)); break;
          case 1: out += "\xA3"; out += static_cast<char>(0xE1 + r.Below(26)); break;
          case 2: out += "\xA6"; out += static_cast<char>(0xC1 + r.Below(24)); break;
          default: out += static_cast<char>(0x81 + r.Below(0x7E)); out += static_cast<char>('a' + r.Below(26));
        }
      }
  }
}

const char kFirstLine[] = "# text core benchmark ~\r\n";
const char kServerBlock[] =
    "\r\n\r\n#Server and port Configuration\r\n"
    "       ServerName oa.example.com\r\n"
    "       Listen 8080\r\n";

bool Write(const std::string& dir, const char* kind, size_t size) {
  Random r(kind[0] == 'r' ? 1 : kind[0] == 'g' ? 2 : 3);
  std::string text = kFirstLine;
  text.reserve(size + 8192);
  const size_t body = size - (sizeof kServerBlock - 1);
  while (text.size() < body) {
    if (kind[0] == 'a') AdversarialStretch(r, text);
    else if (kind[0] == 'g') GbkLine(r, text), text += "\r\n";
    else AsciiLine(r, text), text += "\r\n";
  }
  // End the body at a character boundary (GBK), padded with spaces.
  size_t cut = 0;
  while (cut < body) {
    const unsigned char c = static_cast<unsigned char>(text[cut]);
    const size_t len = c >= 0x81 && c <= 0xFE ? 2 : 1;
    if (cut + len > body) break;
    cut += len;
  }
  text.resize(cut);
  text.resize(body, ' ');
  text += kServerBlock;
  const std::string path = dir + "/" + kind + "-" + std::to_string(size) + ".txt";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_data DIR [KIND-]SIZE...\n");
    return 2;
  }
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const size_t dash = arg.find('-');
    const std::string only = dash == std::string::npos ? "" : arg.substr(0, dash);
    const size_t size = std::strtoull(arg.c_str() + (dash == std::string::npos ? 0 : dash + 1), nullptr, 10);
    for (const char* kind : {"realistic", "gbk", "adversarial"}) {
      if (!only.empty() && only != kind) continue;
      if (size < 4096 || !Write(argv[1], kind, size)) {
        std::fprintf(stderr, "bench_data: cannot write %s text of %s bytes\n", kind, argv[i]);
        return 1;
      }
    }
  }
  return 0;
}
