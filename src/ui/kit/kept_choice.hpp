// A choice the user makes once for the whole program (the 子時 convention,
// the luck-start school): kept with the program's settings under a key, never
// in a person file, and chosen in a combo box that keeps a choice at once.
#pragma once

#include <QComboBox>
#include <QSettings>
#include <QVariant>

#include <optional>

namespace qelm::ui {

// The program's own settings.
QSettings ProgramSettings();

// One kept choice: its key, the value when nothing (or nothing valid) is
// kept, how a value is written and how what is kept is read back (nullopt
// when it names no value).
template <typename T>
struct KeptChoice {
  const char* key;
  T fallback;
  QVariant (*write)(T);
  std::optional<T> (*read)(const QVariant&);

  T Read(const QSettings& settings) const {
    const QVariant kept = settings.value(QLatin1String(key));
    return kept.isValid() ? read(kept).value_or(fallback) : fallback;
  }
  void Store(QSettings& settings, T value) const { settings.setValue(QLatin1String(key), write(value)); }
  T Read() const { return Read(ProgramSettings()); }
  void Store(T value) const {
    QSettings settings = ProgramSettings();
    Store(settings, value);
  }
};

// The chooser of a kept choice: each item carries its value (an enum) as
// item data, so the order of the items is free. A choice by the user calls
// Chosen (which keeps it and tells); showing a value does not. The screen
// reader hears the chooser's name and its current item.
class ChoiceBox : public QComboBox {
  Q_OBJECT
 protected:
  ChoiceBox(const QString& objectName, const QString& accessibleName, QWidget* parent);

  template <typename T>
  void AddChoice(const QString& text, T value) {
    addItem(text, static_cast<int>(value));
  }
  // The value of the current item; `fallback` when no item is current.
  template <typename T>
  T CurrentChoice(T fallback) const {
    bool ok = false;
    const int value = currentData().toInt(&ok);
    return ok ? static_cast<T>(value) : fallback;
  }
  template <typename T>
  void ShowChoice(T value) {
    setCurrentIndex(findData(static_cast<int>(value)));
  }

  virtual void Chosen() = 0;
};

}  // namespace qelm::ui
