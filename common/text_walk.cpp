#include "text_walk.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__) && !defined(KORAVI_PORTABLE_SCAN)
#include <emmintrin.h>
#define KORAVI_SSE2_SCAN 1
#endif

// How the searches stay linear and fast.
//
// Walking a text character by character costs a branch per byte. Instead the
// searches look at 64 bytes at a time for the bytes a match must have (its
// first and last bytes), and only for a real match ask whether it begins a
// character. That question is answered by looking backwards: the bytes just
// before the position that could be lead bytes pair up from the first of
// them, which itself begins a character (the byte before it is no lead byte,
// so it ends a character whether it is a trail byte or a character of its
// own). An odd number of them means the position is the second byte of a
// two-byte character. The look-back never goes before the last position
// known to begin a character, so every byte is looked at a bounded number of
// times. Nothing here assumes which bytes are lead bytes.

namespace koravi {

namespace {

constexpr size_t kBlock = 64;

inline unsigned LowestBit(uint64_t bits) { return static_cast<unsigned>(__builtin_ctzll(bits)); }
inline unsigned HighestBit(uint64_t bits) { return 63u - static_cast<unsigned>(__builtin_clzll(bits)); }

// 64 bytes of text; each question gives one bit per byte, bit k for byte k.
#ifdef KORAVI_SSE2_SCAN
// The byte values lo..hi, ready to be compared with 16 bytes at a time.
class Range {
 public:
  Range() = default;
  Range(unsigned char lo, unsigned char hi)
      : base_(_mm_set1_epi8(static_cast<char>(lo))), width_(_mm_set1_epi8(static_cast<char>(hi - lo))) {}
  // FF for every byte of v in the range, 00 for the others: (byte - lo)
  // <= (hi - lo) as unsigned bytes, when subtracting the width with
  // saturation leaves zero.
  __m128i In(__m128i v) const {
    return _mm_cmpeq_epi8(_mm_subs_epu8(_mm_sub_epi8(v, base_), width_), _mm_setzero_si128());
  }

 private:
  __m128i base_, width_;
};

inline uint64_t Bits(__m128i a, __m128i b, __m128i c, __m128i d) {
  auto bits = [](__m128i x) { return static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(x))); };
  return bits(a) | bits(b) << 16 | bits(c) << 32 | bits(d) << 48;
}

class Block {
 public:
  explicit Block(const unsigned char* p)
      : a_(Load(p)), b_(Load(p + 16)), c_(Load(p + 32)), d_(Load(p + 48)) {}
  uint64_t Equal(unsigned char c) const {
    const __m128i x = _mm_set1_epi8(static_cast<char>(c));
    return Bits(_mm_cmpeq_epi8(a_, x), _mm_cmpeq_epi8(b_, x), _mm_cmpeq_epi8(c_, x), _mm_cmpeq_epi8(d_, x));
  }
  uint64_t In(const Range& r) const { return Bits(r.In(a_), r.In(b_), r.In(c_), r.In(d_)); }
  // Writes the block to p with `amount` taken from every byte in the range.
  void StoreSubtracting(unsigned char* p, const Range& r, unsigned char amount) const {
    const __m128i delta = _mm_set1_epi8(static_cast<char>(amount));
    Store(p, _mm_sub_epi8(a_, _mm_and_si128(r.In(a_), delta)));
    Store(p + 16, _mm_sub_epi8(b_, _mm_and_si128(r.In(b_), delta)));
    Store(p + 32, _mm_sub_epi8(c_, _mm_and_si128(r.In(c_), delta)));
    Store(p + 48, _mm_sub_epi8(d_, _mm_and_si128(r.In(d_), delta)));
  }

