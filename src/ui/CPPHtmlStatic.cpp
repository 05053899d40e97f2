#include "ui/CPPHtmlStatic.h"

#include "resources/HVResourceStrings.h"
#include "ui/CPPHtmlParser.h"
#include "ui/HVUiTheme.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextCursor>
#include <QUrl>
#include <QtMath>

namespace {
constexpr int kMargin = 2;

CPPHtmlStatic::PictureLoader& Loader()
{
    static CPPHtmlStatic::PictureLoader loader;
    return loader;
}
}  // namespace

CPPHtmlStatic::CPPHtmlStatic(QWidget* pParent)
    : QWidget(pParent)
    , m_clrBk(HVUi::ThemeColor(QStringLiteral("clrDlgBk"), HVUi::SystemColor(HVUi::SysColor::Window)))
    , m_clrText(HVUi::ThemeColor(QStringLiteral("clrDlgText"), HVUi::SystemColor(HVUi::SysColor::WindowText)))
{
    setObjectName(QStringLiteral("CPPHtmlStatic"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    m_doc.setDocumentMargin(kMargin);
    m_doc.setUndoRedoEnabled(false);
}

void CPPHtmlStatic::SetPictureLoader(PictureLoader loader)
{
    Loader() = std::move(loader);
}

QImage CPPHtmlStatic::LoadPicture(unsigned nId)
{
    if (Loader()) {
        return Loader()(nId);
    }
    const QString strPath = HVImagePath(HVImageKind::Bitmap, nId);
    // A drawing is rendered at the screen's pixel ratio, so that it stays sharp at any scale.
    if (strPath.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgRenderer svg(strPath);
        if (svg.isValid()) {
            const qreal fRatio = qMax<qreal>(1.0, qApp != nullptr ? qApp->devicePixelRatio() : 1.0);
            QImage image((QSizeF(svg.defaultSize()) * fRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            svg.render(&painter);
            painter.end();
            image.setDevicePixelRatio(fRatio);
            return image;
        }
    }
    return strPath.isEmpty() ? QImage() : QImage(strPath);
}

void CPPHtmlStatic::SetWindowText(const QString& strMarkup)
{
    m_strMarkup = strMarkup;
    Rebuild();
}

void CPPHtmlStatic::SetBkColor(const QColor& clr)
{
    m_clrBk = clr;
    update();
}

void CPPHtmlStatic::SetTextColor(const QColor& clr)
{
    m_clrText = clr;
    Rebuild();
}

void CPPHtmlStatic::Rebuild()
{
    m_doc.clear();
    m_doc.setDefaultFont(font());
    m_nPictures = 0;
    QTextCursor cursor(&m_doc);
    QTextCharFormat base;
    base.setFont(font());
    base.setForeground(m_clrText);
    for (const SHtmlRun& run : CPPHtmlParser::Parse(m_strMarkup)) {
        switch (run.kind) {
        case SHtmlRun::Text: {
            QTextCharFormat fmt = base;
            if (!run.strFace.isEmpty()) {
                fmt.setFontFamilies({run.strFace});
            }
            if (run.nSize > 0) {
                fmt.clearProperty(QTextFormat::FontPointSize);
                fmt.setProperty(QTextFormat::FontPixelSize, run.nSize);
            }
            if (run.color.isValid()) {
                fmt.setForeground(run.color);
            }
            fmt.setFontWeight(run.bBold ? QFont::Bold : QFont::Normal);
            cursor.insertText(run.strText, fmt);
            break;
        }
        case SHtmlRun::LineBreak:
            cursor.insertText(QString(QChar::LineSeparator), base);
            break;
        case SHtmlRun::Picture: {
            const QImage image = LoadPicture(run.nPictureId);
            if (image.isNull()) {
                break;  // a missing picture shows nothing
            }
            const QString strName = QStringLiteral("hvbmp:%1").arg(run.nPictureId);
            m_doc.addResource(QTextDocument::ImageResource, QUrl(strName), image);
            QTextImageFormat fmt;
            fmt.setName(strName);
            fmt.setWidth(image.deviceIndependentSize().width());
            fmt.setHeight(image.deviceIndependentSize().height());
            cursor.insertImage(fmt);
            ++m_nPictures;
            break;
        }
        }
    }
    m_doc.setTextWidth(width() > 0 ? width() : -1);
    updateGeometry();
    update();
}

QSize CPPHtmlStatic::sizeHint() const
{
    QTextDocument* pDoc = const_cast<QTextDocument*>(&m_doc);
    const qreal dOld = pDoc->textWidth();
    pDoc->setTextWidth(-1);
    const QSize size = pDoc->size().toSize();
    pDoc->setTextWidth(dOld);
    return size.boundedTo(QSize(600, 2000));
}

int CPPHtmlStatic::heightForWidth(int nWidth) const
{
    QTextDocument* pDoc = const_cast<QTextDocument*>(&m_doc);
    const qreal dOld = pDoc->textWidth();
    pDoc->setTextWidth(nWidth);
    const int h = qCeil(pDoc->size().height());
    pDoc->setTextWidth(dOld);
    return h;
}

void CPPHtmlStatic::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_clrBk);
    m_doc.drawContents(&p, QRectF(rect()));
}

void CPPHtmlStatic::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    m_doc.setTextWidth(width());
}

void CPPHtmlStatic::changeEvent(QEvent* pEvent)
{
    QWidget::changeEvent(pEvent);
    if (pEvent->type() == QEvent::FontChange) {
        Rebuild();
    }
}
