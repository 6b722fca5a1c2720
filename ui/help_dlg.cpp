#include "help_dlg.h"

#include "help_topics.h"
#include "qt_text.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CHelpDialog::CHelpDialog(QWidget *parent)
    : QDialog(parent)
    , topics(new QListWidget(this))
    , text(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("Help Menu"));
    setModal(false);
    for (const HelpTopic &topic : HelpTopics()) {
        topics->addItem(QtText(topic.Name));
    }
    topics->setSelectionMode(QAbstractItemView::SingleSelection);
    topics->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setReadOnly(true);
    connect(topics, &QListWidget::currentRowChanged, this, [this] { ShowSelectedTopic(); });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QWidget::hide);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Topic:"), this));
    layout->addWidget(topics, 1);
    layout->addWidget(new QLabel(QStringLiteral("Help:"), this));
    layout->addWidget(text, 2);
    layout->addWidget(buttons);
    resize(480, 560);
}

void CHelpDialog::ShowTopics()
{
    // The first time beside the main window, so both can be read; later where the operator
    // left it.
    if (!placed && parentWidget() != nullptr) {
        move(parentWidget()->frameGeometry().topRight() + QPoint(8, 0));
        placed = true;
    }
    show();
    raise();
    activateWindow();
}

void CHelpDialog::ShowSelectedTopic()
{
    const int row = topics->currentRow();
    const auto &table = HelpTopics();
    if (row < 0 || static_cast<std::size_t>(row) >= table.size()) {
        text->clear();
        return;
    }
    text->setPlainText(QtMultiLineText(table[static_cast<std::size_t>(row)].Text));
}
