#include "ui/person/birthplace_row.hpp"

#include <QAccessible>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <mutex>

#include "place/birth.hpp"
#include "place/coordinates.hpp"
#include "place/places.hpp"
#include "ui/kit/colours.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/twips.hpp"

namespace qelm::ui {
namespace {

std::string S(const QString& s) { return s.toUtf8().toStdString(); }
QString Degrees(double v) { return QString::number(v, 'f', 4); }

constexpr std::uint32_t kDarkRed = 0x0000C0;  // 192, 0, 0
constexpr int kWindowWidth = 5430;
// The rows' tops in twips; the line under them starts at the overlap row,
// below it when that is shown.
constexpr int kCoordinatesTop = 390, kZoneTop = 780, kTimeModeTop = 1170, kOverlapTop = 1560;
constexpr int kLineGap = 390;
constexpr int kLinesKept = 4;  // the line under the rows has room for this many lines at least

}  // namespace

// ------------------------------------------------------------------ the places found

void FoundPlacesModel::search(const QString& query) {
  beginResetModel();
  found_.clear();
  const std::string text = S(query.trimmed());
  if (!text.empty()) {
    for (const KnownPlace& known : FindPlaces(text, 20))
      found_.push_back({known.place(), Q(known.name) + QStringLiteral("（") + Q(known.english) + QStringLiteral("，") +
                                           Q(known.zone) + QStringLiteral("）")});
    // The world list by English name, from two letters on.
    const bool latin = std::all_of(text.begin(), text.end(), [](char ch) { return (ch & 0x80) == 0; });
    if (latin && text.size() >= 2) {
      for (qelm::Place& city : SearchWorldCities(text, 20)) {
        QString shown = Q(city.name) + QStringLiteral("（") + Q(city.zone) + QStringLiteral("）");
        found_.push_back({std::move(city), std::move(shown)});
      }
    }
  }
  endResetModel();
}

const qelm::Place* FoundPlacesModel::placeAt(int row) const {
  return row >= 0 && static_cast<std::size_t>(row) < found_.size() ? &found_[static_cast<std::size_t>(row)].place
                                                                   : nullptr;
}

const qelm::Place* FoundPlacesModel::placeShownAs(const QString& text) const {
  for (const Found& f : found_)
    if (f.shown == text) return &f.place;
  return nullptr;
}

int FoundPlacesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(found_.size());
}

QVariant FoundPlacesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole || role == Qt::EditRole) return found_[static_cast<std::size_t>(index.row())].shown;
  if (role == Qt::UserRole) return index.row();  // the row, through the finder's own proxy
  return {};
}

// ------------------------------------------------------------------ the rows

