// The JSON the report commands write is the format data/qelm-report.schema.json
// describes: every line of a thousand random charts and moments is valid under
// it, and the schema describes what every key holds.
#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <rapidjson/error/en.h>
#include <rapidjson/schema.h>
#include <rapidjson/stringbuffer.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calendar/date.hpp"
#include "run_report.hpp"

namespace qelm::cli {
namespace {

rapidjson::Document ReadSchema() {
  std::ifstream file(QELM_SOURCE_DIR "/data/qelm-report.schema.json");
  std::stringstream text;
  text << file.rdbuf();
  rapidjson::Document d;
  d.Parse(text.str().c_str());
  EXPECT_FALSE(d.HasParseError()) << rapidjson::GetParseError_En(d.GetParseError()) << " at "
                                  << d.GetErrorOffset();
  return d;
}

// The schema with one of its definitions as the root: the output of one
// command, rather than any of them.
class Validator {
 public:
  explicit Validator(const char* definition) {
    rapidjson::Document d = ReadSchema();
    d.RemoveMember("oneOf");
    const std::string ref = std::string("#/definitions/") + definition;
    d.AddMember("$ref", rapidjson::Value(ref.c_str(), d.GetAllocator()), d.GetAllocator());
    schema_ = std::make_unique<rapidjson::SchemaDocument>(d);
  }

  // Empty when the line is valid; else where and why not.
  std::string Check(const std::string& line) const {
    rapidjson::Document d;
    d.Parse(line.c_str());
    if (d.HasParseError()) return std::string("not JSON: ") + rapidjson::GetParseError_En(d.GetParseError());
    rapidjson::SchemaValidator v(*schema_);
    if (d.Accept(v)) return {};
    rapidjson::StringBuffer where, rule;
    v.GetInvalidDocumentPointer().StringifyUriFragment(where);
    v.GetInvalidSchemaPointer().StringifyUriFragment(rule);
    return std::string("value ") + where.GetString() + " breaks " + rule.GetString() + " (" +
           v.GetInvalidSchemaKeyword() + ")";
  }

