// The birth of a person of the person file, at the birthplace the companion
// file gives them: what casting that person starts from.
#pragma once

#include <optional>
#include <string>

#include "calendar/moment.hpp"
#include "chart/types.hpp"
#include "place/correction.hpp"
#include "records/person_file.hpp"
#include "records/place_file.hpp"

namespace qelm {

struct RecordBirth {
  std::string name;
  Sex sex = Sex::Female;                      // "男" is a man, anything else a woman
  std::optional<MomentResult> birth;          // none: `problem` says why
  std::optional<BirthCorrection> correction;  // when the person has a birthplace
  std::string problem;                        // for the user (Traditional Chinese)
};

// The person's birth moment from the record's fields (a real minute of the
// calendar's years), corrected for the birthplace when `places` holds one for
// the record. No birth for a damaged line, fields that name no minute, a
// birthplace line that cannot be read, or a clock time the place refuses.
RecordBirth BirthOfRecord(const records::PersonRecord& r, const records::PlaceBook& places,
                          DayChange dayChange = DayChange::AtZiStart);

}  // namespace qelm