BirthplaceRow::BirthplaceRow(QWidget* parent, int top) : QWidget(parent) {
  setObjectName(QStringLiteral("birthplaceRow"));
  // The world list is read on a thread of its own, so that the first search
  // does not wait for it.
  static std::once_flag reading;
  std::call_once(reading, [] { QThreadPool::globalInstance()->start([] { PrepareWorldCities(); }); });
  Place(this, 0, top, kWindowWidth, kOverlapTop);
  const QFont text = Font(kSansFace, 9.75);
  const auto caption = [&](const char* name, int left, int captionTop, int width, const char* words) {
    QLabel* l =
        MakeLabel(this, QString::fromLatin1(name), left, captionTop, width, 255, text, QString::fromUtf8(words));
    l->setFocusPolicy(Qt::NoFocus);
    return l;
  };
  const auto edit = [&](const char* name, int left, int editTop, int width, const char* accessible) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setFont(text);
    Place(e, left, editTop, width, 300);
    e->setAccessibleName(QString::fromUtf8(accessible));
    return e;
  };
  placeCaption_ = caption("placeCaption", 240, 30, 735, "出生地");
  finder_ = edit("placeFinder", 1020, 0, 4155, "出生地");
  finder_->setPlaceholderText(QStringLiteral("地名（中文或英文）；不填依鐘錶時間"));
  finder_->setClearButtonEnabled(true);
  found_ = new FoundPlacesModel(this);
  completer_ = new QCompleter(found_, this);
  completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  completer_->setMaxVisibleItems(12);
  finder_->setCompleter(completer_);
  connect(finder_, &QLineEdit::textEdited, this, &BirthplaceRow::Typed);
  connect(finder_, &QLineEdit::editingFinished, this, &BirthplaceRow::NameLeft);
  connect(completer_, qOverload<const QModelIndex&>(&QCompleter::activated), this, &BirthplaceRow::Activated);

  // Longitude and latitude side by side; the zone on a row of its own, wide
  // enough for the longest zone names.
  longitudeCaption_ = caption("longitudeCaption", 240, kCoordinatesTop + 30, 480, "經度");
  longitudeEdit_ = edit("longitudeEdit", 720, kCoordinatesTop, 1920, "經度（東經為正）");
  longitudeEdit_->setPlaceholderText(QStringLiteral("東經為正，如 121.5"));
  latitudeCaption_ = caption("latitudeCaption", 2760, kCoordinatesTop + 30, 480, "緯度");
  latitudeEdit_ = edit("latitudeEdit", 3240, kCoordinatesTop, 1935, "緯度（北緯為正）");
  latitudeEdit_->setPlaceholderText(QStringLiteral("北緯為正，如 25.0"));
  zoneCaption_ = caption("zoneCaption", 240, kZoneTop + 30, 480, "時區");
  zoneEdit_ = edit("zoneEdit", 720, kZoneTop, 4455, "時區");
  zoneEdit_->setPlaceholderText(QStringLiteral("如 Asia/Taipei"));

  // The kind of time; the rest of its row is kept free.
  timeModeCaption_ = caption("timeModeCaption", 240, kTimeModeTop + 30, 480, "時間");
  timeModeBox_ = new QComboBox(this);
  timeModeBox_->setObjectName(QStringLiteral("timeModeBox"));
  timeModeBox_->setFont(text);
  // Each item holds the kind of time it names.
  for (TimeMode m : {TimeMode::Clock, TimeMode::Standard, TimeMode::Solar})
    timeModeBox_->addItem(Q(TimeModeName(m)), static_cast<int>(m));
  Place(timeModeBox_, 720, kTimeModeTop - 30, 1500, 360);
  timeModeBox_->setAccessibleName(QStringLiteral("時間"));
  timeModeCaption_->setBuddy(timeModeBox_);

  // Which of two moments a repeated clock time means: asked only then.
  overlapCaption_ = caption("overlapCaption", 240, kOverlapTop + 30, 1215, "重複的時刻");
  overlapBox_ = new QComboBox(this);
  overlapBox_->setObjectName(QStringLiteral("overlapBox"));
  overlapBox_->setFont(text);
  overlapBox_->addItem(QStringLiteral("重複時刻中較早的一次"), static_cast<int>(OverlapChoice::Earlier));
  overlapBox_->addItem(QStringLiteral("重複時刻中較晚的一次"), static_cast<int>(OverlapChoice::Later));
  Place(overlapBox_, 1500, kOverlapTop - 30, 2835, 360);
  overlapBox_->setAccessibleName(QStringLiteral("重複的時刻"));
  overlapCaption_->setBuddy(overlapBox_);
  overlapCaption_->hide();
  overlapBox_->hide();

  correctionLine_ = MakeLabel(this, QStringLiteral("correctionLine"), 240, kOverlapTop, 4935, 255, text);
  correctionLine_->setWordWrap(true);
  correctionLine_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  correctionLine_->setFocusPolicy(Qt::NoFocus);
  SetTextColour(correctionLine_, kDarkRed);
  Arrange();

  for (QLineEdit* e : {longitudeEdit_, latitudeEdit_, zoneEdit_})
    connect(e, &QLineEdit::textEdited, this, [this] {
      cleared_ = false;
      emit changed();
    });
  connect(timeModeBox_, &QComboBox::currentIndexChanged, this, &BirthplaceRow::changed);
  connect(overlapBox_, &QComboBox::currentIndexChanged, this, &BirthplaceRow::changed);

  QWidget* order[] = {finder_, longitudeEdit_, latitudeEdit_, zoneEdit_, timeModeBox_, overlapBox_};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

QWidget* BirthplaceRow::firstInOrder() const { return finder_; }

TimeMode BirthplaceRow::timeMode() const {
  return static_cast<TimeMode>(timeModeBox_->currentData().toInt());
}

OverlapChoice BirthplaceRow::overlapChoice() const {
  return static_cast<OverlapChoice>(overlapBox_->currentData().toInt());
}

void BirthplaceRow::setReading(TimeMode mode, OverlapChoice choice) {
  timeModeBox_->setCurrentIndex(timeModeBox_->findData(static_cast<int>(mode)));
  overlapBox_->setCurrentIndex(overlapBox_->findData(static_cast<int>(choice)));
}

