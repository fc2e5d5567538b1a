#include "host/drawing/model/drawing.h"

namespace drv::drawing {

void transform(Drawing &drawing, const Affine &map) {
    for (Shape &shape : drawing.shapes) {
        for (Subpath &path : shape.subpaths) {
            transform(path, map);
        }
    }
    for (Text &text : drawing.texts) {
        text.anchor = map.apply(text.anchor);
        text.baseline = map.applyVector(text.baseline);
        text.up = map.applyVector(text.up);
    }
}

} // namespace drv::drawing
