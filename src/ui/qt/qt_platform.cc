#include "ui/qt/qt_platform.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace qtface {

void QtPlatform::Message(ui::MessageKind kind, const std::string& text,
                         const std::string& title) {
  const QString qtitle = QString::fromStdString(title);
  const QString qtext = QString::fromStdString(text);
  switch (kind) {
    case ui::MessageKind::kInformation:
      QMessageBox::information(parent_, qtitle, qtext);
      break;
    case ui::MessageKind::kStop:
      QMessageBox::critical(parent_, qtitle, qtext);
      break;
    case ui::MessageKind::kAlert:
      QMessageBox::warning(parent_, qtitle, qtext);
      break;
  }
}

bool QtPlatform::Ask(const std::string& text, const std::string& title) {
  return QMessageBox::question(parent_, QString::fromStdString(title),
                               QString::fromStdString(text),
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::Yes) == QMessageBox::Yes;
}

void QtPlatform::WaitPointer(bool on) {
  if (on) {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtPlatform::EndProgram(int status) {
  if (shutdown_) {
    // Run once: a failure inside the shutdown work must not loop back here.
    auto shutdown = std::move(shutdown_);
    shutdown_ = nullptr;
    shutdown();
  }
  std::fflush(nullptr);
  std::exit(status);
}

}  // namespace qtface
