#include "ui/kit/luck_start_setting.hpp"

#include "ui/kit/fonts.hpp"

namespace qelm::ui {

namespace {

// Kept as the school's key ("table", "exact", "shichen").
const KeptChoice<LuckStart> kLuckStart{
    "luckStart", LuckStart::Table, [](LuckStart s) { return QVariant(Q(LuckStartKey(s))); },
    [](const QVariant& kept) { return ParseLuckStart(kept.toString().toStdString()); }};

}  // namespace

LuckStart StoredLuckStart(const QSettings& settings) { return kLuckStart.Read(settings); }
void StoreLuckStart(QSettings& settings, LuckStart s) { kLuckStart.Store(settings, s); }
LuckStart StoredLuckStart() { return kLuckStart.Read(); }
void StoreLuckStart(LuckStart s) { kLuckStart.Store(s); }

LuckStartBox::LuckStartBox(QWidget* parent)
    : ChoiceBox(QStringLiteral("LuckStartBox"), QStringLiteral("起運算法"), parent) {
  for (LuckStart s : {LuckStart::Table, LuckStart::Exact, LuckStart::Shichen})
    AddChoice(QStringLiteral("起運: ") + Q(LuckStartName(s)), s);
  setLuckStart(StoredLuckStart());
}

LuckStart LuckStartBox::luckStart() const { return CurrentChoice(kLuckStart.fallback); }

void LuckStartBox::setLuckStart(LuckStart s) { ShowChoice(s); }

void LuckStartBox::Chosen() {
  StoreLuckStart(luckStart());
  emit luckStartChosen(luckStart());
}

}  // namespace qelm::ui