 private:
  static __m128i Load(const unsigned char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void Store(unsigned char* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  __m128i a_, b_, c_, d_;
};
#else
class Range {
 public:
  Range() = default;
  Range(unsigned char lo, unsigned char hi) : lo_(lo), width_(static_cast<unsigned char>(hi - lo)) {}
  bool Has(unsigned char c) const { return static_cast<unsigned char>(c - lo_) <= width_; }

 private:
  unsigned char lo_ = 0, width_ = 0;
};

class Block {
 public:
  explicit Block(const unsigned char* p) : p_(p) {}
  uint64_t Equal(unsigned char c) const {
    uint64_t bits = 0;
    for (size_t k = 0; k < kBlock; ++k) bits |= static_cast<uint64_t>(p_[k] == c) << k;
    return bits;
  }
  uint64_t In(const Range& r) const {
    uint64_t bits = 0;
    for (size_t k = 0; k < kBlock; ++k) bits |= static_cast<uint64_t>(r.Has(p_[k])) << k;
    return bits;
  }
  void StoreSubtracting(unsigned char* p, const Range& r, unsigned char amount) const {
    for (size_t k = 0; k < kBlock; ++k)
      p[k] = static_cast<unsigned char>(p_[k] - (r.Has(p_[k]) ? amount : 0));
  }

 private:
  const unsigned char* p_;
};
#endif

// A set of byte values as at most four ranges.
struct ByteSet {
  int count = 0;  // -1: the set has more ranges than fit
  Range ranges[4];

  void Add(unsigned char first, unsigned char last) {
    if (count < 0) return;
    if (count == 4) { count = -1; return; }
    ranges[count++] = Range(first, last);
  }
  bool Fits() const { return count >= 0; }
};

template <typename Contains>
ByteSet RangesOf(Contains contains) {
  ByteSet set;
  for (int c = 0; c < 256;) {
    if (!contains(static_cast<unsigned char>(c))) { ++c; continue; }
    const int first = c;
    while (c < 256 && contains(static_cast<unsigned char>(c))) ++c;
    set.Add(static_cast<unsigned char>(first), static_cast<unsigned char>(c - 1));
  }
  return set;
}

inline uint64_t In(const Block& block, const ByteSet& set) {
  uint64_t bits = 0;
  for (int r = 0; r < set.count; ++r) bits |= block.In(set.ranges[r]);
  return bits;
}

// The second bytes of the two-byte characters of a block that begins at a
// character boundary, given which of its bytes have lead byte values. Each
// run of such bytes pairs up from its first byte: the characters' second
// bytes are the bytes after the run's first byte at an odd distance from it,
// up to and including the byte just after the run.
uint64_t SecondBytes(uint64_t leads) {
  const uint64_t even = 0x5555555555555555ull;
  const uint64_t after_lead = leads << 1;
  const uint64_t run_starts = leads & ~after_lead;
  // Adding its first bit to a run carries through the run and clears it:
  // only runs that begin at even positions are left.
  const uint64_t even_runs = (leads + (run_starts & ~even)) & leads;
  // After a run that begins at an even position the second bytes are at odd
  // positions, after one that begins at an odd position at even positions.
  return after_lead & (even ^ (even_runs << 1));
}

// Whether `pos` begins a character when the text is walked from `start`,
// a character boundary at or before `pos`.
bool BeginsCharacter(const CodePage& cp, const unsigned char* s, size_t start, size_t pos) {
  size_t q = pos;
  while (q > start && cp.IsLeadByte(s[q - 1])) --q;
  return ((pos - q) & 1) == 0;
}

// Whether a[0, m) and b[0, m) hold the same bytes.
inline bool SameBytes(const unsigned char* a, const unsigned char* b, size_t m) {
  auto same = [&](size_t at, size_t width) {
    uint64_t x = 0, y = 0;
    std::memcpy(&x, a + at, width);
    std::memcpy(&y, b + at, width);
    return x == y;
  };
  if (m >= 8) {
    for (size_t at = 0; at + 8 < m; at += 8)
      if (!same(at, 8)) return false;
    return same(m - 8, 8);
  }
  if (m >= 4) return same(0, 4) && same(m - 4, 4);
  for (size_t at = 0; at < m; ++at)
    if (a[at] != b[at]) return false;
  return true;
}

}  // namespace

size_t FindText(const CodePage& cp, std::string_view text, std::string_view pattern,
                size_t from) {
  const size_t n = text.size();
  const size_t m = pattern.size();
  if (m == 0) return from <= n ? from : kNotFound;
  if (m > n || from > n - m) return kNotFound;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* p = reinterpret_cast<const unsigned char*>(pattern.data());
  const size_t last_start = n - m;
  size_t start = from;  // known to begin a character

  // Is there a match at k, at a character boundary? A match at the second
  // byte of a two-byte character tells that the byte after it begins one.
  auto matches_at = [&](size_t k) {
    if (!SameBytes(s + k, p, m)) return false;
    if (BeginsCharacter(cp, s, start, k)) return true;
    start = k + 1;
    return false;
  };

  size_t i = from;
  while (i + (kBlock - 1) <= last_start) {
    // Starting positions i..i+63 whose first and last bytes are the pattern's.
    uint64_t bits = Block(s + i).Equal(p[0]);
    if (m > 1 && bits) bits &= Block(s + i + m - 1).Equal(p[m - 1]);
    for (; bits; bits &= bits - 1) {
      const size_t k = i + LowestBit(bits);
      if (matches_at(k)) return k;
    }
    i += kBlock;
  }
  for (; i <= last_start; ++i)
    if (s[i] == p[0] && matches_at(i)) return i;
  return kNotFound;
}

size_t FindLastChar(const CodePage& cp, std::string_view text, char c) {
  const size_t n = text.size();
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char uc = static_cast<unsigned char>(c);
  if (n == 0) return kNotFound;
  if (cp.IsLeadByte(uc)) {
    // A lead byte is a character by itself only as the last byte.
    return s[n - 1] == uc && BeginsCharacter(cp, s, 0, n - 1) ? n - 1 : kNotFound;
  }
  // From the end backwards. A byte equal to `c` that is the second byte of a
  // two-byte character lies just after a run of lead byte values, and the
  // next one looked at lies before that run: no byte is looked back over
  // twice.
  size_t end = n;  // no one-byte character of s[end, n) is `c`
  for (;;) {
    size_t k = kNotFound;
    while (end >= kBlock) {
      const uint64_t bits = Block(s + end - kBlock).Equal(uc);
      if (bits) {
        k = end - kBlock + HighestBit(bits);
        break;
      }
      end -= kBlock;
    }
    if (k == kNotFound) {
      while (end > 0 && s[end - 1] != uc) --end;
      if (end == 0) return kNotFound;
      k = end - 1;
    }
    if (BeginsCharacter(cp, s, 0, k)) return k;
    end = k;
  }
}

namespace {

// Capitals of every two-byte character of the running system's code page,
// learnt once: asking the code page costs a conversion per character.
struct CaseTable {
  explicit CaseTable(const CodePage& cp) : upper(65536, 0) {
    bool lead_has[256] = {}, trail_has[256] = {};
    for (unsigned lead = 0; lead < 256; ++lead) {
      if (!cp.IsLeadByte(static_cast<unsigned char>(lead))) continue;
      for (unsigned trail = 0; trail < 256; ++trail) {
        unsigned char out[2];
        if (cp.UpperDoubleByte(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail), out)) {
          upper[lead << 8 | trail] = kChanged | static_cast<uint32_t>(out[0]) << 8 | out[1];
          lead_has[lead] = trail_has[trail] = true;
        }
      }
    }
    capital_leads = Covering(lead_has);
    capital_trails = RangesOf([&](unsigned char c) { return trail_has[c]; });
    if (!capital_trails.Fits()) capital_trails = Covering(trail_has);
  }

