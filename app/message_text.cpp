#include "app/message_text.h"

#include <QPainter>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace nimbra {
namespace {

constexpr int UsualWidth = 420;  // a longer text wraps here, or after its widest piece (a path)
constexpr int MaxWidth = 760;    // but at most here, and at most at half the screen

bool EndsSentence(const QString& word) { return word == QStringLiteral("!") || word == QStringLiteral("?"); }

// The words between the blanks, a "!" or "?" ending the sentence kept with the word before it.
QStringList Words(const QString& text)
{
    QStringList words;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        if (!words.isEmpty() && EndsSentence(word))
            words.back() += QLatin1Char(' ') + word;
        else
            words << word;
    }
    return words;
}

// The parts of a paragraph between which it breaks: its words, those from the first to the
// last with a "/" joined.
QStringList Pieces(const QString& paragraph)
{
    const QStringList words = Words(paragraph);
    const auto isPath = [](const QString& word) { return word.contains(QLatin1Char('/')); };
    const qsizetype pathStart = std::find_if(words.begin(), words.end(), isPath) - words.begin();
    const qsizetype pathEnd = words.size() - (std::find_if(words.rbegin(), words.rend(), isPath) - words.rbegin());
    QStringList pieces;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (i > pathStart && i < pathEnd)
            pieces.back() += QLatin1Char(' ') + words[i];
        else
            pieces << words[i];
    }
    return pieces;
}

}  // namespace

MessageText::MessageText(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QStringList MessageText::Lines(int width) const
{
    const QFontMetricsF metrics(font());
    const auto fits = [&](const QString& text) { return metrics.horizontalAdvance(text) <= width; };
    const QString blank(QLatin1Char(' '));
    QStringList lines;
    QString line;
    const auto add = [&](const QString& part, const QString& separator) {
        const QString longer = line.isEmpty() ? part : line + separator + part;
        if (!line.isEmpty() && !fits(longer)) {
            lines << line;
            line = part;
        } else {
            line = longer;
        }
    };
    for (const QString& paragraph : text().split(QLatin1Char('\n'))) {
        line.clear();
        // What does not fit on a line of its own is broken after all: a long stretch of paths
        // between their words, a single long path after its slashes.
        for (const QString& piece : Pieces(paragraph)) {
            if (fits(piece)) {
                add(piece, blank);
                continue;
            }
            for (const QString& word : Words(piece)) {
                if (fits(word)) {
                    add(word, blank);
                    continue;
                }
                const QStringList parts = word.split(QRegularExpression(QStringLiteral("(?<=/)")));
                for (qsizetype i = 0; i < parts.size(); ++i) add(parts[i], i == 0 ? blank : QString());
            }
        }
        lines << line;
    }
    return lines;
}

int MessageText::PreferredWidth() const
{
    const QFontMetricsF metrics(font());
    qreal whole = 0;
    qreal widestPiece = 0;
    for (const QString& paragraph : text().split(QLatin1Char('\n'))) {
        whole = std::max(whole, metrics.horizontalAdvance(paragraph));
        for (const QString& piece : Pieces(paragraph))
            widestPiece = std::max(widestPiece, metrics.horizontalAdvance(piece));
    }
    const QScreen* shown = screen();
    const int limit = std::min(MaxWidth, shown != nullptr ? shown->availableGeometry().width() / 2 : MaxWidth);
    const qreal wanted = std::min(whole, std::max<qreal>(UsualWidth, widestPiece));
    return std::min(static_cast<int>(std::ceil(wanted)), limit);
}

QSize MessageText::sizeHint() const
{
    const int width = PreferredWidth();
    return {width, heightForWidth(width)};
}

int MessageText::heightForWidth(int width) const
{
    return static_cast<int>(Lines(width).size()) * fontMetrics().lineSpacing();
}

void MessageText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QStringList lines = Lines(width());
    const int lineSpacing = fontMetrics().lineSpacing();
    // Centred in its height, as the box's own label is beside a taller icon.
    int top = std::max(0, (height() - static_cast<int>(lines.size()) * lineSpacing) / 2);
    for (const QString& line : lines) {
        painter.drawText(QRect(0, top, width(), lineSpacing), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         line);
        top += lineSpacing;
    }
}

}  // namespace nimbra
