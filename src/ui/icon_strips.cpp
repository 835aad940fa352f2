#include "ui/icon_strips.h"

#include <png.h>

#include <cstring>

namespace ui {

ImageStrip LoadIconStrip(platform::IconStrip which) {
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

}  // namespace ui
