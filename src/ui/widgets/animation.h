// The animation control (`Animacja`): shows the frames of an AVI file, still on its first
// frame until made active, then looping at the file's frame rate.
#pragma once

#include "core/app/avi.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace mtl::ui {

class AnimationControl : public QWidget {
    Q_OBJECT
public:
    explicit AnimationControl(QWidget* parent = nullptr);

    // Loads the file named (the program writes monitor.avi at start-up). A file that cannot
    // be read leaves the control empty; returns whether it loaded.
    bool open(const QString& fileName);
    QString fileName() const { return m_fileName; }

    void setActive(bool active);
    bool isActive() const { return m_timer.isActive(); }
    int frameCount() const { return int(m_frames.size()); }
    int currentFrame() const { return m_current; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void advance();

    QString m_fileName;
    std::vector<QImage> m_frames;
    int m_current = 0;
    QTimer m_timer;
};

} // namespace mtl::ui
