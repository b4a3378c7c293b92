// avi: the scanning animation, a broom sweeping dust across a floor, drawn pixel by pixel.
// The tool links only the core library, so a tiny supersampling rasteriser stands in for a
// painter: every pixel is the average of 4 x 4 samples, which gives smooth edges.
#include "commands.h"

#include "core/app/avi.h"
#include "core/common/errors.h"
#include "core/common/fileio.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <numbers>
#include <system_error>
#include <vector>

namespace datagen {
namespace {

constexpr int frameWidth = 38;
constexpr int frameHeight = 33;
constexpr int frameCount = 8;
constexpr int frameMs = 60;
constexpr int samples = 4;  // per axis

// The window face colour of the classic desktop. The animation control treats the colour of
// the top-left pixel as transparent, so this only shows in players that do not.
constexpr std::uint32_t background = 0xD4D0C8;

struct Colour {
    double r = 0, g = 0, b = 0;
};

Colour rgb(std::uint32_t value)
{
    return {double((value >> 16) & 0xFF), double((value >> 8) & 0xFF), double(value & 0xFF)};
}

struct Point {
    double x = 0, y = 0;
};

using Shape = std::function<bool(double, double)>;

class Canvas {
public:
    Canvas() : m_samples(std::size_t(frameWidth * samples * frameHeight * samples), rgb(background)) {}

    // Paints every sample inside the shape, blended with the given opacity.
    void fill(const Shape& inside, std::uint32_t colour, double opacity = 1.0)
    {
        const Colour c = rgb(colour);
        for (int sy = 0; sy < frameHeight * samples; ++sy) {
            const double y = (sy + 0.5) / samples;
            for (int sx = 0; sx < frameWidth * samples; ++sx) {
                const double x = (sx + 0.5) / samples;
                if (!inside(x, y)) continue;
                Colour& s = m_samples[std::size_t(sy * frameWidth * samples + sx)];
                s.r += (c.r - s.r) * opacity;
                s.g += (c.g - s.g) * opacity;
                s.b += (c.b - s.b) * opacity;
            }
        }
    }

    std::vector<std::uint32_t> pixels() const
    {
        std::vector<std::uint32_t> out(std::size_t(frameWidth * frameHeight));
        for (int y = 0; y < frameHeight; ++y) {
            for (int x = 0; x < frameWidth; ++x) {
                Colour sum;
                for (int j = 0; j < samples; ++j) {
                    for (int i = 0; i < samples; ++i) {
                        const Colour& s =
                            m_samples[std::size_t((y * samples + j) * frameWidth * samples + x * samples + i)];
                        sum.r += s.r;
                        sum.g += s.g;
                        sum.b += s.b;
                    }
                }
                const double n = samples * samples;
                auto channel = [n](double v) { return std::uint32_t(std::clamp(std::lround(v / n), 0L, 255L)); };
                out[std::size_t(y * frameWidth + x)] =
                    0xFF000000u | channel(sum.r) << 16 | channel(sum.g) << 8 | channel(sum.b);
            }
        }
        return out;
    }

private:
    std::vector<Colour> m_samples;
};

Shape circle(Point centre, double radius)
{
    return [=](double x, double y) {
        const double dx = x - centre.x, dy = y - centre.y;
        return dx * dx + dy * dy <= radius * radius;
    };
}

// A stroke of the given half width between two points, with round ends.
Shape segment(Point a, Point b, double halfWidth)
{
    return [=](double x, double y) {
        const double vx = b.x - a.x, vy = b.y - a.y;
        const double length2 = vx * vx + vy * vy;
        double t = length2 > 0 ? ((x - a.x) * vx + (y - a.y) * vy) / length2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        const double dx = x - (a.x + t * vx), dy = y - (a.y + t * vy);
        return dx * dx + dy * dy <= halfWidth * halfWidth;
    };
}

// A convex polygon; the corners may run either way round.
Shape polygon(std::vector<Point> corners)
{
    return [corners = std::move(corners)](double x, double y) {
        bool anyPositive = false, anyNegative = false;
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const Point& a = corners[i];
            const Point& b = corners[(i + 1) % corners.size()];
            const double cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
            if (cross > 0) anyPositive = true;
            if (cross < 0) anyNegative = true;
        }
        return !(anyPositive && anyNegative);
    };
}

Shape rectangle(double left, double top, double right, double bottom)
{
    return [=](double x, double y) { return x >= left && x < right && y >= top && y < bottom; };
}

// The broom hangs from a pivot above the frame and swings; positions along its axis are
// measured from the pivot.
struct Broom {
    Point pivot{19.0, -6.0};
    double angle = 0;  // radians, positive swings the head to the right

