// GBK (code page 936) for the native build, with the two-byte case mapping
// taken from the C library's Unicode tables, which agree with the system's
// mapping on Windows for the letters GBK holds.
#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <cstring>

#include "codepage.h"

namespace koravi {
namespace {

class NativeGbk final : public CodePage {
 public:
  NativeGbk() {
    SetLeadRange(0x81, 0xFE);
    to_wide_ = iconv_open("UTF-32LE", "GBK");
    from_wide_ = iconv_open("GBK", "UTF-32LE");
    utf8_ = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  }

  bool UpperDoubleByte(unsigned char lead, unsigned char trail,
                       unsigned char out[2]) const override {
    const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    unsigned int wide = 0;
    size_t got = 0;
    if (!Convert(to_wide_, in, 2, reinterpret_cast<char*>(&wide), 4, &got) || got != 4)
      return false;
    unsigned int upper = utf8_ ? towupper_l(wide, utf8_) : towupper(wide);
    if (upper == wide) return false;
    unsigned char back[4];
    if (!Convert(from_wide_, reinterpret_cast<const char*>(&upper), 4,
                 reinterpret_cast<char*>(back), sizeof back, &got) ||
        got != 2)
      return false;
    out[0] = back[0];
    out[1] = back[1];
    return true;
  }

 private:
  static bool Convert(iconv_t cd, const char* in, size_t in_len, char* out,
                      size_t out_len, size_t* produced) {
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    char* dst = out;
    size_t left = out_len;
    if (iconv(cd, &src, &in_len, &dst, &left) == static_cast<size_t>(-1) || in_len != 0)
      return false;
    *produced = out_len - left;
    return true;
  }

  iconv_t to_wide_;
  iconv_t from_wide_;
  locale_t utf8_;
};

}  // namespace

const CodePage& ActiveCodePage() {
  static const NativeGbk cp;
  return cp;
}

}  // namespace koravi
