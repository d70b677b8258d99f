// qelm-report places: the birthplaces the program knows, found by Chinese or
// English name; --world searches the world's cities by English name.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>

#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/json_writer.hpp"
#include "cli/moment_input.hpp"
#include "cli/parse_errors.hpp"
#include "place/correction.hpp"
#include "place/places.hpp"

namespace qelm::cli {

namespace {

struct PlacesOptions {
  std::string query;
  bool world = false;
  bool json = false;
  std::size_t limit = 50;
};

struct Found {
  Place place;
  std::string english, country;
};

// The place's name is the list's own; the English name and country come from
// the world list and are checked as text from outside.
void WritePlace(JsonWriter& w, const Found& f) {
  w.BeginObject();
  w.Field("name", UserText{f.place.name});
  if (!f.english.empty()) w.Field("english", UserText{f.english});
  if (!f.country.empty()) w.Field("country", UserText{f.country});
  w.Field("longitude", f.place.longitude);
  w.Field("latitude", f.place.latitude);
  w.Field("zone", UserText{f.place.zone});
  w.EndObject();
}

void RunPlaces(const PlacesOptions& o, Streams& io) {
  if (Trim(o.query).empty()) throw UsageError("請給要找的地名(中文或英文)");
  std::vector<Found> found;
  if (o.world) {
    for (Place& p : SearchWorldCities(o.query, o.limit)) found.push_back({std::move(p), {}, {}});
  } else {
    for (const KnownPlace& p : FindPlaces(o.query, o.limit))
      found.push_back({p.place(), std::string(p.english), std::string(p.country)});
  }
  if (found.empty()) {
    io.err << "qelm-report: 找不到符合「" << Echo(Trim(o.query)) << "」的地點"
           << (o.world ? "" : "；其他地方可用 --world 以英文名搜尋世界城市") << "\n";
    io.status = 1;
    return;
  }
  if (o.json) {
    rapidjson::StringBuffer buffer;
    JsonWriter w(buffer);
    w.BeginArray();
    for (const Found& f : found) WritePlace(w, f);
    w.EndArray();
    io.out.write(buffer.GetString(), static_cast<std::streamsize>(buffer.GetSize()));
    io.out << "\n";
    return;
  }
  for (const Found& f : found) {
    io.out << f.place.name << "\t";
    if (!f.english.empty()) io.out << f.english << ", " << f.country << "\t";
    io.out << LongitudeText(f.place.longitude) << " " << LatitudeText(f.place.latitude) << "\t" << f.place.zone
           << "\n";
  }
}

}  // namespace

void AddPlacesCommand(CLI::App& app, Streams& io) {
  auto opts = std::make_shared<PlacesOptions>();
  CLI::App* places = app.add_subcommand(
      "places", "Birthplaces whose Chinese or English name holds QUERY: name, coordinates, time zone");
  places->add_option("query", opts->query, "part of the place's name, e.g. 成都, 台北, york")->required();
  places->add_flag("--world", opts->world, "search the world's cities by English name instead");
  places->add_flag("--json", opts->json, "write one JSON array");
  places->add_option("--limit", opts->limit, "at most this many places (50)")->check(CLI::Range(1, 1000));
  places->callback([opts, &io] { RunPlaces(*opts, io); });
}

}  // namespace qelm::cli
