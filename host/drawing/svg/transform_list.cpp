#include "host/drawing/svg/transform_list.h"

#include "host/drawing/svg/number_scanner.h"

namespace drv::drawing::svg {
namespace {

struct Form {
    std::string_view name;
    int minArgs;
    int maxArgs;
};

constexpr Form kForms[] = {
    {"matrix", 6, 6}, {"translate", 1, 2}, {"scale", 1, 2},
    {"rotate", 1, 3}, {"skewX", 1, 1},     {"skewY", 1, 1},
};

Affine build(std::string_view name, const double *v, int count) {
    if (name == "matrix") {
        return {v[0], v[1], v[2], v[3], v[4], v[5]};
    }
    if (name == "translate") {
        return Affine::translate(v[0], count > 1 ? v[1] : 0);
    }
    if (name == "scale") {
        return Affine::scale(v[0], count > 1 ? v[1] : v[0]);
    }
    if (name == "rotate") {
        return Affine::rotate(v[0], v[1], v[2]);
    }
    return name == "skewX" ? Affine::skewX(v[0]) : Affine::skewY(v[0]);
}

} // namespace

bool parseTransformList(std::string_view text, Affine &out, std::size_t &errorOffset,
                        std::string &error) {
    NumberScanner scan(text);
    Affine total;
    const auto fail = [&](std::string message) {
        errorOffset = scan.position();
        error = std::move(message);
        return false;
    };
    scan.skipSpaces();
    while (!scan.atEnd()) {
        const std::size_t start = scan.position();
        while (!scan.atEnd() && ((scan.peek() >= 'a' && scan.peek() <= 'z') ||
                                 (scan.peek() >= 'A' && scan.peek() <= 'Z'))) {
            scan.advance();
        }
        const std::string_view name = text.substr(start, scan.position() - start);
        const Form *form = nullptr;
        for (const Form &known : kForms) {
            if (known.name == name) {
                form = &known;
            }
        }
        if (form == nullptr) {
            fail("expected matrix, translate, scale, rotate, skewX or skewY");
            errorOffset = start;
            return false;
        }
        scan.skipSpaces();
        if (scan.peek() != '(') {
            return fail("expected '(' after " + std::string(name));
        }
        scan.advance();
        double v[6] = {};
        int count = 0;
        scan.skipSpaces();
        while (scan.peek() != ')') {
            if (count == form->maxArgs || !scan.number(v[count])) {
                return fail(std::string(name) + " takes " + std::to_string(form->minArgs) +
                            (form->minArgs == form->maxArgs ? "" : " to " + std::to_string(form->maxArgs)) +
                            " numbers");
            }
            ++count;
            scan.skipSeparator();
        }
        if (count < form->minArgs || (name == "rotate" && count == 2)) {
            return fail(std::string(name) + " takes " + std::to_string(form->minArgs) +
                        (name == "rotate" ? " or 3" : "") + " numbers");
        }
        scan.advance();
        // "A B" maps p to A(B(p)): each later transform applies first.
        total = build(name, v, count).then(total);
        scan.skipSeparator();
    }
    out = total;
    return true;
}

} // namespace drv::drawing::svg
