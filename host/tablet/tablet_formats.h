// Which report formats a tablet model of the suite has, for checking the
// format a person asks for before the tablet is set up.
//
// A library given a selector it has no format for does nothing at set-up
// and turns every report away, so a wrong number would only show as a
// tablet that never reports (or, in a one-format model that reads no
// selector, as points decoded in a format the host frames wrongly). The
// facts come from the models' records through the report encoder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/tablet/tablet_decoder.h"

namespace drv::host {

struct ModelFormat {
    int number;
    bool binary;
};

// The formats `model` decodes, ascending; empty when the suite does not
// know the model (a driver given by path, a stand-in).
std::vector<ModelFormat> modelFormats(std::string_view model);

// The format `model` will decode with the profile's selectors: the selector
// it reads (auxFormat in the model that reads it), or 1 in the models that
// read none. For a model the suite does not know, `settings.format`.
int effectiveFormat(std::string_view model, const TabletProfileSettings &settings);

// Nothing when `model` has the format its selector asks for, or when the
// suite does not know the model; otherwise the message for the person:
// "ambrel has no report format 3; its formats are 1 (ASCII) and 2 (binary)".
std::optional<std::string> formatProblem(std::string_view model,
                                         const TabletProfileSettings &settings);

} // namespace drv::host
