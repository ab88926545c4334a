#include "ui/qt/qt_platform.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>

namespace qtface {
namespace {

// Once the next modal box is up, hands it to `act` (which must close it).
void OnNextBox(std::function<void(QMessageBox*)> act) {
  QTimer::singleShot(0, [act] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      ADD_FAILURE() << "no message box";
      return;
    }
    act(box);
  });
}

TEST(QtPlatformTest, MessagesAreModalBoxesOfTheirKind) {
  struct Case {
    ui::MessageKind kind;
    QMessageBox::Icon icon;
  };
  const Case cases[] = {{ui::MessageKind::kInformation, QMessageBox::Information},
                        {ui::MessageKind::kStop, QMessageBox::Critical},
                        {ui::MessageKind::kAlert, QMessageBox::Warning}};
  QtPlatform platform;
  for (const Case& c : cases) {
    bool seen = false;
    OnNextBox([&](QMessageBox* box) {
      seen = true;
      EXPECT_EQ(box->icon(), c.icon);
      EXPECT_EQ(box->windowTitle(), QStringLiteral("ATENCION"));
      EXPECT_EQ(box->text(), QStringLiteral("Línea uno\r\ndos"));
      box->accept();
    });
    platform.Message(c.kind, "Línea uno\r\ndos", "ATENCION");
    EXPECT_TRUE(seen) << ui::MessageKindName(c.kind);
  }
}

TEST(QtPlatformTest, AskAnswersWhatTheUserClicked) {
  QtPlatform platform;
  for (const auto button : {QMessageBox::Yes, QMessageBox::No}) {
    OnNextBox([button](QMessageBox* box) {
      EXPECT_EQ(box->windowTitle(), QStringLiteral("Select an option"));
      EXPECT_EQ(box->text(), QStringLiteral("Desea salir ?"));
      box->button(button)->click();
    });
    EXPECT_EQ(platform.Ask("Desea salir ?", "Select an option"),
              button == QMessageBox::Yes);
  }
}

TEST(QtPlatformTest, WaitPointerNestsAndRestores) {
  QtPlatform platform;
  platform.WaitPointer(true);
  platform.WaitPointer(true);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  platform.WaitPointer(false);
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  platform.WaitPointer(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtPlatformDeathTest, EndProgramRunsTheShutdownThenExitsWithTheStatus) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        QtPlatform platform;
        platform.SetShutdown([] { std::fputs("shutdown ran\n", stderr); });
        platform.EndProgram(2);
      },
      ::testing::ExitedWithCode(2), "shutdown ran");
}

}  // namespace
}  // namespace qtface
