// PIDECONFIG: the configuration dialog of the desktop face. Two tab pages
// ("&Conexiones", "&Otros") with the connection values of origin and
// destination, the mail recipient and the scheduler interval; "Grabar" puts
// the values into the configuration object at once, trimmed, and asks it to
// validate, test and save them (Actualizar); "Datos fueron actualizados"
// follows whatever Actualizar answered. The cycle timer does not tick while
// the dialog is open.
//
// Every control carries its template id as its object name ("100", "210"...),
// each page its template name ("CONFIG_001", "CONFIG_002"), so code and tests
// find controls by id. The ids 100 and 101 exist on both pages: look them up
// through Edit(page, id).
#pragma once

#include <QDialog>
#include <chrono>

#include "config/tinicio.h"
#include "shell/scheduler.h"
#include "ui/platform.h"
#include "ui/timer.h"

class QLineEdit;
class QTabWidget;
class QWidget;

namespace qtface {

// The template CONFIG with its pages CONFIG_001 and CONFIG_002, positions in
// dialog units of DialogFont(). "Grabar" accepts, "Salir", Escape and the
// window's close reject.
class ConfigDialog : public QDialog {
  Q_OBJECT

 public:
  enum Page { kConexiones = 0, kOtros = 1 };

  explicit ConfigDialog(QWidget* parent = nullptr);

  // Fills the edit fields from `ini`: texts without their trailing blanks and
  // cut to 200 characters, the interval as a number. Shows "&Conexiones".
  void Fill(const config::TInicio& ini);

  // Stores the fields into `ini`: texts without surrounding blanks, the
  // interval as entered (an empty field is 0).
  void Store(config::TInicio& ini) const;

  // The edit field with template id `id` on `page`; null when there is none.
  QLineEdit* Edit(Page page, int id) const;
  QTabWidget* Tabs() const { return tabs_; }

 private:
  QTabWidget* tabs_;
  QWidget* pages_[2];
};

// What "Grabar" does once the dialog is closed: Store, Actualizar, then the
// information box "Datos fueron actualizados" whatever Actualizar returned.
void ApplyConfirmed(const ConfigDialog& dialog, config::TInicio& ini,
                    ui::Platform& platform, config::ConnectionChecker& checker);

// Runs the dialog modally. When `cycle_timer` is given and running, it is
// stopped while the dialog is open and started again with `period` after it
// (the scheduler's counters are not touched). True when the user confirmed.
bool PIDECONFIG(config::TInicio& ini, ui::Platform& platform,
                config::ConnectionChecker& checker, ui::Timer* cycle_timer,
                QWidget* parent = nullptr,
                std::chrono::milliseconds period = shell::kCyclePeriod);

// The same, holding the scheduler's timer through Suspend/Resume (nothing
// happens to it before the scheduler's activation).
bool PIDECONFIG(config::TInicio& ini, ui::Platform& platform,
                config::ConnectionChecker& checker, shell::CycleScheduler& scheduler,
                QWidget* parent = nullptr);

}  // namespace qtface
