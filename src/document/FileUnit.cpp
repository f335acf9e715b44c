#include "document/FileUnit.h"

namespace kelvorn {

TFileUnit::TFileUnit(DocumentKind kind) : documentKind(kind) {}

std::string TFileUnit::GetFileExtension() const
{
    const DocumentKindFacts* facts = FindDocumentKind(documentKind);
    return facts && !facts->extension.empty() ? facts->extension.substr(1) : std::string();
}

std::string TFileUnit::GetKindWord() const
{
    const DocumentKindFacts* facts = FindDocumentKind(documentKind);
    return facts ? facts->word : std::string("Unknown Object");
}

TFileUnit::~TFileUnit() = default;

void TFileUnit::SetName(const std::string& newName)
{
    std::string oldName = name;
    name = newName;
    if (window)
        window->RefreshCaption(oldName);
}

void TFileUnit::SetFileName(const std::string& newFileName)
{
    fileName = newFileName;
    if (window)
        window->UpdateCaption();
}

std::unique_ptr<TXMLStringElement> TFileUnit::CreateXmlFile() const
{
    if (IsUntitled())
        return nullptr;
    return std::make_unique<TXMLStringElement>("File", fileName);
}

std::unique_ptr<TXMLStringElement> TFileUnit::CreateXmlTempFile() const
{
    if (tempFileNumber == -1)
        return nullptr;
    return std::make_unique<TXMLStringElement>("TempFile", std::to_string(tempFileNumber));
}

} // namespace kelvorn
