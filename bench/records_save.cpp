// One 修改 saved, on a person file at the record cap (100,000 persons): the
// person file alone, and the person with its birthplace (both files, in
// their safe order), with no birthplace stored and with one for every
// person.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "records/person_and_place.hpp"

namespace {

namespace fs = std::filesystem;
using namespace qelm::records;

struct Folder {
  explicit Folder(bool places) {
    std::string t = (fs::temp_directory_path() / "qelm-bench-XXXXXX").string();
    path = ::mkdtemp(t.data());
    std::ofstream user(path / "User", std::ios::binary);
    std::ofstream companion(PlaceFilePath(path / "User"), std::ios::binary);
    for (std::size_t i = 0; i < kMaxRecords; ++i) {
      const std::string n = std::to_string(i);
      user << "p" << n << "\t\xA8\x6B\t1990\t5\t17\t14\t30\r\n";  // 男 in Big5
      if (places) companion << "p" << n << "\t男\t1990\t5\t17\t14\t30\t臺北\t121.5319\t25.0478\tAsia/Taipei\tsolar\n";
    }
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  fs::path path;
};

const PlaceEntry kTaipei{"臺北", 121.5319, 25.0478, "Asia/Taipei", "solar"};

// Arg 0: the person file alone; 1: with the birthplaces, none stored;
// 2: with a birthplace for every person.
void SaveOneChange(benchmark::State& state) {
  const Folder folder(state.range(0) == 2);
  const fs::path user = folder.path / "User";
  LoadResult list = LoadPersonList(user);
  PlaceBook places;
  LoadPlaceFile(PlaceFilePath(user), places);
  int hour = 0;
  for (auto _ : state) {
    Fields after = list.list.rows[0].fields.value();
    after[kHour] = std::to_string(hour++ % 24);
    const Edit edit = Edit::Modify(0, list.list.rows[0], after);
    const SaveResult r = state.range(0) == 0 ? SavePersonList(user, list.list, edit)
                                             : SavePersonAndPlace(user, list.list, places, edit, kTaipei);
    if (!r) state.SkipWithError(r.message.c_str());
  }
}
BENCHMARK(SaveOneChange)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
