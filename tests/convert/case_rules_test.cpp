#include "convert/rules/case_rules.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace morvane {
namespace {

struct Example {
  const char* name;
  CaseMode mode;
  std::u16string input;
  std::u16string expected;
};

void PrintTo(const Example& e, std::ostream* os) {
  *os << e.name;
}

class CaseRuleExamples : public testing::TestWithParam<Example> {};

TEST_P(CaseRuleExamples, ConvertsAsTheRuleSays) {
  const Example& e = GetParam();
  EXPECT_EQ(ApplyCase(e.input, e.mode), e.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Upper, CaseRuleExamples,
    testing::Values(Example{"accented", CaseMode::UpperCase, u"café über", u"CAFÉ ÜBER"},
                    Example{"greek_cyrillic", CaseMode::UpperCase, u"αβγ где", u"ΑΒΓ ГДЕ"},
                    Example{"digits_and_marks", CaseMode::UpperCase, u"a1-b2!", u"A1-B2!"},
                    // ß has no one-character capital: it stays, and the length is kept.
                    Example{"sharp_s_stays", CaseMode::UpperCase, u"straße", u"STRAßE"},
                    Example{"empty", CaseMode::UpperCase, u"", u""}));

INSTANTIATE_TEST_SUITE_P(
    Lower, CaseRuleExamples,
    testing::Values(Example{"accented", CaseMode::LowerCase, u"ÉCOLE", u"école"},
                    Example{"mixed_scripts", CaseMode::LowerCase, u"ÀB ΓΔ ЖЗ", u"àb γδ жз"},
                    Example{"empty", CaseMode::LowerCase, u"", u""}));

INSTANTIATE_TEST_SUITE_P(
    Title, CaseRuleExamples,
    testing::Values(
        Example{"lowers_the_rest", CaseMode::TitleCase, u"HELLO wORLD", u"Hello World"},
        Example{"apostrophe_and_hyphen_do_not_start_words", CaseMode::TitleCase, u"o'neil jean-luc",
                u"O'neil Jean-luc"},
        Example{"word_starting_with_punctuation_or_digit", CaseMode::TitleCase, u"(note) 1st",
                u"(note) 1st"},
        Example{"tab", CaseMode::TitleCase, u"a\tb", u"A\tB"},
        Example{"line_feed", CaseMode::TitleCase, u"a\nb", u"A\nB"},
        Example{"vertical_tab", CaseMode::TitleCase, u"a\vb", u"A\vB"},
        Example{"form_feed", CaseMode::TitleCase, u"a\fb", u"A\fB"},
        Example{"carriage_return", CaseMode::TitleCase, u"a\rb", u"A\rB"},
        Example{"nul", CaseMode::TitleCase, std::u16string(u"a\0b", 3), std::u16string(u"A\0B", 3)},
        Example{"two_spaces", CaseMode::TitleCase, u"a  b", u"A  B"},
        // Only the seven separators start a word: no-break space and full stop do not.
        Example{"no_break_space_is_not_a_separator", CaseMode::TitleCase, u"a\u00A0b", u"A\u00A0b"},
        Example{"full_stop_is_not_a_separator", CaseMode::TitleCase, u"a.b", u"A.b"},
        Example{"accented_word_start", CaseMode::TitleCase, u"élan ÉTÉ", u"Élan Été"},
        Example{"leading_space", CaseMode::TitleCase, u" x", u" X"},
        Example{"empty", CaseMode::TitleCase, u"", u""}));

INSTANTIATE_TEST_SUITE_P(
    Sentence, CaseRuleExamples,
    testing::Values(
        Example{"only_full_stop_and_question_mark_end_a_sentence", CaseMode::SentenceCase,
                u"hello world! HOW ARE YOU? fine. 3 apples",
                u"Hello world! how are you? Fine. 3 Apples"},
        Example{"abbreviations", CaseMode::SentenceCase, u"e.g. this", u"E.G. This"},
        Example{"capital_kept_then_lowered", CaseMode::SentenceCase, u"THE END", u"The end"},
        Example{"non_basic_latin_letters_do_not_take_the_capital", CaseMode::SentenceCase,
                u"élan vital", u"éLan vital"},
        Example{"digits_do_not_take_the_capital", CaseMode::SentenceCase, u"123abc", u"123Abc"},
        Example{"only_punctuation", CaseMode::SentenceCase, u"...", u"..."},
        Example{"line_breaks_do_not_end_a_sentence", CaseMode::SentenceCase, u"one\nTWO",
                u"One\ntwo"},
        Example{"capital_pending_across_spaces", CaseMode::SentenceCase, u"end.   next",
                u"End.   Next"},
        Example{"greek_untouched", CaseMode::SentenceCase, u"ΑΒΓ abc. ΔΕ", u"ΑΒΓ Abc. ΔΕ"},
        Example{"empty", CaseMode::SentenceCase, u"", u""}));

constexpr CaseMode kAllModes[] = {CaseMode::UpperCase, CaseMode::LowerCase, CaseMode::TitleCase,
                                  CaseMode::SentenceCase};

// Surrogates: a valid pair maps as one character, an unpaired surrogate passes unchanged in
// every mode and position.
TEST(CaseRuleSurrogates, UnpairedSurrogatesPassUnchanged) {
  const std::u16string texts[] = {
      std::u16string{0xD801},                    // lone high
      std::u16string{0xDC28},                    // lone low
      std::u16string{u'a', 0xDC28, u'b'},        // low without high
      std::u16string{u'a', 0xD801, u' ', u'b'},  // high without low
      std::u16string{0xDC28, 0xD801},            // reversed pair
  };
  for (CaseMode mode : kAllModes) {
    for (const auto& text : texts) {
      const std::u16string out = ApplyCase(text, mode);
      ASSERT_EQ(out.size(), text.size());
      for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0xD800 && text[i] <= 0xDFFF) {
          EXPECT_EQ(out[i], text[i]) << "mode " << static_cast<int>(mode) << " at " << i;
        }
      }
    }
  }
}

