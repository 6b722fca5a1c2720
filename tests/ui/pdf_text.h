#pragma once

// What poppler's pdfinfo and pdftotext read from a printout written as PDF.

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

inline QString PdfToolOutput(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int PdfPageCount(const QString &pdf)
{
    const QRegularExpressionMatch pages
        = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption)
              .match(PdfToolOutput(QStringLiteral("pdfinfo"), {pdf}));
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

// The text of each page, one entry per line with its blanks run together.
inline QList<QStringList> PdfPageLines(const QString &pdf)
{
    const QString text
        = PdfToolOutput(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QList<QStringList> pages;
    QStringList pageTexts = text.split(u'\f');
    if (!pageTexts.isEmpty() && pageTexts.constLast().trimmed().isEmpty()) {
        pageTexts.removeLast();
    }
    for (const QString &page : pageTexts) {
        QStringList lines;
        for (const QString &line : page.split(u'\n')) {
            if (!line.trimmed().isEmpty()) {
                lines << line.simplified();
            }
        }
        pages << lines;
    }
    return pages;
}
