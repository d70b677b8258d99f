#include "ui/person/person_list_model.hpp"

#include <gtest/gtest.h>

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace qelm::ui {
namespace {

// The rows a search should show, found afresh over the whole list: the
// records whose name holds the text (letters in any case) or whose year
// begins with it.
std::vector<std::size_t> PlainSearch(const records::PersonList& list, const QString& typed) {
  const QString wanted = typed.trimmed().toCaseFolded();
  std::vector<std::size_t> rows;
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    const auto& f = list.rows[i].fields;
    if (wanted.isEmpty() || QString::fromStdString(std::string(f[records::kName])).toCaseFolded().contains(wanted) ||
        QString::fromStdString(std::string(f[records::kYear])).trimmed().startsWith(wanted))
      rows.push_back(i);
  }
  return rows;
}

// Random typing and taking back in the search field, as a user narrows and
// widens it: after every keystroke the model shows exactly the rows a fresh
// search over the whole list finds, in list order.
TEST(PersonListModelTest, EveryKeystrokeShowsWhatAFreshSearchFinds) {
  records::PersonList list;
  std::uint32_t x = 7;
  const auto next = [&x](int bound) {
    x = x * 1664525u + 1013904223u;
    return static_cast<int>((x >> 8) % static_cast<std::uint32_t>(bound));
  };
  const std::vector<std::string> names{"王", "Ab", "aB", "陳1", "林", "1王"};
  const auto addPerson = [&] {
    records::PersonRecord r;
    r.fields = records::Fields{names[static_cast<std::size_t>(next(6))] + std::to_string(next(30)), "男",
                std::to_string(1901 + next(199)), "5", "17", "14", "30"};
    list.rows.push_back(r);
  };
  for (int i = 0; i < 400; ++i) addPerson();
  PersonListModel model(list, nullptr);
  model.reload();
  const QString keys = QStringLiteral("王ab19陳 1");
  QString typed;
  for (int step = 0; step < 600; ++step) {
    // Keys typed and taken back, several at once (a selection deleted) or
    // one; now and then the idle-time preparation, or the list changed.
    if (!typed.isEmpty() && next(8) == 0) typed.truncate(next(static_cast<int>(typed.size())));
    else if (!typed.isEmpty() && next(3) == 0) typed.chop(1);
    else typed += keys[next(static_cast<int>(keys.size()))];
    if (next(4) == 0) model.prepareSearch(static_cast<std::size_t>(next(150)));
    if (next(40) == 0) {
      addPerson();
      model.reload();
    }
    model.setSearch(typed);
    const std::vector<std::size_t> want = PlainSearch(list, typed);
    ASSERT_EQ(model.rowCount(), static_cast<int>(want.size())) << typed.toStdString();
    for (std::size_t row = 0; row < want.size(); ++row)
      ASSERT_EQ(model.recordOf(static_cast<int>(row)), want[row]) << typed.toStdString();
    if (step % 50 == 0) typed.clear();
  }
}

}  // namespace
}  // namespace qelm::ui
