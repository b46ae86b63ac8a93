#pragma once
#include <QLabel>
#include <QStringList>

namespace nimbra {

// The text of a message box, broken into lines at blanks only: never inside a path (from the
// first to the last word of a line with a "/") nor before the "!" or "?" that ends a sentence.
// The text itself stays as it is, for screen readers and the clipboard; only the lines drawn
// are chosen here, as the label's own line breaking would break after any "/".
class MessageText final : public QLabel {
    Q_OBJECT
public:
    explicit MessageText(const QString& text, QWidget* parent = nullptr);

    // The lines at width pixels; a piece that cannot be broken may be wider.
    QStringList Lines(int width) const;

    QSize sizeHint() const override;
    // The box makes itself as wide as its text's minimum: the width the text prefers.
    QSize minimumSizeHint() const override { return sizeHint(); }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int PreferredWidth() const;
};

}  // namespace nimbra