  // One range from the first to the last byte of the set: one comparison
  // instead of several, and the few other characters are looked up.
  static ByteSet Covering(const bool (&in)[256]) {
    ByteSet set;
    int first = 256, last = -1;
    for (int c = 0; c < 256; ++c)
      if (in[c]) first = std::min(first, c), last = c;
    if (last >= 0) set.Add(static_cast<unsigned char>(first), static_cast<unsigned char>(last));
    return set;
  }

  static constexpr uint32_t kChanged = 0x10000;
  std::vector<uint32_t> upper;  // by lead << 8 | trail: kChanged | capital, or 0
  // The first and second bytes of the characters that have a capital are
  // in these sets (with a few more).
  ByteSet capital_leads, capital_trails;
};

// Texts from this length on are worth learning the table for.
constexpr size_t kCaseTableFrom = 16 * 1024;

const CaseTable* CaseTableFor(const CodePage& cp, size_t length) {
  if (length < kCaseTableFrom || &cp != &ActiveCodePage()) return nullptr;
  static const CaseTable table(cp);
  return &table;
}

// Upper-cases the characters of o[0, n) that begin in [i, stop), walking
// from i, a character boundary. Returns where the walk ended: stop, or
// stop + 1 after a two-byte character that began at stop - 1.
size_t UpperCaseWalk(const CodePage& cp, const CaseTable* table, unsigned char* o, size_t n,
                     size_t i, size_t stop) {
  while (i < stop) {
    if (cp.IsLeadByte(o[i]) && i + 1 < n) {
      if (table) {
        const uint32_t u = table->upper[static_cast<unsigned>(o[i]) << 8 | o[i + 1]];
        if (u) {
          o[i] = static_cast<unsigned char>(u >> 8);
          o[i + 1] = static_cast<unsigned char>(u);
        }
      } else {
        unsigned char upper[2];
        if (cp.UpperDoubleByte(o[i], o[i + 1], upper)) {
          o[i] = upper[0];
          o[i + 1] = upper[1];
        }
      }
      i += 2;
    } else {
      if (o[i] >= 'a' && o[i] <= 'z') o[i] = static_cast<unsigned char>(o[i] - 'a' + 'A');
      ++i;
    }
  }
  return i;
}

}  // namespace

