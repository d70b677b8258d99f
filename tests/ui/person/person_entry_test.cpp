#include "ui/person/person_entry.hpp"

#include <gtest/gtest.h>

#include <QWidget>

#include "tests/ui/test_app.hpp"

namespace qelm::ui {
namespace {

// A record shown in the entry and read back as its change is the record
// itself, whatever its selectors could not show (hand-edited rows, an entry
// made without choices); as a new record it holds what the selectors
// remember. The birth moment is there once year, month, day and hour are.
TEST(PersonEntry, ARecordShownIsReadBackAsItWas) {
  TestApp();
  struct Case {
    records::Fields fields;
    const char* remembered;  // the five remembered choices, as 輸入 stores them
    bool birth;
  };
  const Case cases[] = {
      {{"甲", "男", "1990", "5", "17", "14", "30"}, "1990 5 17 14 30", true},
      {{"乙", "女", "2099", "12", "31", "23", ""}, "2099 12 31 23 0", true},
      {{"丁", "男", "0", "0", "0", "0", "0"}, "0 0 0 0 0", false},
      {{"戊", "女", "1980", "2", "30", "x", "75"}, "1980 2 0 0 0", false},
      {{"己", "男", "1800", "6", "10", "8", ""}, "0 6 10 8 0", false},
  };
  QWidget window;
  PersonEntry entry(&window);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fields[records::kName]);
    entry.showFields(c.fields);
    EXPECT_EQ(entry.changedRecord(c.fields), c.fields);
    const records::Fields fresh = entry.newRecord();
    std::string remembered;
    for (std::size_t field = records::kYear; field <= records::kMinute; ++field)
      remembered += (remembered.empty() ? "" : " ") + fresh[field];
    EXPECT_EQ(remembered, c.remembered);
    EXPECT_EQ(entry.name(), c.fields[records::kName]);
    EXPECT_EQ(entry.sex(), c.fields[records::kSex] == "男" ? Sex::Male : Sex::Female);
    EXPECT_EQ(entry.chosenBirth().has_value(), c.birth);
  }
}

}  // namespace
}  // namespace qelm::ui
