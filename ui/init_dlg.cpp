#include "init_dlg.h"

#include "program_pictures.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

CInitDlg::CInitDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , clickHere(new QPushButton(QStringLiteral("Click Here"), this))
{
    auto *picture = new QLabel(this);
    picture->setPixmap(QPixmap::fromImage(TitlePicture()));
    picture->setFixedSize(500, 375);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(clickHere, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    clickHere->setDefault(true);
    connect(clickHere, &QPushButton::clicked, this, &QDialog::accept);
}
