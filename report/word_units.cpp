#include "report/word_units.h"

#include <memory>

#include "common/utf8.h"
#include "platform/icu_library.h"
#include "report/change_units.h"

namespace verko {
namespace {

// What a character is to the rules of words: most characters are cut where the dictionary
// says; the others make units of their own.
enum class CharClass : uint8_t {
  kFree,          // cut by the dictionary
  kAlone,         // a unit alone: an invalid byte, ASCII punctuation and blanks
  kAsciiWord,     // ASCII letters, digits and "_", which run together
  kWideDigit,     // ０ to ９, which run together
  kSeparator,     // , . ， ． between two digits of a number
  kKanjiNumeral,  // 〇 一 … 十 百 千 万 億 兆, which run together
};

bool IsKanjiNumeral(uint32_t cp) {
  switch (cp) {
    case 0x3007:
    case 0x4E00:
    case 0x4E8C:
    case 0x4E09:
    case 0x56DB:
    case 0x4E94:
    case 0x516D:
    case 0x4E03:
    case 0x516B:
    case 0x4E5D:
    case 0x5341:
    case 0x767E:
    case 0x5343:
    case 0x4E07:
    case 0x5104:
    case 0x5146:
      return true;
    default:
      return false;
  }
}

CharClass ClassOf(uint32_t cp, bool valid) {
  if (!valid) return CharClass::kAlone;
  if (cp < 0x80) {
    const bool word = (cp >= '0' && cp <= '9') || (cp >= 'A' && cp <= 'Z') ||
                      (cp >= 'a' && cp <= 'z') || cp == '_';
    if (word) return CharClass::kAsciiWord;
    return cp == ',' || cp == '.' ? CharClass::kSeparator : CharClass::kAlone;
  }
  if (cp >= 0xFF10 && cp <= 0xFF19) return CharClass::kWideDigit;
  if (cp == 0xFF0C || cp == 0xFF0E) return CharClass::kSeparator;
  if (IsKanjiNumeral(cp)) return CharClass::kKanjiNumeral;
  return CharClass::kFree;
}

bool IsAsciiDigit(uint32_t cp) {
  return cp >= '0' && cp <= '9';
}

// One character with what joins it.
struct Cluster {
  uint32_t begin = 0;      // in the line's bytes
  uint32_t utf8Begin = 0;  // in the UTF-8 text given to ICU
  uint32_t cp = 0;         // the first character
  CharClass charClass = CharClass::kFree;
  uint32_t token = 0;  // the unit of our own rules it belongs to; 0 for kFree
};

// A break iterator per thread, opened on first use and closed with the thread.
class WordBreaker {
 public:
  ~WordBreaker() {
    if (iterator_ != nullptr) Icu().ubrk_close(iterator_);
  }

  // The positions (UTF-8 byte offsets) where words begin in `utf8`, in order, into *cuts;
  // false when ICU could not cut it.
  bool Cut(std::string_view utf8, std::vector<uint32_t>* cuts) {
    cuts->clear();
    const IcuFunctions& icu = Icu();
    UErrorCode status = U_ZERO_ERROR;
    if (iterator_ == nullptr) {
      iterator_ = icu.ubrk_open(UBRK_WORD, "ja", nullptr, 0, &status);
      if (U_FAILURE(status)) {
        iterator_ = nullptr;
        return false;
      }
    }
    UText text = UTEXT_INITIALIZER;
    icu.utext_openUTF8(&text, utf8.data(), static_cast<int64_t>(utf8.size()), &status);
    icu.ubrk_setUText(iterator_, &text, &status);
    if (U_SUCCESS(status)) {
      for (int32_t at = icu.ubrk_first(iterator_); at != UBRK_DONE; at = icu.ubrk_next(iterator_)) {
        cuts->push_back(static_cast<uint32_t>(at));
      }
    }
    icu.utext_close(&text);
    return U_SUCCESS(status);
  }

