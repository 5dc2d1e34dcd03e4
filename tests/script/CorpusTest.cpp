// One corpus of small algorithms (gcd, factorials, primes, strings, case, try, nested procedures, arrays)
// written in each language gives the trace a Pascal compiler gave for the PascalScript text.
#include <fstream>
#include <sstream>

#include "tests/script/ScriptTesting.h"

namespace script_test {
namespace {

String ReadFile(const String& Name) {
  std::ifstream file(String(K58_SCRIPT_CORPUS) + "/" + Name, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<String> ExpectedTrace() {
  std::vector<String> lines;
  std::istringstream text(ReadFile("Corpus.expected"));
  String line;
  while (std::getline(text, line)) lines.push_back(line);
  return lines;
}

struct CorpusCase {
  const char* Language;
  const char* File;
};

class CorpusTest : public ::testing::TestWithParam<CorpusCase> {};

TEST_P(CorpusTest, GivesThePascalTrace) {
  TScriptHost host(GetParam().Language);
  const String result = host.Run(ReadFile(GetParam().File));
  ASSERT_NE(result.compare(0, 6, "error "), 0) << result;
  ASSERT_EQ(result.find("raise "), String::npos) << result;
  const std::vector<String> expected = ExpectedTrace();
  ASSERT_EQ(expected.size(), 44u);
  EXPECT_EQ(host.Trace(), expected);
}

INSTANTIATE_TEST_SUITE_P(Languages, CorpusTest,
                         ::testing::Values(CorpusCase{"PascalScript", "Corpus.pas"}, CorpusCase{"C++Script", "Corpus.cpps"},
                                           CorpusCase{"BasicScript", "Corpus.bas"}, CorpusCase{"JScript", "Corpus.js"}),
                         [](const ::testing::TestParamInfo<CorpusCase>& Info) {
                           String name = Info.param.Language;
                           return name == "C++Script" ? String("CppScript") : name;
                         });

}  // namespace
}  // namespace script_test
