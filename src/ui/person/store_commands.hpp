// The person window's commands on the person store. A long list is written
// on a thread of its own, so that the window stays with the user while the
// files are written: the list keeps its rows on screen and can be scrolled,
// and the result comes back to the window's thread. The user's next click,
// key or closing of a window waits for it first, so that it acts on the
// list as written. A short list is written at once.
#pragma once

#include <QObject>
#include <cstddef>
#include <functional>

#include "records/person_store.hpp"

namespace qelm::ui {

class PersonListView;

class StoreCommands : public QObject {
  Q_OBJECT
 public:
  // Lists longer than this are written in the background.
  static constexpr std::size_t kBackgroundRows = 2000;

  StoreCommands(records::PersonStore& store, PersonListView& list, QObject* parent);
  ~StoreCommands() override;

  using Command = std::function<records::SaveResult(records::PersonStore&)>;
  // Runs the command; `finished` tells its result (before this returns,
  // unless it runs in the background). `select` goes with the result.
  void run(Command command, int select = -1);
  // A command still running is waited for and its result told now.
  void settle();
  bool running() const { return running_; }

 signals:
  void finished(const records::SaveResult& result, int select);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  records::PersonStore& store_;
  PersonListView& list_;
  bool running_ = false;
  int select_ = -1;
};

}  // namespace qelm::ui
