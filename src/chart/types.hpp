// The person's sex, polarity, and the colours the windows draw elements in,
// beside the stems, branches and pillars of the calendar.
#pragma once

#include <cstdint>
#include <string_view>

#include "calendar/sexagenary.hpp"

namespace qelm {

// ---------------------------------------------------------------- persons

// The numbers are those the person's chart is written with (1 a man, 0 a woman).
enum class Sex : int { Female = 0, Male = 1 };
// The sex of a code as the windows choose it: 1 a man, anything else a woman.
constexpr Sex SexOfCode(int code) { return code == 1 ? Sex::Male : Sex::Female; }
// The sex as a person line writes it, "男" or "女"; and back, as the person
// window has always read a line: "男" is a man, anything else a woman.
constexpr std::string_view SexText(Sex s) { return s == Sex::Male ? "男" : "女"; }
constexpr Sex SexOfText(std::string_view text) { return text == SexText(Sex::Male) ? Sex::Male : Sex::Female; }

// Of a stem or a branch: odd numbers are yang (1), even ones yin (0).
enum class Polarity : int { Yin = 0, Yang = 1 };

}  // namespace qelm
