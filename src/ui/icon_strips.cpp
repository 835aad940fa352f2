#include "ui/icon_strips.h"

#include <png.h>

#include <cstring>
#include <map>
#include <mutex>

namespace ui {

namespace {

ImageStrip Decode(platform::IconStrip which) {
    const std::string bytes = platform::IconStripBytes(which);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
    image.format = PNG_FORMAT_RGBA;
    ImageStrip strip;
    strip.width = static_cast<int>(image.width);
    strip.height = static_cast<int>(image.height);
    strip.cellWidth = strip.height;
    strip.cellHeight = strip.height;
    strip.rgba.resize(static_cast<std::size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, strip.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return {};
    }
    return strip;
}

// Each strip is decoded once: the lists are refilled often.
std::shared_ptr<const ImageStrip> Decoded(platform::IconStrip which) {
    static std::mutex guard;
    static std::map<platform::IconStrip, std::shared_ptr<const ImageStrip>> strips;
    const std::lock_guard<std::mutex> lock(guard);
    auto& strip = strips[which];
    if (strip == nullptr) strip = std::make_shared<const ImageStrip>(Decode(which));
    return strip;
}

}  // namespace

ImageStrip LoadIconStrip(platform::IconStrip which) {
    ImageStrip strip = *Decoded(which);
    if (strip.rgba.empty()) return {};
    using platform::IconStrip;
    for (IconStrip larger : {IconStrip::Large, IconStrip::ExtraLarge}) {
        auto rendering = Decoded(larger);
        if (rendering->cellWidth > strip.cellWidth) strip.larger.push_back(std::move(rendering));
    }
    return strip;
}

}  // namespace ui
