#include "statistics/CChartView.h"

#include <QBuffer>
#include <QFile>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/FileIo.h"
#include "ui/Prompt.h"

namespace quilvane {

// The drawing surface: paints the view's figures and keeps what it drew.
class ChartCanvas : public QWidget {
public:
    ChartCanvas(const ChartFigures& figures, QWidget* parent) : QWidget(parent), figures_(figures)
    {
        setMinimumSize(480, 360);
    }

    const std::vector<DrawnPanel>& Drawing() const { return drawing_; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        drawing_ = PaintChartFigures(painter, QRectF(rect()), figures_);
    }

private:
    const ChartFigures& figures_;
    std::vector<DrawnPanel> drawing_;
};

CChartView::CChartView(PhaseSeconds seconds, std::vector<std::string> phaseOrder, ProjectDefectLogs defects,
                       QWidget* parent, ProjectQualities quality)
    : QDialog(parent), seconds_(std::move(seconds)), phaseOrder_(std::move(phaseOrder)),
      defects_(std::move(defects)), quality_(std::move(quality))
{
    setObjectName(QStringLiteral("chartView"));
    setWindowTitle(QStringLiteral("統計グラフ"));
    canvas_ = new ChartCanvas(figures_, this);
    auto* save = new QPushButton(QStringLiteral("PNG で保存(&P)..."), this);
    save->setObjectName(QStringLiteral("savePng"));
    save->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, [this] { (void)OnSavePng(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(canvas_, 1);
    layout->addLayout(buttons);
    // Ten bar panels and the matrix, two to a row.
    resize(900, 1100);
    SetRows({});
}

void CChartView::SetRows(const std::vector<StatRow>& rows)
{
    figures_ = ComputeChartFigures(rows, seconds_, phaseOrder_, defects_, quality_);
    canvas_->update();
}

const std::vector<DrawnPanel>& CChartView::LastDrawing() const
{
    return canvas_->Drawing();
}

QImage CChartView::Render(QSize size) const
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    (void)PaintChartFigures(painter, QRectF(image.rect()), figures_);
    return image;
}

bool CChartView::OnSavePng()
{
    std::optional<QString> chosen = CurrentPrompt().ChooseFile(this, QStringLiteral("グラフを PNG で保存"),
                                                               QStringLiteral("statistics.png"),
                                                               QStringLiteral("PNG 画像 (*.png)"), true);
    if (!chosen || chosen->isEmpty()) {
        return false;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QImage image = Render(canvas_->size().expandedTo(QSize(960, 720)));
    if (!image.save(&buffer, "PNG")) {
        CurrentPrompt().Inform(this, QStringLiteral("PNG 画像を作れません"));
        return false;
    }
    const std::string path = QFile::encodeName(*chosen).toStdString();
    Status written = WriteFileAtomically(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!written) {
        CurrentPrompt().Inform(this, QString::fromStdString(written.Message()));
        return false;
    }
    return true;
}

} // namespace quilvane