// The line under the rows, below the overlap choice when it is shown, as
// tall as its text; the rows end under it, with room for a few lines kept
// so that the window does not change its height for a usual line.
void BirthplaceRow::Arrange() {
  const int top = Px(overlapBox_->isVisibleTo(this) ? kOverlapTop + kLineGap : kOverlapTop);
  const int width = Px(4935);
  const int lines = correctionLine_->fontMetrics().lineSpacing() * kLinesKept;
  const int height = std::max(correctionLine_->heightForWidth(width), correctionLine_->fontMetrics().height());
  correctionLine_->setGeometry(Px(240), top, width, height);
  const int bottom = std::max(top + height, Px(kOverlapTop + kLineGap) + lines) + Px(120);
  if (bottom != this->height()) {
    resize(this->width(), bottom);
    emit resized();
  }
}

void SayChanged(QLabel* label) {
  label->setAccessibleName(label->text());
  QAccessibleEvent named(label, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&named);
  if (!label->text().isEmpty()) {
    QAccessibleEvent alert(label, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
  }
}

void BirthplaceRow::Typed(const QString& text) {
  found_->search(text);
  if (found_->rowCount() > 0) completer_->complete();
  // Another name: the coordinates and zone of the place before it go.
  if (shownPlace_ && text.trimmed() != Q(shownPlace_->name)) {
    if (ShowsCoordinatesOf(*shownPlace_)) {
      for (QLineEdit* e : {longitudeEdit_, latitudeEdit_, zoneEdit_}) e->clear();
      cleared_ = true;
    }
    shownPlace_.reset();
  }
  emit changed();
}

void BirthplaceRow::NameLeft() {
  const QString name = finder_->text().trimmed();
  if (name.isEmpty() || (shownPlace_ && name == Q(shownPlace_->name)) || !CoordinatesEmpty()) return;
  QString problem;
  if (const std::optional<qelm::Place> place = PlaceForName(name, &problem)) choosePlace(*place);
}

bool BirthplaceRow::ShowsCoordinatesOf(const qelm::Place& place) const {
  return longitudeEdit_->text() == Degrees(place.longitude) && latitudeEdit_->text() == Degrees(place.latitude) &&
         zoneEdit_->text() == Q(place.zone);
}

bool BirthplaceRow::CoordinatesEmpty() const {
  return longitudeEdit_->text().trimmed().isEmpty() && latitudeEdit_->text().trimmed().isEmpty() &&
         zoneEdit_->text().trimmed().isEmpty();
}

std::optional<qelm::Place> BirthplaceRow::PlaceForName(const QString& name, QString* problem) const {
  // The text of a place the finder offers (one highlighted, then left).
  if (const qelm::Place* offered = found_->placeShownAs(name)) return *offered;
  const PlaceLookup match = PlaceNamed(S(name));
  if (match.place) return match.place;
  *problem = Q(match.problem);
  if (cleared_) *problem += QStringLiteral("；原本的經緯度與時區已清除");
  if (match.unknown) *problem += QStringLiteral("：請從尋找結果中選擇，或填入經度與時區");
  return std::nullopt;
}

void BirthplaceRow::Activated(const QModelIndex& index) {
  const qelm::Place* chosen = found_->placeAt(index.data(Qt::UserRole).toInt());
  if (!chosen) return;
  const qelm::Place place = *chosen;
  choosePlace(place);
  // The finder puts the item's whole text into the box after this; the
  // place's name replaces it.
  QTimer::singleShot(0, this, [this, name = Q(place.name)] {
    if (finder_->text() != name) finder_->setText(name);
  });
}

void BirthplaceRow::choosePlace(const qelm::Place& place) {
  shownPlace_ = place;
  cleared_ = false;
  finder_->setText(Q(place.name));
  longitudeEdit_->setText(Degrees(place.longitude));
  latitudeEdit_->setText(Degrees(place.latitude));
  zoneEdit_->setText(Q(place.zone));
  // A place chosen applies at once: read as the clock showed it, it would
  // change nothing, so the clock is read at the place's zone.
  if (timeMode() == TimeMode::Clock) {
    const QSignalBlocker quiet(timeModeBox_);
    setReading(TimeMode::Standard, overlapChoice());
  }
  emit changed();
}

void BirthplaceRow::showStored(const std::optional<records::PlaceEntry>& entry) {
  const std::optional<StoredBirthPlace> stored = entry ? FromPlaceEntry(*entry) : std::nullopt;
  const QSignalBlocker quietMode(timeModeBox_), quietOverlap(overlapBox_);
  shownPlace_ = stored ? std::optional(stored->place) : std::nullopt;
  cleared_ = false;
  if (stored) {
    finder_->setText(Q(stored->place.name));
    longitudeEdit_->setText(Degrees(stored->place.longitude));
    latitudeEdit_->setText(Degrees(stored->place.latitude));
    zoneEdit_->setText(Q(stored->place.zone));
    setReading(stored->mode, stored->choice);
  } else {
    for (QLineEdit* e : {finder_, longitudeEdit_, latitudeEdit_, zoneEdit_}) e->clear();
    setReading(TimeMode::Clock, OverlapChoice::Earlier);
  }
}

std::optional<StoredBirthPlace> BirthplaceRow::enteredPlace(QString* problem) const {
  problem->clear();
  const QString name = finder_->text().trimmed();
  const auto clean = [](const QLineEdit* e) { return e->text().trimmed().replace(QChar(0x2212), u'-'); };
  const QString lon = clean(longitudeEdit_), lat = clean(latitudeEdit_), zone = zoneEdit_->text().trimmed();
  if (name.isEmpty() && lon.isEmpty() && lat.isEmpty() && zone.isEmpty()) return std::nullopt;
  StoredBirthPlace entered;
  entered.mode = timeMode();
  entered.choice = overlapChoice();
  // A name alone, or one typed over a place whose coordinates still stand:
  // the place of that name, never coordinates of another.
  const bool stale = shownPlace_ && name != Q(shownPlace_->name) && ShowsCoordinatesOf(*shownPlace_);
  if ((lon.isEmpty() && lat.isEmpty() && zone.isEmpty()) || stale) {
    const std::optional<qelm::Place> place = PlaceForName(name, problem);
    if (!place) return std::nullopt;
    entered.place = *place;
    return entered;
  }
  // The numbers as typed; the core checks them and the zone.
  bool ok = false;
  const double longitude = QLocale::c().toDouble(lon, &ok);
  if (!ok) {
    *problem = Q(LongitudeRangeText());
    return std::nullopt;
  }
  std::optional<double> latitude;
  if (!lat.isEmpty()) {
    latitude = QLocale::c().toDouble(lat, &ok);
    if (!ok) {
      *problem = Q(LatitudeRangeText());
      return std::nullopt;
    }
  }
  const PlaceLookup typed = PlaceTyped(S(name), longitude, latitude, S(zone));
  if (!typed.place) {
    *problem = Q(typed.problem);
    return std::nullopt;
  }
  entered.place = *typed.place;
  return entered;
}

std::optional<Birth> BirthplaceRow::enteredBirth(const MomentInput& clock, DayChange dayChange,
                                                 QString* problem) const {
  const std::optional<StoredBirthPlace> place = enteredPlace(problem);
  if (!problem->isEmpty()) return std::nullopt;
  return BirthOf(clock, place, dayChange);
}

std::optional<CorrectionOutcome> BirthplaceRow::correction(const MomentInput& birth, QString* problem) const {
  const std::optional<StoredBirthPlace> place = enteredPlace(problem);
  if (!place) return std::nullopt;
  CorrectionOutcome corrected = CorrectStoredBirth(birth, *place);
  if (!corrected) *problem = Q(CorrectionFailureText(corrected));
  return corrected;
}

std::optional<BirthCorrection> BirthplaceRow::showCorrection(const std::optional<MomentInput>& birth) {
  QString note;
  bool overlap = false;
  std::optional<BirthCorrection> applied;
  if (birth) {
    const std::optional<CorrectionOutcome> corrected = correction(*birth, &note);
    if (corrected && *corrected && corrected->correction->applies()) {
      applied = corrected->correction;
      note = Q(CorrectionLine(*applied));
    }
    if (corrected && corrected->resolution.state == ClockState::Overlap && timeMode() != TimeMode::Clock) {
      overlap = true;
      // The change of the clocks, which asks which of the two moments is meant.
      note = Q(ClockChangeText(corrected->resolution)) + QStringLiteral("\n") + note;
    }
  } else {
    enteredPlace(&note);
  }
  if (note.isEmpty() && timeMode() != TimeMode::Clock && finder_->text().trimmed().isEmpty() &&
      longitudeEdit_->text().trimmed().isEmpty())
    note = QStringLiteral("未填出生地，依鐘錶時間排盤");
  // Coordinates of no place found by its name: taken as typed, and said so.
  const QString name = finder_->text().trimmed();
  if (!CoordinatesEmpty() && !name.isEmpty() && !(shownPlace_ && ShowsCoordinatesOf(*shownPlace_))) {
    const QString typed = QStringLiteral("「%1」的經緯度與時區為手填").arg(name);
    note = note.isEmpty() ? typed : typed + QStringLiteral("\n") + note;
  }
  correctionLine_->setText(note);
  overlapBox_->setVisible(overlap);
  overlapCaption_->setVisible(overlap);
  Arrange();
  SayChanged(correctionLine_);
  return applied;
}

}  // namespace qelm::ui
