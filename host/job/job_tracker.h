// Follows a checked job request by request: where the pen is and whether it
// is down, which pen is selected and what each pen was set to, which part
// of the job is open (a job, a polygon, an image), and how far the pen went.
//
// The position follows the driver (PlotterTraits::pciGeometry): a move or a
// label puts the pen at its point; a circle leaves it at the centre, or at
// the circle's start for a driver that starts circles there; an arc leaves
// it at its end. Label text is not measured: after a label the pen is taken
// to stand at its start. Requests the driver does not handle change nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>

#include "host/job/plot_call.h"
#include "host/job/plotter_traits.h"

namespace drv::host {

// What one request did with the pen, in plotter units.
struct PenTravel {
    double drawn = 0; // with the pen down
    double moved = 0; // with the pen up
};

// The requests in force for one pen, as indices into the job.
struct PenSettings {
    std::optional<std::size_t> width;
    std::optional<std::size_t> colour;
    std::optional<std::size_t> velocity;
};

class JobTracker {
public:
    explicit JobTracker(const PlotterTraits &traits) : traits_(traits) {}

    // Takes request `index` of `job` into account; returns the pen's travel.
    PenTravel apply(const std::vector<PlotCall> &job, std::size_t index);

    bool inJob() const { return jobBegin_.has_value(); }
    std::optional<std::size_t> jobBegin() const { return jobBegin_; }
    std::optional<std::size_t> openImage() const { return image_; }
    std::optional<std::size_t> openPolygon() const { return polygon_; }

    // The SelectPen in force, as an index into the job.
    std::optional<std::size_t> penSelect() const { return penSelect_; }
    bool penDown() const { return penDown_; }
    // The pen's place, once a request of the job has put it somewhere.
    bool placed() const { return placed_; }
    double x() const { return x_; }
    double y() const { return y_; }

    // The last request of each kind that stays in force for the job.
    const std::map<std::int32_t, PenSettings> &pens() const { return pens_; }
    std::optional<std::size_t> textStyle() const { return textStyle_; }
    std::optional<std::size_t> font() const { return font_; }
    std::optional<std::size_t> fillType() const { return fillType_; }

    // The speed of `pen` in mm/s that the job set, if it did.
    std::optional<double> speed(std::int32_t pen) const;

private:
    PenTravel moveTo(double x, double y);
    PenTravel arc(const PlotRequest &request);
    void beginJob(std::size_t index);

    const PlotterTraits &traits_;
    const std::vector<PlotCall> *job_ = nullptr;
    std::optional<std::size_t> jobBegin_;
    std::optional<std::size_t> image_;
    std::optional<std::size_t> polygon_;
    std::optional<std::size_t> penSelect_;
    bool penDown_ = false;
    bool placed_ = false;
    double x_ = 0;
    double y_ = 0;
    std::map<std::int32_t, PenSettings> pens_;
    std::optional<std::size_t> textStyle_;
    std::optional<std::size_t> font_;
    std::optional<std::size_t> fillType_;
};

} // namespace drv::host
