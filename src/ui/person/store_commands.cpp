#include "ui/person/store_commands.hpp"

#include <QApplication>
#include <QEvent>
#include <QMetaObject>
#include <utility>

#include "ui/person/person_list_view.hpp"

namespace qelm::ui {

StoreCommands::StoreCommands(records::PersonStore& store, PersonListView& list, QObject* parent)
    : QObject(parent), store_(store), list_(list) {
  setObjectName(QStringLiteral("storeCommands"));
}

// The thread's wake-up is never left to a gone object.
StoreCommands::~StoreCommands() { store_.Settle(); }

void StoreCommands::run(Command command, int select) {
  settle();
  if (store_.list().rows.size() <= kBackgroundRows) {
    emit finished(command(store_), select);
    return;
  }
  running_ = true;
  select_ = select;
  list_.freeze();
  qApp->installEventFilter(this);
  store_.RunInBackground(std::move(command), [this] {
    QMetaObject::invokeMethod(this, &StoreCommands::settle, Qt::QueuedConnection);
  });
}

void StoreCommands::settle() {
  if (!running_) return;
  running_ = false;
  qApp->removeEventFilter(this);
  if (const std::optional<records::SaveResult> result = store_.Settle()) emit finished(*result, select_);
}

bool StoreCommands::eventFilter(QObject* watched, QEvent* e) {
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::Close:
      settle();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, e);
}

}  // namespace qelm::ui
