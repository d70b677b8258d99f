// The birthplace rows of the person window: the place finder (a name, chosen
// from the places found as the user types), longitude, latitude and zone
// typed by hand, the kind of time, which of two moments a repeated clock time
// means, and the line that states the correction of the birth.
#pragma once

#include <QAbstractListModel>
#include <QWidget>
#include <optional>
#include <vector>

#include "place/birth.hpp"
#include "place/stored_place.hpp"
#include "records/place_file.hpp"

class QComboBox;
class QCompleter;
class QLabel;
class QLineEdit;

namespace qelm::ui {

// A label's new text, told to a screen reader: its name, announced.
void SayChanged(QLabel* label);

// The places the finder offers now, each shown with its English name and zone.
class FoundPlacesModel : public QAbstractListModel {
  Q_OBJECT
 public:
  using QAbstractListModel::QAbstractListModel;
  // The places found for a query: the built-in list, and from two Latin
  // letters on the world's cities.
  void search(const QString& query);
  const qelm::Place* placeAt(int row) const;
  // The place shown with this text, if any.
  const qelm::Place* placeShownAs(const QString& text) const;
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  struct Found {
    qelm::Place place;
    QString shown;
  };
  std::vector<Found> found_;
};

class BirthplaceRow : public QWidget {
  Q_OBJECT
 public:
  // Placed in `parent` at `top` (twips), as wide as the window; as tall as
  // its rows and the line under them need.
  BirthplaceRow(QWidget* parent, int top);

  QLineEdit* finder() const { return finder_; }
  QLineEdit* longitudeEdit() const { return longitudeEdit_; }
  QLineEdit* latitudeEdit() const { return latitudeEdit_; }
  QLineEdit* zoneEdit() const { return zoneEdit_; }
  QComboBox* timeModeBox() const { return timeModeBox_; }
  QComboBox* overlapBox() const { return overlapBox_; }
  // The kind of time chosen, and which of two moments a repeated clock time means.
  TimeMode timeMode() const;
  OverlapChoice overlapChoice() const;
  // Sets the kind of time and the overlap choice.
  void setReading(TimeMode mode, OverlapChoice choice);
  QLabel* correctionLine() const { return correctionLine_; }
  QCompleter* completer() const { return completer_; }
  FoundPlacesModel* foundPlaces() const { return found_; }
  // The first and last control in the keyboard order.
  QWidget* firstInOrder() const;

  // Takes a place as if chosen from the finder.
  void choosePlace(const qelm::Place& place);
  // Shows a stored birthplace; nothing empties the rows.
  void showStored(const std::optional<records::PlaceEntry>& entry);

  // The birthplace entered: nothing when the rows are empty; `problem` says
  // what is wrong with rows that are partly filled.
  std::optional<StoredBirthPlace> enteredPlace(QString* problem) const;
  // The birth at the entered place for a clock time under a day convention;
  // nothing, with the problem, when the place cannot be taken.
  std::optional<Birth> enteredBirth(const MomentInput& clock, DayChange dayChange, QString* problem) const;
  // The correction of a moment at the entered place (nothing without a
  // place), with the message refusing it in `problem`.
  std::optional<CorrectionOutcome> correction(const MomentInput& birth, QString* problem) const;
  // States on the correction line how a birth at `birth` is read (no moment:
  // the date is not complete yet, only the place is checked), offers the
  // choice of a repeated clock time, and gives the correction that applies.
  std::optional<BirthCorrection> showCorrection(const std::optional<MomentInput>& birth);

 signals:
  // Something that changes the reading of the birth was entered.
  void changed();
  // The rows need another height (the line under them grew or shrank).
  void resized();

 private:
  void Typed(const QString& text);
  void Activated(const QModelIndex& index);
  // The name was left (Tab, Enter): a name that is not the shown place's is
  // resolved again.
  void NameLeft();
  void Arrange();
  // The coordinate fields as typed, and whether they still show `place`.
  bool ShowsCoordinatesOf(const qelm::Place& place) const;
  bool CoordinatesEmpty() const;
  // The place for the name alone, or why there is none.
  std::optional<qelm::Place> PlaceForName(const QString& name, QString* problem) const;

  QLabel *placeCaption_, *longitudeCaption_, *latitudeCaption_, *zoneCaption_, *timeModeCaption_, *overlapCaption_;
  QLineEdit *finder_, *longitudeEdit_, *latitudeEdit_, *zoneEdit_;
  QComboBox *timeModeBox_, *overlapBox_;
  QLabel* correctionLine_;
  QCompleter* completer_;
  FoundPlacesModel* found_;
  // The place whose name, coordinates and zone the fields were filled with
  // (a pick, a resolved name, a stored birthplace).
  std::optional<qelm::Place> shownPlace_;
  bool cleared_ = false;  // an edited name took the coordinates of the place before it away
};

}  // namespace qelm::ui
