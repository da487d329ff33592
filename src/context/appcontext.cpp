#include "context/appcontext.h"

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

} // namespace orvane
