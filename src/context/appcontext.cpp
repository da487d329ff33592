#include "context/appcontext.h"

#include "history/historydb.h"
#include "prepare/codedictionary.h"

namespace orvane {

AppContext::AppContext() = default;
AppContext::~AppContext() = default;

CodeDictionary &AppContext::codes()
{
    if (!m_codes) {
        m_codes = std::make_unique<CodeDictionary>(libs);
        if (!m_codes->open(folder.dataFile(QStringLiteral("jtdb.dat")), &m_codesError))
            tellCodesMissing();
    }
    return *m_codes;
}

bool AppContext::requireCodes()
{
    if (!m_codes)
        return codes().isOpen();
    if (m_codes->isOpen())
        return true;
    tellCodesMissing();
    return false;
}

void AppContext::tellCodesMissing()
{
    if (prompts)
        prompts->message(QStringLiteral("编码数据库无法打开，编码将不完整：%1").arg(m_codesError), promptTitle(),
            MessageIcon::Exclamation);
}

HistoryDb *AppContext::history()
{
    if (!m_history)
        m_history = std::make_unique<HistoryDb>();
    if (m_history->isOpen())
        return m_history.get();
    // A file that was locked or a folder that was read-only may be fine at the next test.
    QString error;
    if (m_history->open(historyPath.isEmpty() ? defaultHistoryPath() : historyPath, &error))
        return m_history.get();
    tellHistoryFailure(error);
    return nullptr;
}

bool AppContext::recordTest(const HistoryRecord &record)
{
    HistoryDb *db = history();
    if (!db)
        return false;
    QString error;
    if (db->add(record, &error) != 0)
        return true;
    tellHistoryFailure(error);
    return false;
}

void AppContext::tellHistoryFailure(const QString &why)
{
    if (m_historyTold || !prompts)
        return;
    m_historyTold = true;
    prompts->message(QStringLiteral("本次测试的成绩无法保存到成绩记录中，测试结果仍照常显示。\n%1").arg(why),
        promptTitle(), MessageIcon::Exclamation);
}

} // namespace orvane
