// The active-company bootstrap of start-up: makes sure the service's company
// table EMPRESAS exists (seeding it on the first start), selects the active
// company and copies its per-modality settings (branch, warehouse, price lists)
// from CONFIEST into the configuration object.
#pragma once

#include "shell/process_context.h"

namespace shell {

// False when start-up must end: seeding EMPRESAS failed and the stop box
// "No pudo crearse tabla EMPRESA." with the driver's message was shown.
bool BootstrapActiveCompany(ProcessContext& ctx);

// The statement that seeds EMPRESAS with company "01" named `razon`.
std::string SeedEmpresasStatement(const std::string& razon);

}  // namespace shell
