// What `drvhost plot` says about a job: its summary, and how far a job that
// stopped or failed on a device got.
#pragma once

#include <string>

#include "host/plot/plot_script.h"

namespace drv::host {

// "2345 requests, 1.2 MB (1234567 bytes) for quillane; pen down 12.35 m,
// pen up 3.20 m, 4 pen changes; about 5 min 10 s at the job's speeds".
std::string summaryText(const PreparedJob &job);

// "sent 1.2 MB of 4.9 MB; the last request fully sent is on line 57:
// resume with --resume-from 58", for a job a device took part of.
std::string howFarText(const PreparedJob &job, const DeliveryOutcome &outcome);

} // namespace drv::host
