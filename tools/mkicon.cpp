// Draws the application icon (a vault door on a blue tile) and writes it as an
// icon file with several sizes of 32-bit images:  mkicon OUTPUT

#include "ToolOutput.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Color {
    double red, green, blue, alpha;
};

Color Over(const Color& top, const Color& bottom)
{
    const double alpha = top.alpha + bottom.alpha * (1 - top.alpha);
    if (alpha <= 0)
        return { 0, 0, 0, 0 };
    auto mix = [&](double a, double b) { return (a * top.alpha + b * bottom.alpha * (1 - top.alpha)) / alpha; };
    return { mix(top.red, bottom.red), mix(top.green, bottom.green), mix(top.blue, bottom.blue), alpha };
}

double RoundedSquareDistance(double x, double y, double half, double radius)
{
    const double qx = std::abs(x - 0.5) - half + radius;
    const double qy = std::abs(y - 0.5) - half + radius;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

bool InKeyhole(double x, double y)
{
    const double head = std::hypot(x - 0.5, y - 0.44);
    const bool inStem = y > 0.44 && y < 0.64 && std::abs(x - 0.5) < 0.035 + (y - 0.44) * 0.15;
    return head < 0.075 || inStem;
}

// The colour of one point of the unit square, y growing downwards.
Color Sample(double x, double y)
{
    Color color { 0, 0, 0, 0 };
    if (RoundedSquareDistance(x, y, 0.47, 0.16) <= 0) {
        const double shade = 1.0 - 0.45 * y;
        color = { 0.16 * shade, 0.36 * shade, 0.62 * shade, 1 };
    }
    const Color gold { 0.96, 0.76, 0.30, 1 };
    const double ring = std::hypot(x - 0.5, y - 0.5);
    if (ring > 0.27 && ring < 0.35)
        color = Over(gold, color);
    for (int bolt = 0; bolt < 8; ++bolt) {
        const double angle = bolt * 3.14159265358979 / 4;
        if (std::hypot(x - 0.5 - 0.405 * std::cos(angle), y - 0.5 - 0.405 * std::sin(angle)) < 0.03)
            color = Over(gold, color);
    }
    if (InKeyhole(x, y))
        color = Over(gold, color);
    return color;
}

std::vector<std::uint8_t> RenderBgra(int size)
{
    constexpr int samples = 4;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size * 4);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            double red = 0, green = 0, blue = 0, alpha = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const Color c = Sample((column + (sx + 0.5) / samples) / size, (row + (sy + 0.5) / samples) / size);
                    red += c.red * c.alpha;
                    green += c.green * c.alpha;
                    blue += c.blue * c.alpha;
                    alpha += c.alpha;
                }
            }
            const double count = samples * samples;
            auto channel = [&](double premultiplied) {
                return static_cast<std::uint8_t>(std::lround(alpha > 0 ? 255 * premultiplied / alpha : 0));
            };
            // Bitmaps in icon files run from the bottom row up.
            std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(size - 1 - row) * size + column) * 4];
            pixel[0] = channel(blue);
            pixel[1] = channel(green);
            pixel[2] = channel(red);
            pixel[3] = static_cast<std::uint8_t>(std::lround(255 * alpha / count));
        }
    }
    return pixels;
}

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string IconImage(int size)
{
    const std::vector<std::uint8_t> pixels = RenderBgra(size);
    const int maskRowBytes = ((size + 31) / 32) * 4;
    std::string image;
    PutLittleEndian(image, 40, 4);
    PutLittleEndian(image, static_cast<std::uint32_t>(size), 4);
    PutLittleEndian(image, static_cast<std::uint32_t>(size * 2), 4);
    PutLittleEndian(image, 1, 2);
    PutLittleEndian(image, 32, 2);
    PutLittleEndian(image, 0, 4);
    PutLittleEndian(image, static_cast<std::uint32_t>(pixels.size() + maskRowBytes * size), 4);
    image.append(16, '\0'); // resolution and colour counts, none given
    image.append(reinterpret_cast<const char*>(pixels.data()), pixels.size());
    for (int row = 0; row < size; ++row) {
        std::string mask(static_cast<std::size_t>(maskRowBytes), '\0');
        for (int column = 0; column < size; ++column)
            if (pixels[(static_cast<std::size_t>(row) * size + column) * 4 + 3] == 0)
                mask[column / 8] = static_cast<char>(mask[column / 8] | (0x80 >> (column % 8)));
        image += mask;
    }
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: mkicon OUTPUT\n";
        return 1;
    }
    const std::vector<int> sizes { 16, 24, 32, 48, 64, 128 };
    std::vector<std::string> images;
    for (int size : sizes)
        images.push_back(IconImage(size));

    std::string file;
    PutLittleEndian(file, 0, 2);
    PutLittleEndian(file, 1, 2);
    PutLittleEndian(file, static_cast<std::uint32_t>(sizes.size()), 2);
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        PutLittleEndian(file, static_cast<std::uint32_t>(sizes[i]), 1);
        PutLittleEndian(file, static_cast<std::uint32_t>(sizes[i]), 1);
        PutLittleEndian(file, 0, 2);
        PutLittleEndian(file, 1, 2);
        PutLittleEndian(file, 32, 2);
        PutLittleEndian(file, static_cast<std::uint32_t>(images[i].size()), 4);
        PutLittleEndian(file, offset, 4);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const std::string& image : images)
        file += image;

    return WriteProductFile("mkicon", argv[1], file) ? 0 : 1;
}
