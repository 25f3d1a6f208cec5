// Reading automation scripts: what JSON values become, and which scripts are
// refused with which message.
#include "tools/script.h"

#include <string>

#include <gtest/gtest.h>

#include "testing/expect_throw.h"

namespace plotvane {
namespace {

TEST(ScriptTest, JsonValuesBecomeScriptValues) {
  const struct {
    const char* json;
    ScriptValue expected;
  } cases[] = {
      {"null", std::monostate()},
      {"true", true},
      {"false", false},
      {"0", int32_t{0}},
      {"-2147483648", int32_t{-2147483647 - 1}},
      {"2147483647", int32_t{2147483647}},
      {"2147483648", 2147483648.0},
      {"-2147483649", -2147483649.0},
      {"18446744073709551615", 18446744073709551615.0},
      {"1.0", 1.0},
      {"1e3", 1000.0},
      {"-0.5", -0.5},
      {"\"12\"", std::string("12")},
      {"\"\\u00c5\\ud83d\\ude00\"", std::string("\xC3\x85\xF0\x9F\x98\x80")},
  };
  for (const auto& c : cases) {
    const Script script = ParseScript(std::string("[{\"put\": \"Width\", \"value\": ") + c.json + "}]");
    ASSERT_EQ(script.steps.size(), 1u);
    EXPECT_EQ(script.steps[0].value, c.expected) << c.json;
  }
}

TEST(ScriptTest, ReadsBothFormsOfAScript) {
  const Script bare = ParseScript(R"([{"get": "ReadName", "args": [0]}, {"call": "ClearData"}])");
  EXPECT_FALSE(bare.continue_on_error);
  ASSERT_EQ(bare.steps.size(), 2u);
  EXPECT_EQ(bare.steps[0].kind, StepKind::kGet);
  EXPECT_EQ(bare.steps[0].args.size(), 1u);
  EXPECT_EQ(bare.steps[1].kind, StepKind::kCall);

  const Script object = ParseScript(
      R"({"onError": "continue", "steps": [{"get": "PNGPie", "save": "a b.png"}]})");
  EXPECT_TRUE(object.continue_on_error);
  ASSERT_EQ(object.steps.size(), 1u);
  EXPECT_EQ(object.steps[0].save, "a b.png");
  EXPECT_FALSE(ParseScript(R"({"onError": "stop", "steps": []})").continue_on_error);
}

TEST(ScriptTest, RefusesMalformedScriptsNamingTheStep) {
  const struct {
    const char* json;
    const char* message;
  } cases[] = {
      {R"([{"get": "A"}, {"get": "B"}, {"get": "C"}, {"put": "Title"}])",
       "step 3: \"put\" needs a \"value\""},
      {R"([{"set": "Width", "value": 1}])", "step 0: unknown step kind \"set\""},
      {R"([{"value": 1}])", "step 0: unknown step kind: a step needs \"put\", \"get\" or \"call\""},
      {R"([{"get": "A", "call": "B"}])", "step 0: a step has only one of \"put\", \"get\" and \"call\""},
      {R"([{"get": 5}])", "step 0: \"get\" must be a member name (a string)"},
      {R"([{"get": "A", "value": 1}])", "step 0: \"value\" belongs to \"put\" only"},
      {R"([{"put": "A", "value": 1, "args": []}])", "step 0: \"put\" takes no \"args\""},
      {R"([{"put": "A", "value": 1, "save": "x"}])",
       "step 0: \"save\" belongs to \"get\" and \"call\" only"},
      {R"([{"get": "A", "args": {}}])", "step 0: \"args\" must be an array"},
      {R"([{"get": "A", "args": [1, {}]}])",
       "step 0: argument 1 must be a number, a string, true, false or null"},
      {R"([{"put": "A", "value": [1]}])",
       "step 0: \"value\" must be a number, a string, true, false or null"},
      {R"([{"get": "A", "save": ""}])", "step 0: \"save\" must be a file path (a non-empty string)"},
      {R"([{"get": "A", "save": "a\u0000b"}])",
       "step 0: \"save\" must be a file path (a non-empty string)"},
      {R"([{"get": "A", "saveAs": "x"}])", "step 0: unknown field \"saveAs\""},
      {R"([{"get": "A"}, 7])", "step 1: a step must be an object"},
      {R"({"onError": "resume", "steps": []})", "\"onError\" must be \"stop\" or \"continue\""},
      {R"({"onError": true, "steps": []})", "\"onError\" must be \"stop\" or \"continue\""},
      {R"({"steps": {}})", "\"steps\" must be an array"},
      {R"({"onError": "stop"})", "the script has no \"steps\""},
      {R"({"steps": [], "step": []})", "unknown field \"step\" in the script"},
      {R"("steps")", "a script is an object with \"steps\" or an array of steps"},
      {R"([{"put": "A", "value": 1e400}])", "not JSON: number overflow parsing '1e400'"},
      {R"([{"get": "A"})", "not JSON: "},
      {"", "not JSON: "},
  };
  for (const auto& c : cases) {
    try {
      ParseScript(c.json);
      ADD_FAILURE() << "accepted: " << c.json;
    } catch (const ScriptError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u)
          << c.json << "\n  gave: " << e.what() << "\n  want: " << c.message;
    }
  }
}

TEST(ScriptTest, RefusesDeepNestingAndOversizedTextWithoutParsingIt) {
  const std::string deep = "[{\"get\": \"A\", \"args\": [" + std::string(100000, '[') +
                           std::string(100000, ']') + "]}]";
  EXPECT_THROW(ParseScript(deep), ScriptError);
  const std::string huge(kMaxScriptBytes + 1, ' ');
  EXPECT_THROW_MSG(ParseScript(huge), ScriptError, "the script is larger than 16 MiB");
}

}  // namespace
}  // namespace plotvane
