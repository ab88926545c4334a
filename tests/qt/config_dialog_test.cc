#include "ui/qt/config_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "config/trace.h"
#include "shell/process_context.h"
#include "support/odbc_test_env.h"
#include "ui/manual_timer.h"
#include "ui/qt/dialog_units.h"
#include "ui/recording_platform.h"

namespace qtface {
namespace {

using Page = ConfigDialog::Page;

// Accepts every connection and records what it was asked to open.
class RecordingChecker : public config::ConnectionChecker {
 public:
  bool CanConnect(const std::string& dsn, const std::string& user,
                  const std::string& password) override {
    calls.push_back(dsn + "|" + user + "|" + password);
    return true;
  }
  void EndConnection(std::shared_ptr<db::TOdbc>& connection) override { connection.reset(); }
  std::vector<std::string> calls;
};

// Replaces the field's text by typing, as the user would.
void Type(QLineEdit* edit, const QString& text) {
  ASSERT_NE(edit, nullptr);
  edit->selectAll();
  // QTest maps ASCII characters to keys; others are sent as typed text.
  for (const QChar ch : text) {
    if (ch.unicode() < 0x80) {
      QTest::keyClick(edit, ch.toLatin1());
    } else {
      QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
  }
}

// Runs `action` on the dialog once exec() has shown it; a dialog the action
// left open is cancelled so that exec() returns.
void WhenOpen(std::function<void(ConfigDialog&)> action) {
  QTimer::singleShot(0, [action] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<ConfigDialog*>(widget);
      if (dialog == nullptr || !dialog->isVisible()) continue;
      action(*dialog);
      if (dialog->isVisible()) dialog->reject();
      return;
    }
    ADD_FAILURE() << "the configuration dialog is not open";
  });
}

QPushButton* Button(ConfigDialog& dialog, int id) {
  return dialog.findChild<QPushButton*>(QString::number(id));
}

std::vector<std::string> ChildTexts(QWidget* page) {
  std::vector<std::string> texts;
  for (QObject* child : page->children()) {
    if (auto* label = qobject_cast<QLabel*>(child)) texts.push_back(label->text().toStdString());
    if (auto* group = qobject_cast<QGroupBox*>(child)) texts.push_back(group->title().toStdString());
  }
  return texts;
}

struct ConfigDialogTest : ::testing::Test {
  // The configuration object of a first start: nothing stored, every
  // connection value 200 blanks.
  config::TInicio Fresh() {
    bool ok = true;
    auto ini = config::TInicio::New(testsupport::FreshDir("qt-config-dialog"), platform, ok);
    EXPECT_FALSE(ok);
    platform.messages.clear();
    return ini;
  }
  // Types a complete configuration, with blanks around some values.
  void TypeComplete(ConfigDialog& dialog) {
    Type(dialog.Edit(ConfigDialog::kConexiones, 100), "  QUORIX ");
    Type(dialog.Edit(ConfigDialog::kConexiones, 101), "sa");
    Type(dialog.Edit(ConfigDialog::kConexiones, 102), " s3cret");
    Type(dialog.Edit(ConfigDialog::kConexiones, 108), "   ");
    Type(dialog.Edit(ConfigDialog::kConexiones, 103), "VELMORA");
    Type(dialog.Edit(ConfigDialog::kConexiones, 104), "vel");
    Type(dialog.Edit(ConfigDialog::kConexiones, 105), "pw ");
    Type(dialog.Edit(ConfigDialog::kConexiones, 106), "VELMORADB");
    Type(dialog.Edit(ConfigDialog::kConexiones, 107), "Modern_Spanish_CI_AS");
    Type(dialog.Edit(ConfigDialog::kOtros, 100), " peñalolén@example.com ");
    Type(dialog.Edit(ConfigDialog::kOtros, 101), "0");
  }
  ui::RecordingPlatform platform;
  RecordingChecker checker;
};

TEST_F(ConfigDialogTest, TemplateControlsTextsAndPositions) {
  ConfigDialog dialog;
  const DialogUnits du(dialog.font());
  EXPECT_EQ(dialog.objectName(), "CONFIG");
  EXPECT_EQ(dialog.windowTitle(), "Conexiones");
  EXPECT_EQ(dialog.size(), QSize(du.X(453), du.Y(272)));

  QTabWidget* tabs = dialog.findChild<QTabWidget*>("99");
  ASSERT_EQ(tabs, dialog.Tabs());
  EXPECT_EQ(tabs->geometry(), du.Rect(10, 6, 431, 234));
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(0), "&Conexiones");
  EXPECT_EQ(tabs->widget(0)->objectName(), "CONFIG_001");
  EXPECT_EQ(tabs->tabText(1), "&Otros");
  EXPECT_EQ(tabs->widget(1)->objectName(), "CONFIG_002");

