#pragma once

#include <array>
#include <QImage>
#include <QTimer>
#include <QWidget>

namespace korvane::widgets {

// The clip that plays while an update installs: an arrow dropping into a tray, 8 frames of 16 by
// 20 pixels, 200 ms each, drawn centred on a transparent background.
class UpdateAnimation : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kFrameCount = 8;
    static constexpr int kFrameWidth = 16;
    static constexpr int kFrameHeight = 20;
    static constexpr int kFrameMilliseconds = 200;

    explicit UpdateAnimation(QWidget* parent = nullptr);

    // Shows the first frame, standing still.
    void Open();
    // Plays from the first frame to the last, over and over.
    void Play();
    // Stands still at the first frame.
    void Stop();

    bool IsPlaying() const { return m_timer.isActive(); }
    int CurrentFrame() const { return m_frame; }
    const QImage& Frame(int index) const { return m_frames.at(static_cast<size_t>(index)); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void NextFrame();

    std::array<QImage, kFrameCount> m_frames;
    QTimer m_timer;
    int m_frame = 0;
};

} // namespace korvane::widgets
