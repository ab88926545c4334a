#include "ui/qt/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <ctime>
#include <memory>
#include <vector>

#include "config/trace.h"
#include "shell/scheduler.h"
#include "support/odbc_test_env.h"
#include "ui/manual_timer.h"
#include "ui/qt/dialog_units.h"
#include "ui/recording_platform.h"

namespace qtface {
namespace {

struct MainWindowTest : ::testing::Test {
  MainWindowTest() {
    ctx.CNUMEROEMPRESA = "07";
    hooks.activate = [this] { calls.push_back("activate"); };
    hooks.configure = [this] { calls.push_back("configure"); };
    hooks.companies = [this] { calls.push_back("companies"); };
    window = std::make_unique<MainWindow>(ctx, hooks);
    window->show();
  }
  ~MainWindowTest() override {
    // Let the fixture's window go without the confirmation.
    platform.answers.assign({true});
    window->close();
  }

  std::filesystem::path dir = testsupport::FreshDir(
      ::testing::UnitTest::GetInstance()->current_test_info()->name());
  ui::RecordingPlatform platform;
  config::MonitorTrace trace{dir};
  shell::ProcessContext ctx{platform, trace};
  std::vector<std::string> calls;
  MainWindowHooks hooks;
  std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, MenuIsExactlyTheTwoDropDownsInOrder) {
  std::vector<std::pair<QString, std::vector<QString>>> seen;
  for (QAction* top : window->menuBar()->actions()) {
    ASSERT_NE(top->menu(), nullptr);
    std::vector<QString> items;
    for (QAction* item : top->menu()->actions()) {
      items.push_back(item->isSeparator() ? QStringLiteral("—") : item->text());
    }
    seen.emplace_back(top->text(), items);
  }
  const std::vector<std::pair<QString, std::vector<QString>>> expected = {
      {QStringLiteral("&Acciones"),
       {QStringLiteral("Activar Interface"), QStringLiteral("—"),
        QStringLiteral("Activar Monitoreo"), QStringLiteral("Desactivar Monitoreo"),
        QStringLiteral("—"), QStringLiteral("Configuración"), QStringLiteral("—"),
        QStringLiteral("&Salir")}},
      {QStringLiteral("&Parámetros"), {QStringLiteral("Empresas")}},
  };
  EXPECT_EQ(seen, expected);
}

TEST_F(MainWindowTest, CaptionNamesTheActiveCompany) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Empresa Activa : 07"));
  shell::ProcessContext none{platform, trace};
  MainWindow empty(none, {});
  EXPECT_EQ(empty.windowTitle(), QStringLiteral("Empresa Activa : "));
}

TEST_F(MainWindowTest, ValueControlsSitAtTheTemplatePositions) {
  const DialogUnits du;
  struct Case {
    int id, x, y, w, h;
    const char* text;
  };
  const Case cases[] = {
      {100, 128, 21, 39, 8, "0"}, {110, 128, 32, 39, 8, "0"},
      {120, 128, 43, 39, 8, "0"}, {130, 128, 54, 39, 8, "0"},
      {200, 128, 86, 48, 8, ""},  {210, 128, 98, 45, 8, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    QLabel* control = window->findChild<QLabel*>(QString::number(c.id));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control, window->Control(c.id));
    EXPECT_EQ(control->geometry(), du.Rect(c.x, c.y, c.w, c.h));
    EXPECT_EQ(control->text(), QString::fromUtf8(c.text));
  }
  EXPECT_EQ(window->centralWidget()->size(), QSize(du.X(188), du.Y(121)));

  // The right-aligned labels end where the values begin.
  QStringList labels;
  for (QLabel* label : window->centralWidget()->findChildren<QLabel*>()) {
    if (label->objectName().isEmpty()) {
      labels << label->text();
      EXPECT_EQ(label->geometry().x(), du.X(18));
      EXPECT_TRUE(label->alignment() & Qt::AlignRight);
    }
  }
  EXPECT_EQ(labels, QStringList({"Productos :", "Entidades :",
                                 "Documentos Administrativos :", "Pagos :",
                                 "Ultima Ejecución :", "Ultima Actualización :"}));
}

TEST(DialogUnitsTest, UnitsFollowTheFontMetrics) {
  const DialogUnits du;
  const QFontMetrics metrics(DialogFont());
  EXPECT_EQ(DialogFont().pointSize(), 8);
  EXPECT_EQ(du.X(4), metrics.averageCharWidth());
  EXPECT_EQ(du.Y(8), metrics.height());
  EXPECT_EQ(du.X(400), 100 * metrics.averageCharWidth());
  // A larger font gives larger units: the templates scale with it.
  QFont big = DialogFont();
  big.setPointSize(16);
  EXPECT_GT(DialogUnits(big).Y(121), du.Y(121));
}

TEST_F(MainWindowTest, MonitoringItemsSetTheFlagAndShowTheMessage) {
  window->MenuAction(QStringLiteral("Activar Monitoreo"))->trigger();
  EXPECT_TRUE(ctx.LMONITOREO);
  window->MenuAction(QStringLiteral("Desactivar Monitoreo"))->trigger();
  EXPECT_FALSE(ctx.LMONITOREO);
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].kind, ui::MessageKind::kInformation);
  EXPECT_EQ(platform.messages[0].title, "Information");
  EXPECT_EQ(platform.messages[0].text, "Monitoreo : ACTIVADO");
  EXPECT_EQ(platform.messages[1].title, "Information");
  EXPECT_EQ(platform.messages[1].text,
            "Monitoreo : DESACTIVADO\r\nArchivo queda en Monitoreo_001.TXT");
}

