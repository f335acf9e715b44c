#include "platform/qt/QtTempDir.h"

#include <QDir>
#include <QFile>

namespace kelvorn {

namespace {

std::string NameTemplate(const std::string& base)
{
    std::string dir = base.empty() ? QFile::encodeName(QDir::tempPath()).toStdString() : base;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir + "/kelvorn-XXXXXX";
}

} // namespace

QtTempDir::QtTempDir(std::string base) : dir(NameTemplate(base)) {}

} // namespace kelvorn
