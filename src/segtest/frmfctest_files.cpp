// The file commands of the test window: segmented examples, the plain text with separators, the
// segmentation result and the statistics report.
#include "segtest/frmfctest.h"

#include "core/textfile.h"
#include "segtest/examplefiles.h"
#include "segtest/report.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTextEdit>

namespace orvane {

namespace {

const QString kExampleFilter = QStringLiteral("分词例文(*.sav)");
const QString kPlainTextFilter = QStringLiteral("纯文本(*.txt)");

// A name typed without an extension gets the dialog's default one.
QString withDefaultSuffix(QString path, const QString &suffix)
{
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + suffix;
    return path;
}

} // namespace

void frmFcTest::mnuOpenExample_Click()
{
    const QString path = m_ctx.prompts->openFile(QStringLiteral("打开分词例文"), QDir::homePath(), kExampleFilter);
    if (path.isEmpty())
        return;
    QString marks;
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ExampleReadStatus status = readExample(path, mainText->document(), &marks, &error);
    QApplication::restoreOverrideCursor();
    if (status == ExampleReadStatus::AuxiliaryMissing) {
        m_ctx.prompts->message(error, promptTitle(), MessageIcon::Exclamation, MessageButtons::OkCancel);
        return;
    }
    if (status == ExampleReadStatus::Failed) {
        m_ctx.prompts->message(error, promptTitle(), MessageIcon::Exclamation);
        return;
    }

    mainText->setVisible(true);
    OpenedText example = openedWithMarks(mainText->toPlainText(), marks);
    example.name = QFileInfo(path).fileName();
    takeNewText(example);
    // The example's text went into the view before its marks were known: lay its lines out again
    // so that they end between words.
    mainText->document()->markContentsDirty(0, mainText->document()->characterCount());

    tmpText->setEnabled(true);
    tmpText->setVisible(true);
    moveTypingBox();
    tmpText->setFocus();
    // The word table of the example is built by the next test's end, not from an old text.
    mnuSaveTestFile->setEnabled(false);
    CmdStartTest->setEnabled(true);
    exampleOpened();
}

void frmFcTest::mnuSaveResult_Click()
{
    const QString chosen = m_ctx.prompts->saveFile(
        QStringLiteral("保存分词例文"), QDir::homePath(), kExampleFilter + QStringLiteral(";;") + kPlainTextFilter);
    if (chosen.isEmpty())
        return;
    const QString path = withDefaultSuffix(chosen, QStringLiteral("sav"));
    QString error;
    bool written = false;
    if (QFileInfo(path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0)
        written = writeTextFile(path, separatedText(mainText->toPlainText(), m_run->doc.CharMarks), &error);
    else
        written = writeExample(path, *mainText->document(), m_run->doc.CharMarks, &error);
    if (!written)
        m_ctx.prompts->message(error, promptTitle(), MessageIcon::Exclamation);
}

void frmFcTest::mnuSaveTestFile_Click()
{
    const QString chosen =
        m_ctx.prompts->saveFile(QStringLiteral("保存分词结果"), QDir::homePath(), QStringLiteral("分词结果(*.fcr)"));
    if (chosen.isEmpty())
        return;
    const QString path = withDefaultSuffix(chosen, QStringLiteral("fcr"));
    const bool building = !m_run->text().hasWordTable();
    if (building)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    const WordTable &words = m_run->wordTable();
    if (building)
        QApplication::restoreOverrideCursor();
    QString error;
    if (!writeTextFile(path, segmentationResultText(words), &error))
        m_ctx.prompts->message(error, promptTitle(), MessageIcon::Exclamation);
}

void frmFcTest::mnuStaSave_Click()
{
    const ReportFigures figures = m_run->reportFigures();
    if (!reportAvailable(figures)) {
        m_ctx.prompts->message(QStringLiteral("请先进行统计再保存统计结果！"), promptTitle(), MessageIcon::Exclamation);
        return;
    }
    const QString path =
        m_ctx.prompts->saveFile(QStringLiteral("保存统计信息"), QDir::homePath(), QStringLiteral("统计信息(*.txt)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!writeTextFile(path, statisticsReport(figures), &error))
        m_ctx.prompts->message(error, promptTitle(), MessageIcon::Exclamation);
}

} // namespace orvane
