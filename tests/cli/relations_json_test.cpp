// "Relations" and "FlowRelations" in the chart's JSON.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "cli/relations_json.hpp"
#include "run_report.hpp"

namespace qelm::cli {
namespace {

TEST(RelationsJson, NatalAndFlowRelationsOfAChart) {
  // 庚辰 年 戊寅 月 壬辰 日 庚戌 時; at 2030-06-15 the third luck pillar, 辛巳.
  const Ran r = RunReport({"chart", "--name", "王小明", "--sex", "男", "--birth", "2000-02-04 20:35", "--at",
                           "2030-06-15 12:00", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Json j = Json::parse(r.out);
  EXPECT_EQ(j["Relations"].dump(),
            R"([{"kind":"拱合","positions":["月","時"],"chars":"寅戌","element":"火"},)"
            R"({"kind":"六沖","positions":["年","時"],"chars":"辰戌","element":null},)"
            R"({"kind":"六沖","positions":["日","時"],"chars":"辰戌","element":null},)"
            R"({"kind":"自刑","positions":["年","日"],"chars":"辰辰","element":null}])");

  const std::set<std::string> natal{"年", "月", "日", "時"};
  const std::set<std::string> flowing{"運", "流年", "流月", "流日", "流時"};
  const std::set<std::string> forming{"天干五合", "六合", "三合", "半合", "拱合", "三會"};
  const Json& flow = j["FlowRelations"];
  ASSERT_TRUE(flow.is_array());
  ASSERT_FALSE(flow.empty());
  for (const Json& rel : flow) {
    int fromFlow = 0;
    for (const Json& p : rel["positions"]) {
      EXPECT_TRUE(natal.contains(p) || flowing.contains(p)) << p;
      fromFlow += flowing.contains(p);
    }
    EXPECT_GE(fromFlow, 1) << rel.dump();
    EXPECT_EQ(rel["chars"].get<std::string>().size(), 3 * rel["positions"].size()) << rel.dump();
    EXPECT_EQ(rel["element"].is_string(), forming.contains(rel["kind"])) << rel.dump();
  }
  // 運 巳 against the natal 寅: 相刑 and 六害.
  const Json punish = Json::parse(R"({"kind":"相刑","positions":["月","運"],"chars":"寅巳","element":null})");
  const Json harm = Json::parse(R"({"kind":"六害","positions":["月","運"],"chars":"寅巳","element":null})");
  EXPECT_NE(std::ranges::find(flow, punish), flow.end());
  EXPECT_NE(std::ranges::find(flow, harm), flow.end());
}

// The lists written from pieces made once are, byte for byte, those composed
// relation by relation from RelationsOf, for random pillars at the positions
// a chart gives (the luck pillar only sometimes, some pillars not valid;
// every entry comes in both orders many times over).
TEST(RelationsJson, PiecesWriteWhatTheComposedRelationsSay) {
  std::mt19937 random(28);
  const auto number = [&](int n) { return 1 + static_cast<int>(random() % static_cast<unsigned>(n)); };
  std::size_t relations = 0;
  for (int round = 0; round < 2000; ++round) {
    std::vector<PlacedPillar> pillars;
    const bool luck = round % 3 != 0;
    for (int p = 0; p < kPositionCount; ++p) {
      if (static_cast<Position>(p) == Position::Luck && !luck) continue;
      const bool invalid = random() % 20 == 0;
      pillars.push_back({static_cast<Position>(p), {invalid ? Stem{} : Stem{number(10)}, Branch{number(12)}}});
    }
    rapidjson::StringBuffer fast, composed;
    JsonWriter a(fast), b(composed);
    a.BeginObject();
    WriteRelations(a, pillars);
    a.EndObject();
    const ChartRelations r = RelationsOf(pillars);
    b.BeginObject();
    b.Key("Relations");
    WriteRelationList(b, r.natal);
    b.Key("FlowRelations");
    WriteRelationList(b, r.flow);
    b.EndObject();
    ASSERT_EQ(std::string(fast.GetString(), fast.GetSize()), std::string(composed.GetString(), composed.GetSize()))
        << "round " << round;
    relations += r.natal.size() + r.flow.size();
  }
  EXPECT_GT(relations, 2000u * 20);
}

}  // namespace
}  // namespace qelm::cli
