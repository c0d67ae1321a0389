// The system's ANSI code page as the tools see it: which bytes begin a
// two-byte character, and how a two-byte character is upper-cased.
#pragma once

#include <memory>

namespace koravi {

class CodePage {
 public:
  virtual ~CodePage() = default;

  bool IsLeadByte(unsigned char c) const { return lead_[c]; }
  bool HasLeadBytes() const { return has_lead_; }

  // Upper-cases one two-byte character. Returns false, leaving `out`
  // untouched, when the character has no two-byte capital in this code page
  // (it is then kept as it is).
  virtual bool UpperDoubleByte(unsigned char lead, unsigned char trail,
                               unsigned char out[2]) const = 0;

 protected:
  void SetLeadRange(unsigned char first, unsigned char last);

 private:
  bool lead_[256] = {};
  bool has_lead_ = false;
};

// The code page of the running system, fixed when first asked for. On
// Windows it is the ANSI code page (GetACP) with the system's case mapping;
// elsewhere it is GBK (936) with an equivalent mapping, so that the same
// cases can be checked on both.
const CodePage& ActiveCodePage();

// A code page without lead bytes: every byte is a character of its own.
const CodePage& SingleByteCodePage();

}  // namespace koravi
