#include "document/records/WaveReference.h"

#include "general/GuiMessages.h"

namespace kelvorn {

namespace {

bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

unitUnitWave::unitUnitWave(const std::string& newCaption)
{
    size_t begin = 0;
    size_t end = newCaption.size();
    while (begin < end && IsBlankOrControl(newCaption[begin]))
        ++begin;
    while (end > begin && IsBlankOrControl(newCaption[end - 1]))
        --end;
    caption = newCaption.substr(begin, end - begin);
}

bool unitUnitWave::SetCaption(const std::string& text)
{
    caption = text;
    return true;
}

void unitUnitWave::Set(const std::string& newCaption, TUnitWave* document)
{
    caption = newCaption;
    unitWave = document;
}

void unitUnitWave::Clear()
{
    caption.clear();
    unitWave = nullptr;
}

TUnitWave* unitUnitWave::FindUnitWave(WaveDocumentFinder& finder, std::string& message) const
{
    TUnitWave* found = finder.FindUnitWave(caption);
    if (found == nullptr)
        message += "Cannot find window \"" + caption + "\".";
    return found;
}

void unitUnitWave::ReadWaveChoice(bool& ok, const WaveChoice* selected, const std::string& label)
{
    if (!ok)
        return;
    if (selected == nullptr) {
        TGuiMessages::ShowFieldInputError(label, "You have to select a Wave");
        Clear();
        ok = false;
        return;
    }
    Set(selected->caption, selected->unitWave);
}

int unitUnitWave::FindWaveChoice(const std::vector<std::string>& captions, int current) const
{
    if (caption.empty())
        return current;
    for (size_t index = 0; index < captions.size(); ++index)
        if (captions[index] == caption)
            return static_cast<int>(index);
    return current;
}

} // namespace kelvorn