std::string UpperCase(const CodePage& cp, std::string_view text) {
  const size_t n = text.size();
  const CaseTable* table = CaseTableFor(cp, n);
  const ByteSet leads = n > kBlock ? RangesOf([&](unsigned char c) { return cp.IsLeadByte(c); })
                                   : ByteSet();
  // Without the table every two-byte character has to ask the code page.
  const ByteSet capital_leads = table ? table->capital_leads : leads;
  const bool blocks = n > kBlock && leads.Fits() && capital_leads.Fits();
  const Range small('a', 'z');
  // The text is copied a piece at a time and each piece is changed while it
  // is still in the cache.
  constexpr size_t kPiece = 16 * 1024;
  std::string out;
  out.reserve(n);
  size_t i = 0;  // o[0, i) is done; i begins a character
  while (out.size() < n) {
    out.append(text, out.size(), kPiece);
    unsigned char* o = reinterpret_cast<unsigned char*>(&out[0]);
    const size_t ready = out.size();
    // Blocks of 64 bytes that each have a byte after them, so that a lead
    // byte value in a block always begins a two-byte character.
    while (blocks && ready - i > kBlock) {
      const Block block(o + i);
      const uint64_t lead = In(block, leads);
      if (lead == 0) {  // one-byte characters only
        block.StoreSubtracting(o + i, small, 'a' - 'A');
        i += kBlock;
        continue;
      }
      const uint64_t starts = ~SecondBytes(lead);
      const uint64_t small_in_pairs = block.In(small) & ~(starts & ~lead);
      uint64_t capitals = In(block, capital_leads) & starts;
      if (table) capitals &= In(Block(o + i + 1), table->capital_trails);
      block.StoreSubtracting(o + i, small, 'a' - 'A');
      // Small letters that are bytes of two-byte characters are put back.
      for (uint64_t c = small_in_pairs; c; c &= c - 1)
        o[i + LowestBit(c)] = static_cast<unsigned char>(o[i + LowestBit(c)] + ('a' - 'A'));
      for (uint64_t c = capitals; c; c &= c - 1) {
        unsigned char* at = o + i + LowestBit(c);
        if (!table) {
          UpperCaseWalk(cp, table, o, n, at - o, at - o + 1);
        } else if (const uint32_t u = table->upper[static_cast<unsigned>(at[0]) << 8 | at[1]]) {
          at[0] = static_cast<unsigned char>(u >> 8);
          at[1] = static_cast<unsigned char>(u);
        }
      }
      // A two-byte character that begins at the last byte ends in the next
      // block.
      i += kBlock + ((lead & starts) >> (kBlock - 1));
    }
  }
  UpperCaseWalk(cp, table, reinterpret_cast<unsigned char*>(&out[0]), n, i, n);
  return out;
}

std::string SlashForm(const CodePage& cp, std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); i += CharLength(cp, out, i))
    if (out[i] == '\\') out[i] = '/';
  return out;
}

}  // namespace koravi
