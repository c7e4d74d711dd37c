#include "gui/widgets/UpdateAnimation.h"

#include <QPainter>
#include <QPolygon>

namespace korvane::widgets {

namespace {

const QColor kTray(96, 96, 96);
const QColor kArrow(24, 72, 168);

// Frame index: the arrow, 9 pixels tall, starts above the frame and sinks 2 pixels a frame until
// its point is inside the tray at the bottom.
QImage DrawFrame(int index)
{
    QImage frame(UpdateAnimation::kFrameWidth, UpdateAnimation::kFrameHeight,
                 QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    QPainter painter(&frame);
    painter.setPen(Qt::NoPen);

    painter.setBrush(kTray);
    painter.drawRect(1, 15, 2, 5);  // left wall
    painter.drawRect(13, 15, 2, 5); // right wall
    painter.drawRect(1, 18, 14, 2); // floor

    const int top = index * 2 - 2;
    painter.setBrush(kArrow);
    painter.drawRect(7, top, 2, 5); // shaft
    const QPolygon head({QPoint(4, top + 5), QPoint(12, top + 5), QPoint(8, top + 9)});
    painter.drawPolygon(head);
    return frame;
}

} // namespace

UpdateAnimation::UpdateAnimation(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    for (int n = 0; n < kFrameCount; ++n)
        m_frames.at(static_cast<size_t>(n)) = DrawFrame(n);
    m_timer.setInterval(kFrameMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &UpdateAnimation::NextFrame);
}

void UpdateAnimation::Open()
{
    Stop();
}

void UpdateAnimation::Play()
{
    m_frame = 0;
    m_timer.start();
    update();
}

void UpdateAnimation::Stop()
{
    m_timer.stop();
    m_frame = 0;
    update();
}

QSize UpdateAnimation::sizeHint() const
{
    return {kFrameWidth, kFrameHeight};
}

void UpdateAnimation::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QImage& frame = Frame(m_frame);
    painter.drawImage((width() - frame.width()) / 2, (height() - frame.height()) / 2, frame);
}

void UpdateAnimation::NextFrame()
{
    m_frame = (m_frame + 1) % kFrameCount;
    update();
}

} // namespace korvane::widgets
