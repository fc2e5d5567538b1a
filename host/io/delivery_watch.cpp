#include "host/io/delivery_watch.h"

#include "host/util/amount_text.h"

namespace drv::host {

std::string stallText(std::chrono::seconds quiet, std::uint64_t taken, std::uint64_t total) {
    std::string text = "plotter not reading for " + std::to_string(quiet.count()) + " s (sent " +
                       byteCountText(taken);
    if (total > 0) {
        text += " of " + byteCountText(total);
    }
    return text + ")";
}

} // namespace drv::host
