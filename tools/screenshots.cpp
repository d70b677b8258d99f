// qelm-shots: grabs the main window, with a fixed demo chart and flow moment,
// every analysis window, 擇日, the person window (a few persons in a scratch
// folder, one with a birthplace), 合盤 of the demo chart with one of them,
// and the main window with that person's chart in true solar time, into PNG
// files of a folder.
//
//   qelm-shots OUTDIR
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTreeView>
#include <QPixmap>
#include <QWidget>
#include <cstdio>
#include <fstream>
#include <memory>

#include "ui/compare/compare_window.hpp"
#include "ui/main/analysis_windows.hpp"
#include "ui/day_choice/day_choice_window.hpp"
#include "ui/find_birth/find_birth_window.hpp"
#include "ui/export/chart_export.hpp"
#include "place/places.hpp"
#include "place/stored_place.hpp"
#include "records/big5.hpp"
#include "records/place_file.hpp"
#include "ui/main/main_window.hpp"
#include "ui/person/person_window.hpp"
#include "ui/kit/window_layer.hpp"

namespace {

using qelm::ui::AnalysisKind;

bool Save(QWidget* w, const QDir& dir, const QString& name) {
  w->show();
  QApplication::processEvents();
  const QString path = dir.filePath(name + QStringLiteral(".png"));
  if (!w->grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: qelm-shots OUTDIR\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(dir.path())) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  qelm::ui::InstallFontSubstitutions();

  // A fixed "now", so that every run draws the same flow moment; the demo
  // chart is cast as the person window's "確定" casts one.
  qelm::ui::MainWindow window([] { return qelm::MakeMoment(2024, 6, 15, 10, 30); });
  if (!window.CastChart("王小明", 1, {1990, 5, 17, 14, 30})) {
    std::fprintf(stderr, "the demo chart was refused\n");
    return 1;
  }
  bool ok = Save(&window, dir, QStringLiteral("main_window"));

  // The right-click menu over the natal block, drawn into the window's grab.
  if (auto* exporter = window.chartExport()) {
    const QPoint at(qelm::ui::Px(3000), qelm::ui::Px(2700));
    QMenu* menu = exporter->menu();
    menu->popup(window.mapToGlobal(at));
    menu->setActiveAction(exporter->printAction());
    QApplication::processEvents();
    QImage shot = window.grab().toImage();
    {
      QPainter p(&shot);
      p.drawPixmap(at, menu->grab());
    }
    menu->hide();
    const QString path = dir.filePath(QStringLiteral("context_menu.png"));
    if (shot.save(path)) {
      std::printf("%s\n", qPrintable(path));
    } else {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      ok = false;
    }
  }

  struct Shot {
    AnalysisKind kind;
    const char* name;
  };
  const Shot shots[] = {
      {AnalysisKind::Strength, "strength_window"},     {AnalysisKind::Prosperity, "prosperity_window"},
      {AnalysisKind::FlowYear, "flow_year_window"},    {AnalysisKind::MinorLuck, "minor_luck_window"},
      {AnalysisKind::Stars, "stars_window"},           {AnalysisKind::SanMing, "sanming_window"},
      {AnalysisKind::TextOutput, "text_output_window"},  {AnalysisKind::Relations, "relations_window"},
  };
  for (const Shot& s : shots) {
    std::unique_ptr<QWidget> w(
        qelm::ui::CreateAnalysisWindow(s.kind, *window.chart(), window.flow(), qelm::ScorePeriod::Luck));
    if (w) ok = Save(w.get(), dir, QString::fromLatin1(s.name)) && ok;
  }
  // 擇日 for the flow moment's month, 六沖 and 三刑 avoided, a day chosen.
  {
    qelm::ui::DayChoiceWindow days(*window.chart(), window.flow());
    days.avoidField()->setText(QStringLiteral("六沖,三刑"));
    days.applyFilter();
    days.chooseDay(qelm::MakeDate(2024, 6, 18));
    ok = Save(&days, dir, QStringLiteral("day_choice_window")) && ok;
  }

  // The person window over the main window, the second person clicked.
  QTemporaryDir scratch;
  const std::filesystem::path folder(QFile::encodeName(scratch.path()).toStdString());
  {
    std::ofstream user(folder / "User", std::ios::binary);
    for (const char* line : {"王小明\t男\t1990\t5\t17\t14\t30", "林美\t女\t2001\t2\t3\t4\t5",
                             "陳大文\t男\t1975\t8\t21\t14\t5", "張淑芬\t女\t1984\t2\t2\t23\t45"})
      user << qelm::records::EncodeBig5(line).bytes.value_or("") << "\r\n";
  }
  // The list as the application keeps it; each window goes before it.
  qelm::records::PersonStore store(folder / "User");
  auto* persons = new qelm::ui::PersonWindow(window, store);
  persons->show();
  QApplication::processEvents();  // becoming active prepares a new entry
  QAbstractItemView* list = persons->personList()->view();
  list->setCurrentIndex(list->model()->index(1, 0));
  const QPointF at = list->visualRect(list->model()->index(1, 0)).center();
  QMouseEvent click(QEvent::MouseButtonRelease, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                    Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &click);
  ok = Save(persons, dir, QStringLiteral("person_window")) && ok;
  // The list narrowed by a search: the persons born in the 1900s.
  persons->personList()->searchField()->setText(QStringLiteral("19"));
  QApplication::processEvents();
  ok = Save(persons, dir, QStringLiteral("person_window_search")) && ok;
  persons->close();
  delete persons;

  // 合盤 of the demo chart with 林美, the second person of the list.
  {
    qelm::ui::CompareWindow compare(*window.chart(), window.flow().moment, folder);
    compare.ChooseSecond(1);
    ok = Save(&compare, dir, QStringLiteral("compare_window")) && ok;
  }

  // 陳大文 was born in Chengdu; his chart is read in true solar time.
  const std::vector<qelm::KnownPlace> chengdu = qelm::FindPlaces("成都", 1);
  if (chengdu.empty()) {
    std::fprintf(stderr, "Chengdu is not in the place list\n");
    return 1;
  }
  const qelm::StoredBirthPlace born{chengdu.front().place(), qelm::TimeMode::Solar};
  {
    qelm::records::PlaceBook book;
    qelm::records::ApplyPlaceChange(book, {std::nullopt,
                                           qelm::records::Fields{"陳大文", "男", "1975", "8", "21", "14", "5"},
                                           qelm::ToPlaceEntry(born)});
    std::ofstream(qelm::records::PlaceFilePath(folder / "User"), std::ios::binary)
        << qelm::records::SerializePlaceFile(book).value_or("");
  }
  auto* placed = new qelm::ui::PersonWindow(window, store);
  placed->show();
  QApplication::processEvents();
  list = placed->personList()->view();
  list->setCurrentIndex(list->model()->index(2, 0));
  const QPointF row = list->visualRect(list->model()->index(2, 0)).center();
  QMouseEvent rowClick(QEvent::MouseButtonRelease, row, list->viewport()->mapToGlobal(row), Qt::LeftButton,
                       Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &rowClick);
  ok = Save(placed, dir, QStringLiteral("person_window_place")) && ok;
  placed->close();
  delete placed;

  if (!window.CastChart("陳大文", qelm::Sex::Male, qelm::BirthOf({1975, 8, 21, 14, 5}, born, qelm::DayChange::AtZiStart))) {
    std::fprintf(stderr, "the corrected chart was refused\n");
    return 1;
  }
  ok = Save(&window, dir, QStringLiteral("main_window_correction")) && ok;

  // 時辰不詳: the demo birth's date in its candidate stretches beside the chart.
  if (!window.CastChart("王小明", 1, {1990, 5, 17, 14, 30})) {
    std::fprintf(stderr, "the demo chart was refused\n");
    return 1;
  }
  window.ShowHourCandidates(true);
  ok = Save(&window, dir, QStringLiteral("main_window_candidates")) && ok;

  // 由八字找生日 for the demo chart's year, month and day, the hour left open.
  qelm::ui::FindBirthWindow finder(qelm::DayChange::AtZiStart);
  finder.choose({*qelm::ParsePillar("庚午"), *qelm::ParsePillar("辛巳"), *qelm::ParsePillar("癸酉"), std::nullopt});
  ok = Save(&finder, dir, QStringLiteral("find_birth_window")) && ok;
  return ok ? 0 : 1;
}
