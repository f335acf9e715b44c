#include "platform/qt/QtTempDir.h"

#include <QDir>
#include <QFile>

#include <cstdlib>
#include <vector>

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

QtTempDir::QtTempDir(std::string base) : path(NameTemplate(base)) {}

QtTempDir::~QtTempDir()
{
    if (created)
        QDir(QFile::decodeName(path.c_str())).removeRecursively();
}

bool QtTempDir::Create()
{
    if (created)
        return true;
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    if (!mkdtemp(name.data()))
        return false;
    path = name.data();
    created = true;
    return true;
}

} // namespace kelvorn
