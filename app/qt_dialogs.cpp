#include "app/qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace nimbra {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// A confirmation box carries the question icon; other questions show none.
constexpr char ConfirmationCaption[] = "Bestätigung";

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
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(ApplicationTitle), Text(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

bool QtDialogs::AskYesNo(const std::string& text, const std::string& caption)
{
    const QMessageBox::Icon icon = caption == ConfirmationCaption ? QMessageBox::Question : QMessageBox::NoIcon;
    QMessageBox box(icon, Text(caption), Text(text), QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
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
