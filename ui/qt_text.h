#pragma once

// The Qt side of the one text converter: the program's Windows-1252 texts become QStrings
// only here, so "µ" and "²" look the same in every caption and box.

#include <QString>

#include <string>

QString QtText(const std::string &windows1252);

// Results texts end their lines in CR LF; a text box wants LF alone.
QString QtMultiLineText(const std::string &windows1252);

// A name for captions and reports. A character Windows-1252 lacks keeps the name's UTF-8
// bytes, as the batch tool does, rather than losing the name.
std::string ProgramText(const QString &text);

// A text box's lines for the record, ended in CR LF as the reports print them.
std::string ProgramMultiLineText(const QString &text);
