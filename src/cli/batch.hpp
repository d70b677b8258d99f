// Batch runs: one JSON value a line for each input line, worked on several
// threads and written in input order.
#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "cli/json_writer.hpp"

namespace qelm::cli {

// Writes one line's JSON value (without the line end). Called from several
// threads at once: it must touch nothing but its arguments. For a line it
// could not use it writes {"error": …} and returns the reason; else nothing.
using LineWork = std::function<std::string(std::string_view line, JsonWriter& w)>;

// The longest line a batch takes, in bytes without its line end. A longer
// line is read through without being held, and its value is an error that
// quotes its start.
inline constexpr std::size_t kMaxLineBytes = std::size_t{64} << 10;

// Runs `work` over every line of `in` and writes the values to `out`, one a
// line, in the order of the input lines; each line that could not be used
// (or was too long) is named on `err` with its number and the reason, in
// order too. With `jobs` above 1 the lines are read in blocks and worked on
// that many threads; only a few blocks per thread are held at any time, so
// memory stays bounded however long the input or any of its lines is. True
// when a line was skipped.
bool RunJsonLines(std::istream& in, std::ostream& out, std::ostream& err, int jobs, const LineWork& work);

// The number of threads a batch uses unless told: the machine's cores, at
// most kMaxJobs.
inline constexpr int kMaxJobs = 256;
int DefaultJobs();

}  // namespace qelm::cli