  struct ButtonCase { int id; const char* text; QRect rect; };
  for (const ButtonCase& c : {ButtonCase{200, "Salir", du.Rect(10, 245, 65, 14)},
                              ButtonCase{210, "Grabar", du.Rect(80, 245, 65, 14)}}) {
    QPushButton* button = Button(dialog, c.id);
    ASSERT_NE(button, nullptr) << c.id;
    EXPECT_EQ(button->text(), c.text);
    EXPECT_EQ(button->geometry(), c.rect);
    EXPECT_FALSE(button->autoDefault());  // Enter in a field neither saves nor leaves
  }

  struct EditCase { Page page; int id; int x, y, w, h; int max_length; };
  const EditCase edits[] = {
      {ConfigDialog::kConexiones, 100, 75, 17, 116, 12, 200},
      {ConfigDialog::kConexiones, 101, 244, 17, 100, 12, 200},
      {ConfigDialog::kConexiones, 102, 244, 33, 100, 12, 200},
      {ConfigDialog::kConexiones, 108, 74, 50, 270, 12, 200},
      {ConfigDialog::kConexiones, 103, 74, 88, 116, 12, 200},
      {ConfigDialog::kConexiones, 104, 243, 88, 100, 12, 200},
      {ConfigDialog::kConexiones, 105, 243, 104, 100, 12, 200},
      {ConfigDialog::kConexiones, 106, 73, 123, 270, 12, 200},
      {ConfigDialog::kConexiones, 107, 73, 139, 270, 12, 200},
      {ConfigDialog::kOtros, 100, 113, 18, 242, 12, 200},
      {ConfigDialog::kOtros, 101, 113, 46, 44, 12, 4},
  };
  for (const EditCase& c : edits) {
    QLineEdit* edit = dialog.Edit(c.page, c.id);
    ASSERT_NE(edit, nullptr) << c.page << "/" << c.id;
    EXPECT_EQ(edit->parentWidget(), tabs->widget(c.page));
    EXPECT_EQ(edit->geometry(), du.Rect(c.x, c.y, c.w, c.h)) << c.page << "/" << c.id;
    EXPECT_EQ(edit->maxLength(), c.max_length) << c.page << "/" << c.id;
    // Passwords too are shown in clear.
    EXPECT_EQ(edit->echoMode(), QLineEdit::Normal) << c.page << "/" << c.id;
  }

  EXPECT_EQ(ChildTexts(tabs->widget(0)),
            (std::vector<std::string>{
                " Origen ", " Destino ", "DNS :", "Usuario :", "Password :",
                "Intercalación :", "DNS :", "Usuario :", "Password :", "Nombre BD :",
                "Intercalación :",
                "La siguiente instrucción rescata la intercalación de todas las bases de "
                "datos, copie la que corresponde a esta base de datos. ",
                "SELECT NAME,COLLATION_NAME FROM sys.databases ORDER BY NAME",
                "Nota: Los datos de las conexiones serán encriptados al grabarse."}));
  EXPECT_EQ(ChildTexts(tabs->widget(1)),
            (std::vector<std::string>{
                " Funcionamiento y errores ", "Destinatario de correos :",
                "( a este correo se enviarán los problemas del proceso )",
                "Intervalo de actualización :", "default=250 ciclos - aprox:10 segundos"}));
}

TEST_F(ConfigDialogTest, IntervalTakesAtMostFourDigits) {
  ConfigDialog dialog;
  QLineEdit* interval = dialog.Edit(ConfigDialog::kOtros, 101);
  for (const auto& [typed, shown] : std::vector<std::pair<QString, QString>>{
           {"-12", "12"}, {"12345", "1234"}, {"9a9", "99"}, {"", ""}}) {
    interval->clear();
    QTest::keyClicks(interval, typed);
    EXPECT_EQ(interval->text(), shown) << typed.toStdString();
  }
  config::TInicio ini;
  dialog.Store(ini);
  EXPECT_EQ(ini.nLapso, 0);  // an emptied field is 0, which the save turns into 250
}

