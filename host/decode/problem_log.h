// Collects what a decoder found wrong or left undrawn. Malformed input is
// kept one entry per place, up to a limit (a stream of garbage must not
// grow the report without bound); notes about commands read but not drawn
// are counted once per kind of message.
#pragma once

#include <cstddef>
#include <map>
#include <string>

#include "host/decode/drawing.h"

namespace drv::decode {

class ProblemLog {
public:
    static constexpr std::size_t kMaxProblems = 200;

    void problem(std::size_t offset, std::string message, std::size_t record = 0);
    // A note of this kind; the first one's offset is kept, later ones are
    // counted ("(N times)").
    void note(std::size_t offset, const std::string &message);

    // Moves everything into the drawing's lists.
    void finish(Drawing &drawing);

private:
    struct Counted {
        Problem first;
        std::size_t count = 0;
        std::size_t order = 0;
    };
    std::vector<Problem> problems_;
    std::size_t dropped_ = 0;
    std::map<std::string, Counted> notes_;
};

} // namespace drv::decode
