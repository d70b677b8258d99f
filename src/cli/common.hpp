// Pieces the subcommands of qelm-report share: JSON output, reading a
// moment the user typed, and the present moment.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/moment.hpp"

namespace qelm::cli {

using Json = nlohmann::ordered_json;

// One compact line; invalid UTF-8 is replaced, never thrown.
std::string Dump(const Json& j);

std::string_view Trim(std::string_view s);

// Every field of the engine's result under its own name.
Json MomentJson(const MomentResult& r);

// The engine's result for a "YYYY-MM-DD HH:MM" text (blanks around it are
// ignored), or nothing with the reason in `error`, naming the field at fault.
// `what` names the moment in the message ("時刻", "出生時刻", "流時").
std::optional<MomentResult> MomentOf(std::string_view what, std::string_view text, std::string& error);

// The text with CR LF line ends turned into LF.
std::string LfLineEnds(std::string_view text);

// The present local clock time, to the minute.
MomentInput NowInput();

}  // namespace qelm::cli
