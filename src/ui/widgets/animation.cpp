#include "ui/widgets/animation.h"

#include <QFile>
#include <QPaintEvent>
#include <QPainter>

#include <string_view>

namespace mtl::ui {
namespace {

// The size of the scanning animation, so that the layout keeps its place before a file is
// given and when none can be read.
constexpr QSize emptySize(38, 33);

// Frames carry a background colour; as the classic animation control does, the colour of
// the first frame's top-left pixel is shown transparent so the picture sits on any skin.
std::vector<QImage> toImages(const AviAnimation& animation)
{
    std::vector<QImage> images;
    images.reserve(animation.frames.size());
    const std::uint32_t key = animation.frames.front().front();
    for (const auto& frame : animation.frames) {
        QImage image(animation.width, animation.height, QImage::Format_ARGB32);
        for (int y = 0; y < animation.height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            const std::uint32_t* source = frame.data() + std::size_t(y) * std::size_t(animation.width);
            for (int x = 0; x < animation.width; ++x) line[x] = source[x] == key ? 0u : source[x];
        }
        images.push_back(std::move(image));
    }
    return images;
}

} // namespace

AnimationControl::AnimationControl(QWidget* parent)
    : QWidget(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AnimationControl::advance);
}

bool AnimationControl::open(const QString& fileName)
{
    // A new file starts still on its first frame, whatever the previous one was doing.
    m_timer.stop();
    m_frames.clear();
    m_current = 0;
    m_fileName.clear();
    updateGeometry();
    update();

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    file.close();
    try {
        const AviAnimation animation = parseAvi(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        m_frames = toImages(animation);
        m_timer.setInterval(animation.frameMs);
    } catch (...) {
        // A damaged animation is no reason to stop the program: the control stays empty.
        m_frames.clear();
        return false;
    }
    m_fileName = fileName;
    updateGeometry();
    update();
    return true;
}

void AnimationControl::setActive(bool active)
{
    if (!active) {
        m_timer.stop();
        return;
    }
    if (m_frames.empty() || m_timer.isActive()) return;
    m_timer.start();
}

QSize AnimationControl::sizeHint() const
{
    return m_frames.empty() ? emptySize : m_frames.front().size();
}

void AnimationControl::paintEvent(QPaintEvent* event)
{
    if (m_frames.empty()) return;
    const QImage& frame = m_frames[std::size_t(m_current)];
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(QPoint((width() - frame.width()) / 2, (height() - frame.height()) / 2), frame);
}

void AnimationControl::advance()
{
    if (m_frames.empty()) return;
    m_current = (m_current + 1) % frameCount();
    update();
}

} // namespace mtl::ui
