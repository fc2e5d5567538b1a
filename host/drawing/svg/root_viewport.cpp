#include "host/drawing/svg/root_viewport.h"

#include "host/drawing/svg/lengths.h"

namespace drv::drawing::svg {

bool rootViewport(const pugi::xml_node &root, SvgSource &source, Drawing &out, WalkState &state) {
    std::string error;
    std::optional<ViewBox> viewBox;
    if (const pugi::xml_attribute attribute = root.attribute("viewBox")) {
        viewBox = parseViewBox(attribute.value(), error);
        if (!viewBox) {
            return source.fail(root, error);
        }
    }
    AspectRatio ratio;
    if (const pugi::xml_attribute attribute = root.attribute("preserveAspectRatio")) {
        const std::optional<AspectRatio> parsed = parseAspectRatio(attribute.value(), error);
        if (!parsed) {
            return source.fail(root, error);
        }
        ratio = *parsed;
    }
    // A missing or percentage size is the viewBox's, in pixels.
    double size[2] = {viewBox ? viewBox->width * kMmPerPx : 0, viewBox ? viewBox->height * kMmPerPx : 0};
    const char *names[2] = {"width", "height"};
    for (int i = 0; i < 2; ++i) {
        if (const pugi::xml_attribute attribute = root.attribute(names[i])) {
            const std::optional<Length> length = parseLength(attribute.value(), error);
            if (!length) {
                return source.fail(root, std::string(names[i]) + ": " + error);
            }
            if (!length->percent) {
                if (!(length->value > 0)) {
                    return source.fail(root, std::string(names[i]) + " must be above 0");
                }
                size[i] = length->value * length->mmPerUnit;
            }
        }
    }
    out.pageWidthMm = size[0];
    out.pageHeightMm = size[1];
    if (viewBox && size[0] > 0 && size[1] > 0) {
        state.ctm = viewBoxMap(*viewBox, size[0], size[1], ratio);
        state.viewport = {viewBox->width, viewBox->height};
    } else {
        state.ctm = Affine::scale(kMmPerPx, kMmPerPx);
        state.viewport = {size[0] / kMmPerPx, size[1] / kMmPerPx};
    }
    return true;
}

} // namespace drv::drawing::svg