TEST_F(MainWindowTest, OtherItemsCallTheirHooks) {
  window->MenuAction(QStringLiteral("Activar Interface"))->trigger();
  window->MenuAction(QStringLiteral("Configuración"))->trigger();
  window->MenuAction(QStringLiteral("Empresas"))->trigger();
  EXPECT_EQ(calls, (std::vector<std::string>{"activate", "configure", "companies"}));
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(platform.questions.empty());
}

TEST_F(MainWindowTest, EveryCloseAsksAndNoKeepsTheWindowOpen) {
  platform.answers.assign({false, false});
  EXPECT_FALSE(window->close());  // the window's own close command
  window->MenuAction(QStringLiteral("&Salir"))->trigger();
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->closing());
  ASSERT_EQ(platform.questions.size(), 2u);
  for (const auto& q : platform.questions) {
    EXPECT_EQ(q.text, "Desea salir ?");
    EXPECT_EQ(q.title, "Select an option");
  }
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(MainWindowTest, YesEndsTheResourcesAndCloses) {
  ASSERT_TRUE(ctx.oLog.Open((dir / "Log.txt").string()));
  platform.answers.assign({true});
  window->MenuAction(QStringLiteral("&Salir"))->trigger();
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(window->closing());
  EXPECT_FALSE(ctx.oLog.IsOpen());
  EXPECT_EQ(platform.questions.size(), 1u);
}

TEST_F(MainWindowTest, LastRunTimeShownAfterARun) {
  ctx.ini.cModalidad = "PDA";
  ctx.ini.nLapso = 1;
  shell::CycleHooks cycles;
  cycles.switch_connection = [](shell::ProcessContext&) {};
  cycles.SECUENCIAPDA = [](config::TInicio&, shell::ProblemList&) {};
  cycles.send_problems = [](const config::TInicio&, const shell::ProblemList&) {};
  cycles.clock = [] {
    std::tm t{};
    t.tm_hour = 7;
    t.tm_min = 5;
    t.tm_sec = 9;
    return t;
  };
  cycles.on_last_run = [this](const std::string& time) { window->SetLastRun(time); };
  shell::CycleScheduler scheduler(
      ctx, [] { return std::make_unique<ui::ManualTimer>(); }, cycles);
  EXPECT_TRUE(scheduler.RunOnce(shell::CycleKind::kOrders).ran);
  EXPECT_EQ(window->Control(kIdLastRun)->text(), QStringLiteral("07:05:09"));
  EXPECT_EQ(window->Control(kIdLastUpdate)->text(), QString());
  EXPECT_EQ(window->Control(kIdProducts)->text(), QStringLiteral("0"));
}

}  // namespace
}  // namespace qtface
