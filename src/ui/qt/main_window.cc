#include "ui/qt/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "shell/monitoring.h"
#include "shell/startup.h"
#include "ui/qt/dialog_units.h"

namespace qtface {
namespace {

struct LabelSpec {
  int x, y, w, h;
  const char* text;
};

// The template's right-aligned labels.
constexpr LabelSpec kLabels[] = {
    {18, 21, 106, 8, "Productos :"},
    {18, 32, 106, 8, "Entidades :"},
    {18, 43, 106, 8, "Documentos Administrativos :"},
    {18, 54, 106, 8, "Pagos :"},
    {18, 86, 106, 8, "Ultima Ejecución :"},
    {18, 98, 106, 8, "Ultima Actualización :"},
};

struct ValueSpec {
  int id;
  int x, y, w, h;
};

constexpr ValueSpec kValues[] = {
    {kIdProducts, 128, 21, 39, 8},  {kIdEntities, 128, 32, 39, 8},
    {kIdDocuments, 128, 43, 39, 8}, {kIdPayments, 128, 54, 39, 8},
    {kIdLastRun, 128, 86, 48, 8},   {kIdLastUpdate, 128, 98, 45, 8},
};

// Template size in dialog units.
constexpr int kWidth = 188;
constexpr int kHeight = 121;

}  // namespace

QString MainWindowCaption(const std::string& company) {
  return QStringLiteral("Empresa Activa : ") + QString::fromStdString(company);
}

MainWindow::MainWindow(shell::ProcessContext& ctx, MainWindowHooks hooks,
                       QWidget* parent)
    : QMainWindow(parent), ctx_(ctx), hooks_(std::move(hooks)) {
  setObjectName(QStringLiteral("PRINCIPAL"));
  setWindowTitle(MainWindowCaption(ctx_.CNUMEROEMPRESA));
  // Caption bar with system menu and minimise box, no maximise.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  BuildControls();
  BuildMenu();
  Refresh();
}

void MainWindow::BuildControls() {
  const DialogUnits du;
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("client"));
  central->setFont(DialogFont());
  central->setFixedSize(du.X(kWidth), du.Y(kHeight));

  auto* frame = new QGroupBox(QStringLiteral("Acciones"), central);
  frame->setGeometry(du.Rect(10, 9, 168, 71));

  for (const LabelSpec& spec : kLabels) {
    auto* label = new QLabel(QString::fromUtf8(spec.text), central);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setGeometry(du.Rect(spec.x, spec.y, spec.w, spec.h));
  }
  for (const ValueSpec& spec : kValues) {
    auto* value = new QLabel(central);
    value->setObjectName(QString::number(spec.id));
    value->setGeometry(du.Rect(spec.x, spec.y, spec.w, spec.h));
  }
  setCentralWidget(central);
}

void MainWindow::BuildMenu() {
  QMenu* actions = menuBar()->addMenu(QStringLiteral("&Acciones"));
  connect(actions->addAction(QStringLiteral("Activar Interface")), &QAction::triggered,
          this, [this] {
            if (hooks_.activate) hooks_.activate();
          });
  actions->addSeparator();
  // Pending window messages are processed before the box so the menu is
  // closed and the window repainted behind it.
  connect(actions->addAction(QStringLiteral("Activar Monitoreo")), &QAction::triggered,
          this, [this] {
            QApplication::processEvents();
            shell::SetMonitoring(ctx_, true);
          });
  connect(actions->addAction(QStringLiteral("Desactivar Monitoreo")),
          &QAction::triggered, this, [this] {
            QApplication::processEvents();
            shell::SetMonitoring(ctx_, false);
          });
  actions->addSeparator();
  connect(actions->addAction(QStringLiteral("Configuración")), &QAction::triggered, this,
          [this] {
            if (hooks_.configure) hooks_.configure();
          });
  actions->addSeparator();
  connect(actions->addAction(QStringLiteral("&Salir")), &QAction::triggered, this,
          [this] { close(); });

  QMenu* parameters = menuBar()->addMenu(QStringLiteral("&Parámetros"));
  connect(parameters->addAction(QStringLiteral("Empresas")), &QAction::triggered, this,
          [this] {
            if (hooks_.companies) hooks_.companies();
          });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  if (!ctx_.platform.Ask("Desea salir ?", "Select an option")) {
    event->ignore();
    return;
  }
  closing_ = true;
  shell::Shutdown(ctx_);
  event->accept();
}

void MainWindow::SetState(const MainWindowState& state) {
  state_ = state;
  Refresh();
}

void MainWindow::SetLastRun(const std::string& time) {
  state_.last_run = time;
  Refresh();
}

QLabel* MainWindow::Control(int id) const {
  return centralWidget()->findChild<QLabel*>(QString::number(id),
                                             Qt::FindDirectChildrenOnly);
}

QAction* MainWindow::MenuAction(const QString& text) const {
  for (QAction* top : menuBar()->actions()) {
    if (!top->menu()) continue;
    for (QAction* item : top->menu()->actions()) {
      if (item->text() == text) return item;
    }
  }
  return nullptr;
}

void MainWindow::Refresh() {
  auto show = [this](int id, const QString& text) {
    if (QLabel* control = Control(id)) control->setText(text);
  };
  show(kIdProducts, QString::number(state_.products));
  show(kIdEntities, QString::number(state_.entities));
  show(kIdDocuments, QString::number(state_.documents));
  show(kIdPayments, QString::number(state_.payments));
  show(kIdLastRun, QString::fromStdString(state_.last_run));
  show(kIdLastUpdate, QString::fromStdString(state_.last_update));
}

}  // namespace qtface
