#include "overview/ProblemPageBrowser.h"

#include <QFile>
#include <QUrl>

#include "ui/QtText.h"

namespace quilvane {

ProblemPageBrowser::ProblemPageBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(true);
    setOpenExternalLinks(true);
}

void ProblemPageBrowser::Navigate(const QString& address)
{
    QUrl url(address);
    if (!QFile::exists(url.toLocalFile())) {
        setHtml(QStringLiteral("<p>問題のページがありません: %1</p>").arg(address.toHtmlEscaped()));
        return;
    }
    setSource(url);
}

QVariant ProblemPageBrowser::loadResource(int type, const QUrl& name)
{
    if (type == QTextDocument::HtmlResource && name.isLocalFile()) {
        QFile file(name.toLocalFile());
        if (file.open(QIODevice::ReadOnly)) {
            QByteArray bytes = file.readAll();
            return ToQ(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        }
    }
    return QTextBrowser::loadResource(type, name);
}

} // namespace quilvane
