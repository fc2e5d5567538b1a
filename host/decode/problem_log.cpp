#include "host/decode/problem_log.h"

#include <algorithm>
#include <vector>

namespace drv::decode {

void ProblemLog::problem(std::size_t offset, std::string message, std::size_t record) {
    if (problems_.size() >= kMaxProblems) {
        ++dropped_;
        return;
    }
    problems_.push_back({offset, record, std::move(message)});
}

void ProblemLog::note(std::size_t offset, const std::string &message) {
    auto [it, fresh] = notes_.try_emplace(message);
    if (fresh) {
        it->second.first = {offset, 0, message};
        it->second.order = notes_.size();
    }
    ++it->second.count;
}

void ProblemLog::finish(Drawing &drawing) {
    drawing.problems = std::move(problems_);
    if (dropped_ > 0) {
        drawing.problems.push_back(
            {drawing.bytes, 0, std::to_string(dropped_) + " more problems not listed"});
    }
    std::vector<const Counted *> notes;
    for (const auto &[key, counted] : notes_) {
        notes.push_back(&counted);
    }
    std::sort(notes.begin(), notes.end(),
              [](const Counted *a, const Counted *b) { return a->order < b->order; });
    for (const Counted *n : notes) {
        Problem p = n->first;
        if (n->count > 1) {
            p.message += " (" + std::to_string(n->count) + " times)";
        }
        drawing.notes.push_back(std::move(p));
    }
    problems_.clear();
    notes_.clear();
    dropped_ = 0;
}

} // namespace drv::decode
