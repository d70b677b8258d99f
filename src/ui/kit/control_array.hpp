// Controls of one name indexed from 0; element i is named "name_i".
#pragma once

#include <QString>
#include <vector>

namespace qelm::ui {

template <class W>
using ControlArray = std::vector<W*>;

inline QString IndexedName(const QString& name, int i) {
  return name + QLatin1Char('_') + QString::number(i);
}

}  // namespace qelm::ui
