// The system's ANSI code page on Windows: lead bytes from GetCPInfo, case
// mapping through LCMapStringW under the code page's own language.
#include <windows.h>

#include "codepage.h"

namespace koravi {
namespace {

LCID LocaleOfCodePage(UINT cp) {
  switch (cp) {
    case 936: return MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT);   // 0x0804
    case 950: return MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), SORT_DEFAULT);  // 0x0404
    case 932: return MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT);             // 0x0411
    case 949: return MAKELCID(MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT), SORT_DEFAULT);               // 0x0412
    default: return LOCALE_SYSTEM_DEFAULT;
  }
}

class WindowsAnsi final : public CodePage {
 public:
  WindowsAnsi() : cp_(GetACP()), lcid_(LocaleOfCodePage(cp_)) {
    CPINFO info;
    if (GetCPInfo(CP_ACP, &info)) {
      for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i]; i += 2)
        SetLeadRange(info.LeadByte[i], info.LeadByte[i + 1]);
    }
  }

  bool UpperDoubleByte(unsigned char lead, unsigned char trail,
                       unsigned char out[2]) const override {
    const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    WCHAR wide[2];
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, in, 2, wide, 2) != 1) return false;
    WCHAR upper[2];
    if (LCMapStringW(lcid_, LCMAP_UPPERCASE, wide, 1, upper, 2) != 1) return false;
    if (upper[0] == wide[0]) return false;
    // Only a capital that the code page holds as a two-byte character
    // replaces the letter; no best-fit substitutes.
    char back[4];
    BOOL used_default = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, upper, 1, back, sizeof back,
                                nullptr, &used_default);
    if (n != 2 || used_default) return false;
    WCHAR check;
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, back, 2, &check, 1) != 1 ||
        check != upper[0])
      return false;
    out[0] = static_cast<unsigned char>(back[0]);
    out[1] = static_cast<unsigned char>(back[1]);
    return true;
  }

 private:
  UINT cp_;
  LCID lcid_;
};

}  // namespace

const CodePage& ActiveCodePage() {
  static const WindowsAnsi cp;
  return cp;
}

}  // namespace koravi
