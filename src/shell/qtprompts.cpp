#include "shell/qtprompts.h"

#include "prepare/settingcolor.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

namespace orvane {

namespace {

QWidget *dialogParent()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QMessageBox::Icon toQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

std::unique_ptr<QTranslator> installQtTranslations(const QString &folder)
{
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    auto translator = std::make_unique<QTranslator>();
    // The file is named outright: a locale search would fall back to another language's file
    // on a system whose language is not Chinese.
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), from)
        || !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator;
}

MessageAnswer QtPrompts::message(const QString &text, const QString &title, MessageIcon icon, MessageButtons buttons)
{
    QMessageBox box(toQt(icon), title, text, QMessageBox::NoButton, dialogParent());
    QPushButton *ok = nullptr, *cancel = nullptr, *yes = nullptr, *no = nullptr;
    switch (buttons) {
    case MessageButtons::Ok: ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole); break;
    case MessageButtons::OkCancel:
        ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        break;
    case MessageButtons::YesNoCancel:
        yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        break;
    case MessageButtons::YesNo:
        yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        box.setEscapeButton(no);
        break;
    }
    box.exec();
    QAbstractButton *pressed = box.clickedButton();
    if (pressed && pressed == yes)
        return MessageAnswer::Yes;
    if (pressed && pressed == no)
        return MessageAnswer::No;
    if (pressed && pressed == ok)
        return MessageAnswer::Ok;
    if (cancel)
        return MessageAnswer::Cancel;
    return no ? MessageAnswer::No : MessageAnswer::Ok;
}

QString QtPrompts::openFile(const QString &caption, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(
        dialogParent(), caption, folder, filter, nullptr, QFileDialog::DontUseNativeDialog);
}

QString QtPrompts::saveFile(const QString &caption, const QString &suggestedPath, const QString &filter)
{
    return QFileDialog::getSaveFileName(
        dialogParent(), caption, suggestedPath, filter, nullptr, QFileDialog::DontUseNativeDialog);
}

std::optional<quint32> QtPrompts::chooseColor(quint32 initial)
{
    const QColor c = QColorDialog::getColor(
        colorFromSetting(initial), dialogParent(), QStringLiteral("颜色"), QColorDialog::DontUseNativeDialog);
    if (!c.isValid())
        return std::nullopt;
    return settingFromColor(c);
}

} // namespace orvane
