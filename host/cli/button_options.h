// `--buttons NAME=CODE,...`: the model's raw button codes given to actions.
//
// A code is what the model's decoder reports for the button: a number
// (decimal or 0x..) or a character in quotes for the models that report
// the character the tablet sent ('1' is 49). 0 is no button and cannot be
// assigned; one code cannot do two things.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

namespace drv::host {

// The code of each assignment, to the index of its name in `names`. False
// with a message naming the option and the fault in `error`.
bool parseButtonAssignments(std::string_view text, std::span<const std::string_view> names,
                            std::map<std::int16_t, std::size_t> &codes, std::string &error);

} // namespace drv::host
