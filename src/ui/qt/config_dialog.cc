#include "ui/qt/config_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <functional>
#include <string>

#include "config/text.h"
#include "ui/qt/dialog_units.h"

namespace qtface {
namespace {

// Text fields hold at most this many characters (the 200-character buffers).
constexpr int kTextLength = 200;

// One edit field of a page and the configuration field it edits.
struct FieldBinding {
  ConfigDialog::Page page;
  int id;
  std::string config::TInicio::*field;
};

constexpr FieldBinding kTextFields[] = {
    {ConfigDialog::kConexiones, 100, &config::TInicio::cDSN},
    {ConfigDialog::kConexiones, 101, &config::TInicio::cUser},
    {ConfigDialog::kConexiones, 102, &config::TInicio::cPassword},
    {ConfigDialog::kConexiones, 108, &config::TInicio::cCollationOrigen},
    {ConfigDialog::kConexiones, 103, &config::TInicio::cDSNDestino},
    {ConfigDialog::kConexiones, 104, &config::TInicio::cUserDestino},
    {ConfigDialog::kConexiones, 105, &config::TInicio::cPasswordDestino},
    {ConfigDialog::kConexiones, 106, &config::TInicio::BaseDestino},
    {ConfigDialog::kConexiones, 107, &config::TInicio::cCollation},
    {ConfigDialog::kOtros, 100, &config::TInicio::cDestinatario},
};
constexpr int kIntervalId = 101;  // on "&Otros"

// Places controls on one page or frame in dialog units.
class TemplateBuilder {
 public:
  TemplateBuilder(QWidget* parent, const DialogUnits& units)
      : parent_(parent), units_(units) {}

  void Group(int x, int y, int w, int h, const char* title) {
    auto* frame = new QGroupBox(QString::fromUtf8(title), parent_);
    frame->setGeometry(units_.Rect(x, y, w, h));
  }
  QLabel* Label(int x, int y, int w, int h, const char* text, bool right_aligned) {
    auto* label = new QLabel(QString::fromUtf8(text), parent_);
    label->setGeometry(units_.Rect(x, y, w, h));
    label->setAlignment((right_aligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    label->setWordWrap(!right_aligned);
    return label;
  }
  QLineEdit* Edit(int id, int x, int y, int w, int h) {
    auto* edit = new QLineEdit(parent_);
    edit->setObjectName(QString::number(id));
    edit->setGeometry(units_.Rect(x, y, w, h));
    edit->setMaxLength(kTextLength);
    return edit;  // passwords too are shown in clear (echo mode normal)
  }
  QPushButton* Button(int id, int x, int y, int w, int h, const char* text) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent_);
    button->setObjectName(QString::number(id));
    button->setGeometry(units_.Rect(x, y, w, h));
    // Enter in a field must neither save nor discard the dialog.
    button->setAutoDefault(false);
    return button;
  }

 private:
  QWidget* parent_;
  const DialogUnits& units_;
};

// CONFIG_001, the "&Conexiones" page. Frames first, so they lie below the
// controls they surround.
void BuildConexiones(QWidget* page, const DialogUnits& units) {
  page->setObjectName(QStringLiteral("CONFIG_001"));
  page->resize(units.X(385), units.Y(217));
  TemplateBuilder b(page, units);
  b.Group(10, 3, 360, 69, " Origen ");
  b.Group(10, 75, 360, 119, " Destino ");
  b.Label(31, 19, 41, 8, "DNS :", true);
  b.Edit(100, 75, 17, 116, 12);
  b.Label(200, 19, 41, 8, "Usuario :", true);
  b.Edit(101, 244, 17, 100, 12);
  b.Label(200, 35, 41, 8, "Password :", true);
  b.Edit(102, 244, 33, 100, 12);
  b.Label(21, 52, 50, 8, "Intercalación :", true);
  b.Edit(108, 74, 50, 270, 12);
  b.Label(44, 90, 27, 8, "DNS :", true);
  b.Edit(103, 74, 88, 116, 12);
  b.Label(208, 90, 32, 8, "Usuario :", true);
  b.Edit(104, 243, 88, 100, 12);
  b.Label(199, 106, 41, 8, "Password :", true);
  b.Edit(105, 243, 104, 100, 12);
  b.Label(22, 125, 48, 8, "Nombre BD :", true);
  b.Edit(106, 73, 123, 270, 12);
  b.Label(20, 141, 50, 8, "Intercalación :", true);
  b.Edit(107, 73, 139, 270, 12);
  b.Label(75, 155, 267, 19,
          "La siguiente instrucción rescata la intercalación de todas las bases "
          "de datos, copie la que corresponde a esta base de datos. ",
          false);
  // The user copies the query to run it elsewhere.
  b.Label(76, 176, 254, 8, "SELECT NAME,COLLATION_NAME FROM sys.databases ORDER BY NAME",
          false)
      ->setTextInteractionFlags(Qt::TextSelectableByMouse);
  b.Label(10, 198, 313, 8,
          "Nota: Los datos de las conexiones serán encriptados al grabarse.", false);
}

// CONFIG_002, the "&Otros" page.
void BuildOtros(QWidget* page, const DialogUnits& units) {
  page->setObjectName(QStringLiteral("CONFIG_002"));
  page->resize(units.X(385), units.Y(179));
  TemplateBuilder b(page, units);
  b.Group(10, 3, 358, 65, " Funcionamiento y errores ");
  b.Label(27, 20, 83, 8, "Destinatario de correos :", true);
  b.Edit(100, 113, 18, 242, 12);
  b.Label(113, 33, 242, 8, "( a este correo se enviarán los problemas del proceso )",
          false);
  b.Label(15, 47, 95, 8, "Intervalo de actualización :", true);
  // Picture "9999": up to four digits, no sign.
  QLineEdit* interval = b.Edit(kIntervalId, 113, 46, 44, 12);
  interval->setMaxLength(4);
  interval->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9]{0,4}")), interval));
  b.Label(162, 47, 196, 8, "default=250 ciclos - aprox:10 segundos", false);
}

// Runs `body` with the cycle held; `release` runs even when `body` throws
// (a stop message may end the program through an exception in tests).
bool Held(const std::function<void()>& hold, const std::function<void()>& release,
          const std::function<bool()>& body) {
  struct Release {
    const std::function<void()>& release;
    ~Release() { release(); }
  };
  hold();
  Release guard{release};
  return body();
}

bool RunDialog(config::TInicio& ini, ui::Platform& platform,
               config::ConnectionChecker& checker, QWidget* parent) {
  ConfigDialog dialog(parent);
  dialog.Fill(ini);
  if (dialog.exec() != QDialog::Accepted) return false;
  ApplyConfirmed(dialog, ini, platform, checker);
  return true;
}

}  // namespace

