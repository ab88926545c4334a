// The main window PRINCIPAL: the counters and times of the service, the menu
// of BUILDMENU and the exit confirmation asked on every way of closing.
#pragma once

#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <string>

#include "shell/process_context.h"

class QAction;
class QCloseEvent;
class QLabel;

namespace qtface {

// What the menu items do beyond this window; an empty hook does nothing.
struct MainWindowHooks {
  std::function<void()> activate;   // "Activar Interface": ACTIVAR
  std::function<void()> configure;  // "Configuración": PIDECONFIG
  std::function<void()> companies;  // "Empresas": PARAM(..., "EMPRESAS")
};

// Control ids of the template's value controls.
inline constexpr int kIdProducts = 100;
inline constexpr int kIdEntities = 110;
inline constexpr int kIdDocuments = 120;
inline constexpr int kIdPayments = 130;
inline constexpr int kIdLastRun = 200;
inline constexpr int kIdLastUpdate = 210;

// The main-window state shown in the value controls.
struct MainWindowState {
  int64_t products = 0;
  int64_t entities = 0;
  int64_t documents = 0;
  int64_t payments = 0;
  std::string last_run;     // hh:mm:ss, empty until the first run
  std::string last_update;  // hh:mm:ss, empty until rows were written
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `ctx` must outlive the window; its platform asks the questions.
  MainWindow(shell::ProcessContext& ctx, MainWindowHooks hooks,
             QWidget* parent = nullptr);

  const MainWindowState& state() const { return state_; }
  void SetState(const MainWindowState& state);
  // The scheduler's on_last_run.
  void SetLastRun(const std::string& time);

  // The value control with template id `id`; nullptr for an unknown id.
  QLabel* Control(int id) const;
  // The menu item with the given text (as in the menu, with its '&').
  QAction* MenuAction(const QString& text) const;

  // True once the user confirmed the exit and the resources were ended.
  bool closing() const { return closing_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void BuildMenu();
  void Refresh();

  shell::ProcessContext& ctx_;
  MainWindowHooks hooks_;
  MainWindowState state_;
  bool closing_ = false;
};

// "Empresa Activa : " + the active company.
QString MainWindowCaption(const std::string& company);

}  // namespace qtface
