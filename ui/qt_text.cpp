#include "qt_text.h"

#include "text_encoding.h"

QString QtText(const std::string &windows1252)
{
    return QString::fromStdString(Encoding::Windows1252ToUtf8(windows1252));
}

QString QtMultiLineText(const std::string &windows1252)
{
    return QtText(windows1252).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string ProgramText(const QString &text)
{
    const std::string utf8 = text.toStdString();
    return Encoding::Utf8ToWindows1252(utf8).value_or(utf8);
}

std::string ProgramMultiLineText(const QString &text)
{
    return ProgramText(QString(text).replace(u'\n', QStringLiteral("\r\n")));
}
