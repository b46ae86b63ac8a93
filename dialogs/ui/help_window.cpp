#include "dialogs/ui/help_window.h"

#include "dialogs/help_text.h"

#include <QApplication>
#include <QScrollBar>
#include <QWindow>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace nimbra {

namespace {
constexpr int HelpContexts[] = {101, 102, 103, 104, 105, 106, 107, 108, 200};
}

QString HelpTopicAnchor(int helpContext)
{
    for (const int known : HelpContexts)
        if (known == helpContext) return QStringLiteral("topic%1").arg(helpContext);
    return {};
}

THelp::THelp(QWidget* parent) : QWidget(parent, Qt::Window), HelpText(new QTextBrowser(this))
{
    setWindowTitle(QStringLiteral("Nimbra 2005 - Hilfe"));
    HelpText->setOpenLinks(true);
    HelpText->setOpenExternalLinks(false);
    HelpText->setHtml(QString::fromUtf8(HelpHtml()));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(HelpText);
    resize(640, 480);
}

void THelp::ShowContents() { ShowTopic(0); }

void THelp::ShowTopic(int helpContext)
{
    const QString anchor = HelpTopicAnchor(helpContext);
    // Asked for from a modal window (the palette editor's F1), the help belongs to that window,
    // which then blocks it no more than its own dialogs.
    const QWidget* modal = QApplication::activeModalWidget();
    create();
    windowHandle()->setTransientParent(modal != nullptr && modal != this ? modal->windowHandle() : nullptr);
    show();
    raise();
    activateWindow();
    if (anchor.isEmpty())
        HelpText->verticalScrollBar()->setValue(0);  // the contents open the page
    else
        HelpText->scrollToAnchor(anchor);
}

}  // namespace nimbra
