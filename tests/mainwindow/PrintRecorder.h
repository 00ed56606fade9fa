#pragma once
// A paint device that records what is drawn on it in the painter's own (logical) coordinates:
// its engine claims every feature, so QPainter hands it untransformed lines and text items.
#include <QFont>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QString>
#include <QTransform>
#include <vector>

namespace quilvane {

struct RecordedText {
    QString text;
    QPointF baseline;
    int pixelSize = 0;
    QString family;
    int stretch = 100; // percent of the normal width
    bool clipped = false;
};

class RecordingEngine final : public QPaintEngine {
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& changed) override
    {
        if (changed.state() & DirtyTransform) {
            transform = changed.transform();
        }
        if (changed.state() & DirtyFont) {
            font_ = changed.font();
        }
        if (changed.state() & (DirtyClipEnabled | DirtyClipRegion | DirtyClipPath)) {
            clipping_ = changed.isClipEnabled() && changed.clipOperation() != Qt::NoClip;
        }
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawLines(const QLineF* drawn, int count) override
    {
        for (int i = 0; i < count; ++i) {
            lines.push_back(drawn[i]);
        }
        drawingTransform = transform;
    }
    void drawRects(const QRectF* drawn, int count) override
    {
        for (int i = 0; i < count; ++i) {
            rects.push_back(drawn[i]);
        }
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        int stretch = font_.stretch() == QFont::AnyStretch ? 100 : font_.stretch();
        texts.push_back({item.text(), p, font_.pixelSize(), font_.family(), stretch, clipping_});
    }

    std::vector<QLineF> lines;
    std::vector<QRectF> rects;
    std::vector<RecordedText> texts;
    QTransform transform;
    QTransform drawingTransform; // as it was at the last line drawn

private:
    QFont font_;
    bool clipping_ = false;
};

class RecordingDevice final : public QPaintDevice {
public:
    RecordingDevice(int width, int height) : width_(width), height_(height) {}
    ~RecordingDevice() override = default;
    QPaintEngine* paintEngine() const override { return &engine_; }
    RecordingEngine& Engine() { return engine_; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return width_;
        case PdmHeight:
            return height_;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 600;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    int width_;
    int height_;
    mutable RecordingEngine engine_;
};

} // namespace quilvane
