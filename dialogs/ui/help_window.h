#pragma once
#include <QWidget>

class QTextBrowser;

namespace nimbra {

// The program's help, a window beside the main window; its topics are the help context
// numbers of the controls (101 to 108, 200).
class THelp final : public QWidget {
    Q_OBJECT
public:
    explicit THelp(QWidget* parent = nullptr);

    void ShowContents();
    // An unknown number shows the contents.
    void ShowTopic(int helpContext);

    QTextBrowser* HelpText;
};

// The anchor of a help context number in the help page; empty for an unknown number.
QString HelpTopicAnchor(int helpContext);

}  // namespace nimbra