ConfigDialog::ConfigDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("CONFIG"));
  setWindowTitle(QStringLiteral("Conexiones"));
  setFont(DialogFont());
  const DialogUnits units(font());
  setFixedSize(units.X(453), units.Y(272));
  if (parent != nullptr) move(parent->mapToGlobal(QPoint(units.X(95), units.Y(33))));

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("99"));
  tabs_->setGeometry(units.Rect(10, 6, 431, 234));
  pages_[kConexiones] = new QWidget;
  BuildConexiones(pages_[kConexiones], units);
  pages_[kOtros] = new QWidget;
  BuildOtros(pages_[kOtros], units);
  tabs_->addTab(pages_[kConexiones], QStringLiteral("&Conexiones"));
  tabs_->addTab(pages_[kOtros], QStringLiteral("&Otros"));

  TemplateBuilder b(this, units);
  connect(b.Button(200, 10, 245, 65, 14, "Salir"), &QPushButton::clicked, this,
          &QDialog::reject);
  connect(b.Button(210, 80, 245, 65, 14, "Grabar"), &QPushButton::clicked, this,
          &QDialog::accept);
}

void ConfigDialog::Fill(const config::TInicio& ini) {
  // Trailing blanks are left out: a value padded to the full 200 characters
  // (as a first start leaves them) would leave no room to type, and saving
  // trims them anyway. setText keeps at most maxLength characters, so a longer
  // stored value is cut to the 200 the field holds.
  for (const FieldBinding& f : kTextFields) {
    const std::string& value = ini.*f.field;
    const size_t end = value.find_last_not_of(config::kBlankCharacters);
    Edit(f.page, f.id)->setText(
        QString::fromStdString(end == std::string::npos ? std::string() : value.substr(0, end + 1)));
  }
  Edit(kOtros, kIntervalId)->setText(QString::number(ini.nLapso));
  tabs_->setCurrentIndex(kConexiones);
}

void ConfigDialog::Store(config::TInicio& ini) const {
  for (const FieldBinding& f : kTextFields) {
    ini.*f.field = config::Trim(Edit(f.page, f.id)->text().toStdString());
  }
  // The validator lets through digits only, at most four: 0 to 9999.
  ini.nLapso = Edit(kOtros, kIntervalId)->text().toInt();
}

QLineEdit* ConfigDialog::Edit(Page page, int id) const {
  return pages_[page]->findChild<QLineEdit*>(QString::number(id),
                                              Qt::FindDirectChildrenOnly);
}

void ApplyConfirmed(const ConfigDialog& dialog, config::TInicio& ini,
                    ui::Platform& platform, config::ConnectionChecker& checker) {
  // The values are in force even when Actualizar refuses to save them.
  dialog.Store(ini);
  ini.Actualizar(platform, checker);
  platform.Information("Datos fueron actualizados", "ATENCION");
}

bool PIDECONFIG(config::TInicio& ini, ui::Platform& platform,
                config::ConnectionChecker& checker, ui::Timer* cycle_timer,
                QWidget* parent, std::chrono::milliseconds period) {
  // Only a running timer is held and started again: the dialog must not start
  // a scheduler that was not running.
  const bool running = cycle_timer != nullptr && cycle_timer->IsActive();
  return Held([&] { if (running) cycle_timer->Stop(); },
              [&] { if (running) cycle_timer->Start(period); },
              [&] { return RunDialog(ini, platform, checker, parent); });
}

bool PIDECONFIG(config::TInicio& ini, ui::Platform& platform,
                config::ConnectionChecker& checker, shell::CycleScheduler& scheduler,
                QWidget* parent) {
  return Held([&] { scheduler.Suspend(); }, [&] { scheduler.Resume(); },
              [&] { return RunDialog(ini, platform, checker, parent); });
}

}  // namespace qtface