TEST_F(ConfigDialogTest, FillsFromTheConfiguration) {
  ConfigDialog dialog;
  auto ini = Fresh();
  dialog.Tabs()->setCurrentIndex(ConfigDialog::kOtros);
  dialog.Fill(ini);
  // A first start's 200-blank values leave the fields empty and typable.
  EXPECT_EQ(dialog.Edit(ConfigDialog::kConexiones, 100)->text(), "");
  EXPECT_EQ(dialog.Edit(ConfigDialog::kOtros, 101)->text(), "250");
  EXPECT_EQ(dialog.Tabs()->currentIndex(), ConfigDialog::kConexiones);

  ini.cDSN = " QUORIX  ";
  ini.cPassword = "s3cret";
  ini.cCollation = std::string(250, 'c');
  ini.cDestinatario = "ops@example.com";
  ini.nLapso = 9999;
  dialog.Fill(ini);
  EXPECT_EQ(dialog.Edit(ConfigDialog::kConexiones, 100)->text(), " QUORIX");
  EXPECT_EQ(dialog.Edit(ConfigDialog::kConexiones, 102)->text(), "s3cret");
  EXPECT_EQ(dialog.Edit(ConfigDialog::kConexiones, 107)->text(), QString(200, 'c'));
  EXPECT_EQ(dialog.Edit(ConfigDialog::kOtros, 100)->text(), "ops@example.com");
  EXPECT_EQ(dialog.Edit(ConfigDialog::kOtros, 101)->text(), "9999");
}

TEST_F(ConfigDialogTest, ConfirmStoresTrimmedValuesSavesAndConfirms) {
  auto ini = Fresh();
  ConfigDialog dialog;
  dialog.Fill(ini);
  TypeComplete(dialog);
  ApplyConfirmed(dialog, ini, platform, checker);

  EXPECT_EQ(ini.cDSN, "QUORIX");
  EXPECT_EQ(ini.cUser, "sa");
  EXPECT_EQ(ini.cPassword, "s3cret");
  EXPECT_EQ(ini.cCollationOrigen, "");  // may stay empty
  EXPECT_EQ(ini.cDSNDestino, "VELMORA");
  EXPECT_EQ(ini.cPasswordDestino, "pw");
  EXPECT_EQ(ini.BaseDestino, "VELMORADB");
  EXPECT_EQ(ini.cCollation, "Modern_Spanish_CI_AS");
  EXPECT_EQ(ini.cDestinatario, "peñalolén@example.com");
  EXPECT_EQ(ini.nLapso, 250);  // 0 as entered, turned into the default by the save
  EXPECT_EQ(checker.calls,
            (std::vector<std::string>{"QUORIX|sa|s3cret", "VELMORA|vel|pw"}));
  // The save's own notice, then the dialog's.
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].text.rfind("Su configuración fue grabada", 0), 0u);
  EXPECT_EQ(platform.messages[1].kind, ui::MessageKind::kInformation);
  EXPECT_EQ(platform.messages[1].title, "ATENCION");
  EXPECT_EQ(platform.messages[1].text, "Datos fueron actualizados");

  bool ok = false;
  auto reloaded = config::TInicio::New(ini.cRuta, platform, ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(reloaded.cPassword, "s3cret");
  EXPECT_EQ(reloaded.cDestinatario, "peñalolén@example.com");
}

TEST_F(ConfigDialogTest, RefusedSaveStillKeepsTheValuesAndConfirms) {
  auto ini = Fresh();
  ConfigDialog dialog;
  dialog.Fill(ini);
  TypeComplete(dialog);
  Type(dialog.Edit(ConfigDialog::kConexiones, 102), "  ");  // empty origin password
  ApplyConfirmed(dialog, ini, platform, checker);

  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].kind, ui::MessageKind::kStop);
  EXPECT_EQ(platform.messages[0].text,
            "Debe completar todos los datos. Grabación no se efectuó");
  EXPECT_EQ(platform.messages[1].kind, ui::MessageKind::kInformation);
  EXPECT_EQ(platform.messages[1].text, "Datos fueron actualizados");
  EXPECT_TRUE(checker.calls.empty());
  EXPECT_FALSE(std::filesystem::exists(ini.IniPath()));
  // In force at once, though not saved.
  EXPECT_EQ(ini.cPassword, "");
  EXPECT_EQ(ini.cDSN, "QUORIX");
}

