// The three text forms of the server address hold exactly the documented
// bytes for any host and port: the client settings always name the port,
// the login URL leaves it out only when it is exactly "80", and the written
// server block is the writing marker and two lines, each ended by CR LF.
// Input: host NUL port (the port may hold further NUL bytes).
#include "fuzz_support.h"
#include "server_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string_view> f = fuzz::Fields(data, size, 2);
  const std::string host(f[0]), port(f[1]);

  FUZZ_CHECK(koravi::BuildClientSettings(host, port) ==
             "[Setting]\r\nQuilloURL=http://" + host + ":" + port + "/");

  const std::string url = koravi::BuildLoginUrl(host, port);
  const bool default_port = port.size() == 2 && port[0] == '8' && port[1] == '0';
  FUZZ_CHECK(url == "http://" + host + (default_port ? "" : ":" + port));

  FUZZ_CHECK(koravi::BuildServerBlock(host, port) ==
             "\r\n\r\n#Server and port Configuration\r\n       ServerName " + host +
                 "\r\n       Listen " + port + "\r\n");
  return 0;
}
