// "Relations" and "FlowRelations" in the chart's JSON.
#include <gtest/gtest.h>

#include <set>
#include <string>

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

}  // namespace
}  // namespace qelm::cli
