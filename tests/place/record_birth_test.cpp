// The birth of a person of the person file: the moment its fields name, at
// the birthplace the companion file holds for it, or why there is none.
#include "place/record_birth.hpp"

#include <gtest/gtest.h>

#include "place/places.hpp"
#include "place/stored_place.hpp"

namespace qelm {
namespace {

records::PersonRecord Record(records::Fields f) {
  records::PersonRecord r;
  r.fields = std::move(f);
  return r;
}

TEST(RecordBirth, TheFieldsAtTheBirthplace) {
  const records::Fields plain{"林美", "女", "2001", "2", "3", "4", "5"};
  const records::Fields placed{"陳大文", "男", "1975", "8", "21", "14", "5"};
  const std::vector<KnownPlace> chengdu = FindPlaces("成都", 1);
  ASSERT_FALSE(chengdu.empty());
  const StoredBirthPlace born{chengdu.front().place(), TimeMode::Solar};
  records::PlaceBook book;
  records::ApplyPlaceChange(book, {std::nullopt, placed, ToPlaceEntry(born)});

  // Without a place: the clock time as entered, the day as chosen.
  const RecordBirth a = BirthOfRecord(Record(plain), book, DayChange::AtMidnight);
  ASSERT_TRUE(a.birth) << a.problem;
  EXPECT_EQ(a.name, "林美");
  EXPECT_EQ(a.sex, Sex::Female);
  EXPECT_FALSE(a.correction);
  EXPECT_EQ(a.birth->moment, CalcMoment({2001, 2, 3, 4, 5}, DayChange::AtMidnight).result->moment);
  EXPECT_EQ(a.birth->reading, TimeMode::Clock);
  EXPECT_EQ(a.birth->dayChange, DayChange::AtMidnight);

  // With one: the moment the correction gives, as the person window casts it.
  const RecordBirth b = BirthOfRecord(Record(placed), book);
  ASSERT_TRUE(b.birth) << b.problem;
  EXPECT_EQ(b.sex, Sex::Male);
  ASSERT_TRUE(b.correction);
  const CorrectionOutcome expected = CorrectStoredBirth({1975, 8, 21, 14, 5}, born);
  ASSERT_TRUE(expected);
  EXPECT_EQ(b.birth->moment, CorrectedMoment(*expected.correction).result->moment);
  EXPECT_EQ(b.birth->reading, TimeMode::Solar);
  EXPECT_NE(b.birth->MomentHourBranch, CalcMoment({1975, 8, 21, 14, 5}).result->MomentHourBranch);

  // No birth, with the person named in the reason.
  records::PersonRecord damaged = Record(plain);
  damaged.source = records::PersonRecord::Source{.line = 3, .field_count = 5, .line_end = "\r\n", .valid_big5 = true, .overlong = false};
  records::PlaceBook unreadable = records::ParsePlaceFile("林美\t女\t2001\t2\t3\t4\t5\tx\n");
  ASSERT_NE(records::UnreadablePlaceOf(unreadable, plain), nullptr);
  const std::pair<RecordBirth, const char*> refused[] = {
      {BirthOfRecord(Record({"甲", "男", "1990", "2", "30", "10", "0"}), book), "無效"},
      {BirthOfRecord(Record({"甲", "男", "1990", "2", "3", "24", "0"}), book), "無效"},
      {BirthOfRecord(Record({"甲", "男", "1890", "2", "3", "10", "0"}), book), "1901"},
      {BirthOfRecord(damaged, book), "無法讀取"},
      {BirthOfRecord(Record(plain), unreadable), "出生地"},
  };
  for (const auto& [r, says] : refused) {
    EXPECT_FALSE(r.birth) << says;
    EXPECT_NE(r.problem.find(says), std::string::npos) << r.problem;
    EXPECT_NE(r.problem.find("「" + r.name + "」"), std::string::npos) << r.problem;
  }
}

}  // namespace
}  // namespace qelm
