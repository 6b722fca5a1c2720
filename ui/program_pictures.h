#pragma once

// The program's own pictures, drawn at start-up rather than shipped as image files: the
// icon every window carries and the title screen's picture.

#include <QIcon>
#include <QImage>

QIcon ProgramIcon();

// 500 × 375, 24-bit colour: the product name and version over a permeation test cell.
QImage TitlePicture();