    Point at(double along, double across) const
    {
        const double s = std::sin(angle), c = std::cos(angle);
        // Along the axis points down (rotated by the angle); across points to its right.
        return {pivot.x + along * s + across * c, pivot.y + along * c - across * s};
    }
};

std::vector<std::uint32_t> drawFrame(int frame)
{
    const double phase = 2 * std::numbers::pi * frame / frameCount;
    Broom broom;
    broom.angle = 0.3 * std::cos(phase);
    // The head moves opposite to the sign of this; dust flies ahead of it.
    const double velocity = -std::sin(phase);
    const double direction = velocity > 0 ? 1.0 : -1.0;

    Canvas canvas;

    // Floor boards and their shadow line.
    canvas.fill(rectangle(0, 29, frameWidth, frameHeight), 0xA0703C);
    canvas.fill(rectangle(0, 29, frameWidth, 30), 0x6B4423);
    for (double seam : {7.5, 19.5, 31.5}) canvas.fill(rectangle(seam, 30, seam + 0.7, frameHeight), 0x7E5430);

    // A small heap of dust that the sweeping keeps pushing about.
    const double heapX = 19 + 9 * std::cos(phase + 0.9);
    canvas.fill(polygon({{heapX - 4, 29}, {heapX - 1.5, 26.8}, {heapX + 1.5, 26.8}, {heapX + 4, 29}}), 0x8C8478);

    // Handle: a wooden stick with a highlight along one side.
    canvas.fill(segment(broom.at(5, 0), broom.at(24, 0), 1.25), 0x8B5A2B);
    canvas.fill(segment(broom.at(5, -0.5), broom.at(24, -0.5), 0.45), 0xC08850);

    // Straw head: a bundle that widens towards the floor, tied with a red band.
    canvas.fill(polygon({broom.at(23, -3.2), broom.at(23, 3.2), broom.at(34.5, 6.8), broom.at(34.5, -6.8)}),
                0xE2B33C);
    for (double strand : {-4.5, -2.2, 0.0, 2.2, 4.5})
        canvas.fill(segment(broom.at(25.5, strand * 0.55), broom.at(34.3, strand), 0.3), 0xB7862A);
    canvas.fill(polygon({broom.at(22.6, -3.4), broom.at(22.6, 3.4), broom.at(24.6, 3.9), broom.at(24.6, -3.9)}),
                0xC8282C);

    // Dust puffs thrown ahead of the moving head, the more the faster it moves.
    const double speed = std::fabs(velocity);
    if (speed > 0.05) {
        const Point tip = broom.at(33.5, 0);
        for (int k = 0; k < 3; ++k) {
            const double reach = (k + 1) * 3.2 * speed + 1.5;
            const Point puff{tip.x + direction * (reach + 3.5), 28.0 - k * 2.1 - speed * 1.2};
            canvas.fill(circle(puff, 2.2 - k * 0.45), 0x9A9488, 0.75 - k * 0.18);
        }
    }
    return canvas.pixels();
}

} // namespace

int aviCommand(Args args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: mtl-datagen avi OUT\n");
        return 2;
    }
    try {
        mtl::AviAnimation animation;
        animation.width = frameWidth;
        animation.height = frameHeight;
        animation.frameMs = frameMs;
        for (int frame = 0; frame < frameCount; ++frame) animation.frames.push_back(drawFrame(frame));

        const std::filesystem::path out(args[0]);
        std::error_code error;
        if (out.has_parent_path()) std::filesystem::create_directories(out.parent_path(), error);
        if (error) {
            std::fprintf(stderr, "mtl-datagen avi: %s: %s\n", out.parent_path().c_str(), error.message().c_str());
            return 1;
        }
        mtl::writeFileAtomic(out, mtl::writeAvi(animation));
        return 0;
    } catch (const mtl::Error& error) {
        std::fprintf(stderr, "mtl-datagen avi: %s\n", error.what());
        return 1;
    }
}

} // namespace datagen
