// Reading a moment the user typed, and the present moment.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calendar/moment.hpp"

namespace qelm::cli {

std::string_view Trim(std::string_view s);

// The engine's result for a "YYYY-MM-DD HH:MM" text (blanks around it are
// ignored), or nothing with the reason in `error`, naming the field at fault.
// `what` names the moment in the message ("時刻", "出生時刻", "流時").
std::optional<MomentResult> MomentOf(std::string_view what, std::string_view text, std::string& error,
                                     DayChange dayChange = DayChange::AtZiStart);

// "1901-01-01 至 2099-12-31": the moments the calendar serves, as messages name them.
std::string CalendarRangeText();

// The present local clock time, to the minute.
MomentInput NowInput();

}  // namespace qelm::cli
