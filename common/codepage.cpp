#include "codepage.h"

namespace koravi {

void CodePage::SetLeadRange(unsigned char first, unsigned char last) {
  for (unsigned c = first; c <= last; ++c) lead_[c] = true;
  has_lead_ = true;
}

namespace {
class SingleByte final : public CodePage {
 public:
  bool UpperDoubleByte(unsigned char, unsigned char, unsigned char*) const override {
    return false;
  }
};
}  // namespace

const CodePage& SingleByteCodePage() {
  static const SingleByte cp;
  return cp;
}

}  // namespace koravi
