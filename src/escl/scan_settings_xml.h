// The ScanSettings document that asks an eSCL scanner for a job.
#pragma once

#include <string>

#include "escl/escl_options.h"

namespace tarnwick {

std::string scanSettingsXml(const EsclScanRequest& request);

}  // namespace tarnwick
