// Runs qelm-report in-process on string streams, for the command tests.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/json_writer.hpp"

namespace qelm::cli {

// The tests read the program's JSON with a reader of their own, apart from
// the library that writes it, so that the two cannot share a fault.
using Json = nlohmann::ordered_json;

// The reference writing of a document: one compact line, invalid UTF-8
// replaced.
inline std::string Dump(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

struct Ran {
  int status;
  std::string out, err;
};

// args without the program name.
inline Ran RunReport(std::vector<const char*> args, const std::string& input = {}) {
  args.insert(args.begin(), "qelm-report");
  std::istringstream in(input);
  std::ostringstream out, err;
  Streams io{in, out, err};
  const int status = Run(static_cast<int>(args.size()), args.data(), io);
  return {status, out.str(), err.str()};
}

// What a writing function writes, read back as a document.
template <class Write>
Json ReadBack(Write write) {
  rapidjson::StringBuffer buffer;
  JsonWriter w(buffer);
  write(w);
  return Json::parse(std::string_view(buffer.GetString(), buffer.GetSize()));
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream s(text);
  for (std::string line; std::getline(s, line);) lines.push_back(line);
  return lines;
}

}  // namespace qelm::cli
