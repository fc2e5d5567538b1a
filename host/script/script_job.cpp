#include "host/script/script_job.h"

#include <filesystem>
#include <utility>

#include "host/job/job_checker.h"
#include "host/picture/image_calls.h"

namespace drv::host {
namespace {

void addImage(JobChecker &checker, const ImageDirective &image, const std::string &baseDir,
              PictureLoader load, std::vector<SourceError> &errors,
              std::vector<PictureUse> *pictures) {
    std::filesystem::path path(image.file);
    if (path.is_relative() && !baseDir.empty()) {
        path = std::filesystem::path(baseDir) / path;
    }
    if (pictures != nullptr) {
        pictures->push_back({path.string(), image.pos.line});
    }
    RgbImage picture;
    std::string reason;
    if (!load(path.string(), picture, reason)) {
        errors.push_back({image.filePos, image.file + ": " + reason});
        return;
    }
    std::vector<PlotCall> calls = imageCalls(
        picture, {image.x, image.y, image.widthMm, image.heightMm, image.depth, image.flags,
                  image.pos});
    // The rows move into the job: a picture's bytes are not copied again.
    if (!checker.add(std::move(calls.front()))) {
        return; // one message for the image, not one per row
    }
    for (std::size_t i = 1; i < calls.size(); ++i) {
        checker.add(std::move(calls[i]));
    }
}

} // namespace

std::vector<PlotCall> buildPlotJob(const std::vector<ScriptStatement> &statements,
                                   const PlotterTraits &traits, const std::string &baseDir,
                                   PictureLoader loadPicture, std::vector<SourceError> &errors,
                                   const CheckOptions &options,
                                   std::vector<PictureUse> *pictures) {
    const std::size_t errorsBefore = errors.size();
    JobChecker checker(traits, errors, options);
    int lastLine = 1;
    for (const ScriptStatement &statement : statements) {
        if (const auto *call = std::get_if<PlotCall>(&statement)) {
            checker.add(*call);
            lastLine = call->pos.line;
        } else {
            const auto &image = std::get<ImageDirective>(statement);
            addImage(checker, image, baseDir, loadPicture, errors, pictures);
            lastLine = image.pos.line;
        }
    }
    checker.finish(lastLine);
    if (errors.size() != errorsBefore) {
        return {};
    }
    return checker.take();
}

} // namespace drv::host
