#include "app/qt_dialogs.h"

#include "app/message_text.h"
#include "common/ui/caption_width.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStringList>

#include <algorithm>

namespace nimbra {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

int ShowBox(QMessageBox::Icon icon, const QString& caption, const std::string& text,
            QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, caption, QString(), buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setText(Text(text));
    // Its label would break a path after any "/": the text is shown by a label of our own.
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")); label && grid) {
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(grid->indexOf(label), &row, &column, &rows, &columns);
        label->hide();
        grid->addWidget(new MessageText(Text(text), &box), row, column, rows, columns);
    }
    if (buttons.testFlag(QMessageBox::Yes)) box.setDefaultButton(QMessageBox::Yes);
    // The box sizes itself by its text and buttons; a short text must not cut the caption.
    if (grid != nullptr)
        grid->addItem(new QSpacerItem(CaptionWidth(box), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return box.exec();
}

}  // namespace

QString FileDialogFilter(const std::string& filter)
{
    const QStringList parts = Text(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                       QLatin1Char(')');
    return filters.join(QStringLiteral(";;"));
}

void QtDialogs::ShowMessage(const std::string& text)
{
    ShowBox(QMessageBox::NoIcon, QString::fromUtf8(ApplicationTitle), text, QMessageBox::Ok);
}

void QtDialogs::ShowError(const std::string& text)
{
    ShowBox(QMessageBox::Critical, QString::fromUtf8(ApplicationTitle), text, QMessageBox::Ok);
}

void QtDialogs::ShowWarning(const std::string& text)
{
    ShowBox(QMessageBox::Warning, QString::fromUtf8(ApplicationTitle), text, QMessageBox::Ok);
}

bool QtDialogs::AskYesNo(const std::string& text, const std::string& caption)
{
    return ShowBox(QMessageBox::Question, Text(caption), text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

bool QtDialogs::AskYesNoWithoutIcon(const std::string& text, const std::string& caption)
{
    return ShowBox(QMessageBox::NoIcon, Text(caption), text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

std::optional<std::string> QtDialogs::ChooseFile(const FileRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), Text(request.Title));
    const bool save = request.DialogKind == FileRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.AskBeforeReplacing);
    if (!request.Filter.empty()) dialog.setNameFilter(FileDialogFilter(request.Filter));
    if (!request.DefaultExtension.empty()) dialog.setDefaultSuffix(Text(request.DefaultExtension));
    if (!request.InitialFolder.empty()) dialog.setDirectory(QDir::current().absoluteFilePath(Text(request.InitialFolder)));
    if (!request.FileName.empty()) dialog.selectFile(Text(request.FileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    // The bytes the file system uses, not a re-encoding of them.
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

std::optional<Rgb> QtDialogs::ChooseColour(Rgb start)
{
    const QColor colour = QColorDialog::getColor(QColor(start.Red, start.Green, start.Blue),
                                                 QApplication::activeWindow());
    if (!colour.isValid()) return std::nullopt;
    return Rgb{static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
               static_cast<std::uint8_t>(colour.blue())};
}

}  // namespace nimbra