 private:
  std::unique_ptr<rapidjson::SchemaDocument> schema_;
};

struct Sequence {
  std::uint32_t x = 18;
  int next(int bound) {
    x = x * 1664525u + 1013904223u;
    return static_cast<int>((x >> 8) % static_cast<std::uint32_t>(bound));
  }
};

std::string UserMoment(Moment t) {
  std::string text = MomentText(t);
  text[4] = text[7] = '-';
  return text;
}

Moment RandomMoment(Sequence& r) {
  return MakeMoment(1901 + r.next(199), 1 + r.next(12), 1 + r.next(31), r.next(24), r.next(60));
}

std::vector<std::string> ValidLines(const Ran& ran) {
  EXPECT_EQ(ran.status, 0) << ran.err;
  return Lines(ran.out);
}

TEST(JsonSchema, ThousandRandomChartsAreValid) {
  const Validator chart("chart");
  Sequence r;
  const std::array<std::string, 4> names{"王小明", "A \"quoted\" name", "\xff broken", ""};
  std::string input;
  for (int i = 0; i < 1000; ++i) {
    const Moment birth = RandomMoment(r);
    const Moment at = i % 7 == 0 ? birth + std::chrono::minutes{r.next(60 * 24 * 30)} : RandomMoment(r);
    if (at > MakeMoment(2099, 12, 31, 23, 59)) continue;
    input += names[static_cast<std::size_t>(r.next(4))] + "\t" + (i % 2 ? "男" : "女") + "\t" + UserMoment(birth) +
             "\t" + UserMoment(at) + "\n";
  }
  const auto lines = ValidLines(RunReport({"chart", "--batch"}, input));
  ASSERT_GE(lines.size(), 990u);
  for (const std::string& line : lines) ASSERT_EQ(chart.Check(line), "") << line.substr(0, 300);
}

TEST(JsonSchema, ThousandRandomMomentsAreValid) {
  const Validator moment("moment");
  Sequence r;
  std::string input;
  for (int i = 0; i < 1000; ++i) input += UserMoment(RandomMoment(r)) + "\n";
  const auto lines = ValidLines(RunReport({"moment", "--batch"}, input));
  ASSERT_EQ(lines.size(), 1000u);
  for (const std::string& line : lines) ASSERT_EQ(moment.Check(line), "") << line;
}

// A corrected birth, the single-chart commands and a refused batch line.
TEST(JsonSchema, CorrectedBirthsAndErrorLinesAreValid) {
  const Validator chart("chart"), moment("moment"), error("error");
  const Ran c = RunReport({"chart", "--json", "--name", "甲", "--sex", "女", "--birth", "1990-07-01 12:00", "--at",
                           "2024-01-01 00:00", "--longitude", "-74.006", "--zone", "America/New_York", "--time",
                           "solar"});
  ASSERT_EQ(c.status, 0) << c.err;
  EXPECT_EQ(chart.Check(Lines(c.out).at(0)), "");
  EXPECT_NE(c.out.find("\"BirthCorrection\""), std::string::npos);
  const Ran m = RunReport({"moment", "--json", "1990-07-01 12:00", "--longitude", "104.07", "--zone",
                           "Asia/Shanghai", "--time", "solar"});
  ASSERT_EQ(m.status, 0) << m.err;
  EXPECT_EQ(moment.Check(Lines(m.out).at(0)), "");
  const Ran bad = RunReport({"chart", "--batch"}, "甲\t男\t2000-02-30 10:00\t2030-06-15 12:00\n");
  EXPECT_EQ(error.Check(Lines(bad.out).at(0)), "");
  // The kinds are told apart: a chart is no moment, an error no chart.
  EXPECT_NE(moment.Check(Lines(c.out).at(0)), "");
  EXPECT_NE(chart.Check(Lines(bad.out).at(0)), "");
  // A value outside its table, a name that is no pillar and a key the schema
  // does not describe are caught.
  const std::string line = Lines(c.out).at(0);
  const auto replaced = [&line](std::string_view from, std::string_view to) {
    std::string out = line;
    const std::size_t at = out.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? out : out.replace(at, from.size(), to);
  };
  EXPECT_NE(chart.Check(replaced("\"Sex\":0", "\"Sex\":2")), "");
  EXPECT_NE(chart.Check(replaced("\"YearPillar\":\"", "\"YearPillar\":\"X")), "");
  EXPECT_NE(chart.Check(replaced("\"format\":2", "\"format\":2,\"Undescribed\":1")), "");
  EXPECT_NE(chart.Check(replaced("\"BirthCorrection\":{", "\"BirthCorrection\":{\"Undescribed\":1,")), "");
  // A latitude is given, or null: never a made-up 0.
  EXPECT_TRUE(Json::parse(line)["BirthCorrection"]["latitude"].is_null());
  const Ran withLatitude = RunReport({"moment", "--json", "1990-07-01 12:00", "--longitude", "104.07", "--latitude",
                                      "30.67", "--zone", "Asia/Shanghai", "--time", "solar"});
  EXPECT_EQ(moment.Check(Lines(withLatitude.out).at(0)), "");
  EXPECT_EQ(Json::parse(withLatitude.out)["BirthCorrection"]["latitude"], 30.67);
  const Ran found = RunReport({"find-birth", "庚午", "辛巳", "癸酉", "丁巳", "--json"});
  for (const std::string& l : Lines(found.out)) EXPECT_EQ(Validator("findBirth").Check(l), "");
}

// The lines of days: with and without a birth and hours, under both day
// changes; a line is no other command's.
TEST(JsonSchema, DaysAreValid) {
  const Validator days("days"), chart("chart");
  for (const char* change : {"23", "0"}) {
    for (const Ran& ran : {RunReport({"days", "2023-12-20", "2024-02-10", "--json", "--day-change", change}),
                           RunReport({"days", "2024-02-01", "2024-03-10", "--json", "--hours", "--birth",
                                      "1990-05-17 14:30", "--day-change", change})}) {
      const auto lines = ValidLines(ran);
      ASSERT_FALSE(lines.empty());
      for (const std::string& line : lines) {
        ASSERT_EQ(days.Check(line), "") << line.substr(0, 300);
        ASSERT_NE(chart.Check(line), "");
      }
    }
  }
}

// compare, with and without a flow moment and a birthplace; a chart is no
// comparison.
TEST(JsonSchema, ComparisonsAreValid) {
  const Validator compare("compare");
  Sequence r;
  for (int i = 0; i < 40; ++i) {
    const std::string a = UserMoment(RandomMoment(r)), b = UserMoment(RandomMoment(r));
    const std::string at = UserMoment(MakeMoment(1950 + r.next(140), 1 + r.next(12), 1 + r.next(28), 12, 0));
    std::vector<const char*> args{"compare", "--json", "--a-name", "甲 \"方\"", "--a-sex", "男", "--a-birth",
                                  a.c_str(), "--b-name", "乙", "--b-sex", "女", "--b-birth", b.c_str()};
    if (i % 2 == 0) args.insert(args.end(), {"--at", at.c_str()});
    if (i % 5 == 0) args.insert(args.end(), {"--a-place", "臺北市", "--a-time", "standard"});
    const auto lines = ValidLines(RunReport(args));
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(compare.Check(lines[0]), "") << lines[0];
  }
  const Ran c = RunReport({"chart", "--json", "--name", "甲", "--sex", "女", "--birth", "1990-07-01 12:00"});
  EXPECT_NE(compare.Check(Lines(c.out).at(0)), "");
}

// candidates: each stretch, and one the clocks skipped (New York's clocks
// went forward at 02:00 on 2021-03-14), is a candidate and nothing else.
TEST(JsonSchema, CandidateStretchesAreValid) {
  const Validator candidate("candidate"), findBirth("findBirth");
  const Ran r = RunReport({"candidates", "--sex", "女", "--date", "2021-03-14", "--longitude", "-74.006", "--zone",
                           "America/New_York", "--time", "standard", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_GE(lines.size(), 13u);
  int skipped = 0;
  for (const std::string& line : lines) {
    ASSERT_EQ(candidate.Check(line), "") << line;
    EXPECT_NE(findBirth.Check(line), "");
    skipped += line.find("\"pillars\":null") != std::string::npos;
  }
  EXPECT_EQ(skipped, 1);
  // A chart cast as a candidate says so in a key of its own.
  const Ran chart = RunReport({"chart", "--json", "--name", "甲", "--sex", "男", "--birth", "2021-03-14 12:00", "--at",
                               "2024-01-01 00:00", "--hour-unknown"});
  ASSERT_EQ(chart.status, 0) << chart.err;
  EXPECT_EQ(Validator("chart").Check(Lines(chart.out).at(0)), "");
  EXPECT_NE(chart.out.find(R"("HourCandidate":{"index":7,"count":13,"first":"2021-03-14 11:00","last":"2021-03-14 12:59"})"),
            std::string::npos);
}

// Every key is described, and so is what each number stands for: a property
// with a number or an array of numbers says so in its description or in the
// definition it refers to.
TEST(JsonSchema, EveryKeyIsDescribed) {
  const rapidjson::Document d = ReadSchema();
  const auto& definitions = d["definitions"];
  EXPECT_EQ(definitions["format"]["enum"][0].GetInt(), kJsonFormat);
  std::vector<std::string> undescribed;
  const auto described = [&](const rapidjson::Value& v) {
    if (v.HasMember("description")) return true;
    if (!v.HasMember("$ref")) return false;
    const std::string ref = v["$ref"].GetString();
    const std::string name = ref.substr(ref.rfind('/') + 1);
    return definitions.HasMember(name.c_str()) && definitions[name.c_str()].HasMember("description");
  };
  for (auto def = definitions.MemberBegin(); def != definitions.MemberEnd(); ++def) {
    if (!def->value.HasMember("properties")) continue;
    for (auto p = def->value["properties"].MemberBegin(); p != def->value["properties"].MemberEnd(); ++p) {
      if (!described(p->value)) undescribed.push_back(std::string(def->name.GetString()) + "." + p->name.GetString());
    }
  }
  EXPECT_TRUE(undescribed.empty()) << undescribed.front();
  // Every object anywhere in the schema refuses keys it does not describe.
  std::vector<std::string> open;
  const auto walk = [&open](const auto& self, const rapidjson::Value& v, const std::string& where) -> void {
    if (v.IsArray())
      for (rapidjson::SizeType i = 0; i < v.Size(); ++i) self(self, v[i], where + "/" + std::to_string(i));
    if (!v.IsObject()) return;
    if (v.HasMember("properties") &&
        !(v.HasMember("additionalProperties") && v["additionalProperties"].IsFalse()))
      open.push_back(where);
    for (auto m = v.MemberBegin(); m != v.MemberEnd(); ++m) self(self, m->value, where + "/" + m->name.GetString());
  };
  walk(walk, d, "");
  EXPECT_TRUE(open.empty()) << open.front();
}

}  // namespace
}  // namespace qelm::cli
