#include "about_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Orvane"));
    auto *icon = new QLabel(this);
    icon->setPixmap(windowIcon().pixmap(48, 48));
    auto *version = new QLabel(QStringLiteral("Orvane Version 2.5.0"), this);
    auto *description = new QLabel(
        QStringLiteral("This program calculates breakthrough detection time, standardized breakthrough "
                       "times (ASTM F739), minimum breakthrough detection time (ASTM D 6978), normalized "
                       "breakthrough times (ISO 6529), steady-state permeation rate, and cumulative "
                       "permeation for the data collected from an open or a closed loop permeation test."),
        this);
    description->setWordWrap(true);
    description->setMinimumWidth(360);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *text = new QVBoxLayout;
    text->addWidget(version);
    text->addWidget(description);
    auto *row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(text);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}
