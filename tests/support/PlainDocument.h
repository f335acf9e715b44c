#pragma once
// A document of any kind with nothing inside: it keeps a modified flag and counts the saves,
// reverts and copies the shell asks of it, so that tests of the generic commands and of the
// window base need no real music piece or factory.

#include "document/FileUnit.h"

#include <string>
#include <vector>

namespace kelvorn {

class PlainDocument : public TFileUnit
{
public:
    explicit PlainDocument(DocumentKind kind) : TFileUnit(kind) {}

    bool modified = false;
    bool saveWorks = true;
    /// Every file the document was written to, in order ("=" + name for a project copy).
    std::vector<std::string> written;
    int reverts = 0;

    bool IsModified() const override { return modified; }
    void ClearModified() override { modified = false; }
    bool Save() override { return SaveAs(GetFileName()); }
    bool SaveAs(const std::string& fileName) override
    {
        written.push_back(fileName);
        return saveWorks;
    }
    bool SaveProjectCopy(const std::string& fileName) override
    {
        written.push_back("=" + fileName);
        return saveWorks;
    }
    bool Revert(std::string& message, std::string& failedFile) override
    {
        ++reverts;
        failedFile = GetFileName();
        message.clear();
        return true;
    }
};

} // namespace kelvorn
