// Quoting for, and splitting of, a Windows-style command line.
#include "commandline/quoting.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

TEST(Quoting, ExactForms) {
  struct Case {
    const char* text;
    const char* quoted;   // quote_argument
    const char* wrapped;  // wrap_in_quotes
  };
  const Case cases[] = {
      {"plain", "plain", "\"plain\""},
      {"a\\b", "a\\b", "\"a\\b\""},
      {"a\\\\b", "a\\\\b", "\"a\\\\b\""},
      {"C:\\ws", "C:\\ws", "\"C:\\ws\""},
      // A trailing backslash is harmless bare, but doubled before a closing quote.
      {"C:\\ws\\", "C:\\ws\\", "\"C:\\ws\\\\\""},
      {"C:\\ws\\\\", "C:\\ws\\\\", "\"C:\\ws\\\\\\\\\""},
      {"My Project", "\"My Project\"", "\"My Project\""},
      {"D:\\My Work\\", "\"D:\\My Work\\\\\"", "\"D:\\My Work\\\\\""},
      {"", "\"\"", "\"\""},
      {"a\tb", "\"a\tb\"", "\"a\tb\""},
      {"a\nb", "\"a\nb\"", "\"a\nb\""},
      {"a\vb", "\"a\vb\"", "\"a\vb\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\"", "\"say \\\"hi\\\"\""},
      {"\"", "\"\\\"\"", "\"\\\"\""},
      // a\"b: the backslash before the quote is doubled, the quote escaped.
      {"a\\\"b", "\"a\\\\\\\"b\"", "\"a\\\\\\\"b\""},
      {"-Dx=1", "-Dx=1", "\"-Dx=1\""},
      {"caf\xc3\xa9\r", "caf\xc3\xa9\r", "\"caf\xc3\xa9\r\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
    EXPECT_EQ(quote_argument(c.text), c.quoted);
    EXPECT_EQ(wrap_in_quotes(c.text), c.wrapped);
  }
}

TEST(Quoting, JoinUsesSingleBlanks) {
  EXPECT_EQ(join_command_line({}), "");
  EXPECT_EQ(join_command_line({"a"}), "a");
  EXPECT_EQ(join_command_line({"\"p\"", "", "b c", "d"}), "\"p\"  b c d");
}

TEST(Splitting, WindowsRuntimeRules) {
  struct Case {
    const char* what;
    std::string line;
    Strings expected;
  };
  const std::vector<Case> cases = {
      {"empty line", "", {""}},
      {"quoted program", "\"C:\\Prod\\x.exe\" a", {"C:\\Prod\\x.exe", "a"}},
      {"program has no escapes", "C:\\a\\\"b c\" d", {"C:\\a\\b c", "d"}},
      {"program ends in backslash", "\"C:\\dir\\\" a", {"C:\\dir\\", "a"}},
      {"program with tab inside quotes", "\"a\tb\"\tc", {"a\tb", "c"}},
      {"2n backslashes and a quote delimit", "p a\\\\\"b c\"", {"p", "a\\b c"}},
      {"2n+1 backslashes give a literal quote", "p a\\\\\\\"b", {"p", "a\\\"b"}},
      {"one backslash escapes the quote", "p \\\"", {"p", "\""}},
      {"other backslashes are literal", "p a\\\\b c\\", {"p", "a\\\\b", "c\\"}},
      {"doubled quote inside quotes", "p \"a\"\"b\"", {"p", "a\"b"}},
      {"doubled quote then blank stays quoted", "p \"a\"\" b\"", {"p", "a\" b"}},
      {"quotes join pieces", "p a\"b c\"d", {"p", "ab cd"}},
      {"empty quoted argument", "p \"\" x", {"p", "", "x"}},
      {"unterminated quote", "p \"open end", {"p", "open end"}},
      {"blanks and tabs separate", "p  a \t b\t ", {"p", "a", "b"}},
      {"newline and \\v do not", "p a\nb c\vd", {"p", "a\nb", "c\vd"}},
      {"quoted trailing backslashes", "p \"a\\\\\" b", {"p", "a\\", "b"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(split_command_line(c.line), c.expected);
  }
}

// Text with the characters that tend to break quoting: blanks, tabs,
// quotes, runs of backslashes (also at the end), line ends, \v and
// non-ASCII bytes; never NUL, which no command line can carry.
class ArgumentGenerator {
 public:
  explicit ArgumentGenerator(unsigned seed) : engine_(seed) {}

  std::string argument() {
    std::string text;
    const int length = pick(0, 14);
    for (int i = 0; i < length; ++i) {
      switch (pick(0, 9)) {
        case 0: text.append(pick(1, 5), '\\'); break;
        case 1: text += '"'; break;
        case 2: text += ' '; break;
        case 3: text += '\t'; break;
        case 4: text += "\n\v\r"[pick(0, 2)]; break;
        case 5: text += static_cast<char>(pick(0x80, 0xff)); break;
        case 6: text += static_cast<char>(pick(1, 0x7f)); break;
        default: text += "aZ9-=:/."[pick(0, 7)]; break;
      }
    }
    if (pick(0, 5) == 0) text.append(pick(1, 4), '\\');  // trailing run
    return text;
  }

  // A program path: anything but a double quote, which it cannot hold.
  std::string program() {
    std::string text = argument();
    for (char& c : text) {
      if (c == '"') c = '_';
    }
    return text;
  }

  int pick(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(engine_);
  }

 private:
  std::mt19937 engine_;
};

void check_round_trip(std::string (*quote)(const std::string&), unsigned seed) {
  ArgumentGenerator generate(seed);
  for (int round = 0; round < 3000; ++round) {
    Strings expected{generate.program()};
    Strings elements{'"' + expected[0] + '"'};
    const int count = generate.pick(0, 6);
    for (int i = 0; i < count; ++i) {
      expected.push_back(generate.argument());
      elements.push_back(quote(expected.back()));
    }
    const std::string line = join_command_line(elements);
    ASSERT_EQ(split_command_line(line), expected)
        << "round " << round << ", line " << testing::PrintToString(line);
  }
}

TEST(RoundTrip, QuotedArgumentsSplitBackExactly) {
  check_round_trip(quote_argument, 20240611u);
}

TEST(RoundTrip, WrappedArgumentsSplitBackExactly) {
  check_round_trip(wrap_in_quotes, 77u);
}

TEST(RoundTrip, HandPickedTroublemakers) {
  const Strings arguments = {
      "", "\\", "\\\\", "\"", "\"\"", "\\\"", "a\\", "a \\", "\\\\\\\"\\",
      " ", "\t", "\n", "\v", "\"a b\"", "-data", "\xff\xfe", "x\"\" y",
      "C:\\Program Files\\", "\\\\server\\share\\"};
  for (auto quote : {quote_argument, wrap_in_quotes}) {
    Strings elements{"\"C:\\Program Files\\Prod\\.\\velmora\\velmora.exe\""};
    Strings expected{"C:\\Program Files\\Prod\\.\\velmora\\velmora.exe"};
    for (const std::string& argument : arguments) {
      elements.push_back(quote(argument));
      expected.push_back(argument);
    }
    EXPECT_EQ(split_command_line(join_command_line(elements)), expected);
  }
}

}  // namespace
