// Resolving a job's settings the way CUPS filters do: the queue's PPD with
// its defaults (as the administrator set them), the job's options marked
// on it (PageSize or media=, the drvsuite* options), and the standard IPP
// job attributes that print dialogs send (orientation-requested,
// landscape, fit-to-page, print-scaling, scaling), which win over the PPD.
#pragma once

#include <string>

#include "host/cups/filter/job_settings.h"

namespace drv::cups {

// `ppdPath`: the queue's PPD ($PPD); `options`: the job's option string
// (argv[5]); `finalType`: the queue's device type ($FINAL_CONTENT_TYPE),
// which names the driver when the PPD does not. Returns false with the
// reason in `error`.
bool resolveJobSettings(const std::string &ppdPath, const std::string &options,
                        const std::string &finalType, JobSettings &settings, std::string &error);

} // namespace drv::cups
