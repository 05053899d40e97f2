#pragma once

#include <QColor>
#include <QString>

#include <vector>

// One piece of the HTML label's mark-up after parsing: a run of text in one style, a line break,
// or a picture of the resource module.
struct SHtmlRun
{
    enum EKind
    {
        Text,
        LineBreak,
        Picture,
    };

    EKind kind = Text;
    QString strText;
    int nSize = 0;    // font height in pixels; 0: the label's own
    QString strFace;  // empty: the label's own
    QColor color;     // invalid: the label's own
    bool bBold = false;
    unsigned nPictureId = 0;
};

// The label's mark-up: <font size=N face='F' color='#rrggbb'>, </font>, <b>, </b>, <br> and
// <bmp idres=N>, tag and attribute names in any case, values quoted or not, and the entities
// &amp; &lt; &gt; &quot; &apos; &nbsp; and &#N;. Anything else that looks like a tag is shown as
// the text it is, so a file name in a report can never turn into mark-up. Blanks are kept.
class CPPHtmlParser
{
public:
    [[nodiscard]] static std::vector<SHtmlRun> Parse(const QString& strMarkup);
    // The text without mark-up, a line break as '\n' (for tests and accessibility).
    [[nodiscard]] static QString PlainText(const std::vector<SHtmlRun>& runs);
};