TEST_F(ConfigDialogTest, GrabarHoldsTheRunningTimerAndSaves) {
  auto ini = Fresh();
  ui::ManualTimer timer;
  timer.Start(shell::kCyclePeriod);
  bool held = false;
  WhenOpen([&](ConfigDialog& dialog) {
    held = !timer.IsActive();
    EXPECT_EQ(dialog.Tabs()->currentIndex(), ConfigDialog::kConexiones);
    TypeComplete(dialog);
    // The timer is still held while the messages are shown.
    QTest::mouseClick(Button(dialog, 210), Qt::LeftButton);
  });
  EXPECT_TRUE(PIDECONFIG(ini, platform, checker, &timer));
  EXPECT_TRUE(held);
  EXPECT_EQ(ini.cDSN, "QUORIX");
  ASSERT_FALSE(platform.messages.empty());
  EXPECT_EQ(platform.messages.back().text, "Datos fueron actualizados");
  EXPECT_TRUE(timer.IsActive());
  EXPECT_EQ(timer.stops, 1);
  EXPECT_EQ(timer.starts, 2);
  EXPECT_EQ(timer.period(), shell::kCyclePeriod);
}

TEST_F(ConfigDialogTest, SalirAndCloseChangeNothing) {
  config::TInicio ini;
  ini.cDSN = "QUORIX";
  ini.nLapso = 300;
  const std::vector<std::function<void(ConfigDialog&)>> cancels = {
      [](ConfigDialog& dialog) { QTest::mouseClick(Button(dialog, 200), Qt::LeftButton); },
      [](ConfigDialog& dialog) { dialog.close(); },
      [](ConfigDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
  };
  for (size_t i = 0; i < cancels.size(); ++i) {
    ui::ManualTimer timer;
    timer.Start(shell::kCyclePeriod);
    WhenOpen([&](ConfigDialog& dialog) {
      EXPECT_FALSE(timer.IsActive()) << i;
      Type(dialog.Edit(ConfigDialog::kConexiones, 100), "OTRO");
      Type(dialog.Edit(ConfigDialog::kOtros, 101), "5");
      cancels[i](dialog);
      EXPECT_FALSE(dialog.isVisible()) << i;
    });
    EXPECT_FALSE(PIDECONFIG(ini, platform, checker, &timer)) << i;
    EXPECT_EQ(ini.cDSN, "QUORIX");
    EXPECT_EQ(ini.nLapso, 300);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(timer.IsActive()) << i;
    EXPECT_EQ(timer.starts, 2) << i;
  }
}

TEST_F(ConfigDialogTest, AStoppedOrMissingTimerIsLeftAlone) {
  config::TInicio ini;
  ui::ManualTimer stopped;
  WhenOpen([](ConfigDialog&) {});
  EXPECT_FALSE(PIDECONFIG(ini, platform, checker, &stopped));
  EXPECT_FALSE(stopped.IsActive());  // the dialog does not start a scheduler
  EXPECT_EQ(stopped.starts + stopped.stops, 0);
  WhenOpen([](ConfigDialog&) {});
  EXPECT_FALSE(PIDECONFIG(ini, platform, checker, nullptr));
}

TEST_F(ConfigDialogTest, TheSchedulerPausesAndKeepsItsCounts) {
  const auto dir = testsupport::FreshDir("qt-config-scheduler");
  config::MonitorTrace trace{dir};
  shell::ProcessContext ctx{platform, trace};
  ctx.ini.cModalidad = "PDA";
  ctx.ini.nLapso = 1000;
  ui::ManualTimer* timer = nullptr;
  shell::CycleScheduler scheduler(
      ctx,
      [&timer] {
        auto made = std::make_unique<ui::ManualTimer>();
        timer = made.get();
        return made;
      },
      shell::CycleHooks{});
  ASSERT_TRUE(scheduler.ACTIVAR());
  ASSERT_TRUE(timer->Tick());
  ASSERT_TRUE(timer->Tick());
  WhenOpen([&](ConfigDialog& dialog) {
    EXPECT_FALSE(timer->Tick());  // no tick counts while the dialog is open
    QTest::mouseClick(Button(dialog, 200), Qt::LeftButton);
  });
  EXPECT_FALSE(PIDECONFIG(ctx.ini, platform, checker, scheduler));
  EXPECT_TRUE(timer->IsActive());
  EXPECT_EQ(scheduler.orders_count(), 2);
  ASSERT_TRUE(timer->Tick());
  EXPECT_EQ(scheduler.orders_count(), 3);
}

}  // namespace
}  // namespace qtface
