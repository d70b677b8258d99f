// The streaming writer writes texts byte for byte as Dump does.
#include <gtest/gtest.h>
#include <rapidjson/writer.h>

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cli/json_writer.hpp"
#include "run_report.hpp"

namespace qelm::cli {
namespace {

std::string Written(std::string_view text) {
  rapidjson::StringBuffer buffer;
  JsonWriter w(buffer);
  w.Value(UserText{text});
  return {buffer.GetString(), buffer.GetSize()};
}

// The program's own texts take the path that skips the UTF-8 check.
std::string WrittenOwn(std::string_view text) {
  rapidjson::StringBuffer buffer;
  JsonWriter w(buffer);
  w.Value(text);
  return {buffer.GetString(), buffer.GetSize()};
}

std::string Dumped(std::string_view text) { return Dump(Json(std::string(text))); }

TEST(JsonWriter, TextsAsDumpWritesThem) {
  const std::vector<std::string> cases{
      "", "王小明", "quote \" and backslash \\ and slash /", "\b\f\n\r\t", std::string("\0\x01\x0b\x1f\x7f", 5),
      "\xff", "\xc0\x80", "\xc2", "\xe7\x8e", "\xe7\x8e\x8b\xe7", "\xe7\x41", "\xed\xa0\x80", "\xed\x9f\xbf",
      "\xe0\x9f\x80", "\xe0\xa0\x80", "\xf0\x8f\xbf\xbf", "\xf0\x90\x80\x80", "\xf4\x8f\xbf\xbf", "\xf4\x90\x80\x80",
      "\xf5\x80", "\x80\x80王", "王\xe7\x8e\x01\"", "\xf0\x9f\x98\x80 emoji"};
  for (const auto& text : cases) EXPECT_EQ(Written(text), Dumped(text)) << Dumped(text);

  // Random byte strings weighted to the bytes that start, continue or
  // break UTF-8 sequences.
  const std::uint8_t bytes[] = {0x00, 0x09, 0x1b, 0x22, 0x41, 0x5c, 0x7f, 0x20, 0x41, 0x61, 0x7e, 0x80, 0x8f, 0x90, 0x9f, 0xa0, 0xbf,
                                0xc1, 0xc2, 0xdf, 0xe0, 0xe7, 0xed, 0xef, 0xf0, 0xf4, 0xf5, 0xff};
  std::uint32_t x = 99;
  for (int n = 0; n < 20000; ++n) {
    std::string text;
    x = x * 1664525u + 1013904223u;
    for (int len = static_cast<int>((x >> 8) % 20); len > 0; --len) {
      x = x * 1664525u + 1013904223u;
      text += static_cast<char>(bytes[(x >> 8) % sizeof bytes]);
    }
    ASSERT_EQ(Written(text), Dumped(text)) << Dumped(text);
  }
}

TEST(JsonWriter, ValidTextsAsDumpWritesThem) {
  const std::string_view pieces[] = {"a", "09", " ", "\"", "\\", "\r\n", "\t", "\x01", "\x1f", "\x7f",
                                     "王", "—", "　", "\xf0\x9f\x98\x80", "é"};
  std::uint32_t x = 7;
  for (int n = 0; n < 5000; ++n) {
    std::string text;
    x = x * 1664525u + 1013904223u;
    for (int count = static_cast<int>((x >> 8) % 30); count > 0; --count) {
      x = x * 1664525u + 1013904223u;
      text += pieces[(x >> 8) % std::size(pieces)];
    }
    ASSERT_EQ(WrittenOwn(text), Dumped(text)) << Dumped(text);
    ASSERT_EQ(Written(text), Dumped(text)) << Dumped(text);
  }
}

TEST(JsonWriter, MomentFieldsKeepTheirOrder) {
  const MomentResult r = *CalcMoment({2000, 2, 4, 20, 35}).result;
  const Json j = ReadBack([&](JsonWriter& w) {
    w.BeginObject();
    WriteMomentFields(w, r);
    w.EndObject();
  });
  ASSERT_EQ(j.size(), 19u);
  EXPECT_EQ(j.begin().key(), "MomentLunarYear");
  EXPECT_EQ(j["JieName"], "立春");
  EXPECT_EQ(j["MomentPillars"][0], 7);
  EXPECT_EQ((--j.end()).key(), "pillars");
}

}  // namespace
}  // namespace qelm::cli