TEST(CaseRuleSurrogates, PairMapsAsOneCharacter) {
  // DESERET SMALL LETTER LONG I (U+10428) and its capital (U+10400).
  const std::u16string small{0xD801, 0xDC28};
  const std::u16string capital{0xD801, 0xDC00};
  const std::u16string upper = ApplyCase(small, CaseMode::UpperCase);
#ifdef _WIN32
  // Whether the system maps supplementary letters is its own choice; either way the pair
  // stays whole.
  EXPECT_TRUE(upper == capital || upper == small);
#else
  EXPECT_EQ(upper, capital);
  EXPECT_EQ(ApplyCase(capital, CaseMode::LowerCase), small);
  EXPECT_EQ(ApplyCase(u"x " + small + small, CaseMode::TitleCase), u"X " + capital + small);
#endif
  // Sentence case never touches anything outside basic Latin.
  EXPECT_EQ(ApplyCase(small + u"a", CaseMode::SentenceCase), small + u"A");
}

TEST(CaseRuleLimits, LongestCellTextIsConvertedToItsLastUnit) {
  constexpr std::size_t kMaxCell = 32767;
  std::u16string text(kMaxCell - 1, u'.');
  text += u'z';
  const std::u16string sentence = ApplyCase(text, CaseMode::SentenceCase);
  ASSERT_EQ(sentence.size(), kMaxCell);
  EXPECT_EQ(sentence.back(), u'Z');

  std::u16string words;
  while (words.size() < kMaxCell) {
    words += u"wörd ";
  }
  words.resize(kMaxCell);
  words[kMaxCell - 2] = u' ';
  words.back() = u'q';
  const std::u16string title = ApplyCase(words, CaseMode::TitleCase);
  ASSERT_EQ(title.size(), kMaxCell);
  EXPECT_EQ(title.substr(0, 10), u"Wörd Wörd ");
  EXPECT_EQ(title.back(), u'Q');
  const std::u16string upper = ApplyCase(words, CaseMode::UpperCase);
  ASSERT_EQ(upper.size(), kMaxCell);
  EXPECT_EQ(upper.find_first_of(u"wörd"), std::u16string::npos);
  EXPECT_EQ(upper.back(), u'Q');
}

// A deterministic corpus of texts mixing ASCII, accented Latin, Greek, Cyrillic, separators,
// surrogate pairs and unpaired surrogates.
std::vector<std::u16string> GeneratedCorpus() {
  const std::u16string alphabet =
      u"aZ mQ.?!'-\t\n\r\v\f0"
      u"éÉçÇßÿŸıİǅǄǆſ"
      u"αΑσςΣΐΰ"
      u"жЖёЁ"
      u"\u00A0\u3000";
  const std::u16string pairs[] = {{0xD801, 0xDC28}, {0xD801, 0xDC00}, {0xD835, 0xDC00}};
  std::mt19937 rng(20261207);
  std::vector<std::u16string> corpus;
  for (int n = 0; n < 2000; ++n) {
    std::u16string text;
    const int length = static_cast<int>(rng() % 24);
    for (int k = 0; k < length; ++k) {
      const unsigned pick = rng() % 100;
      if (pick < 85) {
        text += alphabet[rng() % alphabet.size()];
      } else if (pick < 95) {
        text += pairs[rng() % 3];
      } else {
        text += static_cast<char16_t>(0xD800 + rng() % 0x800);  // unpaired, either half
      }
    }
    corpus.push_back(text);
  }
  corpus.push_back(std::u16string(1, u'\0'));
  return corpus;
}