 private:
  UBreakIterator* iterator_ = nullptr;
};

// Splits the line into clusters and classes them; *utf8 is the line as UTF-8 for ICU (the
// line itself when it is UTF-8).
void ReadClusters(std::string_view text, TextEncoding encoding, std::vector<Cluster>* clusters,
                  std::string* utf8) {
  clusters->clear();
  utf8->clear();
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = ClusterEnd(text, pos, encoding);
    Cluster cluster;
    cluster.begin = static_cast<uint32_t>(pos);
    const bool valid = DecodeCharacter(text, pos, encoding, &cluster.cp) > 0;
    cluster.charClass = ClassOf(cluster.cp, valid);
    if (encoding == TextEncoding::kUtf8) {
      cluster.utf8Begin = cluster.begin;
    } else {
      cluster.utf8Begin = static_cast<uint32_t>(utf8->size());
      AppendUtf8(valid ? cluster.cp : 0xFFFD, utf8);
    }
    clusters->push_back(cluster);
    pos = end;
  }
}

// Gives the clusters that make one unit by our own rules the same token.
void JoinTokens(std::vector<Cluster>* clusters) {
  std::vector<Cluster>& c = *clusters;
  uint32_t next = 0;
  for (std::size_t k = 0; k < c.size();) {
    const CharClass first = c[k].charClass;
    if (first == CharClass::kFree) {
      c[k++].token = 0;
      continue;
    }
    c[k].token = ++next;
    std::size_t end = k + 1;
    // A separator joins a number only between two digits of the same width.
    auto digitAt = [&](std::size_t i, CharClass digits) {
      if (i >= c.size()) return false;
      return digits == CharClass::kAsciiWord ? IsAsciiDigit(c[i].cp) : c[i].charClass == digits;
    };
    if (first == CharClass::kAsciiWord || first == CharClass::kWideDigit ||
        first == CharClass::kKanjiNumeral) {
      while (end < c.size()) {
        if (c[end].charClass == first) {
          ++end;
        } else if (first != CharClass::kKanjiNumeral && c[end].charClass == CharClass::kSeparator &&
                   digitAt(end - 1, first) && digitAt(end + 1, first)) {
          end += 2;
        } else {
          break;
        }
      }
    }
    for (; k < end; ++k) c[k].token = next;
  }
}

}  // namespace

bool WordUnitsAvailable(std::string* reason) {
  return LoadIcu(reason);
}

void FindWordCuts(std::string_view text, TextEncoding encoding, std::vector<uint8_t>* flags) {
  thread_local WordBreaker breaker;
  thread_local std::vector<Cluster> clusters;
  thread_local std::string utf8;
  thread_local std::vector<uint32_t> icuCuts;
  ReadClusters(text, encoding, &clusters, &utf8);
  JoinTokens(&clusters);
  const bool needsDictionary = [&] {
    for (std::size_t k = 1; k < clusters.size(); ++k) {
      if (clusters[k].token == 0 && clusters[k - 1].token == 0) return true;
    }
    return false;
  }();
  icuCuts.clear();
  // Where the dictionary fails, its characters are cut one by one.
  const bool cutAll =
      needsDictionary && !breaker.Cut(encoding == TextEncoding::kUtf8 ? text : utf8, &icuCuts);
  flags->assign(text.size() + 1, 0);
  (*flags)[0] = (*flags)[text.size()] = kMayCut | kCut;
  std::size_t icu = 0;
  for (std::size_t k = 1; k < clusters.size(); ++k) {
    const Cluster& before = clusters[k - 1];
    const Cluster& cluster = clusters[k];
    if (before.token == cluster.token && cluster.token != 0) continue;
    uint8_t flag = kMayCut;
    if (before.token != 0 || cluster.token != 0 || cutAll) {
      flag |= kCut;
    } else {
      while (icu < icuCuts.size() && icuCuts[icu] < cluster.utf8Begin) ++icu;
      if (icu < icuCuts.size() && icuCuts[icu] == cluster.utf8Begin) flag |= kCut;
    }
    (*flags)[cluster.begin] = flag;
  }
}

}  // namespace verko