namespace qelm::cli {
namespace {

// The paths that write a value in one piece (number arrays, literal keys
// with a number or a ready text, whole raw values) give Dump's bytes, and
// the commas between them fall where the writer's own values put them.
TEST(JsonWriter, OnePieceValuesAsDumpWritesThem) {
  rapidjson::StringBuffer buffer;
  JsonWriter w(buffer);
  w.BeginObject();
  w.Field("n", -2147483647 - 1);
  w.Field("text", JsonReadyText{"王 a\\r\\nb"});
  w.Field("numbers", std::array{0, -7, 123456});
  w.Field("maybe", std::array<std::optional<std::int32_t>, 3>{std::nullopt, 5, std::nullopt});
  w.Field("big", std::array<std::int64_t, 1>{-9223372036854775807 - 1});
  w.Field("nested", std::array{std::array{1, 2}, std::array{3, 4}});
  w.Key("raw");
  w.BeginArray();
  w.RawValue(R"({"a":")", std::string_view("x"), R"("})");
  w.Value(2);
  w.EndArray();
  w.Members(Member{"m1", std::numeric_limits<int>::min()}, Member{"m2", JsonReadyText{"王\\t"}}, Member{"m3", 42});
  w.Key("inline");
  w.ReadyTexts(std::array<InlineText<8>, 3>{InlineText<8>("甲子"), InlineText<8>(""), InlineText<8>("ab cdefg")});
  w.Key("inner");
  w.BeginObject();
  w.Members(Member{"a", 1});
  w.EndObject();
  w.Field("last", 3);
  w.EndObject();
  const std::string written(buffer.GetString(), buffer.GetSize());

  Json j = Json::object();
  j["n"] = -2147483647 - 1;
  j["text"] = "王 a\r\nb";
  j["numbers"] = {0, -7, 123456};
  j["maybe"] = {nullptr, 5, nullptr};
  j["big"] = {std::int64_t{-9223372036854775807 - 1}};
  j["nested"] = {{1, 2}, {3, 4}};
  j["raw"] = Json::array({Json::object({{"a", "x"}}), 2});
  j["m1"] = std::numeric_limits<int>::min();
  j["m2"] = "王\t";
  j["m3"] = 42;
  j["inline"] = {"甲子", "", "ab cdefg"};
  j["inner"] = Json::object({{"a", 1}});
  j["last"] = 3;
  EXPECT_EQ(written, Dump(j));
}

// The writer's own commas and colons fall where RapidJSON's writer puts
// them: random nestings of objects and arrays holding every kind of value.
TEST(JsonWriter, StructureAsRapidJsonWritesIt) {
  const double doubles[] = {0.0, -0.0, 0.5, -121.25, 1e-7, 123456789.123, 1e21, 2.5e-300};
  std::uint32_t x = 11;
  const auto next = [&x](std::uint32_t bound) {
    x = x * 1664525u + 1013904223u;
    return (x >> 8) % bound;
  };
  for (int n = 0; n < 300; ++n) {
    rapidjson::StringBuffer ours, theirs;
    JsonWriter w(ours);
    rapidjson::Writer<rapidjson::StringBuffer> r(theirs);
    std::string open;  // the brackets open, outermost first
    int key = 0;
    const auto value = [&] {
      // In an object each value follows its key.
      if (!open.empty() && open.back() == '{') {
        std::string k(1, 'k');
        k += std::to_string(key++);
        w.Key(k);
        r.Key(k.c_str());
      }
    };
    for (int step = 0; step < 40 || !open.empty(); ++step) {
      const std::uint32_t what = step < 40 ? next(9) : 8;
      if (what == 8) {  // close
        if (open.empty()) break;
        if (open.back() == '{') w.EndObject(), r.EndObject();
        else w.EndArray(), r.EndArray();
        open.pop_back();
        continue;
      }
      if (open.empty() && step > 0) break;  // one value a line
      value();
      switch (what) {
        case 0: w.BeginObject(), r.StartObject(), open += '{'; break;
        case 1: w.BeginArray(), r.StartArray(), open += '['; break;
        case 2: {
          const int i = static_cast<int>(next(200000)) - 100000;
          w.Value(i), r.Int(i);
          break;
        }
        case 3: w.Value(std::int64_t{-9223372036854775807 - 1}), r.Int64(-9223372036854775807 - 1); break;
        case 4: {
          const double d = doubles[next(std::size(doubles))];
          w.Value(d), r.Double(d);
          break;
        }
        case 5: {
          const bool b = next(2) == 1;
          w.Value(b), r.Bool(b);
          break;
        }
        case 6: w.Null(), r.Null(); break;
        default: w.Value(std::string_view("王 \"a\"")), r.String("王 \"a\""); break;
      }
    }
    ASSERT_EQ(std::string(ours.GetString(), ours.GetSize()), std::string(theirs.GetString(), theirs.GetSize()));
  }
}

// JSON has no form for them: null stands in, and the line stays valid.
TEST(JsonWriter, NumbersThatAreNotFiniteAreNull) {
  rapidjson::StringBuffer buffer;
  JsonWriter w(buffer);
  w.BeginArray();
  w.Value(std::numeric_limits<double>::quiet_NaN());
  w.Value(-std::numeric_limits<double>::infinity());
  w.Value(1.5);
  w.EndArray();
  EXPECT_EQ(std::string(buffer.GetString(), buffer.GetSize()), "[null,null,1.5]");
}

TEST(PillarNameText, NamesAsComposed) {
  for (int s = 0; s <= 10; ++s)
    for (int b = 0; b <= 12; ++b) {
      const Pillar p{Stem{s}, Branch{b}};
      EXPECT_EQ(PillarNameText(p).view(), std::string(p.stem.name()) + std::string(p.branch.name()));
    }
}

}  // namespace
}  // namespace qelm::cli