TEST(CaseRuleProperties, LengthIsPreservedAndEveryRuleIsIdempotent) {
  for (const std::u16string& text : GeneratedCorpus()) {
    for (CaseMode mode : kAllModes) {
      const std::u16string once = ApplyCase(text, mode);
      ASSERT_EQ(once.size(), text.size());
      ASSERT_EQ(ApplyCase(once, mode), once) << "mode " << static_cast<int>(mode);
    }
  }
}

TEST(CaseRuleProperties, SentenceCaseOnlyTouchesBasicLatinLetters) {
  for (const std::u16string& text : GeneratedCorpus()) {
    const std::u16string out = ApplyCase(text, CaseMode::SentenceCase);
    for (std::size_t i = 0; i < text.size(); ++i) {
      const bool letter = (text[i] | 0x20) >= u'a' && (text[i] | 0x20) <= u'z';
      if (!letter) {
        ASSERT_EQ(out[i], text[i]);
      } else {
        ASSERT_EQ(out[i] | 0x20, text[i] | 0x20);
      }
    }
  }
}

TEST(CaseRuleProperties, TitleCaseAgreesWithLowerCaseAwayFromWordStarts) {
  for (const std::u16string& text : GeneratedCorpus()) {
    const std::u16string lower = ApplyCase(text, CaseMode::LowerCase);
    const std::u16string title = ApplyCase(text, CaseMode::TitleCase);
    for (std::size_t i = 1; i < text.size(); ++i) {
      const char16_t before = lower[i - 1];
      const bool separator = before == 0 || (before >= 9 && before <= 13) || before == u' ';
      const bool second_half_of_pair =
          lower[i] >= 0xDC00 && lower[i] <= 0xDFFF && before >= 0xD800 && before <= 0xDBFF;
      if (!separator && !second_half_of_pair) {
        ASSERT_EQ(title[i], lower[i]) << "at " << i;
      }
    }
  }
}

}  // namespace
}  // namespace morvane

namespace morvane {
namespace {

// The rules read as plainly as they are stated, one code unit at a time, to check the block-wise
// code on every length around its block sizes.
std::u16string PlainSentenceCase(std::u16string text) {
  bool capitalizeNext = true;
  for (char16_t& c : text) {
    if (c == u'.' || c == u'?') {
      capitalizeNext = true;
    } else if (c >= u'a' && c <= u'z') {
      if (capitalizeNext) {
        c -= 32;
        capitalizeNext = false;
      }
    } else if (c >= u'A' && c <= u'Z') {
      if (capitalizeNext) {
        capitalizeNext = false;
      } else {
        c += 32;
      }
    }
  }
  return text;
}

std::u16string PlainAsciiUpper(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'a' && c <= u'z') {
      c -= 32;
    }
  }
  return text;
}

TEST(CaseRuleBlocks, EveryLengthAroundTheBlockSizesMatchesThePlainRule) {
  const std::u16string alphabet = u"aBzZ .?!x\x7F`@[{";  // neighbours of the letter ranges too
  std::mt19937 rng(5);
  for (std::size_t length = 0; length <= 100; ++length) {
    for (int sample = 0; sample < 30; ++sample) {
      std::u16string text;
      for (std::size_t k = 0; k < length; ++k) {
        text += alphabet[rng() % alphabet.size()];
      }
      ASSERT_EQ(ApplyCase(text, CaseMode::SentenceCase), PlainSentenceCase(text))
          << "length " << length;
      ASSERT_EQ(ApplyCase(text, CaseMode::UpperCase), PlainAsciiUpper(text)) << "length " << length;
    }
  }
}

TEST(CaseRuleBlocks, PendingCapitalCrossesBlocksOfNonLetters) {
  for (std::size_t gap : {15u, 16u, 17u, 31u, 32u, 33u, 100u}) {
    const std::u16string text = u"one." + std::u16string(gap, u' ') + u"two";
    EXPECT_EQ(ApplyCase(text, CaseMode::SentenceCase), u"One." + std::u16string(gap, u' ') + u"Two")
        << "gap " << gap;
  }
}

}  // namespace
}  // namespace morvane
